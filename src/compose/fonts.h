// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/layoutrecord.h"

#include <QFont>

namespace korvo::compose {

// Where the family is not installed (Linux), map it onto an installed CJK family so that Chinese
// labels and the Celsius sign render, and so that every machine measures text the same way.
// Call once after the application object exists; later calls change nothing.
void installFontSubstitutions();

// The element font at a pixel size (sizes below 1 are raised to 1).
QFont elementFont(int pixelSize);

} // namespace korvo::compose
