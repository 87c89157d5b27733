// Charts for the spectrophotometer mounted on the printer: "EPSON
// SpectroProofer" (Epson) and "EPSON SpectroProofer (ILS30)" (EpsonILS30).
// A page holds one grid of strips across its width; each strip is cut into
// blocks, and every block is framed by a black start bar and a black end
// bar. The page size follows from the grid, and the grid and patch size go
// to the printer as a command text in the page file (TIFF tag 270, the PDF
// document's command text). The printer measures the page itself, so there
// is no page frame. The two models differ only in their bars and rows.
#ifndef ORVOCHART_INSTRUMENTS_EPSON_H
#define ORVOCHART_INSTRUMENTS_EPSON_H

#include <cstdint>
#include <string>
#include <vector>

#include "base/ChartParams.h"
#include "engine/MeasureInstrument.h"
#include "render/Writers.h"

namespace GenChartLib {

// What sets one model's strip apart, in tenths of a millimetre.
struct EpsonModel {
    std::int64_t startBarWidth;
    std::int64_t endBarWidth;
    std::int64_t startBarSpace;  // paper between the start bar and the first patch
    std::int64_t endBarSpace;    // paper between the last patch and the end bar
    std::int64_t blockPatches;   // most patches one block holds
    bool shortRows;              // rows 12 mm apart while the page stays short
};

constexpr EpsonModel kEpsonModel{10, 30, 60, 40, 50, false};
constexpr EpsonModel kEpsonIls30Model{35, 35, 0, 0, 75, true};

// The strip layout of a model in tenths of a millimetre from the page's
// top-left corner. Block positions and lengths are exact integers, so the
// page entry, the bars and the command text agree to the tenth.
struct EpsonStripGeometry {
    EpsonModel model;

    static constexpr std::int64_t kPatchWidth = 70;   // along the strip
    static constexpr std::int64_t kStripPitch = 150;  // patch height
    static constexpr std::int64_t kShortRowPitch = 120;
    static constexpr std::int64_t kShortPageLimit = 2330;  // short rows below this height
    static constexpr std::int64_t kFirstBlockX = 347;
    static constexpr std::int64_t kBlockGap = 225;
    static constexpr std::int64_t kTrailingPaper = 195;  // after the last end bar
    static constexpr std::int64_t kHeader = 370;         // above the first strip
    static constexpr std::int64_t kFooter = 300;         // below the last strip
    // The first estimate of the patches per strip keeps this much more
    // than one block needs; the exact fit keeps this much of the sheet.
    static constexpr std::int64_t kNarrowReserve = 120;
    static constexpr std::int64_t kSheetReserve = 60;
    // A remainder block holds at least this many patches.
    static constexpr std::int64_t kLeastBlock = 8;
    // Most patches per block a chart asks for: larger blocks belong to a
    // printer setting no chart job selects.
    static constexpr std::int64_t kChartBlockPatches = 50;

    // The bars and spaces around a block's patches.
    std::int64_t blockFrame() const {
        return model.startBarWidth + model.startBarSpace + model.endBarSpace + model.endBarWidth;
    }
    std::int64_t blockWidth(std::int64_t patches) const {
        return blockFrame() + patches * kPatchWidth;
    }
    // Patches a strip across a sheet `sheetWidth` wide holds, with at most
    // `maxBlockPatches` in a block; 0 or less when not one fits.
    std::int64_t maxPatchesPerStrip(std::int64_t sheetWidth, std::int64_t maxBlockPatches) const;
    // Blocks of a strip of k patches: the full blocks after a remainder
    // block of at least kLeastBlock patches; they always add up to k.
    std::vector<std::int64_t> splitIntoBlocks(std::int64_t k) const;
    // x of every block: each starts a block gap after the one before.
    std::vector<std::int64_t> blockPositions(const std::vector<std::int64_t>& blocks) const;
    // Page width: the blocks, their gaps and the paper after the last.
    std::int64_t stripLength(std::int64_t k, std::int64_t blockCount) const {
        return kFirstBlockX + blockCount * blockWidth(0) + (blockCount - 1) * kBlockGap +
               k * kPatchWidth + kTrailingPaper;
    }
    std::int64_t rowPitch(std::int64_t strips) const {
        return model.shortRows && strips * kShortRowPitch + kHeader < kShortPageLimit
                   ? kShortRowPitch
                   : kStripPitch;
    }
    // The strips and the header above them.
    std::int64_t stripsHeight(std::int64_t strips) const {
        return strips * rowPitch(strips) + kHeader;
    }
    std::int64_t firstPatchX(std::int64_t blockX) const {
        return blockX + model.startBarWidth + model.startBarSpace;
    }
    std::int64_t endBarX(std::int64_t blockX, std::int64_t patches) const {
        return firstPatchX(blockX) + patches * kPatchWidth + model.endBarSpace;
    }
};

// The command text of a page: sheet offset, header in hundredths of a
// millimetre, columns, strips, patch width and height in hundredths, and
// the format code.
std::string epsonCommandText(std::int64_t topTenths, std::int32_t columns, std::int32_t strips,
                             std::int64_t patchWidthTenths, std::int64_t patchHeightTenths);

template <class W>
class Epson : public MeasureInstrument<W> {
  public:
    using Patch = typename MeasureInstrument<W>::Patch;

    explicit Epson(const std::string& name) : Epson(name, kEpsonModel) {}

    // The grid of the whole chart on one page: patches spread evenly over
    // as many strips as one strip's length needs. -2355 when not one patch
    // fits a strip or the page is higher or wider than the sheet less 10 mm.
    void initChartParams(ChartParams& params) override;
    void writePage(ChartParams& params, std::vector<Patch>& patches, int page) override;
    void getStripLeader(double out[4], const ChartParams& params) override;
    // Least: one strip of one patch; greatest: the sheet asked for.
    void getPageSizeLimits(double out[8], const ChartParams& params) override;
    void getPatchSizes(double out[8]) override;
    void getPatchGaps(double out[8], const ChartParams& params) override;
    void getPageMargins(MarginSet& first, MarginSet& second, MarginSet& third,
                        const ChartParams& params) override;

    const EpsonStripGeometry& geometry() const { return geometry_; }

  protected:
    Epson(const std::string& name, const EpsonModel& model)
        : MeasureInstrument<W>(name), geometry_{model} {}

  private:
    std::int64_t marginRightTenths() const;

    EpsonStripGeometry geometry_;
};

template <class W>
class EpsonILS30 : public Epson<W> {
  public:
    explicit EpsonILS30(const std::string& name) : Epson<W>(name, kEpsonIls30Model) {}
};

extern template class Epson<WriteCMYK>;
extern template class Epson<WriteCMYKO>;
extern template class Epson<WriteCMYKOG>;
extern template class Epson<WriteCMYKRGB>;
extern template class Epson<WriteLAB>;
extern template class Epson<WriteRGB>;
extern template class Epson<WriteSpotColor>;

extern template class EpsonILS30<WriteCMYK>;
extern template class EpsonILS30<WriteCMYKO>;
extern template class EpsonILS30<WriteCMYKOG>;
extern template class EpsonILS30<WriteCMYKRGB>;
extern template class EpsonILS30<WriteLAB>;
extern template class EpsonILS30<WriteRGB>;
extern template class EpsonILS30<WriteSpotColor>;

}  // namespace GenChartLib

#endif  // ORVOCHART_INSTRUMENTS_EPSON_H
