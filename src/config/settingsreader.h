// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/inifile.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

namespace korvo {

// Reads Config.ini defensively. The file may be damaged or hand-edited, so every value is
// checked for its type and for the range in which the program may use it; anything unusable
// takes the field's default and is remembered, and reportProblems() logs one line about all of
// them. Lines that cannot be read are skipped and every other key kept; a file that was refused
// as a whole gives the default of every key.
class SettingsReader
{
public:
    explicit SettingsReader(IniFile file);
    SettingsReader(const SettingsReader&) = delete;
    SettingsReader& operator=(const SettingsReader&) = delete;

    void beginGroup(const QString& group);
    void endGroup();

    int integer(const QString& key, int fallback, int min, int max);
    // Stored as an integer, held in 8 bits: the value is cut to 8 bits first, then checked.
    uint8_t byte(const QString& key, uint8_t fallback, uint8_t max);
    QRect rect(const QString& key);
    QString string(const QString& key);

    // One line about the file, once per process for the same file, and one about its values.
    void reportProblems() const;

private:
    QVariant read(const QString& key) const;
    void note(const QString& key, const QVariant& value);

    IniFile file_;
    QString group_;
    QStringList problems_;
};

// Bounds beyond which a stored coordinate is nonsense for a 320 x 170 screen; they keep later
// arithmetic and picture scaling within sane sizes.
constexpr int CoordinateLimit = 4096;
// Largest picture inset either way: a larger one would scale the picture to tens of megapixels.
constexpr int ZoomLimit = 1024;
// Longest text or path taken from the file.
constexpr int TextLimit = 4096;

} // namespace korvo
