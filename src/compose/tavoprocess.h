// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The apply job.

#include "config/layoutstate.h"
#include "metrics/figuretexts.h"

#include <QImage>
#include <QSize>

namespace korvo::compose {

// One apply: a copy of the working layout as it stood when the user applied it, with the
// picture and the editor's size the frame is composed from. The screen worker runs it; the
// editor's state is never read from there, and whoever started it commits once it landed.
class TavoProcessThread
{
public:
    TavoProcessThread(const LayoutState& working, const QImage& previewBackground, QSize widgetSize)
        : working_(working), background_(previewBackground), widgetSize_(widgetSize)
    {
    }

    const LayoutState& working() const { return working_; }

    // Composes and sends the frame, the `unavailable` figures as "--"; true once it landed whole
    // (see applyLayout()).
    bool run(const metrics::FigureSet& unavailable) const;

private:
    const LayoutState working_;
    const QImage background_;
    const QSize widgetSize_;
};

} // namespace korvo::compose
