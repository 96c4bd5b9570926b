// Letter routines of the window on a generated phrase book of 100,000 phrases (class 1 holds
// 10,000 of them), 5,000 templates of 2 kB and 200 framing phrases. Prints the median time of
// LoadTemplates, of a class change to the 10,000-phrase class, of one toggle there (with the
// repaint) and of btnStartClick with 100 lines, each with its ratio to the goal.
//
//   bench_letters [runs]        (default 15)
#include "LetterComposer.h"
#include "LetterModels.h"
#include "SyntheticPhraseBook.h"
#include "uFrmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Phrases = 100000;
constexpr int BigClassPhrases = 10000;
constexpr int Templates = 5000;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Each run includes the events the change posts (layout, repaint) so the figure is what the user waits.
double measure(int runs, const std::function<void()> &prepare, const std::function<void()> &action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        action();
        QCoreApplication::processEvents();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

void report(const char *what, double ms, double goalMs)
{
    std::printf("%-44s %8.2f ms   goal %5.1f ms   ratio %5.2f\n", what, ms, goalMs, ms / goalMs);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;

    QTemporaryDir dir;
    std::printf("writing the phrase book (%d phrases, %d templates) ...\n", Phrases, Templates);
    TSyntheticPhraseBook { Phrases, BigClassPhrases, Templates, true }.write(
        dir.filePath(QStringLiteral("db.dll")));
    QDir::setCurrent(dir.path());

    TfrmMain w;
    w.show();
    QCoreApplication::processEvents();
    const int bigClass = int(w.ClassIDs.indexOf(1));
    const int otherClass = int(w.ClassIDs.indexOf(2));
    if (bigClass < 0 || otherClass < 0 || w.TemplateModel->rowCount() != Templates) {
        std::fprintf(stderr, "the window did not load the generated book\n");
        return 1;
    }
    std::printf("%d runs each, median:\n", runs);

    w.pgMode->setCurrentIndex(1);
    report("LoadTemplates (5,000 templates)",
        measure(
            runs, [] {}, [&] { w.LoadTemplates(); }),
        50);
    report("  the store's query alone",
        measure(
            runs, [] {}, [&] { w.PhraseStore->OpenQuery(Letters::TemplatesSql()); }),
        50);
    report("  query and row records, without the model",
        measure(
            runs, [] {}, [&] { Letters::TLetterComposer(*w.PhraseStore).Templates(); }),
        50);

    w.pgMode->setCurrentIndex(2);
    report("class change to a class of 10,000 phrases",
        measure(
            runs, [&] { w.edtQHType->setCurrentIndex(otherClass); },
            [&] { w.edtQHType->setCurrentIndex(bigClass); }),
        50);

    w.edtQHType->setCurrentIndex(bigClass);
    int row = 0;
    report("one toggle in that class (letter rebuilt)",
        measure(
            runs,
            [&] {
                w.pgMode->setCurrentIndex(2);
                w.vstGroup->setCurrentIndex(w.GroupModel->index(row));
                row += 397;
            },
            [&] { w.vstGroupColumnDblClick(); }),
        16);

    w.pgMode->setCurrentIndex(0);
    w.edtLines->setValue(100);
    report("btnStartClick with 100 lines",
        measure(
            runs, [] {}, [&] { w.btnStartClick(); }),
        50);
    return 0;
}
