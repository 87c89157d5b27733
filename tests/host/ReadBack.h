// Read-back harness: chart files checked from outside the library, with the
// tools a print shop would use. Knows nothing of the library's internals, so
// the host tests, the layout tests and the writer tests all share it. A new
// layout adds one table-driven test file to tests/host/ built on it.
//
// namespace readback:
// Files      TempFolder: a fresh folder per test; file(name), entries().
//            fileText(path); expectSideFile(path, lines): the file holds
//            exactly these lines, each ended by CR LF.
// Host       HostFolder fixture: path(name), files() (a set of names),
//            make(id, name, reference, widthMm, heightMm, mode) -> Made
//            {result, strips, columns, spare}; pageFiles(name, pages): the
//            page files of a chart, page 0 under the output name, page p as
//            "<name>_<p>.tif"; pagePaths(name, pages) the same in the folder;
//            pdfChartFiles(name, pages, sideFiles): every file a PDF chart
//            leaves; GermanLocale: a host's global decimal-comma locale. quickRun(),
//            testFile(name), sampleFile(name), modeReferences(): one reference file per colour
//            writer.
// TIFF       readTiff(path) -> TiffPage {width, height, samplesPerPixel,
//            bitsPerSample, photometric, resolution, inkNames, description
//            (tag 270, hasDescription), rows}; at(x, y, c), pixel(x, y);
//            pixelAt(page, x, y) is empty off the page; photometricOf(mode);
//            readNumber(...) reads a seven-segment strip number.
// PDF        qpdfCheckPasses(pdf); pageSizesMm(pdfs); textSpans(pdfs);
//            expectPages(pdfs, count, widthMm, heightMm); textsAt(pdfs, xMm);
//            render(pdfs, plates, scratch) -> RenderedPage per page:
//            Ghostscript's ink plates (tiffsep) or sRGB (tiff24nc) at 5 px
//            a mm: at(xMm, yMm), isPaper, isBlack, shows(expected, tol, x, y).
// Reference  readReference(path) -> Reference {fields, rows, value(row,
//            field)}; channelFields(mode): its data columns in channel
//            order; pageBytes(mode, values) / referenceBytes(mode, ref, row):
//            the bytes a TIFF page carries at a patch centre;
//            expectedColors(mode, ref, row, spotNames): what Ghostscript
//            shows there on a PDF page; showsRow(page, modeRef, ref, row,
//            xMm, yMm) checks one rendered patch.
#ifndef ORVOCHART_TESTS_HOST_READBACK_H
#define ORVOCHART_TESTS_HOST_READBACK_H

#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale>
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

// --- Files -------------------------------------------------------------------

using testsupport::fileText;
using testsupport::TempFolder;

// A side file is read by Windows tools: every line ends in CR LF, the last
// one included.
inline void expectSideFile(const std::string& path, const std::vector<std::string>& lines) {
    std::string expected;
    for (const std::string& line : lines) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(fileText(path), expected) << path;
}

// --- TIFF pages through libtiff ----------------------------------------------

struct TiffPage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samplesPerPixel = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t photometric = 0;
    std::uint16_t planar = 0;
    std::uint16_t compression = 0;
    std::uint16_t predictor = 0;
    std::uint16_t inkSet = 0;
    std::uint16_t numberOfInks = 0;
    std::uint16_t resolutionUnit = 0;
    float xResolution = 0.0f;
    float yResolution = 0.0f;
    bool bigTiff = false;
    bool hasDescription = false;
    bool hasDateTime = false;
    bool hasSoftware = false;
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
    TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &p.samplesPerPixel);
    TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &p.bitsPerSample);
    TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &p.photometric);
    TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &p.planar);
    TIFFGetFieldDefaulted(t, TIFFTAG_COMPRESSION, &p.compression);
    TIFFGetFieldDefaulted(t, TIFFTAG_PREDICTOR, &p.predictor);
    TIFFGetField(t, TIFFTAG_INKSET, &p.inkSet);
    TIFFGetField(t, TIFFTAG_NUMBEROFINKS, &p.numberOfInks);
    TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &p.resolutionUnit);
    TIFFGetField(t, TIFFTAG_XRESOLUTION, &p.xResolution);
    TIFFGetField(t, TIFFTAG_YRESOLUTION, &p.yResolution);
    p.bigTiff = TIFFIsBigTIFF(t) != 0;
    char* text = nullptr;
    if (TIFFGetField(t, TIFFTAG_IMAGEDESCRIPTION, &text) == 1 && text != nullptr) {
        p.hasDescription = true;
        p.description = text;
    }
    p.hasDateTime = TIFFGetField(t, TIFFTAG_DATETIME, &text) == 1;
    p.hasSoftware = TIFFGetField(t, TIFFTAG_SOFTWARE, &text) == 1;
    char* names = nullptr;
    if (TIFFGetField(t, TIFFTAG_INKNAMES, &names) == 1 && names != nullptr) {
        const char* n = names;
        for (int i = 0; i < p.samplesPerPixel; ++i) {
            p.inkNames.emplace_back(n);
            n += p.inkNames.back().size() + 1;
        }
    }
    if (withRows) {
        const auto scanline = static_cast<std::size_t>(TIFFScanlineSize64(t));
        p.rows.assign(p.height, Bytes(scanline));
        for (std::uint32_t y = 0; y < p.height; ++y) {
            if (TIFFReadScanline(t, p.rows[y].data(), y, 0) != 1) {
                TIFFClose(t);
                throw std::runtime_error("libtiff cannot read row " + std::to_string(y));
            }
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

inline int channelsOf(ColorMode mode) {
    switch (mode) {
        case CM_CMYK:
            return 4;
        case CM_CMYKO:
            return 5;
        case CM_CMYKOG:
        case CM_SIXCOLOR_6:
        case CM_SIXCOLOR_7:
            return 6;
        case CM_CMYKRGB:
            return 7;
        case CM_LAB:
        case CM_RGB:
            return 3;
        default:
            return static_cast<int>(mode) - 99;  // spot modes
    }
}

// The photometric interpretation a TIFF page of the mode declares: one ink is
// coverage (0 is paper, "min is white"), three channels without ink names
// are RGB.
inline std::uint16_t photometricOf(ColorMode mode) {
    const int n = channelsOf(mode);
    return mode == CM_LAB   ? PHOTOMETRIC_CIELAB
           : n == 1         ? PHOTOMETRIC_MINISWHITE
           : mode == CM_RGB ? PHOTOMETRIC_RGB
                            : PHOTOMETRIC_SEPARATED;
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
    const std::int64_t q = size / 8;
    const std::int64_t h = 2 * size / 8;
    const std::int64_t n = 9 * size / 8;
    const auto inkedColumn = [&](std::int64_t x) {
        for (std::int64_t y = y0; y < y0 + 2 * size + h + 6; ++y) {
            if (is(page, x, y, black)) {
                return true;
            }
        }
        return false;
    };
    const auto segmentOn = [&](std::int64_t cx, std::int64_t cy) {
        for (std::int64_t d = 0; d < 9; ++d) {
            if (is(page, cx + d % 3 - 1, cy + d / 3 - 1, black)) {
                return true;
            }
        }
        return false;
    };
    // Segment centres relative to the digit's origin, in the order a b c d e
    // f g (top, upper right, lower right, bottom, lower left, upper left,
    // middle), and the segments each figure lights (bit 0 is a).
    const std::int64_t hx = (q + 1 + n + 1) / 2;
    const std::int64_t hy = (1 + h + 1) / 2;
    const std::int64_t vx = h / 2;
    const std::int64_t vy = (q + 2 + n + 2) / 2;
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
        const std::int64_t originX = last - (step + h);
        int lit = 0;
        for (int s = 0; s < 7; ++s) {
            lit |= segmentOn(originX + centres[s][0], y0 + centres[s][1]) ? 1 << s : 0;
        }
        const int* match = std::find(figures, figures + 10, lit);
        text += match == figures + 10 ? '?' : static_cast<char>('0' + (match - figures));
    }
    return text;
}

// --- PDF pages through qpdf and Ghostscript ----------------------------------

using testsupport::CommandResult;
using testsupport::run;

// The files as shell words, each after a space.
inline std::string quoted(const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& file : files) {
        list += " " + testsupport::quoted(file);
    }
    return list;
}

// qpdf --check: 0 for a clean file; warnings (3) and errors (2) fail.
inline bool qpdfCheckPasses(const std::string& pdf) {
    return run("qpdf --check" + quoted({pdf}) + " >/dev/null 2>&1").exitCode == 0;
}

struct PageSize {
    double widthMm = 0.0;
    double heightMm = 0.0;
};

constexpr double kMmPerPoint = 25.4 / 72.0;

// The media box of every page of the files in turn (inherited boxes
// included), as Ghostscript's PDF interpreter resolves it. Every Ghostscript
// call takes all files of a chart at once: starting it costs more than
// rendering a page.
inline std::vector<PageSize> pageSizesMm(const std::vector<std::string>& pdfs) {
    std::string names;
    for (const std::string& pdf : pdfs) {
        names += "(" + pdf + ") ";
    }
    const CommandResult r = run("gs -q -dNODISPLAY -dNOSAFER -c '[" + names +
                                "] {(r) file runpdfbegin 1 1 pdfpagecount {pdfgetpage /MediaBox "
                                "pget pop {=} forall} for runpdfend} forall quit' 2>/dev/null");
    std::vector<PageSize> pages;
    std::istringstream in(r.output);
    for (double x0 = 0, y0 = 0, x1 = 0, y1 = 0; in >> x0 >> y0 >> x1 >> y1;) {
        pages.push_back({(x1 - x0) * kMmPerPoint, (y1 - y0) * kMmPerPoint});
    }
    return pages;
}

// A run of text and its position (left end, baseline) in mm from the top-left
// corner of its page; pages count on through the files.
struct TextSpan {
    int page = 0;
    std::string text;
    double xMm = 0.0;
    double yMm = 0.0;
};

// Every text span of every page, from Ghostscript's text extraction: a
// "<page>" line per page, a "<span bbox=...>" line per run of text, a
// "<char ... c=...>" line per character.
inline std::vector<TextSpan> textSpans(const std::vector<std::string>& pdfs) {
    std::istringstream xml(
        run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -dTextFormat=0 -o -" + quoted(pdfs) +
            " 2>/dev/null")
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

// Every file passes qpdf's check, and the files hold `pageCount` pages of
// widthMm x heightMm.
inline void expectPages(const std::vector<std::string>& pdfs, std::size_t pageCount, double widthMm,
                        double heightMm) {
    for (const std::string& pdf : pdfs) {
        EXPECT_TRUE(qpdfCheckPasses(pdf)) << pdf;
    }
    const std::vector<PageSize> sizes = pageSizesMm(pdfs);
    EXPECT_EQ(sizes.size(), pageCount);
    for (const PageSize& size : sizes) {
        EXPECT_NEAR(size.widthMm, widthMm, 0.01);
        EXPECT_NEAR(size.heightMm, heightMm, 0.01);
    }
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
    ::testing::AssertionResult shows(const std::map<std::string, int>& expected, int tolerance,
                                     double xMm, double yMm) const {
        const std::map<std::string, int> got = at(xMm, yMm);
        std::map<std::string, int> want = expected;
        for (const auto& entry : got) {
            want.emplace(entry.first, 0);
        }
        for (const auto& [name, value] : want) {
            const auto it = got.find(name);
            const int shown = it == got.end() ? 0 : it->second;
            if (std::abs(shown - value) > tolerance || (it == got.end() && value != 0)) {
                return ::testing::AssertionFailure()
                       << name << (it == got.end() ? " missing" : " is " + std::to_string(shown))
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
    run(std::string("gs -q -dNOPAUSE -dBATCH -dSAFER -r127 -sDEVICE=") +
        (plates ? "tiffsep" : "tiff24nc") + " -o" + quoted({(scratch / "p%d.tif").string()}) +
        quoted(pdfs) + " 2>/dev/null");
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

inline bool printsOnPlates(ColorMode mode) {
    return mode != CM_LAB && mode != CM_RGB;
}

// The data columns a mode is charted from, in channel order.
inline std::vector<std::string> channelFields(ColorMode mode) {
    if (mode == CM_CMYK) {
        return {"CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"};
    }
    if (mode == CM_LAB) {
        return {"LAB_L", "LAB_A", "LAB_B"};
    }
    if (mode == CM_RGB) {
        return {"RGB_R", "RGB_G", "RGB_B"};
    }
    const int n = channelsOf(mode);
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i) {
        names.push_back(std::to_string(n) + "CLR_" + std::to_string(i));
    }
    return names;
}

// Ink byte of a percentage, as a print workflow rounds it.
inline int inkByte(double percent) {
    return static_cast<int>(std::floor(std::clamp(percent, 0.0, 100.0) * 255.0 / 100.0 + 0.5));
}

// TIFF page bytes of one patch's channel values: process inks as coverage,
// further inks inverted; L* in 1/2.55 steps, a* and b* as signed bytes; RGB
// cut off.
inline Bytes pageBytes(ColorMode mode, const std::vector<double>& values) {
    Bytes bytes;
    for (std::size_t c = 0; c < values.size(); ++c) {
        const double v = values[c];
        int byte = static_cast<int>(v);
        if (printsOnPlates(mode)) {
            byte = c < 4 ? inkByte(v) : 255 - inkByte(v);
        } else if (mode == CM_LAB) {
            byte = static_cast<int>(c == 0 ? std::floor(std::clamp(v * 2.55, 0.0, 255.0) + 0.5)
                                           : std::floor(std::clamp(v + 128.0, 0.0, 255.0) + 0.5) -
                                                 128.0);
        }
        bytes.push_back(static_cast<std::uint8_t>(byte & 0xFF));
    }
    return bytes;
}

inline Bytes referenceBytes(ColorMode mode, const Reference& ref, std::size_t row) {
    std::vector<double> values;
    for (const std::string& field : channelFields(mode)) {
        values.push_back(ref.value(row, field));
    }
    return pageBytes(mode, values);
}

// sRGB bytes of a Lab (D50) colour: Bradford to D65, linear sRGB, gamma.
// Nothing for a colour outside sRGB, where renderers clip differently.
inline std::optional<std::array<int, 3>> srgbOfLab(double L, double a, double b) {
    const double fy = (L + 16.0) / 116.0;
    const double f[3] = {fy + a / 500.0, fy, fy - b / 200.0};
    const double white[3] = {0.9642, 1.0, 0.8249};
    double xyz[3];
    for (int i = 0; i < 3; ++i) {
        const double cube = f[i] * f[i] * f[i];
        xyz[i] = white[i] * (cube > 0.008856 ? cube : (f[i] - 16.0 / 116.0) / 7.787);
    }
    const double bradford[3][3] = {{0.9555766, -0.0230393, 0.0631636},
                                   {-0.0282895, 1.0099416, 0.0210077},
                                   {0.0122982, -0.0204830, 1.3299098}};
    const double toRgb[3][3] = {{3.2404542, -1.5371385, -0.4985314},
                                {-0.9692660, 1.8760108, 0.0415560},
                                {0.0556434, -0.2040259, 1.0572252}};
    double d65[3];
    for (int i = 0; i < 3; ++i) {
        d65[i] = bradford[i][0] * xyz[0] + bradford[i][1] * xyz[1] + bradford[i][2] * xyz[2];
    }
    std::array<int, 3> rgb{};
    for (int i = 0; i < 3; ++i) {
        const double linear = toRgb[i][0] * d65[0] + toRgb[i][1] * d65[1] + toRgb[i][2] * d65[2];
        if (linear < 0.01 || linear > 0.99) {
            return std::nullopt;
        }
        const double encoded =
            linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
        rgb[static_cast<std::size_t>(i)] = static_cast<int>(std::lround(255.0 * encoded));
    }
    return rgb;
}

// What a rendered PDF page shows for row `row` of the reference: the ink byte
// of every plate the mode prints with (spot plates named `spotNames`), or the
// sRGB bytes "R", "G", "B" for Lab and RGB. Rows past the end of the
// reference are paper padding. Nothing for a Lab colour outside sRGB.
inline std::optional<std::map<std::string, int>> expectedColors(
    ColorMode mode, const Reference& ref, std::size_t row,
    const std::vector<std::string>& spotNames) {
    const bool padding = row >= ref.rows.size();
    if (!printsOnPlates(mode)) {
        // The Lab page keeps L* to 1/2.55 and whole a* and b*.
        const auto v = [&](const char* field) { return padding ? 0.0 : ref.value(row, field); };
        const std::optional<std::array<int, 3>> rgb =
            padding ? std::array<int, 3>{255, 255, 255}
            : mode == CM_RGB
                ? std::array<int, 3>{static_cast<int>(v("RGB_R")), static_cast<int>(v("RGB_G")),
                                     static_cast<int>(v("RGB_B"))}
                : srgbOfLab(std::floor(v("LAB_L") * 2.55 + 0.5) / 2.55, std::round(v("LAB_A")),
                            std::round(v("LAB_B")));
        if (!rgb) {
            return std::nullopt;
        }
        return std::map<std::string, int>{{"R", (*rgb)[0]}, {"G", (*rgb)[1]}, {"B", (*rgb)[2]}};
    }
    std::vector<std::string> plates = spotNames;
    if (plates.empty()) {
        plates = {"Cyan", "Magenta", "Yellow", "Black"};
    }
    if (mode == CM_CMYKO) {
        plates.push_back("Orange");
    } else if (mode == CM_CMYKOG || mode == CM_SIXCOLOR_6 || mode == CM_SIXCOLOR_7) {
        plates.insert(plates.end(), {"Orange", "Green"});
    } else if (mode == CM_CMYKRGB) {
        plates.insert(plates.end(), {"Red", "Green", "Blue"});
    }
    const std::vector<std::string> fields = channelFields(mode);
    std::map<std::string, int> inks;
    for (std::size_t i = 0; i < plates.size() && i < fields.size(); ++i) {
        inks[plates[i]] = padding ? 0 : inkByte(ref.value(row, fields[i]));
    }
    return inks;
}

// --- Charts made as a host makes them ----------------------------------------

// CI sets ORVOCHART_QUICK=1: the Ghostscript cases are then sampled.
inline bool quickRun() {
    const char* quick = std::getenv("ORVOCHART_QUICK");
    return quick != nullptr && *quick != '\0' && std::string(quick) != "0";
}

inline std::string testFile(const std::string& name) {
    return std::string(ORVOCHART_TEST_DATA) + "/instruments/" + name;
}

#ifdef ORVOCHART_SAMPLES
inline std::string sampleFile(const std::string& name) {
    return std::string(ORVOCHART_SAMPLES) + "/" + name;
}
#endif

// The page files of a chart written to `name`: page 0 under the output name,
// page p beside it as "<name>_<p>.tif" whatever the format.
inline std::vector<std::string> pageFiles(const std::string& name, std::size_t pages) {
    std::vector<std::string> files = {name};
    for (std::size_t p = 1; p < pages; ++p) {
        files.push_back(name + "_" + std::to_string(p) + ".tif");
    }
    return files;
}

class HostFolder : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return folder_.file(name); }
    std::set<std::string> files() const {
        const std::vector<std::string> names = folder_.entries();
        return {names.begin(), names.end()};
    }
    // The full paths of pageFiles(name, pages).
    std::vector<std::string> pagePaths(const std::string& name, std::size_t pages) const {
        std::vector<std::string> paths;
        for (const std::string& file : pageFiles(name, pages)) {
            paths.push_back(path(file));
        }
        return paths;
    }
    // Every file a PDF chart of `pages` pages leaves beside `sideFiles`: its
    // pages and a JPEG preview of each.
    static std::set<std::string> pdfChartFiles(const std::string& name, std::size_t pages,
                                               std::set<std::string> sideFiles) {
        for (const std::string& page : pageFiles(name, pages)) {
            sideFiles.insert(page);
        }
        for (std::size_t page = 0; page < pages; ++page) {
            sideFiles.insert(name + "_" + std::to_string(page) + ".jpg");
        }
        return sideFiles;
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

    TempFolder folder_;
};

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
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;
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
inline ::testing::AssertionResult showsRow(const RenderedPage& page, const ModeReference& m,
                                           const Reference& ref, std::size_t row, double xMm,
                                           double yMm) {
    const auto expected = expectedColors(m.mode, ref, row, m.spotNames);
    return expected ? page.shows(*expected, m.mode == CM_LAB ? 6 : 2, xMm, yMm)
                    : ::testing::AssertionSuccess();
}

}  // namespace readback

#endif  // ORVOCHART_TESTS_HOST_READBACK_H
