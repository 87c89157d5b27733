#include "instruments/KM_FDx.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/EyeOneStrips.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "KM_FDx/writePage: %s";

// (height, width) pairs: quality modes 0/3, the base's unused pair, mode 1,
// modes 2/4.
constexpr double kPatchSizesMm[8] = {8.0, 10.0, 50.0, 50.0, 9.0, 11.0, 10.0, 15.0};
constexpr double kPatchGapsMm[8] = {0.4, 1.6, 50.0, 10.0, 0.4, 1.6, 2.0, 3.0};

constexpr MarginSet kFirstMargins{8.0, 26.0, 20.0, 20.0};
constexpr MarginSet kSecondMargins{50.0, 26.0, 50.0, 20.0};
constexpr MarginSet kThirdMargins{12.0, 26.0, 20.0, 20.0};

// The instrument's ruler takes pages up to 360 mm long and 297 mm wide; a
// landscape sheet used whole may be 360 mm wide and 260 mm high.
constexpr double kGreatestHeightMm = 360.0;
constexpr double kGreatestWidthMm = 297.0;
constexpr double kLandscapeGreatestHeightMm = 260.0;
constexpr double kLandscapeGreatestWidthMm = 360.0;

// Card strips: the number 9 mm left of the strip, within 1.0 .. 5.0 mm of
// the edge or else at 1.5 mm.
constexpr std::int64_t kCardNumberOffset = 90;
constexpr std::int64_t kCardNumberLeast = 10;
constexpr std::int64_t kCardNumberGreatest = 50;
constexpr std::int64_t kCardNumberFallback = 15;

// Page strips: the number 20 mm left of the strip, at least 6.0 mm from the
// edge.
constexpr std::int64_t kPageNumberOffset = 200;
constexpr std::int64_t kPageNumberLeast = 60;

// The strip leader: one end patch and one gap, at least the quality mode 1
// patch (11 mm) and gap (1.6 mm).
double leaderMm(double patchWidthMm, double gapWidthMm) {
    return std::max(patchWidthMm, kPatchSizesMm[5]) + std::max(gapWidthMm, kPatchGapsMm[5]);
}

}  // namespace

StripStart FdxStripPlacement::onCard(const HandheldStripGeometry& geometry,
                                     std::int64_t leaderTenths) {
    std::int64_t x =
        geometry.left + leaderTenths - geometry.gapWidth - geometry.patchWidth - kCardNumberOffset;
    if (x < kCardNumberLeast || x > kCardNumberGreatest) {
        x = kCardNumberFallback;
    }
    StripStart start;
    start.numberX = x;
    start.numberBoxHeight = geometry.patchHeight / 3;
    start.x = x + kCardNumberOffset;
    return start;
}

StripStart FdxStripPlacement::onPage(const HandheldStripGeometry& geometry, std::int64_t columns) {
    const std::int64_t stripWidth = (columns + 2) * (geometry.patchWidth + geometry.gapWidth);
    const std::int64_t x =
        std::max((geometry.layoutWidth - stripWidth) / 2 - kPageNumberOffset, kPageNumberLeast);
    StripStart start;
    start.numberX = x;
    start.numberBoxHeight = geometry.patchHeight / 2;
    start.x = x + kPageNumberOffset;
    return start;
}

template <class W>
void KM_FDx<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const HandheldStripGeometry geometry = HandheldStripGeometry::fromParams(params);
    const HandheldPage sheet = HandheldPage::of(params, geometry);
    const std::int64_t leader = layoutTenths(leaderMm(params.patchWidth, params.gapWidth));

    // The page is the layout's first entry; only the PDF page code tells the
    // writer whether the whole sheet or the card is meant.
    drawHandheldPages<W>(params, patches, page, *this, geometry, geometry.layoutWidth,
                         geometry.layoutHeight, sheet.code,
                         [&](StripPainter<W>& painter, std::int64_t strip, std::int64_t columns,
                             std::uint32_t number) {
                             const StripStart start =
                                 sheet.card ? FdxStripPlacement::onCard(geometry, leader)
                                            : FdxStripPlacement::onPage(geometry, columns);
                             painter.stripNumber(start, geometry.labelY(strip), number);
                             painter.barThenGapStrip(start.x, geometry.stripY(strip), columns);
                         });
}

template <class W>
void KM_FDx<W>::getStripLeader(double out[4], const ChartParams& params) {
    const double leader = leaderMm(params.patchWidth, params.gapWidth);
    out[0] = 0.0;
    out[1] = leader;
    out[2] = 0.0;
    out[3] = leader;
}

template <class W>
typename KM_FDx<W>::Patch KM_FDx<W>::fillerColor(int /*patchesPerStrip*/, int /*patchIndex*/) {
    return W::blackColor();
}

template <class W>
typename KM_FDx<W>::Patch KM_FDx<W>::fillerColorAlt(int /*patchesPerStrip*/, int /*patchIndex*/) {
    return W::yellowColor();
}

template <class W>
void KM_FDx<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    if (params.qualityMode == kCardQualityMode) {
        out[0] = out[2] = kCardHeightMm;
        out[1] = out[3] = kCardWidthMm;
    } else {
        leastPageExtents(*this, params, out[0], out[1]);
        const bool landscape = params.useWholePage && params.pageHeight <= params.pageWidth;
        out[2] = landscape ? kLandscapeGreatestHeightMm : kGreatestHeightMm;
        out[3] = landscape ? kLandscapeGreatestWidthMm : kGreatestWidthMm;
    }
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void KM_FDx<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void KM_FDx<W>::getPatchGaps(double out[8], const ChartParams& params) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
    if (params.qualityMode == kCardQualityMode) {
        out[0] = kCardStripGapMm;
    }
    // Randomised patches stand next to each other without a gap.
    if (params.randomizedPatches) {
        out[1] = 0.0;
    }
}

template <class W>
void KM_FDx<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                               const ChartParams& params) {
    first = params.qualityMode == kCardQualityMode ? kCardMargins : kFirstMargins;
    second = kSecondMargins;
    third = kThirdMargins;
}

template <class W>
void KM_FDx<W>::initChartParams(ChartParams& params) {
    params.optimizeLayout = false;
    MeasureInstrument<W>::initChartParams(params);
}

template class KM_FDx<WriteCMYK>;
template class KM_FDx<WriteCMYKO>;
template class KM_FDx<WriteCMYKOG>;
template class KM_FDx<WriteCMYKRGB>;
template class KM_FDx<WriteLAB>;
template class KM_FDx<WriteRGB>;
template class KM_FDx<WriteSpotColor>;

}  // namespace GenChartLib
