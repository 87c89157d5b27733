// Reads PDF pages from outside, with the command-line tools a print shop
// would use: qpdf for structure, Ghostscript for page boxes, text and
// rendered pixels. Knows nothing about the library, so the layout tests and
// the host tests can share it. Header-only.
#ifndef ORVOCHART_TESTS_HOST_PDFPROBE_H
#define ORVOCHART_TESTS_HOST_PDFPROBE_H

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace pdfprobe {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output only
};

// Single quotes for the shell; the test paths hold no single quote.
inline std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

inline CommandResult run(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, n);
    }
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

inline bool haveTool(const std::string& name) {
    return run("command -v " + name + " >/dev/null 2>&1").exitCode == 0;
}

// qpdf --check: 0 for a clean file; 3 (warnings) and 2 (errors) fail.
inline bool qpdfCheckPasses(const std::string& pdf) {
    return run("qpdf --check " + quoted(pdf) + " >/dev/null 2>&1").exitCode == 0;
}

inline int pageCount(const std::string& pdf) {
    const CommandResult r = run("qpdf --show-npages " + quoted(pdf) + " 2>/dev/null");
    return r.exitCode == 0 ? std::atoi(r.output.c_str()) : -1;
}

struct PageSize {
    double widthMm = 0.0;
    double heightMm = 0.0;
};

constexpr double kMmPerPoint = 25.4 / 72.0;

// The media box of every page (inherited boxes included), as Ghostscript's
// PDF interpreter resolves it.
inline std::vector<PageSize> pageSizesMm(const std::string& pdf) {
    const std::string program = "(" + pdf +
                                ") (r) file runpdfbegin 1 1 pdfpagecount "
                                "{pdfgetpage /MediaBox pget pop {=} forall} for quit";
    const CommandResult r =
        run("gs -q -dNODISPLAY -dNOSAFER -c " + quoted(program) + " 2>/dev/null");
    std::vector<PageSize> pages;
    std::istringstream in(r.output);
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    while (in >> x0 >> y0 >> x1 >> y1) {
        pages.push_back({(x1 - x0) * kMmPerPoint, (y1 - y0) * kMmPerPoint});
    }
    return pages;
}

// A run of text on a page and its position (left end, baseline), in mm from
// the page's top-left corner.
struct TextSpan {
    int page = 0;  // 0-based
    std::string text;
    double xMm = 0.0;
    double yMm = 0.0;
};

inline std::string attribute(const std::string& element, const std::string& name) {
    const std::string key = name + "=\"";
    const auto at = element.find(key);
    if (at == std::string::npos) {
        return {};
    }
    const auto start = at + key.size();
    return element.substr(start, element.find('"', start) - start);
}

// Every text span of every page, from Ghostscript's text extraction.
inline std::vector<TextSpan> textSpans(const std::string& pdf) {
    const CommandResult r =
        run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -dTextFormat=0 -o - " + quoted(pdf) +
            " 2>/dev/null");
    std::vector<TextSpan> spans;
    int page = -1;
    std::istringstream in(r.output);
    std::string line;
    TextSpan* current = nullptr;
    while (std::getline(in, line)) {
        if (line.rfind("<page", 0) == 0) {
            ++page;
        } else if (line.rfind("<span", 0) == 0) {
            std::istringstream box(attribute(line, "bbox"));
            double x0 = 0, y0 = 0;
            box >> x0 >> y0;
            spans.push_back({page, {}, x0 * kMmPerPoint, y0 * kMmPerPoint});
            current = &spans.back();
        } else if (line.rfind("<char", 0) == 0 && current != nullptr) {
            current->text += attribute(line, "c");
        } else if (line.rfind("</span", 0) == 0) {
            current = nullptr;
        }
    }
    return spans;
}

// An 8-bit image read back from a renderer: `channels` bytes per pixel.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<std::uint8_t> bytes;

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint8_t at(int x, int y, int channel) const {
        return bytes[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) *
                         static_cast<std::size_t>(channels) +
                     static_cast<std::size_t>(channel)];
    }
};

// A binary PPM (P6, maxval 255) as Ghostscript's ppmraw device writes it.
inline Image readPpm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Image image;
    std::vector<std::string> header;
    std::size_t pos = 0;
    while (header.size() < 4 && pos < data.size()) {
        // Skip white space and comments between the header's tokens.
        if (data[pos] == '#') {
            pos = data.find('\n', pos);
            if (pos == std::string::npos) {
                return image;
            }
            continue;
        }
        if (data[pos] == ' ' || data[pos] == '\n' || data[pos] == '\r' || data[pos] == '\t') {
            ++pos;
            continue;
        }
        const std::size_t end = data.find_first_of(" \n\r\t", pos);
        header.push_back(data.substr(pos, end - pos));
        pos = end;
    }
    if (header.size() < 4 || header[0] != "P6" || header[3] != "255") {
        return image;
    }
    ++pos;  // the single white-space byte after the maximum value
    image.width = std::atoi(header[1].c_str());
    image.height = std::atoi(header[2].c_str());
    image.channels = 3;
    const std::size_t size =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
    if (data.size() - pos < size) {
        return Image{};
    }
    image.bytes.assign(data.begin() + static_cast<std::ptrdiff_t>(pos),
                       data.begin() + static_cast<std::ptrdiff_t>(pos + size));
    return image;
}

// Page `page` (1-based) rendered as RGB at `dpi`, or an empty image.
inline Image renderRgb(const std::string& pdf, int page, int dpi, const std::string& scratch) {
    const CommandResult r =
        run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r" + std::to_string(dpi) +
            " -dFirstPage=" + std::to_string(page) + " -dLastPage=" + std::to_string(page) +
            " -o " + quoted(scratch) + " " + quoted(pdf) + " 2>/dev/null");
    if (r.exitCode != 0) {
        return Image{};
    }
    return readPpm(scratch);
}

// The JPEG's pixel size from its start-of-frame marker, or {0, 0}.
inline std::pair<int, int> jpegSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[i]); };
    if (data.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) {
        return {0, 0};
    }
    std::size_t pos = 2;
    while (pos + 9 < data.size()) {
        if (byte(pos) != 0xFF) {
            return {0, 0};
        }
        const unsigned marker = byte(pos + 1);
        const std::size_t length = byte(pos + 2) * 256U + byte(pos + 3);
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            const int height = byte(pos + 5) * 256 + byte(pos + 6);
            const int width = byte(pos + 7) * 256 + byte(pos + 8);
            return {width, height};
        }
        pos += 2 + length;
    }
    return {0, 0};
}

}  // namespace pdfprobe

#endif  // ORVOCHART_TESTS_HOST_PDFPROBE_H
