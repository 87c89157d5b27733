// Charts for the SpectroScan scanning table, which finds the patch grid by
// reference corners. A page of several rows carries L-shaped corner marks at
// the top-left, top-right and bottom-right corners of the grid ("A", "B",
// "C"; the bottom-left corner has none); a page of a single row is closed by
// a bracket at either end ("A", "B"). Patches touch, or are separated by
// plain paper: there are no bars between them, and no side file.
#ifndef ORVOCHART_INSTRUMENTS_SPECTROSCAN_H
#define ORVOCHART_INSTRUMENTS_SPECTROSCAN_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "instruments/TablePages.h"
#include "render/Writers.h"

namespace GenChartLib {

// Where a page puts its patches and marks, in tenths of a millimetre from the
// page's top-left corner (every millimetre value truncated to tenths once).
struct SpectroScanGeometry {
    std::int64_t top = 0;
    std::int64_t left = 0;
    std::int64_t patchHeight = 0;
    std::int64_t patchWidth = 0;
    std::int64_t gapHeight = 0;
    std::int64_t gapWidth = 0;

    static SpectroScanGeometry fromParams(const ChartParams& params);

    std::int64_t columnPitch() const { return patchWidth + gapWidth; }
    std::int64_t rowPitch() const { return patchHeight + gapHeight; }
    std::int64_t patchX(std::int64_t column) const { return left + column * columnPitch(); }
    std::int64_t patchY(std::int64_t row) const { return top + row * rowPitch(); }
    // The right edge of the last patch of a row.
    std::int64_t rowRight(std::int64_t columns) const {
        return columns * columnPitch() - gapWidth + left;
    }
    // The bottom edge of the last row.
    std::int64_t gridBottom(std::int64_t rows) const { return rows * rowPitch() - gapHeight + top; }
    // "A" and "B" stand level with the middle of the first row.
    std::int64_t firstRowLabelY() const { return top + patchHeight - patchHeight / 2; }

    // Two brackets of 0.8 mm bars reaching 1.4 mm above and below the row.
    std::vector<MarkRect> singleRowBrackets(std::int64_t columns) const;
    std::vector<MarkLabel> singleRowLabels(std::int64_t columns) const;
    // Corner marks at the top-left, top-right and bottom-right of the grid.
    std::vector<MarkRect> cornerMarks(std::int64_t rows, std::int64_t columns) const;
    std::vector<MarkLabel> cornerLabels(std::int64_t rows, std::int64_t columns) const;
};

template <class W>
class SpectroScan : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit SpectroScan(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` into its own TIFF file, or every page into one PDF
    // document (page -1).
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
};

extern template class SpectroScan<WriteCMYK>;
extern template class SpectroScan<WriteCMYKO>;
extern template class SpectroScan<WriteCMYKOG>;
extern template class SpectroScan<WriteCMYKRGB>;
extern template class SpectroScan<WriteLAB>;
extern template class SpectroScan<WriteRGB>;
extern template class SpectroScan<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_SPECTROSCAN_H
