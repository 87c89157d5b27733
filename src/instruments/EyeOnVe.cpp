#include "instruments/EyeOnVe.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/EyeOneStrips.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "EyeOnVe/writePage: %s";

constexpr double kPatchSizesMm[8] = {10.0, 15.0, 50.0, 50.0, 15.0, 15.0, 10.0, 15.0};
constexpr double kPatchGapsMm[8] = {1.0, 2.0, 2.0, 3.0, 1.0, 2.0, 2.0, 3.0};

constexpr MarginSet kFirstMargins{5.0, 15.0, 13.0, 20.0};
constexpr MarginSet kSecondMargins{50.0, 15.0, 50.0, 45.0};
constexpr MarginSet kThirdMargins{5.0, 15.0, 13.0, 35.0};

// The greatest page, its long side along the least page's long side.
constexpr double kGreatestLongMm = 330.0;
constexpr double kGreatestShortMm = 260.0;

// When the layout is centred on the whole page, the right margin stays
// narrow enough for the instrument's ruler.
constexpr double kGreatestCentredRightMarginMm = 15.0;

// Strips start 25 mm right of their number.
constexpr std::int64_t kStripOffset = 250;

// Spreads the room the layout leaves on the whole page evenly around it.
void centreOnWholePage(ChartParams& params) {
    const double extraWidth = (params.pageWidth - params.firstPageWidth) * 0.5;
    params.marginLeft += extraWidth;
    params.marginRight = std::min(params.marginRight + extraWidth, kGreatestCentredRightMarginMm);
    const double extraHeight = (params.pageHeight - params.firstPageHeight) * 0.5;
    params.marginTop += extraHeight;
    params.marginBottom += extraHeight;
    if (!params.pages.empty()) {
        params.pages.front().width = params.pageWidth;
        params.pages.front().height = params.pageHeight;
    }
    params.firstPageWidth = params.pageWidth;
    params.firstPageHeight = params.pageHeight;
}

}  // namespace

template <class W>
void EyeOneV<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    if (params.useWholePage) {
        centreOnWholePage(params);
    }
    const HandheldStripGeometry geometry = HandheldStripGeometry::fromParams(params);
    double leader[4];
    getStripLeader(leader, params);
    const StripStart start =
        lowResolutionStripStart(geometry, layoutTenths(leader[1]), kStripOffset);

    drawHandheldPages<W>(params, patches, page, *this, geometry, geometry.layoutWidth,
                         geometry.layoutHeight, kLowResPageCode,
                         [&](StripPainter<W>& painter, std::int64_t strip, std::int64_t columns,
                             std::uint32_t number) {
                             painter.stripNumber(start, geometry.labelY(strip), number);
                             painter.contrastStrip(start.x, geometry.stripY(strip), columns, true);
                         });
}

template <class W>
void EyeOneV<W>::getStripLeader(double out[4], const ChartParams& params) {
    double sizes[8];
    double gaps[8];
    getPatchSizes(sizes);
    getPatchGaps(gaps, params);
    const double extra = std::max(params.patchWidth, sizes[5]) + std::max(params.gapWidth, gaps[5]);
    out[0] = 0.0;
    out[1] = extra;
    out[2] = 0.0;
    out[3] = extra;
}

template <class W>
typename EyeOneV<W>::Patch EyeOneV<W>::fillerColor(int /*patchesPerStrip*/, int /*patchIndex*/) {
    return W::blackColor();
}

template <class W>
typename EyeOneV<W>::Patch EyeOneV<W>::fillerColorAlt(int /*patchesPerStrip*/, int /*patchIndex*/) {
    return W::yellowColor();
}

template <class W>
void EyeOneV<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    leastPageExtents(*this, params, out[0], out[1]);
    const bool upright = out[0] > out[1];
    out[2] = upright ? kGreatestLongMm : kGreatestShortMm;
    out[3] = upright ? kGreatestShortMm : kGreatestLongMm;
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void EyeOneV<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void EyeOneV<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
}

template <class W>
void EyeOneV<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                const ChartParams& /*params*/) {
    first = kFirstMargins;
    second = kSecondMargins;
    third = kThirdMargins;
}

template class EyeOneV<WriteCMYK>;
template class EyeOneV<WriteCMYKO>;
template class EyeOneV<WriteCMYKOG>;
template class EyeOneV<WriteCMYKRGB>;
template class EyeOneV<WriteLAB>;
template class EyeOneV<WriteRGB>;
template class EyeOneV<WriteSpotColor>;

}  // namespace GenChartLib
