#include "instruments/ISis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/ErrorCodes.h"
#include "engine/SideFile.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "ISis/writePage: %s";
constexpr const char* kWriteChartLog = "ISis/writeChart: %s";

// (height, width) pairs: quality modes 0/3, the base's unused pair, mode 1,
// modes 2/4; patches always touch.
constexpr double kPatchSizesMm[8] = {6.0, 6.0, 20.0, 20.0, 8.0, 8.0, 10.0, 10.0};

constexpr MarginSet kFirstMargins{32.0, 3.0, 30.0, 3.0};
constexpr MarginSet kSecondMargins{80.0, 50.0, 100.0, 50.0};
constexpr MarginSet kThirdMargins{40.0, 10.0, 30.0, 10.0};
// Id 37 keeps room below the grid for the rows pushed down by its code.
constexpr double kCodedBottomMm = 43.0;

constexpr double kBarHeightMm = 6.0;
constexpr double kRowDistanceMm = 6.0;
// The code band: the rows start 26 mm below the top margin.
constexpr double kCodedRowDistanceMm = 20.0;
constexpr double kMarkerWidthMm = 5.0;
constexpr double kMarkerGapMm = 5.0;

constexpr double kLeastHeightMm = 120.0;
constexpr double kLeastWidthMm = 50.0;
// The code of id 37 spans about 80 mm.
constexpr double kCodedLeastWidthMm = 100.0;
constexpr double kGreatestHeightMm = 550.0;
constexpr double kGreatestWidthMm = 220.0;
constexpr double kXlGreatestWidthMm = 320.0;
constexpr double kWholePageLeftMm = 15.0;

constexpr std::int32_t kISisCardCode = 0;
constexpr std::int32_t kISisSheetCode = 15;
constexpr std::int32_t kISisWholePageCode = 33;
constexpr std::int32_t kISisFramedCode = 79;

// Feed arrows: 3 mm wide, 15 mm long, pointing up; on a PDF page a marker
// arrow of shaft 0.6 mm, head 3 mm long and 1 mm wide.
constexpr std::uint32_t kArrowWidth = 30;
constexpr std::uint32_t kArrowLength = 150;
constexpr std::uint32_t kArrowUpDeg = 90;
constexpr std::uint32_t kPdfArrowTailY = 150;
constexpr std::uint32_t kPdfArrowShaft = 6;
constexpr std::uint32_t kPdfArrowHeadLength = 30;
constexpr std::uint32_t kPdfArrowHeadWidth = 10;

constexpr std::uint32_t kChartIdLabelSize = 40;
constexpr std::int64_t kChartIdLabelY = 100;
constexpr std::int64_t kChartIdLabelBack = 250;

bool isCoded(const ChartParams& params) {
    return params.instrument == MI_ISIS2NET;
}

// Segment glyph cell: strokes 0.6 mm thick inside a 0.4 mm border at the
// sides and 0.3 mm at top and bottom.
constexpr std::int64_t kStroke = 6;
constexpr std::int64_t kX0 = 4;
constexpr std::int64_t kX1 = 36;
constexpr std::int64_t kY0 = 3;
constexpr std::int64_t kYMid = 30;
constexpr std::int64_t kY1 = 57;

enum Segment : unsigned {
    kTop = 1,
    kUpperRight = 2,
    kLowerRight = 4,
    kBottom = 8,
    kLowerLeft = 16,
    kUpperLeft = 32,
    kMiddle = 64,     // the seven bars of a figure end here
    kCentre = 128,    // upright bar through the middle
    kDiagonals = 256  // the two slanted bars of X and *
};

unsigned segmentsOf(char c) {
    switch (c) {
        case '0':
            return kTop | kUpperRight | kLowerRight | kBottom | kLowerLeft | kUpperLeft;
        case '1':
            return kUpperRight | kLowerRight;
        case '2':
            return kTop | kUpperRight | kMiddle | kLowerLeft | kBottom;
        case '3':
            return kTop | kUpperRight | kMiddle | kLowerRight | kBottom;
        case '4':
            return kUpperLeft | kMiddle | kUpperRight | kLowerRight;
        case '5':
            return kTop | kUpperLeft | kMiddle | kLowerRight | kBottom;
        case '6':
            return kTop | kUpperLeft | kMiddle | kLowerLeft | kLowerRight | kBottom;
        case '7':
            return kTop | kUpperRight | kLowerRight;
        case '8':
            return kTop | kUpperRight | kLowerRight | kBottom | kLowerLeft | kUpperLeft | kMiddle;
        case '9':
            return kTop | kUpperRight | kLowerRight | kBottom | kUpperLeft | kMiddle;
        case 'A':
            return kTop | kUpperRight | kLowerRight | kLowerLeft | kUpperLeft | kMiddle;
        case 'B':
            return kLowerRight | kBottom | kLowerLeft | kUpperLeft | kMiddle;  // b
        case 'C':
            return kTop | kBottom | kLowerLeft | kUpperLeft;
        case 'D':
            return kUpperRight | kLowerRight | kBottom | kLowerLeft | kMiddle;  // d
        case 'E':
            return kTop | kBottom | kLowerLeft | kUpperLeft | kMiddle;
        case 'F':
            return kTop | kLowerLeft | kUpperLeft | kMiddle;
        case 'X':
            return kDiagonals;
        case '*':
            return kDiagonals | kMiddle | kCentre;
        default:
            return 0;
    }
}

std::int64_t hexField(double patchMm) {
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(std::trunc(4.0 * patchMm)) - 24);
}

std::string upperHex2(std::int64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%02llX", static_cast<unsigned long long>(value));
    return text;
}

// A millimetre value as a stream prints it by default: at most six
// significant digits, no trailing zeros, whatever the host's locale.
std::string shortDecimal(double value) {
    const double magnitude = std::fabs(value);
    const int whole = magnitude < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    std::string text = fixedDecimal(value, std::max(0, 6 - whole));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

// One decimal by real division, as the reader expects patch sizes.
double oneDecimal(double mm) {
    return std::trunc(10.0 * mm) / 10.0;
}

}  // namespace

ISisGeometry ISisGeometry::fromParams(const ChartParams& params, double rowDistanceMm) {
    ISisGeometry g;
    g.top = layoutTenths(params.marginTop);
    g.left = layoutTenths(params.marginLeft);
    g.patchHeight = layoutTenths(params.patchHeight);
    g.patchWidth = layoutTenths(params.patchWidth);
    g.gapHeight = layoutTenths(params.gapHeight);
    g.gapWidth = layoutTenths(params.gapWidth);
    g.rowDistance = layoutTenths(rowDistanceMm);
    return g;
}

CodeGlyph codeGlyph(char character) {
    const unsigned s = segmentsOf(character);
    const std::int64_t width = kX1 - kX0;
    const std::int64_t half = kStroke / 2;
    const MarkRect bars[8] = {
        {kX0, kY0, width, kStroke},                                  // top
        {kX1 - kStroke, kY0, kStroke, kYMid + half - kY0},           // upper right
        {kX1 - kStroke, kYMid - half, kStroke, kY1 - kYMid + half},  // lower right
        {kX0, kY1 - kStroke, width, kStroke},                        // bottom
        {kX0, kYMid - half, kStroke, kY1 - kYMid + half},            // lower left
        {kX0, kY0, kStroke, kYMid + half - kY0},                     // upper left
        {kX0, kYMid - half, width, kStroke},                         // middle
        {(kX0 + kX1) / 2 - half, kY0, kStroke, kY1 - kY0},           // centre
    };
    CodeGlyph glyph;
    for (unsigned i = 0; i < 8; ++i) {
        if ((s & (1u << i)) != 0) {
            glyph.bars.push_back(bars[i]);
        }
    }
    if ((s & kDiagonals) != 0) {
        glyph.slants.push_back({{kX0, kX0 + kStroke, kX1, kX1 - kStroke}, {kY0, kY0, kY1, kY1}});
        glyph.slants.push_back({{kX1 - kStroke, kX1, kX0 + kStroke, kX0}, {kY0, kY0, kY1, kY1}});
    }
    return glyph;
}

CodeGlyph turnedIntoCell(const CodeGlyph& glyph, std::int64_t cellX, std::int64_t cellY) {
    const std::int64_t right = cellX + ISisGeometry::kCodeCellWidth;
    const std::int64_t bottom = cellY + ISisGeometry::kCodeCellHeight;
    CodeGlyph turned;
    for (const MarkRect& b : glyph.bars) {
        turned.bars.push_back({right - b.x - b.width, bottom - b.y - b.height, b.width, b.height});
    }
    for (const CodeGlyph::Slant& s : glyph.slants) {
        CodeGlyph::Slant t{};
        for (int k = 0; k < 4; ++k) {
            t.x[k] = right - s.x[k];
            t.y[k] = bottom - s.y[k];
        }
        turned.slants.push_back(t);
    }
    return turned;
}

std::string chartIdCodeText(const PageLayout& layout, double patchWidthMm, double patchHeightMm,
                            const std::string& chartId) {
    std::string text = upperHex2(layout.strips) + upperHex2(layout.columns) +
                       upperHex2(hexField(patchWidthMm)) + upperHex2(hexField(patchHeightMm)) +
                       "00EX" + chartId + "0*";
    unsigned sum = 0;
    for (const char c : text) {
        sum += static_cast<unsigned char>(c);
    }
    char checksum[16];
    std::snprintf(checksum, sizeof checksum, "%03u", sum);
    text += checksum;
    if (text.size() % 2 != 0) {
        text += ' ';
    }
    return text;
}

std::string deviceControlBlock(const ChartParams& params) {
    const PageLayout& first = params.pages.at(0);
    const double columns = first.columns;
    const double px = oneDecimal(params.patchWidth);
    const double py = oneDecimal(params.patchHeight);
    const double chartWidth = params.layoutFrame[0] > 0.0 ? params.layoutFrame[0] : first.width;
    const std::string line =
        std::string(
            "iSis_INFO\t\"DensityStandard=ANSIA Illumination=D50 Observer=TwoDegree "
            "ColorSpace=CIELab Type=0") +
        " NumberOfRows=" + decimal(first.strips) + " NumberOfColumns=" + decimal(first.columns) +
        " PatchSizeX=" + shortDecimal(px) + " PatchSizeY=" + shortDecimal(py) +
        " BarSizeX=" + shortDecimal(columns * px) + " BarSizeY=" + shortDecimal(kBarHeightMm) +
        " DistBarToFirstLine=" + shortDecimal(kBarHeightMm * 0.5 + kRowDistanceMm + py * 0.5) +
        " MarkersDistance=" + shortDecimal(kMarkerWidthMm + 2.0 * kMarkerGapMm + columns * px) +
        " MarkerPatchDistance=" + shortDecimal(kMarkerWidthMm * 0.5 + kMarkerGapMm + px * 0.5) +
        " DistancePaperEdgeToBar=" + shortDecimal(kBarHeightMm * 0.5 + params.marginTop) +
        " ChartSizeX=" + shortDecimal(chartWidth) + "\"";
    return SideFileText().line(line).bytes();
}

std::string deviceControlFileName(const std::string& outputName) {
    const auto dot = outputName.rfind('.');
    return (dot == std::string::npos ? outputName : outputName.substr(0, dot)) + ".dcf";
}

namespace {

template <class W>
void drawCode(ChartPage<W>& page, const ISisGeometry& g, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const CodeGlyph glyph = turnedIntoCell(codeGlyph(text[i]), g.codeCellX(i), g.codeCellY(i));
        drawMarks(page, glyph.bars);
        for (const CodeGlyph::Slant& s : glyph.slants) {
            std::vector<Point> corners;
            for (int k = 0; k < 4; ++k) {
                corners.push_back({pagePosition(s.x[k]), pagePosition(s.y[k])});
            }
            page.drawPolygon(corners, W::blackColor());
        }
    }
}

template <class W>
void drawFeedArrows(ChartPage<W>& page, std::int64_t spanTenths) {
    const std::uint32_t xs[2] = {pagePosition(ISisGeometry::kArrowInset),
                                 pagePosition(spanTenths - ISisGeometry::kArrowInset)};
    const std::uint32_t tipY = ISisGeometry::kArrowTipY;
    for (const std::uint32_t x : xs) {
        if (page.isRaster()) {
            page.drawArrow({x, tipY}, kArrowWidth, kArrowLength, kArrowUpDeg, W::blackColor());
        } else {
            page.pdf()->drawMarkerArrow(x, kPdfArrowTailY, x, tipY, kPdfArrowShaft,
                                        kPdfArrowHeadLength, kPdfArrowHeadWidth, W::blackColor());
        }
    }
}

template <class W>
void drawRowDiamonds(ChartPage<W>& page, const ISisGeometry& g, std::int64_t rows,
                     std::int64_t columns) {
    const std::uint32_t width = ISisGeometry::kMarkerWidth;
    const std::uint32_t height = ISisGeometry::kMarkerHeight;
    for (std::int64_t r = 0; r < rows; ++r) {
        for (const std::int64_t x : {g.leftDiamondX(), g.rightDiamondX(columns)}) {
            const Point corner{pagePosition(x), pagePosition(g.diamondY(r))};
            if (page.isRaster()) {
                page.drawDiamond(corner, width, height, W::blackColor());
            } else {
                page.pdf()->drawBox(corner, width, height, W::blackColor());
            }
        }
    }
}

}  // namespace

template <class W>
void ISis<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const bool coded = isCoded(params);
    // The code band's distance stays local: a second layout on this object
    // must give the same chart.
    const ISisGeometry g =
        ISisGeometry::fromParams(params, coded ? kCodedRowDistanceMm : kRowDistanceMm);
    const PageLayout& first = params.pages.at(0);
    const double widthMm = params.useWholePage ? params.pageWidth : first.width;
    const double heightMm = params.useWholePage ? params.pageHeight : first.height;
    std::int32_t code = params.qualityMode == kCardQualityMode ? kISisCardCode : kISisSheetCode;
    if (params.useWholePage) {
        code = kISisWholePageCode;
    }
    if (params.layoutFrame[0] > 0.0) {
        code = kISisFramedCode;
    }
    const std::int64_t arrowSpan =
        layoutTenths(params.layoutFrame[0] > 0.0 ? params.layoutFrame[0] : first.width);
    // One id per chart: writeChart forgets the ids before the first page.
    if (coded && this->chartIds().empty()) {
        this->makeChartId(params);
    }
    drawTablePages<W>(
        params, patches, page, layoutTenths(widthMm), layoutTenths(heightMm), code,
        [&](ChartPage<W>& chartPage, const PageLayout& layout, std::size_t& next) {
            const std::int64_t rows = layout.strips;
            const std::int64_t columns = layout.columns;
            drawFeedArrows(chartPage, arrowSpan);
            drawMarks(chartPage, {g.topBar(columns)});
            if (coded) {
                drawCode(
                    chartPage, g,
                    chartIdCodeText(layout, params.patchWidth, params.patchHeight, params.chartId));
                chartPage.drawLabel(
                    "TCID: " + params.chartId, pagePosition(arrowSpan / 2 - kChartIdLabelBack),
                    pagePosition(kChartIdLabelY), kChartIdLabelSize, W::blackColor());
            }
            for (std::int64_t r = 0; r < rows; ++r) {
                for (std::int64_t c = 0; c < columns; ++c) {
                    chartPage.fillRect({pagePosition(g.patchX(c)), pagePosition(g.patchY(r))},
                                       pagePosition(g.patchWidth), pagePosition(g.patchHeight),
                                       patchAt(patches, next++));
                }
            }
            drawRowDiamonds(chartPage, g, rows, columns);
        });
}

template <class W>
void ISis<W>::getStripLeader(double out[4], const ChartParams& params) {
    const double side = kMarkerWidthMm + kMarkerGapMm;
    out[0] = kBarHeightMm + kRowDistanceMm;
    out[1] = params.useWholePage ? kWholePageLeftMm : side;
    out[2] = 0.0;
    out[3] = side;
}

template <class W>
void ISis<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    out[0] = kLeastHeightMm;
    out[1] = isCoded(params) ? kCodedLeastWidthMm : kLeastWidthMm;
    out[2] = kGreatestHeightMm;
    out[3] = params.isisXlFormat ? kXlGreatestWidthMm : kGreatestWidthMm;
    std::fill(out + 4, out + 8, 0.0);
}

template <class W>
void ISis<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void ISis<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, 0.0);
}

template <class W>
void ISis<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                             const ChartParams& params) {
    first = kFirstMargins;
    second = kSecondMargins;
    third = kThirdMargins;
    if (isCoded(params)) {
        first.bottom = kCodedBottomMm;
        third.bottom = kCodedBottomMm;
    }
}

template <class W>
void ISis<W>::writeSideFiles(const ChartParams& params, std::size_t /*patchCount*/) {
    if (isCoded(params)) {
        return;
    }
    writeSideFile(deviceControlFileName(params.outputName), deviceControlBlock(params), params,
                  kWriteChartLog);
}

template class ISis<WriteCMYK>;
template class ISis<WriteCMYKO>;
template class ISis<WriteCMYKOG>;
template class ISis<WriteCMYKRGB>;
template class ISis<WriteLAB>;
template class ISis<WriteRGB>;
template class ISis<WriteSpotColor>;

}  // namespace GenChartLib
