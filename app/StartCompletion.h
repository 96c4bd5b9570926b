#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs what a window leaves for after its first paint: right after that paint, or before the first
// input event of the program if one comes sooner, so that no input ever meets a half-built window.
class TStartCompletion : public QObject
{
public:
    TStartCompletion(QWidget *window, std::function<void()> complete);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void complete();

    std::function<void()> m_complete;
};
