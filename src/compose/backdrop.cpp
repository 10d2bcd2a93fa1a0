// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/backdrop.h"

#include "config/configstore.h"

#include "picture/picturereader.h"

#include <QFileInfo>

namespace korvo::compose {

std::atomic<uint64_t> wholePictureGeneration{0};

QString wholePicturePath()
{
    return homeDataDirPath() + QStringLiteral("/whole.png");
}

const QImage& BackdropCache::picture()
{
    const uint64_t generation = wholePictureGeneration.load(std::memory_order_acquire);
    if (loaded_ && generation == generation_)
        return picture_;
    if (path_.isEmpty())
        path_ = wholePicturePath();
    generation_ = generation;
    loaded_ = true;
    picture_ = QImage();
    if (!QFileInfo::exists(path_))
        return picture_;
    // Written by the apply at the screen's size in either orientation.
    const QImage decoded = picture::readAtMost(path_, QSize(320, 320));
    if (!decoded.isNull())
        picture_ = decoded.convertToFormat(QImage::Format_RGB16);
    return picture_;
}

} // namespace korvo::compose
