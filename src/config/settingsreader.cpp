#include "config/settingsreader.h"

#include <QDebug>
#include <QSettings>

namespace korvo {
namespace {

constexpr int ReportedNames = 5;

bool inCoordinateRange(int value)
{
    return value >= -CoordinateLimit && value <= CoordinateLimit;
}

} // namespace

SettingsReader::SettingsReader(std::unique_ptr<QSettings> settings) : settings_(std::move(settings))
{
    damaged_ = settings_->status() != QSettings::NoError;
}

SettingsReader::~SettingsReader() = default;

void SettingsReader::beginGroup(const QString& group)
{
    settings_->beginGroup(group);
}

void SettingsReader::endGroup()
{
    settings_->endGroup();
}

QVariant SettingsReader::read(const QString& key) const
{
    return damaged_ ? QVariant() : settings_->value(key);
}

void SettingsReader::note(const QString& key, const QVariant& value)
{
    const QString group = settings_->group();
    QString text = value.toString().left(16);
    for (QChar& c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    problems_ << (group.isEmpty() ? key : group + QLatin1Char('/') + key) + QLatin1Char('=') + text;
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
    if (value.type() != QVariant::Rect) {
        note(key, value);
        return QRect();
    }
    const QRect r = value.toRect();
    // All four stored corners are checked, never the size: width() of a rectangle whose corners
    // lie far apart overflows, and so would every later sum of position and size.
    if (!inCoordinateRange(r.left()) || !inCoordinateRange(r.top()) || !inCoordinateRange(r.right()) ||
        !inCoordinateRange(r.bottom())) {
        note(key, value);
        return QRect();
    }
    return r;
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
    else if (value.type() == QVariant::String)
        text = value.toString();
    else {
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
    if (damaged_) {
        qWarning("%s is damaged; its settings are ignored and defaults used.\n", qUtf8Printable(settings_->fileName()));
        return;
    }
    if (problems_.isEmpty())
        return;
    QStringList names = problems_.mid(0, ReportedNames);
    if (problems_.size() > ReportedNames)
        names << QStringLiteral("and %1 more").arg(problems_.size() - ReportedNames);
    qWarning("%s: unusable values replaced by defaults: %s.\n", qUtf8Printable(settings_->fileName()),
             qUtf8Printable(names.join(QStringLiteral(", "))));
}

} // namespace korvo
