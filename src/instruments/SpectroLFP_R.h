// Charts for the Barbieri Spectro LFP and Spectro Swing scanning tables
// (ids 28, 31, 32, 33): large-format sheets up to 1600 mm wide and 1000 mm
// high, 20 mm margins on every side, a plain grid of square patches (see
// instruments/BarbieriGrid.h). The device-control file "<chart>.dcf" goes
// beside the pages before any page is drawn; it counts every page as full as
// the first.
#ifndef ORVOCHART_INSTRUMENTS_SPECTROLFP_R_H
#define ORVOCHART_INSTRUMENTS_SPECTROLFP_R_H

#include <cstddef>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

template <class W>
class SpectroLFP_R : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit SpectroLFP_R(const std::string& name) : MeasureInstrument<W>(name) {}

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

extern template class SpectroLFP_R<WriteCMYK>;
extern template class SpectroLFP_R<WriteCMYKO>;
extern template class SpectroLFP_R<WriteCMYKOG>;
extern template class SpectroLFP_R<WriteCMYKRGB>;
extern template class SpectroLFP_R<WriteLAB>;
extern template class SpectroLFP_R<WriteRGB>;
extern template class SpectroLFP_R<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_SPECTROLFP_R_H
