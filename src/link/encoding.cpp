#include "link/link.h"

#include <QDebug>

namespace korvo::link {

void ConvertImageToDeviceBuffer(const QImage& image, uint8_t* output)
{
    const int width = image.width();
    const int height = image.height();
    if (width < 1 || height < 1)
        return;
    if (!output) {
        qWarning("ConvertImageToDeviceBuffer: no output buffer.");
        return;
    }
    if (image.format() != QImage::Format_RGB16) {
        qWarning("ConvertImageToDeviceBuffer: image format %d is not RGB16, converting first.", int(image.format()));
        ConvertImageToDeviceBuffer(image.convertToFormat(QImage::Format_RGB16), output);
        return;
    }
    // Scan lines are read one by one: Qt pads each to 4 bytes, the screen wants none.
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const uint16_t*>(image.constScanLine(y));
        uint8_t* out = output + static_cast<size_t>(y) * static_cast<size_t>(width) * 2;
        for (int x = 0; x < width; ++x) {
            out[2 * x] = static_cast<uint8_t>(line[x] >> 8);
            out[2 * x + 1] = static_cast<uint8_t>(line[x] & 0xFF);
        }
    }
}

} // namespace korvo::link
