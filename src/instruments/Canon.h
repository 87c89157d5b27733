// Charts for the spectrophotometer built into Canon printers. The page is
// a stack of strips like the SpectroProofer's, which the unit's users know:
// a black start bar, paper, up to 50 patches 7 mm along the strip and 15 mm
// across with no gaps, paper and a black end bar; strips 15 mm apart. Every
// page file carries a command text with everything the unit needs to find
// every patch without reading the image: the first patch's position, the
// grid, the patch size and gaps, and which page of how many it is. The
// printer measures the page itself, so there is no page frame.
#ifndef ORVOCHART_INSTRUMENTS_CANON_H
#define ORVOCHART_INSTRUMENTS_CANON_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

// Where a strip puts its bars and patches, in tenths of a millimetre from
// the page's top-left corner.
struct CanonStripGeometry {
    static constexpr std::int64_t kStartBarX = 200;
    static constexpr std::int64_t kStartBarWidth = 10;
    static constexpr std::int64_t kStartBarSpace = 60;
    static constexpr std::int64_t kPatchWidth = 70;
    static constexpr std::int64_t kPatchHeight = 150;  // also the strip pitch
    static constexpr std::int64_t kEndBarSpace = 40;
    static constexpr std::int64_t kEndBarWidth = 30;
    static constexpr std::int64_t kTrailingPaper = 150;
    static constexpr std::int64_t kTop = 250;     // above the first strip
    static constexpr std::int64_t kBottom = 300;  // below the last strip
    static constexpr std::int64_t kMaxColumns = 50;

    static constexpr std::int64_t firstPatchX() {
        return kStartBarX + kStartBarWidth + kStartBarSpace;
    }
    static constexpr std::int64_t patchX(std::int64_t column) {
        return firstPatchX() + column * kPatchWidth;
    }
    static constexpr std::int64_t endBarX(std::int64_t columns) {
        return patchX(columns) + kEndBarSpace;
    }
    static constexpr std::int64_t pageWidth(std::int64_t columns) {
        return endBarX(columns) + kEndBarWidth + kTrailingPaper;
    }
    static constexpr std::int64_t stripY(std::int64_t strip) { return kTop + strip * kPatchHeight; }
    static constexpr std::int64_t pageHeight(std::int64_t strips) {
        return stripY(strips) + kBottom;
    }
    // Patches per strip and strips per page that fit the usable page; 0 or
    // less when none does.
    static constexpr std::int64_t maxColumns(std::int64_t usableWidth) {
        const std::int64_t fit = (usableWidth - pageWidth(0)) / kPatchWidth;
        return fit < kMaxColumns ? fit : kMaxColumns;
    }
    static constexpr std::int64_t maxStrips(std::int64_t usableHeight) {
        return (usableHeight - pageHeight(0)) / kPatchHeight;
    }
};

// The command text of page `page` (0-based) of `pageCount`.
std::string canonCommandText(std::int32_t columns, std::int32_t strips, std::size_t page,
                             std::size_t pageCount);

template <class W>
class Canon : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit Canon(const std::string& name) : MeasureInstrument<W>(name) {}

    // As many strips of at most 50 patches as the sheet less 10 mm holds,
    // the patches spread evenly over them, further pages of the first
    // page's size. -2355 when not one patch fits.
    void initChartParams(ChartParams& params) override;
    // Draws page `page` into its own TIFF file, or every page into one PDF
    // document (-1).
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    // Least: one strip of one patch; greatest: the sheet asked for.
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
};

extern template class Canon<WriteCMYK>;
extern template class Canon<WriteCMYKO>;
extern template class Canon<WriteCMYKOG>;
extern template class Canon<WriteCMYKRGB>;
extern template class Canon<WriteLAB>;
extern template class Canon<WriteRGB>;
extern template class Canon<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_CANON_H
