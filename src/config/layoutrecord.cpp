// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/layoutrecord.h"

namespace korvo {
bool LayoutRecord::operator==(const LayoutRecord& o) const
{
    return XPt == o.XPt && YPt == o.YPt && XZoom == o.XZoom && YZoom == o.YZoom && highlight == o.highlight &&
           Show_ == o.Show_ && Show2_ == o.Show2_ && ShowRect_ == o.ShowRect_ && ShowStringRect_ == o.ShowStringRect_ &&
           String_ == o.String_ && StringPixmap == o.StringPixmap && StringD1 == o.StringD1 &&
           StringPixmapS == o.StringPixmapS && Color == o.Color && Size == o.Size;
}

int validCustomShowEntry(int kind)
{
    return isElementKind(kind) ? kind : -1;
}

} // namespace korvo
