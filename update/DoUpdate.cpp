#include "UpdateCheck.h"

#include <QCoreApplication>
#include <QWidget>

// Called once by the window's timer; returns at once, the check goes on in the event loop.
extern "C" __attribute__((visibility("default"))) void DoUpdate(WId window, const char *url)
{
    if (!url || !QCoreApplication::instance())
        return;
    QVersionNumber own = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    if (own.isNull())
        own = QVersionNumber::fromString(QLatin1String(PLUMARET_VERSION));
    auto *check = new UpdateCheck(
        QWidget::find(window), QUrl(QString::fromUtf8(url)), own, QCoreApplication::instance());
    QObject::connect(check, &UpdateCheck::finished, check, &QObject::deleteLater);
    check->start();
}
