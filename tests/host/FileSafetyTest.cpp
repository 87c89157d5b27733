// The files of a chart job against a hostile folder: symbolic links planted
// at every name the job writes (its pages, documents, previews and output,
// and the names pages were once first written under) must be neither
// followed nor replaced; and an output name as long as a folder entry allows
// still makes a whole chart.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/EyeOnePages.h"
#include "host/HostFixture.h"

namespace hostcheck {
namespace {

namespace fs = std::filesystem;

// One chart of each way pages are written: PDF documents with JPEG previews,
// the PDF warm-up page, TIFF pages. Each makes more than one file.
struct WriterCase {
    const char* label;
    IdMeasureInstrument id;
    double widthMm;
    double heightMm;
};
const WriterCase kWriters[] = {{"Dtp41PdfAndPreviews", MI_DTP41, 210, 297},
                               {"WarmUpPdf", static_cast<IdMeasureInstrument>(3), 210, 297},
                               {"EyeOnePro2Tiff", MI_EYEONEPRO2, 170, 80}};

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

void PrintTo(const WriterCase& c, std::ostream* out) {
    *out << c.label;
}

// Every name a chart job writes, from what it leaves: the first page is
// written under its own name before it becomes the output.
std::set<std::string> namesWritten(std::set<std::string> left) {
    left.insert("chart.tif_0.tif");
    return left;
}

class PlantedLinks : public HostFolder, public ::testing::WithParamInterface<WriterCase> {
  protected:
    void SetUp() override {
        fs::create_directory(path("victims"));
        writeReference(path("reference.txt"), allModes().front(), 90, "");
    }

    // A chart of the case into `folder` (made first), and its answer.
    int makeIn(const std::string& folder) {
        const WriterCase& w = GetParam();
        fs::create_directory(path(folder));
        return make(w.id, folder + "/chart.tif", path("reference.txt"), w.widthMm, w.heightMm,
                    CM_CMYK)
            .result;
    }

    // A link at `folder`/`name` to a file of its own among the victims:
    // every other one exists, the rest are missing (a link through which a
    // careless create would make a new file).
    void plant(const std::string& folder, const std::string& name) {
        const std::string victim = path("victims/" + std::to_string(planted_.size()));
        if (planted_.size() % 2 == 0) {
            std::ofstream(victim) << "victim " << planted_.size();
        }
        fs::create_symlink(victim, path(folder + "/" + name));
        planted_.push_back({path(folder + "/" + name), victim, contentOf(victim)});
    }

    // Every link still stands where it was planted, pointing where it
    // pointed, and no victim changed, came into being or went.
    void expectLinksUntouched() const {
        for (const Planted& p : planted_) {
            ASSERT_TRUE(fs::is_symlink(p.link)) << p.link;
            EXPECT_EQ(fs::read_symlink(p.link).string(), p.victim);
            const bool existed = !p.content.empty();
            EXPECT_EQ(fs::exists(p.victim), existed) << p.victim;
            EXPECT_EQ(contentOf(p.victim), p.content) << p.victim;
        }
    }

    struct Planted {
        std::string link;
        std::string victim;
        std::string content;
    };
    std::vector<Planted> planted_;
};

TEST_P(PlantedLinks, AtAFinalNameStopTheJobAndStayAsTheyWere) {
    ASSERT_EQ(makeIn("clean"), 1);
    const std::set<std::string> written = namesWritten(entriesOf(path("clean")));
    int k = 0;
    for (const std::string& name : written) {
        SCOPED_TRACE(name);
        const std::string folder = "taken" + std::to_string(k++);
        fs::create_directory(path(folder));
        plant(folder, name);
        EXPECT_EQ(makeIn(folder), 0);
        // Pages written before the taken one may stay; nothing else does.
        for (const std::string& left : entriesOf(path(folder))) {
            EXPECT_EQ(written.count(left), 1u) << left;
        }
    }
    expectLinksUntouched();
}

TEST_P(PlantedLinks, AtTheOldTemporaryNamesAreNeverUsed) {
    ASSERT_EQ(makeIn("clean"), 1);
    const std::set<std::string> made = entriesOf(path("clean"));
    fs::create_directory(path("chart"));
    const std::string pid = std::to_string(getpid());
    for (const std::string& name : namesWritten(made)) {
        plant("chart", "." + name + ".part");
        for (int counter = 0; counter < 16; ++counter) {
            plant("chart", name + ".part" + pid + "-" + std::to_string(counter));
        }
    }
    ASSERT_EQ(makeIn("chart"), 1);
    for (const std::string& name : made) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path("chart/" + name)))) << name;
    }
    EXPECT_EQ(entriesOf(path("chart")).size(), made.size() + planted_.size());
    expectLinksUntouched();
}

INSTANTIATE_TEST_SUITE_P(Writers, PlantedLinks, ::testing::ValuesIn(kWriters),
                         [](const ::testing::TestParamInfo<WriterCase>& param) {
                             return std::string(param.param.label);
                         });

// 240 characters: the page names (name + "_1.tif") still fit the 255 bytes of
// a folder entry, so the chart is made in full.
using LongOutputName = HostFolder;

TEST_F(LongOutputName, AnOutputNameOf240CharactersMakesACompleteTiffChart) {
    const ModeSpec cmyk = allModes().front();
    writeReference(path("reference.txt"), cmyk, 90, "");
    const std::string name(240, 'n');
    ASSERT_EQ(make(MI_EYEONEPRO2, name, path("reference.txt"), 170, 80, CM_CMYK).result, 1);
    EXPECT_EQ(files(), (std::set<std::string>{name, name + "_1.tif", "reference.txt"}));
    // The two-page i1Pro 2 layout of EyeOneChartTest.cpp.
    const Layout twoPages{{5, 4}, 11, 1648, 750, 80, 84, 80, 80, 14, Strip::GapThenBar,
                          250,    50, 40};
    expectStripPages({path(name), path(name + "_1.tif")}, cmyk, 90, false, twoPages);
}

}  // namespace
}  // namespace hostcheck
