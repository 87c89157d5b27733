// Read-back harness: chart files checked from outside the library, with the
// tools a print shop would use. Knows nothing of the library's internals, so
// the host tests, the layout tests and the writer tests all share it. A new
// layout adds one table-driven test file to tests/host/ built on it.
//
// namespace readback:
// Files      TempFolder, fileText, run, CommandResult (from tests/Support.h).
// TIFF       readTiff(path) -> TiffPage {width, height, samplesPerPixel,
//            bitsPerSample, photometric, resolution, inkNames, description
//            (tag 270), rows}; at(x, y, c), pixel(x, y); pixelAt(page, x, y)
//            is empty off the page, is(page, x, y, bytes);
//            readNumber(...) reads a seven-segment strip number.
// PDF        toolsMissing(): skips the test when qpdf or Ghostscript is not
//            on the search path (as under wine); kToNull, appended to a
//            command, hides its output on either system; expectPages(pdfs,
//            count, widthMm, heightMm): qpdf's check and Ghostscript's page
//            boxes; textSpans(pdfs), textsAt(pdfs, xMm); render(pdfs, plates,
//            scratch) -> RenderedPage per page: Ghostscript's ink plates
//            (tiffsep) or sRGB (tiff24nc) at 5 px a mm: at(xMm, yMm),
//            isPaper, isBlack, shows(expected, tol, x, y).
// Reference  readReference(path) -> Reference {fields, rows, value(row,
//            field)}; channelFields(mode); inkByte(percent); showsBytes(page,
//            mode, bytes, ...) and showsRow(page, mode, ref, row, xMm, yMm):
//            what Ghostscript shows there on a PDF page.
// Host       ModeSpec {mode, label, reference, spotNames}, allModes(): one
//            per colour writer (spot with few and with eight inks); kByLabel
//            names test cases; HostFolder fixture: path(name),
//            expectFiles(names), makes(...) runs createChart and checks its
//            grid, chartFiles(...) checks what a chart leaves and gives its
//            page paths; quickRun(), testFile(name), sampleFile(name).
#ifndef ORVOCHART_TESTS_HOST_READBACK_H
#define ORVOCHART_TESTS_HOST_READBACK_H

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "OrvoChartInterface.h"
#include "Support.h"

namespace readback {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using testsupport::CommandResult;
using testsupport::fileText;
using testsupport::run;
using testsupport::TempFolder;

// --- TIFF pages through libtiff ----------------------------------------------

struct TiffPage {
    std::uint32_t width = 0, height = 0;
    std::uint16_t samplesPerPixel = 0, bitsPerSample = 0, photometric = 0, planar = 0;
    std::uint16_t compression = 0, predictor = 0, inkSet = 0, numberOfInks = 0;
    std::uint16_t resolutionUnit = 0;
    float xResolution = 0.0f, yResolution = 0.0f;
    bool bigTiff = false, hasDescription = false, hasDateTime = false, hasSoftware = false;
    std::string description;  // tag 270
    std::vector<std::string> inkNames;
    std::vector<Bytes> rows;

    // Channel c of pixel (x, y).
    std::uint8_t at(std::uint32_t x, std::uint32_t y, unsigned c = 0) const {
        return rows.at(y).at(static_cast<std::size_t>(x) * samplesPerPixel + c);
    }
    Bytes pixel(std::uint32_t x, std::uint32_t y) const {
        const auto first = rows.at(y).begin() + static_cast<std::ptrdiff_t>(x) * samplesPerPixel;
        return {first, first + samplesPerPixel};
    }
};

// Reads the first directory and, `withRows`, every row; throws on anything
// libtiff cannot read.
inline TiffPage readTiff(const std::string& path, bool withRows = true) {
    TIFFSetWarningHandler(nullptr);
    TIFF* t = TIFFOpen(path.c_str(), "r");
    if (t == nullptr) {
        throw std::runtime_error("libtiff cannot open " + path);
    }
    TiffPage p;
    TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &p.width);
    TIFFGetField(t, TIFFTAG_IMAGELENGTH, &p.height);
    // The 16-bit tags: without a default, then those libtiff has defaults for.
    // clang-format off
    for (const auto& [tag, field] : {std::pair{TIFFTAG_PHOTOMETRIC, &p.photometric},
            {TIFFTAG_INKSET, &p.inkSet}, {TIFFTAG_NUMBEROFINKS, &p.numberOfInks}}) {
        TIFFGetField(t, tag, field);
    }
    for (const auto& [tag, field] : {std::pair{TIFFTAG_SAMPLESPERPIXEL, &p.samplesPerPixel},
            {TIFFTAG_BITSPERSAMPLE, &p.bitsPerSample}, {TIFFTAG_PLANARCONFIG, &p.planar},
            {TIFFTAG_COMPRESSION, &p.compression}, {TIFFTAG_PREDICTOR, &p.predictor},
            {TIFFTAG_RESOLUTIONUNIT, &p.resolutionUnit}}) {
        TIFFGetFieldDefaulted(t, tag, field);
    }
    // clang-format on
    TIFFGetField(t, TIFFTAG_XRESOLUTION, &p.xResolution);
    TIFFGetField(t, TIFFTAG_YRESOLUTION, &p.yResolution);
    p.bigTiff = TIFFIsBigTIFF(t) != 0;
    char* text = nullptr;
    p.hasDescription = TIFFGetField(t, TIFFTAG_IMAGEDESCRIPTION, &text) == 1 && text != nullptr;
    p.description = p.hasDescription ? text : "";
    p.hasDateTime = TIFFGetField(t, TIFFTAG_DATETIME, &text) == 1;
    p.hasSoftware = TIFFGetField(t, TIFFTAG_SOFTWARE, &text) == 1;
    if (TIFFGetField(t, TIFFTAG_INKNAMES, &text) == 1 && text != nullptr) {
        for (int i = 0; i < p.samplesPerPixel; ++i, text += p.inkNames.back().size() + 1) {
            p.inkNames.emplace_back(text);
        }
    }
    const auto scanline = static_cast<std::size_t>(TIFFScanlineSize64(t));
    p.rows.assign(withRows ? p.height : 0, Bytes(scanline));
    for (std::uint32_t y = 0; y < p.rows.size(); ++y) {
        if (TIFFReadScanline(t, p.rows[y].data(), y, 0) != 1) {
            TIFFClose(t);
            throw std::runtime_error("libtiff cannot read row " + std::to_string(y));
        }
    }
    TIFFClose(t);
    return p;
}

// The channel bytes of pixel (x, y); empty off the page.
inline Bytes pixelAt(const TiffPage& page, std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x >= page.width || y >= page.height) {
        return {};
    }
    return page.pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
}

inline bool is(const TiffPage& page, std::int64_t x, std::int64_t y, const Bytes& color) {
    return pixelAt(page, x, y) == color;
}

// The data columns a mode is charted from, in channel order.
inline std::vector<std::string> channelFields(ColorMode mode) {
    if (mode == CM_CMYK || mode == CM_LAB || mode == CM_RGB) {
        const char* const fixed[3][4] = {{"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"},
                                         {"LAB_L", "LAB_A", "LAB_B"},
                                         {"RGB_R", "RGB_G", "RGB_B"}};
        const auto& names = fixed[mode == CM_CMYK ? 0 : mode == CM_LAB ? 1 : 2];
        return {names, names + (mode == CM_CMYK ? 4 : 3)};
    }
    const int n = mode == CM_CMYKO     ? 5
                  : mode == CM_CMYKRGB ? 7
                  : mode >= CM_SPOT_1  ? mode - CM_SPOT_1 + 1
                                       : 6;
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) {
        names.push_back(std::to_string(n) + "CLR_" + std::to_string(i));
    }
    return names;
}

inline bool printsOnPlates(ColorMode mode) {
    return mode != CM_LAB && mode != CM_RGB;
}

// The figure a number of digit size `size` shows, read from the black pixels
// of the band whose top is y0, between x = fromX and x = toX (exclusive).
// Digits are told apart by the gaps between them; a narrow one is a '1',
// every other is read from its seven segment centres (digit size s, q = s/8,
// h = 2s/8, n = 9s/8; horizontal bars from x q+1 to n+1 and y 1 to h+1,
// vertical bars from x 0 to h and y q+2 to n+2). "?" marks a digit whose
// segments match no figure.
inline std::string readNumber(const TiffPage& page, const Bytes& black, std::int64_t fromX,
                              std::int64_t toX, std::int64_t y0, std::int64_t size) {
    const std::int64_t q = size / 8, h = 2 * size / 8, n = 9 * size / 8;
    // Black anywhere in the `wide` x `high` pixels from (left, top).
    const auto inked = [&](std::int64_t left, std::int64_t top, std::int64_t wide,
                           std::int64_t high) {
        for (std::int64_t d = 0; d < wide * high; ++d) {
            if (is(page, left + d % wide, top + d / wide, black)) {
                return true;
            }
        }
        return false;
    };
    const auto inkedColumn = [&](std::int64_t x) { return inked(x, y0, 1, 2 * size + h + 6); };
    // Segment centres relative to the digit's origin, in the order a b c d e
    // f g (top, upper right, lower right, bottom, lower left, upper left,
    // middle), and the segments each figure lights (bit 0 is a).
    const std::int64_t hx = (q + n + 2) / 2, hy = (h + 2) / 2, vx = h / 2, vy = (q + n + 4) / 2;
    const std::int64_t step = size + 2;
    const std::int64_t centres[7][2] = {
        {hx, hy},        {step + vx, vy}, {step + vx, step + vy}, {hx, 2 * step + hy},
        {vx, step + vy}, {vx, vy},        {hx, step + hy}};
    const int figures[10] = {0x3F, 0x30, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x67};
    std::string text;
    for (std::int64_t x = fromX; x < toX;) {
        if (!inkedColumn(x)) {
            ++x;
            continue;
        }
        const std::int64_t first = x;
        std::int64_t last = x;
        for (std::int64_t blank = 0; x < toX && blank < 3; ++x) {
            blank = inkedColumn(x) ? 0 : blank + 1;
            last = blank == 0 ? x : last;
        }
        if (last - first <= h + 1) {
            text += '1';
            continue;
        }
        int lit = 0;
        for (int s = 0; s < 7; ++s) {
            const std::int64_t cx = last - step - h + centres[s][0], cy = y0 + centres[s][1];
            lit |= inked(cx - 1, cy - 1, 3, 3) ? 1 << s : 0;
        }
        const int* match = std::find(figures, figures + 10, lit);
        text += match == figures + 10 ? '?' : static_cast<char>('0' + (match - figures));
    }
    return text;
}

// --- PDF pages through qpdf and Ghostscript ----------------------------------

// Ghostscript's console program, and the device that swallows output.
#ifdef _WIN32
inline const std::string kGhostscript = "gswin64c", kNullDevice = "NUL";
#else
inline const std::string kGhostscript = "gs", kNullDevice = "/dev/null";
#endif
// Appended to a command: none of its output shows.
inline const std::string kToNull = " >" + kNullDevice + " 2>&1";

// True, with the test marked skipped, when qpdf or Ghostscript is not on the
// search path (as on a Windows host without them); the caller returns then.
inline bool toolsMissing() {
    static const bool missing = run("qpdf --version" + kToNull).exitCode != 0 ||
                                run(kGhostscript + " --version" + kToNull).exitCode != 0;
    if (missing) {
        [] { GTEST_SKIP() << "qpdf or Ghostscript is not on the search path"; }();
    }
    return missing;
}

// The files as shell words, each after a space.
inline std::string words(const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& file : files) {
        list += " " + testsupport::quoted(file);
    }
    return list;
}

constexpr double kMmPerPoint = 25.4 / 72.0;

// Every file passes qpdf's check (warnings fail too), and the files hold
// `pageCount` pages of widthMm x heightMm: the media boxes (inherited ones
// included) as Ghostscript's PDF interpreter resolves them. Every Ghostscript
// call takes all files of a chart at once: starting it costs more than
// rendering a page.
inline void expectPages(const std::vector<std::string>& pdfs, std::size_t pageCount, double widthMm,
                        double heightMm) {
    if (toolsMissing()) {
        return;
    }
    std::string names;
    for (const std::string& pdf : pdfs) {
        EXPECT_EQ(run("qpdf --check" + words({pdf}) + kToNull).exitCode, 0) << pdf;
        names += "(" + fs::path(pdf).generic_string() + ") ";
    }
    std::istringstream in(
        run(kGhostscript + " -q -dNODISPLAY -dNOSAFER -c " +
            testsupport::quoted("[" + names +
                                "] {(r) file runpdfbegin 1 1 pdfpagecount {pdfgetpage /MediaBox "
                                "pget pop {=} forall} for runpdfend} forall quit") +
            " 2>" + kNullDevice)
            .output);
    std::size_t pages = 0;
    for (double x0 = 0, y0 = 0, x1 = 0, y1 = 0; in >> x0 >> y0 >> x1 >> y1; ++pages) {
        EXPECT_NEAR((x1 - x0) * kMmPerPoint, widthMm, 0.01);
        EXPECT_NEAR((y1 - y0) * kMmPerPoint, heightMm, 0.01);
    }
    EXPECT_EQ(pages, pageCount);
}

// A run of text and its position (left end, baseline) in mm from the top-left
// corner of its page; pages count on through the files.
struct TextSpan {
    int page = 0;
    std::string text;
    double xMm = 0.0, yMm = 0.0;
};

// Every text span of every page, from Ghostscript's text extraction: a
// "<page>" line per page, a "<span bbox=...>" line per run of text, a
// "<char ... c=...>" line per character.
inline std::vector<TextSpan> textSpans(const std::vector<std::string>& pdfs) {
    std::istringstream xml(
        run(kGhostscript + " -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -dTextFormat=0 -o -" +
            words(pdfs) + " 2>" + kNullDevice)
            .output);
    std::vector<TextSpan> spans;
    int page = -1;
    for (std::string line; std::getline(xml, line);) {
        if (line.rfind("<page", 0) == 0) {
            ++page;
        } else if (line.rfind("<span bbox=\"", 0) == 0) {
            std::istringstream box(line.substr(12));
            double x0 = 0, y0 = 0;
            box >> x0 >> y0;
            spans.push_back({page, {}, x0 * kMmPerPoint, y0 * kMmPerPoint});
        } else if (const auto at = line.find(" c=\""); at != std::string::npos && !spans.empty()) {
            spans.back().text += line.substr(at + 4, line.find('"', at + 4) - at - 4);
        }
    }
    return spans;
}

// "page:text" of every text span, each of which starts `xMm` from the left.
inline std::vector<std::string> textsAt(const std::vector<std::string>& pdfs, double xMm) {
    std::vector<std::string> texts;
    for (const TextSpan& span : textSpans(pdfs)) {
        texts.push_back(std::to_string(span.page) + ":" + span.text);
        EXPECT_NEAR(span.xMm, xMm, 0.3) << span.text;
    }
    return texts;
}

// A page as Ghostscript renders it at 127 dpi, exactly 5 pixels a
// millimetre: its ink plates by colorant name ("Cyan", ..., "Spot 1") for a
// page printed with inks, else its sRGB bytes.
struct RenderedPage {
    std::map<std::string, TiffPage> plates;
    TiffPage screen;

    // The ink (0..255) of every plate at a spot, or the screen's "R", "G" and
    // "B" bytes there; nothing off the page.
    std::map<std::string, int> at(double xMm, double yMm) const {
        const auto x = static_cast<std::uint32_t>(std::max(0.0, std::floor(xMm * 5.0)));
        const auto y = static_cast<std::uint32_t>(std::max(0.0, std::floor(yMm * 5.0)));
        const auto inside = [&](const TiffPage& p) { return x < p.width && y < p.height; };
        std::map<std::string, int> values;
        if (!screen.rows.empty() && inside(screen)) {
            values = {
                {"R", screen.at(x, y, 0)}, {"G", screen.at(x, y, 1)}, {"B", screen.at(x, y, 2)}};
        }
        for (const auto& [name, plate] : plates) {
            if (inside(plate)) {
                values[name] = 255 - plate.at(x, y);  // a plate stores 255 for no ink
            }
        }
        return values;
    }

    bool isPaper(double xMm, double yMm) const {
        const std::map<std::string, int> v = at(xMm, yMm);
        return !v.empty() && std::all_of(v.begin(), v.end(), [&](const auto& e) {
            return plates.empty() ? e.second >= 250 : e.second <= 2;
        });
    }

    // Solid on some plate (black marks print as the mode's black), or black
    // on screen.
    bool isBlack(double xMm, double yMm) const {
        const std::map<std::string, int> v = at(xMm, yMm);
        const auto solid = [](const auto& e) { return e.second >= 250; };
        const auto dark = [](const auto& e) { return e.second <= 8; };
        return !v.empty() && (plates.empty() ? std::all_of(v.begin(), v.end(), dark)
                                             : std::any_of(v.begin(), v.end(), solid));
    }

    // The spot shows `expected` within `tolerance`; plates it does not name
    // carry no ink.
    ::testing::AssertionResult shows(std::map<std::string, int> expected, int tolerance, double xMm,
                                     double yMm) const {
        const std::map<std::string, int> got = at(xMm, yMm);
        for (const auto& entry : got) {
            expected.emplace(entry.first, 0);
        }
        for (const auto& [name, value] : expected) {
            const auto it = got.find(name);
            if (it == got.end() || std::abs(it->second - value) > tolerance) {
                return ::testing::AssertionFailure()
                       << name
                       << (it == got.end() ? " missing" : " is " + std::to_string(it->second))
                       << ", expected " << value << " at (" << xMm << ", " << yMm << ") mm";
            }
        }
        return ::testing::AssertionSuccess();
    }
};

// Every page of the files in turn, separated into ink plates or rendered in
// sRGB, through the scratch folder `scratch` (removed afterwards).
inline std::vector<RenderedPage> render(const std::vector<std::string>& pdfs, bool plates,
                                        const fs::path& scratch) {
    fs::create_directories(scratch);
    run(kGhostscript +
        " -q -dNOPAUSE -dBATCH -dSAFER -r127 -sDEVICE=" + (plates ? "tiffsep" : "tiff24nc") +
        " -o" + words({(scratch / "p%d.tif").string()}) + words(pdfs) + kToNull);
    std::vector<RenderedPage> pages;
    for (int n = 1; fs::exists(scratch / ("p" + std::to_string(n) + ".tif")); ++n) {
        const std::string stem = "p" + std::to_string(n);
        RenderedPage page;
        if (!plates) {
            page.screen = readTiff((scratch / (stem + ".tif")).string());
        }
        for (const fs::directory_entry& e : fs::directory_iterator(scratch)) {
            const std::string name = e.path().filename().string();  // "p1(Cyan).tif"
            if (plates && name.rfind(stem + "(", 0) == 0) {
                page.plates[name.substr(stem.size() + 1, name.size() - stem.size() - 6)] =
                    readTiff(e.path().string());
            }
        }
        pages.push_back(page);
    }
    fs::remove_all(scratch);
    return pages;
}

// --- What the reference says a patch shows -----------------------------------
// Worked out from the reference file alone, with a small CGATS reader of its
// own, independent of the library's reader and writers.

// The data rows of a CGATS file by column name.
struct Reference {
    std::vector<std::string> fields;
    std::vector<std::vector<double>> rows;

    double value(std::size_t row, const std::string& field) const {
        const auto it = std::find(fields.begin(), fields.end(), field);
        return it == fields.end() ? 0.0 : rows[row][static_cast<std::size_t>(it - fields.begin())];
    }
};

inline Reference readReference(const std::string& path) {
    Reference ref;
    std::ifstream in(path);
    std::string section;  // the BEGIN_ keyword of the block being read
    for (std::string line; std::getline(in, line);) {
        std::istringstream stream(line);
        const std::vector<std::string> words{std::istream_iterator<std::string>(stream), {}};
        if (words.empty()) {
            continue;
        } else if (words[0] == "BEGIN_DATA_FORMAT" || words[0] == "BEGIN_DATA") {
            section = words[0];
        } else if (words[0].rfind("END_DATA", 0) == 0) {
            section.clear();
        } else if (section == "BEGIN_DATA_FORMAT") {
            ref.fields.insert(ref.fields.end(), words.begin(), words.end());
        } else if (section == "BEGIN_DATA") {
            std::vector<double> row(words.size(), 0.0);
            for (std::size_t i = 0; i < words.size(); ++i) {
                std::from_chars(words[i].data(), words[i].data() + words[i].size(), row[i]);
            }
            ref.rows.push_back(row);
        }
    }
    return ref;
}

// Ink byte of a percentage, as a print workflow rounds it.
inline int inkByte(double percent) {
    return static_cast<int>(std::floor(std::clamp(percent, 0.0, 100.0) * 255.0 / 100.0 + 0.5));
}

// sRGB bytes of a Lab (D50) colour through the published Bradford-adapted
// XYZ (D50) to linear sRGB matrix. Nothing for a colour outside sRGB, where
// renderers clip differently.
inline std::optional<std::vector<int>> srgbOfLab(double L, double a, double b) {
    const double fy = (L + 16.0) / 116.0, f[3] = {fy + a / 500.0, fy, fy - b / 200.0};
    const double white[3] = {0.9642, 1.0, 0.8249};
    const double toRgb[3][3] = {{3.1338561, -1.6168667, -0.4906146},
                                {-0.9787684, 1.9161415, 0.0334540},
                                {0.0719453, -0.2289914, 1.4052427}};
    std::vector<int> rgb;
    for (const auto& row : toRgb) {
        double linear = 0.0;
        for (int i = 0; i < 3; ++i) {
            const double cube = f[i] * f[i] * f[i];
            linear += row[i] * white[i] * (cube > 0.008856 ? cube : (f[i] - 16.0 / 116.0) / 7.787);
        }
        if (linear < 0.01 || linear > 0.99) {
            return std::nullopt;
        }
        rgb.push_back(static_cast<int>(std::lround(
            255.0 *
            (linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055))));
    }
    return rgb;
}

// --- Charts made as a host makes them ----------------------------------------

inline std::string testFile(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/instruments/" + name;
}

#ifdef ORVOCHART_SAMPLES
inline std::string sampleFile(const std::string& name) {
    return std::string(ORVOCHART_SAMPLES) + "/" + name;
}
#endif

// Names the cases of a parameterised test by their labels.
inline constexpr auto kByLabel = [](const auto& info) { return std::string(info.param.label); };

// CI sets ORVOCHART_QUICK=1: the costly cases are then sampled.
inline bool quickRun() {
    const char* quick = std::getenv("ORVOCHART_QUICK");
    return quick != nullptr && *quick != '\0' && std::string(quick) != "0";
}

// A colour writer: the reference a PDF chart of it is made from (tests/data,
// or one written by writeReference where empty) and the names of its spot
// plates.
struct ModeSpec {
    ColorMode mode;
    std::string label, reference;
    std::vector<std::string> spotNames;
};

// One mode per colour writer, CMYK first; spot colours with few inks (black
// marks in every ink) and with eight (inverted past the fourth).
inline std::vector<ModeSpec> allModes() {
    std::vector<ModeSpec> modes = {{CM_CMYK, "CMYK", testFile("cmyk_90.txt"), {}},
                                   {CM_CMYKO, "CMYKO", testFile("cmyko_90.txt"), {}},
                                   {CM_CMYKOG, "CMYKOG", testFile("cmykog_90.txt"), {}},
                                   {CM_CMYKRGB, "CMYKRGB", testFile("cmykrgb_90.txt"), {}},
                                   {CM_LAB, "Lab", testFile("lab_90.txt"), {}},
                                   {CM_RGB, "RGB", testFile("rgb_90.txt"), {}},
                                   {CM_SPOT_1, "Spot1", "", {}},
                                   {CM_SPOT_8, "Spot8", "", {}}};
    for (ModeSpec& m : modes) {
        for (int i = 1; m.mode >= CM_SPOT_1 && i <= m.mode - CM_SPOT_1 + 1; ++i) {
            m.spotNames.push_back("Spot " + std::to_string(i));
        }
    }
    return modes;
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
    const std::vector<std::string> columns = channelFields(m.mode);
    out << "CGATS.17\nORIGINATOR \"i1 chart tests\"\n"
        << keywords << "NUMBER_OF_FIELDS " << columns.size() + 1
        << "\nBEGIN_DATA_FORMAT\nSAMPLE_ID";
    for (const std::string& c : columns) {
        out << ' ' << c;
    }
    out << "\nEND_DATA_FORMAT\nNUMBER_OF_SETS " << rows << "\nBEGIN_DATA\n";
    for (std::size_t r = 0; r < rows; ++r) {
        out << r + 1;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            out << ' ' << referenceValue(m, r, c);
        }
        out << '\n';
    }
    out << "END_DATA\n";
}

// The spot shows `bytes`: ink bytes on the mode's plates in channel order
// (no ink on the others), or sRGB bytes on screen.
inline ::testing::AssertionResult showsBytes(const RenderedPage& page, const ModeSpec& m,
                                             const std::vector<int>& bytes, int tolerance,
                                             double xMm, double yMm) {
    std::vector<std::string> names = {
        "Cyan",  "Magenta", "Yellow", "Black", m.mode == CM_CMYKRGB ? "Red" : "Orange",
        "Green", "Blue"};
    names = !printsOnPlates(m.mode) ? std::vector<std::string>{"R", "G", "B"}
            : m.spotNames.empty()   ? names
                                    : m.spotNames;
    std::map<std::string, int> expected;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        expected[names.at(i)] = bytes[i];
    }
    return page.shows(expected, tolerance, xMm, yMm);
}

// The check for one reference row at a spot of a rendered PDF page: the ink
// byte of every plate the mode prints with, or the sRGB bytes for Lab (which
// keeps L* to 1/2.55 and whole a* and b*; a colour conversion: more slack)
// and RGB. Rows past the end of the reference are paper padding.
inline ::testing::AssertionResult showsRow(const RenderedPage& page, const ModeSpec& m,
                                           const Reference& ref, std::size_t row, double xMm,
                                           double yMm) {
    const bool padding = row >= ref.rows.size();
    const auto v = [&](const std::string& field) { return padding ? 0.0 : ref.value(row, field); };
    std::optional<std::vector<int>> bytes = std::vector<int>{};
    for (const std::string& field : channelFields(m.mode)) {
        bytes->push_back(m.mode == CM_RGB ? static_cast<int>(v(field)) : inkByte(v(field)));
    }
    if (padding && !printsOnPlates(m.mode)) {
        bytes = std::vector<int>{255, 255, 255};
    } else if (m.mode == CM_LAB) {
        bytes = srgbOfLab(std::floor(v("LAB_L") * 2.55 + 0.5) / 2.55, std::round(v("LAB_A")),
                          std::round(v("LAB_B")));
    }
    return !bytes ? ::testing::AssertionSuccess()
                  : showsBytes(page, m, *bytes, m.mode == CM_LAB ? 6 : 2, xMm, yMm);
}

class HostFolder : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return folder_.file(name); }
    // The folder holds these files and no others.
    void expectFiles(const std::set<std::string>& names) const {
        EXPECT_EQ(folder_.entries(), std::vector<std::string>(names.begin(), names.end()));
    }

    // createChart as a host calls it, into `name` of this folder: it succeeds
    // with `strips` strips of `columns` on the first page and leaves the spare
    // out-parameter alone.
    ::testing::AssertionResult makes(IdMeasureInstrument id, const std::string& name,
                                     const std::string& reference, double widthMm, double heightMm,
                                     ColorMode mode, int strips, int columns) const {
        int gotStrips = -7, gotColumns = -7, spare = 4242;
        const int result = createChart(id, path(name).c_str(), reference.c_str(), widthMm, heightMm,
                                       99, &gotStrips, &gotColumns, &spare, mode);
        if (result == 1 && gotStrips == strips && gotColumns == columns && spare == 4242) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "result " << result << ", " << gotStrips << " x "
                                             << gotColumns << ", spare " << spare;
    }
    int result(IdMeasureInstrument id, const std::string& name, const std::string& reference,
               double widthMm = 210, double heightMm = 297, ColorMode mode = CM_CMYK) const {
        return createChart(id, path(name).c_str(), reference.c_str(), widthMm, heightMm, 99,
                           nullptr, nullptr, nullptr, mode);
    }

    // The reference a chart of `m` is made from: its data file, or "ref.txt"
    // written into the folder (always with header `keywords`).
    std::string referenceFor(const ModeSpec& m, const std::string& keywords = "") const {
        if (m.reference.empty() || !keywords.empty()) {
            writeReference(path("ref.txt"), m, 90, keywords);
        }
        return m.reference.empty() || !keywords.empty() ? path("ref.txt") : m.reference;
    }

    // The folder holds the `pages` page files of a chart written to `name`
    // (page 0 under the output name, page p beside it as "<name>_<p>.tif"
    // whatever the format), a JPEG preview of each with `previews`, `others`
    // (an empty name stands for none) and "ref.txt" if written; the page
    // paths.
    std::vector<std::string> chartFiles(const std::string& name, std::size_t pages,
                                        std::set<std::string> others = {},
                                        bool previews = false) const {
        if (fs::exists(path("ref.txt"))) {
            others.insert("ref.txt");
        }
        others.erase("");
        std::vector<std::string> paths;
        for (std::size_t p = 0; p < pages; ++p) {
            const std::string page = p == 0 ? name : name + "_" + std::to_string(p) + ".tif";
            paths.push_back(path(page));
            others.insert(page);
            if (previews) {
                others.insert(name + "_" + std::to_string(p) + ".jpg");
            }
        }
        expectFiles(others);
        return paths;
    }

    TempFolder folder_;
};

}  // namespace readback

#endif  // ORVOCHART_TESTS_HOST_READBACK_H
