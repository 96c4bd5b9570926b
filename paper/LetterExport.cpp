#include "LetterExport.h"

#include "LetterPaper.h"
#include "PlumaretError.h"
#include "PngWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <memory>

namespace Paper {

namespace {

[[noreturn]] void fail(const QString &fileName, const QString &reason)
{
    throw EPlumaretError(
        QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(fileName), reason));
}

std::unique_ptr<QSaveFile> openSaveFile(const QString &fileName)
{
    auto file = std::make_unique<QSaveFile>(fileName);
    if (!file->open(QIODevice::WriteOnly))
        fail(fileName, file->errorString());
    return file;
}

void commit(QSaveFile &file)
{
    if (!file.commit())
        fail(file.fileName(), file.errorString());
}

void writePng(QSaveFile &file, const QImage &image)
{
    if (!WritePng(file, image))
        fail(file.fileName(),
            file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("无法编码图片"));
}

} // namespace

void ExportPdf(const LetterPaper &paper, const QString &fileName)
{
    const std::unique_ptr<QSaveFile> file = openSaveFile(fileName);
    {
        QPdfWriter writer(file.get());
        writer.setTitle(paper.title());
        writer.setCreator(QStringLiteral("墨韵笺语工坊"));
        writer.setPageLayout(paper.pageLayout());
        QPainter painter;
        if (!painter.begin(&writer))
            fail(fileName, file->errorString());
        const QRectF sheet(0, 0, writer.width(), writer.height());
        for (int page = 0; page < paper.pageCount(); ++page) {
            if (page > 0)
                writer.newPage();
            paper.paintPage(painter, page, sheet);
        }
        painter.end();
    }
    commit(*file);
}

QStringList PngFileNames(const QString &fileName, int pageCount)
{
    if (pageCount <= 1)
        return { fileName };
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = fileName.chopped(suffix.size());
    QStringList names;
    for (int page = 1; page <= pageCount; ++page)
        names.append(QStringLiteral("%1-%2%3").arg(stem).arg(page).arg(suffix));
    return names;
}

QImage RenderPage(const LetterPaper &paper, int page, int dpi)
{
    const QSizeF mm = paper.pageSizeMm();
    QImage image(qRound(mm.width() / 25.4 * dpi), qRound(mm.height() / 25.4 * dpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    paper.paintPage(painter, page, image.rect());
    return image;
}

QImage RenderLongImage(const LetterPaper &paper, int width)
{
    const QSizeF mm = paper.pageSizeMm();
    const int pageHeight = qRound(width * mm.height() / mm.width());
    QImage image(width, pageHeight * paper.pageCount(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int page = 0; page < paper.pageCount(); ++page)
        paper.paintPage(painter, page, QRectF(0, page * pageHeight, width, pageHeight));
    return image;
}

void ExportPng(const LetterPaper &paper, const QString &fileName)
{
    // Every page is written before any is renamed into place: a failure keeps all the old files.
    const QStringList names = PngFileNames(fileName, paper.pageCount());
    std::vector<std::unique_ptr<QSaveFile>> files;
    for (int page = 0; page < paper.pageCount(); ++page) {
        files.push_back(openSaveFile(names.at(page)));
        writePng(*files.back(), RenderPage(paper, page));
    }
    for (const std::unique_ptr<QSaveFile> &file : files)
        commit(*file);
}

void ExportLongPng(const LetterPaper &paper, const QString &fileName)
{
    const std::unique_ptr<QSaveFile> file = openSaveFile(fileName);
    writePng(*file, RenderLongImage(paper));
    commit(*file);
}

} // namespace Paper
