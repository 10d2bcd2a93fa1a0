// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/virtualscreenviewer.h"

#include "link/link.h"
#include "link/virtualscreen.h"

#include <QEvent>
#include <QMetaObject>
#include <QPainter>

namespace korvo {

namespace {

constexpr int Zoom = 2;
constexpr int Portrait = 2;

QSize viewSize(int orientation)
{
    return orientation == Portrait ? QSize(link::ScreenHeight * Zoom, link::ScreenWidth * Zoom)
                                   : QSize(link::ScreenWidth * Zoom, link::ScreenHeight * Zoom);
}

} // namespace

VirtualScreenViewer::VirtualScreenViewer(link::VirtualScreen& screen, QWidget* parent)
    : QWidget(parent, Qt::Window), screen_(screen)
{
    setWindowTitle(tr("虚拟副屏"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(viewSize(screen_.orientation()));
    screen_.setChangeCallback([this] {
        if (!dirty_.exchange(true))
            QMetaObject::invokeMethod(this, &VirtualScreenViewer::refresh, Qt::QueuedConnection);
    });
}

void VirtualScreenViewer::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        setWindowTitle(tr("虚拟副屏"));
    QWidget::changeEvent(event);
}

VirtualScreenViewer::~VirtualScreenViewer()
{
    // Waits for a callback in progress; a refresh it already posted dies with this object.
    screen_.setChangeCallback({});
}

void VirtualScreenViewer::refresh()
{
    // Cleared before reading, so a packet arriving from here on posts the next refresh.
    dirty_.store(false);
    const QSize size = viewSize(screen_.orientation());
    if (size != this->size())
        setFixedSize(size);
    update();
}

void VirtualScreenViewer::paintEvent(QPaintEvent*)
{
    const QImage frame = screen_.framebuffer();
    QPainter painter(this);
    painter.scale(Zoom, Zoom);
    if (screen_.orientation() == Portrait) {
        // The program turned the upright picture by 270 degrees for the screen; turn it back.
        painter.translate(link::ScreenHeight, 0);
        painter.rotate(90);
    }
    painter.drawImage(0, 0, frame);
}

} // namespace korvo
