// Side files: the same bytes under any locale, written whole or not at all,
// never over the reference, an existing file or through a planted link.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <locale>

#include "base/ErrorCodes.h"
#include "engine/ChartTestSupport.h"
#include "engine/SideFile.h"

namespace {

using namespace GenChartLib;
using testsupport::fileText;

TEST(SideFile, NumbersAndLineEndsDoNotDependOnTheHostLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
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
    EXPECT_EQ(fileNamePart("ref.txt"), "ref.txt");
}

TEST(SideFile, IsWrittenWholeButNeverOverTheReferenceAnExistingFileOrALink) {
    chart_test::TempDir dir;
    chart_test::LogCapture log(dir.file("log.txt"));
    const std::string reference = dir.file("ref.txt");
    std::ofstream(reference) << "reference";
    std::ofstream(dir.file("old.dcf")) << "earlier chart";
    std::vector<std::string> refused = {dir.file("old.dcf"), dir.file("missing/chart.dcf")};
    std::vector<std::string> left = {"chart.dcf", "log.txt", "old.dcf", "ref.txt"};
#ifndef _WIN32  // a link needs privileges on Windows
    std::ofstream(dir.file("target")) << "target";
    std::filesystem::create_symlink(dir.file("target"), dir.file("link.dcf"));
    refused.insert(refused.begin() + 1, dir.file("link.dcf"));
    left = {"chart.dcf", "link.dcf", "log.txt", "old.dcf", "ref.txt", "target"};
#endif
    ChartParams params;
    params.refDataName = reference;
    const auto write = [&](const std::string& path) {  // the code thrown, or ERR_NONE
        try {
            writeSideFile(path, "A=1\r\n", params, "Test/writeSideFile: %s");
        } catch (eColorCtrlErrors code) {
            return code;
        }
        return ERR_NONE;
    };
    EXPECT_EQ(write(dir.file("chart.dcf")), ERR_NONE);
    EXPECT_EQ(write(reference), ERR_CHART_NAME_IS_REFERENCE);
    std::string expectedLog =
        "Test/writeSideFile: " + std::string(errorText(ERR_CHART_NAME_IS_REFERENCE)) + ": " +
        reference + " (it is the reference file)\n";
    for (const std::string& path : refused) {
        EXPECT_EQ(write(path), ERR_OPEN_FILE) << path;
        expectedLog += "Test/writeSideFile: GenChartLib: Cannot open file: " + path +
                       (path == refused.back() ? " (cannot create a file in its folder)\n"
                                               : " (a file of that name exists)\n");
    }
    EXPECT_EQ(fileText(dir.file("chart.dcf")), "A=1\r\n");
    EXPECT_EQ(fileText(reference) + fileText(dir.file("old.dcf")), "referenceearlier chart");
#ifndef _WIN32
    EXPECT_EQ(fileText(dir.file("target")), "target");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.dcf")));
#endif
    EXPECT_EQ(dir.entries(), left);  // no temporary file left behind
    EXPECT_EQ(log.text(), expectedLog);
}

}  // namespace
