#include "instruments/SpectroPad.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/BarbieriGrid.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "SpectroPad/writePage: %s";
constexpr const char* kInitLog = "SpectroPad/initChartParams: %s";
constexpr const char* kControlFileLog = "SpectroPad/writeBarbieriControlFile: %s";

// Every margin 15 mm; the strip numbers stand in the left one.
constexpr MarginSet kMargins{15.0, 15.0, 15.0, 15.0};

// Sheets up to A3, upright for an upright page, else lying.
constexpr double kA3LongMm = 420.0;
constexpr double kA3ShortMm = 297.0;

}  // namespace

template <class W>
void SpectroPad<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    drawScanGridPages<W>(params, patches, page);
}

template <class W>
void SpectroPad<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = out[1] = out[2] = out[3] = 0.0;
}

template <class W>
void SpectroPad<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    leastPageExtents(*this, params, out[0], out[1]);
    const bool upright = params.pageHeight > params.pageWidth;
    out[2] = upright ? kA3LongMm : kA3ShortMm;
    out[3] = upright ? kA3ShortMm : kA3LongMm;
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void SpectroPad<W>::getPatchSizes(double out[8]) {
    std::copy(kBarbieriPatchSizesMm, kBarbieriPatchSizesMm + 8, out);
}

template <class W>
void SpectroPad<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::copy(kBarbieriPatchGapsMm, kBarbieriPatchGapsMm + 8, out);
}

template <class W>
void SpectroPad<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                   const ChartParams& /*params*/) {
    first = second = third = kMargins;
}

template <class W>
void SpectroPad<W>::initChartParams(ChartParams& params) {
    MeasureInstrument<W>::initChartParams(params);
    widenToLeastTarget(*this, params, kInitLog);
}

template <class W>
void SpectroPad<W>::writeSideFiles(const ChartParams& params, std::size_t patchCount) {
    writeBarbieriControlFile(BarbieriTable::SpectroPad, params, patchCount, kControlFileLog);
}

template class SpectroPad<WriteCMYK>;
template class SpectroPad<WriteCMYKO>;
template class SpectroPad<WriteCMYKOG>;
template class SpectroPad<WriteCMYKRGB>;
template class SpectroPad<WriteLAB>;
template class SpectroPad<WriteRGB>;
template class SpectroPad<WriteSpotColor>;

}  // namespace GenChartLib
