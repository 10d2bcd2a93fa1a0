// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/layoutstate.h"

#include "compose/backdrop.h"
#include "metrics/figuretexts.h"

#include <QFont>
#include <QImage>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class QPainter;

namespace korvo::compose {

struct TextItem;

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

    // drawMetric in two steps, so that several figures can be drawn in one go and sent apart:
    // prepareMetric draws and keeps the areas and says whether there is anything to send (a text
    // that covers what the screen shows has none); sendMetric sends what was prepared for `kind`
    // (once) and returns how many the link accepted.
    bool prepareMetric(const QString& text, int kind);
    int sendMetric(int kind);

    // The figures the committed layout shows, indexed by kind: a pass need read no other.
    std::bitset<ElementKindCount> shownFigures();

    // A whole frame of the committed layout was sent: the screen now shows the frame's sample
    // texts, "--" for the `unavailable` figures, and the next drawing of each figure is measured
    // against those. Returns them.
    const std::array<QString, ElementKindCount>& frameShown(const metrics::FigureSet& unavailable);

private:
    // One area as the screen takes it: where it goes and its encoded pixels.
    struct Packet
    {
        QRect placed;
        std::vector<uint8_t> pixels;
    };
    // The packets last sent for a figure. Time and date are resent every pass, mostly unchanged:
    // the same text over the same layout and background gives the same bytes, so they are sent
    // again without drawing.
    struct SentFigure
    {
        QString text;
        std::shared_ptr<const LayoutState> state;
        uint64_t backdropGeneration = 0;
        std::vector<QRect> areas;
        std::vector<Packet> packets;
        bool pending = false; // prepared and not yet sent
    };

    void render(const LayoutState& state, int kind, const QString& text, const std::vector<QRect>& areas,
                std::vector<Packet>& packets);
    void draw(QPainter& painter, const TextItem& item);

    const CommittedLayout& committed_;
    std::shared_ptr<const LayoutState> shownState_; // the layout shownFigures_ was found for
    std::bitset<ElementKindCount> shownFigures_;
    std::array<QString, ElementKindCount> lastDrawn_;
    std::array<SentFigure, ElementKindCount> sent_;
    BackdropCache backdrop_;
    QImage canvas_;
    std::vector<std::pair<int, QFont>> fonts_; // by pixel size, as drawn so far
};

} // namespace korvo::compose
