#include "instruments/Epson.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "base/ErrorCodes.h"
#include "instruments/EmbeddedUnits.h"
#include "outside/DebugLog.h"
#include "outside/ImageWriterInterface.h"
#include "render/ChartPage.h"

namespace GenChartLib {

namespace {

constexpr const char* kInitLog = "Epson/initChartParams: %s";
constexpr const char* kWritePageLog = "Epson/writePage: %s";

// The fixed x the printer's command text starts with, and its format code.
constexpr int kCommandSheetOffset = 1520;
constexpr int kCommandFormatCode = 4;
// The command text's header lies this far above the page's top margin.
constexpr std::int64_t kCommandHeaderOffset = 30;
// PDF page code of the chart page.
constexpr std::int32_t kPdfPageCode = 1;
// The unit reads no chart of fewer patches; paper makes up the rest.
constexpr std::size_t kLeastPatches = 8;
// What this layout leaves in layoutReady once it is done.
constexpr std::int32_t kLayoutReady = 8;

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

[[noreturn]] void refusePage() {
    logError(kInitLog, ERR_PAGE_SIZE);
    throw ERR_PAGE_SIZE;
}

}  // namespace

std::int64_t EpsonStripGeometry::maxPatchesPerStrip(std::int64_t sheetWidth,
                                                    std::int64_t maxBlockPatches) const {
    const std::int64_t estimate = (sheetWidth - stripLength(0, 1) - kNarrowReserve) / kPatchWidth;
    if (estimate <= model.blockPatches && maxBlockPatches >= model.blockPatches) {
        return estimate;
    }
    std::int64_t k = std::min(estimate, maxBlockPatches);
    if (k < 1) {
        return k;
    }
    const std::int64_t blocks = ceilDiv(k, model.blockPatches);
    while (k > 0 && stripLength(k, blocks) > sheetWidth - kSheetReserve) {
        --k;
    }
    return k;
}

std::vector<std::int64_t> EpsonStripGeometry::splitIntoBlocks(std::int64_t k) const {
    if (k <= model.blockPatches) {
        return {k};
    }
    const std::int64_t full = k / model.blockPatches;
    const std::int64_t remainder = k - full * model.blockPatches;
    std::vector<std::int64_t> blocks(static_cast<std::size_t>(full), model.blockPatches);
    if (remainder > 0) {
        // A short remainder borrows from the next block: the strip keeps k.
        const std::int64_t first = std::max(remainder, kLeastBlock);
        blocks.front() -= first - remainder;
        blocks.insert(blocks.begin(), first);
    }
    return blocks;
}

std::vector<std::int64_t> EpsonStripGeometry::blockPositions(
    const std::vector<std::int64_t>& blocks) const {
    std::vector<std::int64_t> positions;
    std::int64_t x = kFirstBlockX;
    for (const std::int64_t size : blocks) {
        positions.push_back(x);
        x += blockWidth(size) + kBlockGap;
    }
    return positions;
}

std::string epsonCommandText(std::int64_t topTenths, std::int32_t columns, std::int32_t strips,
                             std::int64_t patchWidthTenths, std::int64_t patchHeightTenths) {
    char text[128];
    std::snprintf(text, sizeof text, "ECH %d %d %d %d %d %d %d", kCommandSheetOffset,
                  static_cast<int>((kCommandHeaderOffset + topTenths) * 10), columns, strips,
                  static_cast<int>(patchWidthTenths * 10), static_cast<int>(patchHeightTenths * 10),
                  kCommandFormatCode);
    return text;
}

template <class W>
std::int64_t Epson<W>::marginRightTenths() const {
    const EpsonModel& m = geometry_.model;
    return m.endBarWidth + EpsonStripGeometry::kBlockGap + m.endBarSpace +
           EpsonStripGeometry::kFirstBlockX + m.startBarWidth + m.startBarSpace;
}

template <class W>
void Epson<W>::initChartParams(ChartParams& params) {
    if (params.refDataName.empty()) {
        debugLog(kInitLog, 0, 0, "exit initChartParams: refDataName is empty");
        return;
    }
    MeasureInstrument<W>::requireValidPageSize(params);
    std::vector<Patch> patches = MeasureInstrument<W>::loadReference(params);
    this->originalPatchCount_ = static_cast<std::int32_t>(patches.size());
    while (patches.size() < kLeastPatches) {
        patches.push_back(W::paperColor());
    }
    this->patchCount_ = static_cast<std::int32_t>(patches.size());
    params.patchCount = this->patchCount_;

    MarginSet first;
    MarginSet second;
    MarginSet third;
    getPageMargins(first, second, third, params);
    params.marginTop = third.top;
    params.marginLeft = third.left;
    params.marginBottom = third.bottom;
    params.marginRight = third.right;
    params.gapWidth = 0.0;
    params.gapHeight = 0.0;

    const EpsonStripGeometry& g = geometry_;
    const std::int64_t count = this->patchCount_;
    const std::int64_t fit = g.maxPatchesPerStrip(MeasureInstrument<W>::tenthsOf(params.pageWidth),
                                                  EpsonStripGeometry::kChartBlockPatches);
    // No patch across the sheet: nothing to lay out (and nothing to divide by).
    if (fit < 1) {
        refusePage();
    }
    std::int64_t columns = std::min(fit, count);
    const std::int64_t strips = ceilDiv(count, columns);
    // Spread the patches evenly: the strips lack fewer than `strips` patches
    // in all, which the padding fills with paper.
    columns -= (strips * columns - count) / strips;
    const std::vector<std::int64_t> blocks = g.splitIntoBlocks(columns);
    const std::int64_t width = g.stripLength(columns, static_cast<std::int64_t>(blocks.size()));

    std::int64_t height = g.stripsHeight(strips) + EpsonStripGeometry::kFooter;
    if (params.colorMode == CM_LAB) {
        // A Lab chart has neither header nor footer.
        height -= EpsonStripGeometry::kHeader + EpsonStripGeometry::kFooter;
        params.marginTop = 0.0;
        params.marginBottom = 0.0;
    }
    double limits[8] = {};
    getPageSizeLimits(limits, params);
    if (height > usableTenths(params.pageHeight, limits[2]) ||
        width > usableTenths(params.pageWidth, limits[3])) {
        refusePage();
    }

    params.pages.assign(
        1, PageLayout{mmOfTenths(height), mmOfTenths(width), static_cast<std::int32_t>(columns),
                      static_cast<std::int32_t>(strips)});
    params.patchHeight = mmOfTenths(g.rowPitch(strips));
    params.patchWidth = mmOfTenths(EpsonStripGeometry::kPatchWidth);
    params.stripCapacity = static_cast<std::int32_t>(EpsonStripGeometry::kChartBlockPatches);
    params.layoutReady = kLayoutReady;
    this->computeLayoutFrame(params);
}

template <class W>
void Epson<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int page) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    const PageSpan span = MeasureInstrument<W>::pagesToDraw(params, page);
    if (span.firstPage >= span.endPage) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    const PageLayout& layout = params.pages[span.firstPage];
    const EpsonStripGeometry& g = geometry_;
    const std::int64_t top = MeasureInstrument<W>::tenthsOf(params.marginTop);
    const std::int64_t patchHeight = MeasureInstrument<W>::tenthsOf(params.patchHeight);
    const std::int64_t patchWidth = MeasureInstrument<W>::tenthsOf(params.patchWidth);
    const std::vector<std::int64_t> blocks = g.splitIntoBlocks(layout.columns);
    const std::vector<std::int64_t> positions = g.blockPositions(blocks);

    const std::int64_t pageWidth = entryTenths(layout.width);
    const std::int64_t pageHeight = entryTenths(layout.height);
    ChartPage<W> chartPage(params, static_cast<int>(W::channelCountOf(patches.front())),
                           pixelAt(pageWidth), pixelAt(pageHeight));
    chartPage.newPage(mmOfTenths(pageWidth), mmOfTenths(pageHeight), kPdfPageCode);

    const Patch black = W::blackColor();
    const std::size_t columns = static_cast<std::size_t>(std::max(0, layout.columns));
    std::size_t offset = 0;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const std::int64_t blockX = positions[b];
        for (std::int64_t s = 0; s < layout.strips; ++s) {
            const std::int64_t y = top + s * patchHeight;
            chartPage.fillRectPlain({pixelAt(blockX), pixelAt(y)}, pixelAt(g.model.startBarWidth),
                                    pixelAt(patchHeight), black);
            for (std::int64_t j = 0; j < blocks[b]; ++j) {
                const std::size_t index =
                    columns * static_cast<std::size_t>(s) + offset + static_cast<std::size_t>(j);
                if (index >= patches.size()) {
                    throw std::out_of_range("invalid vector<T> subscript");
                }
                chartPage.fillRect({pixelAt(g.firstPatchX(blockX) + j * patchWidth), pixelAt(y)},
                                   pixelAt(patchWidth), pixelAt(patchHeight), patches[index]);
            }
            chartPage.fillRectPlain({pixelAt(g.endBarX(blockX, blocks[b])), pixelAt(y)},
                                    pixelAt(g.model.endBarWidth), pixelAt(patchHeight), black);
        }
        offset += static_cast<std::size_t>(blocks[b]);
    }
    chartPage.setField(
        OC_IMG_TAG_IMAGE_DESCRIPTION,
        epsonCommandText(top, layout.columns, layout.strips, patchWidth, patchHeight));
    chartPage.finishPage();
}

template <class W>
void Epson<W>::getStripLeader(double out[4], const ChartParams& /*params*/) {
    out[0] = out[1] = out[2] = out[3] = 0.0;
}

template <class W>
void Epson<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    const bool lab = params.colorMode == CM_LAB;
    const std::int64_t leastHeight =
        lab ? geometry_.rowPitch(1) : geometry_.stripsHeight(1) + EpsonStripGeometry::kFooter;
    out[0] = mmOfTenths(leastHeight);
    out[1] = mmOfTenths(geometry_.stripLength(1, 1));
    out[2] = params.pageHeight;
    out[3] = params.pageWidth;
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

template <class W>
void Epson<W>::getPatchSizes(double out[8]) {
    for (int i = 0; i < 8; i += 2) {
        out[i] = mmOfTenths(EpsonStripGeometry::kStripPitch);
        out[i + 1] = mmOfTenths(EpsonStripGeometry::kPatchWidth);
    }
}

template <class W>
void Epson<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, 0.0);
}

template <class W>
void Epson<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                              const ChartParams& /*params*/) {
    const MarginSet margins{mmOfTenths(EpsonStripGeometry::kHeader), 0.0,
                            mmOfTenths(EpsonStripGeometry::kFooter),
                            mmOfTenths(marginRightTenths())};
    first = second = third = margins;
}

template class Epson<WriteCMYK>;
template class Epson<WriteCMYKO>;
template class Epson<WriteCMYKOG>;
template class Epson<WriteCMYKRGB>;
template class Epson<WriteLAB>;
template class Epson<WriteRGB>;
template class Epson<WriteSpotColor>;

template class EpsonILS30<WriteCMYK>;
template class EpsonILS30<WriteCMYKO>;
template class EpsonILS30<WriteCMYKOG>;
template class EpsonILS30<WriteCMYKRGB>;
template class EpsonILS30<WriteLAB>;
template class EpsonILS30<WriteRGB>;
template class EpsonILS30<WriteSpotColor>;

}  // namespace GenChartLib
