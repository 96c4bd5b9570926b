#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// How a program run to its end went; exitCode -1 when it did not start, crashed or hung.
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Output read as UTF-8; not for outputs larger than a pipe holds before the program ends.
inline Run RunProgram(const QString &program, const QStringList &args, int timeoutMs = 120000)
{
    QProcess p;
    p.start(program, args);
    Run r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(timeoutMs)) {
        r.err = program + QStringLiteral(" did not finish: ") + p.errorString();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
