// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

#include <array>

namespace korvo {

class TavoPushButton;

// The pop-up strip of the six free-text colours. Choosing one reports its index and closes the
// strip.
class ColorBar : public QWidget
{
    Q_OBJECT
public:
    explicit ColorBar(QWidget* parent = nullptr);

    // The swatches in the order Tab visits them.
    QList<QWidget*> focusChain() const;

signals:
    void SendFontColor(quint8 iColor);

public slots:
    void btn_clicked();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap background_;
    std::array<TavoPushButton*, 6> swatches_{};
};

// A swatch button of colour index (0..5): its picture, with the colour itself painted when the
// picture is missing.
TavoPushButton* makeColorSwatch(QWidget* parent, int index, const QRect& geometry);

} // namespace korvo
