// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/cups/paperruns.h"

#include <cups/cups.h>

#include <algorithm>
#include <cmath>

namespace {

QByteArray mediaFor(const QSizeF &points)
{
    // PWG sizes are in hundredths of a millimetre, the short side first; CUPS
    // takes a size within its tolerance of a standard one for that paper, and
    // names any other as a custom size.
    const auto hundredths = [](double side) { return int(std::lround(side * 2540.0 / 72.0)); };
    const int shortSide = hundredths(std::min(points.width(), points.height()));
    const int longSide = hundredths(std::max(points.width(), points.height()));
    const pwg_media_t *media = pwgMediaForSize(shortSide, longSide);
    return media ? QByteArray(media->pwg) : QByteArray();
}

} // namespace

std::vector<PaperRuns::Run> PaperRuns::of(const QList<QSizeF> &pageSizesInPoints)
{
    std::vector<Run> runs;
    for (qsizetype i = 0; i < pageSizesInPoints.size(); ++i) {
        const int page = int(i) + 1;
        const QByteArray media = mediaFor(pageSizesInPoints[i]);
        if (!runs.empty() && runs.back().media == media)
            runs.back().lastPage = page;
        else
            runs.push_back({page, page, media});
    }
    return runs;
}
