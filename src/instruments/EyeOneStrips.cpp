#include "instruments/EyeOneStrips.h"

namespace GenChartLib {

namespace {

// Card strips: the number sits this far left of the strip start, and stays
// within the card's narrow margin.
constexpr std::int64_t kCardNumberOffset = 90;
constexpr std::int64_t kCardNumberLeast = 10;
constexpr std::int64_t kCardNumberGreatest = 50;
constexpr std::int64_t kCardNumberFallback = 15;

// Page strips: the number stands 20 mm left of the strip start, 15 mm when
// the strips leave less than 20 mm on either side.
constexpr std::int64_t kWideNumberOffset = 200;
constexpr std::int64_t kNarrowNumberOffset = 150;
constexpr std::int64_t kPageNumberLeast = 10;
constexpr std::int64_t kPageNumberGreatest = 500;
constexpr std::int64_t kPageNumberFallback = 10;

// Low-resolution strips: the number 20 mm before the end of the leader less
// one patch and one gap.
constexpr std::int64_t kLowResNumberOffset = 200;

}  // namespace

HandheldStripGeometry HandheldStripGeometry::fromParams(const ChartParams& params) {
    HandheldStripGeometry g;
    g.top = layoutTenths(params.marginTop);
    g.left = layoutTenths(params.marginLeft);
    g.patchHeight = layoutTenths(params.patchHeight);
    g.patchWidth = layoutTenths(params.patchWidth);
    g.gapHeight = layoutTenths(params.gapHeight);
    g.gapWidth = layoutTenths(params.gapWidth);
    if (!params.pages.empty()) {
        g.layoutWidth = layoutTenths(params.pages.front().width);
        g.layoutHeight = layoutTenths(params.pages.front().height);
    }
    return g;
}

HandheldPage HandheldPage::of(const ChartParams& params, const HandheldStripGeometry& geometry) {
    HandheldPage page;
    page.card = params.qualityMode == kCardQualityMode;
    if (params.useWholePage) {
        page.width = layoutTenths(params.pageWidth);
        page.height = layoutTenths(params.pageHeight);
        page.code = kWholePageCode;
    } else {
        page.width = geometry.layoutWidth;
        page.height = geometry.layoutHeight;
        page.code = page.card ? kCardPageCode : kStripPageCode;
    }
    return page;
}

StripStart fullResolutionStripStart(const HandheldStripGeometry& geometry, std::int64_t pageWidth,
                                    std::int64_t columns, bool card, std::int64_t leadTenths) {
    StripStart start;
    if (card) {
        std::int64_t x = geometry.left + leadTenths - geometry.gapWidth - geometry.patchWidth -
                         kCardNumberOffset;
        if (x < kCardNumberLeast || x > kCardNumberGreatest) {
            x = kCardNumberFallback;
        }
        start.numberX = x;
        start.numberBoxHeight = geometry.patchHeight / 3;
        start.x = x + kCardNumberOffset;
        return start;
    }
    const std::int64_t sideRoom =
        (geometry.layoutWidth - (geometry.gapWidth + geometry.patchWidth) * columns) / 2;
    const std::int64_t offset =
        sideRoom > kWideNumberOffset ? kWideNumberOffset : kNarrowNumberOffset;
    std::int64_t x = geometry.left - (pageWidth - geometry.layoutWidth) / 2 - offset;
    if (x < kPageNumberLeast || x > kPageNumberGreatest) {
        x = kPageNumberFallback;
    }
    start.numberX = x;
    start.numberBoxHeight = geometry.patchHeight / 2;
    start.x = x + offset;
    return start;
}

StripStart lowResolutionStripStart(const HandheldStripGeometry& geometry, std::int64_t leadTenths,
                                   std::int64_t startOffset) {
    const std::int64_t x =
        geometry.left + leadTenths - geometry.gapWidth - geometry.patchWidth - kLowResNumberOffset;
    StripStart start;
    start.numberX = x < 0 ? kFallbackNumberX : x;
    start.numberBoxHeight = geometry.patchHeight / 2;
    start.x = x + startOffset;
    return start;
}

}  // namespace GenChartLib
