#pragma once

#include <QByteArray>
#include <QMap>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace korvo {

// Config.ini in the text form QSettings writes (sections, %-escaped keys, quoted and
// backslash-escaped values), read without QSettings: its reader turns "@Variant(...)" values
// into objects before anyone can check them, so a hand-made file could make it allocate
// gigabytes or recurse until the stack runs out. Here a value stays text until a typed reader
// asks for it.
class IniFile
{
public:
    enum class State
    {
        Missing,   // no file yet: every key is missing
        Clean,     // every line could be read
        Malformed, // some lines could not be read; every other key is kept
        Refused,   // too large or not a regular file: nothing was read
    };

    // A Config.ini holds a few hundred keys; a larger file is not the program's.
    static constexpr qint64 SizeLimit = 1024 * 1024;
    // Damaged files copied aside before a write: Config.ini.bad, .bad.1, ...
    static constexpr int KeptCopies = 3;
    // The most of a damaged file kept in such a copy.
    static constexpr qint64 CopyLimit = 16 * SizeLimit;

    static IniFile read(const QString& path);

    const QString& path() const { return path_; }
    State state() const { return state_; }
    // No key could be read.
    bool isEmpty() const { return values_.isEmpty(); }
    // Why the file is Malformed or Refused, for the log.
    const QString& problem() const { return problem_; }

    // The value as text, or as a QStringList when it holds unquoted commas; invalid when missing.
    // A value written by QSettings for a rectangle reads as its text, "@Rect(x y w h)".
    QVariant value(const QString& key) const;
    // The keys directly inside group (no deeper levels), in sorted order.
    QStringList childKeys(const QString& group) const;

    void setValue(const QString& key, int value);
    void setValue(const QString& key, const QString& value);
    void setValue(const QString& key, const QRect& value);
    void removeGroup(const QString& group);

    // Replaces the file with the keys held here. A file that could not be read whole is first
    // copied aside; a file that could not be read at all, or that is marked read-only, is left
    // alone. Failures are logged in one line.
    bool write();

    // Moves the file aside as the newest ".bad" copy, so that another may take its place.
    bool moveAside() const;

    QByteArray text() const;

private:
    void parse(const QByteArray& data);
    void noteSection(const QString& section);
    bool copyAside(QString& why) const;
    void rotateCopies() const;

    QString path_;
    State state_ = State::Missing;
    QString problem_;
    QMap<QString, QByteArray> values_; // full key "Group/Key" -> the value as written in the file
    QStringList sections_;             // in the order the file had them; "" is [General]
    QSet<QString> knownSections_;      // the same, to look one up
};

} // namespace korvo
