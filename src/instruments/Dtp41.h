// Strip charts for the DTP41 and DTP45 strip-reading spectrophotometers. The
// paper is pulled through the instrument one strip at a time, so a page is a
// stack of horizontal strips: each strip starts with a black bar and then
// repeats (patch, white half gap, black half gap), and every strip has an
// arrow and its number in the left margin. The DTP45 differs only in its
// margins. Both draw through a PdfPage and store the document under the page
// file's name together with a JPEG preview of every page.
#ifndef ORVOCHART_INSTRUMENTS_DTP41_H
#define ORVOCHART_INSTRUMENTS_DTP41_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Geometry.h"
#include "render/PdfPage.h"
#include "render/Writers.h"

namespace GenChartLib {

// Where a strip puts its bars, patches and labels, in tenths of a millimetre
// from the page's top-left corner. Every millimetre value of the layout is
// truncated to tenths once, so positions add up exactly.
struct DtpStripGeometry {
    std::uint32_t top = 0;          // y of the first strip
    std::uint32_t left = 0;         // x where every strip begins (margin + leader)
    std::uint32_t patchHeight = 0;  // height of a strip
    std::uint32_t patchWidth = 0;
    std::uint32_t gapHeight = 0;  // between neighbouring strips
    std::uint32_t halfGap = 0;    // half the gap along a strip: the bar width

    // `leftExtraMm` is the strip leader's width-start value.
    static DtpStripGeometry fromParams(const ChartParams& params, double leftExtraMm);

    // Distance from one strip to the next.
    std::uint32_t stripPitch() const { return patchHeight + gapHeight; }
    // Distance from one patch to the next along a strip.
    std::uint32_t patchPeriod() const { return patchWidth + 2 * halfGap; }
    std::uint32_t stripY(std::uint32_t strip) const { return top + strip * stripPitch(); }
    // The black bar that opens a strip; a white half gap lies before it.
    std::uint32_t leadingBarX() const { return left + halfGap; }
    std::uint32_t patchX(std::uint32_t column) const {
        return left + 2 * halfGap + column * patchPeriod();
    }
    // The black bar after a patch, a white half gap to its right.
    std::uint32_t barAfterPatchX(std::uint32_t column) const {
        return patchX(column) + patchWidth + halfGap;
    }
    // From the leading bar to the end of the last bar.
    std::uint32_t stripWidth(std::uint32_t columns) const {
        return halfGap * (2 * columns + 1) + columns * patchWidth;
    }
    // The strip number and the arrow's tail sit in the middle of the pitch;
    // the arrow's tip points at the middle of the patch row.
    std::uint32_t labelY(std::uint32_t strip) const { return stripY(strip) + stripPitch() / 2; }
    std::uint32_t arrowTipY(std::uint32_t strip) const { return stripY(strip) + patchHeight / 2; }
};

// Fixed marks in the left margin, in tenths from the left edge.
struct DtpStripLabel {
    static constexpr std::uint32_t kArrowTailX = 70;
    static constexpr std::uint32_t kArrowTipX = 5;
    static constexpr std::uint32_t kArrowShaftWidth = 6;
    static constexpr std::uint32_t kArrowHeadLength = 30;
    static constexpr std::uint32_t kArrowHeadWidth = 12;
    static constexpr std::uint32_t kNumberX = 80;
};

// Page code the PDF writer keeps with every strip-chart page.
constexpr std::int32_t kDtpPageCode = -17;

template <class W>
class Dtp41 : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit Dtp41(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` alone (its strip numbers running on from the pages
    // before it), or every page into one document when `page` is -1.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;

  private:
    // Draws the strips of one page from patches[next] on; throws
    // std::out_of_range when the list runs out first.
    void drawStrips(PdfPage<W>& pdf, const DtpStripGeometry& geometry, const PageLayout& layout,
                    const std::vector<Patch>& patches, std::size_t& next) const;
    void drawStripLabels(PdfPage<W>& pdf, const DtpStripGeometry& geometry, std::uint32_t strips,
                         std::uint64_t firstNumber) const;
};

template <class W>
class Dtp45 : public Dtp41<W> {
  public:
    explicit Dtp45(const std::string& name) : Dtp41<W>(name) {}

    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
};

extern template class Dtp41<WriteCMYK>;
extern template class Dtp41<WriteCMYKO>;
extern template class Dtp41<WriteCMYKOG>;
extern template class Dtp41<WriteCMYKRGB>;
extern template class Dtp41<WriteLAB>;
extern template class Dtp41<WriteRGB>;
extern template class Dtp41<WriteSpotColor>;

extern template class Dtp45<WriteCMYK>;
extern template class Dtp45<WriteCMYKO>;
extern template class Dtp45<WriteCMYKOG>;
extern template class Dtp45<WriteCMYKRGB>;
extern template class Dtp45<WriteLAB>;
extern template class Dtp45<WriteRGB>;
extern template class Dtp45<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_DTP41_H
