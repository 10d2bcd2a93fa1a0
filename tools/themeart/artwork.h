// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "themes.h"

#include <QImage>

namespace themeart {

// The theme's background at the device size of its orientation.
QImage drawBackground(int themeId, int hor, const Design& design);

// The box drawn behind a label; stretched to each label box.
QImage drawLabelBox();

} // namespace themeart
