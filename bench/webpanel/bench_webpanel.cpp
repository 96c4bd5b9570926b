// Runs the real window several times in fresh processes, with and without the advertisement panel,
// and prints the time to its first paint and the memory of the whole process tree (the engine runs
// its pages in processes of its own). Run it under a display, e.g. xvfb-run.
#include "PlumaretApplication.h"
#include "uFrmMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

QElapsedTimer sinceStart;

qint64 rssKiB(qint64 pid, const char *field)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return 0;
}

qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

// This process at its peak plus every descendant as it is now.
qint64 treeKiB()
{
    const qint64 self = QCoreApplication::applicationPid();
    qint64 total = rssKiB(self, "VmHWM:");
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &name : pids) {
        bool ok = false;
        qint64 pid = name.toLongLong(&ok);
        if (!ok || pid == self)
            continue;
        for (qint64 p = parentOf(pid); p > 1; p = parentOf(p))
            if (p == self) {
                total += rssKiB(pid, "VmRSS:");
                break;
            }
    }
    return total;
}

class FirstPaint : public QObject
{
public:
    qint64 ms = -1;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && ms < 0)
            ms = sinceStart.elapsed();
        return false;
    }
};

int runOnce(int argc, char **argv, bool withPanel)
{
    sinceStart.start();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TPlumaretApplication app(argc, argv);
    TfrmMain window;
    FirstPaint paint;
    window.installEventFilter(&paint);
    window.show();
    if (!withPanel)
        delete window.findChild<QObject *>(QStringLiteral("advertisementHook"));
    // Long enough for the engine to start and give up on the unreachable page.
    QTimer::singleShot(6000, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("%lld %lld %d\n", paint.ms, treeKiB(), window.wbAD != nullptr);
    return 0;
}

struct Figures
{
    qint64 paintMs;
    qint64 memoryKiB;
};

Figures median(const QString &mode, const QString &folder, int runs)
{
    QList<qint64> paint, memory;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setWorkingDirectory(folder);
        child.start(QCoreApplication::applicationFilePath(), { mode });
        child.waitForFinished(60000);
        const QList<QByteArray> fields
            = child.readAllStandardOutput().trimmed().split('\n').last().split(' ');
        if (fields.size() != 3) {
            std::fprintf(stderr, "run failed: %s\n", child.readAllStandardError().constData());
            continue;
        }
        if ((fields.at(2) == "1") != (mode == QLatin1String("with")))
            std::fprintf(stderr, "the panel was %s\n", fields.at(2) == "1" ? "made" : "not made");
        paint << fields.at(0).toLongLong();
        memory << fields.at(1).toLongLong();
    }
    std::sort(paint.begin(), paint.end());
    std::sort(memory.begin(), memory.end());
    if (paint.isEmpty())
        return { 0, 0 };
    return { paint.at(paint.size() / 2), memory.at(memory.size() / 2) };
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && (qstrcmp(argv[1], "with") == 0 || qstrcmp(argv[1], "without") == 0))
        return runOnce(argc, argv, qstrcmp(argv[1], "with") == 0);

    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    if (!QFile::copy(
            QStringLiteral(PLUMARET_BINARY_DIR "/app/db.dll"), folder.filePath(QStringLiteral("db.dll")))) {
        std::fprintf(stderr, "build the phrase book first (app/db.dll)\n");
        return 1;
    }
    const int runs = 5;
    const Figures without = median(QStringLiteral("without"), folder.path(), runs);
    const Figures with = median(QStringLiteral("with"), folder.path(), runs);
    std::printf("median of %d runs        first paint   memory (process tree)\n", runs);
    std::printf(
        "without web panel       %6lld ms      %7.1f MiB\n", without.paintMs, without.memoryKiB / 1024.0);
    std::printf("with web panel          %6lld ms      %7.1f MiB\n", with.paintMs, with.memoryKiB / 1024.0);
    if (without.paintMs > 0 && without.memoryKiB > 0)
        std::printf("ratio                   %6.2fx         %7.2fx   (goal for first paint: <= 1.10x)\n",
            double(with.paintMs) / without.paintMs, double(with.memoryKiB) / without.memoryKiB);
    return 0;
}
