// The exported chart job end to end, as a host calls it: directly, through
// the shared library's export table, and through the command-line tool that
// loads the library.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "OrvoChartInterface.h"
#include "Support.h"
#include "engine/ChartTestSupport.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

// A path as one shell word (std::quoted would win a call with a plain string).
std::string arg(const std::string& path) {
    return testsupport::quoted(path);
}

bool holds(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class CreateChart : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(std::string(ORVOCHART_MODULE_DIR) + "/wxPDF" + ORVOCHART_MODULE_SUFFIX)) {
            GTEST_SKIP() << "the PDF writer module is not built";
        }
    }
    std::string reference(int sets) {
        const std::string path = dir_.file("ref" + std::to_string(sets) + ".txt");
        chart_test::writeCmykReference(path, sets);
        return path;
    }
    int make(const std::string& out, const std::string& ref, double widthMm = 210.0,
             double heightMm = 297.0) {
        return createChart(MI_DTP41, out.c_str(), ref.c_str(), widthMm, heightMm, 0, &strips_,
                           &columns_, nullptr, CM_CMYK);
    }
    testsupport::TempFolder dir_;
    int strips_ = -1;
    int columns_ = -1;
};

TEST_F(CreateChart, NeverReplacesAnExistingOutputFile) {
    const std::string out = dir_.file("chart.tif");
    std::ofstream(out) << "keep me";
    testsupport::LogCapture log(dir_.file("log.txt"));
    EXPECT_EQ(make(out, reference(40)), 0);
    EXPECT_EQ(strips_, -1);
    EXPECT_EQ(testsupport::fileText(out), "keep me");
    EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"chart.tif", "log.txt", "ref40.txt"}));
    EXPECT_EQ(log.text(),
              "CreateChart/createChart: output file exists, nothing written: " + out + "\n");
}

TEST_F(CreateChart, RefusesBadArgumentsAndPagesWithoutRoomBeforeWritingAnything) {
    const std::string ref = reference(40);
    const std::string out = dir_.file("chart.tif");
    testsupport::LogCapture log(dir_.file("log.txt"));
    EXPECT_EQ(make(out, ref, std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(make(out, ref, 210.0, -std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(make(out, ref, 0.0), 0);
    EXPECT_EQ(createChart(MI_DTP41, nullptr, ref.c_str(), 210, 297, 0, &strips_, &columns_, nullptr,
                          CM_CMYK),
              0);
    EXPECT_EQ(createChart(MI_DTP41, out.c_str(), nullptr, 210, 297, 0, &strips_, &columns_, nullptr,
                          CM_CMYK),
              0);
    EXPECT_EQ(make("", ref), 0);
    EXPECT_EQ(make(ref, ref), 0);
    // 70 mm leave 2 mm between the DTP41's margins: the layout refuses it and
    // drops its chart, so the two re-fits after it find none.
    EXPECT_EQ(make(out, ref, 70.0), 0);
    EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"log.txt", "ref40.txt"}));
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
    std::vector<std::string> refs = {dir_.file("ref_folder")};
    fs::create_directory(refs[0]);
#ifndef _WIN32  // devices and FIFOs in the file system are POSIX's
    refs.push_back("/dev/zero");
    refs.push_back(dir_.file("ref_pipe"));
    ASSERT_EQ(testsupport::run("mkfifo " + arg(refs.back())).exitCode, 0);
#endif
    for (const std::string& ref : refs) {
        testsupport::LogCapture log(dir_.file("log.txt"));
        EXPECT_EQ(make(dir_.file("chart.tif"), ref), 0);
        EXPECT_TRUE(
            holds(log.text(), "CgatsReader/load: the reference is not a regular file: " + ref))
            << log.text();
    }
    EXPECT_FALSE(fs::exists(dir_.file("chart.tif")));
}

// Every export is found under its plain name (src/api/ExportNames.txt);
// where C++ names are Itanium's, the compiler's name is the same function,
// and nothing of the internals is exported.
TEST(SharedLibrary, ExportsEveryFunctionUnderItsPlainNameAndNoInternals) {
    std::string error;
    const auto library = GenChartLib::platform::loadModule(ORVOCHART_SHARED_LIBRARY, &error);
    ASSERT_NE(library, nullptr) << error;
    std::ifstream names(std::string(ORVOCHART_TEST_DATA) + "/../../src/api/ExportNames.txt");
    std::map<std::string, std::string> addressOf;  // symbol -> address, from nm
#ifndef _WIN32
    const auto nm = testsupport::run("nm -D --defined-only " + arg(ORVOCHART_SHARED_LIBRARY));
    std::istringstream lines(nm.output);
    for (std::string address, kind, symbol; lines >> address >> kind >> symbol;) {
        EXPECT_FALSE(kind == "T" && holds(symbol, "GenChartLib")) << symbol;
        addressOf[symbol] = address;
    }
#endif
    int count = 0;
    for (std::string name; std::getline(names, name);) {
        if (name.empty() || name[0] == '#') {
            continue;
        }
        ++count;
        EXPECT_NE(GenChartLib::platform::findEntry(library, name.c_str()), nullptr) << name;
#ifndef _WIN32
        const std::string prefix = "_Z" + std::to_string(name.size()) + name;
        const auto mangled = addressOf.lower_bound(prefix);
        ASSERT_TRUE(mangled != addressOf.end() && mangled->first.rfind(prefix, 0) == 0) << name;
        EXPECT_EQ(mangled->second, addressOf[name]) << name;
#endif
    }
    EXPECT_EQ(count, 32);
    GenChartLib::platform::unloadModule(library);
}

class ChartTool : public CreateChart {
  protected:
    struct Run {
        int exitCode;
        std::string out, err;
    };
    void SetUp() override {
        CreateChart::SetUp();
        testsupport::unsetEnv("ORVOCHART_LOG");  // the tool's own log handling
    }
    Run tool(const std::string& arguments) {
        const std::string err = dir_.file("stderr.txt");
        const auto run = testsupport::run(arg(ORVOCHART_TOOL) + " " + arguments + " 2>" + arg(err));
        return {run.exitCode, lf(run.output), lf(testsupport::fileText(err))};
    }
    // Text-mode output has CR LF line ends on Windows.
    static std::string lf(std::string text) {
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }
};

// EyeOnePro2 on 170 x 80 mm: 90 patches on two pages of 1648 x 750 pixels
// (0.1 mm each), 5 and 4 strips of 11, written through the shared library.
TEST_F(ChartTool, MakesAChartAndPrintsEveryPagesLayoutAsTheTiffPagesHaveIt) {
    const std::string out = dir_.file("chart.tif");
    const Run result = tool("chart --instrument EyeOnePro2 --mode CMYK --ref " +
                            arg(std::string(ORVOCHART_TEST_DATA) + "/instruments/cmyk_90.txt") +
                            " --out " + arg(out) + " --width 170 --height 80");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(holds(result.out,
                      "\npage 1: 5 strips x 11 columns, 164.8 x 75.0 mm\n"
                      "page 2: 4 strips x 11 columns, 164.8 x 75.0 mm\n"))
        << result.out;
    EXPECT_FALSE(holds(result.out, "\npage 3: "));
    for (const std::string& file : {out, out + "_1.tif"}) {
        EXPECT_TRUE(holds(result.out, "  " + file + "\n") && fs::exists(file)) << file;
    }
    EXPECT_TRUE(holds(tool("list").out,
                      "\n    2  DTP41          MI_DTP41           Dtp41         "
                      "all colour modes\n"));
    const auto info = testsupport::run("tiffinfo " + arg(out + "_1.tif"));
    EXPECT_TRUE(info.exitCode != 0 || holds(info.output, "Image Width: 1648 Image Length: 750"));
}

// Each case: the arguments, the exit code, and how the one line of standard
// error starts.
TEST_F(ChartTool, NamesTheCauseOfEveryFailureInOneLine) {
    const std::string ref = " --ref " + arg(reference(40));
    const std::string out = " --out " + arg(dir_.file("chart.tif"));
    const std::string dtp = "chart --instrument 2 --mode 0";
    const std::string job = ref + out + " --paper A4";
    std::ofstream(dir_.file("taken.tif")) << "keep";
    const std::string none = dir_.file("none.txt"), taken = dir_.file("taken.tif");
    // A folder without a closing separator: cmd would read \" as a quote.
    const std::string folder = dir_.path().string();
    // clang-format off
    const std::tuple<std::string, int, std::string> cases[] = {
        {dtp + " --ref " + arg(none) + out + " --paper A4", 1,
         "cannot read the reference '" + none + "': No such file or directory"},
        {dtp + " --ref " + arg(folder) + out + " --paper A4", 1,
         "cannot read the reference '" + folder + "': "},  // the reason is the system's
        {dtp + ref + out + " --width 70 --height 297", 1,
         "no chart was made: GenChart/InitChartParams: GenChartLib: Invalid page size."},
        {dtp + ref + " --out " + arg(taken) + " --paper A4", 1,
         "'" + taken + "' exists and a chart never replaces a file"},
        {dtp + ref + " --out " + arg((dir_.path() / "no" / "chart.tif").string()) + " --paper A4", 1,
         "the folder of --out, '" + dir_.file("no") + "', does not exist"},
        {"chart --instrument EyOnePro2 --mode 0" + job, 2, "unknown instrument 'EyOnePro2'; did "
         "you mean EyeOnePro2? ('orvochart list' shows them all)"},
        {"chart --instrument nonesuch --mode 0" + job, 2,
         "unknown instrument 'nonesuch' ('orvochart list' shows them all)"},
        {"chart --instrument 2 --mode cmykk" + job, 2,
         "unknown colour mode 'cmykk'; did you mean CMYK, CMYKO or CMYKOG?"},
        {"chart --instrument 2 --mode 9" + job, 2, "unknown colour mode '9'"},
        {dtp + ref + out + " --paper B9", 2, "unknown paper size 'B9'"},
        {dtp + " --paper A4 --width 100 --height 100" + job, 2,
         "give either --width and --height or --paper"},
        {dtp + " --colour red" + job, 2, "unknown option '--colour'"}};
    // clang-format on
    for (const auto& [arguments, exitCode, line] : cases) {
        const Run run = tool(arguments);
        EXPECT_EQ(run.exitCode, exitCode) << arguments;
        EXPECT_TRUE(run.err.rfind("orvochart chart: " + line, 0) == 0 &&
                    run.err.find('\n') + 1 == run.err.size())
            << run.err;
    }
    // The session's follow-on lines only with -v.
    EXPECT_TRUE(
        holds(tool("chart -v --instrument 2 --mode 0" + ref + out + " --width 70 --height 297").err,
              "\nGenChart/SetChartParams: "));
    EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"ref40.txt", "stderr.txt", "taken.tif"}));
}

}  // namespace
