// Starts the bare window, the bare window with a line of Chinese text and the program in turn, and
// prints the median wall time from process start to the first paint, the median peak memory, and
// the ratios to the two baselines.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <iterator>

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
    // The copy's lock and socket live in the temporary folder: never meet a running copy of the user.
    env.insert(QStringLiteral("TMPDIR"), runtime.path());
    if (env.value(QStringLiteral("DISPLAY")).isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    struct Program
    {
        const char *label;
        QString exe;
        std::vector<double> ms, kib;
    };
    Program programs[] = { { "bare QMainWindow", QStringLiteral(BARE_EXE), {}, {} },
        { "bare + Chinese  ", QStringLiteral(TEXT_EXE), {}, {} },
        { "plumaret window ", QStringLiteral(WINDOW_EXE), {}, {} } };
    const int count = int(std::size(programs));
    for (int i = 0; i < runs + 1; ++i) {
        // Each round starts with the next program: one that always followed another would share
        // its warm caches (or its leftovers) in every round.
        for (int k = 0; k < count; ++k) {
            Program &p = programs[(i + k) % count];
            Sample s;
            if (!runOnce(p.exe, env, work.path(), &s)) {
                std::printf("a run of %s did not reach its first paint\n", p.label);
                return 1;
            }
            if (i == 0)
                continue; // warms the file cache for all
            p.ms.push_back(s.ms);
            p.kib.push_back(double(s.kib));
        }
    }
    std::printf("platform: %s, runs: %d (medians)\n",
        qPrintable(env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"))), runs);
    const double bt = median(programs[0].ms), bm = median(programs[0].kib);
    const double ct = median(programs[1].ms);
    for (const Program &p : programs) {
        const double t = median(p.ms), m = median(p.kib);
        std::printf(
            "%s: first paint %5.1f ms (%.2fx bare, %.2fx bare + Chinese), peak memory %5.1f MiB (%.2fx)\n",
            p.label, t, t / bt, t / ct, m / 1024, m / bm);
    }
    std::printf("goal: the window within 1.30x of bare + Chinese\n");
    return 0;
}
