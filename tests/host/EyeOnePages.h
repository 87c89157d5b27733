// i1 strip pages read back with libtiff and checked against a hand-worked
// layout: the references each colour mode is charted from and the page bytes
// they give, and the check of every page (size, channels and photometric,
// the dashed frame, strip numbers, the bytes at the centre of every patch,
// opening and closing patches, half-gap bars or contrast separators).
// Shared by the host tests and the layout tests.
#ifndef ORVOCHART_TESTS_HOST_EYEONEPAGES_H
#define ORVOCHART_TESTS_HOST_EYEONEPAGES_H

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/ReadBack.h"

namespace readback {

// --- Colour modes, their references and page bytes --------------------------

struct ModeSpec {
    ColorMode mode;
    std::string label;
    std::vector<std::string> columns;  // data columns in channel order
    std::uint16_t photometric;

    bool inks() const { return printsOnPlates(mode); }
};

inline std::vector<ModeSpec> allModes() {
    const std::pair<ColorMode, const char*> modes[] = {
        {CM_CMYK, "CMYK"},       {CM_CMYKO, "CMYKO"},  {CM_CMYKOG, "CMYKOG"},
        {CM_CMYKRGB, "CMYKRGB"}, {CM_LAB, "Lab"},      {CM_RGB, "RGB"},
        {CM_SPOT_1, "Spot1"},    {CM_SPOT_4, "Spot4"}, {CM_SPOT_8, "Spot8"}};
    std::vector<ModeSpec> specs;
    for (const auto& [mode, label] : modes) {
        specs.push_back({mode, label, channelFields(mode), photometricOf(mode)});
    }
    return specs;
}

// Reference values: ink percentages in steps of 5 (50 % must round up to
// 128), Lab across the gamut, RGB with fractions that are cut off. Rows 4 and
// 5 of every nine are light, free of cyan, magenta and black (paper in Lab,
// yellow in RGB); every other row lies far from the paper (at least 50 %
// cyan, L* at most 60.3, red at most 127). So the contrast rule for
// separators comes down to its first test: black between two light patches
// (or a light one and the yellow closing patch), paper everywhere else.
inline double referenceValue(const ModeSpec& m, std::size_t row, std::size_t column) {
    const bool light = row % 9 == 4 || row % 9 == 5;
    const auto r = static_cast<int>(row);
    const auto c = static_cast<int>(column);
    if (m.mode == CM_LAB) {
        return light ? (column == 0 ? 100.0 : 0.0)
                     : (column == 0 ? r * 7 % 61 + 0.3 : r * (13 + 16 * c) % 161 - 80.0);
    }
    if (m.mode == CM_RGB) {
        return light ? (column == 2 ? 0.9 : 255.9)
                     : (column == 0 ? r * 29 % 128 + 0.9
                                    : std::min(255.9, (r * 29 + c * 71) % 256 + 0.9));
    }
    if (light && column != 2 && column < 4) {
        return 0.0;
    }
    return column == 0 ? 50.0 + r * 37 % 11 * 5.0 : (r * 37 + c * 53 + 11) % 21 * 5.0;
}

inline void writeReference(const std::string& path, const ModeSpec& m, std::size_t rows,
                           const std::string& keywords) {
    std::ofstream out(path);
    out << "CGATS.17\nORIGINATOR \"i1 chart tests\"\n" << keywords;
    out << "NUMBER_OF_FIELDS " << m.columns.size() + 1 << "\nBEGIN_DATA_FORMAT\nSAMPLE_ID";
    for (const std::string& c : m.columns) {
        out << ' ' << c;
    }
    out << "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " << rows << "\nBEGIN_DATA\n";
    for (std::size_t r = 0; r < rows; ++r) {
        out << r + 1;
        for (std::size_t c = 0; c < m.columns.size(); ++c) {
            out << ' ' << referenceValue(m, r, c);
        }
        out << '\n';
    }
    out << "END_DATA\n";
}

// Page bytes of a reference row.
inline Bytes rowBytes(const ModeSpec& m, std::size_t row) {
    std::vector<double> values;
    for (std::size_t c = 0; c < m.columns.size(); ++c) {
        values.push_back(referenceValue(m, row, c));
    }
    return pageBytes(m.mode, values);
}

enum Fixed { kPaper, kBlack, kYellow, kGrey };

// The fixed colours of each mode as page bytes.
inline Bytes fixedBytes(const ModeSpec& m, Fixed which) {
    static const Bytes lab[] = {{255, 0, 0}, {0, 0, 0}, {255, 0, 127}, {125, 0, 0}};
    static const Bytes rgb[] = {{255, 255, 255}, {0, 0, 0}, {255, 255, 0}, {125, 125, 125}};
    static const Bytes cmyk[] = {{0, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 255, 0}, {0, 0, 0, 125}};
    if (!m.inks()) {
        return (m.mode == CM_LAB ? lab : rgb)[which];
    }
    const Bytes& ink = cmyk[which];
    const std::size_t n = m.columns.size();
    Bytes bytes;
    for (std::size_t c = 0; c < n; ++c) {
        // Pages of fewer than four inks carry a mark's black in every ink.
        bytes.push_back(n < 4 ? std::max(ink[c], ink[3]) : c < 4 ? ink[c] : 255);
    }
    return bytes;
}

// The separator between two patches by the first test of the contrast rule
// (see referenceValue); the modes it leaves to the layout are told nothing.
inline std::optional<Bytes> expectedSeparator(const ModeSpec& m, const Bytes& left,
                                              const Bytes& right) {
    const auto light = [&](const Bytes& p) {
        if (m.mode == CM_LAB) {
            return p[0] == 255 && p[1] == 0 && (p[2] == 0 || p[2] == 127);
        }
        if (m.mode == CM_RGB) {
            return p[0] == 255 && p[1] == 255 && (p[2] == 0 || p[2] == 255);
        }
        return p[0] == 0 && p[1] == 0 && p[3] == 0;
    };
    if (m.mode != CM_CMYK && m.mode != CM_LAB && m.mode != CM_RGB) {
        return std::nullopt;
    }
    return fixedBytes(m, light(left) && light(right) ? kBlack : kPaper);
}

// --- Hand-worked layouts, in tenths of a millimetre ---------------------------

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
    std::int64_t numberX;
    std::int64_t numberBox;  // half the patch height; a third on a card

    bool opening() const { return strip != Strip::Zebra && strip != Strip::ContrastNoOpening; }
    bool contrast() const { return strip == Strip::Contrast || strip == Strip::ContrastNoOpening; }
    // After the opening patch (if any) and a gap, a patch every period.
    std::int64_t patchX(int column) const {
        return startX + (opening() ? patchWidth : 0) + gapWidth + column * (patchWidth + gapWidth);
    }
};

// Every page of an i1 chart of `rows` reference rows in mode `m`, checked
// against its layout. The padding after the rows is paper, or paper and grey
// in turn with `greyMarkers`.
inline void expectStripPages(const std::vector<std::string>& pageFiles, const ModeSpec& m,
                             std::size_t rows, bool greyMarkers, const Layout& layout) {
    ASSERT_EQ(pageFiles.size(), layout.strips.size());
    const auto chartPatch = [&](std::size_t k) {
        return k < rows ? rowBytes(m, k)
                        : fixedBytes(m, greyMarkers && (k - rows) % 2 == 1 ? kGrey : kPaper);
    };
    const Bytes black = fixedBytes(m, kBlack);
    const Bytes paper = fixedBytes(m, kPaper);
    const Bytes yellow = fixedBytes(m, kYellow);
    const std::int64_t half = layout.gapWidth / 2;
    std::size_t k = 0;  // chart-wide patch index
    int stripNumber = 1;
    for (std::size_t p = 0; p < layout.strips.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        const TiffPage page = readTiff(pageFiles[p]);
        ASSERT_EQ(page.width, layout.widthPx);
        ASSERT_EQ(page.height, layout.heightPx);
        ASSERT_EQ(page.samplesPerPixel, m.columns.size());
        EXPECT_EQ(page.bitsPerSample, 8);
        EXPECT_EQ(page.photometric, m.photometric);
        EXPECT_EQ(page.resolutionUnit, RESUNIT_INCH);
        EXPECT_FLOAT_EQ(page.xResolution, 254.0f);
        EXPECT_FLOAT_EQ(page.yResolution, 254.0f);

        // The dashed frame: 1 mm dashes along the top and bottom rows, down
        // the outer two columns 10 rows on, 10 off.
        const std::int64_t right = page.width - 1;
        const std::int64_t bottom = page.height - 1;
        EXPECT_TRUE(is(page, 5, 0, black) && is(page, 5, 1, black) && is(page, 15, 1, paper));
        EXPECT_TRUE(is(page, 5, bottom, black) && is(page, 15, bottom - 1, paper));
        EXPECT_TRUE(is(page, 0, 25, black) && is(page, 1, 25, black) && is(page, 1, 35, paper));
        EXPECT_TRUE(is(page, right, 45, black) && is(page, right - 1, 55, paper));

        for (int j = 0; j < layout.strips[p]; ++j, ++stripNumber) {
            SCOPED_TRACE("strip " + std::to_string(stripNumber));
            const std::int64_t y = layout.top + j * layout.pitch;
            const std::int64_t mid = y + layout.patchHeight / 2;

            // The strip number in the margin, left of the strip.
            const std::int64_t box = layout.numberBox;
            const std::int64_t size = std::min<std::int64_t>(box / 4, 20);
            const std::int64_t numberTop = y + layout.pitch / 2 - 6 + (box - 2 * size) / 2;
            EXPECT_EQ(readNumber(page, black, layout.numberX, layout.startX, numberTop, size),
                      std::to_string(stripNumber));

            if (layout.opening()) {
                EXPECT_TRUE(is(page, layout.startX + layout.patchWidth / 2, mid, black));
            }
            Bytes previous;
            for (int col = 0; col < layout.columns; ++col, ++k) {
                const std::int64_t x = layout.patchX(col);
                const Bytes expected = chartPatch(k);
                ASSERT_EQ(pixelAt(page, x + layout.patchWidth / 2, mid), expected)
                    << "patch " << k << " at x " << x;
                const std::int64_t gapStart = x - layout.gapWidth;
                if (layout.strip == Strip::BarThenGap) {
                    EXPECT_TRUE(is(page, gapStart, mid, black) && is(page, x - 1, mid, paper))
                        << "bars before patch " << k;
                } else if (!layout.contrast()) {
                    EXPECT_TRUE(is(page, gapStart, mid, paper) && is(page, x - 1, mid, black) &&
                                is(page, x - half, mid, black))
                        << "bars before patch " << k;
                } else if (col == 0) {
                    EXPECT_TRUE(is(page, x - 1, mid, paper) && is(page, gapStart, mid, paper));
                } else {
                    const Bytes separator = pixelAt(page, x - half, mid);
                    const auto want = expectedSeparator(m, previous, expected);
                    EXPECT_TRUE(want ? separator == *want
                                     : separator == black || separator == paper)
                        << "separator before patch " << k;
                }
                previous = expected;
            }

            // The strip's end, and nothing drawn after it.
            const std::int64_t end = layout.patchX(layout.columns);
            if (layout.strip == Strip::Zebra) {
                EXPECT_TRUE(is(page, end - 1, mid, black) &&
                            is(page, end - layout.gapWidth, mid, paper));
                EXPECT_TRUE(is(page, end + 2, mid, paper));
                continue;
            }
            EXPECT_TRUE(is(page, end + layout.patchWidth / 2, mid, yellow)) << "closing patch";
            EXPECT_TRUE(is(page, end + layout.patchWidth + 2, mid, paper));
            const auto want = expectedSeparator(m, previous, yellow);
            if (layout.contrast() && want) {
                EXPECT_EQ(pixelAt(page, end - half, mid), *want) << "last separator";
            }
        }
    }
}

}  // namespace readback

#endif  // ORVOCHART_TESTS_HOST_EYEONEPAGES_H
