#include "picture/picturereader.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace korvo::picture {
namespace {

QString sizeText(QSize size)
{
    return QStringLiteral("%1 x %2 pixels").arg(size.width()).arg(size.height());
}

// The centre of the picture at AspectLimit, or the whole picture when it is not that long.
QRect centreCut(QSize size)
{
    const qint64 w = size.width(), h = size.height();
    if (w > AspectLimit * h) {
        const int width = int(h * AspectLimit);
        return QRect(int((w - width) / 2), 0, width, int(h));
    }
    if (h > AspectLimit * w) {
        const int height = int(w * AspectLimit);
        return QRect(0, int((h - height) / 2), int(w), height);
    }
    return QRect(QPoint(0, 0), size);
}

// Pixels the handler holds while decoding. Only the JPEG handler decodes at a reduced scale
// (1/2, 1/4 or 1/8, the largest that still covers the asked size), and only without a cut;
// every other handler decodes the whole picture first.
qint64 decodedPixels(const QImageReader& reader, QSize size, bool cut, QSize target)
{
    qint64 denominator = 1;
    if (reader.format() == "jpeg" && !cut && target != size) {
        const int ratio = std::min(size.width() / target.width(), size.height() / target.height());
        denominator = ratio >= 8 ? 8 : ratio >= 4 ? 4 : ratio >= 2 ? 2 : 1;
    }
    return ((size.width() + denominator - 1) / denominator) * ((size.height() + denominator - 1) / denominator);
}

// A progressive JPEG is decoded from coefficients the decoder keeps for the whole picture, two
// bytes for every sample of every component at its own resolution, whatever the scale it is
// decoded at: a 1 MB file of 16000 x 16000 pixels holds half a gigabyte. Those bytes, read from
// the frame header; 0 for a baseline picture or one whose header cannot be found.
qint64 progressiveCoefficientBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(2) != QByteArray("\xFF\xD8", 2))
        return 0;
    // Segments before the frame header are few; a file that has thousands is not a picture.
    for (int segment = 0; segment < 1024; ++segment) {
        char byte = 0;
        if (!file.getChar(&byte) || uchar(byte) != 0xFF)
            return 0;
        while (file.getChar(&byte) && uchar(byte) == 0xFF) {
        }
        const uchar marker = uchar(byte);
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // no length follows
        const QByteArray lengthBytes = file.read(2);
        if (lengthBytes.size() < 2 || marker == 0xD9 || marker == 0xDA)
            return 0;
        const int length = (uchar(lengthBytes[0]) << 8 | uchar(lengthBytes[1])) - 2;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (!frame) {
            if (length < 0 || !file.seek(file.pos() + length))
                return 0;
            continue;
        }
        const bool progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
        const QByteArray header = file.read(length);
        if (!progressive || header.size() < 6)
            return 0;
        const auto at = [&header](int n) { return qint64(uchar(header.at(n))); };
        const qint64 height = at(1) << 8 | at(2), width = at(3) << 8 | at(4);
        const int components = int(at(5));
        if (header.size() < 6 + 3 * components)
            return 0;
        qint64 hMax = 1, vMax = 1;
        for (int c = 0; c < components; ++c) {
            hMax = std::max(hMax, at(7 + 3 * c) >> 4);
            vMax = std::max(vMax, at(7 + 3 * c) & 15);
        }
        qint64 bytes = 0;
        for (int c = 0; c < components; ++c) {
            const qint64 h = std::max<qint64>(1, at(7 + 3 * c) >> 4), v = std::max<qint64>(1, at(7 + 3 * c) & 15);
            const qint64 blocksWide = (width * h / hMax + 7) / 8, blocksHigh = (height * v / vMax + 7) / 8;
            bytes += blocksWide * blocksHigh * 64 * 2;
        }
        return bytes;
    }
    return 0;
}

// The GIF handler reports the first frame's size but paints every frame on a canvas of the
// logical screen's size, which the header gives in its bytes 6 to 9.
QSize canvasSize(const QString& path, const QImageReader& reader, QSize size)
{
    if (reader.format() != "gif")
        return size;
    QFile file(path);
    const QByteArray header = file.open(QIODevice::ReadOnly) ? file.read(10) : QByteArray();
    if (header.size() < 10)
        return size;
    const auto byte = [&header](int n) { return int(uchar(header.at(n))); };
    return size.expandedTo(QSize(byte(6) | byte(7) << 8, byte(8) | byte(9) << 8));
}

QImage decode(const QString& path, QSize bound, bool scale, QString& why)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        why = QStringLiteral("it does not exist");
        return QImage();
    }
    // A FIFO or a device would block the read or never end.
    if (!info.isFile()) {
        why = QStringLiteral("it is not a regular file");
        return QImage();
    }
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        why = QStringLiteral("its size cannot be read (%1)").arg(reader.errorString());
        return QImage();
    }
    const QSize canvas = canvasSize(path, reader, size);
    QSize target = size;
    bool cut = false;
    if (scale) {
        const QRect centre = centreCut(size);
        cut = centre.size() != size;
        if (cut)
            reader.setClipRect(centre);
        target = centre.size();
        if (target.width() > bound.width() || target.height() > bound.height()) {
            target = target.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
            reader.setScaledSize(target);
        }
    } else if (canvas.width() > bound.width() || canvas.height() > bound.height()) {
        why = QStringLiteral("it is %1, more than %2").arg(sizeText(canvas), sizeText(bound));
        return QImage();
    }
    const qint64 pixelBytes =
        (decodedPixels(reader, canvas, cut, target) + qint64(target.width()) * target.height()) * 4;
    if (pixelBytes > MemoryLimit) {
        why = QStringLiteral("it is %1, too large to decode").arg(sizeText(canvas));
        return QImage();
    }
    if (reader.format() == "jpeg" && pixelBytes + progressiveCoefficientBytes(path) > MemoryLimit) {
        why = QStringLiteral("it is %1, too large to decode progressively").arg(sizeText(canvas));
        return QImage();
    }
    QImage image = reader.read();
    if (image.isNull()) {
        why = reader.errorString();
    } else if (image.width() > bound.width() || image.height() > bound.height()) {
        why = QStringLiteral("it declares %1 but decodes to %2").arg(sizeText(size), sizeText(image.size()));
        image = QImage();
    }
    return image;
}

QImage read(const QString& path, QSize bound, bool scale, QString* problem)
{
    QString why;
    QImage image = decode(path, bound, scale, why);
    if (image.isNull()) {
        qWarning("Unable to load the picture %s: %s.\n", qUtf8Printable(path), qUtf8Printable(why));
        if (problem)
            *problem = why;
    }
    return image;
}

} // namespace

QImage readAtMost(const QString& path, QSize largest, QString* problem)
{
    return read(path, largest, false, problem);
}

QImage readWithin(const QString& path, QSize bound, QString* problem)
{
    return read(path, bound, true, problem);
}

} // namespace korvo::picture
