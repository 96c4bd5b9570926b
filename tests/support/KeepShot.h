#pragma once

#include <QDir>
#include <QWidget>

// Set PLUMARET_SCREENSHOT_DIR to keep pictures of windows and dialogs for the README.
inline void keepShot(QWidget *w, const char *name)
{
    const QString dir = qEnvironmentVariable("PLUMARET_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        w->grab().save(QDir(dir).filePath(QLatin1String(name)));
}
