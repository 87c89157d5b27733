// What the i1 layouts (EyeOneRev1, EyeOnePro2, EyeOneV) share: the page
// limits of a handheld strip chart, where a strip's number and its first
// mark go, and the strip patterns themselves. Positions are tenths of a
// millimetre from the page's top-left corner; every millimetre value of the
// layout is truncated to tenths once, so positions add up exactly.
#ifndef ORVOCHART_INSTRUMENTS_EYEONESTRIPS_H
#define ORVOCHART_INSTRUMENTS_EYEONESTRIPS_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/ChartPage.h"
#include "render/Geometry.h"
#include "render/Writers.h"

namespace GenChartLib {

// Quality mode 3 makes a business card: no margins above and below the
// strips, a narrow left margin for the strip numbers.
constexpr std::int32_t kCardQualityMode = 3;
constexpr double kCardStripGapMm = 0.5;
constexpr MarginSet kCardMargins{0.0, 8.0, 0.0, 6.5};
constexpr double kCardHeightMm = 52.0;
constexpr double kCardWidthMm = 85.0;

// The ruler of the handheld instruments takes pages up to this size.
constexpr double kHandheldGreatestHeightMm = 420.0;
constexpr double kHandheldGreatestWidthMm = 280.0;

// The PDF page codes of the family.
constexpr std::int32_t kWholePageCode = 1;
constexpr std::int32_t kCardPageCode = 0;
constexpr std::int32_t kStripPageCode = 15;
constexpr std::int32_t kLowResPageCode = -17;

// Where a number goes when the layout would put it left of the page.
constexpr std::uint32_t kFallbackNumberX = 10;

// The least page: one patch with a gap on either side inside the quality
// mode 0 margins, with the strip leader, whatever mode is chosen.
template <class W>
void leastPageExtents(MeasureInstrument<W>& layout, const ChartParams& params, double& heightMm,
                      double& widthMm) {
    MarginSet first;
    MarginSet second;
    MarginSet third;
    layout.getPageMargins(first, second, third, params);
    double sizes[8];
    double gaps[8];
    double leader[4];
    layout.getPatchSizes(sizes);
    layout.getPatchGaps(gaps, params);
    layout.getStripLeader(leader, params);
    heightMm = first.top + sizes[0] + 2.0 * gaps[0] + first.bottom + leader[0] + leader[2];
    widthMm = first.left + sizes[1] + 2.0 * gaps[1] + first.right + leader[1] + leader[3];
}

// Limits of EyeOne and its subclasses: the card in quality mode 3,
// otherwise the least page up to the ruler's greatest page.
template <class W>
void handheldPageSizeLimits(MeasureInstrument<W>& layout, const ChartParams& params,
                            double out[8]) {
    if (params.qualityMode == kCardQualityMode) {
        out[0] = out[2] = kCardHeightMm;
        out[1] = out[3] = kCardWidthMm;
    } else {
        leastPageExtents(layout, params, out[0], out[1]);
        out[2] = kHandheldGreatestHeightMm;
        out[3] = kHandheldGreatestWidthMm;
    }
    out[4] = out[5] = out[6] = out[7] = 0.0;
}

// outputKind of charts written as one TIFF file per page.
constexpr std::int32_t kTiffOutput = 1;

// The pages one writePage call draws. A TIFF file holds one page: the one
// asked for, with its own strip count (a last page may have fewer strips).
// A PDF document holds every page of the span. A page index past the page
// list throws std::out_of_range like an index past its end.
template <class W>
PageSpan handheldPagesToDraw(const ChartParams& params, int page) {
    PageSpan span = MeasureInstrument<W>::pagesToDraw(params, page);
    if (span.firstPage >= params.pages.size()) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    if (params.outputKind == kTiffOutput) {
        span.endPage = span.firstPage + 1;
    }
    return span;
}

// The layout's lengths in tenths, and the page a strip is drawn on.
struct HandheldStripGeometry {
    std::int64_t top = 0;   // y of the first strip
    std::int64_t left = 0;  // the left margin
    std::int64_t patchHeight = 0;
    std::int64_t patchWidth = 0;
    std::int64_t gapHeight = 0;     // between neighbouring strips
    std::int64_t gapWidth = 0;      // between neighbouring patches
    std::int64_t layoutWidth = 0;   // of the first page entry
    std::int64_t layoutHeight = 0;  // of the first page entry

    static HandheldStripGeometry fromParams(const ChartParams& params);

    std::int64_t halfGap() const { return gapWidth / 2; }
    std::int64_t stripPitch() const { return patchHeight + gapHeight; }
    std::int64_t stripY(std::int64_t strip) const { return top + strip * stripPitch(); }
    // Strip numbers stand on the middle of the strip pitch.
    std::int64_t labelY(std::int64_t strip) const { return stripY(strip) + stripPitch() / 2; }
};

// The page the full-resolution strips of EyeOneRev1 and EyeOnePro2 are
// drawn on, in tenths: the whole sheet when the layout asks for it, else the
// first page entry; and the code the PDF writer keeps with it.
struct HandheldPage {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int32_t code = 0;
    bool card = false;  // quality mode 3

    static HandheldPage of(const ChartParams& params, const HandheldStripGeometry& geometry);
};

// Where a strip's number stands and where its first mark begins.
struct StripStart {
    std::int64_t numberX = 0;
    std::int64_t numberBoxHeight = 0;
    std::int64_t x = 0;  // left edge of the strip's first mark
};

// The full-resolution i1 strips. On the card (quality mode 3) the number sits
// in the narrow margin and the strip starts 9 mm right of it, which puts the
// first measured patch at the end of the strip leader; a number that would
// leave the card margin goes to 1.5 mm. Elsewhere the number stands 20 mm left
// of the strip start (15 mm when the strips nearly fill the page), at least
// 1.0 mm from the edge.
StripStart fullResolutionStripStart(const HandheldStripGeometry& geometry, std::int64_t pageWidth,
                                    std::int64_t columns, bool card, std::int64_t leadTenths);

// The low-resolution strips: the number 20 mm left of the leader's end, less
// one patch and one gap, and the strip `startOffset` right of it. A number
// that would fall left of the page is drawn 1.0 mm from the edge; the strip
// stays where it is.
StripStart lowResolutionStripStart(const HandheldStripGeometry& geometry, std::int64_t leadTenths,
                                   std::int64_t startOffset);

// Draws strips of patches in measuring order onto one page, taking the next
// patch from the list each time; a list that runs out throws
// std::out_of_range like an index past its end.
template <class W>
class StripPainter {
  public:
    using Patch = typename W::PixelColor;

    StripPainter(ChartPage<W>& page, MeasureInstrument<W>& layout,
                 const HandheldStripGeometry& geometry, const std::vector<Patch>& patches)
        : page_(page), layout_(layout), g_(geometry), patches_(patches) {}

    // Black opening patch; per patch a black then a white half gap and the
    // patch; a black and a white half gap and the yellow closing patch.
    void barThenGapStrip(std::int64_t x, std::int64_t y, std::int64_t columns);
    // Black opening patch; per patch a white then a black half gap and the
    // patch; a white and a black half gap and the yellow closing patch.
    void gapThenBarStrip(std::int64_t x, std::int64_t y, std::int64_t columns);
    // For a zebra ruler: per patch a white then a black half gap and the
    // patch, then a white and a black half gap; no end patches.
    void zebraStrip(std::int64_t x, std::int64_t y, std::int64_t columns);
    // Black opening patch (unless left out) and a white gap, then every patch
    // followed by a separator a full gap wide in black or paper, whichever
    // stands out against the patch and the next one (the yellow closing
    // patch after the last), then the yellow closing patch.
    void contrastStrip(std::int64_t x, std::int64_t y, std::int64_t columns, bool openingPatch);
    // No end patches: a black bar a full gap wide, then every patch followed
    // by a bar a full gap wide, black between two light or mixed patches and
    // paper between two dark ones; the last bar black.
    void lightnessBarStrip(std::int64_t x, std::int64_t y, std::int64_t columns);

    void stripNumber(const StripStart& start, std::int64_t y, std::uint32_t number);

    std::size_t patchesUsed() const { return next_; }

  private:
    const Patch& peek(std::size_t offset) const;
    const Patch& take();
    void patch(std::int64_t x, std::int64_t y, const Patch& color);
    void bar(std::int64_t x, std::int64_t y, std::int64_t width, const Patch& color);

    ChartPage<W>& page_;
    MeasureInstrument<W>& layout_;
    HandheldStripGeometry g_;
    const std::vector<Patch>& patches_;
    std::size_t next_ = 0;
};

// Draws the pages of one writePage call onto one ChartPage of pageWidth x
// pageHeight tenths and finishes it. drawStrip(painter, strip, columns,
// stripNumber) draws strip `strip` of the current page; strip numbers run on
// across pages from the span's first.
template <class W, class DrawStrip>
void drawHandheldPages(ChartParams& params, const std::vector<typename W::PixelColor>& patches,
                       int page, MeasureInstrument<W>& layout,
                       const HandheldStripGeometry& geometry, std::int64_t pageWidth,
                       std::int64_t pageHeight, std::int32_t pageCode, DrawStrip drawStrip);

// A layout length in millimetres as the whole tenths the page is drawn in.
inline std::int64_t layoutTenths(double mm) {
    return MeasureInstrument<WriteCMYK>::tenthsOf(mm);
}

// The tenths of a position or length handed to the page; a position left of
// the page (never made by a valid layout) is clipped to its edge.
inline std::uint32_t pagePosition(std::int64_t tenths) {
    if (tenths < 0) {
        return 0;
    }
    if (tenths > static_cast<std::int64_t>(UINT32_MAX)) {
        return UINT32_MAX;
    }
    return static_cast<std::uint32_t>(tenths);
}

template <class W>
const typename StripPainter<W>::Patch& StripPainter<W>::peek(std::size_t offset) const {
    if (next_ + offset >= patches_.size()) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    return patches_[next_ + offset];
}

template <class W>
const typename StripPainter<W>::Patch& StripPainter<W>::take() {
    const Patch& color = peek(0);
    ++next_;
    return color;
}

template <class W>
void StripPainter<W>::patch(std::int64_t x, std::int64_t y, const Patch& color) {
    page_.fillRect({pagePosition(x), pagePosition(y)}, pagePosition(g_.patchWidth),
                   pagePosition(g_.patchHeight), color);
}

template <class W>
void StripPainter<W>::bar(std::int64_t x, std::int64_t y, std::int64_t width, const Patch& color) {
    page_.fillRectPlain({pagePosition(x), pagePosition(y)}, pagePosition(width),
                        pagePosition(g_.patchHeight), color);
}

template <class W>
void StripPainter<W>::barThenGapStrip(std::int64_t x, std::int64_t y, std::int64_t columns) {
    const Patch black = W::blackColor();
    patch(x, y, black);
    for (std::int64_t c = 0; c < columns; ++c) {
        x += g_.patchWidth;
        bar(x, y, g_.halfGap(), black);
        x += g_.gapWidth;
        patch(x, y, take());
    }
    x += g_.patchWidth;
    bar(x, y, g_.halfGap(), black);
    x += g_.gapWidth;
    patch(x, y, W::yellowColor());
}

template <class W>
void StripPainter<W>::gapThenBarStrip(std::int64_t x, std::int64_t y, std::int64_t columns) {
    const Patch black = W::blackColor();
    const std::int64_t half = g_.halfGap();
    patch(x, y, black);
    for (std::int64_t c = 0; c < columns; ++c) {
        x += g_.patchWidth + half;
        bar(x, y, half, black);
        x += half;
        patch(x, y, take());
    }
    x += g_.patchWidth + half;
    bar(x, y, half, black);
    x += half;
    patch(x, y, W::yellowColor());
}

template <class W>
void StripPainter<W>::zebraStrip(std::int64_t x, std::int64_t y, std::int64_t columns) {
    const Patch black = W::blackColor();
    const std::int64_t half = g_.halfGap();
    for (std::int64_t c = 0; c < columns; ++c) {
        x += half;
        bar(x, y, half, black);
        x += half;
        patch(x, y, take());
        x += g_.patchWidth;
    }
    x += half;
    bar(x, y, half, black);
}

template <class W>
void StripPainter<W>::contrastStrip(std::int64_t x, std::int64_t y, std::int64_t columns,
                                    bool openingPatch) {
    if (openingPatch) {
        patch(x, y, W::blackColor());
        x += g_.patchWidth;
    }
    const Patch yellow = W::yellowColor();
    for (std::int64_t c = 0; c < columns; ++c) {
        x += g_.gapWidth;
        const Patch& current = take();
        patch(x, y, current);
        x += g_.patchWidth;
        const Patch& following = c + 1 < columns ? peek(0) : yellow;
        page_.fillRect({pagePosition(x), pagePosition(y)}, pagePosition(g_.gapWidth),
                       pagePosition(g_.patchHeight),
                       layout_.markColorNearPaper(current, following));
    }
    x += g_.gapWidth;
    patch(x, y, yellow);
}

template <class W>
void StripPainter<W>::lightnessBarStrip(std::int64_t x, std::int64_t y, std::int64_t columns) {
    const Patch black = W::blackColor();
    bar(x, y, g_.gapWidth, black);
    x += g_.gapWidth;
    for (std::int64_t c = 0; c < columns; ++c) {
        const Patch& current = take();
        patch(x, y, current);
        x += g_.patchWidth;
        bar(x, y, g_.gapWidth,
            c + 1 < columns ? layout_.markColorByLightness(current, peek(0)) : black);
        x += g_.gapWidth;
    }
}

template <class W>
void StripPainter<W>::stripNumber(const StripStart& start, std::int64_t y, std::uint32_t number) {
    page_.drawNumber({pagePosition(start.numberX), pagePosition(y)},
                     pagePosition(start.numberBoxHeight), number, W::blackColor());
}

template <class W, class DrawStrip>
void drawHandheldPages(ChartParams& params, const std::vector<typename W::PixelColor>& patches,
                       int page, MeasureInstrument<W>& layout,
                       const HandheldStripGeometry& geometry, std::int64_t pageWidth,
                       std::int64_t pageHeight, std::int32_t pageCode, DrawStrip drawStrip) {
    const PageSpan span = handheldPagesToDraw<W>(params, page);
    const int channels = static_cast<int>(W::channelCountOf(patches.front()));
    ChartPage<W> chartPage(params, channels, pagePosition(pageWidth), pagePosition(pageHeight));
    StripPainter<W> painter(chartPage, layout, geometry, patches);
    std::int64_t stripNumber = span.firstStripNumber;
    for (std::size_t i = span.firstPage; i < span.endPage; ++i) {
        chartPage.newPage(static_cast<double>(pageWidth) / 10.0,
                          static_cast<double>(pageHeight) / 10.0, pageCode);
        const PageLayout& layoutOfPage = params.pages[i];
        for (std::int64_t strip = 0; strip < layoutOfPage.strips; ++strip) {
            drawStrip(painter, strip, std::int64_t{layoutOfPage.columns},
                      pagePosition(stripNumber));
            ++stripNumber;
        }
    }
    chartPage.finishPage();
}

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_EYEONESTRIPS_H
