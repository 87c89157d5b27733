#include "engine/MeasureInstrument.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <type_traits>

#include "base/Catalog.h"
#include "base/ErrorCodes.h"
#include "cgats/CgatsReader.h"
#include "cgats/PatchLoaders.h"
#include "color/Conversions.h"
#include "outside/DebugLog.h"
#include "platform/Platform.h"

namespace GenChartLib {

namespace {

constexpr const char* kInitFormat = "MeasureInstrument/initChartParams: %s";
constexpr const char* kWriteFormat = "MeasureInstrument/writeChart: %s";

// No instrument measures a page longer than 10 m in either direction; beyond
// that the patch counts and drawing loops would only burn time and memory.
constexpr double kMaxPageExtentMm = 10000.0;
// Largest patch count along one axis that a layout may compute.
constexpr double kMaxAxisCount = 1.0e6;
// Largest padding unit (patches of one strip or page) writeChart accepts.
constexpr std::int64_t kMaxPaddingUnit = 2 * kMaxSets;
// Below this many wasted cells the layout search does not try one more page.
constexpr std::int64_t kWasteWorthAnotherPage = 18;

[[noreturn]] void fail(eColorCtrlErrors code) {
    throw code;
}

double floorTenth(double mm) {
    return std::floor(mm * 10.0) / 10.0;
}
double ceilTenth(double mm) {
    return std::ceil(mm * 10.0) / 10.0;
}

// trunc(value) as a layout count; a value that is no count of a real page
// (NaN, infinite, absurdly large) is an invalid page size.
std::int64_t layoutCount(double value) {
    if (!std::isfinite(value) || value < -kMaxAxisCount || value > kMaxAxisCount) {
        fail(ERR_PAGE_SIZE);
    }
    return static_cast<std::int64_t>(value);
}

// trunc(value) for a figure that only informs (strip capacity): saturated.
std::int32_t saturatedInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

// Clamp into [least, greatest] applying the lower bound first, so a pair of
// limits given the wrong way round still yields a defined value.
double clampExtent(double value, double least, double greatest) {
    if (value < least) {
        value = least;
    }
    if (value > greatest) {
        value = greatest;
    }
    return value;
}

bool isPrinterEmbedded(IdMeasureInstrument id) {
    return id == MI_HPZ_UVCUT || id == MI_HPZ || id == MI_EPSON || id == MI_CANON ||
           id == MI_EPSONILS30;
}

struct Grid {
    std::int64_t rows;
    std::int64_t cols;
};

// The grid of at most rows x cols cells, on `firstPages` or one more page,
// that leaves the fewest cells empty for `patchCount` patches; shapes taller
// than wide are only taken when they are more than five columns wide. The
// candidates run from the widest and tallest down, the first of equal waste
// winning. For one column count the waste k * r * c - patchCount falls with
// r, so the candidate that survives is the fewest rows that still hold
// every patch; that keeps the search linear in the columns.
Grid leastWasteGrid(Grid start, std::int64_t patchCount, std::int64_t firstPages) {
    std::int64_t leastWaste = start.rows * start.cols;
    Grid chosen = start;
    for (std::int64_t pages = firstPages; pages <= firstPages + 1; ++pages) {
        if (pages == firstPages + 1 && leastWaste < kWasteWorthAnotherPage) {
            break;
        }
        if (pages < 1) {
            continue;  // no cells: every shape leaves the patches unplaced
        }
        for (std::int64_t c = start.cols; c >= 1; --c) {
            const std::int64_t cellsPerRow = pages * c;
            const std::int64_t rows = ceilDiv(patchCount, cellsPerRow);
            if (rows > start.rows) {
                continue;
            }
            const std::int64_t waste = cellsPerRow * rows - patchCount;
            if (waste < leastWaste) {
                leastWaste = waste;
                if (c / rows >= 1 || c > 5) {
                    chosen = {rows, c};
                }
            }
        }
    }
    return chosen;
}

// The column count between `from` and `downTo` that divides patchCount, or
// else leaves the fewest cells of the last strip empty (first found wins).
std::int64_t leastWasteColumns(std::int64_t from, std::int64_t downTo, std::int64_t patchCount) {
    std::int64_t best = from;
    std::int64_t smallestGap = from + 1;
    for (std::int64_t c = from; c >= downTo && c >= 1; --c) {
        const std::int64_t rest = patchCount % c;
        if (rest == 0) {
            return c;
        }
        if (c - rest < smallestGap) {
            smallestGap = c - rest;
            best = c;
        }
    }
    return best;
}

// Every page after the first takes the first page's size and columns; its
// strips are the first page's, or those the remaining patches fill.
void copyFirstPage(ChartParams& params, std::int64_t pageCount) {
    const PageLayout first = params.pages[0];
    for (std::int64_t i = 1; i < pageCount; ++i) {
        PageLayout& page = params.pages[static_cast<std::size_t>(i)];
        page.height = first.height;
        page.width = first.width;
        page.columns = first.columns;
        if (params.optimizeLayout) {
            page.strips = first.strips;
        } else {
            const std::int64_t remaining =
                static_cast<std::int64_t>(params.patchCount) -
                static_cast<std::int64_t>(first.strips) * first.columns * i;
            const double needed = std::ceil(static_cast<double>(remaining) / first.columns);
            // A page past the last patch needs no strip (and is dropped later).
            page.strips = needed <= first.strips ? static_cast<std::int32_t>(std::max(0.0, needed))
                                                 : first.strips;
        }
    }
}

// Drops trailing pages that would receive no patch: the page count is fixed
// before the columns can grow, so the last pages may have nothing left.
void dropEmptyPages(ChartParams& params) {
    const PageLayout& first = params.pages[0];
    const std::int64_t perPage = static_cast<std::int64_t>(first.strips) * first.columns;
    if (perPage < 1) {
        return;
    }
    const std::int64_t needed = std::max<std::int64_t>(1, ceilDiv(params.patchCount, perPage));
    if (needed < static_cast<std::int64_t>(params.pages.size())) {
        params.pages.resize(static_cast<std::size_t>(needed));
    }
}

// Page file names: the base name up to its last ".", then "_<page>.tif".
std::vector<std::string> pageFileNames(const std::string& baseName, std::size_t pageCount) {
    const auto dot = baseName.rfind('.');
    const std::string stem = dot == std::string::npos ? baseName : baseName.substr(0, dot);
    std::vector<std::string> names;
    names.reserve(pageCount);
    for (std::size_t i = 0; i < pageCount; ++i) {
        names.push_back(stem + "_" + std::to_string(i) + ".tif");
    }
    return names;
}

// ---- Colour model of the mark-colour decisions ----

// The ink-combination model below gives an ink's colour; the conversion to
// Lab and the colour differences are the library's exported ones.
constexpr ColorTriplex kWhiteD50{96.42, 100.0, 82.49};
constexpr ColorTriplex kPaperNearPaper{83.0, 85.0, 72.5};
constexpr ColorTriplex kPaperLightness{83.0, 85.0, 80.0};

LabRecord labOfXyz(const ColorTriplex& xyz) {
    return labFromXyz(xyz, kWhiteD50);
}

// XYZ of the 16 ink combinations, indexed by the bits C=1, M=2, Y=4, K=8.
// Black and most overprints read as the same near-black; three of the
// black overprints as no light at all.
constexpr ColorTriplex kNearBlack{1.5, 1.5, 1.2};
constexpr ColorTriplex kNoLight{0.0, 0.0, 0.0};
constexpr ColorTriplex kInkCombination[16] = {
    {83.0, 85.0, 72.5},  // paper
    {10.0, 15.0, 50.0},  // C
    {30.0, 15.0, 20.0},  // M
    kNearBlack,          // CM
    {73.0, 80.0, 8.0},   // Y
    kNearBlack,          // CY
    kNearBlack,          // MY
    kNearBlack,          // CMY
    kNearBlack,          // K
    kNearBlack,          // CK
    kNearBlack,          // MK
    kNoLight,            // CMK
    kNearBlack,          // YK
    kNoLight,            // CYK
    kNoLight,            // MYK
    kNearBlack,          // CMYK
};

LabRecord labFromCmykBytes(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k) {
    const double cover[4] = {c / 255.0, m / 255.0, y / 255.0, k / 255.0};
    ColorTriplex sum{0.0, 0.0, 0.0};
    for (unsigned combination = 0; combination < 16; ++combination) {
        double weight = 1.0;
        for (unsigned ink = 0; ink < 4; ++ink) {
            weight *= (combination >> ink) & 1u ? cover[ink] : 1.0 - cover[ink];
        }
        sum.X += weight * kInkCombination[combination].X;
        sum.Y += weight * kInkCombination[combination].Y;
        sum.Z += weight * kInkCombination[combination].Z;
    }
    return labOfXyz(sum);
}

double signedByte(std::uint8_t byte) {
    return byte < 128 ? byte : byte - 256.0;
}

template <class W>
LabRecord labOf(const typename W::PixelColor& color) {
    const auto& ch = color.channels;
    if constexpr (std::is_same_v<W, WriteLAB>) {
        return {ch[0] / 2.55, signedByte(ch[1]), signedByte(ch[2])};
    } else if constexpr (std::is_same_v<W, WriteRGB>) {
        const int c0 = 255 - ch[0];
        const int m0 = 255 - ch[1];
        const int y0 = 255 - ch[2];
        const int k = std::min({c0, m0, y0});
        return labFromCmykBytes(static_cast<std::uint8_t>(c0 - k),
                                static_cast<std::uint8_t>(m0 - k),
                                static_cast<std::uint8_t>(y0 - k), static_cast<std::uint8_t>(k));
    } else {
        return labFromCmykBytes(ch[0], ch[1], ch[2], ch[3]);
    }
}

// True when a colour carries no cyan, magenta or black (yellow allowed): a
// mark between two such patches must be black to be seen at all. The extra
// inks of the multi-ink writers count as ink too.
template <class W>
bool freeOfCyanMagentaBlack(const typename W::PixelColor& color) {
    const auto& ch = color.channels;
    if constexpr (std::is_same_v<W, WriteLAB>) {
        return ch[0] == 255 && ch[1] == 0 && (ch[2] == 0 || ch[2] == 127);
    } else if constexpr (std::is_same_v<W, WriteRGB>) {
        return ch[0] == 255 && ch[1] == 255 && (ch[2] == 0 || ch[2] == 255);
    } else {
        if (ch[0] != 0 || ch[1] != 0 || ch[3] != 0) {
            return false;
        }
        for (std::size_t i = 4; i < ch.size(); ++i) {
            if (ch[i] != 255) {
                return false;
            }
        }
        return true;
    }
}

double deltaE76(const LabRecord& x, const LabRecord& y) {
    return GetDeltaE_CIE76(x.L, x.a, x.b, y.L, y.a, y.b);
}

// CIE 1994 weighted by the chroma of the first colour.
double deltaE94(const LabRecord& x, const LabRecord& y) {
    return GetDeltaE_CIE94(x.L, x.a, x.b, y.L, y.a, y.b);
}

// ---- Reference loading ----

template <class W>
std::vector<std::string> inkNamesOf(ColorMode mode, const CgatsReader& reader,
                                    const std::vector<typename W::PixelColor>& patches) {
    if constexpr (!std::is_same_v<W, WriteSpotColor>) {
        static_cast<void>(reader);
        static_cast<void>(patches);
        return processInkNames(mode);
    } else {
        std::size_t channels = static_cast<std::size_t>(
            std::clamp(static_cast<std::int64_t>(mode) - 99, std::int64_t{1}, std::int64_t{8}));
        if (!patches.empty() && patches[0].channelCount >= 1 && patches[0].channelCount <= 8) {
            channels = patches[0].channelCount;
        }
        std::vector<std::string> names;
        for (std::size_t i = 0; i < channels; ++i) {
            if (i < reader.channelNames.size() && !reader.channelNames[i].empty()) {
                names.push_back(reader.channelNames[i]);
            } else if (i < reader.spotNames.size() && !reader.spotNames[i].empty()) {
                names.push_back(reader.spotNames[i]);
            } else {
                names.push_back("Spot " + std::to_string(i + 1));
            }
        }
        return names;
    }
}

template <class W>
std::vector<typename W::PixelColor> readReference(ChartParams& params, CgatsReader& reader) {
    std::vector<typename W::PixelColor> patches;
    PatchLoader<W>::load(reader, params.refDataName, patches);
    params.channelNames = inkNamesOf<W>(params.colorMode, reader, patches);
    return patches;
}

}  // namespace

std::int32_t minimumPatchCount(IdMeasureInstrument instrument) {
    switch (instrument) {
        case MI_SPECTROLFP:
        case MI_SPECTROLFP_2:
        case MI_SPECTROSWING:
        case MI_SPECTROSWING_2:
        case MI_SPECTROLFP_3:
            return 8;
        default:
            return instrument >= 1 ? 6 : 0;
    }
}

std::vector<std::string> processInkNames(ColorMode mode) {
    std::vector<std::string> names;
    switch (mode) {
        case CM_CMYK:
            names = {"Cyan", "Magenta", "Yellow", "Black"};
            break;
        case CM_CMYKO:
            names = {"Cyan", "Magenta", "Yellow", "Black", "Orange"};
            break;
        case CM_CMYKOG:
        case CM_SIXCOLOR_6:
        case CM_SIXCOLOR_7:
            names = {"Cyan", "Magenta", "Yellow", "Black", "Orange", "Green"};
            break;
        case CM_CMYKRGB:
            names = {"Cyan", "Magenta", "Yellow", "Black", "Red", "Green", "Blue"};
            break;
        default:
            break;  // Lab and RGB pages have no inks; spot names come from the file
    }
    return names;
}

template <class W>
MeasureInstrument<W>::MeasureInstrument(const std::string& name) : name_(name) {}

template <class W>
MeasureInstrument<W>::~MeasureInstrument() = default;

template <class W>
void MeasureInstrument<W>::getPrintableArea(double out[2], const ChartParams& params) {
    double limits[8] = {};
    double leader[4] = {};
    getPageSizeLimits(limits, params);
    getStripLeader(leader, params);
    const double embedded = isPrinterEmbedded(params.instrument) ? 10.0 : 0.0;
    out[0] = std::min(params.pageHeight - embedded, limits[2]) - params.marginTop - leader[0] -
             leader[2] - params.marginBottom;
    out[1] = std::min(params.pageWidth - embedded, limits[3]) - params.marginLeft - leader[1] -
             leader[3] - params.marginRight;
}

template <class W>
typename MeasureInstrument<W>::Patch MeasureInstrument<W>::fillerColor(int, int) {
    return W::paperColor();
}

template <class W>
typename MeasureInstrument<W>::Patch MeasureInstrument<W>::fillerColorAlt(int, int) {
    return W::paperColor();
}

template <class W>
void MeasureInstrument<W>::computeLayoutFrame(ChartParams& params) {
    for (int i = 0; i < 4; ++i) {
        params.layoutFrame[i] = -1.0;
    }
    if (params.useWholePage) {
        params.layoutFrame[4] = params.pageHeight;
        params.layoutFrame[5] = params.pageWidth;
    } else if (!params.pages.empty()) {
        params.layoutFrame[4] = params.pages[0].height;
        params.layoutFrame[5] = params.pages[0].width;
    }
    // A page narrower than 29 mm cannot be fed; the old width is kept.
    if (!params.pages.empty() && params.layoutFrame[3] + 30.0 > params.pages[0].width) {
        params.layoutFrame[0] = params.pages[0].width;
        params.pages[0].width = params.layoutFrame[3] + 30.0;
    }
}

template <class W>
void MeasureInstrument<W>::requireValidPageSize(const ChartParams& params) {
    for (const double extent : {params.pageWidth, params.pageHeight}) {
        if (!std::isfinite(extent) || !(extent > 0.0) || extent > kMaxPageExtentMm) {
            fail(ERR_PAGE_SIZE);
        }
    }
}

template <class W>
void MeasureInstrument<W>::padToInstrumentMinimum(std::vector<Patch>& patches,
                                                  IdMeasureInstrument instrument) {
    const auto minimum = static_cast<std::size_t>(minimumPatchCount(instrument));
    while (patches.size() < minimum) {
        patches.push_back(W::paperColor());
    }
}

template <class W>
std::vector<typename MeasureInstrument<W>::Patch> MeasureInstrument<W>::loadReference(
    ChartParams& params) {
    CgatsReader reader;
    return readReference<W>(params, reader);
}

template <class W>
PageSpan MeasureInstrument<W>::pagesToDraw(const ChartParams& params, int page) {
    PageSpan span;
    const std::size_t pageCount = params.pages.size();
    if (page == -1) {
        span.endPage = pageCount;
        return span;
    }
    const std::size_t index =
        page < 0 ? pageCount : std::min(pageCount, static_cast<std::size_t>(page));
    std::int64_t strips = 0;
    std::int64_t patches = 0;
    for (std::size_t i = 0; i < index; ++i) {
        const std::int64_t pageStrips = std::max(0, params.pages[i].strips);
        strips += pageStrips;
        patches += pageStrips * std::max(0, params.pages[i].columns);
    }
    span.firstPage = index;
    span.endPage = index < pageCount ? index + 1 : pageCount;
    span.firstStripNumber = 1 + strips;
    span.firstPatchIndex = patches;
    return span;
}

template <class W>
std::uint32_t MeasureInstrument<W>::tenthsOf(double mm) {
    const double tenths = mm * 10.0;
    if (!(tenths > 0.0)) {
        return 0;
    }
    if (tenths >= 4294967295.0) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(tenths);
}

template <class W>
void MeasureInstrument<W>::initChartParams(ChartParams& params) {
    if (params.refDataName.empty()) {
        debugLog(kInitFormat, 0, 0, "exit initChartParams: refDataName is empty");
        return;
    }
    requireValidPageSize(params);

    // Phase 1: the reference and its keywords.
    CgatsReader reader;
    std::vector<Patch> patches = readReference<W>(params, reader);
    originalPatchCount_ = static_cast<std::int32_t>(patches.size());
    if (params.instrument >= 1) {
        padToInstrumentMinimum(patches, params.instrument);
    }
    patchCount_ = static_cast<std::int32_t>(patches.size());
    params.patchCount = patchCount_;
    if (patchCount_ < 1) {
        fail(ERR_ZERO_SETS);
    }
    if (reader.randomizedPatches != -1) {
        params.randomizedPatches = reader.randomizedPatches == 1;
    }
    if (reader.apertureSize != -1) {
        params.apertureSize = reader.apertureSize;
    }
    if (reader.isisXlFormat != -1) {
        params.isisXlFormat = reader.isisXlFormat == 1;
    }
    if (reader.lowres != -1) {
        params.lowRes = reader.lowres == 1;
    }
    if (reader.zebraRulerMode != -1) {
        params.zebraRulerMode = reader.zebraRulerMode;
    }
    if (reader.uvCutMode != -1) {
        params.uvCutMode = reader.uvCutMode;
    }
    if (params.qualityMode == 4) {
        params.qualityMode4 = true;
    }
    if (params.lowRes) {
        params.qualityMode = 2;
    } else if (params.apertureSize == 2) {
        params.qualityMode = 0;
    } else if (params.apertureSize == 6) {
        params.qualityMode = 1;
    } else if (params.apertureSize == 8) {
        params.qualityMode = 2;
    }
    zebraRulerMode_ = params.zebraRulerMode;

    // Phase 2: the instrument's geometry for the quality mode.
    double sizes[8] = {};
    double gaps[8] = {};
    getPatchSizes(sizes);
    getPatchGaps(gaps, params);
    MarginSet first;
    MarginSet second;
    MarginSet third;
    getPageMargins(first, second, third, params);
    // The (height, width) pair of sizes and gaps this quality mode uses.
    int pair = -1;
    switch (params.qualityMode) {
        case 0:
        case 3:
            pair = 0;
            break;
        case 1:
            pair = 4;
            break;
        case 2:
        case 4:
            pair = 6;
            break;
        default:
            break;
    }
    if (pair >= 0) {
        const MarginSet& margins = pair == 0 ? first : third;
        params.marginTop = margins.top;
        params.marginLeft = margins.left;
        params.marginBottom = margins.bottom;
        params.marginRight = margins.right;
        params.patchHeight = sizes[pair];
        params.patchWidth = sizes[pair + 1];
        params.gapHeight = gaps[pair];
        params.gapWidth = gaps[pair + 1];
    }
    double area[2] = {};
    getPrintableArea(area, params);
    const double height = area[0];
    const double width = area[1];
    if (!(width > 0.0) || !(height > 0.0)) {
        fail(ERR_PAGE_SIZE);
    }
    if ((params.patchWidth == 0.0 && params.gapWidth == 0.0) ||
        (params.patchHeight == 0.0 && params.gapHeight == 0.0)) {
        logError(kInitFormat, ERR_DIVISION_BY_ZERO);
        fail(ERR_DIVISION_BY_ZERO);
    }

    // Phase 3: grid and page count.
    Grid grid{layoutCount((params.gapHeight + height) / (params.gapHeight + params.patchHeight)),
              layoutCount((params.gapWidth + width) / (params.gapWidth + params.patchWidth))};
    if ((params.instrument == MI_ISIS || params.instrument == MI_ISISUV) && grid.cols > 0 &&
        grid.rows * grid.cols > 3000) {
        grid.rows = 3000 / grid.cols;
    }
    if (grid.rows < 1 || grid.cols < 1) {
        fail(ERR_PAGE_SIZE);  // the printable area holds no patch
    }
    const std::int64_t count = patchCount_;
    const Grid chosen =
        params.optimizeLayout
            ? leastWasteGrid(grid, count, static_cast<std::int64_t>(params.pages.size()))
            : grid;
    const std::int64_t perPage = std::min(count, chosen.rows * chosen.cols);
    const std::int64_t pageCount = ceilDiv(count, perPage);
    params.pages.resize(static_cast<std::size_t>(pageCount));

    // Phase 4: the patch stretched to fill the pages.
    const double pairHeight = sizes[pair < 0 ? 0 : pair];
    const double pairWidth = sizes[pair < 0 ? 1 : pair + 1];
    const double side =
        std::sqrt(static_cast<double>(pageCount) * width * height / static_cast<double>(count));
    if (pair == 6) {
        params.patchWidth = std::min(side, pairWidth);
        params.patchHeight = std::min(side, pairHeight);
    } else {
        params.patchWidth = std::min(side - params.gapWidth, pairWidth);
        params.patchHeight = std::min(side - params.gapHeight, pairHeight);
    }
    params.patchWidth = floorTenth(params.patchWidth);
    params.patchHeight = floorTenth(params.patchHeight);

    // Phase 5: columns of the first page.
    PageLayout& page0 = params.pages[0];
    const double colsNeeded =
        std::ceil(static_cast<double>(perPage) / static_cast<double>(chosen.rows));
    const double colsFit = width / (params.gapWidth + params.patchWidth);
    const double columns = std::max(colsNeeded, colsFit);
    std::int64_t columns0 = columns < static_cast<double>(count) ? layoutCount(columns) : count;
    const bool trim =
        count == perPage || (params.optimizeLayout && columns0 >= 1 && count % columns0 != 0);
    if (trim && count >= chosen.cols) {
        columns0 = leastWasteColumns(
            chosen.cols, std::max(chosen.cols / 2, static_cast<std::int64_t>(colsNeeded)), count);
    }
    if (columns0 < 1) {
        fail(ERR_PAGE_SIZE);
    }
    page0.columns = static_cast<std::int32_t>(columns0);

    // Phase 6: strips, final patch size and page extents.
    page0.strips = static_cast<std::int32_t>(
        layoutCount(std::min(std::ceil(static_cast<double>(count) / static_cast<double>(columns0) /
                                       static_cast<double>(pageCount)),
                             static_cast<double>(chosen.rows))));
    if (page0.strips < 1) {
        fail(ERR_PAGE_SIZE);
    }
    params.patchWidth = floorTenth(std::min(width / page0.columns - params.gapWidth, pairWidth));
    params.patchHeight = floorTenth(std::min(height / page0.strips - params.gapHeight, pairHeight));
    if (!(params.patchWidth > 0.0) || !(params.patchHeight > 0.0)) {
        fail(ERR_PAGE_SIZE);
    }
    fitFirstPage(params);
    finishPageList(params, pageCount);
    params.layoutReady = 1;
    getPatchSizes(sizes);
    getPatchGaps(gaps, params);
    params.stripCapacity = saturatedInt((width + gaps[1]) / (sizes[1] + gaps[1]));
}

// The first page's extents from its grid: leader, margins and one gap more
// than there are columns, clamped to the instrument's page limits.
template <class W>
void MeasureInstrument<W>::fitFirstPage(ChartParams& params) {
    double leader[4] = {};
    double limits[8] = {};
    getStripLeader(leader, params);
    getPageSizeLimits(limits, params);
    PageLayout& page0 = params.pages[0];
    const double width = leader[1] + params.marginLeft +
                         (params.patchWidth + params.gapWidth) * page0.columns + params.gapWidth +
                         params.marginRight + leader[3];
    const double height = (params.gapHeight + params.patchHeight) * page0.strips +
                          params.marginTop + leader[0] + params.marginBottom + leader[2];
    page0.width = ceilTenth(clampExtent(width, limits[1], limits[3]));
    page0.height = ceilTenth(clampExtent(height, limits[0], limits[2]));
}

template <class W>
void MeasureInstrument<W>::finishPageList(ChartParams& params, std::int64_t pageCount) {
    computeLayoutFrame(params);
    copyFirstPage(params, pageCount);
    dropEmptyPages(params);
}

template <class W>
void MeasureInstrument<W>::applyChartParams(const ChartParams& previous, ChartParams& current) {
    if (previous.randomizedPatches != current.randomizedPatches) {
        double gaps[8] = {};
        getPatchGaps(gaps, current);
        if (gaps[1] <= current.gapWidth) {
            return;
        }
        current.gapWidth = gaps[1];
    }
    const bool geometryChanged =
        previous.gapHeight != current.gapHeight || previous.gapWidth != current.gapWidth ||
        previous.patchHeight != current.patchHeight || previous.patchWidth != current.patchWidth ||
        previous.marginTop != current.marginTop || previous.marginLeft != current.marginLeft ||
        previous.marginBottom != current.marginBottom ||
        previous.marginRight != current.marginRight;
    if (!geometryChanged) {
        return;
    }
    const std::int64_t count = current.patchCount;
    if (count < 1) {
        fail(ERR_ZERO_SETS);
    }
    double area[2] = {};
    getPrintableArea(area, current);
    Grid grid{
        layoutCount((area[0] + current.gapHeight) / (current.patchHeight + current.gapHeight)),
        layoutCount((area[1] + current.gapWidth) / (current.patchWidth + current.gapWidth))};
    if (grid.rows < 1 || grid.cols < 1) {
        fail(ERR_PAGE_SIZE);
    }
    current.pages.resize(1);
    if (current.optimizeLayout) {
        grid = leastWasteGrid(grid, count, 1);
    }
    const std::int64_t capacity = std::min(count, grid.rows * grid.cols);
    const std::int64_t pageCount = ceilDiv(count, capacity);
    current.pages.resize(static_cast<std::size_t>(pageCount));
    current.patchWidth = floorTenth(current.patchWidth);
    current.patchHeight = floorTenth(current.patchHeight);

    const double perStrip =
        std::ceil(static_cast<double>(capacity) / static_cast<double>(grid.rows));
    const double fit = std::max(perStrip, area[1] / (current.gapWidth + current.patchWidth));
    std::int64_t columns = fit < static_cast<double>(count) ? layoutCount(fit) : count;
    if (current.optimizeLayout && columns >= 1 && count % columns > 0) {
        columns = grid.cols > count
                      ? count
                      : leastWasteColumns(
                            grid.cols, std::max(grid.cols / 2, static_cast<std::int64_t>(perStrip)),
                            count);
    }
    if (columns < 1) {
        fail(ERR_PAGE_SIZE);
    }
    PageLayout& page0 = current.pages[0];
    page0.columns = static_cast<std::int32_t>(columns);
    page0.strips = static_cast<std::int32_t>(
        layoutCount(std::min(static_cast<double>(grid.rows),
                             std::ceil(static_cast<double>(count) / static_cast<double>(columns) /
                                       static_cast<double>(pageCount)))));

    double leader[4] = {};
    double limits[8] = {};
    getStripLeader(leader, current);
    getPageSizeLimits(limits, current);
    const double width = leader[1] + current.marginLeft +
                         (current.gapWidth + current.patchWidth) * page0.columns +
                         current.gapWidth + current.marginRight + leader[3];
    const double height = leader[2] + (current.gapHeight + current.patchHeight) * page0.strips +
                          current.marginTop + leader[0] + current.marginBottom;
    page0.height = ceilTenth(clampExtent(height, limits[0], limits[2]));
    page0.width = ceilTenth(clampExtent(width, limits[1], limits[3]));
    finishPageList(current, pageCount);
    current.layoutReady = 1;
    current.stripCapacity =
        saturatedInt((current.gapWidth + area[1]) / (current.gapWidth + current.patchWidth));
}

template <class W>
void MeasureInstrument<W>::writeSideFiles(const ChartParams&, std::size_t) {}

template <class W>
void MeasureInstrument<W>::writeChart(ChartParams& params) {
    const std::string baseName = params.outputName;
    if (params.pages.empty()) {
        logError(kWriteFormat, ERR_EMPTY_PAGE_VECTOR);
        return;
    }
    if (baseName.empty()) {
        logError(kWriteFormat, ERR_INVALID_CHART_NAME);
        fail(ERR_INVALID_CHART_NAME);
    }
    const std::vector<std::string> pageNames = pageFileNames(baseName, params.pages.size());

    std::vector<Patch> patches = loadReference(params);
    if (patches.empty()) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    params.channelCount = 4;
    params.firstPageWidth = params.pages[0].width;
    params.firstPageHeight = params.pages[0].height;
    params.pageCount = static_cast<std::int32_t>(params.pages.size());
    if (!std::ifstream(params.refDataName, std::ios::binary)) {
        fail(ERR_OPEN_DATA);
    }
    params.instrumentShortName = instrumentShortName(params.instrument);

    // Pad to the instrument minimum, as the layout did, then to full strips
    // (or full pages when the layout was optimised), so no page runs short.
    if (params.instrument >= 1) {
        padToInstrumentMinimum(patches, params.instrument);
        const PageLayout& page0 = params.pages[0];
        const std::int64_t unit = params.optimizeLayout
                                      ? static_cast<std::int64_t>(page0.columns) * page0.strips
                                      : page0.columns;
        if (unit > kMaxPaddingUnit) {
            fail(ERR_PAGE_SIZE);
        }
        const bool zebra = params.instrument == MI_LUMO20 && params.zebraRulerMode == 1;
        const auto full = [&] { return static_cast<std::int64_t>(patches.size()) % unit == 0; };
        while (unit > 0 && !full()) {
            patches.push_back(W::paperColor());
            if (zebra && !full()) {
                patches.push_back(W::greyMarkerColor());
            }
        }
    }

    writeSideFiles(params, patches.size());

    chartIds_.clear();
    if (params.outputKind != 1) {
        params.outputName = pageNames[0];
        writePage(params, patches, -1);
        return;
    }
    std::size_t position = 0;
    for (std::size_t i = 0; i < params.pages.size(); ++i) {
        const PageLayout& page = params.pages[i];
        const std::int64_t capacity = std::max<std::int64_t>(
            0, static_cast<std::int64_t>(std::max(0, page.strips)) * std::max(0, page.columns));
        const std::size_t take = static_cast<std::size_t>(
            std::min<std::int64_t>(capacity, static_cast<std::int64_t>(patches.size() - position)));
        std::vector<Patch> pagePatches(
            patches.begin() + static_cast<std::ptrdiff_t>(position),
            patches.begin() + static_cast<std::ptrdiff_t>(position + take));
        position += take;
        params.outputName = pageNames[i];
        writePage(params, pagePatches, static_cast<int>(i));
    }
}

template <class W>
typename MeasureInstrument<W>::Patch MeasureInstrument<W>::markColorNearPaper(const Patch& c1,
                                                                              const Patch& c2) {
    if (freeOfCyanMagentaBlack<W>(c1) && freeOfCyanMagentaBlack<W>(c2)) {
        return W::blackColor();
    }
    const LabRecord paper = labOfXyz(kPaperNearPaper);
    if (deltaE76(labOf<W>(c1), paper) <= 15.0 && deltaE76(labOf<W>(c2), paper) <= 15.0) {
        return W::blackColor();
    }
    return W::paperColor();
}

template <class W>
typename MeasureInstrument<W>::Patch MeasureInstrument<W>::markColorByLightness(const Patch& c1,
                                                                                const Patch& c2) {
    const LabRecord paper = labOfXyz(kPaperLightness);
    const LabRecord lab1 = labOf<W>(c1);
    const LabRecord lab2 = labOf<W>(c2);
    if (deltaE94(lab1, paper) < 40.0 && deltaE94(lab2, paper) < 40.0 &&
        deltaE94(lab1, lab2) < 40.0) {
        return W::blackColor();
    }
    return lab1.L <= 75.0 && lab2.L <= 75.0 ? W::paperColor() : W::blackColor();
}

template <class W>
typename MeasureInstrument<W>::Patch MeasureInstrument<W>::markColorForLightPair(const Patch& c1,
                                                                                 const Patch& c2) {
    const LabRecord paper = labOfXyz(kPaperLightness);
    const LabRecord lab1 = labOf<W>(c1);
    const LabRecord lab2 = labOf<W>(c2);
    if (deltaE94(lab1, paper) < 20.0 && deltaE94(lab2, paper) < 20.0 &&
        deltaE94(lab1, lab2) < 50.0) {
        return W::blackColor();
    }
    return W::paperColor();
}

namespace {

std::string lowerHex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

void toUpper(std::string& text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
}

// The next value of the machine-wide chart counter (1 .. 255, then 1 again);
// a fresh or unusable counter file starts from `seed`.
std::uint8_t nextChartCounter(std::uint8_t seed) {
    const std::string directory = platform::tempDirectory();
    if (directory.empty()) {
        return seed;
    }
    const std::string path = directory + "qvnstcid.dat";
    std::uint8_t counter = seed;
    if (std::FILE* in = std::fopen(path.c_str(), "rb")) {
        const int c = std::fgetc(in);
        std::fclose(in);
        const int last = c == EOF ? 255 : c;
        counter = static_cast<std::uint8_t>((last < 255 ? last : 0) + 1);
    }
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fputc(counter, out);
        std::fclose(out);
    }
    return counter;
}

}  // namespace

std::string formatChartId(std::uint32_t address, std::uint8_t counter) {
    std::string id = lowerHex(address);
    while (id.size() < 8) {
        id += '0';
    }
    if (counter < 16) {
        id += '0';
    }
    id += lowerHex(counter);
    toUpper(id);
    return id;
}

template <class W>
void MeasureInstrument<W>::makeChartId(ChartParams& params) {
    // The address as the socket layer stores it: its first byte lowest.
    std::uint32_t address = 0;
    if (const auto bytes = platform::firstLocalIPv4()) {
        address = static_cast<std::uint32_t>((*bytes)[0]) |
                  static_cast<std::uint32_t>((*bytes)[1]) << 8 |
                  static_cast<std::uint32_t>((*bytes)[2]) << 16 |
                  static_cast<std::uint32_t>((*bytes)[3]) << 24;
    } else {
        address = static_cast<std::uint32_t>(std::rand());
    }
    const std::uint8_t counter = nextChartCounter(static_cast<std::uint8_t>(std::rand() & 255));
    params.chartId = formatChartId(address, counter);
    chartIds_.push_back(params.chartId);
}

template class MeasureInstrument<WriteCMYK>;
template class MeasureInstrument<WriteCMYKO>;
template class MeasureInstrument<WriteCMYKOG>;
template class MeasureInstrument<WriteCMYKRGB>;
template class MeasureInstrument<WriteLAB>;
template class MeasureInstrument<WriteRGB>;
template class MeasureInstrument<WriteSpotColor>;

}  // namespace GenChartLib
