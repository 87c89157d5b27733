// Charts for the i1iO scanning table, which moves an i1Pro over a sheet lying
// on it (factory names "IOPro2" and "IO"; the two give the same chart, as
// nothing in the table's reading of the sheet differs between them). The
// table is taught the grid by three reference corners: L-shaped marks at the
// top-left, bottom-left and bottom-right corners ("A", "B", "C"). Between two
// patches of a row lies a black bar half the gap wide, then paper; a row
// also has a bar at either end, except where a corner mark stands. A page of
// a single row has no corners, only the bars at both ends.
#ifndef ORVOCHART_INSTRUMENTS_IODEVICE_H
#define ORVOCHART_INSTRUMENTS_IODEVICE_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "instruments/TablePages.h"
#include "render/Writers.h"

namespace GenChartLib {

// Where a page puts its patches, bars and marks, in tenths of a millimetre
// from the page's top-left corner (every millimetre value truncated to
// tenths once).
struct IoGeometry {
    std::int64_t top = 0;
    std::int64_t left = 0;
    std::int64_t patchHeight = 0;
    std::int64_t patchWidth = 0;
    std::int64_t gapHeight = 0;
    std::int64_t gapWidth = 0;

    static IoGeometry fromParams(const ChartParams& params);

    std::int64_t columnPitch() const { return patchWidth + gapWidth; }
    std::int64_t rowPitch() const { return patchHeight + gapHeight; }
    std::int64_t barWidth() const { return gapWidth / 2; }
    std::int64_t patchX(std::int64_t column) const { return left + column * columnPitch(); }
    std::int64_t patchY(std::int64_t row) const { return top + row * rowPitch(); }
    // The right edge of the last patch of a row.
    std::int64_t rowRight(std::int64_t columns) const {
        return columns * columnPitch() - gapWidth + left;
    }
    // The bar right of patch `column`, touching it.
    std::int64_t barAfterPatchX(std::int64_t column) const { return patchX(column) + patchWidth; }
    std::int64_t leadingBarX() const { return left - barWidth(); }

    // The end bars of a row: none where a corner mark stands (the leading bar
    // of the first and last row, the trailing bar of the last row).
    static bool hasLeadingBar(std::int64_t row, std::int64_t rows) {
        return rows == 1 || (row > 0 && row < rows - 1);
    }
    static bool hasTrailingBar(std::int64_t row, std::int64_t rows) {
        return rows == 1 || row < rows - 1;
    }

    // L-shaped marks of 1.0 mm bars just outside the first patch, the first
    // patch of the last row and the last patch of the last row.
    std::vector<MarkRect> cornerMarks(std::int64_t rows, std::int64_t columns) const;
    std::vector<MarkLabel> cornerLabels(std::int64_t rows, std::int64_t columns) const;
};

template <class W>
class Io : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit Io(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` into its own TIFF file, or every page into one PDF
    // document (page -1).
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    // Keeps the largest grid, as the i1 layouts do, instead of searching
    // for one that wastes fewer cells.
    void initChartParams(ChartParams& params) override;
};

extern template class Io<WriteCMYK>;
extern template class Io<WriteCMYKO>;
extern template class Io<WriteCMYKOG>;
extern template class Io<WriteCMYKRGB>;
extern template class Io<WriteLAB>;
extern template class Io<WriteRGB>;
extern template class Io<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_IODEVICE_H
