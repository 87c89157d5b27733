#include "instruments/ICColor.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/SideFile.h"
#include "instruments/PdfChartPages.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "ICColor/writePage: %s";
constexpr const char* kInitLog = "ICColor/initChartParams: %s";

// Patch sizes as (height, width) pairs: quality modes 0/3, the base's
// unused pair, mode 1, modes 2/4. The grid has no gaps in any mode.
constexpr double kPatchSizesMm[8] = {8.0, 7.0, 12.0, 12.0, 10.0, 10.0, 12.0, 12.0};

constexpr MarginSet kMargins{60.0, 5.0, 60.0, 5.0};
constexpr MarginSet kSecondMargins{80.0, 5.0, 80.0, 5.0};
// The reader takes long narrow strips of paper.
constexpr double kPageLimitsMm[4] = {120.0, 50.0, 850.0, 127.0};

// A decimal as the reading software expects it: up to six significant
// digits, no trailing zeros (85 and 152.5), whatever the host's locale.
std::string shortDecimal(double value) {
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return std::string(buffer, end.ptr);
}

std::uint32_t tenths(double mm) {
    return MeasureInstrument<WriteCMYK>::tenthsOf(mm);
}

}  // namespace

ICColorGeometry ICColorGeometry::fromParams(const ChartParams& params) {
    ICColorGeometry g;
    g.top = tenths(params.marginTop);
    g.left = tenths(params.marginLeft);
    g.patchHeight = tenths(params.patchHeight);
    g.patchWidth = tenths(params.patchWidth);
    g.gridWidth =
        params.pages.empty() ? 0 : nonNegative(params.pages.front().columns) * g.patchWidth;
    return g;
}

std::string icColorChartFile(const ChartParams& params) {
    using Bars = ICColorBars;
    const PageLayout& first = params.pages.at(0);
    const double top = tenths(params.marginTop);
    const std::uint32_t left = tenths(params.marginLeft);
    const std::uint32_t patchWidth = tenths(params.patchWidth);
    const std::uint32_t patchHeight = tenths(params.patchHeight);
    const std::int32_t columns = first.columns;
    const std::int32_t rows = first.strips;
    const auto gridWidth = static_cast<std::uint32_t>(columns * 10.0 * params.patchWidth);
    const auto gridHeight = static_cast<std::uint32_t>(rows * 10.0 * params.patchHeight);
    const auto pair = [](const std::string& x, const std::string& y) { return x + " " + y; };
    const std::string barX = decimal(left + gridWidth / 2);
    const std::string barWidth = shortDecimal(gridWidth - 20.0 * Bars::kInsetMm);
    const double gridTop = 10.0 * Bars::kSmallHeightMm + top + 10.0 * Bars::kGapMm;
    SideFileText t;
    t.line("[File]")
        .line("Application=CSVMaker")
        .line("Version=2")
        .line("ChartType=Spectral")
        .line("MeasurementOptics=Remission")
        .line("DensityStandard=ANSIA")
        .line("Illumination=D50")
        .line("Observer=2")
        .line("Export format file extension=it8")
        .line("Export-Format=SampleID SampleName Spectrum")
        .line("ID=CSVChart")
        .line("ChartSize=", pair(decimal(tenths(first.width)), decimal(tenths(first.height))))
        .line("[PositionBars]")
        .line("SmallBarPos=", pair(barX, shortDecimal(5.0 * Bars::kSmallHeightMm + top)))
        .line("SmallBarSize=", pair(barWidth, shortDecimal(10.0 * Bars::kSmallHeightMm)))
        .line("LargeBarPos=",
              pair(barX, shortDecimal(10.0 * Bars::kSmallHeightMm + top + 20.0 * Bars::kGapMm +
                                      gridHeight + 5.0 * Bars::kLargeHeightMm)))
        .line("LargeBarSize=", pair(barWidth, shortDecimal(10.0 * Bars::kLargeHeightMm)))
        .line("[InvalidPatch]")
        // The last cell, padding included: its column letter and row number.
        .line("LastValidPatch=", std::string(1, static_cast<char>('@' + columns)) + decimal(rows))
        .line("[PatchArray]")
        .line("PatchArray=", pair(decimal(columns), decimal(rows)))
        .line("FirstPatchPos=",
              pair(decimal(left + patchWidth / 2), shortDecimal(gridTop + patchHeight / 2)))
        .line("LastPatchPos=", pair(decimal(gridWidth - patchWidth / 2 + left),
                                    shortDecimal(gridTop + gridHeight - patchHeight / 2)))
        .line("PatchSize=", pair(decimal(patchWidth), decimal(patchHeight)))
        .line("")
        .line("");
    return t.bytes();
}

template <class W>
void ICColor<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (params.pages.empty()) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    const PageLayout& first = params.pages.front();
    const ICColorGeometry geometry = ICColorGeometry::fromParams(params);
    writePdfPages<W>(params, patches, page, kWritePageLog,
                     MeasureInstrument<W>::tenthsOf(first.width) / 10.0,
                     MeasureInstrument<W>::tenthsOf(first.height) / 10.0,
                     [&](PdfPage<W>& pdf, const PdfChartPage&, const PageLayout& layout,
                         const std::vector<Patch>& list,
                         std::size_t& next) { drawPage(pdf, geometry, layout, list, next); });
}

template <class W>
void ICColor<W>::drawPage(PdfPage<W>& pdf, const ICColorGeometry& geometry,
                          const PageLayout& layout, const std::vector<Patch>& patches,
                          std::size_t& next) const {
    const Patch black = W::blackColor();
    const std::uint32_t rows = nonNegative(layout.strips);
    pdf.fillRectPlain({geometry.barX(), geometry.top}, geometry.barWidth(),
                      geometry.smallBarHeight(), black);
    for (std::uint32_t row = 0; row < rows; ++row) {
        for (std::uint32_t column = 0; column < nonNegative(layout.columns); ++column) {
            pdf.fillRect({geometry.patchX(column), geometry.rowY(row)}, geometry.patchWidth,
                         geometry.patchHeight, takePatch(patches, next));
        }
    }
    pdf.fillRectPlain({geometry.barX(), geometry.largeBarY(rows)}, geometry.barWidth(),
                      geometry.largeBarHeight(), black);
}

template <class W>
void ICColor<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = ICColorBars::kSmallHeightMm + ICColorBars::kGapMm;
    out[1] = 0.0;
    out[2] = ICColorBars::kLargeHeightMm + ICColorBars::kGapMm;
    out[3] = 0.0;
}

template <class W>
void ICColor<W>::getPageSizeLimits(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, 0.0);
    std::copy(kPageLimitsMm, kPageLimitsMm + 4, out);
}

template <class W>
void ICColor<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void ICColor<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, 0.0);
}

template <class W>
void ICColor<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                const ChartParams& /*params*/) {
    first = kMargins;
    second = kSecondMargins;
    third = kMargins;
}

template <class W>
void ICColor<W>::initChartParams(ChartParams& params) {
    MeasureInstrument<W>::initChartParams(params);
    if (params.pages.size() >= 2) {
        // The last page is laid out as a full grid, like the others.
        params.pages.back().columns = params.pages.front().columns;
        params.pages.back().strips = params.pages.front().strips;
    }
    if (params.layoutReady != 0) {
        requireRoomForBars(params);
    }
}

// A grid no wider than the two bar insets would get bars of no or negative
// width, and the reader could not find it.
template <class W>
void ICColor<W>::requireRoomForBars(const ChartParams& params) {
    if (ICColorGeometry::fromParams(params).barWidth() == 0) {
        debugLog(kInitLog, 0, 0, "the grid is no wider than the insets of its position bars");
        throw ERR_PAGE_SIZE;
    }
}

template <class W>
void ICColor<W>::writeSideFiles(const ChartParams& params, std::size_t /*patchCount*/) {
    requireRoomForBars(params);
    writeSideFile(withoutExtension(params.outputName) + ".csv", icColorChartFile(params), params,
                  kWritePageLog);
}

template class ICColor<WriteCMYK>;
template class ICColor<WriteCMYKO>;
template class ICColor<WriteCMYKOG>;
template class ICColor<WriteCMYKRGB>;
template class ICColor<WriteLAB>;
template class ICColor<WriteRGB>;
template class ICColor<WriteSpotColor>;

}  // namespace GenChartLib
