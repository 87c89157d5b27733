// DTP70, DTP20 and iCColor charts made as a host makes them, through
// createChart of the shared library, and read back from outside: the files
// on disk, qpdf's check and the page boxes of every page, the inks at patch
// centres and the instruments' marks through Ghostscript's separations, and
// the side files against hand-worked files.
//
// Layouts of a 90-patch reference, worked out by hand:
// - DTP70 on A4, 6 mm patches: 179 x 235 mm usable, 5 x 18 wastes nothing;
//   the grid needs 139 mm, so the sheet is 211 mm wide and the grid with its
//   two bars (20 x 6 mm) is centred: margins 45.5 mm, first patch at 51.5.
//   On 80 mm pages 3 rows fit: two pages of 2 x 29, margins 12.5.
//   LOWRES 1: 15 mm patches, 2 mm gaps, 10 x 9 on a 211 x 232 sheet, margins
//   (211 - 11 x 17 + 2) / 2 = 13 (dtp70_lowres_cmyk90_a4.dcf).
// - DTP20 on A4, 6.5 x 12 mm patches: 101 mm usable width, 6 x 15; the
//   patches start at 33 + 1 + 5.5 + 3 x 6.5 = 59 mm, the strips 10 + 12 mm
//   down. 60 mm pages hold 2 strips: three pages. LOWRES 1: 10 x 13 mm
//   patches, 2 mm gaps, lead-in 11 mm: 90 mm usable, 15 x 6 from 75 mm,
//   25 mm down, on the least page width (195 mm).
// - iCColor on A4, 7 x 8 mm patches: 117 mm usable, 6 x 15 on 115 x 183 mm
//   (iccolor_cmyk90_a4.csv); 160 mm pages: two pages of 3 x 16.
#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <locale>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "host/ReadBack.h"

namespace readback {
namespace {

struct Shape {
    IdMeasureInstrument id;
    const char* label;
    const char* keyword;  // added to the reference's header, or ""
    double hostWidthMm, hostHeightMm;
    int pages, strips, columns;
    double pageWidthMm, pageHeightMm;
    double firstXMm, firstYMm, pitchXMm, pitchYMm, patchWidthMm, patchHeightMm;
    const char* sideFile;
    const char* handWorked;  // expected side file bytes (tests/data/host), or ""
};

// clang-format off
const Shape kShapes[] = {
    {MI_DTP70, "Dtp70", "", 210, 297, 1, 5, 18, 211, 92, 51.5, 32, 6, 6, 6, 6, "chart.pdf.dcf",
     "dtp70_cmyk90_a4.dcf"},
    {MI_DTP70, "Dtp70", "", 210, 80, 2, 2, 29, 211, 74, 18.5, 32, 6, 6, 6, 6, "chart.pdf.dcf", ""},
    {MI_DTP20, "Dtp20", "", 210, 297, 1, 6, 15, 206.5, 107.1, 59, 22, 6.5, 12, 6.5, 12, "", ""},
    {MI_DTP20, "Dtp20", "", 210, 60, 3, 2, 15, 206.5, 59.1, 59, 22, 6.5, 12, 6.5, 12, "", ""},
    {MI_ICCOLOR, "ICColor", "", 210, 297, 1, 6, 15, 115, 183, 5, 66.5, 7, 8, 7, 8, "chart.pdf.csv",
     "iccolor_cmyk90_a4.csv"},
    {MI_ICCOLOR, "ICColor", "", 210, 160, 2, 3, 16, 122, 159, 5, 66.5, 7, 8, 7, 8, "chart.pdf.csv", ""},
    // The 2 mm gaps, in CMYK only.
    {MI_DTP70, "Dtp70Gaps", "LOWRES 1", 210, 297, 1, 10, 9, 211, 232, 30, 32, 17, 17, 15, 15,
     "chart.pdf.dcf", "dtp70_lowres_cmyk90_a4.dcf"},
    {MI_DTP20, "Dtp20Gaps", "LOWRES 1", 210, 297, 1, 15, 6, 195, 260.1, 75, 25, 12, 15, 10, 13, "", ""},
};
// clang-format on

struct GridCase {
    std::string label;
    Shape shape;
    ModeSpec mode;
    // Read the inks back through Ghostscript; the host set a German global locale.
    bool render, german;
};

std::vector<GridCase> gridCases() {
    std::vector<GridCase> cases;
    for (const Shape& s : kShapes) {
        for (const ModeSpec& m : allModes()) {
            // DTP20 codes need four inks; the gaps are one shape, not one per mode.
            if ((s.id == MI_DTP20 && channelFields(m.mode).size() < 4) ||
                (*s.keyword != '\0' && m.mode != CM_CMYK)) {
                continue;
            }
            cases.push_back(
                {std::string(s.label) + "_" + m.label + (s.pages == 1 ? "_OnePage" : "_Pages"), s,
                 m, !quickRun() || cases.size() % 3 == 0 || *s.keyword != '\0',
                 cases.size() % 2 == 1});
        }
    }
    return cases;
}

// The DTP20 code colours: CMYK inks, and the RGB they read as on RGB pages.
struct CodeColour {
    std::vector<int> cmyk, rgb;
};
// clang-format off
const CodeColour kDigits[8] = {{{0, 0, 0, 0}, {255, 255, 255}}, {{0, 0, 255, 0}, {255, 255, 0}},
    {{0, 255, 0, 0}, {255, 0, 255}}, {{0, 255, 255, 0}, {255, 0, 0}},
    {{255, 0, 0, 0}, {0, 255, 255}}, {{160, 0, 255, 0}, {95, 255, 0}},
    {{224, 196, 0, 0}, {31, 59, 255}}, {{0, 0, 0, 255}, {0, 0, 0}}};
// clang-format on
const CodeColour kGrey{{127, 127, 127, 0}, {128, 128, 128}};

// The instruments' marks on a rendered page.
void expectMarks(const RenderedPage& r, const GridCase& c, int page) {
    const Shape& s = c.shape;
    SCOPED_TRACE("marks of page " + std::to_string(page));
    // The middle of the first strip, the gap between patches.
    const double middle = s.firstYMm + s.patchHeightMm / 2, gap = s.pitchXMm - s.patchWidthMm;
    // The code colour's inks on the first four plates, none on the others, or
    // its RGB on screen (Lab pages come through a colour conversion and keep
    // it only roughly).
    const auto showsCode = [&](const CodeColour& colour, double x, double y) {
        return showsBytes(r, c.mode, printsOnPlates(c.mode.mode) ? colour.cmyk : colour.rgb,
                          c.mode.mode == CM_LAB ? 40 : 2, x, y);
    };
    const double left = s.firstXMm, right = left + s.columns * s.pitchXMm;  // of the grid
    if (gap > 0) {  // drawn between the patches, as the instrument expects
        EXPECT_TRUE(r.isPaper(left + s.patchWidthMm + gap / 2, middle));
    }
    if (s.id == MI_DTP70) {
        // Bars one pitch left and right of the grid on the first row, none on
        // the second; the feed arrows 13 mm in from either side.
        for (const double x :
             {left - s.pitchXMm + s.patchWidthMm / 2, right + s.patchWidthMm / 2}) {
            EXPECT_TRUE(r.isBlack(x, middle) && r.isPaper(x, middle + s.pitchYMm))
                << "bar at " << x;
        }
        EXPECT_TRUE(r.isBlack(13.0, 10.0) && r.isBlack(s.pageWidthMm - 13.0, 10.0));
    } else if (s.id == MI_ICCOLOR) {
        // The small bar above the grid and the large one below it, 5 mm in
        // from the grid's edges.
        for (const double y : {s.firstYMm - 4.0, s.firstYMm + s.strips * s.pitchYMm + 5.0}) {
            EXPECT_TRUE(r.isBlack(left + 5.5, y) && r.isBlack(right - 5.5, y) &&
                        r.isPaper(left + 4.5, y))
                << "bar at " << y;
        }
    } else if (s.id == MI_DTP20) {
        // Strip codes: units digit, then tens, from three patch widths before
        // the first patch; numbers run on across pages.
        for (int strip = 0; strip < s.strips; ++strip) {
            const int number = 1 + page * s.strips + strip;
            const double y = middle + strip * s.pitchYMm;
            const double code = s.firstXMm - 2.5 * s.patchWidthMm;
            EXPECT_TRUE(showsCode(kDigits[number % 8], code, y)) << "strip " << number;
            EXPECT_TRUE(showsCode(kDigits[number / 8], code + s.patchWidthMm, y));
            EXPECT_TRUE(showsCode(kGrey, 33.5, y)) << "left bar";
        }
        // The header on the first page only: cyan, the columns and the 90
        // patches in octal, the width code and the gap in half millimetres.
        const double y = s.firstYMm - s.pitchYMm + s.patchHeightMm / 2;
        const int width = s.patchWidthMm == 10 ? 4 : 0, halves = static_cast<int>(gap * 2);
        const int header[9] = {4, s.columns / 8, s.columns % 8, 0, 1, 3, 2, width, halves};
        for (int i = 0; i < 9; ++i) {
            const double x = s.firstXMm + 6.0 * i + 3.0;
            EXPECT_TRUE(page == 0 ? showsCode(kDigits[header[i]], x, y) : r.isPaper(x, y))
                << "header element " << i;
        }
    }
}

class PdfGridChart : public HostFolder, public ::testing::WithParamInterface<GridCase> {};

TEST_P(PdfGridChart, WritesEveryPageAndItsSideFileAsTheLayoutPutsThem) {
    const GridCase& c = GetParam();
    const Shape& s = c.shape;
    if (toolsMissing()) {
        return;
    }
    const std::string reference = referenceFor(c.mode, s.keyword);
    // A host that set a German global locale (decimal comma, digit grouping)
    // for the C library and the C++ streams.
    if (c.german && std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        std::locale::global(std::locale("de_DE.UTF-8"));
    }
    const auto made = makes(s.id, "chart.pdf", reference, s.hostWidthMm, s.hostHeightMm,
                            c.mode.mode, s.strips, s.columns);
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    ASSERT_TRUE(made);
    const std::vector<std::string> pdfs = chartFiles("chart.pdf", s.pages, {s.sideFile}, true);
    if (*s.handWorked != '\0') {
        EXPECT_EQ(fileText(path(s.sideFile)),
                  fileText(std::string(ORVOCHART_TEST_DATA) + "/host/" + s.handWorked));
    }
    expectPages(pdfs, pdfs.size(), s.pageWidthMm, s.pageHeightMm);
    if (!c.render) {
        return;
    }
    const std::vector<std::string> shown = quickRun() ? std::vector{pdfs.back()} : pdfs;
    const auto rendered = render(shown, printsOnPlates(c.mode.mode), path("render"));
    ASSERT_EQ(rendered.size(), shown.size()) << "Ghostscript rendered nothing";
    const Reference ref = readReference(reference);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const int page = s.pages - static_cast<int>(shown.size() - i);
        for (int strip : {0, s.strips - 1}) {
            for (int column : {0, s.columns / 2, s.columns - 1}) {
                const auto row =
                    static_cast<std::size_t>((page * s.strips + strip) * s.columns + column);
                EXPECT_TRUE(showsRow(rendered[i], c.mode, ref, row,
                                     s.firstXMm + column * s.pitchXMm + s.patchWidthMm / 2,
                                     s.firstYMm + strip * s.pitchYMm + s.patchHeightMm / 2))
                    << "page " << page << " strip " << strip << " column " << column;
            }
        }
        expectMarks(rendered[i], c, page);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PdfGridChart, ::testing::ValuesIn(gridCases()), kByLabel);

// Charts the instruments could not read are refused before anything is
// written; the DTP70's second fit keeps the first one's layout. 40 patches:
// 2 x 20 on A4, 4 x 10 on 100 x 100 mm, both on a 211 mm sheet with margins
// 39.5 and 69.5 mm. Warm-up pages: 5 patches without instrument (id 0) are
// not padded, ids beyond the table pad them to six, Barbieri id 29 (named,
// without a layout) to eight; one strip of them.
TEST_F(HostFolder, PdfChartsTheInstrumentCannotReadAreRefused) {
    struct Attempt {
        IdMeasureInstrument id;
        std::string reference;
        ColorMode mode;
        double widthMm, heightMm;
        int strips, columns;  // 0: refused
    } const attempts[] = {
        {MI_DTP20, testFile("spot2_90.txt"), CM_SPOT_2, 210, 297, 0, 0},   // codes need four inks
        {MI_DTP20, sampleFile("cmyk_1500.txt"), CM_CMYK, 210, 297, 0, 0},  // strip 64 has no code
        {MI_ICCOLOR, testFile("cmyk_90.txt"), CM_CMYK, 20, 297, 0, 0},     // narrower than the bars
        {MI_DTP70, testFile("cmyk_40.txt"), CM_CMYK, 210, 297, 2, 20},
        {MI_DTP70, testFile("cmyk_40.txt"), CM_CMYK, 100, 100, 4, 10},
        {IdMeasureInstrument(0), testFile("cmyk_5.txt"), CM_CMYK, 210, 297, 1, 5},
        {IdMeasureInstrument(1000), testFile("cmyk_5.txt"), CM_CMYK, 210, 297, 1, 6},
        {MI_SPECTROLFP_2, testFile("cmyk_5.txt"), CM_CMYK, 210, 297, 1, 8},
    };
    for (const Attempt& a : attempts) {
        SCOPED_TRACE("id " + std::to_string(a.id) + ", " + a.reference + " on " +
                     std::to_string(a.widthMm));
        if (a.strips == 0) {
            EXPECT_EQ(result(a.id, "chart.pdf", a.reference, a.widthMm, a.heightMm, a.mode), 0);
        } else {
            EXPECT_TRUE(makes(a.id, "chart.pdf", a.reference, a.widthMm, a.heightMm, a.mode,
                              a.strips, a.columns));
        }
        EXPECT_EQ(folder_.entries().empty(), a.strips == 0);
        fs::remove_all(folder_.path());
        fs::create_directories(folder_.path());
    }
}

}  // namespace
}  // namespace readback
