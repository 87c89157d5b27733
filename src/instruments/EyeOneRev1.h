// The i1Pro chart of the first instrument generation (factory names
// "EyeOne", "QuillEye" and "Lumo-10"). A strip reads: black opening patch,
// then per patch a black and a white half gap and the patch, then a black
// and a white half gap and the yellow closing patch. Low-resolution charts
// (reference keyword "LOWRES") separate neighbouring patches by a full gap
// in black or paper, whichever stands out against the two patches.
#ifndef ORVOCHART_INSTRUMENTS_EYEONEREV1_H
#define ORVOCHART_INSTRUMENTS_EYEONEREV1_H

#include <string>
#include <vector>

#include "instruments/EyeOne.h"

namespace GenChartLib {

template <class W>
class EyeOneRev1 : public EyeOne<W> {
  public:
    using Patch = typename EyeOne<W>::Patch;

    explicit EyeOneRev1(const std::string& name) : EyeOne<W>(name) {}

    // Draws page `page` into its own TIFF file (strip numbers running on from
    // the pages before it), or every page when the chart goes out as PDF.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;
};

extern template class EyeOneRev1<WriteCMYK>;
extern template class EyeOneRev1<WriteCMYKO>;
extern template class EyeOneRev1<WriteCMYKOG>;
extern template class EyeOneRev1<WriteCMYKRGB>;
extern template class EyeOneRev1<WriteLAB>;
extern template class EyeOneRev1<WriteRGB>;
extern template class EyeOneRev1<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_EYEONEREV1_H
