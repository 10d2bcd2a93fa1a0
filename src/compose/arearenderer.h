#pragma once

#include "config/layoutrecord.h"

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "compose/backdrop.h"

namespace korvo::compose {

// Where an area of the layout's canvas lands on the screen's own 320 x 170 grid: unchanged in
// landscape; in portrait turned, a pixel (px, py) landing on (py, 169 - px).
QRect screenPlacement(const QRect& area, int hor);

// Keeps the screen's figures current between two whole frames: draws one figure over the saved
// background in the committed layout and sends only the rectangles that show it. Reads nothing
// but the committed snapshot, so the user may edit meanwhile. One thread at a time.
class AreaRenderer
{
public:
    explicit AreaRenderer(const CommittedLayout& committed);

    // Draws figure `kind` with `text` and sends its dirty areas; returns how many the link
    // accepted.
    int drawMetric(const QString& text, int kind);

    const QString& lastDrawn(int kind) const;

private:
    bool sendArea(const QImage& canvas, const QRect& area, int hor);

    const CommittedLayout& committed_;
    std::array<QString, ElementKindCount> lastDrawn_;
    BackdropCache backdrop_;
    QImage canvas_;
    std::vector<uint8_t> buffer_;
};

} // namespace korvo::compose
