// Letter routines of the window on a generated phrase book of 100,000 phrases (class 1 holds
// 10,000 of them), 5,000 templates of 2 kB and 200 framing phrases. Prints the median time of
// LoadTemplates, of a class change to the 10,000-phrase class, of one toggle there (with the
// repaint) and of btnStartClick with 100 lines, each with its ratio to the goal.
//
//   bench_letters [runs]        (default 15)
#include "JetWriter.h"
#include "LetterComposer.h"
#include "LetterModels.h"
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
#include <random>
#include <vector>

namespace {

constexpr int Phrases = 100000;
constexpr int BigClassPhrases = 10000;
constexpr int Templates = 5000;

QString phrase(std::mt19937 &rng, int length)
{
    static const QString pool = QStringLiteral("我爱你想念温柔月光星辰海风花开相守永远心跳微笑春夏秋冬晨昏岁月山河");
    QString s;
    s.reserve(length);
    for (int i = 0; i < length; ++i)
        s += pool.at(int(rng() % pool.size()));
    return s;
}

void writeBook(const QString &path)
{
    std::mt19937 rng(20240601);
    jet::Writer w;
    w.setCreationTime(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    jet::Table classes{QStringLiteral("LoveWordClass"),
                       {{QStringLiteral("classID"), jet::ColumnType::Long}, {QStringLiteral("Title"), jet::ColumnType::Text, 50}},
                       {}};
    for (int c = 1; c <= 20; ++c)
        classes.rows.append({c, QStringLiteral("类别%1").arg(c)});
    w.addTable(classes);

    jet::Table words{QStringLiteral("LoveWord"),
                     {{QStringLiteral("id"), jet::ColumnType::Long},
                      {QStringLiteral("title"), jet::ColumnType::Text, 255},
                      {QStringLiteral("ClassID"), jet::ColumnType::Long}},
                     {}};
    words.rows.reserve(Phrases);
    for (int i = 1; i <= Phrases; ++i) {
        const int cls = i <= BigClassPhrases ? 1 : 2 + int(rng() % 19);
        words.rows.append({i, phrase(rng, 12 + int(rng() % 30)), cls});
    }
    w.addTable(words);

    jet::Table common{QStringLiteral("CommonLanguage"),
                      {{QStringLiteral("id"), jet::ColumnType::Long},
                       {QStringLiteral("Title"), jet::ColumnType::Text, 255},
                       {QStringLiteral("TYPE"), jet::ColumnType::Long}},
                      {}};
    for (int i = 1; i <= 200; ++i)
        common.rows.append({i, phrase(rng, 10 + int(rng() % 20)), i % 3});
    w.addTable(common);

    jet::Table templates{QStringLiteral("Template"),
                         {{QStringLiteral("ID"), jet::ColumnType::Long},
                          {QStringLiteral("TITLE"), jet::ColumnType::Text, 100},
                          {QStringLiteral("TEXT"), jet::ColumnType::Memo}},
                         {}};
    for (int i = 1; i <= Templates; ++i)
        templates.rows.append({i, phrase(rng, 8 + int(rng() % 60)), phrase(rng, 1024)});
    w.addTable(templates);
    w.write(path);
}

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
    writeBook(dir.filePath(QStringLiteral("db.dll")));
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
    report("LoadTemplates (5,000 templates)", measure(runs, [] {}, [&] { w.LoadTemplates(); }), 50);
    report("  the store's query alone",
           measure(runs, [] {}, [&] { w.PhraseStore->OpenQuery(Letters::TemplatesSql()); }), 50);
    report("  query and row records, without the model",
           measure(runs, [] {}, [&] { Letters::TLetterComposer(*w.PhraseStore).Templates(); }), 50);

    w.pgMode->setCurrentIndex(2);
    report("class change to a class of 10,000 phrases",
           measure(runs, [&] { w.edtQHType->setCurrentIndex(otherClass); },
                   [&] { w.edtQHType->setCurrentIndex(bigClass); }),
           50);

    w.edtQHType->setCurrentIndex(bigClass);
    int row = 0;
    report("one toggle in that class (letter rebuilt)",
           measure(runs,
                   [&] {
                       w.pgMode->setCurrentIndex(2);
                       w.vstGroup->setCurrentIndex(w.GroupModel->index(row));
                       row += 397;
                   },
                   [&] { w.vstGroupColumnDblClick(); }),
           16);

    w.pgMode->setCurrentIndex(0);
    w.edtLines->setValue(100);
    report("btnStartClick with 100 lines", measure(runs, [] {}, [&] { w.btnStartClick(); }), 50);
    return 0;
}
