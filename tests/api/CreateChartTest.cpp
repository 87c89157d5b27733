// The exported chart job end to end, as a host calls it: directly, through
// the shared library's export table, and through the command-line tool that
// loads the library.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "engine/ChartTestSupport.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;
using chart_test::LogCapture;
using chart_test::TempDir;
using chart_test::writeCmykReference;

constexpr const char* kCreateChartSymbol =
    "_Z11createChart19IdMeasureInstrumentPKcS1_ddiPiS2_S2_9ColorMode";

struct CommandRun {
    int exitCode = -1;
    std::string output;
};

CommandRun runCommand(const std::string& command) {
    CommandRun result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

bool startsWith(const std::string& path, const std::string& prefix) {
    std::ifstream in(path, std::ios::binary);
    std::string head(prefix.size(), '\0');
    in.read(&head[0], static_cast<std::streamsize>(head.size()));
    return in && head == prefix;
}

class CreateChart : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string writer = std::string(ORVOCHART_MODULE_DIR) + "/" +
                                   GenChartLib::platform::moduleFileName("wxPDF");
        if (!fs::exists(writer)) {
            GTEST_SKIP() << "the PDF writer module is not built";
        }
    }
    std::string reference(int sets) {
        const std::string path = dir_.file("ref" + std::to_string(sets) + ".txt");
        writeCmykReference(path, sets);
        return path;
    }
    // Only the files a chart job writes (the reference and log put aside).
    std::vector<std::string> chartFiles() const {
        std::vector<std::string> names;
        for (const std::string& name : dir_.entries()) {
            if (name.rfind("ref", 0) != 0 && name != "log.txt") {
                names.push_back(name);
            }
        }
        return names;
    }
    int make(std::int32_t id, const std::string& out, const std::string& ref, int mode = 0,
             double widthMm = 210.0, double heightMm = 297.0) {
        return createChart(static_cast<IdMeasureInstrument>(id), out.c_str(), ref.c_str(), widthMm,
                           heightMm, 0, &strips_, &columns_, nullptr, static_cast<ColorMode>(mode));
    }
    TempDir dir_;
    int strips_ = -1;
    int columns_ = -1;
};

TEST_F(CreateChart, AnEmptyReferenceNameFailsAfterLoggingWhy) {
    LogCapture log(dir_.file("log.txt"));
    EXPECT_EQ(make(MI_DTP41, dir_.file("chart.tif"), ""), 0);
    EXPECT_TRUE(chartFiles().empty());
    const std::string text = log.text();
    EXPECT_NE(text.find("MeasureInstrument/initChartParams: exit initChartParams: refDataName "
                        "is empty\n"),
              std::string::npos);
    EXPECT_NE(text.find("MeasureInstrument/writeChart: GenChartLib: Empty page vector\n"),
              std::string::npos);
}

TEST_F(CreateChart, NeverReplacesAnExistingOutputFile) {
    const std::string out = dir_.file("chart.tif");
    { std::ofstream(out) << "keep me"; }
    LogCapture log(dir_.file("log.txt"));
    EXPECT_EQ(make(MI_DTP41, out, reference(40)), 0);
    EXPECT_EQ(strips_, -1);
    EXPECT_TRUE(startsWith(out, "keep me"));
    EXPECT_EQ(chartFiles(), std::vector<std::string>{"chart.tif"});
    EXPECT_EQ(log.text(),
              "CreateChart/createChart: output file exists, nothing written: " + out + "\n");
}

TEST_F(CreateChart, RefusesBadArgumentsAndPagesWithoutRoomBeforeWritingAnything) {
    const std::string ref = reference(40);
    const std::string out = dir_.file("chart.tif");
    LogCapture log(dir_.file("log.txt"));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(make(MI_DTP41, out, ref, 0, nan, 297.0), 0);
    EXPECT_EQ(make(MI_DTP41, out, ref, 0, 210.0, -inf), 0);
    EXPECT_EQ(make(MI_DTP41, out, ref, 0, 0.0, 297.0), 0);
    EXPECT_EQ(createChart(MI_DTP41, nullptr, ref.c_str(), 210.0, 297.0, 0, &strips_, &columns_,
                          nullptr, CM_CMYK),
              0);
    EXPECT_EQ(createChart(MI_DTP41, out.c_str(), nullptr, 210.0, 297.0, 0, &strips_, &columns_,
                          nullptr, CM_CMYK),
              0);
    EXPECT_EQ(make(MI_DTP41, "", ref), 0);
    EXPECT_EQ(make(MI_DTP41, ref, ref), 0);
    // 70 mm leave 2 mm between the DTP41's margins: the layout refuses it and
    // drops its chart, so the two re-fits after it find none.
    EXPECT_EQ(make(MI_DTP41, out, ref, 0, 70.0, 297.0), 0);
    EXPECT_TRUE(chartFiles().empty());
    EXPECT_EQ(strips_, -1);
    const std::string pageSize = "CreateChart/createChart: GenChartLib: Invalid page size.\n";
    const std::string noChart =
        "GenChart/SetChartParams: GenChartLib: Invalid measurement handle\n";
    EXPECT_EQ(log.text(), pageSize + pageSize + pageSize +
                              "CreateChart/createChart: GenChartLib: Invalid chart name\n" +
                              "CreateChart/createChart: GenChartLib: The chart should have a "
                              "different name or be in a different location as the selected IT8 "
                              "reference file.\n" +
                              "GenChart/InitChartParams: GenChartLib: Invalid page size.\n" +
                              noChart + noChart);
}

// A device never ends and a pipe without a writer holds whoever opens it: a
// reference that is not a plain file is refused before it is opened.
TEST_F(CreateChart, RefusesAReferenceThatIsNotAPlainFileAndSaysWhy) {
    const std::string pipe = dir_.file("ref_pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::create_directory(dir_.file("ref_folder"));
    for (const std::string& ref : {std::string("/dev/zero"), pipe, dir_.file("ref_folder")}) {
        LogCapture log(dir_.file("log.txt"));
        EXPECT_EQ(make(MI_DTP41, dir_.file("chart.tif"), ref), 0);
        EXPECT_NE(log.text().find("CgatsReader/load: the reference is not a regular file: " + ref),
                  std::string::npos)
            << log.text();
    }
    EXPECT_TRUE(chartFiles().empty());
}

// ---- As a host sees the library ----

TEST(SharedLibrary, ExportsCreateChartUnderItsCppName) {
    const std::string library =
        std::string(ORVOCHART_MODULE_DIR) + "/libOrvoChartInterfaceShared.so";
    if (!fs::exists(library)) {
        GTEST_SKIP() << "the shared library is not built";
    }
    const CommandRun nm = runCommand("nm -D --defined-only '" + library + "'");
    if (nm.exitCode != 0) {
        GTEST_SKIP() << "nm is not available";
    }
    EXPECT_NE(nm.output.find(std::string(" T ") + kCreateChartSymbol + "\n"), std::string::npos);
    const CommandRun demangled = runCommand(std::string("c++filt ") + kCreateChartSymbol);
    if (demangled.exitCode == 0) {
        EXPECT_EQ(demangled.output,
                  "createChart(IdMeasureInstrument, char const*, char const*, double, double, int, "
                  "int*, int*, int*, ColorMode)\n");
    }
    // No function of the library's internals is exported.
    std::istringstream lines(nm.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" T ") != std::string::npos) {
            EXPECT_EQ(line.find("GenChartLib"), std::string::npos) << line;
        }
    }
}

class ChartTool : public CreateChart {
  protected:
    void SetUp() override {
        CreateChart::SetUp();
        if (!fs::exists(ORVOCHART_TOOL)) {
            GTEST_SKIP() << "the orvochart tool is not built";
        }
    }
    CommandRun tool(const std::string& arguments) {
        return runCommand("env -u ORVOCHART_LOG '" + std::string(ORVOCHART_TOOL) + "' " +
                          arguments);
    }
};

TEST_F(ChartTool, MakesAChartThroughTheSharedLibrary) {
    const std::string out = dir_.file("chart.tif");
    const CommandRun result = tool("chart --instrument dtp41 --mode CMYK --ref '" + reference(250) +
                                   "' --out '" + out + "' --paper A4");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("\npage 1: 6 strips x 15 columns, "), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("\npage 3: "), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("\npage 4: "), std::string::npos) << result.output;
    for (const std::string& file : {out, out + "_1.tif", out + "_2.tif"}) {
        EXPECT_NE(result.output.find("  " + file + "\n"), std::string::npos) << file;
    }
    EXPECT_TRUE(fs::exists(out + "_2.tif"));
}

TEST_F(ChartTool, PrintsEveryPagesLayoutAsTheTiffPagesHaveIt) {
    // EyeOnePro2 on 170 x 80 mm: 90 patches on two pages of 1648 x 750
    // pixels (0.1 mm each), 5 and 4 strips of 11.
    const std::string out = dir_.file("chart.tif");
    const CommandRun result = tool(
        "chart --instrument EyeOnePro2 --mode CMYK --ref '" + std::string(ORVOCHART_TEST_DATA) +
        "/instruments/cmyk_90.txt' --out '" + out + "' --width 170 --height 80");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("\npage 1: 5 strips x 11 columns, 164.8 x 75.0 mm\n"
                                 "page 2: 4 strips x 11 columns, 164.8 x 75.0 mm\n"),
              std::string::npos)
        << result.output;
    const CommandRun info = runCommand("tiffinfo '" + out + "_1.tif'");
    if (info.exitCode == 0) {
        EXPECT_NE(info.output.find("Image Width: 1648 Image Length: 750"), std::string::npos);
    }
}

TEST_F(ChartTool, NamesTheCauseOfEveryFailureInOneLine) {
    const std::string ref = reference(40);
    const std::string out = dir_.file("chart.tif");
    { std::ofstream(dir_.file("taken.tif")) << "keep"; }
    const std::string job = " --ref '" + ref + "' --out '" + out + "' --paper A4";
    struct Case {
        std::string arguments;
        int exitCode;
        std::string line;  // what stderr holds, all of it one line
    };
    const Case cases[] = {
        {"--instrument 2 --mode 0 --ref '" + dir_.file("none.txt") + "' --out '" + out +
             "' --paper A4",
         1, "cannot read the reference '" + dir_.file("none.txt") + "': No such file or directory"},
        {"--instrument 2 --mode 0 --ref '" + dir_.file("") + "' --out '" + out + "' --paper A4", 1,
         "cannot read the reference '" + dir_.file("") + "': Is a directory"},
        {"--instrument 2 --mode 0 --ref '" + ref + "' --out '" + out + "' --width 70 --height 297",
         1, "no chart was made: GenChart/InitChartParams: GenChartLib: Invalid page size."},
        {"--instrument 2 --mode 0 --ref '" + ref + "' --out '" + dir_.file("taken.tif") +
             "' --paper A4",
         1, "'" + dir_.file("taken.tif") + "' exists and a chart never replaces a file"},
        {"--instrument 2 --mode 0 --ref '" + ref + "' --out '" + dir_.file("no/chart.tif") +
             "' --paper A4",
         1, "the folder of --out, '" + dir_.file("no") + "', does not exist"},
        {"--instrument EyOnePro2 --mode 0" + job, 2,
         "unknown instrument 'EyOnePro2'; did you mean EyeOnePro2? ('orvochart list' shows them "
         "all)"},
        {"--instrument nonesuch --mode 0" + job, 2,
         "unknown instrument 'nonesuch' ('orvochart list' shows them all)"},
        {"--instrument 2 --mode cmykk" + job, 2,
         "unknown colour mode 'cmykk'; did you mean CMYK, CMYKO or CMYKOG?"},
        {"--instrument 2 --mode 9" + job, 2, "unknown colour mode '9'"},
        {"--instrument 2 --mode 0 --ref '" + ref + "' --out '" + out + "' --paper B9", 2,
         "unknown paper size 'B9'"},
        {"--instrument 2 --mode 0 --paper A4 --width 100 --height 100" + job, 2,
         "give either --width and --height or --paper"},
        {"--instrument 2 --mode 0 --colour red" + job, 2, "unknown option '--colour'"},
    };
    for (const Case& c : cases) {
        // Standard error alone: the subshell sends standard output away.
        const CommandRun run = runCommand("(env -u ORVOCHART_LOG '" + std::string(ORVOCHART_TOOL) +
                                          "' chart " + c.arguments + " 2>&1 >/dev/null)");
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(run.output.rfind("orvochart chart: " + c.line, 0), 0U) << run.output;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
    // The session's follow-on lines only with -v.
    const CommandRun verbose = tool("chart -v --instrument 2 --mode 0 --ref '" + ref + "' --out '" +
                                    out + "' --width 70 --height 297");
    EXPECT_NE(verbose.output.find("\nGenChart/SetChartParams: "), std::string::npos)
        << verbose.output;
    EXPECT_TRUE(chartFiles().size() == 1 && chartFiles()[0] == "taken.tif");
}

TEST_F(ChartTool, ListsInstrumentsAndModes) {
    const CommandRun result = tool("list");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(
        result.output.find("    2  DTP41          MI_DTP41           Dtp41         all colour "
                           "modes\n"),
        std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("any other id: WarmUpPage, all colour modes but CMYKO"),
              std::string::npos);
    EXPECT_NE(result.output.find("  103  Spot4"), std::string::npos);
}

}  // namespace
