// 'orvochart chart --preview' on i1 charts: a PNG beside every TIFF page,
// shrunk by a whole factor to at most 800 pixels a side, its colours the
// screen previews of the page's device colours. Read back with libpng.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/ChartExpectations.h"

namespace GenChartLib {
namespace {

namespace fs = std::filesystem;

struct Png {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;

    std::array<int, 3> at(std::uint32_t x, std::uint32_t y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

Png readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Png png;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return png;
    }
    image.format = PNG_FORMAT_RGB;
    png.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, png.rgb.data(), 0, nullptr) == 0) {
        png.rgb.clear();
        return png;
    }
    png.width = image.width;
    png.height = image.height;
    return png;
}

struct ToolRun {
    int exitCode = -1;
    std::string output;
};

ToolRun runTool(const std::string& arguments) {
    ToolRun run;
    const std::string command =
        "env -u ORVOCHART_LOG '" + std::string(ORVOCHART_TOOL) + "' " + arguments + " 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        run.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The naive ink-to-screen preview of a CMYK patch: each screen channel is
// what its ink and the black leave of the paper.
std::array<int, 3> screenOfCmyk(int c, int m, int y, int k) {
    const double black = k / 255.0;
    const auto channel = [black](int ink) {
        return static_cast<int>((1.0 - (ink / 255.0 * (1.0 - black) + black)) * 255.0);
    };
    return {channel(c), channel(m), channel(y)};
}

// Equal within one step: the preview truncates, and a channel that lands on
// a whole number may come out one below it in floating point.
::testing::AssertionResult nearColor(const std::array<int, 3>& got,
                                     const std::array<int, 3>& want) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::abs(got[i] - want[i]) > 1) {
            return ::testing::AssertionFailure()
                   << "rgb " << got[0] << " " << got[1] << " " << got[2] << ", expected " << want[0]
                   << " " << want[1] << " " << want[2];
        }
    }
    return ::testing::AssertionSuccess();
}

class ChartPreview : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(ORVOCHART_TOOL)) {
            GTEST_SKIP() << "the orvochart tool is not built";
        }
        dir_ = fs::temp_directory_path() /
               ("orvo_preview_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    static std::string reference(const std::string& name) {
        return std::string(ORVOCHART_TEST_DATA) + "/instruments/" + name;
    }

    fs::path dir_;
};

TEST_F(ChartPreview, ShowsEveryTiffPageInScreenColours) {
    // EyeOnePro2 on 170 x 80 mm: two pages of 1648 x 750 pixels (5 and 4
    // strips of 11). Shrunk by ceil(1648 / 800) = 3: 550 x 250. The first
    // patch covers pixels 344-423 x 80-159 of page 0; the patch of the
    // second page's first strip is patch 55.
    const std::string out = file("chart.tif");
    const ToolRun run =
        runTool("chart --instrument EyeOnePro2 --mode CMYK --ref '" + reference("cmyk_90.txt") +
                "' --out '" + out + "' --width 170 --height 80 --preview");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("preview: " + file("chart.png") + "\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("preview: " + file("chart.tif_1.png") + "\n"), std::string::npos)
        << run.output;

    const hostcheck::Reference ref = hostcheck::readReference(reference("cmyk_90.txt"));
    const auto inkOf = [&](std::size_t row, const char* column) {
        return hostcheck::inkByte(ref.value(row, column));
    };
    const auto patchScreen = [&](std::size_t row) {
        return screenOfCmyk(inkOf(row, "CMYK_C"), inkOf(row, "CMYK_M"), inkOf(row, "CMYK_Y"),
                            inkOf(row, "CMYK_K"));
    };
    const Png first = readPng(file("chart.png"));
    ASSERT_EQ(first.width, 550U);
    ASSERT_EQ(first.height, 250U);
    EXPECT_TRUE(nearColor(first.at(384 / 3, 120 / 3), patchScreen(0)));
    EXPECT_TRUE(nearColor(first.at((384 + 94) / 3, 120 / 3), patchScreen(1)));
    // The opening patch is black, the paper white, the closing patch yellow.
    EXPECT_EQ(first.at(290 / 3, 120 / 3), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(first.at(520 / 3, 720 / 3), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(first.at((344 + 11 * 94 + 40) / 3, 120 / 3), (std::array<int, 3>{255, 255, 0}));

    const Png second = readPng(file("chart.tif_1.png"));
    ASSERT_EQ(second.width, 550U);
    EXPECT_TRUE(nearColor(second.at(384 / 3, 120 / 3), patchScreen(55)));
}

TEST_F(ChartPreview, ShowsLabPagesThroughTheirScreenColour) {
    // L* 100, a* = b* = 0 is the paper white on screen; a Lab page's black
    // opening patch is L* 0.
    const std::string out = file("chart.tif");
    const ToolRun run =
        runTool("chart --instrument EyeOne --mode Lab --ref '" + reference("lab_90.txt") +
                "' --out '" + out + "' --paper A4 --preview");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Png png = readPng(file("chart.png"));
    ASSERT_EQ(png.width, (1992U + 2) / 3);
    EXPECT_EQ(png.at(290 / 3, 120 / 3), (std::array<int, 3>{0, 0, 0}));
    const std::array<int, 3> paper = png.at(1900 / 3, 700 / 3);
    for (int channel : paper) {
        EXPECT_GE(channel, 253);
    }
}

TEST_F(ChartPreview, PassesOverPagesThatAreNoTiff) {
    // DTP41 pages are PDF documents under the page names.
    const std::string out = file("chart.tif");
    const ToolRun run =
        runTool("chart --instrument DTP41 --mode CMYK --ref '" + reference("cmyk_90.txt") +
                "' --out '" + out + "' --paper A4 --preview");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("no preview of " + out + ": not a TIFF page\n"), std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(file("chart.png")));
}

}  // namespace
}  // namespace GenChartLib
