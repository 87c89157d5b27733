// Reads PDF pages from outside, with the command-line tools a print shop
// would use: qpdf for structure, Ghostscript for page boxes, text and
// rendered pixels (read back with libtiff). Knows nothing about the library,
// so the layout tests and the host tests share it. Every Ghostscript call
// takes all files of a chart at once: starting Ghostscript costs more than
// rendering a page.
#ifndef ORVOCHART_TESTS_HOST_PDFPROBE_H
#define ORVOCHART_TESTS_HOST_PDFPROBE_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "render/TiffReadBack.h"

namespace pdfprobe {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output only
};

inline CommandResult run(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// The files single-quoted for the shell (test paths hold no single quote).
inline std::string quoted(const std::vector<std::string>& files) {
    std::string list;
    for (const std::string& file : files) {
        list += " '" + file + "'";
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
// included), as Ghostscript's PDF interpreter resolves it.
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

using Page = GenChartLib::tifftest::TiffPage;

// A page as Ghostscript renders it at 127 dpi, exactly 5 pixels a
// millimetre: its ink plates by colorant name ("Cyan", ..., "Spot 1") for a
// page printed with inks, else its sRGB bytes.
struct RenderedPage {
    std::map<std::string, Page> plates;
    Page screen;

    // The ink (0..255) of every plate at a spot, or the screen's "R", "G" and
    // "B" bytes there; nothing off the page.
    std::map<std::string, int> at(double xMm, double yMm) const {
        const auto x = static_cast<std::uint32_t>(std::max(0.0, std::floor(xMm * 5.0)));
        const auto y = static_cast<std::uint32_t>(std::max(0.0, std::floor(yMm * 5.0)));
        const auto inside = [&](const Page& p) { return x < p.width && y < p.height; };
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
// sRGB, through the scratch folder `scratch`.
inline std::vector<RenderedPage> render(const std::vector<std::string>& pdfs, bool plates,
                                        const std::filesystem::path& scratch) {
    namespace fs = std::filesystem;
    fs::create_directories(scratch);
    run(std::string("gs -q -dNOPAUSE -dBATCH -dSAFER -r127 -sDEVICE=") +
        (plates ? "tiffsep" : "tiff24nc") + " -o" + quoted({(scratch / "p%d.tif").string()}) +
        quoted(pdfs) + " 2>/dev/null");
    std::vector<RenderedPage> pages;
    for (int n = 1; fs::exists(scratch / ("p" + std::to_string(n) + ".tif")); ++n) {
        const std::string stem = "p" + std::to_string(n);
        RenderedPage page;
        if (!plates) {
            page.screen = GenChartLib::tifftest::readTiff((scratch / (stem + ".tif")).string());
        }
        for (const fs::directory_entry& e : fs::directory_iterator(scratch)) {
            const std::string name = e.path().filename().string();  // "p1(Cyan).tif"
            if (plates && name.rfind(stem + "(", 0) == 0) {
                page.plates[name.substr(stem.size() + 1, name.size() - stem.size() - 6)] =
                    GenChartLib::tifftest::readTiff(e.path().string());
            }
        }
        pages.push_back(page);
    }
    fs::remove_all(scratch);
    return pages;
}

}  // namespace pdfprobe

#endif  // ORVOCHART_TESTS_HOST_PDFPROBE_H
