// Raster chart pages read back from outside with libtiff, and the strip
// numbers on them read back as seven-segment figures. Independent of the
// library: the segment shapes are those a number is drawn with (digit size s,
// q = s/8, h = 2s/8, n = 9s/8; horizontal bars from x q+1 to n+1 and y 1 to
// h+1, vertical bars from x 0 to h and y q+2 to n+2).
#ifndef ORVOCHART_TESTS_HOST_RASTERPAGES_H
#define ORVOCHART_TESTS_HOST_RASTERPAGES_H

#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace hostcheck {

using Bytes = std::vector<std::uint8_t>;

struct RasterPage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t channels = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t photometric = 0;
    std::uint16_t resolutionUnit = 0;
    float xResolution = 0.0f;
    float yResolution = 0.0f;
    std::vector<Bytes> rows;

    bool contains(std::int64_t x, std::int64_t y) const {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
    // The channel bytes of pixel (x, y); empty outside the page.
    Bytes pixel(std::int64_t x, std::int64_t y) const {
        if (!contains(x, y)) {
            return {};
        }
        const auto first = rows[static_cast<std::size_t>(y)].begin() + x * channels;
        return {first, first + channels};
    }
    bool is(std::int64_t x, std::int64_t y, const Bytes& color) const {
        return pixel(x, y) == color;
    }
};

inline RasterPage readRasterPage(const std::string& path) {
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif == nullptr) {
        throw std::runtime_error("libtiff cannot open " + path);
    }
    RasterPage page;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &page.channels);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &page.bitsPerSample);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &page.photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &page.resolutionUnit);
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &page.xResolution);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &page.yResolution);
    const auto scanline = static_cast<std::size_t>(TIFFScanlineSize64(tif));
    page.rows.assign(page.height, Bytes(scanline));
    for (std::uint32_t y = 0; y < page.height; ++y) {
        if (TIFFReadScanline(tif, page.rows[y].data(), y, 0) != 1) {
            TIFFClose(tif);
            throw std::runtime_error("libtiff cannot read row " + std::to_string(y) + " of " +
                                     path);
        }
    }
    TIFFClose(tif);
    return page;
}

// The figure a number of digit size `size` shows, read from the black pixels
// of the band whose top is y0, between x = fromX and x = toX (exclusive).
// Digits are told apart by the gaps between them; a narrow one is a '1',
// every other is read from its seven segment centres. "?" marks a digit
// whose segments match no figure.
inline std::string readNumber(const RasterPage& page, const Bytes& black, std::int64_t fromX,
                              std::int64_t toX, std::int64_t y0, std::int64_t size) {
    const std::int64_t q = size / 8;
    const std::int64_t h = 2 * size / 8;
    const std::int64_t n = 9 * size / 8;
    const std::int64_t bandHeight = 2 * size + h + 6;
    const auto inkedColumn = [&](std::int64_t x) {
        for (std::int64_t y = y0; y < y0 + bandHeight; ++y) {
            if (page.is(x, y, black)) {
                return true;
            }
        }
        return false;
    };
    const auto segmentOn = [&](std::int64_t cx, std::int64_t cy) {
        for (std::int64_t dy = -1; dy <= 1; ++dy) {
            for (std::int64_t dx = -1; dx <= 1; ++dx) {
                if (page.is(cx + dx, cy + dy, black)) {
                    return true;
                }
            }
        }
        return false;
    };
    // Segment centres relative to the digit's origin, in the order a b c d e
    // f g (top, upper right, lower right, bottom, lower left, upper left,
    // middle).
    const std::int64_t hx = (q + 1 + n + 1) / 2;
    const std::int64_t hy = (1 + h + 1) / 2;
    const std::int64_t vx = h / 2;
    const std::int64_t vy = (q + 2 + n + 2) / 2;
    const std::int64_t step = size + 2;
    const std::int64_t centres[7][2] = {
        {hx, hy},        {step + vx, vy}, {step + vx, step + vy}, {hx, 2 * step + hy},
        {vx, step + vy}, {vx, vy},        {hx, step + hy}};
    // Segments a..g lit by each figure, as bits from a (bit 0) to g (bit 6).
    const int figures[10] = {0x3F, 0x30, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x67};

    std::string text;
    std::int64_t x = fromX;
    while (x < toX) {
        if (!inkedColumn(x)) {
            ++x;
            continue;
        }
        const std::int64_t first = x;
        std::int64_t blank = 0;
        std::int64_t last = x;
        for (; x < toX && blank < 3; ++x) {
            if (inkedColumn(x)) {
                last = x;
                blank = 0;
            } else {
                ++blank;
            }
        }
        if (last - first <= h + 1) {
            text += '1';
            continue;
        }
        const std::int64_t originX = last - (step + h);
        int lit = 0;
        for (int s = 0; s < 7; ++s) {
            if (segmentOn(originX + centres[s][0], y0 + centres[s][1])) {
                lit |= 1 << s;
            }
        }
        const int* match = std::find(figures, figures + 10, lit);
        text += match == figures + 10 ? '?' : static_cast<char>('0' + (match - figures));
    }
    return text;
}

}  // namespace hostcheck

#endif  // ORVOCHART_TESTS_HOST_RASTERPAGES_H
