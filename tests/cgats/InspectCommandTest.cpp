// The inspect command run as a separate process, as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "CgatsTestSupport.h"

namespace {

using cgatstest::dataFile;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ToolRun runInspect(const std::string& arguments) {
    const std::string errPath = ::testing::TempDir() + "inspect_stderr.txt";
    const std::string command =
        std::string("'") + ORVOCHART_TOOL + "' inspect " + arguments + " 2>'" + errPath + "'";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = slurp(errPath);
    return run;
}

// The text of the "patches" array.
std::string patchesBlock(const std::string& json) {
    const auto start = json.find("\"patches\": [");
    if (start == std::string::npos) {
        return {};
    }
    const auto end = json.find("\n  ]", start);
    return json.substr(start, end == std::string::npos ? std::string::npos : end + 4 - start);
}

TEST(InspectCommandTest, PrintsLabBytesAsTheLoaderMakesThem) {
    const ToolRun run = runInspect("'" + dataFile("lab_mixed_case.txt") + "' --mode lab");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"mode\": \"Lab\""), std::string::npos);
    EXPECT_NE(run.out.find("\"fields\": [\"SAMPLE_ID\", \"LAB_L\", \"LAB_A\", \"LAB_B\"]"),
              std::string::npos);
    EXPECT_NE(run.out.find("\"numberOfSets\": 5"), std::string::npos);
    EXPECT_EQ(patchesBlock(run.out),
              "\"patches\": [\n"
              "    [128, 246, 20],\n"
              "    [26, 128, 127],\n"
              "    [230, 246, 21],\n"
              "    [255, 0, 126],\n"
              "    [0, 245, 128]\n"
              "  ]");
}

TEST(InspectCommandTest, SpotModeShowsSpotChannelsAndDeclarations) {
    const ToolRun run = runInspect("'" + dataFile("spot_2clr.txt") + "' --mode spot2");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(patchesBlock(run.out),
              "\"patches\": [\n    [255, 0],\n    [128, 26],\n    [0, 0]\n  ]");
    EXPECT_NE(run.out.find("{\"key\": \"SPOT_7\", \"name\": \"Red B\"}"), std::string::npos);
}

TEST(InspectCommandTest, ShowsKeywordsAndDeviceNInks) {
    const ToolRun keywords = runInspect("'" + dataFile("cmyk_basic.txt") + "'");
    ASSERT_EQ(keywords.exitCode, 0) << keywords.err;
    EXPECT_NE(keywords.out.find("\"PATCH_SIZE_X\": 6,"), std::string::npos);
    EXPECT_NE(keywords.out.find("\"PROOFJOB\": \"Proof Job 7\""), std::string::npos);
    EXPECT_NE(keywords.out.find("\"mode\": \"CMYK\""), std::string::npos);
    const ToolRun inks = runInspect("'" + dataFile("spot_8clr_devicen.txt") + "' --mode=107");
    ASSERT_EQ(inks.exitCode, 0) << inks.err;
    EXPECT_NE(inks.out.find("{\"channel\": 5, \"cmyk\": [0, 100, 60, 0], \"name\": \"Orange\"}"),
              std::string::npos);
}

TEST(InspectCommandTest, ModeNumbersAndNamesAgree) {
    const std::string file = "'" + dataFile("cmyko_5clr.txt") + "'";
    const ToolRun byNumber = runInspect(file + " --mode 5");
    const ToolRun byName = runInspect(file + " --mode CMYKO");
    ASSERT_EQ(byNumber.exitCode, 0) << byNumber.err;
    EXPECT_EQ(byNumber.out, byName.out);
    EXPECT_NE(byNumber.out.find("[255, 255, 255, 255, 127]"), std::string::npos);
}

TEST(InspectCommandTest, FailuresReportTheCodeAndItsText) {
    const ToolRun missing = runInspect("'" + dataFile("absent.txt") + "'");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("error -2370: GenChartLib: Cannot open data"), std::string::npos)
        << missing.err;
    const ToolRun noLab = runInspect("'" + dataFile("cmyk_basic.txt") + "' --mode 3");
    EXPECT_EQ(noLab.exitCode, 1);
    EXPECT_NE(noLab.err.find("error -2389: GenChartLib: No Lab data found"), std::string::npos);
}

TEST(InspectCommandTest, UsageErrorsAndHelp) {
    const ToolRun help = runInspect("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--mode MODE"), std::string::npos);
    EXPECT_EQ(runInspect("'" + dataFile("rgb.txt") + "' --mode 8").exitCode, 2);
    EXPECT_EQ(runInspect("").exitCode, 2);
    EXPECT_EQ(runInspect("a.txt b.txt").exitCode, 2);
    EXPECT_EQ(runInspect("a.txt --colour").exitCode, 2);
}

}  // namespace
