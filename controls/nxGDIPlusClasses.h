// PNG pictures with alpha for the mode buttons, kept as premultiplied 32-bit pixels in a QImage.
#pragma once

#include "Graphic.h"

#include <QImage>

class TnxPNGImage : public TGraphic
{
public:
    TnxPNGImage() = default;

    QString className() const override { return QStringLiteral("TnxPNGImage"); }
    std::unique_ptr<TGraphic> clone() const override;
    int width() const override;
    int height() const override;
    bool transparent() const { return true; }
    void draw(QPainter &canvas, const QRect &dest) const override;
    // Streams of fewer than 14 bytes stay empty; streams that start with "BM" are read as bitmaps.
    void loadFromStream(QIODevice &stream) override;
    void saveToStream(QIODevice &stream) const override;
    QImage toImage() const override { return AsBitmap(); }

    bool hasImage() const { return !m_image.isNull(); }
    void setDevicePixelRatio(qreal ratio);

    // A raw 32-bit bitmap (Format_ARGB32) keeps its alpha and its colour bytes count as already
    // premultiplied; images that say they carry alpha keep it; any other bitmap becomes opaque.
    void assignBitmap(const QImage &bitmap);
    void assign(const TnxPNGImage &other);
    QImage AsBitmap() const;
    void TakeBitmap(const QImage &bitmap) { assignBitmap(bitmap); }
    bool SameImage(const TnxPNGImage &other) const;
    void DrawToDCPart(QPainter &canvas, const QRect &dest, const QRect &source) const;

    void loadFromClipboard();
    // Transparent parts become white on the clipboard.
    void saveToClipboard() const;

    // The enlarged-drawing rule: an image drawn larger is sampled from one column and row less.
    static QRect adjustedSource(const QRect &dest, const QRect &source);

    // Parses a BMP file in memory; 32-bit pixels keep their fourth byte as premultiplied alpha.
    static QImage readBitmap(const QByteArray &data, bool *is32Bit = nullptr);

private:
    void setImage(QImage image);

    QImage m_image; // Format_ARGB32_Premultiplied; null when the picture is empty
};

// Registers the picture class by name and as the "PNG" file format when image support is there.
void InitImageClasses();
void DoneImageClasses();
