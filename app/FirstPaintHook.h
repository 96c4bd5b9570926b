#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Calls back once, queued right after the watched widget's first paint has been handled; with a
// latest time, then too if no paint came by then (a window started minimised, or on a platform that
// does not paint).
class TFirstPaintHook : public QObject
{
public:
    TFirstPaintHook(QWidget *watched, std::function<void()> callback, int latestMs = -1);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fire();

    std::function<void()> m_callback;
};
