// What the layouts for table and sheet-fed readers (SpectroScan, IoDevice,
// ISis) share: the black marks that tell the reader where the grid lies,
// given as plain lists of rectangles and labels in tenths of a millimetre
// from the page's top-left corner, and the loop that draws the pages of one
// writePage call onto one ChartPage.
#ifndef ORVOCHART_INSTRUMENTS_TABLEPAGES_H
#define ORVOCHART_INSTRUMENTS_TABLEPAGES_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "base/ChartParams.h"
#include "instruments/EyeOneStrips.h"
#include "render/ChartPage.h"

namespace GenChartLib {

// A black bar or the arm of a corner mark.
struct MarkRect {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// A letter naming a reference corner; text exists on PDF pages only.
struct MarkLabel {
    const char* text = "";
    std::int64_t x = 0;
    std::int64_t y = 0;
};

constexpr std::uint32_t kMarkLabelSize = 30;

// Bars and marks are drawn without the patch flag: the printer must not
// treat them as measured colour.
template <class W>
void drawMarks(ChartPage<W>& page, const std::vector<MarkRect>& marks) {
    for (const MarkRect& m : marks) {
        page.fillRectPlain({pagePosition(m.x), pagePosition(m.y)}, pagePosition(m.width),
                           pagePosition(m.height), W::blackColor());
    }
}

template <class W>
void drawMarkLabels(ChartPage<W>& page, const std::vector<MarkLabel>& labels) {
    for (const MarkLabel& l : labels) {
        page.drawLabel(l.text, pagePosition(l.x), pagePosition(l.y), kMarkLabelSize,
                       W::blackColor());
    }
}

// The code the PDF writer keeps with a table page, as with the i1 pages: the
// card code in quality mode 3, else the whole-sheet or the strip-page code.
inline std::int32_t tablePageCode(const ChartParams& params) {
    if (params.qualityMode == kCardQualityMode) {
        return kCardPageCode;
    }
    return params.useWholePage ? kWholePageCode : kStripPageCode;
}

// Patch `k` of the list; a list that runs out throws like an index past its
// end.
template <class Patch>
const Patch& patchAt(const std::vector<Patch>& patches, std::size_t k) {
    if (k >= patches.size()) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    return patches[k];
}

// Draws the pages of one writePage call (the page asked for on a TIFF page,
// every page into one PDF document) on a ChartPage of widthTenths x
// heightTenths and finishes it. drawPage(chartPage, layoutOfPage, next) draws
// one page from patch `next` on and advances it.
template <class W, class DrawPage>
void drawTablePages(ChartParams& params, const std::vector<typename W::PixelColor>& patches,
                    int page, std::int64_t widthTenths, std::int64_t heightTenths,
                    std::int32_t pageCode, DrawPage drawPage) {
    const PageSpan span = handheldPagesToDraw<W>(params, page);
    const int channels = static_cast<int>(W::channelCountOf(patches.front()));
    ChartPage<W> chartPage(params, channels, pagePosition(widthTenths), pagePosition(heightTenths));
    std::size_t next = 0;
    for (std::size_t i = span.firstPage; i < span.endPage; ++i) {
        chartPage.newPage(static_cast<double>(widthTenths) / 10.0,
                          static_cast<double>(heightTenths) / 10.0, pageCode);
        drawPage(chartPage, params.pages[i], next);
    }
    chartPage.finishPage();
}

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_TABLEPAGES_H
