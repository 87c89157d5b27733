// Charts for the iCColor handheld strip reader. A page is a gap-free grid of
// patches between two black position bars, a small one above the grid and a
// large one below it, by which the reader finds the grid. Beside the pages
// the layout writes a chart file (".csv", ini-style) that tells the reading
// software where the bars and the first and last patch are.
#ifndef ORVOCHART_INSTRUMENTS_ICCOLOR_H
#define ORVOCHART_INSTRUMENTS_ICCOLOR_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/PdfPage.h"
#include "render/Writers.h"

namespace GenChartLib {

// The position bars, in millimetres.
struct ICColorBars {
    static constexpr double kSmallHeightMm = 5.0;  // above the grid
    static constexpr double kLargeHeightMm = 7.0;  // below the grid
    static constexpr double kInsetMm = 5.0;        // each end inside the grid's edges
    static constexpr double kGapMm = 1.5;          // between a bar and the grid
};

// Where a page puts its bars and patches, in tenths of a millimetre from
// the top-left corner.
struct ICColorGeometry {
    std::uint32_t top = 0;   // y of the small bar
    std::uint32_t left = 0;  // x of the grid
    std::uint32_t patchHeight = 0;
    std::uint32_t patchWidth = 0;
    std::uint32_t gridWidth = 0;  // the first page's columns x patch width

    static ICColorGeometry fromParams(const ChartParams& params);

    std::uint32_t barX() const { return left + inset(); }
    // 0 when the grid leaves no room between the bar insets.
    std::uint32_t barWidth() const { return gridWidth > 2 * inset() ? gridWidth - 2 * inset() : 0; }
    std::uint32_t smallBarHeight() const { return tenths(ICColorBars::kSmallHeightMm); }
    std::uint32_t largeBarHeight() const { return tenths(ICColorBars::kLargeHeightMm); }
    std::uint32_t gridY() const {
        return top + tenths(ICColorBars::kGapMm + ICColorBars::kSmallHeightMm);
    }
    std::uint32_t rowY(std::uint32_t row) const { return gridY() + row * patchHeight; }
    std::uint32_t patchX(std::uint32_t column) const { return left + column * patchWidth; }
    std::uint32_t largeBarY(std::uint32_t rows) const {
        return rowY(rows) + tenths(ICColorBars::kGapMm);
    }

  private:
    static std::uint32_t tenths(double mm) { return static_cast<std::uint32_t>(mm * 10.0); }
    static std::uint32_t inset() { return tenths(ICColorBars::kInsetMm); }
};

// The chart file's bytes for a chart laid out in `params`.
std::string icColorChartFile(const ChartParams& params);

template <class W>
class ICColor : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit ICColor(const std::string& name) : MeasureInstrument<W>(name) {}

    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    void initChartParams(ChartParams& params) override;
    void writeSideFiles(const ChartParams& params, std::size_t patchCount) override;

  private:
    static void requireRoomForBars(const ChartParams& params);
    void drawPage(PdfPage<W>& pdf, const ICColorGeometry& geometry, const PageLayout& layout,
                  const std::vector<Patch>& patches, std::size_t& next) const;
};

extern template class ICColor<WriteCMYK>;
extern template class ICColor<WriteCMYKO>;
extern template class ICColor<WriteCMYKOG>;
extern template class ICColor<WriteCMYKRGB>;
extern template class ICColor<WriteLAB>;
extern template class ICColor<WriteRGB>;
extern template class ICColor<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_ICCOLOR_H
