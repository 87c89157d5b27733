#include "instruments/BarbieriGrid.h"

#include <algorithm>
#include <cmath>

#include "engine/SideFile.h"

namespace GenChartLib {

ScanGridGeometry ScanGridGeometry::fromParams(const ChartParams& params) {
    ScanGridGeometry g;
    g.top = layoutTenths(params.marginTop);
    g.left = layoutTenths(params.marginLeft);
    g.patchHeight = layoutTenths(params.patchHeight);
    g.patchWidth = layoutTenths(params.patchWidth);
    g.gapHeight = layoutTenths(params.gapHeight);
    g.gapWidth = layoutTenths(params.gapWidth);
    if (!params.pages.empty()) {
        g.pageWidth = layoutTenths(params.pages.front().width);
        g.pageHeight = layoutTenths(params.pages.front().height);
    }
    return g;
}

std::int64_t ScanGridGeometry::targetWidth(std::int64_t columns) const {
    return std::max(pitchX() * columns, kLeastTargetWidthTenths);
}

namespace {

// A page extent of `contentMm`, within the table's limits, taken up to 0.1 mm.
double pageExtentMm(double contentMm, double leastMm, double greatestMm) {
    const double clamped = std::min(std::max(contentMm, leastMm), greatestMm);
    return std::ceil(clamped * 10.0) / 10.0;
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

}  // namespace

bool widenGridToLeastTarget(ChartParams& params, double printableWidthMm, const double limits[8]) {
    const ScanGridGeometry grid = ScanGridGeometry::fromParams(params);
    const PageLayout first = params.pages.front();
    if (grid.pitchX() * first.columns >= kLeastTargetWidthTenths) {
        return true;
    }
    const std::int64_t columns = ceilDiv(kLeastTargetWidthTenths, grid.pitchX());
    if (columns * grid.pitchX() > layoutTenths(printableWidthMm)) {
        return false;
    }
    // More columns hold the same patches in fewer strips, on no more pages.
    const std::int64_t count = params.patchCount;
    const auto pageCount = static_cast<std::int64_t>(params.pages.size());
    const std::int64_t strips =
        std::min<std::int64_t>(first.strips, ceilDiv(ceilDiv(count, pageCount), columns));
    params.pages.resize(static_cast<std::size_t>(ceilDiv(count, strips * columns)));

    // Across, one gap more than there are columns, as the base lays it out.
    const auto columnsMm = static_cast<double>(columns);
    const auto stripsMm = static_cast<double>(strips);
    const double width =
        pageExtentMm(params.marginLeft + (params.patchWidth + params.gapWidth) * columnsMm +
                         params.gapWidth + params.marginRight,
                     limits[1], limits[3]);
    const double height = pageExtentMm(
        params.marginTop + (params.patchHeight + params.gapHeight) * stripsMm + params.marginBottom,
        limits[0], limits[2]);
    for (std::size_t i = 0; i < params.pages.size(); ++i) {
        const std::int64_t remaining = count - strips * columns * static_cast<std::int64_t>(i);
        PageLayout& entry = params.pages[i];
        entry.columns = static_cast<std::int32_t>(columns);
        entry.strips = static_cast<std::int32_t>(
            params.optimizeLayout ? strips : std::min(strips, ceilDiv(remaining, columns)));
        entry.width = width;
        entry.height = height;
    }
    return true;
}

std::string barbieriControlFileName(const std::string& outputName) {
    const auto dot = outputName.rfind('.');
    return (dot == std::string::npos ? outputName : outputName.substr(0, dot)) + ".dcf";
}

std::size_t pagesReceivingPatches(const ChartParams& params, std::size_t patchCount) {
    std::size_t pages = 0;
    for (const PageLayout& entry : params.pages) {
        if (patchCount == 0) {
            break;
        }
        const auto capacity = static_cast<std::size_t>(std::max(0, entry.strips)) *
                              static_cast<std::size_t>(std::max(0, entry.columns));
        patchCount -= std::min(patchCount, capacity);
        pages += capacity > 0 ? 1 : 0;
    }
    return pages;
}

std::string barbieriControlText(BarbieriTable table, const ChartParams& params,
                                std::size_t pageCount) {
    const ScanGridGeometry grid = ScanGridGeometry::fromParams(params);
    const PageLayout& first = params.pages.front();
    const PageLayout& last = params.pages[pageCount - 1];
    const std::int64_t pages = static_cast<std::int64_t>(pageCount);
    const std::int64_t firstCells = std::int64_t{first.strips} * first.columns;
    // The Pad counts its last page by its own grid; the LFP every page as
    // full as the first (padding cells included either way).
    const std::int64_t patches =
        table == BarbieriTable::SpectroPad
            ? (pages - 1) * firstCells + std::int64_t{last.strips} * last.columns
            : firstCells * pages;
    SideFileText text;
    text.line("Spectro_xy_version=1");
    text.line(table == BarbieriTable::SpectroPad ? "File_Format=BARBIERI - Horizontal (default)"
                                                 : "File_Format=BARBIERI");
    text.line("Patches_X=", decimal(first.columns));
    text.line("Patches_Y=", decimal(first.strips));
    text.line("Number_of_Patches=", decimal(patches));
    text.line("Number_of_Pages=", decimal(pages));
    text.line("Target_Size_X=", decimal(grid.targetWidth(first.columns) / 10));
    text.line("Target_Size_Y=", decimal(grid.targetHeight(first.strips) / 10));
    text.line("MR");
    text.line("Illuminant=D50");
    text.line("Observer=2");
    text.line("Density=Status A");
    text.line("Save_Spectral=1");
    text.line("Save_Lab=1");
    text.line("Save_XYZ=0");
    text.line("Save_Density=0");
    text.line("Fast_Measuring_Mode=1");
    text.line("Use_AutoPositioning=1");
    return text.bytes();
}

void writeBarbieriControlFile(BarbieriTable table, const ChartParams& params,
                              std::size_t patchCount, const char* logFormat) {
    const std::size_t pages = pagesReceivingPatches(params, patchCount);
    if (pages == 0) {
        return;  // a chart without pages has no grid to describe
    }
    writeSideFile(barbieriControlFileName(params.outputName),
                  barbieriControlText(table, params, pages), params, logFormat);
}

}  // namespace GenChartLib
