#include "instruments/Canon.h"

#include <algorithm>
#include <cstdio>

#include "base/ErrorCodes.h"
#include "instruments/EmbeddedUnits.h"
#include "outside/DebugLog.h"
#include "outside/ImageWriterInterface.h"
#include "render/ChartPage.h"

namespace GenChartLib {

namespace {

constexpr const char* kInitLog = "Canon/initChartParams: %s";
constexpr const char* kWritePageLog = "Canon/writePage: %s";
constexpr std::int32_t kPdfPageCode = 1;

using G = CanonStripGeometry;

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

}  // namespace

std::string canonCommandText(std::int32_t columns, std::int32_t strips, std::size_t page,
                             std::size_t pageCount) {
    // Positions and lengths in hundredths of a millimetre; the patches
    // touch, so both gaps are 0.
    char text[160];
    std::snprintf(text, sizeof text, "ECH %d %d %d %d %d %d %d %d %d %d",
                  static_cast<int>(G::firstPatchX() * 10), static_cast<int>(G::stripY(0) * 10),
                  columns, strips, static_cast<int>(G::kPatchWidth * 10),
                  static_cast<int>(G::kPatchHeight * 10), 0, 0, static_cast<int>(page + 1),
                  static_cast<int>(pageCount));
    return text;
}

template <class W>
void Canon<W>::initChartParams(ChartParams& params) {
    if (params.refDataName.empty()) {
        debugLog(kInitLog, 0, 0, "exit initChartParams: refDataName is empty");
        return;
    }
    MeasureInstrument<W>::requireValidPageSize(params);
    std::vector<Patch> patches = MeasureInstrument<W>::loadReference(params);
    this->originalPatchCount_ = static_cast<std::int32_t>(patches.size());
    MeasureInstrument<W>::padToInstrumentMinimum(patches, MI_CANON);
    this->patchCount_ = static_cast<std::int32_t>(patches.size());
    params.patchCount = this->patchCount_;

    MarginSet first;
    MarginSet second;
    MarginSet third;
    getPageMargins(first, second, third, params);
    params.marginTop = first.top;
    params.marginLeft = first.left;
    params.marginBottom = first.bottom;
    params.marginRight = first.right;
    params.patchWidth = mmOfTenths(G::kPatchWidth);
    params.patchHeight = mmOfTenths(G::kPatchHeight);
    params.gapWidth = 0.0;
    params.gapHeight = 0.0;

    double limits[8] = {};
    getPageSizeLimits(limits, params);
    const std::int64_t maxColumns = G::maxColumns(usableTenths(params.pageWidth, limits[3]));
    const std::int64_t maxStrips = G::maxStrips(usableTenths(params.pageHeight, limits[2]));
    if (maxColumns < 1 || maxStrips < 1) {
        logError(kInitLog, ERR_PAGE_SIZE);
        throw ERR_PAGE_SIZE;
    }
    // The fewest strips that hold every patch, evened out: no strip lacks
    // more than one patch before the padding.
    const std::int64_t count = this->patchCount_;
    const std::int64_t strips = ceilDiv(count, maxColumns);
    const std::int64_t columns = ceilDiv(count, strips);
    const std::int64_t firstPageStrips = std::min(strips, maxStrips);
    const std::int64_t pageCount = ceilDiv(strips, maxStrips);
    const PageLayout page{mmOfTenths(G::pageHeight(firstPageStrips)),
                          mmOfTenths(G::pageWidth(columns)), static_cast<std::int32_t>(columns),
                          static_cast<std::int32_t>(firstPageStrips)};
    params.pages.assign(static_cast<std::size_t>(pageCount), page);
    params.pages.back().strips =
        static_cast<std::int32_t>(strips - (pageCount - 1) * firstPageStrips);
    // Padding fills the last strip, not the last page.
    params.optimizeLayout = false;
    params.layoutReady = 1;
    params.stripCapacity = static_cast<std::int32_t>(maxColumns);
    this->computeLayoutFrame(params);
}

template <class W>
void Canon<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const PageSpan span = MeasureInstrument<W>::pagesToDraw(params, page);
    if (span.firstPage >= span.endPage) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    const PageLayout& firstPage = params.pages.front();
    const std::int64_t pageWidth = entryTenths(firstPage.width);
    const std::int64_t pageHeight = entryTenths(firstPage.height);
    ChartPage<W> chartPage(params, static_cast<int>(W::channelCountOf(patches.front())),
                           pixelAt(pageWidth), pixelAt(pageHeight));
    const Patch black = W::blackColor();
    std::size_t next = 0;
    for (std::size_t p = span.firstPage; p < span.endPage; ++p) {
        const PageLayout& layout = params.pages[p];
        chartPage.newPage(mmOfTenths(pageWidth), mmOfTenths(pageHeight), kPdfPageCode);
        for (std::int64_t s = 0; s < layout.strips; ++s) {
            const std::uint32_t y = pixelAt(G::stripY(s));
            const std::uint32_t height = pixelAt(G::kPatchHeight);
            chartPage.fillRectPlain({pixelAt(G::kStartBarX), y}, pixelAt(G::kStartBarWidth), height,
                                    black);
            for (std::int64_t j = 0; j < layout.columns && next < patches.size(); ++j) {
                chartPage.fillRect({pixelAt(G::patchX(j)), y}, pixelAt(G::kPatchWidth), height,
                                   patches[next]);
                ++next;
            }
            chartPage.fillRectPlain({pixelAt(G::endBarX(layout.columns)), y},
                                    pixelAt(G::kEndBarWidth), height, black);
        }
        chartPage.setField(OC_IMG_TAG_IMAGE_DESCRIPTION,
                           canonCommandText(layout.columns, layout.strips, p, params.pages.size()));
    }
    chartPage.finishPage();
}

template <class W>
void Canon<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = out[1] = out[2] = out[3] = 0.0;
}

template <class W>
void Canon<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    out[0] = mmOfTenths(G::pageHeight(1));
    out[1] = mmOfTenths(G::pageWidth(1));
    out[2] = params.pageHeight;
    out[3] = params.pageWidth;
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void Canon<W>::getPatchSizes(double out[8]) {
    for (int i = 0; i < 8; i += 2) {
        out[i] = mmOfTenths(G::kPatchHeight);
        out[i + 1] = mmOfTenths(G::kPatchWidth);
    }
}

template <class W>
void Canon<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, 0.0);
}

template <class W>
void Canon<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                              const ChartParams& /*params*/) {
    // The margins reach to the patches: the bars stand inside them.
    const MarginSet margins{mmOfTenths(G::kTop), mmOfTenths(G::firstPatchX()),
                            mmOfTenths(G::kBottom), mmOfTenths(G::pageWidth(0) - G::firstPatchX())};
    first = second = third = margins;
}

template class Canon<WriteCMYK>;
template class Canon<WriteCMYKO>;
template class Canon<WriteCMYKOG>;
template class Canon<WriteCMYKRGB>;
template class Canon<WriteLAB>;
template class Canon<WriteRGB>;
template class Canon<WriteSpotColor>;

}  // namespace GenChartLib
