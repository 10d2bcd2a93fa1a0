// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/themeprofile.h"

namespace korvo {

// Puts the program folder's Config.ini and whole.png templates into the configuration folder
// (replacing the user's copies right after an installation, when first.ini is present), then
// loads the profile.
void prepareStartupData(ThemeProfile& profile);

} // namespace korvo
