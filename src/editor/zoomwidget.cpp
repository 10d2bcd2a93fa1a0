#include "editor/zoomwidget.h"

#include "config/themeprofile.h"
#include "editor/selfplaintextedit.h"

namespace korvo {

ZoomWidget::ZoomWidget(QWidget* parent)
    : QWidget(parent), model_(new LayoutModel(this)), textEditor_(new SelfPlainTextEdit(this))
{
    textEditor_->hide();
    textEditor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    updateTextLimit();
    connect(model_, &LayoutModel::changed, this, qOverload<>(&QWidget::update));
    connect(model_, &LayoutModel::UndoColorSignal, this, &ZoomWidget::UndoColorSignal);
    connect(model_, &LayoutModel::UndoTextSize, this, &ZoomWidget::UndoTextSize);
}

// An English line is longer for the same width; portrait leaves room for fewer characters.
void ZoomWidget::updateTextLimit()
{
    const LayoutState& state = model_->working();
    textEditor_->setMaxLength(state.englishInterface && state.Hor == 0 ? 60 : 40);
}

void ZoomWidget::setEnglishInterface(bool english)
{
    model_->setEnglishInterface(english);
    updateTextLimit();
}

void ZoomWidget::LoadLayout(const ThemeProfile& profile, bool full)
{
    model_->LoadLayout(profile, full);
    updateTextLimit();
    textEditor_->setPlainText(model_->working().record.String_[FreeText]);
}

bool ZoomWidget::CommitLayout()
{
    return model_->CommitLayout();
}

void ZoomWidget::SetBackgroundPicture(const QString& path)
{
    model_->SetBackgroundPicture(path);
}

void ZoomWidget::SetElementShown(int kind, int show)
{
    model_->SetElementShown(kind, show);
}

void ZoomWidget::SetOrientation(int hor)
{
    model_->SetOrientation(hor);
    updateTextLimit();
    if (model_->working().Hor == 1)
        textEditor_->enforceMaxLength();
}

void ZoomWidget::SetTextColor(int index)
{
    model_->SetTextColor(index);
}

void ZoomWidget::SetTextSize(int index)
{
    model_->SetTextSize(index);
}

void ZoomWidget::SetEditingActive(bool on)
{
    model_->SetEditingActive(on);
    if (!on)
        textEditor_->hide();
}

void ZoomWidget::UndoEdit(bool toStart)
{
    model_->UndoEdit(toStart);
}

void ZoomWidget::ResetCustomShow()
{
    model_->ResetCustomShow();
}

} // namespace korvo
