// i1 charts (EyeOneRev1 for ids 11, 13, 15; EyeOnePro2 for 21, 22; EyeOneV
// for 20) made as a host makes them, through createChart of the shared
// library, and read back with libtiff: page size and resolution, channels and
// photometric per colour mode, the bytes at the centre of every patch, the
// black opening and yellow closing patches, the half-gap bars or contrast
// separators between patches, the dashed page frame and the strip numbers.
//
// Layouts worked out by hand from the instrument geometry (mm; page sizes are
// A4 unless said otherwise; 90 patches):
// - EyeOneRev1, mode 0: margins 8/25/25/15, 8 x 8 patches, gaps 0.4/1.2, a
//   10 mm leader each side. Usable 150 x 264 -> 16 x 31 cells; one page,
//   columns trimmed to 15 (divides 90), 6 strips. Page 10+25+15x9.2+1.2+15+10
//   = 199.2 wide, 6x8.4+33 = 83.4 high. The label offset is 20 mm since
//   (1992 - 92x15) / 2 > 200 tenths: number at 5.0 mm, opening patch at
//   25.0 mm, first patch at 25 + 8 + 1.2 = 34.2 mm, one every 9.2 mm.
// - The same on 180 x 70: usable 120 x 37 -> 13 x 4 cells, two pages; 4
//   strips on the first, ceil((90 - 52) / 13) = 3 on the last; page 180.8 x
//   66.6. Strip numbers 1-4 and 5-7.
// - EyeOnePro2, mode 0: gaps 0.4/1.4. A4: 16 x 31 cells, 15 columns, 6
//   strips, page 202.4 x 83.4. Half gaps of 0.7 mm, the black one just
//   before each patch: first patch at 25 + 8 + 1.4 = 34.4 mm, every 9.4 mm.
//   On 170 x 80: usable 110 x 47 -> 11 x 5 cells, pages of 5 and 4 strips,
//   164.8 x 75.
// - EyeOnePro2 with a zebra ruler: no leader, usable 170 mm -> 18 columns
//   (divides 90), 5 strips, page 25 + 18x9.4 + 1.4 + 15 = 210.6 x 75.0; the
//   strip starts at 25 mm with a white and a black half gap.
// - EyeOneV, mode 0: margins 5/15/13/20, 10 x 15 patches, gaps 1/2, leader
//   15 + 2 = 17 mm, greatest page 260 high. Usable 141 x 242 -> 8 x 22
//   cells; the layout search picks 15 x 6 (no waste); page 17+15+6x17+2+20+
//   17 = 173 x 183. The number's x, 15 + 17 - 2 - 15 - 20 mm, lies left of
//   the page, so it stands at 1.0 mm; the strip starts at 20.0 mm: opening
//   patch, 2 mm gap, patches every 17 mm from 37.0 mm.
// - Low resolution ("LOWRES 1", quality mode 2): margins 10/25/25/15,
//   10 x 15 patches. EyeOneRev1 (gaps 2/3, leader 15): usable 140 x 262 ->
//   7 x 22 cells, 6 columns, 15 strips, page 181 x 215; number at 2.0 mm,
//   strip 30 mm further right. EyeOnePro2 (gaps 2/2): 8 x 22 cells, 6
//   columns, 15 strips, page 174 x 215; number at 3.0 mm, strip 25 mm right.
// - Low resolution with a zebra ruler: 10 x 12 patches, gaps 1.0/1.8, no
//   leader: usable 170 x 262 -> 12 x 23 cells, 10 columns, 9 strips, page
//   179.8 x 134. The number would stand at -8.8 mm and is drawn at 1.0 mm;
//   the strip starts at 16.2 mm with a gap, no opening patch.
// - samples/cmyk_1500.txt, EyeOneRev1, A4: 4 pages of 24, 24, 24 and 22
//   strips of 16 (1500 = 3 x 384 + 348), page 208.4 x 234.6. EyeOnePro2 with
//   a zebra ruler (id 21): 3 pages of 28 x 18, page 210.6 x 268.3; the 12
//   padding patches alternate paper and grey (K 125). (8.4 x 28 + 33 is
//   268.20000000000005 in doubles, which the page's ceiling to 0.1 mm takes
//   up to 268.3.)
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/HostFixture.h"
#include "host/RasterPages.h"

namespace hostcheck {
namespace {

// --- Colour modes and their reference files ---------------------------------

enum class Kind { Ink, Lab, Rgb };

struct ModeSpec {
    ColorMode mode;
    std::string label;
    Kind kind;
    std::vector<std::string> columns;  // data columns in channel order
    std::uint16_t photometric;
};

std::vector<std::string> numbered(const std::string& prefix, int count) {
    std::vector<std::string> names;
    for (int i = 1; i <= count; ++i) {
        names.push_back(prefix + std::to_string(i));
    }
    return names;
}

std::vector<ModeSpec> allModes() {
    return {
        {CM_CMYK,
         "CMYK",
         Kind::Ink,
         {"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"},
         PHOTOMETRIC_SEPARATED},
        {CM_CMYKO, "CMYKO", Kind::Ink, numbered("5CLR_", 5), PHOTOMETRIC_SEPARATED},
        {CM_CMYKOG, "CMYKOG", Kind::Ink, numbered("6CLR_", 6), PHOTOMETRIC_SEPARATED},
        {CM_CMYKRGB, "CMYKRGB", Kind::Ink, numbered("7CLR_", 7), PHOTOMETRIC_SEPARATED},
        {CM_LAB, "Lab", Kind::Lab, {"LAB_L", "LAB_A", "LAB_B"}, PHOTOMETRIC_CIELAB},
        {CM_RGB, "RGB", Kind::Rgb, {"RGB_R", "RGB_G", "RGB_B"}, PHOTOMETRIC_RGB},
        // One ink is coverage: 0 is paper, so the page is "min is white".
        {CM_SPOT_1, "Spot1", Kind::Ink, numbered("1CLR_", 1), PHOTOMETRIC_MINISWHITE},
        {CM_SPOT_4, "Spot4", Kind::Ink, numbered("4CLR_", 4), PHOTOMETRIC_SEPARATED},
        {CM_SPOT_8, "Spot8", Kind::Ink, numbered("8CLR_", 8), PHOTOMETRIC_SEPARATED},
    };
}

bool isSpot(const ModeSpec& m) {
    return m.mode >= CM_SPOT_1;
}

std::size_t channelsOf(const ModeSpec& m) {
    return m.columns.size();
}

// Reference values: ink percentages in steps of 5 (50 % must round up to
// 128), Lab across the gamut, RGB with fractions that are cut off. Every
// ninth row is light (no cyan, magenta or black; near-white Lab and RGB)
// so that contrast separators turn black somewhere.
double referenceValue(const ModeSpec& m, int row, std::size_t column) {
    const bool light = row % 9 == 4;
    const auto c = static_cast<int>(column);
    switch (m.kind) {
        case Kind::Lab:
            if (light) {
                return column == 0 ? 100.0 : 0.0;
            }
            return column == 0 ? (row * 7 % 101) + 0.3 : (row * (13 + 16 * c) % 161) - 80.0;
        case Kind::Rgb:
            if (light) {
                return column == 2 ? 40.9 : 255.0;
            }
            return std::min(255.9, (row * 29 + c * 71) % 256 + 0.9);
        case Kind::Ink:
            if (light && !isSpot(m) && column != 2 && column < 4) {
                return 0.0;
            }
            return ((row * 37 + c * 53 + 11) % 21) * 5.0;
    }
    return 0.0;
}

void writeReference(const std::string& path, const ModeSpec& m, int rows,
                    const std::string& keywords) {
    std::ofstream out(path);
    out << "CGATS.17\nORIGINATOR \"i1 chart tests\"\n" << keywords;
    out << "NUMBER_OF_FIELDS " << m.columns.size() + 1 << "\nBEGIN_DATA_FORMAT\nSAMPLE_ID";
    for (const std::string& c : m.columns) {
        out << ' ' << c;
    }
    out << "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " << rows << "\nBEGIN_DATA\n";
    for (int r = 0; r < rows; ++r) {
        out << r + 1;
        for (std::size_t c = 0; c < m.columns.size(); ++c) {
            out << ' ' << referenceValue(m, r, c);
        }
        out << '\n';
    }
    out << "END_DATA\n";
}

// --- Expected pixel bytes ----------------------------------------------------

std::uint8_t signedByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

Bytes patchBytes(const ModeSpec& m, const std::vector<double>& values) {
    Bytes bytes;
    for (std::size_t c = 0; c < values.size(); ++c) {
        const double v = values[c];
        switch (m.kind) {
            case Kind::Ink:
                // Process inks as coverage, further inks inverted.
                bytes.push_back(static_cast<std::uint8_t>(c < 4 ? inkByte(v) : 255 - inkByte(v)));
                break;
            case Kind::Lab:
                bytes.push_back(c == 0 ? static_cast<std::uint8_t>(
                                             std::floor(std::clamp(v * 2.55, 0.0, 255.0) + 0.5))
                                       : signedByte(static_cast<int>(std::floor(
                                                        std::clamp(v + 128.0, 0.0, 255.0) + 0.5)) -
                                                    128));
                break;
            case Kind::Rgb:
                bytes.push_back(static_cast<std::uint8_t>(static_cast<int>(v)));
                break;
        }
    }
    return bytes;
}

Bytes referenceBytes(const ModeSpec& m, int row) {
    std::vector<double> values;
    for (std::size_t c = 0; c < m.columns.size(); ++c) {
        values.push_back(referenceValue(m, row, c));
    }
    return patchBytes(m, values);
}

enum class Fixed { Paper, Black, Yellow, Grey };

// The fixed colours of each mode as page bytes.
Bytes fixedBytes(const ModeSpec& m, Fixed which) {
    const std::size_t n = channelsOf(m);
    if (m.kind == Kind::Lab) {
        switch (which) {
            case Fixed::Paper:
                return {255, 0, 0};
            case Fixed::Black:
                return {0, 0, 0};
            case Fixed::Yellow:
                return {255, 0, 127};
            case Fixed::Grey:
                return {125, 0, 0};
        }
    }
    if (m.kind == Kind::Rgb) {
        switch (which) {
            case Fixed::Paper:
                return {255, 255, 255};
            case Fixed::Black:
                return {0, 0, 0};
            case Fixed::Yellow:
                return {255, 255, 0};
            case Fixed::Grey:
                return {125, 125, 125};
        }
    }
    Bytes cmyk;
    switch (which) {
        case Fixed::Paper:
            cmyk = {0, 0, 0, 0};
            break;
        case Fixed::Black:
            cmyk = {0, 0, 0, 255};
            break;
        case Fixed::Yellow:
            cmyk = {0, 0, 255, 0};
            break;
        case Fixed::Grey:
            cmyk = {0, 0, 0, 125};
            break;
    }
    Bytes bytes;
    for (std::size_t c = 0; c < n; ++c) {
        if (n < 4) {
            // Pages of fewer than four inks carry a mark's black in every ink.
            bytes.push_back(std::max(cmyk[c], cmyk[3]));
        } else {
            bytes.push_back(c < 4 ? cmyk[c] : 255);
        }
    }
    return bytes;
}

// --- The contrast rule for separators, from its published model ---------------

struct LabColor {
    double L, a, b;
};

LabColor labOfXyz(double x, double y, double z) {
    const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
    const double fx = f(x / 96.42);
    const double fy = f(y / 100.0);
    const double fz = f(z / 82.49);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

// Ink coverages 0..1 through the 16 overprints of the four process inks.
LabColor labOfCoverage(double c, double m, double y, double k) {
    double xyz[3] = {0.0, 0.0, 0.0};
    for (int combo = 0; combo < 16; ++combo) {
        const bool hasC = (combo & 1) != 0;
        const bool hasM = (combo & 2) != 0;
        const bool hasY = (combo & 4) != 0;
        const bool hasK = (combo & 8) != 0;
        const double weight =
            (hasC ? c : 1 - c) * (hasM ? m : 1 - m) * (hasY ? y : 1 - y) * (hasK ? k : 1 - k);
        const int inks = hasC + hasM + hasY + hasK;
        double px = 1.5;
        double py = 1.5;
        double pz = 1.2;
        if (inks == 0) {
            px = 83;
            py = 85;
            pz = 72.5;
        } else if (inks == 1 && hasC) {
            px = 10;
            py = 15;
            pz = 50;
        } else if (inks == 1 && hasM) {
            px = 30;
            py = 15;
            pz = 20;
        } else if (inks == 1 && hasY) {
            px = 73;
            py = 80;
            pz = 8;
        } else if (inks == 3 && hasK) {
            px = py = pz = 0.0;
        }
        xyz[0] += weight * px;
        xyz[1] += weight * py;
        xyz[2] += weight * pz;
    }
    return labOfXyz(xyz[0], xyz[1], xyz[2]);
}

struct ContrastInput {
    bool freeOfCyanMagentaBlack;
    LabColor lab;
};

ContrastInput contrastInput(const ModeSpec& m, const Bytes& px) {
    if (m.kind == Kind::Lab) {
        const auto sa = static_cast<std::int8_t>(px[1]);
        const auto sb = static_cast<std::int8_t>(px[2]);
        return {px[0] == 255 && sa == 0 && (sb == 0 || sb == 127),
                {px[0] / 2.55, static_cast<double>(sa), static_cast<double>(sb)}};
    }
    if (m.kind == Kind::Rgb) {
        const int c0 = 255 - px[0];
        const int m0 = 255 - px[1];
        const int y0 = 255 - px[2];
        const int k = std::min({c0, m0, y0});
        return {px[0] == 255 && px[1] == 255 && (px[2] == 0 || px[2] == 255),
                labOfCoverage((c0 - k) / 255.0, (m0 - k) / 255.0, (y0 - k) / 255.0, k / 255.0)};
    }
    return {px[0] == 0 && px[1] == 0 && px[3] == 0,
            labOfCoverage(px[0] / 255.0, px[1] / 255.0, px[2] / 255.0, px[3] / 255.0)};
}

double deltaE(const LabColor& p, const LabColor& q) {
    return std::sqrt((p.L - q.L) * (p.L - q.L) + (p.a - q.a) * (p.a - q.a) +
                     (p.b - q.b) * (p.b - q.b));
}

// Black between two patches that are both free of cyan, magenta and black,
// or both within 15 of the paper; paper otherwise. Known only for the modes
// whose first test the rule fixes; nothing for the others.
std::optional<Bytes> expectedSeparator(const ModeSpec& m, const Bytes& left, const Bytes& right) {
    if (m.mode != CM_CMYK && m.mode != CM_LAB && m.mode != CM_RGB) {
        return std::nullopt;
    }
    const ContrastInput p = contrastInput(m, left);
    const ContrastInput q = contrastInput(m, right);
    const LabColor paper = labOfXyz(83, 85, 72.5);
    const bool black = (p.freeOfCyanMagentaBlack && q.freeOfCyanMagentaBlack) ||
                       (deltaE(p.lab, paper) <= 15 && deltaE(q.lab, paper) <= 15);
    return fixedBytes(m, black ? Fixed::Black : Fixed::Paper);
}

// --- Hand-worked layouts -----------------------------------------------------

enum class Strip {
    BarThenGap,         // EyeOneRev1: black half gap after each mark
    GapThenBar,         // EyeOnePro2: black half gap just before each patch
    Zebra,              // EyeOnePro2 with a zebra ruler: no end patches
    Contrast,           // low resolution: opening patch, gap, separators
    ContrastNoOpening,  // low resolution with a zebra ruler
};

struct Layout {
    std::vector<int> strips;  // per page
    int columns;
    std::uint32_t widthPx;
    std::uint32_t heightPx;
    std::int64_t top;
    std::int64_t pitch;
    std::int64_t patchHeight;
    std::int64_t patchWidth;
    std::int64_t gapWidth;
    Strip strip;
    std::int64_t startX;  // opening patch, or the strip's start without one
    std::int64_t firstPatchX;
    std::int64_t numberX;
    std::int64_t numberBox;

    std::int64_t period() const { return patchWidth + gapWidth; }
    std::int64_t patchX(int column) const { return firstPatchX + column * period(); }
    // The yellow closing patch (or, on a zebra strip, the end of its bars).
    std::int64_t closingX() const { return firstPatchX + columns * period(); }
    std::int64_t stripY(int index) const { return top + index * pitch; }
};

const Layout kRev1A4{{6}, 15, 1992, 834, 80, 84, 80, 80, 12, Strip::BarThenGap, 250, 342, 50, 40};
const Layout kRev1TwoPages{{4, 3}, 13,  1808, 666, 80, 84, 80, 80, 12, Strip::BarThenGap,
                           250,    342, 50,   40};
const Layout kPro2A4{{6}, 15, 2024, 834, 80, 84, 80, 80, 14, Strip::GapThenBar, 250, 344, 50, 40};
const Layout kPro2TwoPages{{5, 4}, 11,  1648, 750, 80, 84, 80, 80, 14, Strip::GapThenBar,
                           250,    344, 50,   40};
const Layout kPro2Zebra{{5}, 18, 2106, 750, 80, 84, 80, 80, 14, Strip::Zebra, 250, 264, 50, 40};
const Layout kEyeOneVA4{{15}, 6,   1730, 1830, 50, 110, 100, 150, 20, Strip::Contrast,
                        200,  370, 10,   50};
const Layout kRev1LowRes{{15}, 6,   1810, 2150, 100, 120, 100, 150, 30, Strip::Contrast,
                         320,  500, 20,   50};
const Layout kPro2LowRes{{15}, 6,   1740, 2150, 100, 120, 100, 150, 20, Strip::Contrast,
                         280,  450, 30,   50};
const Layout kPro2LowResZebra{
    {9}, 10, 1798, 1340, 100, 110, 100, 120, 18, Strip::ContrastNoOpening, 162, 180, 10, 50};
const Layout kRev1Sample{{24, 24, 24, 22},  16,  2084, 2346, 80, 84, 80, 80, 12,
                         Strip::BarThenGap, 250, 342,  50,   40};
const Layout kPro2ZebraSample{{28, 28, 28}, 18, 2106,         2683, 80,  84, 80,
                              80,           14, Strip::Zebra, 250,  264, 50, 40};

struct ChartCase {
    std::string label;
    IdMeasureInstrument id;
    ModeSpec mode;
    double pageWidthMm;
    double pageHeightMm;
    std::string keywords;  // header lines added to the reference
    std::string sample;    // a bundled sample instead of a made reference
    Layout layout;
    bool greyMarkers = false;  // id 21 with a zebra ruler pads paper, grey, ...
};

std::vector<ChartCase> chartCases() {
    const bool quick = quickRun();
    std::vector<ChartCase> cases;
    const std::vector<ModeSpec> modes = allModes();
    std::size_t sampled = 0;
    const auto add = [&](const std::string& what, IdMeasureInstrument id, const ModeSpec& m,
                         double w, double h, const std::string& keywords, const Layout& layout) {
        // A quick run keeps CMYK and every third of the other cases.
        if (quick && m.mode != CM_CMYK && sampled++ % 3 != 0) {
            return;
        }
        cases.push_back(
            {what + "_Id" + std::to_string(id) + "_" + m.label, id, m, w, h, keywords, "", layout});
    };
    for (const ModeSpec& m : modes) {
        for (const IdMeasureInstrument id : {MI_EYEONE, MI_QUILLEYE, MI_LUMO10}) {
            add("Rev1", id, m, 210, 297, "", kRev1A4);
            add("Rev1TwoPages", id, m, 180, 70, "", kRev1TwoPages);
            add("Rev1LowRes", id, m, 210, 297, "LOWRES 1\n", kRev1LowRes);
        }
        for (const IdMeasureInstrument id : {MI_LUMO20, MI_EYEONEPRO2}) {
            add("Pro2", id, m, 210, 297, "", kPro2A4);
            add("Pro2TwoPages", id, m, 170, 80, "", kPro2TwoPages);
            add("Pro2Zebra", id, m, 210, 297, "ZEBRA_RULER_MODE 1\n", kPro2Zebra);
            add("Pro2LowRes", id, m, 210, 297, "LOWRES 1\n", kPro2LowRes);
            add("Pro2LowResZebra", id, m, 210, 297, "LOWRES 1\nZEBRA_RULER_MODE 1\n",
                kPro2LowResZebra);
        }
        add("EyeOneV", MI_EYEONE_LOWRES, m, 210, 297, "", kEyeOneVA4);
    }
    const ModeSpec& cmyk = modes.front();
    cases.push_back({"Rev1Sample1500", MI_EYEONE, cmyk, 210, 297, "", sampleFile("cmyk_1500.txt"),
                     kRev1Sample});
    cases.push_back({"Pro2ZebraSample1500_GreyMarkers", MI_LUMO20, cmyk, 210, 297,
                     "ZEBRA_RULER_MODE 1\n", sampleFile("cmyk_1500.txt"), kPro2ZebraSample, true});
    return cases;
}

// Test names and failure messages show a case by its label.
void PrintTo(const ChartCase& c, std::ostream* out) {
    *out << c.label;
}

constexpr int kReferenceRows = 90;

class EyeOneChart : public HostFolder, public ::testing::WithParamInterface<ChartCase> {
  protected:
    std::string pageFile(std::size_t page) const {
        return page == 0 ? path("chart.tif") : path("chart.tif_" + std::to_string(page) + ".tif");
    }

    // The reference the case charts, made in the test folder.
    std::string makeReference(const ChartCase& c) {
        const std::string file = path("reference.txt");
        if (c.sample.empty()) {
            writeReference(file, c.mode, kReferenceRows, c.keywords);
            return file;
        }
        std::ifstream in(c.sample);
        std::ofstream out(file);
        std::string line;
        std::getline(in, line);
        out << line << '\n' << c.keywords << in.rdbuf();
        return file;
    }

    // Patch k of the chart: a reference row, or the padding after it.
    Bytes chartPatch(const ChartCase& c, const Reference& sample, std::size_t k) const {
        const std::size_t rows = c.sample.empty() ? kReferenceRows : sample.rows.size();
        if (k >= rows) {
            const bool grey = c.greyMarkers && (k - rows) % 2 == 1;
            return fixedBytes(c.mode, grey ? Fixed::Grey : Fixed::Paper);
        }
        if (c.sample.empty()) {
            return referenceBytes(c.mode, static_cast<int>(k));
        }
        std::vector<double> values;
        for (const std::string& column : c.mode.columns) {
            values.push_back(sample.value(k, column));
        }
        return patchBytes(c.mode, values);
    }
};

TEST_P(EyeOneChart, DrawsEveryStripWhereTheLayoutPutsIt) {
    const ChartCase& c = GetParam();
    const Layout& layout = c.layout;
    const std::string reference = makeReference(c);
    const Reference sample = c.sample.empty() ? Reference{} : readReference(c.sample);
    int strips = -1;
    int columns = -1;
    ASSERT_EQ(createChart(c.id, path("chart.tif").c_str(), reference.c_str(), c.pageWidthMm,
                          c.pageHeightMm, 0, &strips, &columns, nullptr, c.mode.mode),
              1);
    EXPECT_EQ(strips, layout.strips.front());
    EXPECT_EQ(columns, layout.columns);

    std::set<std::string> expectedFiles{"chart.tif", "reference.txt"};
    for (std::size_t p = 1; p < layout.strips.size(); ++p) {
        expectedFiles.insert("chart.tif_" + std::to_string(p) + ".tif");
    }
    ASSERT_EQ(files(), expectedFiles);

    const Bytes black = fixedBytes(c.mode, Fixed::Black);
    const Bytes paper = fixedBytes(c.mode, Fixed::Paper);
    const Bytes yellow = fixedBytes(c.mode, Fixed::Yellow);
    const std::int64_t half = layout.gapWidth / 2;
    std::size_t k = 0;  // chart-wide patch index
    int stripNumber = 1;
    for (std::size_t p = 0; p < layout.strips.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        const RasterPage page = readRasterPage(pageFile(p));
        ASSERT_EQ(page.width, layout.widthPx);
        ASSERT_EQ(page.height, layout.heightPx);
        ASSERT_EQ(page.channels, channelsOf(c.mode));
        EXPECT_EQ(page.bitsPerSample, 8);
        EXPECT_EQ(page.photometric, c.mode.photometric);
        EXPECT_EQ(page.resolutionUnit, RESUNIT_INCH);
        EXPECT_FLOAT_EQ(page.xResolution, 254.0f);
        EXPECT_FLOAT_EQ(page.yResolution, 254.0f);

        // The dashed frame: 1 mm dashes along the top and bottom rows, down
        // the outer two columns 10 rows on, 10 off.
        EXPECT_TRUE(page.is(5, 0, black) && page.is(5, 1, black) && page.is(15, 1, paper));
        EXPECT_TRUE(page.is(5, page.height - 1, black) && page.is(15, page.height - 2, paper));
        EXPECT_TRUE(page.is(0, 25, black) && page.is(1, 25, black) && page.is(1, 35, paper));
        EXPECT_TRUE(page.is(page.width - 1, 45, black) && page.is(page.width - 2, 55, paper));

        for (int j = 0; j < layout.strips[p]; ++j, ++stripNumber) {
            SCOPED_TRACE("strip " + std::to_string(stripNumber));
            const std::int64_t y = layout.stripY(j);
            const std::int64_t mid = y + layout.patchHeight / 2;

            // The strip number in the margin, left of the strip.
            const std::int64_t box = layout.numberBox;
            const std::int64_t size = std::min<std::int64_t>(box / 4, 20);
            const std::int64_t numberTop = y + layout.pitch / 2 - 6 + (box - 2 * size) / 2;
            EXPECT_EQ(readNumber(page, black, layout.numberX, layout.startX, numberTop, size),
                      std::to_string(stripNumber));

            const bool opening =
                layout.strip != Strip::Zebra && layout.strip != Strip::ContrastNoOpening;
            if (opening) {
                EXPECT_TRUE(page.is(layout.startX + layout.patchWidth / 2, mid, black));
            }
            Bytes previous;
            for (int col = 0; col < layout.columns; ++col, ++k) {
                const std::int64_t x = layout.patchX(col);
                const Bytes expected = chartPatch(c, sample, k);
                ASSERT_EQ(page.pixel(x + layout.patchWidth / 2, mid), expected)
                    << "patch " << k << " at x " << x;
                switch (layout.strip) {
                    case Strip::BarThenGap:
                        EXPECT_TRUE(page.is(x - layout.gapWidth, mid, black) &&
                                    page.is(x - 1, mid, paper))
                            << "bars before patch " << k;
                        break;
                    case Strip::GapThenBar:
                    case Strip::Zebra:
                        EXPECT_TRUE(page.is(x - layout.gapWidth, mid, paper) &&
                                    page.is(x - 1, mid, black) && page.is(x - half, mid, black))
                            << "bars before patch " << k;
                        break;
                    case Strip::Contrast:
                    case Strip::ContrastNoOpening:
                        if (col == 0) {
                            EXPECT_TRUE(page.is(x - 1, mid, paper) &&
                                        page.is(x - layout.gapWidth, mid, paper));
                        } else {
                            const Bytes separator = page.pixel(x - half, mid);
                            const std::optional<Bytes> want =
                                expectedSeparator(c.mode, previous, expected);
                            if (want) {
                                EXPECT_EQ(separator, *want) << "separator before patch " << k;
                            } else {
                                EXPECT_TRUE(separator == black || separator == paper);
                            }
                        }
                        break;
                }
                previous = expected;
            }

            // The strip's end, and nothing drawn after it.
            const std::int64_t end = layout.closingX();
            if (layout.strip == Strip::Zebra) {
                EXPECT_TRUE(page.is(end - 1, mid, black) &&
                            page.is(end - layout.gapWidth, mid, paper));
                EXPECT_TRUE(page.is(end + 2, mid, paper));
            } else {
                EXPECT_TRUE(page.is(end + layout.patchWidth / 2, mid, yellow)) << "closing patch";
                EXPECT_TRUE(page.is(end + layout.patchWidth + 2, mid, paper));
                if (layout.strip == Strip::Contrast || layout.strip == Strip::ContrastNoOpening) {
                    const std::optional<Bytes> want = expectedSeparator(c.mode, previous, yellow);
                    if (want) {
                        EXPECT_EQ(page.pixel(end - half, mid), *want) << "last separator";
                    }
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Charts, EyeOneChart, ::testing::ValuesIn(chartCases()),
                         [](const ::testing::TestParamInfo<ChartCase>& param) {
                             return param.param.label;
                         });

}  // namespace
}  // namespace hostcheck
