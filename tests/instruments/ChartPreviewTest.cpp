// 'orvochart chart --preview' on i1 charts: a PNG beside every TIFF page,
// shrunk by a whole factor to at most 800 pixels a side, its colours the
// screen previews of the page's device colours. Read back with libpng.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "host/ReadBack.h"
#include "instruments/LayoutTestSupport.h"

namespace GenChartLib {
namespace {

using Rgb = std::array<int, 3>;

struct Png {
    std::uint32_t width = 0;
    std::vector<std::uint8_t> rgb;

    Rgb at(std::uint32_t x, std::uint32_t y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb.at(i), rgb.at(i + 1), rgb.at(i + 2)};
    }
};

Png readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Png png;
    if (png_image_begin_read_from_file(&image, path.c_str()) != 0) {
        image.format = PNG_FORMAT_RGB;
        png.rgb.resize(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, png.rgb.data(), 0, nullptr) != 0) {
            png.width = image.width;
        }
    }
    return png;
}

// The naive ink-to-screen preview of a CMYK patch: each screen channel is
// what its ink and the black leave of the paper. Equal within one step: the
// preview truncates, and a channel that lands on a whole number may come out
// one below it in floating point.
void expectScreenOf(const Rgb& got, const readback::Reference& ref, std::size_t row) {
    const auto ink = [&](const char* column) {
        return readback::inkByte(ref.value(row, column)) / 255.0;
    };
    const double black = ink("CMYK_K");
    const char* const inks[] = {"CMYK_C", "CMYK_M", "CMYK_Y"};
    for (std::size_t i = 0; i < 3; ++i) {
        const double coverage = ink(inks[i]) * (1.0 - black) + black;
        EXPECT_NEAR(got[i], static_cast<int>((1.0 - coverage) * 255.0), 1) << "row " << row;
    }
}

class ChartPreview : public LayoutFolder {
  protected:
    readback::CommandResult chart(const std::string& arguments) const {
        testsupport::unsetEnv("ORVOCHART_LOG");  // the tool says where previews went
        readback::CommandResult result = readback::run(
            testsupport::quoted(ORVOCHART_TOOL) + " chart --out " +
            testsupport::quoted(file("chart.tif")) + " --preview " + arguments + " 2>&1");
        // A console in text mode ends its lines in "\r\n" on Windows.
        result.output.erase(std::remove(result.output.begin(), result.output.end(), '\r'),
                            result.output.end());
        return result;
    }
};

TEST_F(ChartPreview, ShowsEveryTiffPageInScreenColours) {
    // EyeOnePro2 on 170 x 80 mm: two pages of 1648 x 750 pixels (5 and 4
    // strips of 11). Shrunk by ceil(1648 / 800) = 3: 550 x 250. The first
    // patch covers pixels 344-423 x 80-159 of page 0; the patch of the
    // second page's first strip is patch 55.
    const std::string cmyk = testsupport::quoted(testReference("cmyk_90.txt"));
    const readback::CommandResult run =
        chart("--instrument EyeOnePro2 --mode CMYK --ref " + cmyk + " --width 170 --height 80");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const char* png : {"chart.png", "chart.tif_1.png"}) {
        EXPECT_NE(run.output.find("preview: " + file(png) + "\n"), std::string::npos) << run.output;
    }
    const readback::Reference ref = readback::readReference(testReference("cmyk_90.txt"));
    const Png first = readPng(file("chart.png"));
    ASSERT_EQ(first.width, 550U);
    ASSERT_EQ(first.rgb.size(), 550U * 250U * 3U);
    expectScreenOf(first.at(384 / 3, 120 / 3), ref, 0);
    expectScreenOf(first.at((384 + 94) / 3, 120 / 3), ref, 1);
    // The opening patch is black, the paper white, the closing patch yellow.
    EXPECT_EQ(first.at(290 / 3, 120 / 3), (Rgb{0, 0, 0}));
    EXPECT_EQ(first.at(520 / 3, 720 / 3), (Rgb{255, 255, 255}));
    EXPECT_EQ(first.at((344 + 11 * 94 + 40) / 3, 120 / 3), (Rgb{255, 255, 0}));
    const Png second = readPng(file("chart.tif_1.png"));
    ASSERT_EQ(second.width, 550U);
    expectScreenOf(second.at(384 / 3, 120 / 3), ref, 55);
}

}  // namespace
}  // namespace GenChartLib
