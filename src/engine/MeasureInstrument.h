// The abstract base of every chart layout. One template, instantiated once per
// colour writer W, holds what all instrument layouts share: the layout search
// from page size, instrument geometry and reference file (initChartParams),
// the page loop that writes the chart (writeChart), the re-fit after a
// parameter change (applyChartParams), the chart id and the mark colours.
// Instrument classes derive with the same W and supply page drawing and their
// geometry tables.
//
// Lengths are millimetres in doubles; a length "floored to 0.1 mm" is
// floor(x * 10.0) / 10.0 and "ceiled" is ceil(x * 10.0) / 10.0. Failures are
// thrown as eColorCtrlErrors values.
#ifndef ORVOCHART_ENGINE_MEASUREINSTRUMENT_H
#define ORVOCHART_ENGINE_MEASUREINSTRUMENT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/ChartObject.h"
#include "render/Writers.h"

namespace GenChartLib {

// The pages one writePage call draws, and where they sit in the whole chart.
// writeChart calls writePage once per page with that page's patches (page
// index i), or once with every patch (page index -1); layouts that loop over
// pages use this instead of assuming the list starts at the first page.
struct PageSpan {
    std::size_t firstPage = 0;          // index into ChartParams::pages
    std::size_t endPage = 0;            // one past the last page to draw
    std::int64_t firstStripNumber = 1;  // 1-based number of the first strip drawn
    std::int64_t firstPatchIndex = 0;   // chart-wide index of patches[0]
};

// The three margin sets of an instrument: one per group of quality modes.
struct MarginSet {
    double top = 0.0;
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
};

template <class W>
class MeasureInstrument : public ChartObject {
  public:
    using Writer = W;
    using Patch = typename W::PixelColor;

    explicit MeasureInstrument(const std::string& name);
    ~MeasureInstrument() override;

    // Draws and writes one page (page index) or the whole chart (-1).
    virtual void writePage(ChartParams& params, std::vector<Patch>& patches, int page) = 0;
    // Lengths added before and after the patch area: height start, width
    // start, height end, width end.
    virtual void getStripLeader(double out[4], const ChartParams& params) = 0;
    // Usable extents of a page: out[0] along the height axis, out[1] along
    // the width axis.
    virtual void getPrintableArea(double out[2], const ChartParams& params);
    // Colours assumed beyond the ends of a strip; paper in the base.
    virtual Patch fillerColor(int patchesPerStrip, int patchIndex);
    virtual Patch fillerColorAlt(int patchesPerStrip, int patchIndex);
    // Fills ChartParams::layoutFrame and widens a first page below 29 mm.
    virtual void computeLayoutFrame(ChartParams& params);

    // Least height, least width, greatest height, greatest width; the last
    // four values are for layouts that need more and are 0 otherwise.
    virtual void getPageSizeLimits(double out[8], const ChartParams& params) = 0;
    // Four (height, width) pairs: quality modes 0/3, unused, 1, 2/4.
    virtual void getPatchSizes(double out[8]) = 0;
    // Gaps in the same four (height, width) pairs.
    virtual void getPatchGaps(double out[8], const ChartParams& params) = 0;
    // Three margin sets: modes 0/3, unused here, modes 1/2/4.
    virtual void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                                const ChartParams& params) = 0;

    // Writes the side files the instrument's software reads beside the pages
    // (none in the base). writeChart calls it once the chart has pages and
    // its patches are read and padded (`patchCount` of them), before any
    // page is drawn; a side file that cannot be written throws, so no page
    // of a chart without it is made. Side files go through writeSideFile
    // (engine/SideFile.h).
    virtual void writeSideFiles(const ChartParams& params, std::size_t patchCount);

    void initChartParams(ChartParams& params) override;
    void writeChart(ChartParams& params) override;
    void applyChartParams(const ChartParams& previous, ChartParams& current) override;

    // Black or paper for a mark drawn between two patches.
    virtual Patch markColorNearPaper(const Patch& c1, const Patch& c2);
    virtual Patch markColorByLightness(const Patch& c1, const Patch& c2);
    virtual Patch markColorForLightPair(const Patch& c1, const Patch& c2);

    // Sets params.chartId to a new id and records it in chartIds().
    virtual void makeChartId(ChartParams& params);

    const std::string& chartName() const { return name_; }
    const std::vector<std::string>& chartIds() const { return chartIds_; }
    // Patches after padding to the instrument minimum, and before it.
    std::int32_t patchCount() const { return patchCount_; }
    std::int32_t originalPatchCount() const { return originalPatchCount_; }
    std::int32_t zebraRulerMode() const { return zebraRulerMode_; }

    // Reads the reference into W's patch colours and puts the page's ink
    // names into params.channelNames.
    static std::vector<Patch> loadReference(ChartParams& params);
    // Which pages a writePage call with this page index draws.
    static PageSpan pagesToDraw(const ChartParams& params, int page);
    // A length in whole tenths of a millimetre (truncated); negative, NaN and
    // out-of-range lengths give 0 or the largest value instead of undefined
    // behaviour.
    static std::uint32_t tenthsOf(double mm);

  protected:
    // Throws -2355 unless both page extents are finite and above 0.
    static void requireValidPageSize(const ChartParams& params);
    // Appends paper patches until the instrument's minimum count is reached
    // (6, or 8 for the Barbieri ids 28, 29, 31-33); none without instrument.
    static void padToInstrumentMinimum(std::vector<Patch>& patches, IdMeasureInstrument instrument);

    std::string name_;
    std::vector<std::string> chartIds_;
    std::int32_t patchCount_ = 0;
    std::int32_t originalPatchCount_ = 0;
    std::int32_t zebraRulerMode_ = 0;

  private:
    void fitFirstPage(ChartParams& params);
    void finishPageList(ChartParams& params, std::int64_t pageCount);
};

// A chart id: the address in hexadecimal (lower digits first as the socket
// layer stores it, zeros appended up to 8 digits), then the counter in two
// hexadecimal digits, all upper case.
std::string formatChartId(std::uint32_t address, std::uint8_t counter);

// The minimum number of patches a chart for this instrument holds.
std::int32_t minimumPatchCount(IdMeasureInstrument instrument);

// Ink names of a page in channel order for the fixed colour modes; empty for
// spot modes, whose names come from the reference.
std::vector<std::string> processInkNames(ColorMode mode);

extern template class MeasureInstrument<WriteCMYK>;
extern template class MeasureInstrument<WriteCMYKO>;
extern template class MeasureInstrument<WriteCMYKOG>;
extern template class MeasureInstrument<WriteCMYKRGB>;
extern template class MeasureInstrument<WriteLAB>;
extern template class MeasureInstrument<WriteRGB>;
extern template class MeasureInstrument<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_ENGINE_MEASUREINSTRUMENT_H
