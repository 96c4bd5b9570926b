// Prints the time to save and to open a 1 MB letter as RTF and as plain text, and each figure's
// ratio to the 100 ms goal. Best of five runs.
#include "BestOf.h"
#include "DocumentFile.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr double kGoalMs = 100.0;

void fillLetter(QTextDocument &doc, qint64 bytes)
{
    // Phrase lines as the letter modes make them: indented, one and a half spacing, bold names.
    QTextCursor c(&doc);
    QTextBlockFormat spaced;
    spaced.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const QString line
        = QStringLiteral("    亲爱的，每当夜深人静，我总会想起你的笑容，那是我心中最美的风景。");
    qint64 size = 0;
    for (int i = 0; size < bytes; ++i) {
        if (i)
            c.insertBlock(spaced);
        else
            c.setBlockFormat(spaced);
        c.insertText(line, QTextCharFormat());
        c.insertText(QStringLiteral("小明"), bold);
        size += (line.size() + 2) * 2; // GB18030 bytes of the Chinese text
    }
}

void report(const char *what, double ms, qint64 bytes)
{
    std::printf("%-22s %8.1f ms  %7.2f MB  ratio to goal %.2f\n", what, ms, bytes / 1e6, ms / kGoalMs);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    // Each file is about 1 MB on disk: RTF spends some eight bytes on a Chinese character.
    QTextDocument rtfLetter, textLetter;
    fillLetter(rtfLetter, 230'000);
    fillLetter(textLetter, 1'000'000);

    for (const char *name : { "letter.rtf", "letter.txt" }) {
        const QString path = dir.filePath(QLatin1String(name));
        const QTextDocument &letter = QByteArray(name).endsWith(".rtf") ? rtfLetter : textLetter;
        const double save = bestOf(5, [&] { SaveDocumentFile(path, &letter, TTextEncoding::teGB18030); });
        const qint64 size = QFileInfo(path).size();
        QTextDocument opened;
        const double open = bestOf(5, [&] { LoadDocumentFile(path, &opened); });
        report(qPrintable(QStringLiteral("save %1").arg(QLatin1String(name))), save, size);
        report(qPrintable(QStringLiteral("open %1").arg(QLatin1String(name))), open, size);
    }
    return 0;
}
