#include "instruments/SpectroScan.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "SpectroScan/writePage: %s";

// (height, width) pairs: quality modes 0/3, the base's unused pair, mode 1,
// modes 2/4.
constexpr double kPatchSizesMm[8] = {6.0, 6.0, 50.0, 50.0, 8.0, 8.0, 10.0, 10.0};
constexpr double kPatchGapsMm[8] = {0.0, 0.0, 50.0, 50.0, 0.5, 0.5, 2.0, 2.0};

constexpr MarginSet kFirstMargins{5.0, 6.0, 20.0, 6.0};
constexpr MarginSet kSecondMargins{50.0, 50.0, 50.0, 50.0};
constexpr MarginSet kThirdMargins{5.0, 6.0, 22.0, 6.0};
// Charts of many patches get a little more of the table.
constexpr std::int32_t kManyPatches = 1000;
constexpr double kManyPatchesBottomMm = 15.0;

constexpr double kGreatestHeightMm = 218.0;
constexpr double kGreatestWidthMm = 313.0;

}  // namespace

SpectroScanGeometry SpectroScanGeometry::fromParams(const ChartParams& params) {
    SpectroScanGeometry g;
    g.top = layoutTenths(params.marginTop);
    g.left = layoutTenths(params.marginLeft);
    g.patchHeight = layoutTenths(params.patchHeight);
    g.patchWidth = layoutTenths(params.patchWidth);
    g.gapHeight = layoutTenths(params.gapHeight);
    g.gapWidth = layoutTenths(params.gapWidth);
    return g;
}

std::vector<MarkRect> SpectroScanGeometry::singleRowBrackets(std::int64_t columns) const {
    const std::int64_t right = rowRight(columns);
    const std::int64_t below = top + patchHeight + 6;
    return {{left - 14, top - 14, 30, 8},
            {left - 14, top - 14, 8, patchHeight + 28},
            {left - 14, below, 30, 8},
            {right - 15, top - 14, 30, 8},
            {right + 8, top - 14, 8, patchHeight + 28},
            {right - 15, below, 30, 8}};
}

std::vector<MarkLabel> SpectroScanGeometry::singleRowLabels(std::int64_t columns) const {
    return {{"A", left - 45, firstRowLabelY()}, {"B", rowRight(columns) + 22, firstRowLabelY()}};
}

std::vector<MarkRect> SpectroScanGeometry::cornerMarks(std::int64_t rows,
                                                       std::int64_t columns) const {
    const std::int64_t right = rowRight(columns);
    const std::int64_t lastX = patchX(columns - 1);
    return {{left - 14, top - 14, patchWidth + 8, 8},
            {left - 14, top - 14, 8, patchHeight + 8},
            {lastX, top - 14, patchWidth + 4, 8},
            {right + 4, top - 14, 8, patchHeight + 8},
            {lastX, gridBottom(rows) + 4, patchWidth + 4, 8},
            {right + 4, patchY(rows - 1) + 4, 8, patchHeight + 8}};
}

std::vector<MarkLabel> SpectroScanGeometry::cornerLabels(std::int64_t rows,
                                                         std::int64_t columns) const {
    const std::int64_t right = rowRight(columns);
    return {{"A", left - 45, firstRowLabelY()},
            {"B", right + 20, firstRowLabelY()},
            {"C", right + 20, gridBottom(rows) - patchHeight / 2 + 20}};
}

template <class W>
void SpectroScan<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const SpectroScanGeometry g = SpectroScanGeometry::fromParams(params);
    const std::int32_t code = tablePageCode(params);
    const PageLayout& first = params.pages.at(0);
    drawTablePages<W>(
        params, patches, page, layoutTenths(first.width), layoutTenths(first.height), code,
        [&](ChartPage<W>& chartPage, const PageLayout& layout, std::size_t& next) {
            const std::int64_t rows = layout.strips;
            const std::int64_t columns = layout.columns;
            if (rows == 1) {
                drawMarkLabels(chartPage, g.singleRowLabels(columns));
                drawMarks(chartPage, g.singleRowBrackets(columns));
            } else if (rows > 1) {
                drawMarkLabels(chartPage, g.cornerLabels(rows, columns));
                drawMarks(chartPage, g.cornerMarks(rows, columns));
            }
            for (std::int64_t r = 0; r < rows; ++r) {
                for (std::int64_t c = 0; c < columns; ++c) {
                    chartPage.fillRect({pagePosition(g.patchX(c)), pagePosition(g.patchY(r))},
                                       pagePosition(g.patchWidth), pagePosition(g.patchHeight),
                                       patchAt(patches, next++));
                }
            }
        });
}

template <class W>
void SpectroScan<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    std::fill(out, out + 4, 0.0);
}

template <class W>
void SpectroScan<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    leastPageExtents(*this, params, out[0], out[1]);
    out[2] = kGreatestHeightMm;
    out[3] = kGreatestWidthMm;
    std::fill(out + 4, out + 8, 0.0);
}

template <class W>
void SpectroScan<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void SpectroScan<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
}

template <class W>
void SpectroScan<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                    const ChartParams& params) {
    first = kFirstMargins;
    if (params.patchCount > kManyPatches) {
        first.bottom = kManyPatchesBottomMm;
    }
    second = kSecondMargins;
    third = kThirdMargins;
}

template class SpectroScan<WriteCMYK>;
template class SpectroScan<WriteCMYKO>;
template class SpectroScan<WriteCMYKOG>;
template class SpectroScan<WriteCMYKRGB>;
template class SpectroScan<WriteLAB>;
template class SpectroScan<WriteRGB>;
template class SpectroScan<WriteSpotColor>;

}  // namespace GenChartLib
