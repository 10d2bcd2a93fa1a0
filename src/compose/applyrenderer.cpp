#include "compose/applyrenderer.h"

#include "compose/backdrop.h"
#include "compose/elementlayout.h"
#include "compose/previewgeometry.h"
#include "link/link.h"

#include <QFile>
#include <QPainter>
#include <QTransform>

#include <vector>

namespace korvo::compose {

ComposedFrame composeFrame(const LayoutState& working, const QImage& previewBackground, QSize widgetSize)
{
    const int hor = working.Hor == 1 ? 1 : 0;
    QImage canvas(widgetSize, QImage::Format_RGB16);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QImage picture = backgroundWithBoxes(working, previewBackground);
        const QRect target = backgroundRect(hor, picture.size(), widgetSize, working.record);
        if (!target.isEmpty())
            painter.drawImage(target, fittedBackground(hor, picture));
    }
    ComposedFrame result;
    result.background = canvas.copy(previewFrame(hor, widgetSize))
                            .scaled(deviceSize(hor), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB16);
    result.frame = result.background.copy();
    QPainter painter(&result.frame);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const TextItem& item : frameTexts(working))
        drawTextItem(painter, item);
    return result;
}

void encodeFrame(const QImage& frame, int hor, uint8_t* output)
{
    if (hor != 1) {
        link::ConvertImageToDeviceBuffer(frame.convertToFormat(QImage::Format_RGB16), output);
        return;
    }
    const QImage turned =
        frame.transformed(QTransform().rotate(270), Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB16);
    link::ConvertImageToDeviceBuffer(turned, output);
}

bool applyLayout(const LayoutState& working, const QImage& previewBackground, QSize widgetSize,
                 const std::function<void()>& commit)
{
    const ComposedFrame composed = composeFrame(working, previewBackground, widgetSize);

    const QString path = wholePicturePath();
    if (QFile::exists(path) && !QFile::remove(path))
        qDebug("Unable to remove %s.\n", qUtf8Printable(path));
    // An unwritable picture is not fatal: area updates then draw on whatever stands there.
    if (!composed.background.save(path))
        qDebug("Unable to save %s.\n", qUtf8Printable(path));
    wholePictureGeneration.fetch_add(1, std::memory_order_release);

    std::vector<uint8_t> buffer(link::FrameBytes);
    encodeFrame(composed.frame, working.Hor, buffer.data());
    if (!link::SendFrame(buffer.data(), 0))
        return false;
    link::SendOrientation(working.Hor == 1 ? 1 : 0);
    if (commit)
        commit();
    return true;
}

} // namespace korvo::compose
