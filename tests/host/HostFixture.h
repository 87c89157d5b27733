// Shared by the host tests: a fresh folder per test, the files in it, and
// the colour read back at a spot of a rendered page.
#ifndef ORVOCHART_TESTS_HOST_HOSTFIXTURE_H
#define ORVOCHART_TESTS_HOST_HOSTFIXTURE_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/ChartExpectations.h"
#include "host/PdfProbe.h"
#include "host/Separations.h"

namespace hostcheck {

namespace fs = std::filesystem;

// Pages are rendered at 127 dpi: exactly 5 pixels per millimetre.
constexpr int kDpi = 127;
constexpr double kPixelsPerMm = 5.0;

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
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = fs::temp_directory_path() / ("orvo_host_" + std::to_string(::getpid())) / name;
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        if (!HasFailure()) {
            fs::remove_all(dir_);
        }
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(dir_)) {
            if (e.is_regular_file()) {
                names.insert(e.path().filename().string());
            }
        }
        return names;
    }

    fs::path dir_;
};

// A rendered page: Ghostscript's separations for the modes that print with
// inks, an sRGB rendering for Lab and RGB.
struct RenderedPage {
    bool plates = false;
    std::map<std::string, pdfprobe::Image> separations;
    pdfprobe::Image rgb;

    static RenderedPage of(const std::string& pdf, ColorMode mode, const fs::path& scratch) {
        RenderedPage page;
        page.plates = printsOnPlates(mode);
        if (page.plates) {
            page.separations = pdfprobe::separations(pdf, 1, kDpi, scratch);
        } else {
            fs::create_directories(scratch);
            page.rgb = pdfprobe::renderRgb(pdf, 1, kDpi, (scratch / "page.ppm").string());
        }
        fs::remove_all(scratch);
        return page;
    }

    bool empty() const { return plates ? separations.empty() : rgb.bytes.empty(); }

    static int pixel(double mm) { return static_cast<int>(std::floor(mm * kPixelsPerMm)); }

    // Ink of a plate at a spot; 0 for a plate the page does not have.
    int ink(const std::string& plate, double xMm, double yMm) const {
        const auto it = separations.find(plate);
        if (it == separations.end() || !it->second.contains(pixel(xMm), pixel(yMm))) {
            return 0;
        }
        return it->second.at(pixel(xMm), pixel(yMm), 0);
    }

    std::array<int, 3> screen(double xMm, double yMm) const {
        if (!rgb.contains(pixel(xMm), pixel(yMm))) {
            return {-1, -1, -1};
        }
        return {rgb.at(pixel(xMm), pixel(yMm), 0), rgb.at(pixel(xMm), pixel(yMm), 1),
                rgb.at(pixel(xMm), pixel(yMm), 2)};
    }

    // Every plate at the spot carries the expected ink (within rounding),
    // and plates the patch should not touch carry none.
    ::testing::AssertionResult showsPatch(const std::map<std::string, int>& expected, double xMm,
                                          double yMm) const {
        for (const auto& [plate, image] : separations) {
            const auto want = expected.find(plate);
            const int wanted = want == expected.end() ? 0 : want->second;
            const int got = ink(plate, xMm, yMm);
            if (std::abs(got - wanted) > 2) {
                return ::testing::AssertionFailure()
                       << plate << " is " << got << ", expected " << wanted << " at (" << xMm
                       << ", " << yMm << ") mm";
            }
        }
        for (const auto& [plate, wanted] : expected) {
            if (wanted != 0 && separations.count(plate) == 0) {
                return ::testing::AssertionFailure() << "no plate " << plate;
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Lab colours outside sRGB are skipped (nothing to compare with).
    ::testing::AssertionResult showsScreenColor(const std::optional<std::array<int, 3>>& expected,
                                                int tolerance, double xMm, double yMm) const {
        if (!expected) {
            return ::testing::AssertionSuccess();
        }
        const std::array<int, 3> got = screen(xMm, yMm);
        for (std::size_t i = 0; i < 3; ++i) {
            if (std::abs(got[i] - (*expected)[i]) > tolerance) {
                return ::testing::AssertionFailure()
                       << "rgb " << got[0] << " " << got[1] << " " << got[2] << ", expected "
                       << (*expected)[0] << " " << (*expected)[1] << " " << (*expected)[2]
                       << " at (" << xMm << ", " << yMm << ") mm";
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Solid black on some plate (black marks print as the mode's black),
    // or black on screen.
    bool isBlack(double xMm, double yMm) const {
        if (!plates) {
            const auto c = screen(xMm, yMm);
            return c[0] <= 8 && c[1] <= 8 && c[2] <= 8;
        }
        for (const auto& entry : separations) {
            if (ink(entry.first, xMm, yMm) >= 250) {
                return true;
            }
        }
        return false;
    }

    bool isPaper(double xMm, double yMm) const {
        if (!plates) {
            const auto c = screen(xMm, yMm);
            return c[0] >= 250 && c[1] >= 250 && c[2] >= 250;
        }
        for (const auto& entry : separations) {
            if (ink(entry.first, xMm, yMm) > 2) {
                return false;
            }
        }
        return true;
    }
};

// The check for one patch of the reference at a spot of a page.
inline ::testing::AssertionResult pageShowsRow(const RenderedPage& page, ColorMode mode,
                                               const Reference& ref, std::size_t row,
                                               const std::vector<std::string>& spotNames,
                                               double xMm, double yMm) {
    if (page.plates) {
        return page.showsPatch(expectedPlates(mode, ref, row, spotNames), xMm, yMm);
    }
    const int tolerance = mode == CM_RGB ? 2 : 6;
    return page.showsScreenColor(expectedScreenColor(mode, ref, row), tolerance, xMm, yMm);
}

}  // namespace hostcheck

#endif  // ORVOCHART_TESTS_HOST_HOSTFIXTURE_H
