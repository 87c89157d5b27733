// The inspect command run as a separate process, as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "CgatsTestSupport.h"
#include "Support.h"

namespace {

struct ToolRun {
    int exitCode;
    std::string out, err;
};

// Text-mode output has CR LF line ends on Windows.
std::string lf(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

ToolRun runInspect(const std::string& arguments) {
    const std::string err = ::testing::TempDir() + "inspect_stderr.txt";
    const auto run = testsupport::run(testsupport::quoted(ORVOCHART_TOOL) + " inspect " +
                                      arguments + " 2>" + testsupport::quoted(err));
    return {run.exitCode, lf(run.output), lf(testsupport::fileText(err))};
}

std::string reference(const std::string& name) {
    return testsupport::quoted(cgatstest::dataFile(name));
}

// Each run: the arguments, the exit code, and texts that the standard output
// (on success) or the error output (on failure) must hold. Patch bytes are
// those of the loaders; a failed load reports the code and its text and
// writes no output; usage errors exit with 2.
TEST(InspectCommandTest, PrintsWhatTheReaderAndTheLoaderMakeOfAFile) {
    // clang-format off
    const std::vector<std::tuple<std::string, int, std::vector<std::string>>> cases = {
        {reference("lab_mixed_case.txt") + " --mode lab", 0,
         {"\"mode\": \"Lab\"", "\"fields\": [\"SAMPLE_ID\", \"LAB_L\", \"LAB_A\", \"LAB_B\"]",
          "\"numberOfSets\": 5",
          "\"patches\": [\n    [128, 246, 20],\n    [26, 128, 127],\n"}},
        {reference("spot_2clr.txt") + " --mode spot2", 0,
         {"    [0, 0]\n  ]",
          "{\"key\": \"SPOT_7\", \"name\": \"Red B\"}"}},
        {reference("cmyk_basic.txt"), 0,
         {"\"PATCH_SIZE_X\": 6,", "\"PROOFJOB\": \"Proof Job 7\"", "\"mode\": \"CMYK\""}},
        {reference("spot_8clr_devicen.txt") + " --mode=107", 0,
         {"{\"channel\": 5, \"cmyk\": [0, 100, 60, 0], \"name\": \"Orange\"}"}},
        {reference("cmyko_5clr.txt") + " --mode 5", 0, {"[255, 255, 255, 255, 127]"}},
        {reference("absent.txt"), 1, {"error -2370: GenChartLib: Cannot open data"}},
        {reference("cmyk_basic.txt") + " --mode 3", 1,
         {"error -2389: GenChartLib: No Lab data found"}},
        {"--help", 0, {"--mode MODE"}},
        {reference("rgb.txt") + " --mode 8", 2, {}}, {"", 2, {}}, {"a.txt b.txt", 2, {}},
        {"a.txt --colour", 2, {}}};
    // clang-format on
    for (const auto& [arguments, exitCode, parts] : cases) {
        const ToolRun run = runInspect(arguments);
        EXPECT_EQ(run.exitCode, exitCode) << arguments << "\n" << run.err;
        for (const std::string& part : parts) {
            EXPECT_NE((exitCode == 0 ? run.out : run.err).find(part), std::string::npos)
                << arguments << " lacks " << part << "\n"
                << run.err;
        }
        EXPECT_TRUE(exitCode != 1 || run.out.empty()) << arguments;
    }
    EXPECT_EQ(runInspect(reference("cmyko_5clr.txt") + " --mode CMYKO").out,
              runInspect(reference("cmyko_5clr.txt") + " --mode 5").out);
}

}  // namespace
