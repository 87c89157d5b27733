// Charts for the Barbieri SpectroPad scanning table (id 34): sheets up to
// A3 either way round, 15 mm margins on every side, a plain grid of square
// patches (see instruments/BarbieriGrid.h). The device-control file
// "<chart>.dcf" goes beside the pages before any page is drawn; it counts
// the last page by its own grid.
#ifndef ORVOCHART_INSTRUMENTS_SPECTROPAD_H
#define ORVOCHART_INSTRUMENTS_SPECTROPAD_H

#include <cstddef>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

template <class W>
class SpectroPad : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit SpectroPad(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` into its own TIFF file (strip numbers running on from
    // the pages before it), or every page when the chart goes out as PDF.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    // The strip numbers stand in the margin: no leader.
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    // The base layout (full pages, the control file's counts exact), then
    // widened to the least target width.
    void initChartParams(ChartParams& params) override;
    // The device-control file.
    void writeSideFiles(const ChartParams& params, std::size_t patchCount) override;
};

extern template class SpectroPad<WriteCMYK>;
extern template class SpectroPad<WriteCMYKO>;
extern template class SpectroPad<WriteCMYKOG>;
extern template class SpectroPad<WriteCMYKRGB>;
extern template class SpectroPad<WriteLAB>;
extern template class SpectroPad<WriteRGB>;
extern template class SpectroPad<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_SPECTROPAD_H
