#include "LetterPrint.h"

#include "LetterPaper.h"
#include "PlumaretError.h"

#include <QPainter>
#include <QPrinter>

void PreparePrinter(QPrinter &printer, const Paper::LetterPaper &paper)
{
    // One setPageLayout call: separate size and orientation calls get mixed up by CUPS drivers.
    printer.setPageLayout(paper.pageLayout());
    printer.setFullPage(true);
    printer.setDocName(paper.title().isEmpty() ? QStringLiteral("情书") : paper.title());
    printer.setFromTo(0, 0);
}

void PrintLetter(const Paper::LetterPaper &paper, QPrinter &printer)
{
    int first = 0;
    int last = paper.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = qBound(0, printer.fromPage() - 1, last);
        last = qBound(first, printer.toPage() - 1, last);
    }
    const auto refused = [&printer] {
        return EPlumaretError(QStringLiteral("打印机“%1”无法打印。").arg(printer.printerName()));
    };
    QPainter painter;
    if (!painter.begin(&printer))
        throw refused();
    // The sheet in the printer may differ from the letter's paper: the page keeps its shape, centred.
    const QSizeF sheet = printer.paperRect(QPrinter::DevicePixel).size();
    const QSizeF page = paper.pageSizeMm().scaled(sheet, Qt::KeepAspectRatio);
    const QRectF target(
        QPointF((sheet.width() - page.width()) / 2, (sheet.height() - page.height()) / 2), page);
    for (int i = first; i <= last; ++i) {
        if (i > first && !printer.newPage())
            throw refused();
        paper.paintPage(painter, i, target);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw refused();
}
