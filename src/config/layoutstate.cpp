// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/layoutstate.h"

namespace korvo {

bool LayoutState::operator==(const LayoutState& o) const
{
    return record == o.record && ThemeID == o.ThemeID && Mode == o.Mode && Hor == o.Hor && Style == o.Style &&
           customShow == o.customShow && curRectId == o.curRectId && englishInterface == o.englishInterface;
}

CommittedLayout::CommittedLayout() : state_(std::make_shared<const LayoutState>()) {}

std::shared_ptr<const LayoutState> CommittedLayout::get() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

void CommittedLayout::set(const LayoutState& state)
{
    auto next = std::make_shared<const LayoutState>(state);
    std::lock_guard<std::mutex> lock(mutex_);
    state_ = std::move(next);
}

} // namespace korvo
