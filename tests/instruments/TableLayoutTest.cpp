// Geometry of the table and sheet-fed layouts worked out by hand: the i1iSis
// device control line and chart-id code text, and the corner marks of the
// i1iO and SpectroScan pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "instruments/ISis.h"
#include "instruments/IoDevice.h"
#include "instruments/SpectroScan.h"

namespace GenChartLib {

// Found by argument lookup when vectors of marks are compared.
inline bool operator==(const MarkRect& a, const MarkRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

namespace {

struct ControlCase {
    double patchMm;
    PageLayout page;
    double marginTop;
    double frameWidth;    // layoutFrame[0]
    const char* numbers;  // everything from " NumberOfRows="
};

TEST(ISisControlBlock, OneLineOfMillimetresEndedByCrLf) {
    // 6.0 mm: 30 x 6 = 180 bar, 3 + 6 + 3 = 12 to the first row, 5 + 10 +
    // 180 = 195 between the markers, 2.5 + 5 + 3 = 10.5 from a marker to the
    // patch centre. 8.15 mm patches are 8.1 in the block: 14 x 8.1 = 113.4,
    // 3 + 6 + 4.05 = 13.05, 15 + 113.4 = 128.4, 7.5 + 4.05 = 11.55.
    // clang-format off
    const ControlCase cases[] = {
        {6.0, {150.0, 201.0, 30, 20}, 32.0, -1.0,
         " NumberOfRows=20 NumberOfColumns=30 PatchSizeX=6 PatchSizeY=6 BarSizeX=180 BarSizeY=6"
         " DistBarToFirstLine=12 MarkersDistance=195 MarkerPatchDistance=10.5"
         " DistancePaperEdgeToBar=35 ChartSizeX=201"},
        {8.15, {120.0, 131.0, 14, 3}, 40.0, 28.5,
         " NumberOfRows=3 NumberOfColumns=14 PatchSizeX=8.1 PatchSizeY=8.1 BarSizeX=113.4"
         " BarSizeY=6 DistBarToFirstLine=13.05 MarkersDistance=128.4 MarkerPatchDistance=11.55"
         " DistancePaperEdgeToBar=43 ChartSizeX=28.5"},
    };
    // clang-format on
    for (const ControlCase& c : cases) {
        ChartParams params;
        params.patchWidth = params.patchHeight = c.patchMm;
        params.marginTop = c.marginTop;
        params.layoutFrame[0] = c.frameWidth;
        params.pages = {c.page};
        EXPECT_EQ(deviceControlBlock(params),
                  std::string("iSis_INFO\t\"DensityStandard=ANSIA Illumination=D50 "
                              "Observer=TwoDegree ColorSpace=CIELab Type=0") +
                      c.numbers + "\"\r\n")
            << c.numbers;
    }
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

TEST(TableCornerMarks, WhereTheReaderLooksForThem) {
    // i1iO, 8.0 x 7.5 mm patches, 1.0 mm gaps (P = 90, Q = 75), margins 5/7:
    // 3 rows of 4. The grid's right edge is 70 + 4 x 90 - 10 = 420, the
    // last row starts at 50 + 2 x 75 = 200 and ends at 275.
    IoGeometry io{50, 70, 75, 80, 0, 10};
    const std::vector<MarkRect> ioMarks = {{55, 35, 100, 10},  {55, 35, 10, 85},
                                           {55, 280, 100, 10}, {55, 205, 10, 85},
                                           {330, 280, 95, 10}, {425, 205, 10, 85}};
    EXPECT_EQ(io.cornerMarks(3, 4), ioMarks);

    // SpectroScan, 8 x 6 mm patches without gaps, margins 5/6: a row of 10
    // ends at 60 + 800 = 860; two rows end at 50 + 120 = 170. "A" stands
    // level with the middle of the first row (50 + 60 - 30), whatever the
    // patch width.
    SpectroScanGeometry scan{50, 60, 60, 80, 0, 0};
    const std::vector<MarkRect> corners = {{46, 36, 88, 8},  {46, 36, 8, 68},   {780, 36, 84, 8},
                                           {864, 36, 8, 68}, {780, 174, 84, 8}, {864, 114, 8, 68}};
    EXPECT_EQ(scan.cornerMarks(2, 10), corners);
    const std::vector<MarkRect> brackets = {{46, 36, 30, 8},  {46, 36, 8, 88},  {46, 116, 30, 8},
                                            {845, 36, 30, 8}, {868, 36, 8, 88}, {845, 116, 30, 8}};
    EXPECT_EQ(scan.singleRowBrackets(10), brackets);
    EXPECT_EQ(scan.singleRowLabels(10)[0].y, 80);
}

}  // namespace
}  // namespace GenChartLib
