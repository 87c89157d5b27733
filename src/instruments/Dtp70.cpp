#include "instruments/Dtp70.h"

#include <algorithm>
#include <cmath>

#include "engine/SideFile.h"
#include "instruments/PdfChartPages.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "DTP70/writePage: %s";

// Patch sizes and gaps as (height, width) pairs: quality modes 0/3, the
// base's unused pair, mode 1, modes 2/4.
constexpr double kPatchSizesMm[8] = {6.0, 6.0, 50.0, 50.0, 8.0, 8.0, 15.0, 15.0};
constexpr double kPatchGapsMm[8] = {0.0, 0.0, 50.0, 50.0, 0.0, 0.0, 2.0, 2.0};

constexpr MarginSet kFirstMargins{32.0, 7.5, 30.0, 7.5};
constexpr MarginSet kSecondMargins{70.0, 50.0, 70.0, 50.0};
constexpr MarginSet kThirdMargins{32.0, 8.5, 30.0, 8.5};

constexpr double kGreatestHeightMm = 380.0;
constexpr double kGreatestWidthMm = 227.0;

// The sheet widths the instrument takes, narrowest first; a wider grid gets
// the greatest page width.
constexpr double kSheetClassesMm[3] = {90.0, 211.0, 217.0};

// Each end of a row keeps room for one bar at least as wide as a mode-1
// patch, and its gap.
constexpr double kBarRoomMm = 8.0;

double tenthsFloor(double mm) {
    return std::trunc(mm * 10.0) / 10.0;
}

}  // namespace

Dtp70Geometry Dtp70Geometry::fromParams(const ChartParams& params) {
    using Base = MeasureInstrument<WriteCMYK>;
    Dtp70Geometry g;
    g.top = Base::tenthsOf(params.marginTop);
    g.left = Base::tenthsOf(params.marginLeft);
    g.patchHeight = Base::tenthsOf(params.patchHeight);
    g.patchWidth = Base::tenthsOf(params.patchWidth);
    g.gapHeight = Base::tenthsOf(params.gapHeight);
    g.gapWidth = Base::tenthsOf(params.gapWidth);
    return g;
}

Dtp70Sheet Dtp70Sheet::fit(double neededMm, std::int32_t columns, double patchWidthMm,
                           double gapWidthMm, double greatestWidthMm) {
    Dtp70Sheet sheet{greatestWidthMm, 0.0};
    for (const double width : kSheetClassesMm) {
        if (neededMm < width) {
            sheet.widthMm = width;
            break;
        }
    }
    // The bars and the patches between them, centred on what is drawn.
    const double drawnMm = (columns + 2) * (patchWidthMm + gapWidthMm) - gapWidthMm;
    sheet.sideMarginMm = tenthsFloor((sheet.widthMm - drawnMm) * 0.5);
    return sheet;
}

std::string dtp70TargetDescription(const ChartParams& params, const std::string& descriptor) {
    const PageLayout& first = params.pages.at(0);
    const auto mm = [](double value) { return fixedDecimal(value, 3); };
    const auto quoted = [](const std::string& text) { return "\"" + text + "\""; };
    const std::string alignment = mm(params.marginTop) + " ";
    const std::string markSize = mm(params.patchHeight) + " " + mm(params.patchWidth) + " ";
    const double rightMarkMm = first.width - params.marginRight - params.patchWidth;
    SideFileText t;
    t.line("IT8.7/3")
        .line("DESCRIPTOR\t", quoted(descriptor))
        .line("SAMPLE_BACKING\t", quoted("white"))
        .line("FORMAT_UNITS\t001.000")
        .line("FORMAT_VERSION\t1.00")
        .line("BEGIN_TARGET_FORMAT")
        .line("\tNUMBER_OF_FIELDS 2")
        .line("\tBEGIN_DATA_FORMAT")
        .line("\t\tSHEET_LENGTH\tSHEET_WIDTH")
        .line("\tEND_DATA_FORMAT")
        .line("\tNUMBER_OF_SETS\t1")
        .line("\tBEGIN_DATA")
        .line("\t\t", mm(first.height) + " " + mm(first.width))
        .line("\tEND_DATA")
        .line("\tBEGIN_SHEET_FORMAT")
        .line("\t\tNUMBER_OF_FIELDS 4")
        .line("\t\tBEGIN_DATA_FORMAT")
        .line("\t\t\tTOP_MARGIN LEFT_MARGIN BOTTOM_MARGIN RIGHT_MARGIN")
        .line("\t\tEND_DATA_FORMAT")
        .line("\t\tNUMBER_OF_SETS\t1")
        .line("\t\tBEGIN_DATA")
        .line("\t\t\t", mm(params.marginTop) + " " + mm(params.marginLeft) + " " +
                            mm(params.marginBottom) + " " + mm(params.marginRight))
        .line("\t\tEND_DATA")
        .line("\t\tBEGIN_GRID_FORMAT")
        .line("\t\t\tNUMBER_OF_FIELDS 9")
        .line("\t\t\tBEGIN_DATA_FORMAT")
        .line(
            "\t\t\t\tTOP_GRID LEFT_GRID NUM_ROWS NUM_COLS PATCH_HEIGHT PATCH_WIDTH STRIP_GAP "
            "PATCH_GAP XR_NAME")
        .line("\t\t\tEND_DATA_FORMAT")
        .line("\t\t\tNUMBER_OF_SETS\t1")
        .line("\t\t\tBEGIN_DATA")
        .line("\t\t\t\t", mm(params.marginTop) + " " + mm(params.marginLeft + params.patchWidth) +
                              " " + decimal(first.strips) + " " + decimal(first.columns) + " " +
                              mm(params.patchHeight) + " " + mm(params.patchWidth) + " " +
                              mm(params.gapWidth) + " " + mm(params.gapHeight) + " " + quoted("P1"))
        .line("\t\t\tEND_DATA")
        .line("\t\tEND_GRID_FORMAT")
        .line("\t\tBEGIN_ALIGNMENT_FORMAT")
        .line("\t\t\tNUMBER_OF_FIELDS 6")
        .line("\t\t\tBEGIN_DATA_FORMAT")
        .line(
            "\t\t\t\tALIGNMENT_TYPE TOP_ALIGNMENT LEFT_ALIGNMENT ALIGNMENT_HEIGHT "
            "ALIGNMENT_WIDTH XR_NAME")
        .line("\t\t\tEND_DATA_FORMAT")
        .line("\t\t\tNUMBER_OF_SETS 2")
        .line("\t\t\tBEGIN_DATA")
        .line("\t\t\t\t", quoted("PATCH_BAR") + " " + alignment + mm(params.marginLeft) + " " +
                              markSize + quoted("LeftMark11mm"))
        .line("\t\t\t\t", quoted("PATCH_BAR") + " " + alignment + mm(rightMarkMm) + " " + markSize +
                              quoted("RightMark11mm") + " ")
        .line("\t\t\tEND_DATA")
        .line("\t\tEND_ALIGNMENT_FORMAT")
        .line("\t\tBEGIN_BARCODE_FORMAT")
        .line("\t\t\tNUMBER_OF_FIELDS 6")
        .line("\t\t\tBEGIN_DATA_FORMAT")
        .line("\t\t\t\tBARCODE_TYPE TOP_BARCODE LEFT_BARCODE BARCODE_HEIGHT BARCODE_WIDTH XR_NAME")
        .line("\t\t\tEND_DATA_FORMAT")
        .line("\t\t\tNUMBER_OF_SETS 0")
        .line("\t\t\tBEGIN_DATA")
        .line("\t\t\tEND_DATA")
        .line("\t\tEND_BARCODE_FORMAT")
        .line("\tEND_SHEET_FORMAT")
        .line("END_TARGET_FORMAT")
        .line("BEGIN_REPORTING_FORMAT")
        .line("\tREPORT_STYLE\"\"")
        .line("\tNUMBER_OF_FIELDS 0")
        .line("\tBEGIN_DATA_FORMAT")
        .line("")
        .line("\tEND_DATA_FORMAT")
        .line("END_REPORTING_FORMAT")
        .line("BEGIN_MEASUREMENT_SCRIPT")
        .line("\tAlignOnMarks ", quoted("LeftMark11mm") + " " + quoted("RightMark11mm"))
        .line("\tScanGridAlign ", quoted("P1"))
        .line("END_MEASUREMENT_SCRIPT")
        .line("");
    return t.bytes();
}

template <class W>
void Dtp70<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (params.pages.empty()) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    const PageLayout& first = params.pages.front();
    const double widthMm = params.useWholePage ? params.pageWidth : first.width;
    const double heightMm = params.useWholePage ? params.pageHeight : first.height;
    const std::uint32_t pageWidth = MeasureInstrument<W>::tenthsOf(widthMm);
    const Dtp70Geometry geometry = Dtp70Geometry::fromParams(params);
    writePdfPages<W>(params, patches, page, kWritePageLog, pageWidth / 10.0,
                     MeasureInstrument<W>::tenthsOf(heightMm) / 10.0,
                     [&](PdfPage<W>& pdf, const PdfChartPage&, const PageLayout& layout,
                         const std::vector<Patch>& list, std::size_t& next) {
                         drawPage(pdf, geometry, pageWidth, layout, list, next);
                     });
}

template <class W>
void Dtp70<W>::drawPage(PdfPage<W>& pdf, const Dtp70Geometry& geometry, std::uint32_t pageWidth,
                        const PageLayout& layout, const std::vector<Patch>& patches,
                        std::size_t& next) const {
    const Patch black = W::blackColor();
    for (const std::uint32_t x : {Dtp70Arrow::kInsetX, pageWidth - Dtp70Arrow::kInsetX}) {
        pdf.drawMarkerArrow(x, Dtp70Arrow::kTailY, x, Dtp70Arrow::kTipY, Dtp70Arrow::kShaftWidth,
                            Dtp70Arrow::kHeadLength, Dtp70Arrow::kHeadWidth, black);
    }
    const std::uint32_t columns = nonNegative(layout.columns);
    const std::uint32_t width = geometry.patchWidth;
    const std::uint32_t height = geometry.patchHeight;
    for (std::uint32_t row = 0; row < nonNegative(layout.strips); ++row) {
        const std::uint32_t y = geometry.rowY(row);
        if (Dtp70Geometry::rowHasBars(row)) {
            pdf.fillRectPlain({geometry.left, y}, width, height, black);
        }
        for (std::uint32_t column = 0; column < columns; ++column) {
            pdf.fillRect({geometry.patchX(column), y}, width, height, takePatch(patches, next));
        }
        if (Dtp70Geometry::rowHasBars(row)) {
            pdf.fillRectPlain({geometry.rightBarX(columns), y}, width, height, black);
        }
    }
}

template <class W>
void Dtp70<W>::getStripLeader(double out[4], const ChartParams& params) {
    const double room = std::max(params.patchWidth, kBarRoomMm) + std::max(params.gapWidth, 0.0);
    out[0] = 0.0;
    out[1] = room;
    out[2] = 0.0;
    out[3] = room;
}

template <class W>
void Dtp70<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    double sizes[8];
    double gaps[8];
    double leader[4];
    getPatchSizes(sizes);
    getPatchGaps(gaps, params);
    getStripLeader(leader, params);
    out[0] =
        kFirstMargins.top + sizes[0] + 2.0 * gaps[0] + kFirstMargins.bottom + leader[0] + leader[2];
    out[1] =
        kFirstMargins.left + sizes[1] + 2.0 * gaps[1] + kFirstMargins.right + leader[1] + leader[3];
    out[2] = kGreatestHeightMm;
    out[3] = kGreatestWidthMm;
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void Dtp70<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void Dtp70<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
}

template <class W>
void Dtp70<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                              const ChartParams& /*params*/) {
    first = kFirstMargins;
    second = kSecondMargins;
    third = kThirdMargins;
}

template <class W>
void Dtp70<W>::initChartParams(ChartParams& params) {
    params.optimizeLayout = true;
    MeasureInstrument<W>::initChartParams(params);
    if (params.layoutReady != 0) {
        fitSheet(params);
    }
}

template <class W>
void Dtp70<W>::applyChartParams(const ChartParams& previous, ChartParams& current) {
    MeasureInstrument<W>::applyChartParams(previous, current);
    if (current.layoutReady != 0) {
        fitSheet(current);
    }
}

// Both the first layout and every re-fit use the same width classes, so a
// re-fit of an unchanged chart leaves it as it was.
template <class W>
void Dtp70<W>::fitSheet(ChartParams& params) {
    const PageLayout& first = params.pages.at(0);
    double leader[4] = {};
    double limits[8] = {};
    getStripLeader(leader, params);
    getPageSizeLimits(limits, params);
    const double neededMm = leader[1] + kFirstMargins.left +
                            first.columns * (params.patchWidth + params.gapWidth) +
                            params.gapWidth + leader[3] + kFirstMargins.right;
    const Dtp70Sheet sheet =
        Dtp70Sheet::fit(neededMm, first.columns, params.patchWidth, params.gapWidth, limits[3]);
    params.marginLeft = sheet.sideMarginMm;
    params.marginRight = sheet.sideMarginMm;
    for (PageLayout& page : params.pages) {
        page.width = sheet.widthMm;
    }
}

template <class W>
void Dtp70<W>::writeSideFiles(const ChartParams& params, std::size_t /*patchCount*/) {
    // The description travels with the chart: it names the chart, never the
    // host's folders.
    const std::string stem = withoutExtension(params.outputName);
    writeSideFile(stem + ".dcf", dtp70TargetDescription(params, fileNamePart(stem)), params,
                  kWritePageLog);
}

template class Dtp70<WriteCMYK>;
template class Dtp70<WriteCMYKO>;
template class Dtp70<WriteCMYKOG>;
template class Dtp70<WriteCMYKRGB>;
template class Dtp70<WriteLAB>;
template class Dtp70<WriteRGB>;
template class Dtp70<WriteSpotColor>;

}  // namespace GenChartLib
