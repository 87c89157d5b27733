#include "instruments/SpyderPrint.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/EyeOneStrips.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "SpyderPrint/writePage: %s";

// Every quality mode reads 12 x 20 mm patches, 1 mm between strips and
// 2 mm between patches; the base's unused pair differs.
constexpr double kPatchSizesMm[8] = {12.0, 20.0, 50.0, 50.0, 12.0, 20.0, 12.0, 20.0};
constexpr double kPatchGapsMm[8] = {1.0, 2.0, 2.0, 3.0, 1.0, 2.0, 1.0, 2.0};

constexpr MarginSet kFirstMargins{8.0, 26.0, 20.0, 15.0};
constexpr MarginSet kSecondMargins{50.0, 26.0, 50.0, 15.0};
constexpr MarginSet kThirdMargins{12.0, 26.0, 20.0, 15.0};

// Pages up to 360 mm long and 297 mm wide; a landscape sheet used whole the
// other way round.
constexpr double kGreatestLengthMm = 360.0;
constexpr double kGreatestBreadthMm = 297.0;

constexpr std::int64_t kCardNumberOffset = 90;
constexpr std::int64_t kCardNumberLeast = 10;
constexpr std::int64_t kCardNumberGreatest = 50;
constexpr std::int64_t kCardNumberFallback = 15;

constexpr std::int64_t kPageNumberOffset = 200;
constexpr std::int64_t kPageNumberLeast = 60;
// On a page the number's box starts 2 mm below the strip's top.
constexpr std::int64_t kPageNumberDrop = 20;

}  // namespace

StripStart SpyderStripPlacement::onCard(const HandheldStripGeometry& geometry) {
    std::int64_t x = geometry.left - geometry.gapWidth - geometry.patchWidth - kCardNumberOffset;
    if (x < kCardNumberLeast || x > kCardNumberGreatest) {
        x = kCardNumberFallback;
    }
    StripStart start;
    start.numberX = x;
    start.numberBoxHeight = geometry.patchHeight / 3;
    start.x = x + kCardNumberOffset;
    return start;
}

StripStart SpyderStripPlacement::onPage(const HandheldStripGeometry& geometry,
                                        std::int64_t columns) {
    const std::int64_t stripWidth = columns * (geometry.patchWidth + geometry.gapWidth);
    const std::int64_t x =
        std::max((geometry.layoutWidth - stripWidth) / 2 - kPageNumberOffset, kPageNumberLeast);
    StripStart start;
    start.numberX = x;
    start.numberBoxHeight = geometry.patchHeight / 4;
    start.x = x + kPageNumberOffset;
    return start;
}

std::int64_t SpyderStripPlacement::numberY(const HandheldStripGeometry& geometry,
                                           std::int64_t strip, bool card) {
    return card ? geometry.labelY(strip) : geometry.stripY(strip) + kPageNumberDrop;
}

template <class W>
void SpyderPrint<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const HandheldStripGeometry geometry = HandheldStripGeometry::fromParams(params);
    const HandheldPage sheet = HandheldPage::of(params, geometry);
    drawHandheldPages<W>(
        params, patches, page, *this, geometry, sheet.width, sheet.height, sheet.code,
        [&](StripPainter<W>& painter, std::int64_t strip, std::int64_t columns,
            std::uint32_t number) {
            const StripStart start = sheet.card ? SpyderStripPlacement::onCard(geometry)
                                                : SpyderStripPlacement::onPage(geometry, columns);
            painter.stripNumber(start, SpyderStripPlacement::numberY(geometry, strip, sheet.card),
                                number);
            painter.lightnessBarStrip(start.x, geometry.stripY(strip), columns);
        });
}

template <class W>
void SpyderPrint<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = out[1] = out[2] = out[3] = 0.0;
}

template <class W>
typename SpyderPrint<W>::Patch SpyderPrint<W>::fillerColor(int /*patchesPerStrip*/,
                                                           int /*patchIndex*/) {
    return W::blackColor();
}

template <class W>
typename SpyderPrint<W>::Patch SpyderPrint<W>::fillerColorAlt(int /*patchesPerStrip*/,
                                                              int /*patchIndex*/) {
    return W::yellowColor();
}

template <class W>
void SpyderPrint<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    if (params.qualityMode == kCardQualityMode) {
        out[0] = out[2] = kCardHeightMm;
        out[1] = out[3] = kCardWidthMm;
    } else {
        leastPageExtents(*this, params, out[0], out[1]);
        const bool landscape = params.useWholePage && params.pageHeight <= params.pageWidth;
        out[2] = landscape ? kGreatestBreadthMm : kGreatestLengthMm;
        out[3] = landscape ? kGreatestLengthMm : kGreatestBreadthMm;
    }
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void SpyderPrint<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void SpyderPrint<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
}

template <class W>
void SpyderPrint<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                    const ChartParams& /*params*/) {
    first = kFirstMargins;
    second = kSecondMargins;
    third = kThirdMargins;
}

template <class W>
void SpyderPrint<W>::initChartParams(ChartParams& params) {
    params.optimizeLayout = false;
    MeasureInstrument<W>::initChartParams(params);
}

template class SpyderPrint<WriteCMYK>;
template class SpyderPrint<WriteCMYKO>;
template class SpyderPrint<WriteCMYKOG>;
template class SpyderPrint<WriteCMYKRGB>;
template class SpyderPrint<WriteLAB>;
template class SpyderPrint<WriteRGB>;
template class SpyderPrint<WriteSpotColor>;

}  // namespace GenChartLib
