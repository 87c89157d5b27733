// The files of a chart job against a hostile folder: symbolic links planted
// at every name the job writes (pages, documents, previews, the output) are
// neither followed nor replaced; an output name as long as a folder entry allows still makes a
// whole chart; a side file is written only for a chart that is made, never
// over the reference or an earlier chart, and without it no page is made.
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

TEST_F(HostFolder, SideFilesAreWrittenOnlyForAChartThatIsMade) {
    struct Rule {
        const char* why;
        IdMeasureInstrument id;
        std::string output, reference;
        std::vector<std::string> earlier;  // files there before the job
        bool sideFileFolder;               // a folder where the side file goes
        int result;                        // the files after it: these, and the chart if made
    };
    // clang-format off
    const Rule rules[] = {
        {"reference named as the control file", MI_SPECTROPAD, "chart.tif", "chart.tif.dcf", {}, false, 0},
        {"control block name taken", MI_ISIS, "chart.tif", "r.txt", {"chart.tif.dcf"}, false, 0},
        {"earlier chart kept", MI_SPECTROSWING, "chart.tif", "r.txt", {"chart.tif", "chart.tif.dcf"}, false, 0},
        {"control file cannot be written", MI_SPECTROLFP_3, "chart.tif", "r.txt", {}, true, 0},
        {"reference named as the DTP70 side file", MI_DTP70, "chart.pdf", "chart.pdf.dcf", {}, false, 0},
        {"id 29 is a warm-up page without one", MI_SPECTROLFP_2, "chart.tif", "r.txt", {}, false, 1},
    };
    // clang-format on
    for (const Rule& r : rules) {
        SCOPED_TRACE(r.why);
        fs::remove_all(folder_.path());
        fs::create_directories(folder_.path());
        writeReference(path(r.reference), allModes().front(), 90, "");
        const std::string reference = fileText(path(r.reference));
        for (const std::string& name : r.earlier) {
            std::ofstream(path(name)) << "earlier " << name;
        }
        if (r.sideFileFolder) {
            fs::create_directory(path(r.output + ".dcf"));
        }
        EXPECT_EQ(result(r.id, r.output, path(r.reference)), r.result);
        EXPECT_EQ(fileText(path(r.reference)), reference);
        for (const std::string& name : r.earlier) {
            EXPECT_EQ(fileText(path(name)), "earlier " + name);
        }
        std::set<std::string> after(r.earlier.begin(), r.earlier.end());
        after.insert(r.reference);
        if (r.sideFileFolder || r.result == 1) {
            after.insert(r.sideFileFolder ? r.output + ".dcf" : r.output);
        }
        expectFiles(after);
    }
}

#ifndef _WIN32  // links need privileges and names are limited to 260 characters on Windows

// One chart of each way pages are written.
struct WriterCase {
    const char* label;
    IdMeasureInstrument id;
    double widthMm, heightMm;
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
        return result(w.id, name + "/chart.tif", path("ref.txt"), w.widthMm, w.heightMm);
    }
    std::vector<std::tuple<std::string, std::string, std::string>> planted_;
};

TEST_P(PlantedLinks, AreNeitherFollowedNorReplaced) {
    fs::create_directory(path("victims"));
    writeReference(path("ref.txt"), allModes().front(), 90, "");
    ASSERT_EQ(makeWithLinks("clean", {}), 1);
    // What a clean run makes, and the first page under its own name before
    // it becomes the output.
    std::set<std::string> names = {"chart.tif_0.tif"};
    for (const auto& e : fs::directory_iterator(path("clean"))) {
        names.insert(e.path().filename().string());
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
    kByLabel);

// Every page name (name + "_1.tif") still fits the 255 bytes of a folder
// entry; the two-page i1Pro 2 layout of EyeOneChartTest.cpp.
TEST_F(HostFolder, OutputNameOf240CharactersMakesACompleteTiffChart) {
    writeReference(path("ref.txt"), allModes().front(), 90, "");
    const std::string name(240, 'n');
    ASSERT_TRUE(makes(MI_EYEONEPRO2, name, path("ref.txt"), 170, 80, CM_CMYK, 5, 11));
    EXPECT_TRUE(hasShape(readTiff(chartFiles(name, 2).back()), 1648, 750, CM_CMYK));
}

#endif

}  // namespace
}  // namespace readback
