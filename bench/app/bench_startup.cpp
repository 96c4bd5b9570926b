// Starts the bare window and the program in turn and prints the median wall time from process start
// to the first paint, the median peak memory, and the program's ratios to the bare window.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

struct Sample
{
    double ms = 0;
    long long kib = 0;
};

bool runOnce(const QString &exe, const QProcessEnvironment &env, const QString &dir, Sample *out)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir);
    QElapsedTimer clock;
    clock.start();
    p.start(exe, {});
    while (!p.canReadLine()) {
        if (!p.waitForReadyRead(30000))
            return false;
    }
    out->ms = clock.nsecsElapsed() / 1e6;
    const QList<QByteArray> words = p.readLine().trimmed().split(' ');
    out->kib = words.value(1).toLongLong();
    p.waitForFinished(10000);
    return words.value(0) == "painted";
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;

    QTemporaryDir work;
    QTemporaryDir runtime;
    if (!QFile::copy(QStringLiteral(PHRASE_BOOK), work.filePath(QStringLiteral("db.dll")))) {
        std::printf("no phrase book at %s: build the target phrasebook first\n", PHRASE_BOOK);
        return 1;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    if (env.value(QStringLiteral("DISPLAY")).isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    std::vector<double> bareMs, bareKiB, winMs, winKiB;
    for (int i = 0; i < runs + 1; ++i) {
        Sample bare, window;
        if (!runOnce(QStringLiteral(BARE_EXE), env, work.path(), &bare)
            || !runOnce(QStringLiteral(WINDOW_EXE), env, work.path(), &window)) {
            std::printf("a run did not reach its first paint\n");
            return 1;
        }
        if (i == 0)
            continue; // warms the file cache for both
        bareMs.push_back(bare.ms);
        bareKiB.push_back(double(bare.kib));
        winMs.push_back(window.ms);
        winKiB.push_back(double(window.kib));
    }
    const double bt = median(bareMs), wt = median(winMs);
    const double bm = median(bareKiB), wm = median(winKiB);
    std::printf("platform: %s, runs: %d (medians)\n",
                qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))), runs);
    std::printf("bare QMainWindow: first paint %.1f ms, peak memory %.1f MiB\n", bt, bm / 1024);
    std::printf("plumaret window : first paint %.1f ms, peak memory %.1f MiB\n", wt, wm / 1024);
    std::printf("ratio           : time %.2fx (goal <= 1.30x), memory %.2fx\n", wt / bt, wm / bm);
    return 0;
}
