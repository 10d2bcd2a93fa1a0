#include "compose/arearenderer.h"

#include "compose/elementlayout.h"
#include "compose/previewgeometry.h"
#include "link/link.h"

#include <QPainter>
#include <QTransform>

namespace korvo::compose {

QRect screenPlacement(const QRect& area, int hor)
{
    if (hor != 1)
        return area;
    return QRect(area.top(), link::ScreenHeight - 1 - area.right(), area.height(), area.width());
}

AreaRenderer::AreaRenderer(const CommittedLayout& committed) : committed_(committed), buffer_(link::AreaPayloadLimit) {}

const QString& AreaRenderer::lastDrawn(int kind) const
{
    static const QString none;
    return isElementKind(kind) ? lastDrawn_[kind] : none;
}

int AreaRenderer::drawMetric(const QString& text, int kind)
{
    if (text.isEmpty() || !isElementKind(kind))
        return 0;
    const std::shared_ptr<const LayoutState> state = committed_.get();
    const std::vector<QRect> areas = dirtyAreas(*state, kind, text, lastDrawn_[kind]);
    lastDrawn_[kind] = text;
    if (areas.empty())
        return 0;

    const QSize size = deviceSize(state->Hor);
    if (canvas_.size() != size)
        canvas_ = QImage(size, QImage::Format_RGB16);
    const QImage& backdrop = backdrop_.picture();
    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::Antialiasing);
    if (backdrop.size() == size) {
        painter.drawImage(0, 0, backdrop);
    } else {
        canvas_.fill(Qt::transparent);
        if (!backdrop.isNull())
            painter.drawImage(canvas_.rect(), backdrop);
    }
    for (const TextItem& item : valueTexts(*state, kind, text))
        drawTextItem(painter, item);
    painter.end();

    int sent = 0;
    for (const QRect& wanted : areas) {
        const QRect area = wanted.intersected(canvas_.rect());
        if (area.isEmpty() || area.width() * area.height() * 2 > link::AreaPayloadLimit)
            continue;
        if (sendArea(canvas_, area, state->Hor))
            ++sent;
    }
    return sent;
}

bool AreaRenderer::sendArea(const QImage& canvas, const QRect& area, int hor)
{
    const QImage piece = canvas.copy(area);
    const QRect placed = screenPlacement(area, hor);
    if (hor != 1) {
        link::ConvertImageToDeviceBuffer(piece, buffer_.data());
    } else {
        const QImage turned = piece.transformed(QTransform().rotate(270)).convertToFormat(QImage::Format_RGB16);
        link::ConvertImageToDeviceBuffer(turned, buffer_.data());
    }
    return link::SendAreaImageWithPos(buffer_.data(), placed.x(), placed.y(), placed.width(), placed.height());
}

} // namespace korvo::compose
