// Shared by the host tests: a fresh folder per test and the files in it, and
// the references of the colour modes.
#ifndef ORVOCHART_TESTS_HOST_HOSTFIXTURE_H
#define ORVOCHART_TESTS_HOST_HOSTFIXTURE_H

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <locale>
#include <set>
#include <string>
#include <vector>

#include "host/ChartExpectations.h"
#include "host/PdfProbe.h"
#include "render/TiffReadBack.h"

namespace hostcheck {

// CI sets ORVOCHART_QUICK=1: the Ghostscript cases are then sampled.
inline bool quickRun() {
    const char* quick = std::getenv("ORVOCHART_QUICK");
    return quick != nullptr && *quick != '\0' && std::string(quick) != "0";
}

inline std::string sampleFile(const std::string& name) {
    return std::string(ORVOCHART_SAMPLES) + "/" + name;
}

inline std::string testFile(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/instruments/" + name;
}

class HostFolder : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return folder_.file(name); }
    std::set<std::string> files() const {
        const std::vector<std::string> names = folder_.entries();
        return {names.begin(), names.end()};
    }

    // What createChart hands back: its result, and the strips, columns and
    // spare out-parameters, which start as -7, -7 and 4242.
    struct Made {
        int result = 0;
        int strips = -7;
        int columns = -7;
        int spare = 4242;
    };
    // createChart as a host calls it, into `name` of this folder.
    Made make(IdMeasureInstrument id, const std::string& name, const std::string& reference,
              double widthMm, double heightMm, ColorMode mode) const {
        Made made;
        made.result = createChart(id, path(name).c_str(), reference.c_str(), widthMm, heightMm, 99,
                                  &made.strips, &made.columns, &made.spare, mode);
        return made;
    }

    // The page files of a PDF chart made under `name`: the first page moved
    // onto the name, the others "<name>_<i>.tif".
    std::vector<std::string> pdfPages(const std::string& name, int pages) const {
        std::vector<std::string> pdfs{path(name)};
        for (int page = 1; page < pages; ++page) {
            pdfs.push_back(path(name + "_" + std::to_string(page) + ".tif"));
        }
        return pdfs;
    }
    // Every file such a chart leaves: its pages, a JPEG preview of each, and
    // the side files.
    static std::set<std::string> pdfChartFiles(const std::string& name, int pages,
                                               std::set<std::string> files) {
        files.insert(name);
        for (int page = 0; page < pages; ++page) {
            const std::string stem = name + "_" + std::to_string(page);
            files.insert(stem + ".jpg");
            if (page > 0) {
                files.insert(stem + ".tif");
            }
        }
        return files;
    }

    GenChartLib::tifftest::TempFolder folder_;
};

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A host that set a German global locale (decimal comma, digit grouping)
// for the C library and the C++ streams; restored on leaving.
class GermanLocale {
  public:
    GermanLocale() {
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
            std::locale::global(std::locale("de_DE.UTF-8"));
        }
    }
    ~GermanLocale() {
        std::setlocale(LC_ALL, "C");
        std::locale::global(std::locale::classic());
    }
};

// One reference per colour writer, and the spot plates in channel order.
struct ModeReference {
    ColorMode mode;
    const char* label;
    std::string reference;
    std::vector<std::string> spotNames;
};

inline std::vector<ModeReference> modeReferences() {
    return {{CM_CMYK, "CMYK", testFile("cmyk_90.txt"), {}},
            {CM_CMYKO, "CMYKO", testFile("cmyko_90.txt"), {}},
            {CM_CMYKOG, "CMYKOG", testFile("cmykog_90.txt"), {}},
            {CM_SIXCOLOR_7, "SixColor7", testFile("cmykog_90.txt"), {}},
            {CM_CMYKRGB, "CMYKRGB", testFile("cmykrgb_90.txt"), {}},
            {CM_LAB, "Lab", testFile("lab_90.txt"), {}},
            {CM_RGB, "RGB", testFile("rgb_90.txt"), {}},
            {CM_SPOT_2, "Spot2", testFile("spot2_90.txt"), {"Spot 1", "Spot 2"}}};
}

// The check for one reference row at a spot of a rendered page. Screen
// colours of Lab pages come through a colour conversion: more slack.
inline ::testing::AssertionResult showsRow(const pdfprobe::RenderedPage& page,
                                           const ModeReference& m, const Reference& ref,
                                           std::size_t row, double xMm, double yMm) {
    const auto expected = expectedColors(m.mode, ref, row, m.spotNames);
    return expected ? page.shows(*expected, m.mode == CM_LAB ? 6 : 2, xMm, yMm)
                    : ::testing::AssertionSuccess();
}

}  // namespace hostcheck

#endif  // ORVOCHART_TESTS_HOST_HOSTFIXTURE_H
