// The chart parameter record: its defaults and that copies are independent.
#include <gtest/gtest.h>

#include "base/ChartParams.h"

namespace GenChartLib {
namespace {

TEST(ChartParams, DefaultsAreThoseOfAFreshChartJob) {
    for (const ChartParams& params : {ChartParams(), ChartParams(CM_SPOT_4)}) {
        EXPECT_TRUE(params.overwriteDescription);
        EXPECT_EQ(params.apertureSize, -1);
        EXPECT_EQ(params.optionB, -1);
        EXPECT_EQ(params.printerId, -1);
        EXPECT_FALSE(params.randomizedPatches);
        EXPECT_FALSE(params.optimizeLayout);
        EXPECT_EQ(params.qualityMode, 0);
        EXPECT_EQ(params.patchCount, 0);
        for (const double length :
             {params.pageHeight, params.pageWidth, params.marginTop, params.marginLeft,
              params.marginBottom, params.marginRight, params.patchHeight, params.patchWidth,
              params.gapHeight, params.gapWidth}) {
            EXPECT_EQ(length, 0.0);
        }
        EXPECT_TRUE(params.chartId.empty() && params.outputName.empty() &&
                    params.refDataName.empty());
        EXPECT_TRUE(params.pages.empty() && params.extraHeaderLines.empty() &&
                    params.channelNames.empty());
    }
    EXPECT_EQ(ChartParams().colorMode, CM_CMYK);
    EXPECT_EQ(ChartParams(CM_SPOT_4).colorMode, CM_SPOT_4);
}

TEST(ChartParams, ACopyIsIndependentOfItsOriginal) {
    ChartParams original(CM_RGB);
    original.pages = {{10.0, 20.0, 3, 4}, {10.0, 20.0, 3, 4}, {10.0, 20.0, 3, 2}};
    original.extraHeaderLines = {"A", "B"};
    original.outputName = "chart.tif.tmp";
    ChartParams copy = original;
    copy.pages[0].strips = 99;
    copy.pages.pop_back();
    copy.extraHeaderLines[1] = "changed";
    copy.outputName += "x";
    EXPECT_EQ(original.pages.size(), 3U);
    EXPECT_EQ(original.pages[0].strips, 4);
    EXPECT_EQ(original.extraHeaderLines[1], "B");
    EXPECT_EQ(original.outputName, "chart.tif.tmp");
    EXPECT_EQ(copy.colorMode, CM_RGB);
}

}  // namespace
}  // namespace GenChartLib
