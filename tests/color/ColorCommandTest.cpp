// The `orvochart color` verb, run as a user would run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

#include "Support.h"

namespace {

// The tool's exit code and what it printed, standard error included, with
// the CR LF line ends of a text-mode stream on Windows as LF.
testsupport::CommandResult runColor(const std::string& arguments) {
    auto run =
        testsupport::run(testsupport::quoted(ORVOCHART_TOOL) + " color " + arguments + " 2>&1");
    run.output.erase(std::remove(run.output.begin(), run.output.end(), '\r'), run.output.end());
    return run;
}

const std::string kData = std::string(ORVOCHART_TEST_DATA);
const std::string kSpectra = kData + "/color/spectral_patches.txt";

// Differences: the first published CIEDE2000 pair, CIE94 and CMC from the
// reference pairs; conversions of whites and primaries worked by hand.
TEST(ColorCommand, NumbersOnTheCommandLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"de2000 50 2.6772 -79.7751 50 0 -82.7485", "2.0425\n"},
        {"cmc 50 2.5 0 58 24 15", "33.9366\n"},
        {"xyz2lab 94.81 100 107.32 --white 1 --observer 1", "L=100.0000 a=0.0000 b=0.0000\n"},
        {"lab2lch 50 -20 0", "L=50.0000 C=20.0000 h=180.0000\n"},
        {"cmyk2rgb 100 0 0 0", "R=0 G=255 B=255\n"},
        {"xyz2rgb 41.24 21.26 1.93 --space 1", "R=255 G=0 B=0\n"}};
    for (const auto& [arguments, output] : cases) {
        const testsupport::CommandResult run = runColor(arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments;
        EXPECT_EQ(run.output, output) << arguments;
    }
}

// Columns: set, X Y Z L a b D_R D_G D_B D_V. 20 % grey is a fifth of the
// D65 white (95.047, 100, 108.883), L = 116 x 0.2^(1/3) - 16 = 51.8372,
// density -log10(0.2); the conversions themselves are checked where they
// are made.
TEST(ColorCommand, SpectralFilePerSet) {
    const testsupport::CommandResult run =
        runColor("spectral " + kSpectra + " --illuminant 6 --observer 0 --density 0");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("\nGREY20\t19.0094\t20.0000\t21.7766\t51.8372\t0.0000\t0.0000\t"
                              "0.6990\t0.6990\t0.6990\t0.6990\n"),
              std::string::npos)
        << run.output;
}

TEST(ColorCommand, ErrorsExplainThemselvesAndHelpListsTheVerbs) {
    const std::tuple<std::string, int, const char*> cases[] = {
        {"de3000 1 2 3 4 5 6", 2, "unknown subcommand 'de3000'"},
        {"de76 1 2 3", 2, "de76 takes 6 numbers, got 3"},
        {"lab2xyz 50 x 0", 2, "'x' is not a number"},
        {"spectral " + kData + "/color/no_such_file.txt", 1, "error -2370"},
        {"spectral " + kData + "/cgats/cmyk_basic.txt", 1, "no spectral columns"},
        {"spectral " + kSpectra + " --observer 1", 2, "unknown illuminant 5 or observer 1"}};
    for (const auto& [arguments, status, message] : cases) {
        const testsupport::CommandResult run = runColor(arguments);
        EXPECT_EQ(run.exitCode, status) << arguments;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
    }
    const testsupport::CommandResult help = runColor("--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("spectral FILE"), std::string::npos) << help.output;
}

}  // namespace
