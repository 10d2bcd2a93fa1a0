#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <memory>

class QSettings;

namespace korvo {

// Reads Config.ini defensively. The file may be damaged or hand-edited, so every value is
// checked for its type and for the range in which the program may use it; anything unusable
// takes the field's default and is remembered, and reportProblems() logs one line about all of
// them. A file the settings parser rejects is not trusted at all: every read gives its default.
class SettingsReader
{
public:
    explicit SettingsReader(std::unique_ptr<QSettings> settings);
    ~SettingsReader();
    SettingsReader(const SettingsReader&) = delete;
    SettingsReader& operator=(const SettingsReader&) = delete;

    void beginGroup(const QString& group);
    void endGroup();

    int integer(const QString& key, int fallback, int min, int max);
    // Stored as an integer, held in 8 bits: the value is cut to 8 bits first, then checked.
    uint8_t byte(const QString& key, uint8_t fallback, uint8_t max);
    QRect rect(const QString& key);
    QString string(const QString& key);

    bool damaged() const { return damaged_; }
    void reportProblems() const;

private:
    QVariant read(const QString& key) const;
    void note(const QString& key, const QVariant& value);

    std::unique_ptr<QSettings> settings_;
    bool damaged_ = false;
    QStringList problems_;
};

// Bounds beyond which a stored coordinate is nonsense for a 320 x 170 screen; they keep later
// arithmetic and picture scaling within sane sizes.
constexpr int CoordinateLimit = 4096;
// Longest text or path taken from the file.
constexpr int TextLimit = 4096;

} // namespace korvo
