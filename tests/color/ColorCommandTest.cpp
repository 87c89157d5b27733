// The `orvochart color` verb, run as a user would run it.
#include <gtest/gtest.h>

#if !defined(_WIN32)

#include <sys/wait.h>

#include <cstdio>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun {
    int status = -1;
    std::string output;  // standard output and standard error
};

ToolRun runColor(const std::string& arguments) {
    ToolRun run;
    const std::string command = std::string(ORVOCHART_TOOL) + " color " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string dataFile(const char* name) {
    return std::string(ORVOCHART_TEST_DATA) + "/color/" + name;
}

TEST(ColorCommand, DifferencesOfNumbersOnTheCommandLine) {
    // First published CIEDE2000 pair; CIE94 and CMC from the reference pairs.
    ToolRun de2000 = runColor("de2000 50 2.6772 -79.7751 50 0 -82.7485");
    EXPECT_EQ(de2000.status, 0);
    EXPECT_EQ(de2000.output, "2.0425\n");
    EXPECT_EQ(runColor("de94 50 2.5 0 58 24 15").output, "24.9377\n");
    EXPECT_EQ(runColor("cmc 50 2.5 0 58 24 15").output, "33.9366\n");
    EXPECT_EQ(runColor("de76 50 2.5 0 50 0 -2.5").output, "3.5355\n");
}

TEST(ColorCommand, Conversions) {
    EXPECT_EQ(runColor("xyz2lab 96.42 100 82.51").output, "L=100.0000 a=0.0000 b=0.0000\n");
    EXPECT_EQ(runColor("xyz2lab 94.81 100 107.32 --white 1 --observer 1").output,
              "L=100.0000 a=0.0000 b=0.0000\n");
    EXPECT_EQ(runColor("lab2lch 50 -20 0").output, "L=50.0000 C=20.0000 h=180.0000\n");
    EXPECT_EQ(runColor("rgb2xyz 255 0 0").output, "X=41.2400 Y=21.2600 Z=1.9300\n");
    EXPECT_EQ(runColor("cmyk2rgb 100 0 0 0").output, "R=0 G=255 B=255\n");
    EXPECT_EQ(runColor("xyz2rgb 41.24 21.26 1.93 --space 1").output, "R=255 G=0 B=0\n");
}

// The tab-separated numbers of the output line of set `name`.
std::vector<double> setLine(const std::string& output, const std::string& name) {
    std::vector<double> numbers;
    const std::size_t at = output.find("\n" + name + "\t");
    if (at == std::string::npos) {
        return numbers;
    }
    std::istringstream line(
        output.substr(at + name.size() + 2, output.find('\n', at + 1) - at - name.size() - 2));
    line.imbue(std::locale::classic());
    double v = 0.0;
    while (line >> v) {
        numbers.push_back(v);
    }
    return numbers;
}

TEST(ColorCommand, SpectralFilePerSet) {
    const ToolRun run = runColor("spectral " + dataFile("spectral_patches.txt") +
                                 " --illuminant 6 --observer 0 --density 0");
    ASSERT_EQ(run.status, 0) << run.output;
    // Columns: X Y Z L a b D_R D_G D_B D_V.
    const std::vector<double> white = setLine(run.output, "WHITE");
    const std::vector<double> grey = setLine(run.output, "GREY20");
    const std::vector<double> cyan = setLine(run.output, "CYAN");
    ASSERT_EQ(white.size(), 10u) << run.output;
    ASSERT_EQ(grey.size(), 10u) << run.output;
    ASSERT_EQ(cyan.size(), 10u) << run.output;
    // The perfect white is the D65 white, Lab (100, 0, 0), density 0.
    EXPECT_NEAR(white[0], 95.04, 0.02);
    EXPECT_EQ(white[1], 100.0);
    EXPECT_NEAR(white[2], 108.88, 0.02);
    EXPECT_EQ(white[3], 100.0);
    EXPECT_EQ(white[4], 0.0);
    EXPECT_EQ(white[9], 0.0);
    // 20 % grey: L = 116 * 0.2^(1/3) - 16 = 51.8372, density -log10(0.2).
    EXPECT_NEAR(grey[0], 0.2 * white[0], 1e-4);
    EXPECT_EQ(grey[1], 20.0);
    EXPECT_EQ(grey[3], 51.8372);
    for (std::size_t channel = 6; channel < 10; ++channel) {
        EXPECT_EQ(grey[channel], 0.699) << channel;
    }
    // Cyan: 1 % reflectance under the whole status A red filter.
    EXPECT_EQ(cyan[6], 2.0);
    EXPECT_LT(cyan[4], -40.0);  // green-blue: negative a
}

TEST(ColorCommand, ErrorsExplainThemselves) {
    const ToolRun unknown = runColor("de3000 1 2 3 4 5 6");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("unknown subcommand 'de3000'"), std::string::npos);
    const ToolRun count = runColor("de76 1 2 3");
    EXPECT_EQ(count.status, 2);
    EXPECT_NE(count.output.find("de76 takes 6 numbers, got 3"), std::string::npos);
    const ToolRun word = runColor("lab2xyz 50 x 0");
    EXPECT_EQ(word.status, 2);
    EXPECT_NE(word.output.find("'x' is not a number"), std::string::npos);
    const ToolRun missing = runColor("spectral " + dataFile("no_such_file.txt"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("error -2370"), std::string::npos) << missing.output;
    const ToolRun noSpectra =
        runColor(std::string("spectral ") + ORVOCHART_TEST_DATA + "/cgats/cmyk_basic.txt");
    EXPECT_EQ(noSpectra.status, 1);
    EXPECT_NE(noSpectra.output.find("no spectral columns"), std::string::npos);
    const ToolRun observer =
        runColor("spectral " + dataFile("spectral_patches.txt") + " --observer 1");
    EXPECT_EQ(observer.status, 2);
    EXPECT_NE(observer.output.find("unknown illuminant 5 or observer 1"), std::string::npos);
}

TEST(ColorCommand, HelpListsTheSubcommands) {
    const ToolRun help = runColor("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* verb : {"de2000", "cmc", "lab2xyz", "lch2lab", "spectral FILE"}) {
        EXPECT_NE(help.output.find(verb), std::string::npos) << verb;
    }
}

}  // namespace

#endif  // !_WIN32
