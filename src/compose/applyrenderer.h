// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/layoutstate.h"
#include "metrics/figuretexts.h"

#include <QImage>
#include <QSize>

namespace korvo::compose {

struct ComposedFrame
{
    QImage background; // device size, Format_RGB16: the picture and boxes, no text
    QImage frame;      // device size, Format_RGB16: what the screen shows
};

// Composes the frame of a layout exactly as the editor's preview places it: the background
// picture fitted into the preview frame of a widget of `widgetSize`, scaled to the device size,
// then the texts, those of the `unavailable` figures as "--" and the unit. Portrait frames are
// 170 x 320, not yet turned for the screen.
ComposedFrame composeFrame(const LayoutState& working, const QImage& previewBackground, QSize widgetSize,
                           const metrics::FigureSet& unavailable = {});

// The device bytes of a composed frame: turned into the screen's 320 x 170 grid for portrait and
// encoded; `output` holds link::FrameBytes.
void encodeFrame(const QImage& frame, int hor, uint8_t* output);

// Applies a layout to the screen: composes and sends the frame; once it landed whole, saves the
// background as "/whole.png" and sends the orientation and the clock after it. Returns whether
// the frame landed; when it did not, "/whole.png" is as it was. Committing the layout is the
// caller's business, on the thread that owns it.
bool applyLayout(const LayoutState& working, const QImage& previewBackground, QSize widgetSize,
                 const metrics::FigureSet& unavailable = {});

// Sends the committed layout again as it was applied: the saved "/whole.png" with the layout's
// texts, then the orientation and the clock. For a screen that was just plugged in and shows its
// own start-up picture. Returns whether the frame was sent.
bool resendLayout(const LayoutState& committed, const metrics::FigureSet& unavailable = {});

} // namespace korvo::compose
