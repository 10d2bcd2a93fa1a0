// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where and how every text of a layout is drawn on the device picture, and which rectangles an
// area update of one figure resends. The apply renderer, the area renderer and the preview all
// draw through these, so a figure redrawn later lands exactly on the pixels the frame gave it.

#include "compose/layouttables.h"
#include "config/layoutstate.h"
#include "metrics/figuretexts.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;

namespace korvo::compose {

struct TextItem
{
    QRect rect; // device pixels of the layout's orientation
    QString text;
    int pixelSize = BaseTextPixelSize;
    int flags = 0; // Qt::Alignment and text flags for QPainter::drawText
    QRgb color = 0xFFFFFFFF;
};

// The label of a figure kind in the interface language.
QString elementLabel(int kind, bool english);

// Pixel size of a figure's value in the layout.
int valuePixelSize(const LayoutState& state, int kind);
// Pixel size of the date; it grows with a highlighted time.
int datePixelSize(const LayoutState& state);
// Pixel size of the smaller second text of a figure (its label).
int secondPixelSize(const LayoutState& state, int kind);

// The texts that show figure `kind` with `text` as its value; empty when the layout does not show
// the kind.
std::vector<TextItem> valueTexts(const LayoutState& state, int kind, const QString& text);

// Whether the layout shows figure `kind` anywhere.
bool figureShown(const LayoutState& state, int kind);

// The value a whole frame shows for `kind`: the record's sample text, or for a figure in
// `unavailable` what the screen shows of it ("--" and the unit).
QString frameValueText(const LayoutState& state, int kind, const metrics::FigureSet& unavailable = {});

// The texts of a whole frame: every shown figure with its value as frameValueText gives it, plus
// the labels, which no area update redraws.
std::vector<TextItem> frameTexts(const LayoutState& state, const metrics::FigureSet& unavailable = {});

// The rectangles an area update of `kind` resends, in order, before clipping to the canvas and
// before the packet size limit. `text` is the new text; `lastText` the text drawn before.
std::vector<QRect> dirtyAreas(const LayoutState& state, int kind, const QString& text, const QString& lastText);

void drawTextItem(QPainter& painter, const TextItem& item);
// The same with `font`, which is elementFont(item.pixelSize) made earlier: a font made anew finds
// its glyph source again each time.
void drawTextItem(QPainter& painter, const TextItem& item, const QFont& font);

} // namespace korvo::compose
