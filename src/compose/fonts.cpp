// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <mutex>

namespace korvo::compose {

namespace {

// Families tried in order when the screen's own family is missing.
const char* const substituteFamilies[] = {"Noto Sans CJK SC", "Source Han Sans SC", "WenQuanYi Micro Hei"};

} // namespace

void installFontSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList families = QFontDatabase().families();
        if (families.contains(QString::fromLatin1(FontFamily)))
            return;
        for (const char* family : substituteFamilies) {
            if (families.contains(QString::fromLatin1(family))) {
                QFont::insertSubstitution(QString::fromLatin1(FontFamily), QString::fromLatin1(family));
                return;
            }
        }
        qWarning("No CJK font found for %s; Chinese texts may not render.\n", FontFamily);
    });
}

QFont elementFont(int pixelSize)
{
    QFont font(QString::fromLatin1(FontFamily));
    font.setPixelSize(pixelSize < 1 ? 1 : pixelSize);
    return font;
}

} // namespace korvo::compose
