// Grid charts for the DTP70 automatic scanning spectrophotometer. A page is
// a grid of patch rows; every other row (the first, third, ...) has a black
// alignment bar of one patch size at each end, and two arrows at the top
// show the feed direction. The sheet width is one of the instrument's width
// classes and the grid with its bars is centred on it. Beside the pages the
// layout writes the target description (".dcf") that tells the instrument
// where the margins, the grid and its two alignment marks are.
#ifndef ORVOCHART_INSTRUMENTS_DTP70_H
#define ORVOCHART_INSTRUMENTS_DTP70_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/PdfPage.h"
#include "render/Writers.h"

namespace GenChartLib {

// Where a page puts its rows, bars and patches, in tenths of a millimetre
// from the page's top-left corner (every millimetre value truncated once).
struct Dtp70Geometry {
    std::uint32_t top = 0;
    std::uint32_t left = 0;  // x of the left alignment bar
    std::uint32_t patchHeight = 0;
    std::uint32_t patchWidth = 0;
    std::uint32_t gapHeight = 0;  // between rows
    std::uint32_t gapWidth = 0;   // between patches of a row, and before a bar

    static Dtp70Geometry fromParams(const ChartParams& params);

    std::uint32_t rowY(std::uint32_t row) const { return top + row * (patchHeight + gapHeight); }
    std::uint32_t columnPitch() const { return patchWidth + gapWidth; }
    // The left bar takes the first pitch, so column c is the (c + 1)-th.
    std::uint32_t patchX(std::uint32_t column) const { return left + (column + 1) * columnPitch(); }
    std::uint32_t rightBarX(std::uint32_t columns) const { return patchX(columns); }
    // Rows 0, 2, 4 ... carry the alignment bars.
    static bool rowHasBars(std::uint32_t row) { return row % 2 == 0; }
};

// The feed arrows: 13.0 mm in from either side, from 20.0 mm down to their
// tips 0.5 mm below the top edge.
struct Dtp70Arrow {
    static constexpr std::uint32_t kInsetX = 130;
    static constexpr std::uint32_t kTailY = 200;
    static constexpr std::uint32_t kTipY = 5;
    static constexpr std::uint32_t kShaftWidth = 10;
    static constexpr std::uint32_t kHeadLength = 40;
    static constexpr std::uint32_t kHeadWidth = 15;
};

// The sheet width class for a grid needing `neededMm` and the margins that
// centre the grid with its two bars on it.
struct Dtp70Sheet {
    double widthMm = 0.0;
    double sideMarginMm = 0.0;

    static Dtp70Sheet fit(double neededMm, std::int32_t columns, double patchWidthMm,
                          double gapWidthMm, double greatestWidthMm);
};

// The target description's bytes for a chart laid out in `params`, named
// `descriptor`.
std::string dtp70TargetDescription(const ChartParams& params, const std::string& descriptor);

template <class W>
class Dtp70 : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit Dtp70(const std::string& name) : MeasureInstrument<W>(name) {}

    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    void initChartParams(ChartParams& params) override;
    void applyChartParams(const ChartParams& previous, ChartParams& current) override;
    void writeSideFiles(const ChartParams& params, std::size_t patchCount) override;

  private:
    // Puts every page on its sheet width class and centres the grid.
    void fitSheet(ChartParams& params);
    void drawPage(PdfPage<W>& pdf, const Dtp70Geometry& geometry, std::uint32_t pageWidth,
                  const PageLayout& layout, const std::vector<Patch>& patches,
                  std::size_t& next) const;
};

extern template class Dtp70<WriteCMYK>;
extern template class Dtp70<WriteCMYKO>;
extern template class Dtp70<WriteCMYKOG>;
extern template class Dtp70<WriteCMYKRGB>;
extern template class Dtp70<WriteLAB>;
extern template class Dtp70<WriteRGB>;
extern template class Dtp70<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_DTP70_H
