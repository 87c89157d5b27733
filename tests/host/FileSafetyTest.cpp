// The files of a chart job against a hostile folder: symbolic links planted
// at every name the job writes (pages, documents, previews, the output) and
// at the names pages were once first written under are neither followed nor
// replaced; an output name as long as a folder entry allows still makes a
// whole chart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/EyeOnePages.h"
#include "host/ReadBack.h"

namespace readback {
namespace {

namespace fs = std::filesystem;

// One chart of each way pages are written.
struct WriterCase {
    const char* label;
    IdMeasureInstrument id;
    double widthMm;
    double heightMm;
};

class PlantedLinks : public HostFolder, public ::testing::WithParamInterface<WriterCase> {
  protected:
    // The chart made in a new folder `name` holding a link at each of
    // `links`; every other link points to a missing file, which a create
    // through the link would make.
    int makeWithLinks(const std::string& name, const std::set<std::string>& links) {
        fs::create_directories(path(name));
        for (const std::string& link : links) {
            const std::string victim = path("victims/" + std::to_string(planted_.size()));
            if (planted_.size() % 2 == 0) {
                std::ofstream(victim) << victim;
            }
            fs::create_symlink(victim, path(name + "/" + link));
            planted_.emplace_back(path(name + "/" + link), victim, fileText(victim));
        }
        const WriterCase& w = GetParam();
        return make(w.id, name + "/chart.tif", path("ref.txt"), w.widthMm, w.heightMm, CM_CMYK)
            .result;
    }
    std::vector<std::tuple<std::string, std::string, std::string>> planted_;
};

TEST_P(PlantedLinks, AreNeitherFollowedNorReplaced) {
    fs::create_directory(path("victims"));
    writeReference(path("ref.txt"), allModes().front(), 90, "");
    ASSERT_EQ(makeWithLinks("clean", {}), 1);
    std::set<std::string> made;
    for (const auto& e : fs::directory_iterator(path("clean"))) {
        made.insert(e.path().filename().string());
    }
    // The first page is written under its own name before it becomes the
    // output; pages were once first written as ".NAME.part" or
    // "NAME.part<pid>-<count>".
    std::set<std::string> names = made;
    names.insert("chart.tif_0.tif");
    std::set<std::string> temporaries;
    for (const std::string& n : names) {
        temporaries.insert("." + n + ".part");
        for (int k = 0; k < 16; ++k) {
            temporaries.insert(n + ".part" + std::to_string(testsupport::processId()) + "-" +
                               std::to_string(k));
        }
    }
    ASSERT_EQ(makeWithLinks("temporaries", temporaries), 1);
    for (const std::string& n : made) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path("temporaries/" + n)))) << n;
    }
    // A taken name stops the job; what it wrote before stays, nothing else.
    for (const std::string& n : names) {
        EXPECT_EQ(makeWithLinks("taken_" + n, {n}), 0) << n;
        for (const auto& e : fs::directory_iterator(path("taken_" + n))) {
            EXPECT_EQ(names.count(e.path().filename().string()), 1u) << e.path();
        }
    }
    for (const auto& [link, victim, content] : planted_) {
        EXPECT_EQ(fs::read_symlink(link).string(), victim);
        EXPECT_EQ(fs::exists(victim), !content.empty()) << victim;
        EXPECT_EQ(fileText(victim), content) << victim;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, PlantedLinks,
    ::testing::Values(WriterCase{"Dtp41PdfAndPreviews", MI_DTP41, 210, 297},
                      WriterCase{"WarmUpPdf", static_cast<IdMeasureInstrument>(3), 210, 297},
                      WriterCase{"EyeOnePro2Tiff", MI_EYEONEPRO2, 170, 80}),
    [](const ::testing::TestParamInfo<WriterCase>& p) { return std::string(p.param.label); });

using LongOutputName = HostFolder;

// Every page name (name + "_1.tif") still fits the 255 bytes of a folder entry.
TEST_F(LongOutputName, Of240CharactersMakesACompleteTiffChart) {
    writeReference(path("ref.txt"), allModes().front(), 90, "");
    const std::string name(240, 'n');
    ASSERT_EQ(make(MI_EYEONEPRO2, name, path("ref.txt"), 170, 80, CM_CMYK).result, 1);
    // The two-page i1Pro 2 layout of EyeOneChartTest.cpp.
    expectStripPages({path(name), path(name + "_1.tif")}, allModes().front(), 90, false,
                     {{5, 4}, 11, 1648, 750, 80, 84, 80, 80, 14, Strip::GapThenBar, 250, 50, 40});
}

}  // namespace
}  // namespace readback
