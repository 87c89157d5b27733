// Raster chart pages read back from outside with libtiff, and the strip
// numbers on them read back as seven-segment figures. Independent of the
// library: the segment shapes are those a number is drawn with (digit size s,
// q = s/8, h = 2s/8, n = 9s/8; horizontal bars from x q+1 to n+1 and y 1 to
// h+1, vertical bars from x 0 to h and y q+2 to n+2).
#ifndef ORVOCHART_TESTS_HOST_RASTERPAGES_H
#define ORVOCHART_TESTS_HOST_RASTERPAGES_H

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "render/TiffReadBack.h"

namespace hostcheck {

using Bytes = std::vector<std::uint8_t>;
using GenChartLib::tifftest::readTiff;
using RasterPage = GenChartLib::tifftest::TiffPage;

// The channel bytes of pixel (x, y); empty off the page.
inline Bytes pixel(const RasterPage& page, std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x >= page.width || y >= page.height) {
        return {};
    }
    return page.pixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
}

inline bool is(const RasterPage& page, std::int64_t x, std::int64_t y, const Bytes& color) {
    return pixel(page, x, y) == color;
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

}  // namespace hostcheck

#endif  // ORVOCHART_TESTS_HOST_RASTERPAGES_H
