// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// "/whole.png" in the per-user data folder: the last applied background without texts, on which
// area updates are drawn.

#include <QImage>
#include <QString>

#include <atomic>
#include <cstdint>

namespace korvo::compose {

QString wholePicturePath();

// Raised by the apply renderer each time it writes the picture, so that a reader notices a new
// file even when its time stamp and size did not change.
extern std::atomic<uint64_t> wholePictureGeneration;

// Keeps the decoded picture (converted to the device pixel format) and decodes it again only after
// the apply renderer wrote a new one. Only this program writes the file, so the refresh loop needs
// no file system call per update. Used by one thread at a time.
class BackdropCache
{
public:
    // Null when the file is missing or unreadable.
    const QImage& picture();

private:
    QImage picture_;
    QString path_;
    uint64_t generation_ = 0;
    bool loaded_ = false;
};

} // namespace korvo::compose
