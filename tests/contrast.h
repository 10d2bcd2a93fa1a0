// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QImage>

#include <algorithm>
#include <cmath>

// Relative luminance, as the contrast of two colours is measured for legibility.
inline double luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

// The most common colour of a picture of a text: what the text stands on.
inline QRgb groundOf(const QImage& image)
{
    QHash<QRgb, int> counts;
    for (int n = 0; n < image.width() * image.height(); ++n)
        ++counts[image.pixel(n % image.width(), n / image.width()) | 0xFF000000u];
    return std::max_element(counts.begin(), counts.end()).key();
}

// How far the text of a picture stands out from its ground: the contrast of the ground with the
// pixel furthest from it, the core of a glyph.
inline double inkContrast(const QImage& image)
{
    const double ground = luminance(groundOf(image));
    double best = 1;
    for (int n = 0; n < image.width() * image.height(); ++n) {
        const double ink = luminance(image.pixel(n % image.width(), n / image.width()));
        best = std::max(best, (std::max(ink, ground) + 0.05) / (std::min(ink, ground) + 0.05));
    }
    return best;
}
