// Charts for the i1iSis automatic chart reader, which pulls the sheet
// through itself: a black bar across the top tells it where the chart
// starts, a black diamond at both ends of every row lets it track the rows,
// and two arrows at the top show the feed direction. Ids 26 ("iSis") and 27
// ("iSisUV") give the same chart and the same device control block (the
// ".dcf" side file of reader settings), as nothing in the reader's handling
// of the sheet differs between them. Id 37 ("iSis 2 NET") writes no control
// block; its pages carry a printed chart-id code instead, in a band between
// the bar and the first row.
#ifndef ORVOCHART_INSTRUMENTS_ISIS_H
#define ORVOCHART_INSTRUMENTS_ISIS_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "instruments/TablePages.h"
#include "render/Writers.h"

namespace GenChartLib {

// Where a page puts its bar, rows, diamonds and code, in tenths of a
// millimetre from the page's top-left corner (every millimetre value
// truncated to tenths once).
struct ISisGeometry {
    static constexpr std::int64_t kBarHeight = 60;
    static constexpr std::int64_t kMarkerWidth = 50;
    static constexpr std::int64_t kMarkerHeight = 30;
    static constexpr std::int64_t kMarkerGap = 50;
    // Feed arrows stand 13 mm in from either side, their tips 0.5 mm below
    // the top edge.
    static constexpr std::int64_t kArrowInset = 130;
    static constexpr std::int64_t kArrowTipY = 5;
    // Code characters: two per column, the odd one above the even one.
    static constexpr std::int64_t kCodeColumnPitch = 50;
    static constexpr std::int64_t kCodeCellWidth = 40;
    static constexpr std::int64_t kCodeCellHeight = 60;
    static constexpr std::int64_t kEvenCodeBelowBar = 105;
    static constexpr std::int64_t kOddCodeBelowBar = 35;

    std::int64_t top = 0;
    std::int64_t left = 0;
    std::int64_t patchHeight = 0;
    std::int64_t patchWidth = 0;
    std::int64_t gapHeight = 0;
    std::int64_t gapWidth = 0;
    std::int64_t rowDistance = 0;  // from the bar to the first row

    static ISisGeometry fromParams(const ChartParams& params, double rowDistanceMm);

    std::int64_t gridLeft() const { return left + kMarkerWidth + kMarkerGap; }
    MarkRect topBar(std::int64_t columns) const {
        return {gridLeft(), top, columns * patchWidth, kBarHeight};
    }
    std::int64_t firstRowY() const { return top + kBarHeight + rowDistance; }
    std::int64_t patchX(std::int64_t column) const {
        return gridLeft() + column * (patchWidth + gapWidth);
    }
    std::int64_t patchY(std::int64_t row) const {
        return firstRowY() + row * (patchHeight + gapHeight);
    }
    // Diamonds: left corner on the middle of the row.
    std::int64_t diamondY(std::int64_t row) const {
        return firstRowY() + patchHeight / 2 + row * patchHeight;
    }
    std::int64_t leftDiamondX() const { return left; }
    std::int64_t rightDiamondX(std::int64_t columns) const {
        return left + columns * patchWidth + kMarkerWidth + 2 * kMarkerGap;
    }
    // Top-left corner of the cell of code character i.
    std::int64_t codeCellX(std::size_t i) const {
        return gridLeft() + static_cast<std::int64_t>(i / 2) * kCodeColumnPitch;
    }
    std::int64_t codeCellY(std::size_t i) const {
        return top + kBarHeight + (i % 2 == 0 ? kEvenCodeBelowBar : kOddCodeBelowBar);
    }
};

// A character of the chart-id code as bars and slanted bars.
struct CodeGlyph {
    struct Slant {
        std::int64_t x[4];
        std::int64_t y[4];
    };
    std::vector<MarkRect> bars;
    std::vector<Slant> slants;
};

// The segment glyph of a character the code can hold (0-9, A-F, X, '*'),
// upright in a cell of ISisGeometry::kCodeCellWidth x kCodeCellHeight with
// positions from the cell's top-left corner. Any other character (the blank
// that evens the length) is empty.
CodeGlyph codeGlyph(char character);
// The glyph turned 180 degrees within the cell whose top-left corner is
// (cellX, cellY): the reader sees the code upside down as the sheet enters.
CodeGlyph turnedIntoCell(const CodeGlyph& glyph, std::int64_t cellX, std::int64_t cellY);

// The text of the chart-id code of a page: its strips and columns, the patch
// width and height as max(0, trunc(4 x mm) - 24), each in two upper-case
// hexadecimal digits; "00EX"; the chart id; "0*"; the sum of the character
// codes so far in at least three decimal digits; a blank when the length is
// odd.
std::string chartIdCodeText(const PageLayout& layout, double patchWidthMm, double patchHeightMm,
                            const std::string& chartId);

// The device control block of ids 26 and 27: one line of reader settings in
// millimetres, ended by CR LF.
std::string deviceControlBlock(const ChartParams& params);
// The block's file: the output name up to its last "." (as the page files
// are named), then ".dcf".
std::string deviceControlFileName(const std::string& outputName);

template <class W>
class ISis : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit ISis(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` into its own TIFF file, or every page into one PDF
    // document (page -1). Id 37 makes one chart id per chart, on the first
    // page it draws.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    // The device control block, for every id but 37; the reader cannot
    // measure the chart without it.
    void writeSideFiles(const ChartParams& params, std::size_t patchCount) override;
};

extern template class ISis<WriteCMYK>;
extern template class ISis<WriteCMYKO>;
extern template class ISis<WriteCMYKOG>;
extern template class ISis<WriteCMYKRGB>;
extern template class ISis<WriteLAB>;
extern template class ISis<WriteRGB>;
extern template class ISis<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_ISIS_H
