#include "instruments/Dtp20.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <type_traits>

#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "DTP20/writePage: %s";
constexpr const char* kInitLog = "DTP20/initChartParams: %s";

// Patch sizes and gaps as (height, width) pairs: quality modes 0/3, the
// base's unused pair, mode 1, modes 2/4.
constexpr double kPatchSizesMm[8] = {12.0, 6.5, 50.0, 13.0, 10.0, 10.0, 13.0, 10.0};
constexpr double kPatchGapsMm[8] = {0.0, 0.0, 20.0, 20.0, 0.1, 0.0, 2.0, 2.0};

constexpr MarginSet kMargins{10.0, 33.0, 15.0, 33.0};
constexpr MarginSet kSecondMargins{50.0, 50.0, 50.0, 50.0};
constexpr double kPageLimitsMm[4] = {24.0, 195.0, 265.0, 305.0};

constexpr double kLeftBarMm = 1.0;
constexpr double kRightBarMm = 3.0;
// Lead-in and lead-out for the narrowest patch, without a gap; wider patches
// and a gap widen both by as much.
constexpr double kLeadInMm = 5.5;
constexpr double kLeadOutMm = 3.5;
constexpr double kNarrowestWidthMm = 6.5;
// The code patches take three slots of at least this width.
constexpr double kCodeSlotMm = 10.0;

// The widths the instrument reads, with the codes the header gives them.
struct AllowedWidth {
    double mm;
    unsigned code;
};
constexpr AllowedWidth kAllowedWidths[5] = {{6.5, 0}, {7.0, 1}, {10.0, 4}, {12.5, 6}, {13.0, 7}};

// Two octal digits number at most 63 strips or columns, four at most 4095
// patches; the header's gap digit counts half millimetres up to 3.5 mm.
constexpr std::uint32_t kLargestTwoDigits = 63;
constexpr std::uint32_t kLargestFourDigits = 4095;

// Header: cyan, two column digits, four patch-count digits, the width code
// and the gap; yellow and magenta further right when the page has room.
constexpr unsigned kHeaderCyan = 4;
constexpr unsigned kHeaderYellow = 1;
constexpr unsigned kHeaderMagenta = 2;
constexpr std::uint32_t kHeaderElementTenths = 60;
constexpr std::uint32_t kHeaderYellowX = 1140;
constexpr std::uint32_t kHeaderMagentaX = 1200;
constexpr std::uint32_t kHeaderEnd = 1260;
constexpr std::uint32_t kGapTenthsPerDigit = 5;

// On RGB pages a digit is the complement of its inks; on Lab pages the
// L*a*b* (D50) of that RGB colour, so every digit stays its own colour.
constexpr Dtp20CodeColour kDigitColours[8] = {
    {{0, 0, 0, 0}, {255, 255, 255}, 100.0, 0, 0},       // white
    {{0, 0, 255, 0}, {255, 255, 0}, 97.6, -16, 93},     // yellow
    {{0, 255, 0, 0}, {255, 0, 255}, 60.2, 94, -61},     // magenta
    {{0, 255, 255, 0}, {255, 0, 0}, 54.3, 81, 70},      // red
    {{255, 0, 0, 0}, {0, 255, 255}, 90.7, -51, -15},    // cyan
    {{160, 0, 255, 0}, {95, 255, 0}, 89.0, -69, 83},    // green
    {{224, 196, 0, 0}, {31, 59, 255}, 36.9, 50, -100},  // blue
    {{0, 0, 0, 255}, {0, 0, 0}, 0.0, 0, 0},             // black
};
constexpr Dtp20CodeColour kBarColour{{127, 127, 127, 0}, {128, 128, 128}, 53.6, 0, 0};

[[noreturn]] void refuse(eColorCtrlErrors code, const std::string& why) {
    debugLog(kInitLog, 0, 0, (std::string(errorText(code)) + ": " + why).c_str());
    throw code;
}

}  // namespace

const Dtp20CodeColour& dtp20DigitColour(unsigned digit) {
    return kDigitColours[digit & 7U];
}

const Dtp20CodeColour& dtp20BarColour() {
    return kBarColour;
}

std::vector<unsigned> octalDigits(std::uint32_t value, unsigned digits) {
    std::vector<unsigned> out(digits, 0U);
    for (unsigned i = digits; i > 0; --i, value /= 8) {
        out[i - 1] = value % 8;
    }
    return out;
}

unsigned dtp20WidthCode(double patchWidthMm) {
    for (const AllowedWidth& w : kAllowedWidths) {
        if (w.mm == patchWidthMm) {
            return w.code;
        }
    }
    return 0;
}

bool dtp20WidthAllowed(double patchWidthMm) {
    return std::any_of(std::begin(kAllowedWidths), std::end(kAllowedWidths),
                       [&](const AllowedWidth& w) { return w.mm == patchWidthMm; });
}

double dtp20WidthBelow(double mm) {
    double below = mm;
    for (const AllowedWidth& w : kAllowedWidths) {
        if (w.mm < mm) {
            below = w.mm;
        }
    }
    return below;
}

double dtp20WidthAbove(double mm) {
    for (const AllowedWidth& w : kAllowedWidths) {
        if (w.mm > mm) {
            return w.mm;
        }
    }
    return mm;
}

namespace {

double leadInMm(const ChartParams& params) {
    return params.patchWidth + kLeadInMm + params.gapWidth - kNarrowestWidthMm;
}

double leadOutMm(const ChartParams& params) {
    return params.patchWidth + kLeadOutMm + params.gapWidth - kNarrowestWidthMm;
}

}  // namespace

Dtp20Geometry Dtp20Geometry::fromParams(const ChartParams& params) {
    using Base = MeasureInstrument<WriteCMYK>;
    Dtp20Geometry g;
    g.top = Base::tenthsOf(params.marginTop);
    g.left = Base::tenthsOf(params.marginLeft);
    g.patchHeight = Base::tenthsOf(params.patchHeight);
    g.patchWidth = Base::tenthsOf(params.patchWidth);
    g.gapHeight = Base::tenthsOf(params.gapHeight);
    g.gapWidth = Base::tenthsOf(params.gapWidth);
    g.leftBarWidth = Base::tenthsOf(kLeftBarMm);
    g.leadIn = Base::tenthsOf(leadInMm(params));
    g.leadOut = Base::tenthsOf(leadOutMm(params));
    return g;
}

template <class W>
typename Dtp20<W>::Patch Dtp20<W>::inkOf(const Dtp20CodeColour& colour) {
    if constexpr (std::is_same_v<W, WriteRGB>) {
        return {{colour.rgb[0], colour.rgb[1], colour.rgb[2]}, {}};
    } else if constexpr (std::is_same_v<W, WriteLAB>) {
        return {
            {labLightnessByte(colour.lightness), labChromaByte(colour.a), labChromaByte(colour.b)},
            {}};
    } else if constexpr (std::is_same_v<W, WriteSpotColor>) {
        // A fixed colour: its inks on channels 1-4, none on 5 and up.
        return {colour.cmyk, {}, 4};
    } else {
        Patch p;
        p.channels.fill(255);  // extra inks stored inverted: none
        std::copy(colour.cmyk.begin(), colour.cmyk.end(), p.channels.begin());
        return p;
    }
}

template <class W>
void Dtp20<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (params.pages.empty()) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    const PageLayout& first = params.pages.front();
    const double widthMm = params.useWholePage ? params.pageWidth : first.width;
    const double heightMm = params.useWholePage ? params.pageHeight : first.height;
    const std::uint32_t pageWidth = MeasureInstrument<W>::tenthsOf(widthMm);
    const Dtp20Geometry geometry = Dtp20Geometry::fromParams(params);
    writePdfPages<W>(params, patches, page, kWritePageLog, pageWidth / 10.0,
                     MeasureInstrument<W>::tenthsOf(heightMm) / 10.0,
                     [&](PdfPage<W>& pdf, const PdfChartPage& at, const PageLayout& layout,
                         const std::vector<Patch>& list, std::size_t& next) {
                         if (at.index == 0) {
                             drawHeader(pdf, geometry, params, pageWidth);
                         }
                         drawPage(pdf, geometry, at, layout, list, next);
                     });
}

template <class W>
void Dtp20<W>::drawHeader(PdfPage<W>& pdf, const Dtp20Geometry& geometry, const ChartParams& params,
                          std::uint32_t pageWidth) const {
    std::vector<unsigned> digits{kHeaderCyan};
    const auto append = [&digits](const std::vector<unsigned>& more) {
        digits.insert(digits.end(), more.begin(), more.end());
    };
    append(octalDigits(nonNegative(params.pages.front().columns), 2));
    append(octalDigits(nonNegative(params.patchCount), 4));
    digits.push_back(dtp20WidthCode(params.patchWidth));
    digits.push_back(geometry.gapWidth / kGapTenthsPerDigit);
    for (unsigned i = 0; i < digits.size(); ++i) {
        pdf.fillRectPlain({geometry.headerX(i), geometry.top}, kHeaderElementTenths,
                          geometry.patchHeight, inkOf(dtp20DigitColour(digits[i])));
    }
    const std::uint32_t x = geometry.headerX(0);
    if (x + kHeaderEnd < pageWidth) {
        pdf.fillRectPlain({x + kHeaderYellowX, geometry.top}, kHeaderElementTenths,
                          geometry.patchHeight, inkOf(dtp20DigitColour(kHeaderYellow)));
        pdf.fillRectPlain({x + kHeaderMagentaX, geometry.top}, kHeaderElementTenths,
                          geometry.patchHeight, inkOf(dtp20DigitColour(kHeaderMagenta)));
    }
}

template <class W>
void Dtp20<W>::drawPage(PdfPage<W>& pdf, const Dtp20Geometry& geometry, const PdfChartPage& at,
                        const PageLayout& layout, const std::vector<Patch>& patches,
                        std::size_t& next) const {
    const std::uint32_t strips = nonNegative(layout.strips);
    const std::uint32_t columns = nonNegative(layout.columns);
    const std::uint32_t width = geometry.patchWidth;
    const std::uint32_t height = geometry.patchHeight;
    const Patch grey = inkOf(dtp20BarColour());
    const std::uint32_t barsHeight = strips * geometry.stripPitch();
    pdf.fillRectPlain({geometry.left, geometry.stripY(0)}, geometry.leftBarWidth, barsHeight, grey);
    pdf.fillRectPlain({geometry.rightBarX(columns), geometry.stripY(0)},
                      MeasureInstrument<W>::tenthsOf(kRightBarMm), barsHeight, grey);
    for (std::uint32_t strip = 0; strip < strips; ++strip) {
        const std::uint32_t y = geometry.stripY(strip);
        const auto number = static_cast<std::uint32_t>(at.firstStripNumber + strip);
        const std::vector<unsigned> code = octalDigits(number, 2);
        pdf.fillRectPlain({geometry.codeSlotX(0), y}, width, height,
                          inkOf(dtp20DigitColour(code[1])));
        pdf.fillRectPlain({geometry.codeSlotX(1), y}, width, height,
                          inkOf(dtp20DigitColour(code[0])));
        for (std::uint32_t column = 0; column < columns; ++column) {
            pdf.fillRect({geometry.patchX(column), y}, width, height, takePatch(patches, next));
        }
        pdf.drawNumber({geometry.numberX(), y + geometry.stripPitch() / 2}, height / 2, number,
                       W::blackColor());
    }
}

template <class W>
void Dtp20<W>::getStripLeader(double out[4], const ChartParams& params) {
    out[0] = kPatchSizesMm[4] + kPatchGapsMm[4];  // room for the header row
    out[1] = kLeftBarMm + leadInMm(params) + 3.0 * std::max(params.patchWidth, kCodeSlotMm);
    out[2] = 0.0;
    out[3] = kRightBarMm + leadOutMm(params);
}

template <class W>
void Dtp20<W>::getPageSizeLimits(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, 0.0);
    std::copy(kPageLimitsMm, kPageLimitsMm + 4, out);
}

template <class W>
void Dtp20<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void Dtp20<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
}

template <class W>
void Dtp20<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                              const ChartParams& /*params*/) {
    first = kMargins;
    second = kSecondMargins;
    third = kMargins;
}

template <class W>
void Dtp20<W>::initChartParams(ChartParams& params) {
    // The codes need the four process inks; a page of fewer channels could
    // not print them and the instrument could not read the chart.
    if (std::is_same_v<W, WriteSpotColor> && channelCountOfMode(params.colorMode) < 4) {
        refuse(ERR_ILLEGAL_CHANNELS, "the strip codes need four process inks, the mode has " +
                                         std::to_string(channelCountOfMode(params.colorMode)));
    }
    MeasureInstrument<W>::initChartParams(params);
    if (params.layoutReady == 0) {
        return;
    }
    if (!dtp20WidthAllowed(params.patchWidth)) {
        params.patchWidth = dtp20WidthBelow(params.patchWidth);
        fitPageWidth(params);
    }
    std::int64_t strips = 0;
    for (const PageLayout& page : params.pages) {
        strips += page.strips;
    }
    if (strips > kLargestTwoDigits ||
        params.pages.front().columns > std::int32_t{kLargestTwoDigits}) {
        refuse(ERR_PAGE_SIZE,
               "the strip codes number at most 63 strips and 63 columns, the chart "
               "needs " +
                   std::to_string(strips) + " strips of " +
                   std::to_string(params.pages.front().columns));
    }
    if (params.patchCount > std::int32_t{kLargestFourDigits}) {
        refuse(ERR_PAGE_SIZE, "the header counts at most 4095 patches, the chart has " +
                                  std::to_string(params.patchCount));
    }
}

template <class W>
void Dtp20<W>::applyChartParams(const ChartParams& previous, ChartParams& current) {
    // A width the instrument does not read moves on in the direction of the
    // change, to the next width it reads.
    if (!current.pages.empty() && !dtp20WidthAllowed(current.patchWidth)) {
        current.patchWidth = current.patchWidth < previous.patchWidth
                                 ? dtp20WidthBelow(current.patchWidth)
                                 : dtp20WidthAbove(current.patchWidth);
        fitPageWidth(current);
    }
    MeasureInstrument<W>::applyChartParams(previous, current);
    if (!current.pages.empty() && !dtp20WidthAllowed(current.patchWidth)) {
        current.patchWidth = dtp20WidthBelow(current.patchWidth);
        fitPageWidth(current);
    }
}

template <class W>
void Dtp20<W>::fitPageWidth(ChartParams& params) {
    double leader[4] = {};
    double limits[8] = {};
    getStripLeader(leader, params);
    getPageSizeLimits(limits, params);
    PageLayout& first = params.pages.front();
    const double widthMm = leader[1] + params.marginLeft +
                           (params.patchWidth + params.gapWidth) * first.columns + params.gapWidth +
                           leader[3] + params.marginRight;
    first.width = std::ceil(std::clamp(widthMm, limits[1], limits[3]) * 10.0) / 10.0;
    for (PageLayout& page : params.pages) {
        page.width = first.width;
    }
}

template class Dtp20<WriteCMYK>;
template class Dtp20<WriteCMYKO>;
template class Dtp20<WriteCMYKOG>;
template class Dtp20<WriteCMYKRGB>;
template class Dtp20<WriteLAB>;
template class Dtp20<WriteRGB>;
template class Dtp20<WriteSpotColor>;

}  // namespace GenChartLib
