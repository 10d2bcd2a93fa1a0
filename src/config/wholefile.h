#pragma once

#include <QByteArray>
#include <QString>

namespace korvo {

// Every file the program writes for the user goes through these: the new content replaces the old
// file only once all of it is on disk, so a full disk, a crash or a read-only folder leaves the
// previous file as it was. The file is made private to the user (0600). Nothing is logged: on
// failure `why` says what went wrong, for the caller's one log line.
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* why = nullptr);

// Copies a regular file the same way, at most `limit` bytes of it; a longer file is refused.
bool copyWholeFile(const QString& from, const QString& to, qint64 limit, QString* why = nullptr);

} // namespace korvo
