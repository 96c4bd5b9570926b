#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Calls back once, queued right after the watched widget's first paint has been handled.
class TFirstPaintHook : public QObject
{
public:
    TFirstPaintHook(QWidget *watched, std::function<void()> callback);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_callback;
};
