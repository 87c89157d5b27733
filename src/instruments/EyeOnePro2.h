// The i1Pro 2 chart (factory names "EyeOnePro2" and "Lumo-20"). Its strips
// put the black half gap just before each patch: black opening patch, then
// per patch a white and a black half gap and the patch, then a white and a
// black half gap and the yellow closing patch.
//
// With a zebra ruler (reference keyword "ZEBRA_RULER_MODE" not 0) the ruler
// itself tells the instrument where the strip lies: no opening and no closing
// patch, no strip leader, and the low-resolution patches are narrower.
// Low-resolution charts (keyword "LOWRES") separate neighbouring patches by a
// full gap in black or paper, whichever stands out against the two patches,
// and close every strip with a yellow patch.
#ifndef ORVOCHART_INSTRUMENTS_EYEONEPRO2_H
#define ORVOCHART_INSTRUMENTS_EYEONEPRO2_H

#include <string>
#include <vector>

#include "instruments/EyeOne.h"

namespace GenChartLib {

template <class W>
class EyeOnePro2 : public EyeOne<W> {
  public:
    using Patch = typename EyeOne<W>::Patch;

    explicit EyeOnePro2(const std::string& name) : EyeOne<W>(name) {}

    // Draws page `page` into its own TIFF file (strip numbers running on from
    // the pages before it), or every page when the chart goes out as PDF.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    // No leader with a zebra ruler: the strip has no end patches.
    void getStripLeader(double out[4], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;

  private:
    bool zebraRuler() const { return this->zebraRulerMode() != 0; }
};

extern template class EyeOnePro2<WriteCMYK>;
extern template class EyeOnePro2<WriteCMYKO>;
extern template class EyeOnePro2<WriteCMYKOG>;
extern template class EyeOnePro2<WriteCMYKRGB>;
extern template class EyeOnePro2<WriteLAB>;
extern template class EyeOnePro2<WriteRGB>;
extern template class EyeOnePro2<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_EYEONEPRO2_H
