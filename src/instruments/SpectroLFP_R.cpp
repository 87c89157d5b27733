#include "instruments/SpectroLFP_R.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/BarbieriGrid.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "SpectroLFP_R/writePage: %s";
constexpr const char* kInitLog = "SpectroLFP_R/initChartParams: %s";
constexpr const char* kControlFileLog = "SpectroLFP_R/writeBarbieriControlFile: %s";

// Every margin 20 mm; the strip numbers stand in the left one.
constexpr MarginSet kMargins{20.0, 20.0, 20.0, 20.0};

// Large-format sheets up to 1600 mm wide and 1000 mm high.
constexpr double kGreatestHeightMm = 1000.0;
constexpr double kGreatestWidthMm = 1600.0;

}  // namespace

template <class W>
void SpectroLFP_R<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    drawScanGridPages<W>(params, patches, page);
}

template <class W>
void SpectroLFP_R<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = out[1] = out[2] = out[3] = 0.0;
}

template <class W>
void SpectroLFP_R<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    leastPageExtents(*this, params, out[0], out[1]);
    out[2] = kGreatestHeightMm;
    out[3] = kGreatestWidthMm;
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void SpectroLFP_R<W>::getPatchSizes(double out[8]) {
    std::copy(kBarbieriPatchSizesMm, kBarbieriPatchSizesMm + 8, out);
}

template <class W>
void SpectroLFP_R<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kBarbieriPatchGapsMm, kBarbieriPatchGapsMm + 8, out);
}

template <class W>
void SpectroLFP_R<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                     const ChartParams& /*params*/) {
    first = second = third = kMargins;
}

template <class W>
void SpectroLFP_R<W>::initChartParams(ChartParams& params) {
    MeasureInstrument<W>::initChartParams(params);
    widenToLeastTarget(*this, params, kInitLog);
}

template <class W>
void SpectroLFP_R<W>::writeSideFiles(const ChartParams& params, std::size_t patchCount) {
    writeBarbieriControlFile(BarbieriTable::SpectroLfp, params, patchCount, kControlFileLog);
}

template class SpectroLFP_R<WriteCMYK>;
template class SpectroLFP_R<WriteCMYKO>;
template class SpectroLFP_R<WriteCMYKOG>;
template class SpectroLFP_R<WriteCMYKRGB>;
template class SpectroLFP_R<WriteLAB>;
template class SpectroLFP_R<WriteRGB>;
template class SpectroLFP_R<WriteSpotColor>;

}  // namespace GenChartLib
