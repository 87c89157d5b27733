// ChartPage: the layouts' drawing operations on a raster page (read back
// with libtiff) and their dispatch to the PDF page.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "FailureCapture.h"
#include "base/ErrorCodes.h"
#include "host/ReadBack.h"
#include "render/ChartPage.h"

namespace GenChartLib {
namespace {

using readback::readTiff;
using readback::TempFolder;
using readback::TiffPage;
using Bytes = std::vector<std::uint8_t>;

ChartParams rasterParams(const std::string& file, ColorMode mode = CM_CMYK,
                         IdMeasureInstrument instrument = MI_CANON) {
    ChartParams p(mode);
    p.outputKind = 1;
    p.outputName = file;
    p.instrument = instrument;
    return p;
}

TEST(RasterChartPage, DrawingOperationsBecomeObjectsOnTheTiff) {
    TempFolder folder;
    const std::string file = folder.file("page.tif");
    using C = WriteCMYK;
    const C::PixelColor blue = C::blueColor(), black = C::blackColor();
    {
        ChartPage<C> page(rasterParams(file), 4, 400, 300);
        ASSERT_TRUE(page.isRaster());
        EXPECT_EQ(page.pdf(), nullptr);
        page.newPage(40.0, 30.0, 15);  // PDF only
        page.fillRect({10, 10}, 20, 10, blue);
        page.fillRectPlain({40, 10}, 5, 5, black);
        page.fillRectExact(60.9, 10.2, 10.99, 4.5, blue);  // 60, 10, 10 x 4
        page.drawCircle({100, 100}, 20, blue);
        page.drawLine({150, 50}, {250, 50}, 100, 0, black);  // a bar 100 x 2
        page.drawLabel("A", 5, 5, 30, black);                // nothing on raster pages
        page.drawNumber({200, 200}, 60, 42, black);
        page.drawDiamond({300, 40}, 20, 20, black);
        page.drawArrow({350, 250}, 30, 120, 90, black);
        std::vector<Point> many;  // 300 vertices outlining a 150 x 30 band
        for (std::uint32_t i = 0; i < 300; ++i) {
            many.push_back(i < 150 ? Point{10 + i, 150} : Point{309 - i, 180});
        }
        page.drawPolygon(many, blue);
        EXPECT_EQ(page.raster()->objectCount(), 9u);  // the label draws nothing
        page.finishPage();
    }
    const TiffPage p = readTiff(file);
    const Bytes kBlue = {255, 255, 0, 0}, kBlack = {0, 0, 0, 255}, kPaper = {0, 0, 0, 0};
    const std::tuple<std::uint32_t, std::uint32_t, const Bytes&> pixels[] = {
        {10, 10, kBlue},    {29, 19, kBlue},    {30, 19, kPaper},  {44, 14, kBlack},
        {60, 13, kBlue},    {69, 13, kBlue},    {70, 13, kPaper},  {60, 14, kPaper},
        {100, 100, kBlue},  {81, 100, kBlue},   {79, 100, kPaper}, {150, 51, kBlack},
        {249, 50, kBlack},  {150, 52, kPaper},  {5, 5, kPaper},    {310, 40, kBlack},  // diamond
        {350, 249, kPaper}, {350, 251, kBlack},  // above the arrow's tip, its head
        {350, 299, kBlack},                      // its shaft, running off the page
        {80, 165, kBlue},   {80, 185, kPaper},   // inside the 300-vertex polygon, below
        {199, 220, kPaper}};
    for (const auto& [x, y, want] : pixels) {
        EXPECT_EQ(p.pixel(x, y), want) << x << ", " << y;
    }
    // The number 42 in a 6 mm box: size 15, its origin at (200, 209).
    EXPECT_EQ(readback::readNumber(p, kBlack, 195, 260, 209, 15), "42");
}

TEST(RasterChartPage, EachChartGetsThePageOfItsColoursAndItsDescriptionInTag270) {
    TempFolder folder;
    {
        ChartPage<WriteLAB> page(rasterParams(folder.file("lab.tif"), CM_LAB, MI_EPSON), 3, 50, 40);
        page.setField(OC_IMG_TAG_IMAGE_DESCRIPTION, "MEASURE ALL");
        page.fillRect({0, 0}, 10, 10, {{128, 236, 30}, {}});
        page.finishPage();
    }
    const TiffPage lab = readTiff(folder.file("lab.tif"));
    EXPECT_EQ(lab.photometric, PHOTOMETRIC_CIELAB);
    EXPECT_EQ(lab.description, "MEASURE ALL");
    EXPECT_EQ(lab.pixel(0, 0), (Bytes{128, 236, 30}));
    // An RGB chart of the same three channels is an RGB page.
    ChartPage<WriteRGB>(rasterParams(folder.file("rgb.tif"), CM_RGB), 3, 20, 20).finishPage();
    EXPECT_EQ(readTiff(folder.file("rgb.tif")).photometric, PHOTOMETRIC_RGB);
    // Spot pages name their inks from the chart; a name ends at a NUL, which
    // would split it in two.
    ChartParams params = rasterParams(folder.file("spot.tif"), CM_SPOT_6);
    params.channelNames = {std::string("Var\0nish", 8), "", "", "", "PANTONE 123 C", ""};
    ChartPage<WriteSpotColor>(params, 6, 30, 30).finishPage();
    EXPECT_EQ(
        readTiff(folder.file("spot.tif")).inkNames,
        (std::vector<std::string>{"Var", "Magenta", "Yellow", "Black", "PANTONE 123 C", "Spot 6"}));
}

TEST(RasterChartPage, AMissingImageWriterOrTwoChannelsStopThePageWhenItIsBuilt) {
    TempFolder folder;
    const std::string missing = folder.file(std::string("NoSuchModule") + ORVOCHART_MODULE_SUFFIX);
    EXPECT_EQ(failuretest::codeOf([&] {
                  ChartPage<WriteCMYK> page(rasterParams(folder.file("x.tif")), 4, 10, 10, missing);
              }),
              ERR_LOAD_LIBRARY);
    EXPECT_EQ(failuretest::messageOf([&] {
                  ChartPage<WriteSpotColor> page(rasterParams(folder.file("two.tif"), CM_SPOT_2), 2,
                                                 10, 10);
              }),
              "Unsupported colorspace");
    EXPECT_TRUE(folder.entries().empty());
}

TEST(PdfChartPage, OtherOutputKindsDrawThroughThePdfWriter) {
    TempFolder folder;
    auto draw = [&](const std::string& name, const std::vector<Point>& corners) {
        ChartParams params = rasterParams(folder.file(name));
        params.outputKind = 0;
        params.pages = {PageLayout{30.0, 40.0, 1, 1}};
        ChartPage<WriteCMYK> page(params, 4, 400, 300);
        EXPECT_FALSE(page.isRaster());
        EXPECT_NE(page.pdf(), nullptr);
        page.newPage(40.0, 30.0, 0);
        page.fillRect({10, 10}, 50, 50, WriteCMYK::blueColor());
        page.drawPolygon(corners, WriteCMYK::blackColor());
        page.finishPage();
        return testsupport::fileText(folder.file(name));
    };
    const auto plain = draw("plain.pdf", {});
    EXPECT_EQ(plain.substr(0, 4), "%PDF");
    EXPECT_NE(draw("polygon.pdf", {{100, 100}, {150, 100}, {120, 140}}), plain);
}

}  // namespace
}  // namespace GenChartLib
