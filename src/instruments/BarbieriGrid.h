// What the Barbieri scanning-table charts (SpectroLFP_R for the Spectro LFP
// and Swing, SpectroPad) share: the page, a plain grid of square patches
// read row by row, and the device-control file the table's software takes
// its grid and target size from.
//
// The grid has nothing inside or between its patches, so the table's
// auto-positioning finds the grid's corners; the only marks are the strip
// numbers, black, in the left margin. Patches are square, sized to the
// table's aperture: 8 mm (aperture 2 or none), 10 mm (aperture 6), 12 mm
// (aperture 8 or low resolution). The target is at least 75 mm wide, the
// least the control file can state: a narrower grid gets more columns,
// padded with paper, so the width written is the width printed.
#ifndef ORVOCHART_INSTRUMENTS_BARBIERIGRID_H
#define ORVOCHART_INSTRUMENTS_BARBIERIGRID_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "base/ErrorCodes.h"
#include "engine/MeasureInstrument.h"
#include "instruments/EyeOneStrips.h"
#include "outside/DebugLog.h"
#include "render/ChartPage.h"
#include "render/Writers.h"

namespace GenChartLib {

// Patch sizes and gaps as (height, width) pairs: quality modes 0/3, the
// base's unused pair, mode 1, modes 2/4.
constexpr double kBarbieriPatchSizesMm[8] = {8.0, 8.0, 8.0, 8.0, 10.0, 10.0, 12.0, 12.0};
constexpr double kBarbieriPatchGapsMm[8] = {};

// The least target width the control file states, in tenths.
constexpr std::int64_t kLeastTargetWidthTenths = 750;

// The grid on a page, in tenths of a millimetre from the page's top-left
// corner. Every millimetre value is truncated to tenths once, so the grid
// drawn and the target size written are the same figures.
struct ScanGridGeometry {
    std::int64_t top = 0;   // y of the first row
    std::int64_t left = 0;  // x of the first column
    std::int64_t patchHeight = 0;
    std::int64_t patchWidth = 0;
    std::int64_t gapHeight = 0;
    std::int64_t gapWidth = 0;
    std::int64_t pageWidth = 0;  // of the first page entry: every page's size
    std::int64_t pageHeight = 0;

    static ScanGridGeometry fromParams(const ChartParams& params);

    std::int64_t pitchX() const { return patchWidth + gapWidth; }
    std::int64_t pitchY() const { return patchHeight + gapHeight; }
    std::int64_t cellX(std::int64_t column) const { return left + column * pitchX(); }
    std::int64_t cellY(std::int64_t row) const { return top + row * pitchY(); }
    // Strip numbers stand 3 mm from the page's left edge, in a box half a
    // patch high centred on their row.
    std::int64_t numberX() const { return 30; }
    std::int64_t numberBoxHeight() const { return patchHeight / 2; }
    std::int64_t numberY(std::int64_t row) const {
        return cellY(row) + (patchHeight - numberBoxHeight()) / 2;
    }
    // The target the control file describes: the grid of `columns` x
    // `strips` cells, at least the least target width wide.
    std::int64_t targetWidth(std::int64_t columns) const;
    std::int64_t targetHeight(std::int64_t strips) const { return pitchY() * strips; }
};

// How the two tables count patches and name their file format.
enum class BarbieriTable {
    SpectroLfp,  // every page counted as full as the first
    SpectroPad,  // the last page counted with its own grid
};

// "chart.tif.tmp" gives "chart.tif.dcf": the name up to its last '.'.
std::string barbieriControlFileName(const std::string& outputName);

// The pages the chart's `patchCount` patches reach, in page order: pages
// past the last patch are never written.
std::size_t pagesReceivingPatches(const ChartParams& params, std::size_t patchCount);

// The control file of a chart laid out on its first `pageCount` pages.
std::string barbieriControlText(BarbieriTable table, const ChartParams& params,
                                std::size_t pageCount);

// Writes the control file beside the pages when the chart has any; a file
// that cannot be written fails the job (the table cannot measure without
// it). `logFormat` names the layout in the log.
void writeBarbieriControlFile(BarbieriTable table, const ChartParams& params,
                              std::size_t patchCount, const char* logFormat);

// After the base layout: widens a grid narrower than the least target width
// by columns of paper and refits the strips, pages and page extents to it.
// Throws -2355, logged through `logFormat`, when the printable width cannot
// hold the least target.
template <class W>
void widenToLeastTarget(MeasureInstrument<W>& layout, ChartParams& params, const char* logFormat);

// Draws the pages of one writePage call: page `page` into its own TIFF file,
// or every page into one PDF document (page -1). Rows are drawn top to
// bottom, each left to right, from the first patch on; strip numbers run on
// across pages. A patch list that runs out throws std::out_of_range.
template <class W>
void drawScanGridPages(ChartParams& params, const std::vector<typename W::PixelColor>& patches,
                       int page);

// ---- Template definitions ----

// The non-template part of widenToLeastTarget: false when the printable
// width cannot hold the least target.
bool widenGridToLeastTarget(ChartParams& params, double printableWidthMm, const double limits[8]);

template <class W>
void widenToLeastTarget(MeasureInstrument<W>& layout, ChartParams& params, const char* logFormat) {
    if (params.pages.empty()) {
        return;  // no reference: nothing was laid out
    }
    double area[2] = {};
    double limits[8] = {};
    layout.getPrintableArea(area, params);
    layout.getPageSizeLimits(limits, params);
    if (!widenGridToLeastTarget(params, area[1], limits)) {
        debugLog(logFormat, 0, 0, "the printable width cannot hold a target of 75 mm");
        throw ERR_PAGE_SIZE;
    }
    layout.computeLayoutFrame(params);
}

template <class W>
void drawScanGridPages(ChartParams& params, const std::vector<typename W::PixelColor>& patches,
                       int page) {
    const PageSpan span = handheldPagesToDraw<W>(params, page);
    const ScanGridGeometry grid = ScanGridGeometry::fromParams(params);
    const int channels = static_cast<int>(W::channelCountOf(patches.front()));
    ChartPage<W> chartPage(params, channels, pagePosition(grid.pageWidth),
                           pagePosition(grid.pageHeight));
    const typename W::PixelColor black = W::blackColor();
    std::size_t next = 0;
    std::int64_t stripNumber = span.firstStripNumber;
    for (std::size_t i = span.firstPage; i < span.endPage; ++i) {
        chartPage.newPage(static_cast<double>(grid.pageWidth) / 10.0,
                          static_cast<double>(grid.pageHeight) / 10.0, 0);
        const PageLayout& entry = params.pages[i];
        for (std::int64_t row = 0; row < entry.strips; ++row, ++stripNumber) {
            chartPage.drawNumber({pagePosition(grid.numberX()), pagePosition(grid.numberY(row))},
                                 pagePosition(grid.numberBoxHeight()), pagePosition(stripNumber),
                                 black);
            for (std::int64_t column = 0; column < entry.columns; ++column, ++next) {
                if (next >= patches.size()) {
                    throw std::out_of_range("invalid vector<T> subscript");
                }
                chartPage.fillRect(
                    {pagePosition(grid.cellX(column)), pagePosition(grid.cellY(row))},
                    pagePosition(grid.patchWidth), pagePosition(grid.patchHeight), patches[next]);
            }
        }
    }
    chartPage.finishPage();
}

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_BARBIERIGRID_H
