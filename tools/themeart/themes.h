// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/layoutrecord.h"

#include <QRect>
#include <QString>

#include <vector>

// The eight built-in layouts: four themes, each in landscape and portrait.
namespace themeart {

// File name stem of a theme picture, e.g. "theme2_v".
QString pictureStem(int themeId, int hor);

struct Panel
{
    int kind;   // the figure it frames; its accent colour
    QRect rect; // device pixels
};

struct Design
{
    korvo::LayoutRecord record; // as the profile stores it (group H<n> or V<n>)
    std::vector<Panel> panels;  // the cards drawn into the picture behind the figures
};

Design themeDesign(int themeId, int hor);

} // namespace themeart
