// ChartPage: the layouts' drawing operations on a raster page (read back
// with libtiff) and their dispatch to the PDF page.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "FailureCapture.h"
#include "base/ErrorCodes.h"
#include "host/ReadBack.h"
#include "render/ChartPage.h"

namespace GenChartLib {
namespace {

using failuretest::codeOf;
using failuretest::messageOf;
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

class RasterChartPage : public testing::Test {
  protected:
    TempFolder folder;
};

TEST_F(RasterChartPage, DrawingOperationsBecomeObjectsOnTheTiff) {
    const std::string file = folder.file("page.tif");
    using C = WriteCMYK;
    const C::PixelColor blue = C::blueColor();
    const C::PixelColor black = C::blackColor();
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
        std::vector<Point> many;  // 300 vertices outlining a 200 x 30 band
        for (std::uint32_t i = 0; i < 150; ++i) {
            many.push_back({10 + i, 150});
        }
        for (std::uint32_t i = 0; i < 150; ++i) {
            many.push_back({159 - i, 180});
        }
        page.drawPolygon(many, blue);
        EXPECT_EQ(page.raster()->objectCount(), 9u);  // the label draws nothing
        page.finishPage();
    }
    const TiffPage p = readTiff(file);
    const Bytes kBlue = {255, 255, 0, 0}, kBlack = {0, 0, 0, 255}, kPaper = {0, 0, 0, 0};
    EXPECT_EQ(p.pixel(10, 10), kBlue);
    EXPECT_EQ(p.pixel(29, 19), kBlue);
    EXPECT_EQ(p.pixel(30, 19), kPaper);
    EXPECT_EQ(p.pixel(44, 14), kBlack);
    EXPECT_EQ(p.pixel(60, 13), kBlue);
    EXPECT_EQ(p.pixel(69, 13), kBlue);
    EXPECT_EQ(p.pixel(70, 13), kPaper);
    EXPECT_EQ(p.pixel(60, 14), kPaper);
    EXPECT_EQ(p.pixel(100, 100), kBlue);
    EXPECT_EQ(p.pixel(81, 100), kBlue);
    EXPECT_EQ(p.pixel(79, 100), kPaper);
    EXPECT_EQ(p.pixel(150, 51), kBlack);
    EXPECT_EQ(p.pixel(249, 50), kBlack);
    EXPECT_EQ(p.pixel(150, 52), kPaper);
    EXPECT_EQ(p.pixel(5, 5), kPaper);
    EXPECT_EQ(p.pixel(310, 40), kBlack);   // diamond centre
    EXPECT_EQ(p.pixel(350, 249), kPaper);  // above the arrow's tip
    EXPECT_EQ(p.pixel(350, 251), kBlack);  // its head
    EXPECT_EQ(p.pixel(350, 299), kBlack);  // its shaft, running off the page
    EXPECT_EQ(p.pixel(80, 165), kBlue);    // inside the 300-vertex polygon
    EXPECT_EQ(p.pixel(80, 185), kPaper);
    // The number 42 of size 15 at (200, 209): somewhere in its box there
    // is black, and it stays inside the box.
    int blackPixels = 0;
    for (std::uint32_t y = 195; y < 260; ++y) {
        for (std::uint32_t x = 195; x < 260; ++x) {
            blackPixels += p.pixel(x, y) == kBlack ? 1 : 0;
        }
    }
    EXPECT_GT(blackPixels, 100);
    EXPECT_EQ(p.pixel(199, 220), kPaper);
}

TEST_F(RasterChartPage, LabChartsGetLabPagesAndDescriptionsGoToTag270) {
    const std::string file = folder.file("lab.tif");
    {
        ChartPage<WriteLAB> page(rasterParams(file, CM_LAB, MI_EPSON), 3, 50, 40);
        page.setField(OC_IMG_TAG_IMAGE_DESCRIPTION, "MEASURE ALL");
        page.fillRect({0, 0}, 10, 10, {{128, 236, 30}, {}});
        page.finishPage();
    }
    const TiffPage p = readTiff(file);
    EXPECT_EQ(p.photometric, PHOTOMETRIC_CIELAB);
    EXPECT_EQ(p.description, "MEASURE ALL");
    EXPECT_EQ(p.pixel(0, 0), (Bytes{128, 236, 30}));

    // An RGB chart of the same three channels is an RGB page.
    const std::string rgbFile = folder.file("rgb.tif");
    {
        ChartPage<WriteRGB> page(rasterParams(rgbFile, CM_RGB), 3, 20, 20);
        page.finishPage();
    }
    EXPECT_EQ(readTiff(rgbFile).photometric, PHOTOMETRIC_RGB);
}

TEST_F(RasterChartPage, SpotPagesNameTheirInksFromTheChart) {
    const std::string file = folder.file("spot.tif");
    ChartParams params = rasterParams(file, CM_SPOT_6);
    params.channelNames = {"", "", "", "", "PANTONE 123 C", ""};
    {
        ChartPage<WriteSpotColor> page(params, 6, 30, 30);
        page.finishPage();
    }
    const TiffPage p = readTiff(file);
    EXPECT_EQ(p.inkNames, (std::vector<std::string>{"Cyan", "Magenta", "Yellow", "Black",
                                                    "PANTONE 123 C", "Spot 6"}));
    EXPECT_EQ(p.numberOfInks, 6);
}

TEST(RasterInkNames, NamesPerModeAndChannelCount) {
    using Names = std::vector<std::string>;
    const Names cmyk = {"Cyan", "Magenta", "Yellow", "Black"};
    auto cmykAnd = [&](Names extra) {
        extra.insert(extra.begin(), cmyk.begin(), cmyk.end());
        return extra;
    };
    const std::tuple<ColorMode, int, Names> cases[] = {
        {CM_CMYKO, 5, cmykAnd({"Orange"})},
        {CM_SIXCOLOR_7, 6, cmykAnd({"Orange", "Green"})},
        {CM_CMYKRGB, 7, cmykAnd({"Red", "Green", "Blue"})},
        // Pages that need no names: Lab, RGB, CMYK, one channel.
        {CM_LAB, 3, {}},
        {CM_CMYK, 4, {}},
        {CM_SPOT_1, 1, {}},
        // Three spot inks are named so the page is written as inks, not RGB.
        {CM_SPOT_3, 3, {"Cyan", "Magenta", "Yellow"}},
    };
    for (const auto& [mode, channels, names] : cases) {
        EXPECT_EQ(rasterInkNames(ChartParams(mode), channels), names) << mode;
    }
    ChartParams p(CM_SPOT_8);
    // A chart name ends at a NUL, which would split it in two.
    p.channelNames = {std::string("Var\0nish", 8), "", "", "", "", "", "", "Gold"};
    const auto names = rasterInkNames(p, 8);
    EXPECT_EQ(names[0], "Var");
    EXPECT_EQ(names[4], "Spot 5");
    EXPECT_EQ(names[7], "Gold");
}

TEST_F(RasterChartPage, AMissingImageWriterOrTwoChannelsStopThePageWhenItIsBuilt) {
    EXPECT_EQ(codeOf([&] {
                  ChartPage<WriteCMYK> page(rasterParams(folder.file("x.tif")), 4, 10, 10,
                                            folder.file("NoSuchModule.so"));
              }),
              ERR_LOAD_LIBRARY);
    EXPECT_EQ(messageOf([&] {
                  ChartPage<WriteSpotColor> page(rasterParams(folder.file("two.tif"), CM_SPOT_2), 2,
                                                 10, 10);
              }),
              "Unsupported colorspace");
    EXPECT_TRUE(folder.entries().empty());
}

// ------------------------------------------------------------ PDF form

TEST_F(RasterChartPage, OtherOutputKindsDrawThroughThePdfWriter) {
    using C = WriteCMYK;
    auto draw = [&](const std::string& name, bool withPolygon, std::size_t vertices) {
        ChartParams params = rasterParams(folder.file(name));
        params.outputKind = 0;
        params.pages = {PageLayout{30.0, 40.0, 1, 1}};
        ChartPage<C> page(params, 4, 400, 300);
        EXPECT_FALSE(page.isRaster());
        EXPECT_NE(page.pdf(), nullptr);
        page.newPage(40.0, 30.0, 0);
        page.fillRect({10, 10}, 50, 50, C::blueColor());
        if (withPolygon) {
            std::vector<Point> corners;
            for (std::size_t i = 0; i < vertices; ++i) {
                corners.push_back({static_cast<std::uint32_t>(100 + i % 50),
                                   static_cast<std::uint32_t>(100 + (i * 7) % 50)});
            }
            page.drawPolygon(corners, C::blackColor());
        }
        page.finishPage();
        return readback::fileText(folder.file(name));
    };
    const auto plain = draw("plain.pdf", false, 0);
    ASSERT_GT(plain.size(), 4u);
    EXPECT_EQ(std::string(plain.begin(), plain.begin() + 4), "%PDF");
    // 300 vertices are not drawn in the PDF; 10 are.
    EXPECT_EQ(draw("many.pdf", true, 300), plain);
    EXPECT_NE(draw("few.pdf", true, 10), plain);
}

}  // namespace
}  // namespace GenChartLib
