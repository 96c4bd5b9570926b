#include "nxGDIPlusClasses.h"

#include "Picture.h"
#include "PlumaretError.h"
#include "nxGDIPlusAPI.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>
#include <algorithm>

namespace {

constexpr int peekSize = 14;

QImage premultiplied32(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Colour bytes above their alpha are no valid premultiplied pixel and overflow when blended.
void clampToAlpha(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int a = qAlpha(p);
            line[x] = qRgba(std::min(qRed(p), a), std::min(qGreen(p), a), std::min(qBlue(p), a), a);
        }
    }
}

} // namespace

/* BMP layout read here (little-endian):
     file header   0  2  "BM"
                   2  4  file size (not trusted)
                  10  4  offset of the pixel rows
     info header  14  4  header size, at least 40
                  18  4  width (signed)
                  22  4  height (signed; negative = rows top-down)
                  28  2  bits per pixel
                  30  4  compression: 0 plain, 3 bit fields (masks taken as B, G, R, A)
   32-bit rows are width * 4 bytes of B, G, R, A. Other depths go to Qt's BMP reader. */
QImage TnxPNGImage::readBitmap(const QByteArray &data, bool *is32Bit)
{
    if (is32Bit)
        *is32Bit = false;
    const auto *bytes = reinterpret_cast<const uchar *>(data.constData());
    if (data.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M')
        throw EPlumaretError(QStringLiteral("Bitmap data is truncated (%1 bytes)").arg(data.size()));
    const quint32 offset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(bytes + 14);
    const qint32 width = qFromLittleEndian<qint32>(bytes + 18);
    const qint32 height = qFromLittleEndian<qint32>(bytes + 22);
    const quint16 bits = qFromLittleEndian<quint16>(bytes + 28);
    const quint32 compression = qFromLittleEndian<quint32>(bytes + 30);

    if (bits == 32 && headerSize >= 40 && (compression == 0 || compression == 3)) {
        const qint64 rows = height < 0 ? -qint64(height) : qint64(height);
        if (width < 1 || rows < 1 || width > 32767 || rows > 32767)
            throw EPlumaretError(
                QStringLiteral("Bitmap of %1 x %2 pixels is not supported").arg(width).arg(height));
        const qint64 stride = qint64(width) * 4;
        if (qint64(offset) + stride * rows > data.size())
            throw EPlumaretError(QStringLiteral("Bitmap data is truncated (%1 bytes)").arg(data.size()));
        QImage image(width, int(rows), QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < rows; ++y) {
            const qint64 sourceRow = height < 0 ? y : rows - 1 - y;
            const uchar *src = bytes + offset + sourceRow * stride;
            auto *dst = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < width; ++x, src += 4)
                dst[x] = qRgba(src[2], src[1], src[0], src[3]);
        }
        clampToAlpha(image);
        if (is32Bit)
            *is32Bit = true;
        return image;
    }

    QImage image;
    if (!image.loadFromData(data, "BMP"))
        throw EPlumaretError(QStringLiteral("Bitmap data cannot be read"));
    return image;
}

std::unique_ptr<TGraphic> TnxPNGImage::clone() const
{
    auto copy = std::make_unique<TnxPNGImage>();
    copy->m_image = m_image; // implicitly shared; nothing modifies the pixels afterwards
    return copy;
}

int TnxPNGImage::width() const
{
    if (m_image.isNull() || !EnsureImageSupport())
        return 0;
    return int(m_image.width() / m_image.devicePixelRatio());
}

int TnxPNGImage::height() const
{
    if (m_image.isNull() || !EnsureImageSupport())
        return 0;
    return int(m_image.height() / m_image.devicePixelRatio());
}

void TnxPNGImage::setImage(QImage image)
{
    m_image = std::move(image);
}

void TnxPNGImage::setDevicePixelRatio(qreal ratio)
{
    if (!m_image.isNull())
        m_image.setDevicePixelRatio(ratio);
}

void TnxPNGImage::draw(QPainter &canvas, const QRect &dest) const
{
    DrawToDCPart(canvas, dest, QRect(0, 0, width(), height()));
}

QRect TnxPNGImage::adjustedSource(const QRect &dest, const QRect &source)
{
    int sw = source.width();
    int sh = source.height();
    if (dest.width() > sw && sw > 1)
        --sw;
    if (dest.height() > sh && sh > 1)
        --sh;
    return QRect(source.left(), source.top(), sw, sh);
}

void TnxPNGImage::DrawToDCPart(QPainter &canvas, const QRect &dest, const QRect &source) const
{
    if (m_image.isNull() || !EnsureImageSupport())
        return;
    if (source.width() < 1 || source.height() < 1 || dest.width() < 1 || dest.height() < 1)
        return;
    const QRect from = adjustedSource(dest, source);
    if (canvas.hasClipping() && !canvas.clipBoundingRect().intersects(QRectF(dest)))
        return;
    const qreal dpr = m_image.devicePixelRatio();
    canvas.drawImage(QRectF(dest), m_image,
        QRectF(from.left() * dpr, from.top() * dpr, from.width() * dpr, from.height() * dpr));
}

void TnxPNGImage::loadFromStream(QIODevice &stream)
{
    if (stream.bytesAvailable() == 0) {
        setImage(QImage());
        return;
    }
    if (!EnsureImageSupport() || stream.bytesAvailable() < peekSize) {
        setImage(QImage());
        return;
    }
    const QByteArray data = stream.readAll();
    if (data.startsWith("BM")) {
        assignBitmap(readBitmap(data));
        return;
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    QImage image = reader.read();
    if (image.isNull())
        throw EPlumaretError(QStringLiteral("Invalid PNG picture: %1").arg(reader.errorString()));
    setImage(premultiplied32(image));
}

void TnxPNGImage::saveToStream(QIODevice &stream) const
{
    if (m_image.isNull() || !EnsureImageSupport())
        return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImage plain = m_image;
    plain.setDevicePixelRatio(1);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(plain))
        throw EPlumaretError(QStringLiteral("Cannot encode PNG picture: %1").arg(writer.errorString()));
    if (stream.write(buffer.data()) != buffer.data().size())
        throw EPlumaretError(QStringLiteral("Cannot write PNG picture: %1").arg(stream.errorString()));
}

void TnxPNGImage::assignBitmap(const QImage &bitmap)
{
    if (bitmap.isNull()) {
        setImage(QImage());
        return;
    }
    QImage image;
    if (bitmap.format() == QImage::Format_ARGB32) {
        // A 32-bit bitmap's bytes are taken as they are, already multiplied by alpha.
        image = bitmap.copy();
        image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        clampToAlpha(image);
    } else if (bitmap.hasAlphaChannel()) {
        image = premultiplied32(bitmap);
    } else {
        image = premultiplied32(bitmap.convertToFormat(QImage::Format_RGB32));
    }
    image.setDevicePixelRatio(bitmap.devicePixelRatio());
    setImage(std::move(image));
}

void TnxPNGImage::assign(const TnxPNGImage &other)
{
    m_image = other.m_image;
}

QImage TnxPNGImage::AsBitmap() const
{
    if (m_image.isNull() || !EnsureImageSupport())
        return QImage();
    return m_image;
}

bool TnxPNGImage::SameImage(const TnxPNGImage &other) const
{
    if (width() != other.width() || height() != other.height())
        return false;
    if (width() < 1 || height() < 1)
        return true;
    if (m_image.size() != other.m_image.size())
        return false;
    for (int y = 0; y < m_image.height(); ++y) {
        if (!std::equal(reinterpret_cast<const QRgb *>(m_image.constScanLine(y)),
                reinterpret_cast<const QRgb *>(m_image.constScanLine(y)) + m_image.width(),
                reinterpret_cast<const QRgb *>(other.m_image.constScanLine(y))))
            return false;
    }
    return true;
}

void TnxPNGImage::loadFromClipboard()
{
    const QImage image = QGuiApplication::clipboard()->image();
    setImage(image.isNull() ? QImage() : premultiplied32(image));
}

void TnxPNGImage::saveToClipboard() const
{
    QImage sheet(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter p(&sheet);
        draw(p, QRect(0, 0, width(), height()));
    }
    QGuiApplication::clipboard()->setImage(sheet);
}

void InitImageClasses()
{
    if (!EnsureImageSupport())
        return;
    TPicture::registerClass(QStringLiteral("TnxPNGImage"), [] { return std::make_unique<TnxPNGImage>(); });
    TPicture::registerFileFormat(
        QStringLiteral("PNG"), QStringLiteral("PNG文件"), QStringLiteral("TnxPNGImage"));
}

void DoneImageClasses()
{
    TPicture::unregisterFileFormat(QStringLiteral("PNG"));
    TPicture::unregisterClass(QStringLiteral("TnxPNGImage"));
}
