#include "config/inifile.h"

#include "config/wholefile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace korvo {
namespace {

const char HexDigits[] = "0123456789ABCDEF";

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r';
}

// QSettings' key escaping: '/' inside a key becomes '\', anything but [A-Za-z0-9_.-] is %XX or
// %UXXXX.
QByteArray escapedKey(const QString& key)
{
    QByteArray result;
    for (const QChar qc : key) {
        const uint ch = qc.unicode();
        if (ch == '/') {
            result += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_' ||
                   ch == '-' || ch == '.') {
            result += char(ch);
        } else if (ch <= 0xFF) {
            result += '%';
            result += HexDigits[ch / 16];
            result += HexDigits[ch % 16];
        } else {
            result += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                result += HexDigits[(ch >> shift) & 0xF];
        }
    }
    return result;
}

QString unescapedKey(const QByteArray& key)
{
    QString result;
    int i = 0;
    const int to = key.size();
    while (i < to) {
        const char ch = key.at(i);
        if (ch == '\\') {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == to - 1) {
            result += QLatin1Char(ch);
            ++i;
            continue;
        }
        int first = i + 1;
        int digits = 2;
        if (key.at(first) == 'U') {
            ++first;
            digits = 4;
        }
        bool ok = false;
        const int code = first + digits <= to ? key.mid(first, digits).toInt(&ok, 16) : 0;
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(ushort(code));
        i = first + digits;
    }
    return result;
}

// QSettings' value escaping without a text codec: control characters and everything beyond
// ASCII as \x escapes, quotes around values holding ';', ',' or '=' or edge spaces.
QByteArray escapedString(const QString& text)
{
    QByteArray result;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar qc : text) {
        const uint ch = qc.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        const bool hexDigit = (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
        if (escapeNextIfDigit && hexDigit) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            result += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            result += "\\a";
            break;
        case '\b':
            result += "\\b";
            break;
        case '\f':
            result += "\\f";
            break;
        case '\n':
            result += "\\n";
            break;
        case '\r':
            result += "\\r";
            break;
        case '\t':
            result += "\\t";
            break;
        case '\v':
            result += "\\v";
            break;
        case '"':
        case '\\':
            result += '\\';
            result += char(ch);
            break;
        default:
            if (ch <= 0x1F || ch >= 0x7F) {
                result += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                result += char(ch);
            }
        }
    }
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' '))
        result = '"' + result + '"';
    return result;
}

void chopTrailingSpaces(QString& text, int limit)
{
    int n = text.size();
    while (n > limit && (text.at(n - 1) == QLatin1Char(' ') || text.at(n - 1) == QLatin1Char('\t')))
        --n;
    text.truncate(n);
}

int hexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// The reverse of escapedString, and of the lists QSettings writes as "a, b": quotes, escapes
// (\x and octal ones cut to 16 bits, as QChar takes them), unquoted commas split a list.
QVariant unescapedValue(const QByteArray& raw)
{
    QString current;
    QStringList list;
    bool isList = false;
    bool inQuotes = false;
    bool currentQuoted = false;
    int chopLimit = 0;
    int i = 0;
    const int to = raw.size();
    auto skipSpaces = [&] {
        while (i < to && (raw.at(i) == ' ' || raw.at(i) == '\t'))
            ++i;
        chopLimit = current.size();
    };
    skipSpaces();
    while (i < to) {
        const char ch = raw.at(i);
        if (ch == '\\') {
            if (++i >= to)
                break;
            const char code = raw.at(i++);
            const char* const simple = "a\ab\bf\fn\nr\rt\tv\v\"\"?\?''\\\\";
            const char* found = nullptr;
            for (const char* p = simple; *p; p += 2) {
                if (*p == code) {
                    found = p;
                    break;
                }
            }
            if (found) {
                current += QLatin1Char(found[1]);
            } else if (code == 'x' && i < to && hexValue(raw.at(i)) >= 0) {
                uint value = 0;
                while (i < to && hexValue(raw.at(i)) >= 0)
                    value = ((value << 4) | uint(hexValue(raw.at(i++)))) & 0xFFFF;
                current += QChar(ushort(value));
            } else if (code >= '0' && code <= '7') {
                uint value = uint(code - '0');
                while (i < to && raw.at(i) >= '0' && raw.at(i) <= '7')
                    value = ((value << 3) | uint(raw.at(i++) - '0')) & 0xFFFF;
                current += QChar(ushort(value));
            } else if ((code == '\n' || code == '\r') && i < to && (raw.at(i) == '\n' || raw.at(i) == '\r') &&
                       raw.at(i) != code) {
                ++i; // an escaped line break of two characters
            }
            chopLimit = current.size();
        } else if (ch == '"') {
            ++i;
            currentQuoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (ch == ',' && !inQuotes) {
            if (!currentQuoted)
                chopTrailingSpaces(current, chopLimit);
            isList = true;
            list << current;
            current.clear();
            currentQuoted = false;
            ++i;
            skipSpaces();
        } else {
            int j = i + 1;
            while (j < to && raw.at(j) != '\\' && raw.at(j) != '"' && raw.at(j) != ',')
                ++j;
            current += QString::fromLatin1(raw.constData() + i, j - i);
            i = j;
        }
    }
    if (!currentQuoted)
        chopTrailingSpaces(current, chopLimit);
    if (!isList)
        return current;
    list << current;
    return list;
}

// Values are written again as they read, never as they stood: a hand-made value may hold an
// unclosed quote, which would swallow every line after it.
QByteArray normalised(const QByteArray& raw)
{
    const QVariant value = unescapedValue(raw);
    if (value.type() != QVariant::StringList)
        return escapedString(value.toString());
    QList<QByteArray> items;
    for (const QString& item : value.toStringList())
        items << escapedString(item);
    return items.join(", ");
}

QString sectionOf(const QString& key)
{
    const int slash = key.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : key.left(slash);
}

} // namespace

IniFile IniFile::read(const QString& path)
{
    IniFile file;
    file.path_ = path;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return file;
    file.state_ = State::Refused;
    // A FIFO or device would block the read or never end.
    if (!info.isFile()) {
        file.problem_ = QStringLiteral("it is not a regular file");
        return file;
    }
    if (info.size() > SizeLimit) {
        file.problem_ = QStringLiteral("it is %1 bytes, more than a configuration can be").arg(info.size());
        return file;
    }
    QFile device(path);
    if (!device.open(QIODevice::ReadOnly)) {
        file.problem_ = device.errorString();
        return file;
    }
    const QByteArray data = device.read(SizeLimit + 1);
    if (data.size() > SizeLimit) {
        file.problem_ = QStringLiteral("it grew beyond %1 bytes while being read").arg(SizeLimit);
        return file;
    }
    file.state_ = State::Clean;
    file.parse(data);
    return file;
}

// Lines are split the way QSettings splits them: a quoted value may run over line breaks, a
// backslash escapes the next character, an unquoted ';' starts a comment.
void IniFile::parse(const QByteArray& data)
{
    const int n = data.size();
    int pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    QString section;
    int badLines = 0;
    int firstBadLine = 0;
    int lineNumber = 1;
    auto countLines = [&](int from, int to) {
        for (int k = from; k < to; ++k)
            lineNumber += data.at(k) == '\n';
    };
    while (pos < n) {
        const int skippedFrom = pos;
        while (pos < n && isSpace(data.at(pos)))
            ++pos;
        countLines(skippedFrom, pos);
        if (pos >= n)
            break;
        if (data.at(pos) == ';') {
            while (pos < n && data.at(pos) != '\n' && data.at(pos) != '\r')
                ++pos;
            continue;
        }
        const int start = pos;
        int equals = -1;
        bool inQuotes = false;
        while (pos < n) {
            const char ch = data.at(pos);
            if ((ch == '\n' || ch == '\r' || ch == ';') && !inQuotes)
                break;
            ++pos;
            if (ch == '=' && !inQuotes && equals < 0)
                equals = pos - 1;
            else if (ch == '"')
                inQuotes = !inQuotes;
            else if (ch == '\\' && pos < n)
                ++pos;
        }
        const QByteArray line = data.mid(start, pos - start);
        const int lineAt = lineNumber;
        countLines(start, pos);
        auto bad = [&] {
            if (badLines++ == 0)
                firstBadLine = lineAt;
        };
        if (line.startsWith('[')) {
            const int close = line.indexOf(']');
            if (close < 0)
                bad();
            const QByteArray name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(name.mid(1));
            else
                section = unescapedKey(name);
            noteSection(section);
            continue;
        }
        const QByteArray key = equals < 0 ? QByteArray() : line.left(equals - start).trimmed();
        if (key.isEmpty()) {
            bad();
            continue;
        }
        const QString name = unescapedKey(key);
        values_.insert(section.isEmpty() ? name : section + QLatin1Char('/') + name, line.mid(equals - start + 1));
        noteSection(section);
    }
    if (badLines > 0) {
        state_ = State::Malformed;
        problem_ = QStringLiteral("%1 line(s) cannot be read, the first at line %2").arg(badLines).arg(firstBadLine);
    }
}

QVariant IniFile::value(const QString& key) const
{
    const auto it = values_.constFind(key);
    return it == values_.cend() ? QVariant() : unescapedValue(*it);
}

QStringList IniFile::childKeys(const QString& group) const
{
    const QString prefix = group + QLatin1Char('/');
    QStringList keys;
    for (auto it = values_.lowerBound(prefix); it != values_.cend() && it.key().startsWith(prefix); ++it) {
        const QString rest = it.key().mid(prefix.size());
        if (!rest.contains(QLatin1Char('/')))
            keys << rest;
    }
    return keys;
}

void IniFile::setValue(const QString& key, int value)
{
    values_.insert(key, QByteArray::number(value));
}

void IniFile::setValue(const QString& key, const QString& value)
{
    // A leading '@' would make QSettings read the text as a typed value.
    values_.insert(key, escapedString(value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value));
}

void IniFile::setValue(const QString& key, const QRect& value)
{
    values_.insert(key, QStringLiteral("@Rect(%1 %2 %3 %4)")
                            .arg(value.x())
                            .arg(value.y())
                            .arg(value.width())
                            .arg(value.height())
                            .toLatin1());
}

void IniFile::removeGroup(const QString& group)
{
    const QString prefix = group + QLatin1Char('/');
    auto it = values_.lowerBound(prefix);
    while (it != values_.end() && it.key().startsWith(prefix))
        it = values_.erase(it);
}

void IniFile::noteSection(const QString& section)
{
    if (!knownSections_.contains(section)) {
        knownSections_.insert(section);
        sections_ << section;
    }
}

QByteArray IniFile::text() const
{
    QStringList order = sections_;
    QSet<QString> ordered = knownSections_;
    QHash<QString, QByteArray> blocks;
    for (auto it = values_.cbegin(); it != values_.cend(); ++it) {
        const QString section = sectionOf(it.key());
        if (!ordered.contains(section)) {
            ordered.insert(section);
            order << section;
        }
        const QString key = section.isEmpty() ? it.key() : it.key().mid(section.size() + 1);
        blocks[section] += escapedKey(key) + '=' + normalised(it.value()) + '\n';
    }
    QByteArray result;
    for (const QString& section : order) {
        const auto block = blocks.constFind(section);
        if (block == blocks.cend())
            continue;
        if (!result.isEmpty())
            result += '\n';
        QByteArray name = escapedKey(section);
        if (section.isEmpty())
            name = "General";
        else if (section.compare(QLatin1String("general"), Qt::CaseInsensitive) == 0)
            name = '%' + name;
        result += '[' + name + "]\n" + *block;
    }
    return result;
}

void IniFile::rotateCopies() const
{
    const QString base = path_ + QStringLiteral(".bad");
    auto copyName = [&](int n) { return n == 0 ? base : base + QLatin1Char('.') + QString::number(n); };
    // Renames lose nothing but the oldest copy, which goes anyway; a copy that then fails leaves
    // every earlier one whole.
    QFile::remove(copyName(KeptCopies - 1));
    for (int n = KeptCopies - 2; n >= 0; --n) {
        if (QFileInfo::exists(copyName(n)))
            QFile::rename(copyName(n), copyName(n + 1));
    }
}

bool IniFile::moveAside() const
{
    rotateCopies();
    const QString base = path_ + QStringLiteral(".bad");
    if (!QFile::rename(path_, base))
        return false;
    qWarning("%s could not be read (%s); it was moved to %s.\n", qUtf8Printable(path_), qUtf8Printable(problem_),
             qUtf8Printable(base));
    return true;
}

bool IniFile::copyAside(QString& why) const
{
    rotateCopies();
    const QString base = path_ + QStringLiteral(".bad");
    // A file far larger than a configuration is moved aside whole rather than copied: a full disk
    // could not take a second one.
    if (QFileInfo(path_).size() > CopyLimit) {
        if (!QFile::rename(path_, base)) {
            why = QStringLiteral("it cannot be moved to %1").arg(base);
            return false;
        }
    } else if (!copyWholeFile(path_, base, CopyLimit, &why)) {
        return false;
    }
    qWarning("%s could not be read whole; it was copied to %s before being rewritten.\n", qUtf8Printable(path_),
             qUtf8Printable(base));
    return true;
}

bool IniFile::write()
{
    auto failed = [this](const QString& why) {
        qWarning("Unable to write %s: %s.\n", qUtf8Printable(path_), qUtf8Printable(why));
        return false;
    };
    const QFileInfo info(path_);
    if (state_ == State::Refused && !info.isFile())
        return failed(problem_);
    // Checked by its mode rather than by access(): the user's mark holds for root as well.
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return failed(QStringLiteral("the file is read-only"));
    QString why;
    if ((state_ == State::Malformed || state_ == State::Refused) && !copyAside(why))
        return failed(QStringLiteral("no copy of the damaged file could be kept (%1)").arg(why));
    if (!writeWholeFile(path_, text(), &why))
        return failed(why + QStringLiteral("; the previous file is kept"));
    state_ = State::Clean;
    return true;
}

} // namespace korvo
