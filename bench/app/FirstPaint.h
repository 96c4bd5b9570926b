#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <cstdio>

// Reports the first paint of a window of type W on stdout with the peak memory so far, then ends
// the program.
template <typename W> class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Paint && qobject_cast<W *>(watched)) {
            m_done = true;
            std::printf("painted %lld\n", peakKiB());
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    static long long peakKiB()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
        return -1;
    }
    bool m_done = false;
};
