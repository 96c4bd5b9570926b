#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace Paper {

class LetterPaper;

inline constexpr int PictureDpi = 300;
inline constexpr int LongPictureWidth = 1080;

// Every file is written beside its old one and renamed into place, so a failed export leaves no
// partial file and the old one intact. Errors throw EPlumaretError naming the file and the reason.

// One PDF page per page: vector text with the font embedded, the exact page size, the letter's first
// line as title.
void ExportPdf(const LetterPaper &paper, const QString &fileName);
// One PNG per page at 300 dpi: "信.png" for one page, "信-1.png", "信-2.png" ... for more.
void ExportPng(const LetterPaper &paper, const QString &fileName);
// All pages one below the other in one PNG 1080 pixels wide, for phones (长图).
void ExportLongPng(const LetterPaper &paper, const QString &fileName);

QStringList PngFileNames(const QString &fileName, int pageCount);
QImage RenderPage(const LetterPaper &paper, int page, int dpi = PictureDpi);
QImage RenderLongImage(const LetterPaper &paper, int width = LongPictureWidth);

} // namespace Paper
