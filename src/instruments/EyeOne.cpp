#include "instruments/EyeOne.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/EyeOneStrips.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "EyeOne/writePage: %s";

// (height, width) pairs: quality modes 0/3, the base's unused pair, mode 1,
// modes 2/4.
constexpr double kPatchSizesMm[8] = {8.0, 8.0, 50.0, 50.0, 10.0, 10.0, 10.0, 15.0};
constexpr double kPatchGapsMm[8] = {0.4, 0.6, 2.0, 3.0, 0.4, 1.6, 2.0, 3.0};

constexpr MarginSet kFirstMargins{24.0, 25.0, 25.0, 15.0};
constexpr MarginSet kSecondMargins{50.0, 15.0, 50.0, 35.0};
constexpr MarginSet kThirdMargins{24.0, 25.0, 25.0, 15.0};

}  // namespace

template <class W>
void EyeOne<W>::writePage(ChartParams& /*params*/, std::vector<Patch>& patches, int /*page*/) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
    }
}

template <class W>
double EyeOne<W>::stripLeadMm(const ChartParams& params) {
    double sizes[8];
    this->getPatchSizes(sizes);
    return std::max(params.patchWidth, sizes[5]);
}

template <class W>
void EyeOne<W>::getStripLeader(double out[4], const ChartParams& params) {
    const double lead = stripLeadMm(params);
    out[0] = 0.0;
    out[1] = lead;
    out[2] = 0.0;
    out[3] = lead;
}

template <class W>
typename EyeOne<W>::Patch EyeOne<W>::fillerColor(int /*patchesPerStrip*/, int /*patchIndex*/) {
    return W::blackColor();
}

template <class W>
typename EyeOne<W>::Patch EyeOne<W>::fillerColorAlt(int /*patchesPerStrip*/, int /*patchIndex*/) {
    return W::yellowColor();
}

template <class W>
void EyeOne<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    handheldPageSizeLimits(*this, params, out);
}

template <class W>
void EyeOne<W>::getPatchSizes(double out[8]) {
    std::copy(kPatchSizesMm, kPatchSizesMm + 8, out);
}

template <class W>
void EyeOne<W>::getPatchGaps(double out[8], const ChartParams& params) {
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
void EyeOne<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                               const ChartParams& params) {
    first = params.qualityMode == kCardQualityMode ? kCardMargins : kFirstMargins;
    second = kSecondMargins;
    third = kThirdMargins;
}

template <class W>
void EyeOne<W>::initChartParams(ChartParams& params) {
    params.optimizeLayout = false;
    MeasureInstrument<W>::initChartParams(params);
}

template class EyeOne<WriteCMYK>;
template class EyeOne<WriteCMYKO>;
template class EyeOne<WriteCMYKOG>;
template class EyeOne<WriteCMYKRGB>;
template class EyeOne<WriteLAB>;
template class EyeOne<WriteRGB>;
template class EyeOne<WriteSpotColor>;

}  // namespace GenChartLib
