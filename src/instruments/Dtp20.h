// Strip charts for the DTP20 handheld strip reader. The instrument knows the
// chart and every strip by colour codes: a header row above the first
// page's strips gives the column count, the patch count, the patch width and
// the gap, and every strip opens with its number as two code patches.
// Numbers are written in base 8, one octal digit a patch, each digit one of
// eight colours. Grey bars frame the strips on both sides.
#ifndef ORVOCHART_INSTRUMENTS_DTP20_H
#define ORVOCHART_INSTRUMENTS_DTP20_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "instruments/PdfChartPages.h"
#include "render/PdfPage.h"
#include "render/Writers.h"

namespace GenChartLib {

// A code colour in the terms of every writer: the CMYK inks of the printed
// code, the RGB it reads as, and the L*a*b* (D50) of that RGB colour.
struct Dtp20CodeColour {
    std::array<std::uint8_t, 4> cmyk;
    std::array<std::uint8_t, 3> rgb;
    double lightness;
    std::int8_t a;
    std::int8_t b;
};

// The colour of octal digit 0..7 (white, yellow, magenta, red, cyan, green,
// blue, black), and the grey of the bars.
const Dtp20CodeColour& dtp20DigitColour(unsigned digit);
const Dtp20CodeColour& dtp20BarColour();

// `value` as `digits` octal digits, most significant first.
std::vector<unsigned> octalDigits(std::uint32_t value, unsigned digits);

// The width code the header gives a patch width (0 for 6.5 mm).
unsigned dtp20WidthCode(double patchWidthMm);
// Whether the instrument takes patches of this width.
bool dtp20WidthAllowed(double patchWidthMm);
// The greatest allowed width below `mm` (mm itself when there is none), and
// the least one above (mm itself when there is none).
double dtp20WidthBelow(double mm);
double dtp20WidthAbove(double mm);

// Where a page puts its header, codes, patches and bars, in tenths of a
// millimetre from the top-left corner.
struct Dtp20Geometry {
    std::uint32_t top = 0;   // y of the header row
    std::uint32_t left = 0;  // x of the left grey bar
    std::uint32_t patchHeight = 0;
    std::uint32_t patchWidth = 0;
    std::uint32_t gapHeight = 0;
    std::uint32_t gapWidth = 0;
    std::uint32_t leftBarWidth = 0;
    std::uint32_t leadIn = 0;   // from the left bar to the strip code
    std::uint32_t leadOut = 0;  // from the last patch's pitch to the right bar

    static Dtp20Geometry fromParams(const ChartParams& params);

    std::uint32_t stripPitch() const { return patchHeight + gapHeight; }
    // The header row stands where a strip would; the strips follow it.
    std::uint32_t stripY(std::uint32_t strip) const { return top + (strip + 1) * stripPitch(); }
    // Slots of one patch width after the lead-in: the strip code's units
    // digit, its tens digit, an empty slot, then the patches.
    std::uint32_t codeSlotX(unsigned slot) const {
        return left + leftBarWidth + leadIn + slot * patchWidth;
    }
    std::uint32_t patchX(std::uint32_t column) const {
        return codeSlotX(3) + column * (patchWidth + gapWidth);
    }
    // Header elements are 6.0 mm wide, starting above the first patch.
    std::uint32_t headerX(unsigned element) const { return patchX(0) + element * 60; }
    std::uint32_t rightBarX(std::uint32_t columns) const { return patchX(columns) + leadOut; }
    // Strip numbers stand 20 mm left of the grey bar, or at the page's edge.
    std::uint32_t numberX() const { return left > 200 ? left - 200 : 0; }
};

template <class W>
class Dtp20 : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit Dtp20(const std::string& name) : MeasureInstrument<W>(name) {}

    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    void initChartParams(ChartParams& params) override;
    void applyChartParams(const ChartParams& previous, ChartParams& current) override;

    // A code colour as this writer paints it.
    static Patch inkOf(const Dtp20CodeColour& colour);

  private:
    void fitPageWidth(ChartParams& params);
    void drawHeader(PdfPage<W>& pdf, const Dtp20Geometry& geometry, const ChartParams& params,
                    std::uint32_t pageWidth) const;
    void drawPage(PdfPage<W>& pdf, const Dtp20Geometry& geometry, const PdfChartPage& at,
                  const PageLayout& layout, const std::vector<Patch>& patches,
                  std::size_t& next) const;
};

extern template class Dtp20<WriteCMYK>;
extern template class Dtp20<WriteCMYKO>;
extern template class Dtp20<WriteCMYKOG>;
extern template class Dtp20<WriteCMYKRGB>;
extern template class Dtp20<WriteLAB>;
extern template class Dtp20<WriteRGB>;
extern template class Dtp20<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_DTP20_H
