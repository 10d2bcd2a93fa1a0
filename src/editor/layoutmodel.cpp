#include "editor/layoutmodel.h"

#include "config/configstore.h"
#include "config/themeprofile.h"

#include "picture/picturereader.h"

#include <QDebug>

#include <utility>

namespace korvo {
namespace {

// The preview never shows more than a few times its own size, so a larger picture is decoded
// at this size instead of whole.
constexpr QSize LargestPicture(2048, 2048);

int firstSlotHolding(const std::array<int, SlotCount>& row, int kind)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (row[slot] == kind)
            return slot;
    }
    return -1;
}

} // namespace

LayoutModel::LayoutModel(QObject* parent) : QObject(parent)
{
    reloadStored();
}

void LayoutModel::reloadStored()
{
    working_.curRectId = curRectId();
    working_.customShow = loadCustomShow();
    LayoutState next = committed();
    next.curRectId = working_.curRectId;
    next.customShow = working_.customShow;
    committedLayout_.set(next);
}

void LayoutModel::setEnglishInterface(bool english)
{
    working_.englishInterface = english;
    LayoutState next = committed();
    next.englishInterface = english;
    committedLayout_.set(next);
    emit changed();
}

void LayoutModel::setCurRectId(int row)
{
    if (row < 0 || row >= StringRowCount) {
        qWarning("Free-text row %d does not exist; the row stays %d.\n", row, working_.curRectId);
        return;
    }
    working_.curRectId = row;
}

void LayoutModel::swapSlots(int slot, int other)
{
    if (slot < 0 || slot >= SlotCount || other < 0 || other >= SlotCount) {
        qWarning("Slot %d or %d does not exist; nothing is moved.\n", slot, other);
        return;
    }
    std::swap(working_.customShow[0][slot], working_.customShow[0][other]);
    emit changed();
}

void LayoutModel::pushSnapshot()
{
    history_.push_back(EditSnapshot{0, working_.record, working_.curRectId});
}

void LayoutModel::setTextMetrics(int fontHeight, int lineSpacing)
{
    textFontHeight_ = fontHeight;
    textLineSpacing_ = lineSpacing;
}

QImage LayoutModel::loadPicture(const QString& path, const QString& fallback) const
{
    const QString& chosen = path.isEmpty() ? fallback : path;
    if (chosen.isEmpty())
        return QImage();
    return picture::readWithin(chosen, LargestPicture);
}

void LayoutModel::LoadLayout(const ThemeProfile& profile, bool full)
{
    int theme = profile.ThemeID;
    if (theme >= ThemeCount) {
        qWarning("Theme %d does not exist; theme 1 is shown.\n", theme + 1);
        theme = 0;
    }
    if (!profile.isCustom())
        working_.record = profile.isPortrait() ? profile.portrait[theme] : profile.landscape[theme];
    else
        working_.record = profile.custom[0];
    working_.Mode = profile.Mode;
    working_.Hor = profile.Hor;
    working_.Style = profile.Style;
    working_.ThemeID = profile.ThemeID;

    const LayoutRecord& record = working_.record;
    if (full) {
        // What the screen shows already; the text row and the slots stay as they were stored.
        LayoutState next = working_;
        const LayoutState stored = committed();
        next.curRectId = stored.curRectId;
        next.customShow = stored.customShow;
        committedLayout_.set(next);
        const QString& customPath = profile.custom[0].StringPixmap;
        customBackground_ = loadPicture(customPath, record.StringD1);
        // Mostly both are the same file; it is read (and a failure reported) once.
        const QString& previewPath = record.StringPixmap;
        if ((previewPath.isEmpty() ? record.StringD1 : previewPath) ==
            (customPath.isEmpty() ? record.StringD1 : customPath))
            previewBackground_ = customBackground_;
        else
            previewBackground_ = loadPicture(previewPath, record.StringD1);
    } else if (!working_.isCustom()) {
        previewBackground_ = loadPicture(record.StringPixmap, record.StringD1);
    } else {
        previewBackground_ = customBackground_.copy();
    }
    emit changed();
}

bool LayoutModel::CommitLayout()
{
    const bool slotsSaved = saveCustomShow(working_.customShow);
    const bool rowSaved = korvo::setCurRectId(working_.curRectId);
    committedLayout_.set(working_);
    return slotsSaved && rowSaved;
}

void LayoutModel::SetBackgroundPicture(const QString& path)
{
    LayoutRecord& record = working_.record;
    record.StringPixmap = path;
    customBackground_ = loadPicture(path, record.StringD1);
    previewBackground_ = customBackground_.copy();
    record.XPt = record.YPt = record.XZoom = record.YZoom = 0;
    emit changed();
}

void LayoutModel::SetElementShown(int kind, int show)
{
    if (!isElementKind(kind)) {
        qWarning("Element kind %d does not exist; nothing is shown or hidden.\n", kind);
        return;
    }
    LayoutRecord& record = working_.record;
    if (working_.Style != 0) {
        auto& centreRow = working_.customShow[1];
        if (show == 1) {
            for (int k = 0; k < ElementKindCount; ++k)
                record.Show2_[k] = k == kind ? 1 : 0;
            centreRow = {-1, -1, -1, -1, -1};
            centreRow[CentreSlot] = kind;
        } else if (show == 0) {
            centreRow[CentreSlot] = -1;
        }
    } else if (show == 1) {
        showInStyle0(kind);
    } else if (show == 0) {
        hideInStyle0(kind);
    }
    emit changed();
}

void LayoutModel::showInStyle0(int kind)
{
    auto& row = working_.customShow[0];
    working_.record.Show_[kind] = 1;
    // A repeated request must not put the same figure into a second slot.
    if (firstSlotHolding(row, kind) >= 0)
        return;
    if (kind == Time) {
        // Time takes over the date's slot: the two are drawn together there.
        const int dateSlot = firstSlotHolding(row, Date);
        if (dateSlot >= 0) {
            row[dateSlot] = Time;
            return;
        }
    } else if (kind == Date && firstSlotHolding(row, Time) >= 0) {
        return;
    }
    const int empty = firstSlotHolding(row, -1);
    if (empty >= 0)
        row[empty] = kind;
}

void LayoutModel::hideInStyle0(int kind)
{
    auto& row = working_.customShow[0];
    LayoutRecord& record = working_.record;
    if (kind == Time || kind == Date) {
        // The slot time and date share stays with whichever of the two is still shown.
        const int partner = kind == Time ? Date : Time;
        const int slot = firstSlotHolding(row, kind);
        if (slot >= 0)
            row[slot] = record.Show_[partner] ? partner : -1;
    } else {
        for (int& entry : row) {
            if (entry == kind)
                entry = -1;
        }
    }
    record.Show_[kind] = 0;
}

void LayoutModel::SetOrientation(int hor)
{
    if (hor < 0 || hor >= OrientationCount) {
        qWarning("Orientation %d does not exist; the orientation stays %d.\n", hor, working_.Hor);
        return;
    }
    landscapeResize_ = portraitResize_ = 0;
    working_.Hor = static_cast<uint8_t>(hor);
    emit changed();
}

void LayoutModel::SetTextColor(int index)
{
    if (index < 0 || index >= TextColorCount) {
        qWarning("Text colour %d does not exist; the colour stays %d.\n", index, working_.record.Color);
        return;
    }
    working_.record.Color = static_cast<uint8_t>(index);
    pushSnapshot();
    emit changed();
}

void LayoutModel::SetTextSize(int index)
{
    if (index < 0 || index >= TextSizeCount) {
        qWarning("Text size %d does not exist; the size stays %d.\n", index, working_.record.Size);
        return;
    }
    working_.record.Size = static_cast<uint8_t>(index);
    pushSnapshot();
    emit changed();
}

void LayoutModel::SetEditingActive(bool on)
{
    history_.clear();
    if (on)
        pushSnapshot();
    else
        editing_ = false;
}

void LayoutModel::UndoEdit(bool toStart)
{
    if (history_.size() < 2)
        return;
    if (toStart) {
        working_.record = history_.front().record;
        working_.curRectId = history_.front().curRectId;
        history_.clear();
    } else {
        history_.pop_back();
        working_.record = history_.back().record;
        working_.curRectId = history_.back().curRectId;
    }
    emit UndoColorSignal(working_.record.Color);
    emit UndoTextSize(working_.record.Size);
    emit changed();
}

void LayoutModel::ResetCustomShow()
{
    working_.customShow = DefaultCustomShow;
}

} // namespace korvo
