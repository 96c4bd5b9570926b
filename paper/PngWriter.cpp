#include "PngWriter.h"

#include <QIODevice>
#include <QImage>

#include <csetjmp>
#include <png.h>
#include <zlib.h>

namespace Paper {

namespace {

void writeData(png_structp png, png_bytep data, png_size_t length)
{
    auto *device = static_cast<QIODevice *>(png_get_io_ptr(png));
    if (device->write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length))
        png_error(png, "write failed");
}

void flushData(png_structp) { }

// libpng reports errors by longjmp, so nothing here may need a destructor.
bool writeRows(png_structp png, png_infop info, const QImage &image)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, png_uint_32(image.dotsPerMeterX()), png_uint_32(image.dotsPerMeterY()),
        PNG_RESOLUTION_METER);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_write_info(png, info);
    // An RGB32 pixel is one 32-bit word 0xffRRGGBB: its bytes in memory depend on the byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
    png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, info);
    return true;
}

} // namespace

bool WritePng(QIODevice &device, const QImage &image)
{
    Q_ASSERT(image.format() == QImage::Format_RGB32);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    bool ok = false;
    if (info) {
        png_set_write_fn(png, &device, writeData, flushData);
        ok = writeRows(png, info, image);
    }
    png_destroy_write_struct(&png, &info);
    return ok;
}

} // namespace Paper
