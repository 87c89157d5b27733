// The i1iSis device control line and chart-id code text worked out by hand.
// The host tests read back the corner marks of the i1iO and SpectroScan pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instruments/ISis.h"

namespace GenChartLib {

namespace {

TEST(ISisControlBlock, OneLineOfMillimetresEndedByCrLf) {
    // 8.15 mm patches are 8.1 in the block: 14 x 8.1 = 113.4 bar, 3 + 6 +
    // 4.05 = 13.05 to the first row, 15 + 113.4 = 128.4 between the markers,
    // 7.5 + 4.05 = 11.55 from a marker to the patch centre; the chart is as
    // wide as the layout frame. (6 mm patches are read back by the host tests.)
    ChartParams params;
    params.patchWidth = params.patchHeight = 8.15;
    params.marginTop = 40.0;
    params.layoutFrame[0] = 28.5;
    params.pages = {{120.0, 131.0, 14, 3}};
    EXPECT_EQ(deviceControlBlock(params),
              "iSis_INFO\t\"DensityStandard=ANSIA Illumination=D50 Observer=TwoDegree "
              "ColorSpace=CIELab Type=0 NumberOfRows=3 NumberOfColumns=14 PatchSizeX=8.1 "
              "PatchSizeY=8.1 BarSizeX=113.4 BarSizeY=6 DistBarToFirstLine=13.05 "
              "MarkersDistance=128.4 MarkerPatchDistance=11.55 DistancePaperEdgeToBar=43 "
              "ChartSizeX=28.5\"\r\n");
    EXPECT_EQ(deviceControlFileName("out/chart.tif.tmp"), "out/chart.tif.dcf");
}

TEST(ISisChartIdCode, FieldsThenIdThenChecksumEvenLength) {
    // Checksums summed by hand from the character codes.
    EXPECT_EQ(chartIdCodeText({0, 0, 22, 14}, 8.0, 8.0, "C0A8000107"),
              "0E16080800EXC0A80001070*1303");
    // 6 mm gives 0; a sum below 1000 has three digits and a blank evens it.
    EXPECT_EQ(chartIdCodeText({0, 0, 1, 1}, 6.0, 6.0, ""), "0101000000EX0*729 ");
    EXPECT_EQ(chartIdCodeText({0, 0, 30, 1}, 5.0, 10.0, "7F00000A1F"),
              "011E001000EX7F00000A1F0*1300");
}

}  // namespace
}  // namespace GenChartLib
