// The i1 layouts where a host cannot reach them: the business card of
// quality mode 3, a layout centred on the whole page, PDF pages, and what
// writePage does with nothing to draw.
// Pages are read back with libtiff; figures are worked out by hand from the
// instruments' patch, gap and margin tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/EyeOnePages.h"
#include "host/ReadBack.h"
#include "instruments/EyeOnVe.h"
#include "instruments/EyeOnePro2.h"
#include "instruments/EyeOneRev1.h"
#include "instruments/LayoutTestSupport.h"

namespace GenChartLib {
namespace {

using readback::Strip;

class EyeOneLayout : public LayoutFolder {
  protected:
    // A chart job's record before the layout, written as TIFF pages, for a
    // CMYK reference of `rows` rows made by the i1 page checks.
    ChartParams jobParams(IdMeasureInstrument instrument, int qualityMode, double widthMm,
                          double heightMm, std::size_t rows, const std::string& keywords = "") {
        readback::writeReference(file("reference.txt"), cmyk_, rows, keywords);
        ChartParams params(CM_CMYK);
        params.instrument = instrument;
        params.qualityMode = qualityMode;
        params.pageWidth = widthMm;
        params.pageHeight = heightMm;
        params.optimizeLayout = true;
        params.refDataName = file("reference.txt");
        params.outputKind = 1;
        return params;
    }

    // Writes the chart as TIFF pages named after `name` and checks them.
    void expectChart(MeasureInstrument<WriteCMYK>& layout, ChartParams& params,
                     const std::string& name, std::size_t rows, bool greyMarkers,
                     const readback::Layout& expected) {
        params.outputName = file(name + ".tif.tmp");
        layout.writeChart(params);
        std::vector<std::string> pages;
        for (std::size_t p = 0; p < expected.strips.size(); ++p) {
            pages.push_back(file(name + ".tif_" + std::to_string(p) + ".tif"));
        }
        readback::expectStripPages(pages, cmyk_, rows, greyMarkers, expected);
    }

    const readback::ModeSpec cmyk_ = readback::allModes().front();
};

TEST_F(EyeOneLayout, QualityModeThreeMakesABusinessCard) {
    // A 52 x 85 mm card, no margin above or below the strips, 8 mm on the
    // left; 8 x 8 mm patches 8.5 mm apart (0.5 mm between strips). The number
    // box is a third of the patch; the number's own x comes out below 1.0 mm
    // and is put at 1.5 mm, the strip 9 mm further right at 10.5 mm.
    // - EyeOneRev1 (asked for 100 x 80): usable 85 - 8 - 2 x 10 - 6.5 = 50.5
    //   mm wide: 5 x 6 cells with 1.2 mm gaps, so 40 patches take two pages
    //   of 4 strips (ceil(40 / 5 / 2)); the first patch at 10.5 + 8 + 1.2.
    // - EyeOnePro2: 1.4 mm gaps, still 5 columns; first patch at 10.5 + 8 +
    //   1.4 mm.
    // - Lumo-20 with a zebra ruler: no leader, usable 70.5 mm, 7 x 6 cells;
    //   40 patches fill one page of 6 strips of 7 (40 is no multiple of a
    //   smaller count down to 7), the last two cells padded paper, then grey.
    //   The strip starts at 10.5 mm with a white and a black half gap.
    struct Card {
        IdMeasureInstrument id;
        double widthMm;
        double heightMm;
        std::string keywords;
        readback::Layout layout;
    };
    // clang-format off
    const std::vector<Card> cards = {
        {MI_EYEONE, 100, 80, "", {{4, 4}, 5, 850, 520, 0, 85, 80, 80, 12, Strip::BarThenGap, 105, 15, 26}},
        {MI_EYEONEPRO2, 85, 52, "", {{4, 4}, 5, 850, 520, 0, 85, 80, 80, 14, Strip::GapThenBar, 105, 15, 26}},
        {MI_LUMO20, 85, 52, "ZEBRA_RULER_MODE 1\n", {{6}, 7, 850, 520, 0, 85, 80, 80, 14, Strip::Zebra, 105, 15, 26}},
    };
    // clang-format on
    for (const Card& card : cards) {
        SCOPED_TRACE("id " + std::to_string(card.id));
        EyeOneRev1<WriteCMYK> rev1("");
        EyeOnePro2<WriteCMYK> pro2("");
        MeasureInstrument<WriteCMYK>& layout =
            card.id == MI_EYEONE ? static_cast<MeasureInstrument<WriteCMYK>&>(rev1) : pro2;
        ChartParams params = jobParams(card.id, 3, card.widthMm, card.heightMm, 40, card.keywords);
        layout.initChartParams(params);
        ASSERT_EQ(params.pages.size(), card.layout.strips.size());
        EXPECT_EQ(
            (std::vector<double>{params.pages[0].width, params.pages[0].height, params.gapHeight}),
            (std::vector<double>{85, 52, 0.5}));
        expectChart(layout, params, "card" + std::to_string(card.id), 40, card.id == MI_LUMO20,
                    card.layout);
    }
    EXPECT_EQ(files(),
              (std::vector<std::string>{"card11.tif_0.tif", "card11.tif_1.tif", "card21.tif_0.tif",
                                        "card22.tif_0.tif", "card22.tif_1.tif", "reference.txt"}));
}

TEST_F(EyeOneLayout, AWholePageLayoutIsCentredAndWrittenBack) {
    // EyeOneV on A4 lays out 173 x 183 mm (15 strips of 6). On the whole
    // page the 37 and 114 mm left over are shared: left margin 15 + 18.5,
    // right margin 20 + 18.5 held to 15, top 5 + 57. The strip then starts at
    // 33.5 + 17 - 2 - 15 - 20 + 25 = 38.5 mm, its first patch 17 mm later.
    EyeOneV<WriteCMYK> eyeOneV("");
    ChartParams params = jobParams(MI_EYEONE_LOWRES, 0, 210.0, 297.0, 90);
    eyeOneV.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 1U);
    EXPECT_EQ(std::make_pair(params.pages[0].width, params.pages[0].height),
              std::make_pair(173.0, 183.0));
    params.useWholePage = true;
    expectChart(eyeOneV, params, "chart", 90, false,
                {{15}, 6, 2100, 2970, 620, 110, 100, 150, 20, Strip::Contrast, 385, 10, 50});
    EXPECT_EQ((std::vector<double>{params.marginLeft, params.marginRight, params.marginTop,
                                   params.pages[0].width, params.firstPageHeight}),
              (std::vector<double>{33.5, 15, 62, 210, 297}));
}

TEST_F(EyeOneLayout, APdfChartHoldsEveryPageWithItsOwnStrips) {
    // EyeOneRev1 on 180 x 70 mm: two pages of 13 columns, 4 strips and 3
    // (ceil(38 / 13)), each 180.8 x 66.6 mm. As one PDF document every page
    // goes into the same file, the strip numbers 5.0 mm from the left edge.
    EyeOneRev1<WriteCMYK> rev1("");
    ChartParams params = jobParams(MI_EYEONE, 0, 180.0, 70.0, 90);
    rev1.initChartParams(params);
    ASSERT_EQ(params.pages.size(), 2U);
    params.outputKind = 0;
    params.outputName = file("chart.pdf");
    std::vector<WriteCMYK::PixelColor> patches =
        MeasureInstrument<WriteCMYK>::loadReference(params);
    patches.push_back(WriteCMYK::paperColor());
    rev1.writePage(params, patches, -1);

    readback::expectPages({file("chart.pdf")}, 2, 180.8, 66.6);
    if (readback::toolsMissing()) {
        return;
    }
    EXPECT_EQ(readback::textsAt({file("chart.pdf")}, 5.0),
              (std::vector<std::string>{"0:1", "0:2", "0:3", "0:4", "1:5", "1:6", "1:7"}));
}

TEST_F(EyeOneLayout, NothingToDrawWritesNoPageAndSaysWhy) {
    ChartParams params = jobParams(MI_EYEONE, 0, 210.0, 297.0, 90);
    EyeOneRev1<WriteCMYK> rev1("");
    rev1.initChartParams(params);
    params.outputName = file("chart_0.tif");
    // The family's base class lays out but never draws.
    std::vector<WriteCMYK::PixelColor> none;
    std::vector<WriteCMYK::PixelColor> some(90, WriteCMYK::blackColor());
    EyeOnePro2<WriteCMYK> pro2("");
    EyeOneV<WriteCMYK> eyeOneV("");
    EyeOne<WriteCMYK> base("");
    const std::string log = logOf([&] {
        for (MeasureInstrument<WriteCMYK>* layout :
             std::vector<MeasureInstrument<WriteCMYK>*>{&rev1, &pro2, &eyeOneV, &base}) {
            layout->writePage(params, none, 0);
        }
        base.writePage(params, some, 0);
    });
    EXPECT_EQ(log,
              "EyeOneRev1/writePage: GenChartLib: Empty measure data\n"
              "EyeOnePro2/writePage: GenChartLib: Empty measure data\n"
              "EyeOnVe/writePage: GenChartLib: Empty measure data\n"
              "EyeOne/writePage: GenChartLib: Empty measure data\n");
    EXPECT_EQ(files(), (std::vector<std::string>{"log.txt", "reference.txt"}));
}

}  // namespace
}  // namespace GenChartLib
