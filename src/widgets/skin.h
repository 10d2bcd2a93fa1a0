// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

namespace korvo {

// Loads a skin picture. A picture that is missing from the resources gives a null pixmap and
// one log line naming it, so every caller can fall back to plain painting.
QPixmap loadSkin(const QString& path);

// The skin's two text colours: light for the dark surfaces, dark for the accent.
extern const QColor LightTextColor;
extern const QColor DarkTextColor;

// Of the two text colours, the one that reads better on `background`: it always stands at
// least 4.5 : 1 against the skin's surfaces and its accent.
QColor textColorOn(const QColor& background);
// The average colour of a picture's middle, where a caption stands over it.
QColor middleColor(const QPixmap& picture);

} // namespace korvo
