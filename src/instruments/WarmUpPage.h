// A page covered with the chart's patch colours, printed before the chart to
// settle the printer. It has no measuring geometry of its own: 10 mm patches,
// no gaps, no margins, and it is always written as a PDF page. Instrument ids
// without a layout of their own get it.
#ifndef ORVOCHART_INSTRUMENTS_WARMUPPAGE_H
#define ORVOCHART_INSTRUMENTS_WARMUPPAGE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Geometry.h"
#include "render/Writers.h"

namespace GenChartLib {

// How the patch list is repeated over a warm-up page, in tenths of a
// millimetre. A line holds `blocks` times the strip's columns, centred on
// the page. The list is gone through in passes of blocks x strips times the
// whole list; even passes run backwards (last patch first), odd passes
// forwards. A pass starts on a new line and wraps onto the next one when the
// line is full, and lines fill the page down to its bottom edge. With one
// strip a pass is exactly one line.
struct WarmUpGrid {
    std::uint32_t pageWidth = 0;
    std::uint32_t pageHeight = 0;
    std::uint32_t patchWidth = 0;
    std::uint32_t patchHeight = 0;
    std::uint32_t columns = 0;  // of the first page entry
    std::uint32_t strips = 0;   // of the first page entry

    static WarmUpGrid fromParams(const ChartParams& params);

    // Repeats of one strip's width that fit across the page.
    std::uint32_t blocks() const;
    std::uint32_t patchesPerLine() const { return blocks() * columns; }
    std::uint32_t lineCount() const { return patchHeight == 0 ? 0 : pageHeight / patchHeight; }
    // x of the first patch of every line: the line centred on the page.
    std::uint32_t lineLeft() const;
    // Most patches the page can take.
    std::uint64_t capacity() const {
        return static_cast<std::uint64_t>(lineCount()) * patchesPerLine();
    }

    // Calls `draw` with the top-left corner and the list index of every
    // patch of the page, line by line from the top, left to right.
    void forEachCell(std::size_t listLength,
                     const std::function<void(Point, std::size_t)>& draw) const;
};

// Pages that take more patches than this are refused (-2355) rather than
// handed to the PDF writer; 10 mm patches reach it only on pages over 20 m
// square.
constexpr std::uint64_t kMaxWarmUpCells = 4000000;

template <class W>
class WarmUpPage : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit WarmUpPage(const std::string& name) : MeasureInstrument<W>(name) {}

    // Writes one PDF page repeating `patches`; the page index is not used.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    // A warm-up page is never optimised, described or previewed.
    void initChartParams(ChartParams& params) override;
};

// Built for every writer; the factory offers none for CMYK plus orange.
extern template class WarmUpPage<WriteCMYK>;
extern template class WarmUpPage<WriteCMYKO>;
extern template class WarmUpPage<WriteCMYKOG>;
extern template class WarmUpPage<WriteCMYKRGB>;
extern template class WarmUpPage<WriteLAB>;
extern template class WarmUpPage<WriteRGB>;
extern template class WarmUpPage<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_WARMUPPAGE_H
