#include "instruments/EyeOnePro2.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/EyeOneStrips.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "EyeOnePro2/writePage: %s";

constexpr double kPatchGapsMm[8] = {0.4, 1.4, 2.0, 2.0, 0.4, 1.4, 2.0, 2.0};
// With a zebra ruler the low-resolution patches are narrower and closer.
constexpr double kZebraLowResPatchWidthMm = 12.0;
constexpr double kZebraLowResGapHeightMm = 1.0;
constexpr double kZebraLowResGapWidthMm = 1.8;

constexpr MarginSet kFirstMargins{8.0, 25.0, 25.0, 15.0};
constexpr MarginSet kSecondMargins{50.0, 45.0, 50.0, 45.0};
constexpr MarginSet kThirdMargins{10.0, 25.0, 25.0, 15.0};

// Low-resolution strips start 25 mm right of their number.
constexpr std::int64_t kLowResStripOffset = 250;

}  // namespace

template <class W>
void EyeOnePro2<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const HandheldStripGeometry geometry = HandheldStripGeometry::fromParams(params);
    const HandheldPage sheet = HandheldPage::of(params, geometry);
    double leader[4];
    getStripLeader(leader, params);
    const std::int64_t lead = layoutTenths(leader[1]);
    const bool lowRes = params.lowRes;
    const bool zebra = zebraRuler();

    drawHandheldPages<W>(
        params, patches, page, *this, geometry, sheet.width, sheet.height, sheet.code,
        [&](StripPainter<W>& painter, std::int64_t strip, std::int64_t columns,
            std::uint32_t number) {
            const std::int64_t y = geometry.stripY(strip);
            if (lowRes) {
                // The zebra ruler marks the strip's start, so only the
                // opening patch is left out; the yellow closing patch still
                // tells the instrument that the strip is complete.
                const StripStart start =
                    lowResolutionStripStart(geometry, lead, kLowResStripOffset);
                painter.stripNumber(start, geometry.labelY(strip), number);
                painter.contrastStrip(start.x, y, columns, !zebra);
                return;
            }
            const StripStart start =
                fullResolutionStripStart(geometry, sheet.width, columns, sheet.card, lead);
            painter.stripNumber(start, geometry.labelY(strip), number);
            if (zebra) {
                painter.zebraStrip(start.x, y, columns);
            } else {
                painter.gapThenBarStrip(start.x, y, columns);
            }
        });
}

template <class W>
void EyeOnePro2<W>::getStripLeader(double out[4], const ChartParams& params) {
    if (zebraRuler()) {
        out[0] = out[1] = out[2] = out[3] = 0.0;
        return;
    }
    EyeOne<W>::getStripLeader(out, params);
}

template <class W>
void EyeOnePro2<W>::getPatchSizes(double out[8]) {
    EyeOne<W>::getPatchSizes(out);
    if (this->zebraRulerMode() == 1) {
        out[7] = kZebraLowResPatchWidthMm;
    }
}

template <class W>
void EyeOnePro2<W>::getPatchGaps(double out[8], const ChartParams& params) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
    if (params.qualityMode == kCardQualityMode) {
        out[0] = kCardStripGapMm;
    }
    if (this->zebraRulerMode() == 1) {
        out[6] = kZebraLowResGapHeightMm;
        out[7] = kZebraLowResGapWidthMm;
    }
}

template <class W>
void EyeOnePro2<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                   const ChartParams& params) {
    first = params.qualityMode == kCardQualityMode ? kCardMargins : kFirstMargins;
    second = kSecondMargins;
    third = kThirdMargins;
}

template class EyeOnePro2<WriteCMYK>;
template class EyeOnePro2<WriteCMYKO>;
template class EyeOnePro2<WriteCMYKOG>;
template class EyeOnePro2<WriteCMYKRGB>;
template class EyeOnePro2<WriteLAB>;
template class EyeOnePro2<WriteRGB>;
template class EyeOnePro2<WriteSpotColor>;

}  // namespace GenChartLib
