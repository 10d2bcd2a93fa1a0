#pragma once

#include <QPixmap>
#include <QString>

namespace korvo {

// Loads a skin picture. A picture that is missing from the resources gives a null pixmap and
// one log line naming it, so every caller can fall back to plain painting.
QPixmap loadSkin(const QString& path);

// The family every skinned text is drawn in.
extern const char* const SkinFontFamily;

} // namespace korvo
