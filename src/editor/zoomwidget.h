#pragma once

#include "editor/layoutmodel.h"

#include <QWidget>

namespace korvo {

class SelfPlainTextEdit;
struct ThemeProfile;

// The preview and editor of the screen layout. The layout itself lives in its LayoutModel;
// the operations below keep their long-standing names and hand over to the model, adding what
// concerns the text editor.
class ZoomWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ZoomWidget(QWidget* parent = nullptr);

    LayoutModel& model() { return *model_; }
    const LayoutModel& model() const { return *model_; }
    SelfPlainTextEdit* textEditor() const { return textEditor_; }

    void setEnglishInterface(bool english);

    void LoadLayout(const ThemeProfile& profile, bool full);
    bool CommitLayout();
    void SetBackgroundPicture(const QString& path);
    void SetElementShown(int kind, int show);
    void SetOrientation(int hor);
    void SetTextColor(int index);
    void SetTextSize(int index);
    void SetEditingActive(bool on);
    void UndoEdit(bool toStart);
    void ResetCustomShow();

signals:
    void UndoColorSignal(int iColor);
    void UndoTextSize(int iSize);

private:
    void updateTextLimit();

    LayoutModel* model_;
    SelfPlainTextEdit* textEditor_;
};

} // namespace korvo
