// Prints the time of the letter editor's text tools on a 1 MB letter (GB18030 bytes of its text)
// and each figure's ratio to the 100 ms goal: all matches of a two-character word, replace all,
// word count and 简->繁. Best of five runs, each on a fresh copy of the letter.
#include "ChineseConvert.h"
#include "TextCounts.h"
#include "TextFind.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

constexpr double kGoalMs = 100.0;
constexpr int kRuns = 5;

std::unique_ptr<QTextDocument> makeLetter(qint64 bytes)
{
    auto doc = std::make_unique<QTextDocument>();
    QTextCursor c(doc.get());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const QString line = QStringLiteral(
        "    亲爱的，后来每当夜深人静，我总会想你，想起你的头发和笑容，那是我心中最美的风景 I love you。");
    for (qint64 size = 0; size < bytes; size += (line.size() + 2) * 2) {
        if (size)
            c.insertBlock();
        c.insertText(line, QTextCharFormat());
        c.insertText(QStringLiteral("小明"), bold);
    }
    return doc;
}

template <typename Work> void measure(const char *what, const QTextDocument &letter, Work work)
{
    double best = 1e300;
    double bestCpu = 1e300;
    int result = 0;
    for (int i = 0; i < kRuns; ++i) {
        const std::unique_ptr<QTextDocument> doc(letter.clone());
        QElapsedTimer t;
        const std::clock_t cpu = std::clock();
        t.start();
        result = work(doc.get());
        best = std::min(best, t.nsecsElapsed() / 1e6);
        bestCpu = std::min(bestCpu, (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
    }
    // CPU time of all threads beside the wall clock: on a shared machine the wall clock also
    // counts the time others' work held the processor.
    std::printf("%-26s %8.1f ms  cpu %7.1f ms  (%d)  ratio to goal %.2f\n", what, best, bestCpu, result,
        best / kGoalMs);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const std::unique_ptr<QTextDocument> letter = makeLetter(1'000'000);
    std::printf("letter: %d characters in %d paragraphs\n", letter->characterCount(), letter->blockCount());

    measure("find all \"想你\"", *letter, [](QTextDocument *doc) {
        int found = 0;
        QTextCursor at(doc);
        for (TFindResult r = FindText(doc, QStringLiteral("想你"), at, {}); !r.Wrapped && !r.Match.isNull();
             r = FindText(doc, QStringLiteral("想你"), r.Match, {}))
            ++found;
        return found;
    });
    measure("replace all \"想你\"", *letter, [](QTextDocument *doc) {
        return ReplaceAll(doc, QStringLiteral("想你"), QStringLiteral("念你"), {});
    });
    measure("word count", *letter, [](QTextDocument *doc) { return CountText(doc->toRawText()).Words; });

    QElapsedTimer load;
    load.start();
    ConvertChinese(u"后来", TChineseDirection::cdToTraditional);
    std::printf(
        "%-26s %8.1f ms  (once per run of the program)\n", "OpenCC dictionaries", load.nsecsElapsed() / 1e6);
    // OpenCC alone on the same text, for what the document's edits add to it.
    measure("简->繁, OpenCC's part", *letter, [](QTextDocument *doc) {
        return int(ConvertChinese(doc->toRawText(), TChineseDirection::cdToTraditional).size());
    });
    measure("简->繁", *letter, [](QTextDocument *doc) {
        return int(ConvertChineseInDocument(QTextCursor(doc), TChineseDirection::cdToTraditional));
    });
    return 0;
}
