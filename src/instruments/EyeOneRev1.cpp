#include "instruments/EyeOneRev1.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "instruments/EyeOneStrips.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "EyeOneRev1/writePage: %s";

constexpr double kPatchGapsMm[8] = {0.4, 1.2, 50.0, 2.0, 0.4, 1.8, 2.0, 3.0};

constexpr MarginSet kFirstMargins{8.0, 25.0, 25.0, 15.0};
constexpr MarginSet kSecondMargins{50.0, 15.0, 50.0, 35.0};
constexpr MarginSet kSecondMarginsMode2{50.0, 45.0, 50.0, 15.0};
constexpr MarginSet kThirdMargins{10.0, 25.0, 25.0, 15.0};

// Low-resolution strips start 30 mm right of their number.
constexpr std::int64_t kLowResStripOffset = 300;

}  // namespace

template <class W>
void EyeOneRev1<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const HandheldStripGeometry geometry = HandheldStripGeometry::fromParams(params);
    const HandheldPage sheet = HandheldPage::of(params, geometry);
    const std::int64_t lead = layoutTenths(this->stripLeadMm(params));
    const bool lowRes = params.lowRes;

    drawHandheldPages<W>(
        params, patches, page, *this, geometry, sheet.width, sheet.height, sheet.code,
        [&](StripPainter<W>& painter, std::int64_t strip, std::int64_t columns,
            std::uint32_t number) {
            const std::int64_t y = geometry.stripY(strip);
            if (lowRes) {
                const StripStart start =
                    lowResolutionStripStart(geometry, lead, kLowResStripOffset);
                painter.stripNumber(start, geometry.labelY(strip), number);
                painter.contrastStrip(start.x, y, columns, true);
            } else {
                const StripStart start =
                    fullResolutionStripStart(geometry, sheet.width, columns, sheet.card, lead);
                painter.stripNumber(start, geometry.labelY(strip), number);
                painter.barThenGapStrip(start.x, y, columns);
            }
        });
}

template <class W>
void EyeOneRev1<W>::getPatchGaps(double out[8], const ChartParams& params) {
    std::copy(kPatchGapsMm, kPatchGapsMm + 8, out);
    if (params.qualityMode == kCardQualityMode) {
        out[0] = kCardStripGapMm;
    }
}

template <class W>
void EyeOneRev1<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                   const ChartParams& params) {
    first = params.qualityMode == kCardQualityMode ? kCardMargins : kFirstMargins;
    second = params.qualityMode == 2 ? kSecondMarginsMode2 : kSecondMargins;
    third = kThirdMargins;
}

template class EyeOneRev1<WriteCMYK>;
template class EyeOneRev1<WriteCMYKO>;
template class EyeOneRev1<WriteCMYKOG>;
template class EyeOneRev1<WriteCMYKRGB>;
template class EyeOneRev1<WriteLAB>;
template class EyeOneRev1<WriteRGB>;
template class EyeOneRev1<WriteSpotColor>;

}  // namespace GenChartLib
