// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/layoutstate.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <vector>

namespace korvo {

struct ThemeProfile;

// Undo steps of the layout editor: full copies of the working record, oldest first, with the
// free text's row, so that undoing a drag of the text puts it back where it stood.
struct EditSnapshot
{
    uint8_t flag = 0; // kept for the record's on-disk companions; always 0
    LayoutRecord record;
    int curRectId = 1;
};
using EditHistory = std::vector<EditSnapshot>;

class ScreenDocument;

// The state behind ZoomWidget: what the user edits (the working layout), the custom background
// pictures and the undo history. What the screen shows is the ScreenDocument's. It knows
// nothing of widgets, so tests and the fuzzer drive it directly; changed() asks the view to
// repaint.
class LayoutModel : public QObject
{
    Q_OBJECT

public:
    explicit LayoutModel(QObject* parent = nullptr);
    // The editing starts from the stored free-text row and slot assignment.
    void startFrom(const ScreenDocument& document);

    const LayoutState& working() const { return working_; }
    LayoutRecord& workingRecord() { return working_.record; }

    void setEnglishInterface(bool english);
    void setCurRectId(int row); // 0..2; anything else keeps the row
    // Exchanges the figures of two slots of the five-slot style; either may be empty.
    void swapSlots(int slot, int other);

    const QImage& previewBackground() const { return previewBackground_; }
    const QImage& customBackground() const { return customBackground_; }
    const QImage& sparePicture() const { return sparePicture_; }

    const EditHistory& editHistory() const { return history_; }
    void pushSnapshot();

    bool editing() const { return editing_; }
    void setEditing(bool on) { editing_ = on; }
    bool backgroundEditMode() const { return backgroundEditMode_; }
    void setBackgroundEditMode(bool on) { backgroundEditMode_ = on; }
    int landscapeResize() const { return landscapeResize_; }
    int portraitResize() const { return portraitResize_; }
    void setLandscapeResize(int amount) { landscapeResize_ = amount; }
    void setPortraitResize(int amount) { portraitResize_ = amount; }

    // Free-text metrics; the preview measures the real ones at its first paint.
    int textFontHeight() const { return textFontHeight_; }
    int textLineSpacing() const { return textLineSpacing_; }
    void setTextMetrics(int fontHeight, int lineSpacing);

    void LoadLayout(const ThemeProfile& profile, bool full);
    void SetBackgroundPicture(const QString& path);
    void SetElementShown(int kind, int show);
    void SetOrientation(int hor);
    void SetTextColor(int index);
    void SetTextSize(int index);
    void SetEditingActive(bool on);
    void UndoEdit(bool toStart);
    void ResetCustomShow();

signals:
    void changed();
    void UndoColorSignal(int iColor);
    void UndoTextSize(int iSize);

private:
    void showInStyle0(int kind);
    void hideInStyle0(int kind);
    QImage loadPicture(const QString& path, const QString& fallback) const;

    LayoutState working_;
    QImage previewBackground_;
    QImage customBackground_;
    QImage sparePicture_;
    EditHistory history_;
    bool editing_ = false;
    bool backgroundEditMode_ = false;
    int landscapeResize_ = 0;
    int portraitResize_ = 0;
    int textFontHeight_ = 15;
    int textLineSpacing_ = 15;
};

} // namespace korvo
