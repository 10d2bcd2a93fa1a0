#include "compose/backdrop.h"

#include "config/configstore.h"

#include <QFileInfo>

namespace korvo::compose {

std::atomic<uint64_t> wholePictureGeneration{0};

QString wholePicturePath()
{
    return homeDataDirPath() + QStringLiteral("/whole.png");
}

const QImage& BackdropCache::picture()
{
    const QString path = wholePicturePath();
    const QFileInfo info(path);
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    const qint64 size = info.exists() ? info.size() : -1;
    const uint64_t generation = wholePictureGeneration.load(std::memory_order_acquire);
    if (loaded_ && path == path_ && modified == modified_ && size == size_ && generation == generation_)
        return picture_;
    path_ = path;
    modified_ = modified;
    size_ = size;
    generation_ = generation;
    loaded_ = true;
    picture_ = QImage();
    if (size >= 0) {
        QImage decoded(path);
        if (decoded.isNull())
            qDebug("Unable to load %s.\n", qUtf8Printable(path));
        else
            picture_ = decoded.convertToFormat(QImage::Format_RGB16);
    }
    return picture_;
}

} // namespace korvo::compose
