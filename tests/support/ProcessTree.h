#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

// The processes a process has started, read from /proc (Linux only).
namespace ProcessTree {

inline qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The command name in parentheses may itself hold blanks and parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

inline QList<qint64> descendantsOf(qint64 root)
{
    QList<qint64> found;
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &name : names) {
        bool ok = false;
        const qint64 pid = name.toLongLong(&ok);
        if (!ok || pid == root)
            continue;
        for (qint64 p = parentOf(pid); p > 1; p = parentOf(p)) {
            if (p == root) {
                found << pid;
                break;
            }
        }
    }
    return found;
}

// The file name of the program a process runs ("QtWebEngineProcess"), empty once it is gone.
inline QString programOf(qint64 pid)
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid))).fileName();
}

inline int countDescendantsRunning(qint64 root, const QString &program)
{
    int n = 0;
    for (qint64 pid : descendantsOf(root))
        n += programOf(pid) == program;
    return n;
}

} // namespace ProcessTree
