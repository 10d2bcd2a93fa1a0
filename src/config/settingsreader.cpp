// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/settingsreader.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>

#include <mutex>

namespace korvo {
namespace {

constexpr int ReportedNames = 5;

bool inCoordinateRange(qint64 value)
{
    return value >= -CoordinateLimit && value <= CoordinateLimit;
}

} // namespace

SettingsReader::SettingsReader(IniFile file) : file_(std::move(file)) {}

void SettingsReader::beginGroup(const QString& group)
{
    group_ = group;
}

void SettingsReader::endGroup()
{
    group_.clear();
}

QVariant SettingsReader::read(const QString& key) const
{
    return file_.value(group_.isEmpty() ? key : group_ + QLatin1Char('/') + key);
}

void SettingsReader::note(const QString& key, const QVariant& value)
{
    QString text = value.toString().left(16);
    for (QChar& c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    problems_ << (group_.isEmpty() ? key : group_ + QLatin1Char('/') + key) + QLatin1Char('=') + text;
}

int SettingsReader::integer(const QString& key, int fallback, int min, int max)
{
    const QVariant value = read(key);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < min || number > max) {
        note(key, value);
        return fallback;
    }
    return number;
}

uint8_t SettingsReader::byte(const QString& key, uint8_t fallback, uint8_t max)
{
    const QVariant value = read(key);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const auto number = static_cast<uint8_t>(value.toInt(&ok));
    if (!ok || number > max) {
        note(key, value);
        return fallback;
    }
    return number;
}

QRect SettingsReader::rect(const QString& key)
{
    const QVariant value = read(key);
    if (!value.isValid())
        return QRect();
    // The text QSettings writes for a rectangle: "@Rect(x y width height)".
    const QString text = value.toString();
    const QStringList parts = text.mid(6, text.size() - 7).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    qint64 numbers[4] = {};
    bool ok = value.type() == QVariant::String && text.startsWith(QLatin1String("@Rect(")) &&
              text.endsWith(QLatin1Char(')')) && parts.size() == 4;
    for (int n = 0; ok && n < 4; ++n)
        numbers[n] = parts[n].toInt(&ok);
    // All four corners are checked, never the size: the corners of a rectangle whose size is
    // near INT_MAX overflow, and so would every later sum of position and size.
    if (!ok || !inCoordinateRange(numbers[0]) || !inCoordinateRange(numbers[1]) ||
        !inCoordinateRange(numbers[0] + numbers[2] - 1) || !inCoordinateRange(numbers[1] + numbers[3] - 1)) {
        note(key, value);
        return QRect();
    }
    return QRect(int(numbers[0]), int(numbers[1]), int(numbers[2]), int(numbers[3]));
}

QString SettingsReader::string(const QString& key)
{
    const QVariant value = read(key);
    if (!value.isValid())
        return QString();
    QString text;
    // An unquoted comma in a hand-edited file makes the parser return a list.
    if (value.type() == QVariant::StringList)
        text = value.toStringList().join(QStringLiteral(", "));
    else
        text = value.toString();
    // QSettings doubles a leading '@'; any other "@Type(...)" is a typed value, not a text.
    if (text.startsWith(QLatin1String("@@"))) {
        text.remove(0, 1);
    } else if (text.startsWith(QLatin1String("@String(")) && text.endsWith(QLatin1Char(')'))) {
        text = text.mid(8, text.size() - 9);
    } else if (text.startsWith(QLatin1Char('@')) && text.endsWith(QLatin1Char(')'))) {
        note(key, value);
        return QString();
    }
    if (text.size() > TextLimit) {
        note(key, value);
        return QString();
    }
    return text;
}

void SettingsReader::reportProblems() const
{
    const QString file = file_.path();
    if (file_.state() == IniFile::State::Malformed || file_.state() == IniFile::State::Refused) {
        // Every reader at start-up meets the same damage; it is worth one line.
        static std::mutex mutex;
        static QString lastReported;
        const QFileInfo info(file);
        const QString report = file + file_.problem() + QString::number(info.size()) +
                               QString::number(info.lastModified().toMSecsSinceEpoch());
        std::lock_guard<std::mutex> lock(mutex);
        if (report != lastReported) {
            lastReported = report;
            if (file_.state() == IniFile::State::Refused)
                qWarning("%s is not read (%s); defaults are used.\n", qUtf8Printable(file),
                         qUtf8Printable(file_.problem()));
            else
                qWarning("%s: %s; they are ignored.\n", qUtf8Printable(file), qUtf8Printable(file_.problem()));
        }
    }
    if (problems_.isEmpty())
        return;
    QStringList names = problems_.mid(0, ReportedNames);
    if (problems_.size() > ReportedNames)
        names << QStringLiteral("and %1 more").arg(problems_.size() - ReportedNames);
    qWarning("%s: unusable values replaced by defaults: %s.\n", qUtf8Printable(file),
             qUtf8Printable(names.join(QStringLiteral(", "))));
}

} // namespace korvo
