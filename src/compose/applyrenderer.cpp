// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/applyrenderer.h"

#include "compose/backdrop.h"
#include "compose/elementlayout.h"
#include "compose/previewgeometry.h"
#include "config/wholefile.h"
#include "link/link.h"

#include "picture/picturereader.h"

#include <QBuffer>
#include <QPainter>
#include <QTransform>

#include <vector>

namespace korvo::compose {
namespace {

QImage withTexts(const LayoutState& state, const QImage& background, const metrics::FigureSet& unavailable)
{
    QImage frame = background.copy();
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const TextItem& item : frameTexts(state, unavailable))
        drawTextItem(painter, item);
    return frame;
}

bool sendEncoded(const QImage& frame, int hor)
{
    std::vector<uint8_t> buffer(link::FrameBytes);
    encodeFrame(frame, hor, buffer.data());
    return link::SendFrame(buffer.data(), 0);
}

} // namespace

ComposedFrame composeFrame(const LayoutState& working, const QImage& previewBackground, QSize widgetSize,
                           const metrics::FigureSet& unavailable)
{
    const int hor = working.isPortrait() ? 1 : 0;
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
    result.frame = withTexts(working, result.background, unavailable);
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
                 const metrics::FigureSet& unavailable)
{
    const ComposedFrame composed = composeFrame(working, previewBackground, widgetSize, unavailable);
    if (!sendEncoded(composed.frame, working.Hor))
        return false;
    // The picture is the background of every later area update and resend: it may only change
    // once the screen shows the frame drawn on it, or those would mix two layouts. It is replaced
    // whole or not at all, since a cut or missing one would put the figures on black; an
    // unwritable picture is not fatal: area updates then draw on the last one that was written.
    const QString path = wholePicturePath();
    QBuffer encoded;
    QString why;
    if (!encoded.open(QIODevice::WriteOnly) || !composed.background.save(&encoded, "PNG"))
        qWarning("Unable to save %s: the picture cannot be encoded.\n", qUtf8Printable(path));
    else if (!writeWholeFile(path, encoded.data(), &why))
        qWarning("Unable to save %s: %s; the previous picture is kept.\n", qUtf8Printable(path), qUtf8Printable(why));
    wholePictureGeneration.fetch_add(1, std::memory_order_release);
    link::SendOrientation(working.isPortrait() ? 1 : 0);
    link::SendTimeSyncAfterOrientation();
    return true;
}

bool resendLayout(const LayoutState& committed, const metrics::FigureSet& unavailable)
{
    const QSize size = deviceSize(committed.Hor);
    // Our own file, but it lives in the user's folder: only a picture of the device size is
    // taken, anything else is not decoded at all.
    QImage background = picture::readAtMost(wholePicturePath(), size);
    if (background.size() != size) {
        qDebug("Unable to read %s at %dx%d; the frame is sent on black.\n", qUtf8Printable(wholePicturePath()),
               size.width(), size.height());
        background = QImage(size, QImage::Format_RGB16);
        background.fill(Qt::black);
    }
    if (!sendEncoded(withTexts(committed, background.convertToFormat(QImage::Format_RGB16), unavailable),
                     committed.Hor))
        return false;
    link::SendOrientation(committed.isPortrait() ? 1 : 0);
    link::SendTimeSyncAfterOrientation();
    return true;
}

} // namespace korvo::compose
