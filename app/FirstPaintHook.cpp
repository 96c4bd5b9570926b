#include "FirstPaintHook.h"

#include <QEvent>
#include <QWidget>

TFirstPaintHook::TFirstPaintHook(QWidget *watched, std::function<void()> callback)
    : QObject(watched)
    , m_callback(std::move(callback))
{
    watched->installEventFilter(this);
}

bool TFirstPaintHook::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_callback();
                deleteLater();
            },
            Qt::QueuedConnection);
    }
    return false;
}
