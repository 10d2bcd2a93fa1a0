// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small window showing what the screen would show while the program runs on the virtual screen.

#include <QWidget>

#include <atomic>

namespace korvo {

namespace link {
class VirtualScreen;
}

// Shows the virtual screen at twice its size, turned upright when the screen is in portrait. It
// takes over the screen's change callback while it lives; the screen must outlive it.
class VirtualScreenViewer : public QWidget
{
    Q_OBJECT

public:
    explicit VirtualScreenViewer(link::VirtualScreen& screen, QWidget* parent = nullptr);
    ~VirtualScreenViewer() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The program's translation is installed after this window is made.
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    link::VirtualScreen& screen_;
    // Set by the writing threads when a repaint is on its way, so a burst of packets posts one.
    std::atomic<bool> dirty_{false};
};

} // namespace korvo
