// Strip charts for the Konica Minolta FD-5BT, a handheld instrument that
// reads one strip of patches in a pass. A strip reads: black opening patch,
// then per patch a black and a white half gap and the patch, then a black
// and a white half gap and the yellow closing patch; the strip with its two
// end patches is centred on the page, its number 20 mm to its left. Quality
// mode 3 makes a 52 x 85 mm card. No side file.
#ifndef ORVOCHART_INSTRUMENTS_KM_FDX_H
#define ORVOCHART_INSTRUMENTS_KM_FDX_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

struct HandheldStripGeometry;
struct StripStart;

// Where an FD-5BT strip's number stands and where its opening patch begins,
// in tenths from the page's left edge.
struct FdxStripPlacement {
    // On the card the number sits in the narrow margin, 9 mm left of the
    // strip, so the first measured patch ends up at the end of the strip
    // leader; a number outside 1.0 .. 5.0 mm goes to 1.5 mm.
    static StripStart onCard(const HandheldStripGeometry& geometry, std::int64_t leaderTenths);
    // On a page the strip and its two end patches are centred on the layout
    // width and the number stands 20 mm left of the strip, at least 6.0 mm
    // from the edge (the strip then moves right with it).
    static StripStart onPage(const HandheldStripGeometry& geometry, std::int64_t columns);
};

template <class W>
class KM_FDx : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit KM_FDx(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` into its own TIFF file (strip numbers running on from
    // the pages before it), or every page when the chart goes out as PDF.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    // Room for the opening and the closing patch with its gap at either end.
    void getStripLeader(double out[4], const ChartParams& params) override;
    // Padding beyond the strip ends reads as the end patches: black, yellow.
    Patch fillerColor(int patchesPerStrip, int patchIndex) override;
    Patch fillerColorAlt(int patchesPerStrip, int patchIndex) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    // A handheld strip is read patch by patch, so the layout keeps the
    // largest grid instead of searching for one that wastes fewer cells.
    void initChartParams(ChartParams& params) override;
};

extern template class KM_FDx<WriteCMYK>;
extern template class KM_FDx<WriteCMYKO>;
extern template class KM_FDx<WriteCMYKOG>;
extern template class KM_FDx<WriteCMYKRGB>;
extern template class KM_FDx<WriteLAB>;
extern template class KM_FDx<WriteRGB>;
extern template class KM_FDx<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_KM_FDX_H
