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
#include <set>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/ReadBack.h"

namespace readback {

// --- References and the page bytes they give ---------------------------------

// Page bytes of a reference row: process inks as coverage, further inks
// inverted; L* in 1/2.55 steps, a* and b* as signed bytes; RGB cut off.
inline Bytes rowBytes(const ModeSpec& m, std::size_t row) {
    Bytes bytes;
    for (std::size_t c = 0; c < channelFields(m.mode).size(); ++c) {
        const double v = referenceValue(m, row, c);
        const double lab =
            c == 0 ? std::clamp(v * 2.55, 0.0, 255.0) : std::clamp(v + 128.0, 0.0, 255.0) - 128.0;
        const int byte = printsOnPlates(m.mode) ? (c < 4 ? inkByte(v) : 255 - inkByte(v))
                         : m.mode == CM_LAB     ? static_cast<int>(std::floor(lab + 0.5))
                                                : static_cast<int>(v);
        bytes.push_back(static_cast<std::uint8_t>(byte & 0xFF));
    }
    return bytes;
}

enum Fixed { kPaper, kBlack, kYellow, kGrey };

// The fixed colours of each mode as page bytes.
inline Bytes fixedBytes(const ModeSpec& m, Fixed which) {
    static const Bytes lab[] = {{255, 0, 0}, {0, 0, 0}, {255, 0, 127}, {125, 0, 0}};
    static const Bytes rgb[] = {{255, 255, 255}, {0, 0, 0}, {255, 255, 0}, {125, 125, 125}};
    static const Bytes cmyk[] = {{0, 0, 0, 0}, {0, 0, 0, 255}, {0, 0, 255, 0}, {0, 0, 0, 125}};
    if (!printsOnPlates(m.mode)) {
        return (m.mode == CM_LAB ? lab : rgb)[which];
    }
    const Bytes& ink = cmyk[which];
    const std::size_t n = channelFields(m.mode).size();
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
    const auto light = [&](const Bytes& p) {  // paper or yellow; in CMYK no cyan, magenta or black
        return m.mode == CM_CMYK ? p[0] == 0 && p[1] == 0 && p[3] == 0
                                 : p == fixedBytes(m, kPaper) || p == fixedBytes(m, kYellow);
    };
    if (m.mode != CM_CMYK && m.mode != CM_LAB && m.mode != CM_RGB) {
        return std::nullopt;
    }
    return fixedBytes(m, light(left) && light(right) ? kBlack : kPaper);
}

// A page of widthPx x heightPx at 254 dpi, 8 bits for each of the mode's
// channels, in its photometric interpretation: one ink is coverage (0 is
// paper, "min is white"), three channels without ink names are RGB.
inline ::testing::AssertionResult hasShape(const TiffPage& page, std::uint32_t widthPx,
                                           std::uint32_t heightPx, ColorMode mode) {
    if (page.width == widthPx && page.height == heightPx && page.bitsPerSample == 8 &&
        page.samplesPerPixel == channelFields(mode).size() &&
        page.photometric == (mode == CM_LAB      ? PHOTOMETRIC_CIELAB
                             : mode == CM_RGB    ? PHOTOMETRIC_RGB
                             : mode == CM_SPOT_1 ? PHOTOMETRIC_MINISWHITE
                                                 : PHOTOMETRIC_SEPARATED) &&
        page.resolutionUnit == RESUNIT_INCH && page.xResolution == 254.0f &&
        page.yResolution == 254.0f) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << page.width << " x " << page.height << " px, " << page.samplesPerPixel << " x "
           << page.bitsPerSample << " bits, photometric " << page.photometric << ", "
           << page.xResolution << " x " << page.yResolution << " per unit " << page.resolutionUnit;
}

// A pixel of a page that shows black, or else paper.
struct Mark {
    std::int64_t x, y;
    bool black;
};

inline void expectMarks(const TiffPage& page, const ModeSpec& m, const std::vector<Mark>& marks) {
    for (const Mark& k : marks) {
        EXPECT_EQ(pixelAt(page, k.x, k.y), fixedBytes(m, k.black ? kBlack : kPaper))
            << (k.black ? "black" : "paper") << " at (" << k.x << ", " << k.y << ")";
    }
}

// A case of a chart family: one of its ids in one colour mode.
template <class Family>
struct FamilyCase {
    std::string label;  // "<family>_Id<id>_<mode>"
    IdMeasureInstrument id;
    ModeSpec mode;
    Family f;
};

// A family that takes every mode.
inline constexpr auto kEveryMode = [](const auto&, ColorMode) { return true; };

// Every family with each of its ids in every mode it takes (`takes(family,
// mode)`): CMYK and each family's first mode always, of the other cases
// every `keep`-th in a quick run.
template <class Family, class Takes>
std::vector<FamilyCase<Family>> familyCases(const std::vector<Family>& families, std::size_t keep,
                                            Takes takes) {
    std::vector<FamilyCase<Family>> cases;
    std::size_t sampled = 0;
    std::set<std::string> named;
    for (const ModeSpec& m : allModes()) {
        for (const Family& f : families) {
            for (const IdMeasureInstrument id : f.ids) {
                if (takes(f, m.mode) && (named.insert(f.name).second || m.mode == CM_CMYK ||
                                         !quickRun() || sampled++ % keep == 0)) {
                    cases.push_back(
                        {f.name + "_Id" + std::to_string(id) + "_" + m.label, id, m, f});
                }
            }
        }
    }
    return cases;
}

// --- Hand-worked layouts, in tenths of a millimetre ---------------------------

enum class Strip {
    BarThenGap,         // EyeOneRev1: black half gap after each mark
    GapThenBar,         // EyeOnePro2: black half gap just before each patch
    Zebra,              // EyeOnePro2 with a zebra ruler: no end patches
    Contrast,           // low resolution: opening patch, gap, separators
    ContrastNoOpening,  // low resolution with a zebra ruler
    LightnessBars,      // Spyder Print: black bar, then per patch a bar a gap wide
};

struct Layout {
    std::vector<int> strips;  // per page
    int columns;
    std::uint32_t widthPx, heightPx;
    std::int64_t top, pitch, patchHeight, patchWidth, gapWidth;
    Strip strip;
    std::int64_t startX;  // opening patch, or the strip's start without one
    std::int64_t numberX;
    std::int64_t numberBox;  // half the patch height; a third on a card

    bool opening() const {
        return strip != Strip::Zebra && strip != Strip::ContrastNoOpening &&
               strip != Strip::LightnessBars;
    }
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
    const Bytes black = fixedBytes(m, kBlack), paper = fixedBytes(m, kPaper);
    const Bytes yellow = fixedBytes(m, kYellow);
    const std::int64_t half = layout.gapWidth / 2;
    std::size_t k = 0;  // chart-wide patch index
    int stripNumber = 1;
    std::size_t paperBars = 0;
    for (std::size_t p = 0; p < layout.strips.size(); ++p) {
        SCOPED_TRACE("page " + std::to_string(p));
        const TiffPage page = readTiff(pageFiles[p]);
        ASSERT_TRUE(hasShape(page, layout.widthPx, layout.heightPx, m.mode));

        // The dashed frame: 1 mm dashes along the top and bottom rows, down
        // the outer two columns 10 rows on, 10 off.
        const std::int64_t right = page.width - 1, bottom = page.height - 1;
        // clang-format off
        expectMarks(page, m, {{5, 0, true}, {5, 1, true}, {15, 1, false}, {5, bottom, true},
            {15, bottom - 1, false}, {0, 25, true}, {1, 25, true}, {1, 35, false},
            {right, 45, true}, {right - 1, 55, false}});
        // clang-format on

        for (int j = 0; j < layout.strips[p]; ++j, ++stripNumber) {
            SCOPED_TRACE("strip " + std::to_string(stripNumber));
            const std::int64_t y = layout.top + j * layout.pitch, mid = y + layout.patchHeight / 2;

            // The strip number in the margin, left of the strip.
            const std::int64_t size = std::min<std::int64_t>(layout.numberBox / 4, 20);
            const std::int64_t numberTop =
                y - 6 + (layout.numberBox - 2 * size) / 2 +
                (layout.strip == Strip::LightnessBars ? 20 : layout.pitch / 2);
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
                } else if (layout.strip == Strip::LightnessBars) {
                    // Black opening bar; between two light patches black
                    // (what makes them light keeps both ends of the
                    // lightness rule black), elsewhere black or paper.
                    const Bytes bar = pixelAt(page, gapStart, mid);
                    paperBars += bar == paper;
                    EXPECT_TRUE(
                        bar == pixelAt(page, x - 1, mid) &&
                        (bar == black || (bar == paper && col > 0 &&
                                          expectedSeparator(m, previous, expected) != black)))
                        << "bar before patch " << k;
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
            if (layout.strip == Strip::Zebra || layout.strip == Strip::LightnessBars) {
                const Bytes& gap = layout.strip == Strip::Zebra ? paper : black;
                EXPECT_TRUE(is(page, end - 1, mid, black) &&
                            is(page, end - layout.gapWidth, mid, gap) &&
                            is(page, end + 2, mid, paper))
                    << "closing bar";
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
    // Dark neighbours stand apart by paper bars somewhere on the chart
    // (spot patches carry no CMYK to judge their lightness by).
    if (layout.strip == Strip::LightnessBars && m.mode < CM_SPOT_1) {
        EXPECT_GT(paperBars, 0U);
    }
}

}  // namespace readback

#endif  // ORVOCHART_TESTS_HOST_EYEONEPAGES_H
