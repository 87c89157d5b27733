// Shared by the host tests: a fresh folder per test and the files in it, and
// the references of the colour modes.
#ifndef ORVOCHART_TESTS_HOST_HOSTFIXTURE_H
#define ORVOCHART_TESTS_HOST_HOSTFIXTURE_H

#include <gtest/gtest.h>

#include <cstdlib>
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

    GenChartLib::tifftest::TempFolder folder_;
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
