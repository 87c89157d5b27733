#include "instruments/WarmUpPage.h"

#include <algorithm>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"
#include "render/PdfPage.h"

namespace GenChartLib {

namespace {

constexpr const char* kWritePageLog = "WarmUpPage/writePage: %s";

constexpr double kPatchMm = 10.0;
constexpr double kGapMm = 0.0;
// The page code the warm-up page starts its PDF page with.
constexpr std::int32_t kWarmUpPageCode = 0;

std::uint32_t countOf(std::int32_t value) {
    return value > 0 ? static_cast<std::uint32_t>(value) : 0U;
}

std::uint32_t tenths(double mm) {
    return MeasureInstrument<WriteCMYK>::tenthsOf(mm);
}

}  // namespace

WarmUpGrid WarmUpGrid::fromParams(const ChartParams& params) {
    WarmUpGrid grid;
    grid.patchWidth = tenths(params.patchWidth);
    grid.patchHeight = tenths(params.patchHeight);
    if (!params.pages.empty()) {
        const PageLayout& first = params.pages.front();
        grid.pageWidth = tenths(first.width);
        grid.pageHeight = tenths(first.height);
        grid.columns = countOf(first.columns);
        grid.strips = countOf(first.strips);
    }
    if (params.useWholePage) {
        grid.pageWidth = tenths(params.pageWidth);
        grid.pageHeight = tenths(params.pageHeight);
    }
    return grid;
}

std::uint32_t WarmUpGrid::blocks() const {
    const std::uint64_t stripWidth = static_cast<std::uint64_t>(columns) * patchWidth;
    return stripWidth == 0 ? 0U : static_cast<std::uint32_t>(pageWidth / stripWidth);
}

std::uint32_t WarmUpGrid::lineLeft() const {
    const std::uint64_t lineWidth = static_cast<std::uint64_t>(patchesPerLine()) * patchWidth;
    return static_cast<std::uint32_t>((pageWidth - lineWidth) / 2);
}

void WarmUpGrid::forEachCell(std::size_t listLength,
                             const std::function<void(Point, std::size_t)>& draw) const {
    const std::uint32_t perLine = patchesPerLine();
    const std::uint32_t lines = lineCount();
    if (listLength == 0 || perLine == 0 || lines == 0 || strips == 0) {
        return;
    }
    const std::uint64_t passLength = static_cast<std::uint64_t>(blocks()) * strips * listLength;
    const std::uint32_t left = lineLeft();
    std::uint32_t line = 0;
    std::uint32_t column = 0;
    for (std::uint64_t pass = 0;; ++pass) {
        if (column > 0) {
            ++line;
            column = 0;
        }
        if (line >= lines) {
            return;
        }
        const bool backward = pass % 2 == 0;
        for (std::uint64_t n = 0; n < passLength; ++n) {
            if (column == perLine) {
                ++line;
                column = 0;
                if (line >= lines) {
                    return;
                }
            }
            const std::size_t inList = static_cast<std::size_t>(n % listLength);
            const std::size_t index = backward ? listLength - 1 - inList : inList;
            draw({left + column * patchWidth, line * patchHeight}, index);
            ++column;
        }
    }
}

template <class W>
void WarmUpPage<W>::writePage(ChartParams& params, std::vector<Patch>& patches, int /*page*/) {
    if (patches.empty()) {
        logError(kWritePageLog, ERR_EMPTY_MEASURE_DATA);
        return;
    }
    ChartParams pageParams = params;
    pageParams.channelCount = static_cast<std::int32_t>(W::channelCountOf(patches.front()));
    const WarmUpGrid grid = WarmUpGrid::fromParams(pageParams);
    if (grid.pageWidth == 0 || grid.pageHeight == 0) {
        logError(kWritePageLog, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    if (grid.capacity() > kMaxWarmUpCells) {
        logError(kWritePageLog, ERR_PAGE_SIZE);
        throw ERR_PAGE_SIZE;
    }

    PdfPage<W> pdf(pageParams);
    pdf.newPage(grid.pageWidth / 10.0, grid.pageHeight / 10.0, kWarmUpPageCode);
    grid.forEachCell(patches.size(), [&](Point corner, std::size_t index) {
        pdf.fillRect(corner, grid.patchWidth, grid.patchHeight, patches[index]);
    });
    if (pdf.loaded()) {
        pdf.save(pageParams.outputName);
    }
}

template <class W>
void WarmUpPage<W>::getStripLeader(double out[4], const ChartParams& params) {
    double sizes[8];
    double gaps[8];
    getPatchSizes(sizes);
    getPatchGaps(gaps, params);
    // One patch and one gap of room after the patch area on the width axis.
    const double patch = std::max(params.patchWidth, sizes[5]);
    const double gap = params.gapWidth > gaps[5] ? params.gapWidth : gaps[5];
    out[0] = 0.0;
    out[1] = patch + gap;
    out[2] = 0.0;
    out[3] = patch + gap;
}

template <class W>
void WarmUpPage<W>::getPageSizeLimits(double out[8], const ChartParams& params) {
    MarginSet first;
    MarginSet second;
    MarginSet third;
    getPageMargins(first, second, third, params);
    // The page is exactly the host's page; a whole-page layout may turn it.
    out[0] = params.pageHeight;
    out[1] = params.pageWidth;
    const bool turned = params.useWholePage && params.pageHeight <= params.pageWidth;
    out[2] = turned ? params.pageWidth : params.pageHeight;
    out[3] = turned ? params.pageHeight : params.pageWidth;
    out[4] = out[2];
    out[5] = out[3];
    out[6] = 0.0;
    out[7] = 0.0;
}

template <class W>
void WarmUpPage<W>::getPatchSizes(double out[8]) {
    std::fill(out, out + 8, kPatchMm);
}

template <class W>
void WarmUpPage<W>::getPatchGaps(double out[8], const ChartParams& /*params*/) {
    std::fill(out, out + 8, kGapMm);
}

template <class W>
void WarmUpPage<W>::getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                   const ChartParams& /*params*/) {
    first = MarginSet{};
    second = MarginSet{};
    third = MarginSet{};
}

template <class W>
void WarmUpPage<W>::initChartParams(ChartParams& params) {
    params.optimizeLayout = false;
    params.writeDescription = false;
    params.previewOnly = 0;
    MeasureInstrument<W>::initChartParams(params);
}

template class WarmUpPage<WriteCMYK>;
template class WarmUpPage<WriteCMYKO>;
template class WarmUpPage<WriteCMYKOG>;
template class WarmUpPage<WriteCMYKRGB>;
template class WarmUpPage<WriteLAB>;
template class WarmUpPage<WriteRGB>;
template class WarmUpPage<WriteSpotColor>;

}  // namespace GenChartLib
