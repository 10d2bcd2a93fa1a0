// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the editor's preview puts the screen inside its widget and how it fits the background
// picture. The apply renderer composes the frame through the same numbers, so what the preview
// shows is what the screen gets.

#include "config/layoutstate.h"

#include <QImage>
#include <QRect>
#include <QSize>

namespace korvo::compose {

// The editor widget's size in each orientation.
constexpr QSize LandscapeEditorSize{435, 312};
constexpr QSize PortraitEditorSize{425, 322};
QSize editorSize(int hor);

// The device picture for an orientation: 320 x 170, or 170 x 320 for portrait (hor 1).
QSize deviceSize(int hor);

// Preview pixels per device pixel: 1.35 in landscape, 1.0 in portrait.
double previewScale(int hor);

// The screen inside the widget: 433 x 230 at (1, (height - 230) / 2) in landscape,
// 170 x 320 at ((width - 170) / 2, 0) in portrait.
QRect previewFrame(int hor, QSize widgetSize);

// The rectangle, in widget pixels, into which the background picture is drawn: fitted to the
// frame by its aspect ratio, shrunk by the record's insets (XZoom, YZoom) about its centre and
// shifted by its offsets (XPt, YPt). Null for an empty picture.
QRect backgroundRect(int hor, QSize pictureSize, QSize widgetSize, const LayoutRecord& record);

// The picture scaled (smoothly) to the frame's width or height, whichever the fit uses; the caller
// draws it stretched into backgroundRect().
QImage fittedBackground(int hor, const QImage& picture);

// The background as the preview shows it: in a built-in theme without a picture of the user's
// own, the theme's box picture is drawn into it at the element boxes (ShowRect_ 0, 1, 2, 6, and 4
// in theme 3). Returns the picture unchanged otherwise or when the box picture cannot be loaded.
QImage backgroundWithBoxes(const LayoutState& state, const QImage& picture);

} // namespace korvo::compose
