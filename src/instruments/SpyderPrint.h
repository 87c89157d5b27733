// Strip charts for the Spyder Print handheld strip reader. A strip is a row
// of wide patches without end patches: a black bar opens it, and after every
// patch stands a bar a gap wide, black or paper by the lightness of the two
// patches beside it, so the reader finds each patch boundary; the last bar
// is black. The strip number stands left of the opening bar. Quality mode 3
// makes a 52 x 85 mm card. No side file.
#ifndef ORVOCHART_INSTRUMENTS_SPYDERPRINT_H
#define ORVOCHART_INSTRUMENTS_SPYDERPRINT_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

struct HandheldStripGeometry;
struct StripStart;

// Where a Spyder Print strip's number stands and where its opening bar
// begins, in tenths from the page's left edge.
struct SpyderStripPlacement {
    // On the card the number sits in the narrow margin 9 mm left of the
    // strip; a number outside 1.0 .. 5.0 mm goes to 1.5 mm.
    static StripStart onCard(const HandheldStripGeometry& geometry);
    // On a page the strip is centred on the layout width and the number
    // stands 20 mm left of it, at least 6.0 mm from the edge.
    static StripStart onPage(const HandheldStripGeometry& geometry, std::int64_t columns);
    // The number's top: the middle of the strip pitch on the card, 2 mm
    // below the strip's top on a page.
    static std::int64_t numberY(const HandheldStripGeometry& geometry, std::int64_t strip,
                                bool card);
};

template <class W>
class SpyderPrint : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit SpyderPrint(const std::string& name) : MeasureInstrument<W>(name) {}

    // Draws page `page` into its own TIFF file (strip numbers running on from
    // the pages before it), or every page when the chart goes out as PDF.
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    // The bars need no leader.
    void getStripLeader(double out[4], const ChartParams& params) override;
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

extern template class SpyderPrint<WriteCMYK>;
extern template class SpyderPrint<WriteCMYKO>;
extern template class SpyderPrint<WriteCMYKOG>;
extern template class SpyderPrint<WriteCMYKRGB>;
extern template class SpyderPrint<WriteLAB>;
extern template class SpyderPrint<WriteRGB>;
extern template class SpyderPrint<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_SPYDERPRINT_H
