#pragma once

#include <QDir>
#include <QProcess>
#include <QString>

#include <unistd.h>

// A small tmpfs of our own (root only); unmounted when the test ends.
class TmpfsMount
{
public:
    explicit TmpfsMount(const QString &dir, const QString &options)
        : m_dir(dir)
    {
        QDir().mkpath(dir);
        m_mounted = geteuid() == 0
            && QProcess::execute(QStringLiteral("mount"),
                   { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                       QStringLiteral("tmpfs"), dir })
                == 0;
    }
    ~TmpfsMount()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), { m_dir });
    }
    bool mounted() const { return m_mounted; }
    bool remountReadOnly() const
    {
        return QProcess::execute(
                   QStringLiteral("mount"), { QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir })
            == 0;
    }

private:
    QString m_dir;
    bool m_mounted = false;
};
