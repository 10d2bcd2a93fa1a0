// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/arearenderer.h"

#include "compose/elementlayout.h"
#include "compose/fonts.h"
#include "compose/previewgeometry.h"
#include "link/link.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>

namespace korvo::compose {

QRect screenPlacement(const QRect& area, int hor)
{
    if (hor != 1)
        return area;
    return QRect(area.top(), link::ScreenHeight - 1 - area.right(), area.height(), area.width());
}

AreaRenderer::AreaRenderer(const CommittedLayout& committed) : committed_(committed) {}

int AreaRenderer::drawMetric(const QString& text, int kind)
{
    prepareMetric(text, kind);
    return sendMetric(kind);
}

bool AreaRenderer::prepareMetric(const QString& text, int kind)
{
    if (text.isEmpty() || !isElementKind(kind))
        return false;
    std::shared_ptr<const LayoutState> state = committed_.get();
    const std::vector<QRect> areas = dirtyAreas(*state, kind, text, lastDrawn_[kind]);
    lastDrawn_[kind] = text;
    SentFigure& sent = sent_[kind];
    sent.pending = !areas.empty();
    if (!sent.pending)
        return false;
    const uint64_t generation = wholePictureGeneration.load(std::memory_order_acquire);
    if (sent.text != text || sent.state != state || sent.backdropGeneration != generation || sent.areas != areas) {
        render(*state, kind, text, areas, sent.packets);
        sent.text = text;
        sent.state = std::move(state);
        sent.backdropGeneration = generation;
        sent.areas = areas;
    }
    return true;
}

std::bitset<ElementKindCount> AreaRenderer::shownFigures()
{
    std::shared_ptr<const LayoutState> state = committed_.get();
    if (state != shownState_) {
        for (int kind = 0; kind < ElementKindCount; ++kind)
            shownFigures_.set(size_t(kind), figureShown(*state, kind));
        shownState_ = std::move(state);
    }
    return shownFigures_;
}

const std::array<QString, ElementKindCount>& AreaRenderer::frameShown(const metrics::FigureSet& unavailable)
{
    std::shared_ptr<const LayoutState> state = committed_.get();
    for (int kind = 0; kind < ElementKindCount; ++kind)
        lastDrawn_[kind] = frameValueText(*state, kind, unavailable);
    return lastDrawn_;
}

int AreaRenderer::sendMetric(int kind)
{
    if (!isElementKind(kind) || !sent_[kind].pending)
        return 0;
    SentFigure& sent = sent_[kind];
    sent.pending = false;
    int accepted = 0;
    for (const Packet& packet : sent.packets) {
        const QRect& p = packet.placed;
        if (link::SendAreaImageWithPos(packet.pixels.data(), p.x(), p.y(), p.width(), p.height()))
            ++accepted;
    }
    return accepted;
}

void AreaRenderer::draw(QPainter& painter, const TextItem& item)
{
    auto font =
        std::find_if(fonts_.begin(), fonts_.end(), [&item](const auto& f) { return f.first == item.pixelSize; });
    if (font == fonts_.end())
        font = fonts_.insert(fonts_.end(), {item.pixelSize, elementFont(item.pixelSize)});
    drawTextItem(painter, item, font->second);
}

void AreaRenderer::render(const LayoutState& state, int kind, const QString& text, const std::vector<QRect>& areas,
                          std::vector<Packet>& packets)
{
    const QSize size = deviceSize(state.Hor);
    if (canvas_.size() != size)
        canvas_ = QImage(size, QImage::Format_RGB16);
    const QImage& backdrop = backdrop_.picture();
    // Only the areas are sent, so only they are drawn: a figure's areas are a small part of the
    // canvas, and every pixel inside the clip comes out as a whole-canvas drawing would give it.
    QRect bounds;
    for (const QRect& area : areas)
        bounds |= area;
    bounds &= canvas_.rect();
    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(bounds);
    if (backdrop.size() == size) {
        painter.drawImage(bounds.topLeft(), backdrop, bounds);
    } else {
        painter.fillRect(bounds, Qt::black);
        if (!backdrop.isNull())
            painter.drawImage(canvas_.rect(), backdrop);
    }
    for (const TextItem& item : valueTexts(state, kind, text))
        draw(painter, item);
    // The saved background has no free text: where an area crosses it, it is drawn again on top,
    // as the frame has it, or the figure would cut a piece out of it. Text is clipped to its box,
    // so an area outside the box is spared laying the line out, which costs as much as drawing.
    if (kind != FreeText) {
        for (const TextItem& item : valueTexts(state, FreeText, state.record.String_[FreeText]))
            if (item.rect.intersects(bounds))
                draw(painter, item);
    }
    painter.end();

    // A figure's areas keep their sizes from one update to the next, so its buffers are reused.
    size_t count = 0;
    for (const QRect& wanted : areas) {
        const QRect area = wanted.intersected(canvas_.rect());
        if (!link::areaFitsOnePacket(area.width(), area.height()))
            continue;
        if (count == packets.size())
            packets.emplace_back();
        Packet& packet = packets[count++];
        packet.placed = screenPlacement(area, state.Hor);
        packet.pixels.resize(size_t(area.width() * area.height() * 2));
        if (state.isPortrait()) {
            const QImage turned =
                canvas_.copy(area).transformed(QTransform().rotate(270)).convertToFormat(QImage::Format_RGB16);
            link::ConvertImageToDeviceBuffer(turned, packet.pixels.data());
        } else {
            // Encoded where it lies: the encoder steps over the rest of each canvas line.
            const QImage piece(canvas_.constScanLine(area.top()) + area.left() * 2, area.width(), area.height(),
                               canvas_.bytesPerLine(), QImage::Format_RGB16);
            link::ConvertImageToDeviceBuffer(piece, packet.pixels.data());
        }
    }
    packets.resize(count);
}

} // namespace korvo::compose
