#include "nxGDIPlusAPI.h"

#include <QImageReader>
#include <QImageWriter>

namespace {
bool available = false;
bool disabled = false;
} // namespace

bool EnsureImageSupport()
{
    if (disabled)
        return false;
    if (!available)
        available = QImageReader::supportedImageFormats().contains("png")
            && QImageWriter::supportedImageFormats().contains("png");
    return available;
}

void SetImageSupportDisabled(bool value)
{
    disabled = value;
    if (value)
        available = false;
}
