// Runs the real window several times in fresh processes: without the advertisement panel, with a page
// that never answers and with a page that answers, and prints the time to its first paint, the memory
// of the whole process tree (the engine runs its pages in processes of its own) and when the page
// showed. Run it under a display, e.g. xvfb-run: bench_webpanel [runs].
#include "LoopbackHttpServer.h"
#include "PlumaretApplication.h"
#include "ProcessTree.h"
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

// This process at its peak plus every descendant as it is now.
qint64 treeKiB()
{
    const qint64 self = QCoreApplication::applicationPid();
    qint64 total = rssKiB(self, "VmHWM:");
    for (qint64 pid : ProcessTree::descendantsOf(self))
        total += rssKiB(pid, "VmRSS:");
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

// How the advertisement page behaves in a run.
enum class Panel { None, NeverAnswers, Answers };

const char *const modeNames[] = { "without", "silent", "answers" };

const QByteArray AdPage = "<html><head><title>ad</title></head><body><p>ad</p></body></html>";

int runOnce(int argc, char **argv, Panel panel)
{
    sinceStart.start();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TPlumaretApplication app(argc, argv);
    // A loopback server stands in for the vendor host: one that never answers, or the page.
    LoopbackHttpServer server(
        panel == Panel::Answers ? LoopbackHttpServer::Answer : LoopbackHttpServer::Silent, AdPage,
        "text/html");
    TfrmMain window;
    window.AdvertisementUrl = QUrl(server.url(QStringLiteral("/ad/201072710_1.html")));
    FirstPaint paint;
    window.installEventFilter(&paint);
    qint64 pageMs = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        if (pageMs < 0 && window.wbAD && window.wbAD->isVisible())
            pageMs = sinceStart.elapsed();
    });
    poll.start(5);
    window.show();
    if (panel == Panel::None)
        delete window.findChild<QObject *>(QStringLiteral("advertisementHook"));
    // Long enough for the engine to start and show the page.
    QTimer::singleShot(6000, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("%lld %lld %lld %d\n", paint.ms, treeKiB(), pageMs, window.wbAD != nullptr);
    return 0;
}

struct Figures
{
    qint64 paintMs = 0;
    qint64 memoryKiB = 0;
    qint64 pageMs = -1;
};

qint64 medianOf(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

// One run of the window in a fresh process, added to the figures of its kind.
struct Samples
{
    QList<qint64> paint, memory, page;
};

void runChild(Panel panel, const QString &folder, Samples &samples)
{
    QProcess child;
    child.setWorkingDirectory(folder);
    child.start(QCoreApplication::applicationFilePath(), { QLatin1String(modeNames[int(panel)]) });
    child.waitForFinished(60000);
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split('\n').last().split(' ');
    if (fields.size() != 4) {
        std::fprintf(stderr, "run failed: %s\n", child.readAllStandardError().constData());
        return;
    }
    if ((fields.at(3) == "1") != (panel == Panel::Answers))
        std::fprintf(stderr, "the web view was %s\n", fields.at(3) == "1" ? "made" : "not made");
    samples.paint << fields.at(0).toLongLong();
    samples.memory << fields.at(1).toLongLong();
    samples.page << fields.at(2).toLongLong();
}

Figures median(const Samples &samples)
{
    return { medianOf(samples.paint), medianOf(samples.memory), medianOf(samples.page) };
}

} // namespace

int main(int argc, char **argv)
{
    for (int mode = 0; argc > 1 && mode < 3; ++mode)
        if (qstrcmp(argv[1], modeNames[mode]) == 0)
            return runOnce(argc, argv, Panel(mode));

    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    if (!QFile::copy(
            QStringLiteral(PLUMARET_BINARY_DIR "/app/db.dll"), folder.filePath(QStringLiteral("db.dll")))) {
        std::fprintf(stderr, "build the phrase book first (app/db.dll)\n");
        return 1;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    // Taken in turn, so that a change of the machine's load falls on all three alike.
    Samples samples[3];
    for (int i = 0; i < runs; ++i)
        for (int mode = 0; mode < 3; ++mode)
            runChild(Panel(mode), folder.path(), samples[mode]);
    const Figures without = median(samples[int(Panel::None)]);
    const Figures silent = median(samples[int(Panel::NeverAnswers)]);
    const Figures answers = median(samples[int(Panel::Answers)]);
    std::printf("median of %d runs            first paint   memory (process tree)   page shown\n", runs);
    const auto row = [&](const char *label, const Figures &f) {
        std::printf("%-28s %6lld ms   %8.1f MiB", label, f.paintMs, f.memoryKiB / 1024.0);
        if (without.paintMs > 0 && without.memoryKiB > 0)
            std::printf(" (%.2fx, %.2fx)", double(f.paintMs) / without.paintMs,
                double(f.memoryKiB) / without.memoryKiB);
        if (f.pageMs >= 0)
            std::printf("   %6lld ms", f.pageMs);
        std::printf("\n");
    };
    row("without the web panel", without);
    row("page never answers", silent);
    row("page answers (loopback)", answers);
    std::printf("goal: a page that never answers within 1.10x of the memory without the panel, first paint "
                "unchanged\n");
    return 0;
}
