#include "instruments/HpZ.h"

#include <algorithm>
#include <cstdio>

#include "base/ErrorCodes.h"
#include "instruments/EmbeddedUnits.h"
#include "outside/DebugLog.h"
#include "outside/ImageWriterInterface.h"
#include "render/ChartPage.h"

namespace GenChartLib {

namespace {

constexpr const char* kInitLog = "HpZ/initChartParams: %s";
constexpr const char* kWritePageLog = "HpZ/writePage: %s";

// Every patch size the unit reports, in tenths.
constexpr std::int64_t kPatchSize = 150;
// The page limits and the right margin are worked out for strips of this
// many patches.
constexpr std::int64_t kStripPatchLimit = 60;
// A page holds at most four times as many strips as a strip holds patches.
constexpr std::int64_t kStripsPerPatchLimit = 4;
// The greatest page reaches one millimetre beyond the largest grid.
constexpr std::int64_t kGreatestPageSlack = 10;
// Paper right of the end mark's room.
constexpr std::int64_t kRightPaper = 50;
constexpr std::int64_t kMarginTop = 4;
constexpr std::int64_t kMarginLeft = 50;
constexpr std::int64_t kMarginBottom = 420;
constexpr std::int32_t kPdfPageCode = 1;

// Room for a start and an end mark of the longest strip, and some paper.
std::int64_t marginRightTenths() {
    const std::int64_t height = HpZStripGeometry::markHeightMilli(kPatchSize, kStripPatchLimit);
    return (2 * HpZStripGeometry::markRoomMilli(height)) / HpZStripGeometry::kMilli + kRightPaper;
}

// A start or end mark beginning at x: a bar, two slanted bars, a bar.
template <class W>
void drawStripMark(ChartPage<W>& page, const HpZStripGeometry& g, std::int64_t x,
                   std::int64_t strip) {
    const typename W::PixelColor black = W::blackColor();
    const std::int64_t y = g.markY(strip);
    const std::int64_t h = g.markHeight();
    const std::int64_t bar = HpZStripGeometry::kMarkBarWidth;
    const std::int64_t slant = g.markSlantRun();
    page.fillRectPlain({pixelAt(g.firstBarX(x)), pixelAt(y)}, pixelAt(bar), pixelAt(h), black);
    for (std::int64_t i = 0; i < 2; ++i) {
        const std::int64_t bx = g.slantedBarX(x, i);
        page.drawPolygon({{pixelAt(bx), pixelAt(y)},
                          {pixelAt(bx + bar), pixelAt(y)},
                          {pixelAt(bx + slant + bar), pixelAt(y + h - 1)},
                          {pixelAt(bx + slant), pixelAt(y + h - 1)}},
                         black);
    }
    page.fillRectPlain({pixelAt(g.lastBarX(x)), pixelAt(y)}, pixelAt(bar), pixelAt(h), black);
}

}  // namespace

HpZStripGeometry HpZStripGeometry::fromParams(const ChartParams& params, std::int32_t columns) {
    using Base = MeasureInstrument<WriteCMYK>;
    HpZStripGeometry g;
    g.top = Base::tenthsOf(params.marginTop);
    g.left = Base::tenthsOf(params.marginLeft);
    g.patchHeight = Base::tenthsOf(params.patchHeight);
    g.patchWidth = Base::tenthsOf(params.patchWidth);
    g.gapHeight = Base::tenthsOf(params.gapHeight);
    g.gapWidth = Base::tenthsOf(params.gapWidth);
    g.columns = std::max(0, columns);
    return g;
}

std::string hpzCommandText(std::int32_t columns, std::int32_t strips) {
    char text[64];
    std::snprintf(text, sizeof text, "ECH 0 0 %d %d", columns,
                  static_cast<int>(static_cast<std::int64_t>(columns) * strips));
    return text;
}

template <class W>
void HpZ<W>::initChartParams(ChartParams& params) {
    if (params.refDataName.empty()) {
        debugLog(kInitLog, 0, 0, "Exit initChartParams: refDataName is empty");
        return;
    }
    MeasureInstrument<W>::initChartParams(params);
}

template <class W>
void HpZ<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const PageSpan span = MeasureInstrument<W>::pagesToDraw(params, page);
    if (span.firstPage >= span.endPage) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    const PageLayout& first = params.pages.front();
    const std::int64_t pageWidth = entryTenths(first.width);
    const std::int64_t pageHeight = entryTenths(first.height);
    ChartPage<W> chartPage(params, static_cast<int>(W::channelCountOf(patches.front())),
                           pixelAt(pageWidth), pixelAt(pageHeight));
    std::size_t next = 0;
    for (std::size_t p = span.firstPage; p < span.endPage; ++p) {
        const PageLayout& layout = params.pages[p];
        const HpZStripGeometry g = HpZStripGeometry::fromParams(params, layout.columns);
        chartPage.newPage(mmOfTenths(pageWidth), mmOfTenths(pageHeight), kPdfPageCode);
        for (std::int64_t s = 0; s < layout.strips; ++s) {
            drawStripMark(chartPage, g, g.left, s);
            for (std::int64_t k = 0; k < g.columns && next < patches.size(); ++k) {
                chartPage.fillRect({pixelAt(g.patchX(k)), pixelAt(g.stripY(s))},
                                   pixelAt(g.patchWidth), pixelAt(g.patchHeight), patches[next]);
                ++next;
            }
            drawStripMark(chartPage, g, g.endMarkX(), s);
        }
        chartPage.setField(OC_IMG_TAG_IMAGE_DESCRIPTION,
                           hpzCommandText(layout.columns, layout.strips));
    }
    chartPage.finishPage();
}

template <class W>
void HpZ<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = out[1] = out[2] = out[3] = 0.0;
}

template <class W>
void HpZ<W>::getPageSizeLimits(double out[8], const ChartParams& /*params*/) {
    // One patch inside the margins, up to the longest strips, four times as
    // many as a strip holds patches.
    const std::int64_t right = marginRightTenths();
    const std::int64_t greatestHeight = kMarginTop +
                                        kPatchSize * kStripPatchLimit * kStripsPerPatchLimit +
                                        kMarginBottom + kGreatestPageSlack;
    const std::int64_t greatestWidth =
        kMarginLeft + kPatchSize * kStripPatchLimit + right + kGreatestPageSlack;
    out[0] = mmOfTenths(kMarginTop + kPatchSize + kMarginBottom);
    out[1] = mmOfTenths(kMarginLeft + kPatchSize + right);
    out[2] = out[4] = mmOfTenths(greatestHeight);
    out[3] = out[5] = mmOfTenths(greatestWidth);
    out[6] = out[7] = 0.0;
}

template <class W>
void HpZ<W>::getPatchSizes(double out[8]) {
    std::fill(out, out + 8, mmOfTenths(kPatchSize));
}

template <class W>
void HpZ<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, 0.0);
}

template <class W>
void HpZ<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                            const ChartParams& /*params*/) {
    const MarginSet margins{mmOfTenths(kMarginTop), mmOfTenths(kMarginLeft),
                            mmOfTenths(kMarginBottom), mmOfTenths(marginRightTenths())};
    first = second = third = margins;
}

template class HpZ<WriteCMYK>;
template class HpZ<WriteCMYKO>;
template class HpZ<WriteCMYKOG>;
template class HpZ<WriteCMYKRGB>;
template class HpZ<WriteLAB>;
template class HpZ<WriteRGB>;
template class HpZ<WriteSpotColor>;

}  // namespace GenChartLib
