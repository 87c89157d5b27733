#include "instruments/IoDevice.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "IoDevice/writePage: %s";

// (height, width) pairs: quality modes 0/3, the base's unused pair, mode 1,
// modes 2/4.
constexpr double kPatchSizesMm[8] = {7.5, 8.0, 20.0, 20.0, 7.5, 8.0, 12.0, 12.0};
constexpr double kPatchGapsMm[8] = {0.0, 1.0, 2.0, 2.0, 0.5, 1.0, 2.0, 2.0};

constexpr MarginSet kMargins{5.0, 7.0, 22.0, 6.0};
constexpr MarginSet kSecondMargins{50.0, 50.0, 50.0, 50.0};
// Charts of many patches get a little more of the table.
constexpr std::int32_t kManyPatches = 1500;
constexpr double kManyPatchesBottomMm = 18.0;

// The table takes a portrait sheet up to 230 x 320 mm, or a landscape one up
// to 331 x 257 mm.
constexpr double kPortraitHeightMm = 320.0;
constexpr double kPortraitWidthMm = 230.0;
constexpr double kLandscapeHeightMm = 257.0;
constexpr double kLandscapeWidthMm = 331.0;

}  // namespace

IoGeometry IoGeometry::fromParams(const ChartParams& params) {
    IoGeometry g;
    g.top = layoutTenths(params.marginTop);
    g.left = layoutTenths(params.marginLeft);
    g.patchHeight = layoutTenths(params.patchHeight);
    g.patchWidth = layoutTenths(params.patchWidth);
    g.gapHeight = layoutTenths(params.gapHeight);
    g.gapWidth = layoutTenths(params.gapWidth);
    return g;
}

std::vector<MarkRect> IoGeometry::cornerMarks(std::int64_t rows, std::int64_t columns) const {
    const std::int64_t p = columnPitch();
    const std::int64_t belowGrid = rows * rowPitch() - gapHeight + top + 5;
    const std::int64_t lastRowY = patchY(rows - 1) + 5;
    return {{left - 15, top - 15, p + 10, 10},
            {left - 15, top - 15, 10, patchHeight + 10},
            {left - 15, belowGrid, p + 10, 10},
            {left - 15, lastRowY, 10, patchHeight + 10},
            {(columns - 1) * p - gapWidth + left, belowGrid, p + 5, 10},
            {rowRight(columns) + 5, lastRowY, 10, patchHeight + 10}};
}

std::vector<MarkLabel> IoGeometry::cornerLabels(std::int64_t rows, std::int64_t columns) const {
    const std::int64_t belowLastRow = rows * rowPitch() + top + 10;
    return {{"A", left - 50, top + 10},
            {"B", left - 50, belowLastRow},
            {"C", rowRight(columns) + 20, belowLastRow}};
}

template <class W>
void Io<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const IoGeometry g = IoGeometry::fromParams(params);
    const PageLayout& first = params.pages.at(0);
    const double widthMm = params.useWholePage ? params.pageWidth : first.width;
    const double heightMm = params.useWholePage ? params.pageHeight : first.height;
    const std::int32_t code = tablePageCode(params);
    drawTablePages<W>(
        params, patches, page, layoutTenths(widthMm), layoutTenths(heightMm), code,
        [&](ChartPage<W>& chartPage, const PageLayout& layout, std::size_t& next) {
            const std::int64_t rows = layout.strips;
            const std::int64_t columns = layout.columns;
            if (rows > 1) {
                drawMarkLabels(chartPage, g.cornerLabels(rows, columns));
                drawMarks(chartPage, g.cornerMarks(rows, columns));
            }
            std::vector<MarkRect> bars;
            for (std::int64_t r = 0; r < rows; ++r) {
                const std::int64_t y = g.patchY(r);
                if (IoGeometry::hasLeadingBar(r, rows)) {
                    bars.push_back({g.leadingBarX(), y, g.barWidth(), g.patchHeight});
                }
                for (std::int64_t c = 0; c < columns; ++c) {
                    chartPage.fillRect({pagePosition(g.patchX(c)), pagePosition(y)},
                                       pagePosition(g.patchWidth), pagePosition(g.patchHeight),
                                       patchAt(patches, next++));
                    const bool between = c + 1 < columns;
                    if (between || IoGeometry::hasTrailingBar(r, rows)) {
                        bars.push_back({g.barAfterPatchX(c), y, g.barWidth(), g.patchHeight});
                    }
                }
            }
            drawMarks(chartPage, bars);
        });
}

template <class W>
void Io<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    std::fill(out, out + 4, 0.0);
}

template <class W>
void Io<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    leastPageExtents(*this, params, out[0], out[1]);
    const bool landscape = out[1] > out[0];
    out[2] = landscape ? kLandscapeHeightMm : kPortraitHeightMm;
    out[3] = landscape ? kLandscapeWidthMm : kPortraitWidthMm;
    std::fill(out + 4, out + 8, 0.0);
}

template <class W>
void Io<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void Io<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
}

template <class W>
void Io<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                           const ChartParams& params) {
    first = kMargins;
    if (params.patchCount > kManyPatches) {
        first.bottom = kManyPatchesBottomMm;
    }
    second = kSecondMargins;
    third = first;
}

template <class W>
void Io<W>::initChartParams(ChartParams& params) {
    params.optimizeLayout = false;
    MeasureInstrument<W>::initChartParams(params);
}

template class Io<WriteCMYK>;
template class Io<WriteCMYKO>;
template class Io<WriteCMYKOG>;
template class Io<WriteCMYKRGB>;
template class Io<WriteLAB>;
template class Io<WriteRGB>;
template class Io<WriteSpotColor>;

}  // namespace GenChartLib
