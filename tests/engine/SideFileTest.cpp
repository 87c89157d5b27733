// Side files: the same bytes under any locale, written whole or not at all,
// never over the reference, an existing file or through a planted link.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <locale>
#include <sstream>

#include "base/ErrorCodes.h"
#include "engine/ChartTestSupport.h"
#include "engine/SideFile.h"

namespace {

using namespace GenChartLib;
using chart_test::LogCapture;
using chart_test::TempDir;

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// The code writeSideFile throws, or ERR_NONE.
int writeCode(const std::string& path, const std::string& bytes, const std::string& reference) {
    ChartParams params;
    params.refDataName = reference;
    try {
        writeSideFile(path, bytes, params, "Test/writeSideFile: %s");
    } catch (eColorCtrlErrors code) {
        return code;
    }
    return ERR_NONE;
}

TEST(SideFile, NumbersAndLineEndsDoNotDependOnTheHostLocale) {
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    if (comma) {
        std::locale::global(std::locale("de_DE.UTF-8"));
    }
    SideFileText text;
    text.line("Patch_Size_X=", fixedDecimal(7.2, 1))
        .line("Width=", fixedDecimal(1234567.25, 2))
        .line("")
        .line("Rounded=", fixedDecimal(2.25, 1) + " " + fixedDecimal(-0.05, 1) + " " +
                              fixedDecimal(0.4, 0) + " " + decimal(-1234567));
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text.bytes(),
              "Patch_Size_X=7.2\r\nWidth=1234567.25\r\n\r\nRounded=2.3 -0.1 0 -1234567\r\n");
    EXPECT_EQ(fileNamePart("C:\\charts\\a/b.txt"), "b.txt");
    EXPECT_EQ(fileNamePart("/srv/charts/ref.txt"), "ref.txt");
    EXPECT_EQ(fileNamePart("ref.txt"), "ref.txt");
}

TEST(SideFile, IsWrittenWholeAndLeavesNoTemporaryFile) {
    TempDir dir;
    EXPECT_EQ(writeCode(dir.file("chart.tif.dcf"), "A=1\r\n", dir.file("ref.txt")), ERR_NONE);
    EXPECT_EQ(contents(dir.file("chart.tif.dcf")), "A=1\r\n");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"chart.tif.dcf"});
}

TEST(SideFile, RefusesTheReferenceAnExistingFileALinkAndAFolderThatCannotBeWritten) {
    TempDir dir;
    LogCapture log(dir.file("log.txt"));
    const std::string reference = dir.file("ref.txt");
    std::ofstream(reference) << "reference";
    std::ofstream(dir.file("old.dcf")) << "earlier chart";
    std::ofstream(dir.file("target")) << "target";
    std::filesystem::create_symlink(dir.file("target"), dir.file("link.dcf"));

    EXPECT_EQ(writeCode(reference, "X", reference), ERR_CHART_NAME_IS_REFERENCE);
    EXPECT_EQ(writeCode(dir.file("old.dcf"), "X", reference), ERR_OPEN_FILE);
    EXPECT_EQ(writeCode(dir.file("link.dcf"), "X", reference), ERR_OPEN_FILE);
    EXPECT_EQ(writeCode(dir.file("missing/chart.dcf"), "X", reference), ERR_OPEN_FILE);
    EXPECT_EQ(contents(reference), "reference");
    EXPECT_EQ(contents(dir.file("old.dcf")), "earlier chart");
    EXPECT_EQ(contents(dir.file("target")), "target");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.dcf")));
    EXPECT_EQ(dir.entries(),
              (std::vector<std::string>{"link.dcf", "log.txt", "old.dcf", "ref.txt", "target"}));
    EXPECT_EQ(log.text(), std::string("Test/writeSideFile: ") +
                              errorText(ERR_CHART_NAME_IS_REFERENCE) + ": " + reference +
                              " (it is the reference file)\n"
                              "Test/writeSideFile: GenChartLib: Cannot open file: " +
                              dir.file("old.dcf") +
                              " (a file of that name exists)\n"
                              "Test/writeSideFile: GenChartLib: Cannot open file: " +
                              dir.file("link.dcf") +
                              " (a file of that name exists)\n"
                              "Test/writeSideFile: GenChartLib: Cannot open file: " +
                              dir.file("missing/chart.dcf") +
                              " (cannot create a file in its folder)\n");
}

}  // namespace
