// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/tavoprocess.h"

#include "compose/applyrenderer.h"

namespace korvo::compose {

bool TavoProcessThread::run(const metrics::FigureSet& unavailable) const
{
    return applyLayout(working_, background_, widgetSize_, unavailable);
}

} // namespace korvo::compose
