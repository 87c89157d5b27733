// Charts for the spectrophotometer built into the HP Designjet Z printers
// ("HP Designjet Z embedded UVcut", id 40, and "HP Designjet Z embedded",
// id 41; both lay out alike). Every strip of patches is framed by a start
// and an end mark (a bar, two slanted bars, a bar) whose height grows with
// the strip's length, so the unit finds the strip and its scale; the grid
// size goes to the printer as a command text in the page file (TIFF tag
// 270, the PDF document's command text). The printer measures the page
// itself, so there is no page frame. Pages reach almost 1 x 3.6 m: they are
// rendered row by row and streamed, never held whole.
#ifndef ORVOCHART_INSTRUMENTS_HPZ_H
#define ORVOCHART_INSTRUMENTS_HPZ_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

// Where a strip puts its marks and patches, in tenths of a millimetre from
// the page's top-left corner. The mark's lengths grow with the strip: they
// are worked out in thousandths of a tenth and truncated once, so they
// come out exact where the millimetre values are decimal.
struct HpZStripGeometry {
    static constexpr std::int64_t kMarkBarWidth = 15;
    static constexpr std::int64_t kMarkOffset = 30;  // paper before and after a mark
    static constexpr std::int64_t kMarkBaseHeight = 60;
    static constexpr std::int64_t kMarkSlopePerMille = 8;  // height per length of strip
    static constexpr std::int64_t kMarkSlant = 4;          // divides the slant of a slanted bar
    static constexpr std::int64_t kMilli = 1000;

    std::int64_t top = 0;
    std::int64_t left = 0;
    std::int64_t patchHeight = 0;
    std::int64_t patchWidth = 0;
    std::int64_t gapHeight = 0;
    std::int64_t gapWidth = 0;
    std::int64_t columns = 0;  // of the page drawn

    static HpZStripGeometry fromParams(const ChartParams& params, std::int32_t columns);

    std::int64_t patchPitch() const { return patchWidth + gapWidth; }
    std::int64_t stripPitch() const { return patchHeight + gapHeight; }
    std::int64_t stripY(std::int64_t strip) const { return top + strip * stripPitch(); }

    // The mark's height, in thousandths of a tenth, for a strip of
    // `columns` patches `pitch` apart.
    static std::int64_t markHeightMilli(std::int64_t pitch, std::int64_t columns) {
        return kMarkBaseHeight * kMilli + kMarkSlopePerMille * pitch * columns;
    }
    // From one slanted bar to the next, in thousandths of a tenth.
    static std::int64_t slantStepMilli(std::int64_t heightMilli) {
        return kMarkBarWidth * kMilli * 3 / 2 + heightMilli / kMarkSlant;
    }
    // The room one mark takes at most, in thousandths of a tenth.
    static std::int64_t markRoomMilli(std::int64_t heightMilli) {
        return 3 * slantStepMilli(heightMilli) + (2 * kMarkOffset + kMarkBarWidth) * kMilli;
    }

    std::int64_t markHeight() const { return markHeightMilli(patchPitch(), columns) / kMilli; }
    // How far a slanted bar leans over its height.
    std::int64_t markSlantRun() const {
        return markHeightMilli(patchPitch(), columns) / kMarkSlant / kMilli;
    }
    std::int64_t slantStep() const {
        return slantStepMilli(markHeightMilli(patchPitch(), columns)) / kMilli;
    }
    // Paper between the second slanted bar's step and the last bar.
    std::int64_t lastBarShift() const {
        return markHeightMilli(patchPitch(), columns) / (2 * kMarkSlant) / kMilli;
    }
    // The mark is centred on the strip's patches; one taller than the strip
    // starts at the strip's top.
    std::int64_t markY(std::int64_t strip) const {
        const std::int64_t centring = (patchHeight - markHeight()) / 2;
        return stripY(strip) + (centring > 0 ? centring : 0);
    }
    // The parts of a mark that begins at x.
    std::int64_t firstBarX(std::int64_t x) const { return x + kMarkOffset; }
    std::int64_t slantedBarX(std::int64_t x, std::int64_t bar) const {
        return firstBarX(x) + 2 * kMarkBarWidth + bar * slantStep();
    }
    std::int64_t lastBarX(std::int64_t x) const { return slantedBarX(x, 2) + lastBarShift(); }
    std::int64_t markEnd(std::int64_t x) const { return lastBarX(x) + kMarkBarWidth + kMarkOffset; }
    std::int64_t patchX(std::int64_t column) const { return markEnd(left) + column * patchPitch(); }
    // The end mark follows the full strip, however many patches it holds.
    std::int64_t endMarkX() const { return patchX(columns); }
};

// The command text of a page: columns and patches of a full page.
std::string hpzCommandText(std::int32_t columns, std::int32_t strips);

template <class W>
class HpZ : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit HpZ(const std::string& name) : MeasureInstrument<W>(name) {}

    // The base layout with this unit's geometry; a chart without reference
    // is logged and left alone.
    void initChartParams(ChartParams& params) override;
    // Draws page `page` into its own TIFF file, or every page into one PDF
    // document (-1); each page stops at the end of its own patch list.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
};

extern template class HpZ<WriteCMYK>;
extern template class HpZ<WriteCMYKO>;
extern template class HpZ<WriteCMYKOG>;
extern template class HpZ<WriteCMYKRGB>;
extern template class HpZ<WriteLAB>;
extern template class HpZ<WriteRGB>;
extern template class HpZ<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_HPZ_H
