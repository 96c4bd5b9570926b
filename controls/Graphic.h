// The abstract graphic that a TPicture owns: anything that can measure, draw and stream itself.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <memory>

class QIODevice;
class QPainter;

class TGraphic
{
public:
    virtual ~TGraphic() = default;

    virtual QString className() const = 0;
    virtual std::unique_ptr<TGraphic> clone() const = 0;

    // Logical pixels: a 2x picture of 72 x 80 device pixels measures 36 x 40.
    virtual int width() const = 0;
    virtual int height() const = 0;
    bool empty() const { return width() < 1 || height() < 1; }

    virtual void draw(QPainter &canvas, const QRect &dest) const = 0;
    virtual void loadFromStream(QIODevice &stream) = 0;
    virtual void saveToStream(QIODevice &stream) const = 0;

    // The graphic as a 32-bit premultiplied bitmap, for the code that reads pixels.
    virtual QImage toImage() const = 0;
};
