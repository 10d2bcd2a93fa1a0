// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the shipped whole.png: the dark background the screen shows before the first apply.
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    QImage image(320, 170, QImage::Format_RGB32);
    // A gentle top-to-bottom fade from slate (24, 28, 36) to near black (12, 14, 18).
    for (int y = 0; y < image.height(); ++y) {
        const int step = 12 * y / (image.height() - 1);
        const QRgb colour = qRgb(24 - step, 28 - step * 14 / 12, 36 - step * 18 / 12);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = colour;
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "Unable to write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
