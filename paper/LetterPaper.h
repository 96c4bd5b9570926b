#pragma once

#include "LetterLayout.h"
#include "PaperSettings.h"

#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;
class QTextDocument;

namespace Paper {

// A letter on its paper, laid out once; paints any of its pages onto any painter, so the preview,
// the printer, the PDF and the pictures all show the same pages.
class LetterPaper
{
public:
    // Reads `document` now and keeps nothing of it; give it a copy of the editor's document.
    LetterPaper(const QTextDocument &document, const PaperSettings &settings);

    int pageCount() const { return int(m_layout.pages.size()); }
    QSizeF pageSizeMm() const { return m_layout.geometry.page / UnitsPerMm; }
    // The exact page, portrait, without margins: what a PDF writer or a printer is given.
    QPageLayout pageLayout() const;
    // The letter's first line that is not blank, trimmed: the PDF's title.
    QString title() const { return m_title; }
    const LetterLayout &layout() const { return m_layout; }

    // Paints page `page` (from 0) scaled into `target`, a rectangle in the painter's coordinates of
    // the page's shape (the full sheet: a printer or PDF writer needs zero margins).
    void paintPage(QPainter &painter, int page, const QRectF &target) const;

private:
    LetterLayout m_layout;
    QString m_title;
};

} // namespace Paper
