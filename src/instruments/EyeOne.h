// Charts for the i1Pro handheld spectrophotometers, which are drawn along a
// ruler over one strip (row) of patches at a time. A strip opens with a black
// patch and closes with a yellow one, so the instrument knows where the
// measured patches begin and end; the strip number stands in the left margin.
//
// EyeOne<W> holds the geometry the family shares and never draws a page
// itself: EyeOneRev1 (the first i1Pro generation and its relatives) and
// EyeOnePro2 derive from it and draw. EyeOneV, the low-resolution i1 chart,
// has geometry of its own (instruments/EyeOnVe.h).
#ifndef ORVOCHART_INSTRUMENTS_EYEONE_H
#define ORVOCHART_INSTRUMENTS_EYEONE_H

#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

template <class W>
class EyeOne : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit EyeOne(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws nothing; only an empty patch list is reported.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    // Room for the opening and the closing patch at either end of a strip.
    void getStripLeader(double out[4], const ChartParams& params) override;
    // Padding patches are black, or yellow, like the ends of a strip.
    Patch fillerColor(int patchesPerStrip, int patchIndex) override;
    Patch fillerColorAlt(int patchesPerStrip, int patchIndex) override;
    // In quality mode 3 the chart is a fixed 52 x 85 mm card.
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
    // A handheld strip is read patch by patch, so the layout keeps the
    // largest grid instead of searching for one that wastes fewer cells.
    void initChartParams(ChartParams& params) override;

  protected:
    // The leader's length for this class's fifth patch-size value.
    double stripLeadMm(const ChartParams& params);
};

extern template class EyeOne<WriteCMYK>;
extern template class EyeOne<WriteCMYKO>;
extern template class EyeOne<WriteCMYKOG>;
extern template class EyeOne<WriteCMYKRGB>;
extern template class EyeOne<WriteLAB>;
extern template class EyeOne<WriteRGB>;
extern template class EyeOne<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_EYEONE_H
