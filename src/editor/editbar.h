// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

#include <array>

class QLabel;

namespace korvo {

class PressCombobox;
class TavoPushButton;

// The tool strip above the custom layout preview: free-text colour indicator and size list,
// the picture clip toggle and the button back to the default picture. It only reports choices;
// the main window forwards them to the editor.
class EditBar : public QWidget
{
    Q_OBJECT
public:
    explicit EditBar(QWidget* parent = nullptr);

    // The six inline swatches share their place with the size list and are hidden at start.
    void setSwatchGroupVisible(bool visible);
    // Leaves picture clipping without reporting it; the caller has already ended it.
    void resetClip();
    // The bar's controls in the order Tab visits them.
    QList<QWidget*> focusChain() const;

signals:
    void SendFontSize(quint8 iSize);
    void SendFontColor(quint8 iColor);
    void SendEdit(quint8 iEdit);
    void SendImageReset();
    void ShowColorbarSignal(quint8 iShow);
    void SizeClicked();

public slots:
    void slotSetFontSize(int iIndex);
    void ControlLabelColor(quint8 iColor);
    void slotFontsizeCurIndex(int iIndex);
    void btn_clicked();
    void label_clicked();
    void combo_clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void endClipping();

    QPixmap background_;
    TavoPushButton* indicator_;
    QLabel* typeIcon_;
    PressCombobox* sizeList_;
    QLabel* swatchPlate_;
    std::array<TavoPushButton*, 6> swatches_{};
    TavoPushButton* clip_;
    TavoPushButton* back_;
    // Cleared for one programmatic change of the size list, so an undo is not sent back.
    bool notify_ = true;
};

} // namespace korvo
