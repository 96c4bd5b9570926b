#include "FirstPaintHook.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

TFirstPaintHook::TFirstPaintHook(QWidget *watched, std::function<void()> callback, int latestMs)
    : QObject(watched)
    , m_callback(std::move(callback))
{
    watched->installEventFilter(this);
    if (latestMs >= 0)
        QTimer::singleShot(latestMs, this, [this] { fire(); });
}

bool TFirstPaintHook::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        QMetaObject::invokeMethod(
            this, [this] { fire(); }, Qt::QueuedConnection);
    }
    return false;
}

void TFirstPaintHook::fire()
{
    if (!m_callback)
        return;
    const std::function<void()> callback = std::move(m_callback);
    m_callback = nullptr;
    deleteLater();
    callback();
}
