// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Every picture the program or its tools read from a path the user controls goes through here:
// only regular files, the size checked before anything is decoded, and never more than
// MemoryLimit for one picture. A refusal is logged in one line and gives a null image.
namespace korvo::picture {

constexpr qint64 MemoryLimit = 64 * 1024 * 1024;
// A strip longer than this (width to height, or height to width) is cut to its centre before
// it is scaled: fitted to a frame, a 1 x 2048 strip would otherwise become 433 x 886784.
constexpr int AspectLimit = 8;

// The picture as it is, refused when either side exceeds `largest`.
QImage readAtMost(const QString& path, QSize largest, QString* problem = nullptr);

// A picture to be scaled: an extreme strip is cut to its centre at AspectLimit, and a picture
// beyond `bound` is decoded scaled down into it (keeping its aspect); nothing is scaled up.
QImage readWithin(const QString& path, QSize bound, QString* problem = nullptr);

} // namespace korvo::picture
