// The low-resolution i1 chart (factory name "EyeOne_LowRes"): large patches
// for an instrument that reads a strip in one sweep. A strip reads: black
// opening patch, a white gap, then every patch followed by a separator a
// full gap wide in black or paper, whichever stands out against the patch
// and its neighbour, and the yellow closing patch.
#ifndef ORVOCHART_INSTRUMENTS_EYEONVE_H
#define ORVOCHART_INSTRUMENTS_EYEONVE_H

#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

template <class W>
class EyeOneV : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit EyeOneV(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` into its own TIFF file (strip numbers running on from
    // the pages before it), or every page when the chart goes out as PDF.
    // With useWholePage the layout is first centred on the whole page and
    // the new margins and page size are written back into `params`.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    // Room for an end patch and a gap at either end of a strip.
    void getStripLeader(double out[4], const ChartParams& params) override;
    Patch fillerColor(int patchesPerStrip, int patchIndex) override;
    Patch fillerColorAlt(int patchesPerStrip, int patchIndex) override;
    // The greatest page lies the way round the least page does.
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
};

extern template class EyeOneV<WriteCMYK>;
extern template class EyeOneV<WriteCMYKO>;
extern template class EyeOneV<WriteCMYKOG>;
extern template class EyeOneV<WriteCMYKRGB>;
extern template class EyeOneV<WriteLAB>;
extern template class EyeOneV<WriteRGB>;
extern template class EyeOneV<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_EYEONVE_H
