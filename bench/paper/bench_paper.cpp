// Prints the time to put a framed letter on paper: a one-page and a three-page letter to PDF, one
// page to PNG at 300 dpi, three pages as one long picture, and one page painted at screen size as
// the preview paints it; each beside its goal, and the three-page PDF beside LibreOffice turning the
// same letter, saved as RTF, into PDF (where soffice is installed). Best of several runs.
#include "BestOf.h"
#include "DocumentFile.h"
#include "LetterExport.h"
#include "LetterFixture.h"
#include "LetterPaper.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Paper;

namespace {

void report(const char *what, double ms, double goalMs)
{
    if (goalMs > 0)
        std::printf("%-34s %9.1f ms  goal %5.0f ms  ratio to goal %.2f\n", what, ms, goalMs, ms / goalMs);
    else
        std::printf("%-34s %9.1f ms\n", what, ms);
}

// The number of body lines of the smallest framed letter that fills `pages` pages.
int linesForPages(int pages)
{
    int lines = 1;
    while (LetterPaper(*FramedLetter(lines), PaperSettings()).pageCount() < pages)
        ++lines;
    return lines;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const PaperSettings settings;
    const auto one = FramedLetter(linesForPages(2) - 1); // a full page
    const auto three = FramedLetter(linesForPages(3));
    const QString pdf = dir.filePath(QStringLiteral("信.pdf"));

    report("layout, three pages", bestOf(10, [&] { LetterPaper(*three, settings); }), 0);
    report("one page to PDF", bestOf(10, [&] { ExportPdf(LetterPaper(*one, settings), pdf); }), 0);
    const double threePdf = bestOf(10, [&] { ExportPdf(LetterPaper(*three, settings), pdf); });
    report("three pages to PDF", threePdf, 150);
    const LetterPaper page(*one, settings);
    report("one page painted at 300 dpi", bestOf(5, [&] { RenderPage(page, 0); }), 0);
    report("one page to PNG, 300 dpi",
        bestOf(5, [&] { ExportPng(LetterPaper(*one, settings), dir.filePath(QStringLiteral("信.png"))); }),
        600);
    report("three pages as a long PNG",
        bestOf(5,
            [&] { ExportLongPng(LetterPaper(*three, settings), dir.filePath(QStringLiteral("长图.png"))); }),
        0);

    // The preview lays out once and paints each time it is shown; an A4 page at 96 dpi.
    QImage screen(794, 1123, QImage::Format_ARGB32_Premultiplied);
    for (const bool hand : { false, true }) {
        PaperSettings s = settings;
        s.hand = hand;
        const LetterPaper preview(*one, s);
        report(hand ? "preview page painted, hand" : "preview page painted",
            bestOf(20,
                [&] {
                    QPainter painter(&screen);
                    preview.paintPage(painter, 0, screen.rect());
                }),
            16);
    }

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("soffice is not installed: no LibreOffice baseline\n");
        return 0;
    }
    const QString rtf = dir.filePath(QStringLiteral("letter.rtf"));
    SaveDocumentFile(rtf, three.get(), TTextEncoding::teGB18030);
    const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("lo-profile"))).toString();
    const auto convert = [&] {
        QProcess office;
        office.start(soffice,
            { QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"), dir.path(),
                rtf });
        office.waitForFinished(120000);
    };
    convert(); // the first run builds LibreOffice's profile
    const double office = bestOf(3, convert);
    report("LibreOffice, three pages RTF to PDF", office, 0);
    std::printf("LibreOffice takes %.1f times as long as the three-page PDF\n", office / threePdf);
    return 0;
}
