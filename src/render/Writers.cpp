#include "render/Writers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace GenChartLib {

namespace {

// Clamps before the cast: a NaN or an out-of-range double must never reach
// a float-to-integer conversion.
std::uint8_t roundedClampedByte(double value) {
    if (!(value > 0.0)) {
        return 0;
    }
    if (value >= 255.0) {
        return 255;
    }
    return static_cast<std::uint8_t>(std::floor(value + 0.5));
}

double invertedPercent(std::uint8_t byte) {
    return 100.0 - percentFromByte(byte);
}

double signedByte(std::uint8_t byte) {
    return byte >= 128 ? byte - 256.0 : byte;
}

}  // namespace

std::uint8_t inkByteFromPercent(double percent) {
    return roundedClampedByte(percent * 255.0 / 100.0);
}

std::uint8_t invertedInkByteFromPercent(double percent) {
    return static_cast<std::uint8_t>(255 - inkByteFromPercent(percent));
}

std::uint8_t labLightnessByte(double lightness) {
    return roundedClampedByte(lightness * 255.0 / 100.0);
}

std::uint8_t labChromaByte(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const int shifted = roundedClampedByte(value + 128.0);
    return static_cast<std::uint8_t>((shifted - 128) & 0xFF);
}

double percentFromByte(std::uint8_t byte) {
    return byte / 2.55;
}

unsigned channelCountOfMode(ColorMode mode) {
    switch (mode) {
        case CM_CMYK:
            return WriteCMYK::kChannels;
        case CM_CMYKO:
            return WriteCMYKO::kChannels;
        case CM_CMYKOG:
        case CM_SIXCOLOR_6:
        case CM_SIXCOLOR_7:
            return WriteCMYKOG::kChannels;
        case CM_CMYKRGB:
            return WriteCMYKRGB::kChannels;
        case CM_LAB:
            return WriteLAB::kChannels;
        case CM_RGB:
            return WriteRGB::kChannels;
        default:
            break;
    }
    if (mode >= CM_SPOT_1 && mode <= CM_SPOT_8) {
        return static_cast<unsigned>(mode - CM_SPOT_1) + 1u;
    }
    return 0;
}

namespace detail {

void fillPixels(const RasterLine& line, std::size_t x, std::size_t count,
                const std::uint8_t* pixel) {
    if (x > line.widthPx || count > line.widthPx - x || count == 0) {
        return;
    }
    const std::size_t bpp = line.channels;
    std::uint8_t* out = line.data + x * bpp;
    std::memcpy(out, pixel, bpp);
    // Doubling copies: the span is filled in log2(count) memcpy calls.
    std::size_t done = 1;
    while (done < count) {
        const std::size_t n = std::min(done, count - done);
        std::memcpy(out + done * bpp, out, n * bpp);
        done += n;
    }
}

}  // namespace detail

Percentages WriteCMYK::toPercent(const PixelColor& color) {
    Percentages p{};
    for (std::size_t i = 0; i < 4; ++i) {
        p[i] = percentFromByte(color.channels[i]);
    }
    return p;
}

Percentages WriteCMYKO::toPercent(const PixelColor& color) {
    Percentages p{};
    for (std::size_t i = 0; i < 4; ++i) {
        p[i] = percentFromByte(color.channels[i]);
    }
    p[4] = invertedPercent(color.channels[4]);
    return p;
}

Percentages WriteCMYKOG::toPercent(const PixelColor& color) {
    Percentages p{};
    for (std::size_t i = 0; i < 4; ++i) {
        p[i] = percentFromByte(color.channels[i]);
    }
    p[4] = invertedPercent(color.channels[4]);
    p[5] = invertedPercent(color.channels[5]);
    return p;
}

Percentages WriteCMYKRGB::toPercent(const PixelColor& color) {
    Percentages p{};
    for (std::size_t i = 0; i < 4; ++i) {
        p[i] = percentFromByte(color.channels[i]);
    }
    for (std::size_t i = 4; i < 7; ++i) {
        p[i] = invertedPercent(color.channels[i]);
    }
    return p;
}

Percentages WriteLAB::toPercent(const PixelColor& color) {
    Percentages p{};
    p[0] = percentFromByte(color.channels[0]);
    p[1] = signedByte(color.channels[1]);
    p[2] = signedByte(color.channels[2]);
    return p;
}

Percentages WriteRGB::toPercent(const PixelColor& color) {
    Percentages p{};
    for (std::size_t i = 0; i < 3; ++i) {
        p[i] = percentFromByte(color.channels[i]);
    }
    return p;
}

std::array<std::uint8_t, kMaxChannels> WriteSpotColor::pixelBytes(const PixelColor& color,
                                                                  unsigned pageChannels) {
    std::array<std::uint8_t, kMaxChannels> out{};
    const unsigned n = std::min(pageChannels, kMaxChannels);
    if (!color.extra.empty()) {
        for (unsigned c = 0; c < n; ++c) {
            if (c < color.extra.size()) {
                out[c] = color.extra[c];
            } else {
                out[c] = c < 4 ? 0 : 255;
            }
        }
        return out;
    }
    for (unsigned c = 0; c < n; ++c) {
        if (n < 4) {
            out[c] = std::max(color.channels[c], color.channels[3]);
        } else {
            out[c] = c < 4 ? color.channels[c] : 255;
        }
    }
    return out;
}

void WriteSpotColor::fillSpan(const RasterLine& line, std::size_t x, std::size_t count,
                              const PixelColor& color) {
    if (line.channels == 0 || line.channels > kMaxChannels) {
        return;
    }
    const auto bytes = pixelBytes(color, line.channels);
    detail::fillPixels(line, x, count, bytes.data());
}

Percentages WriteSpotColor::toPercent(const PixelColor& color) {
    Percentages p{};
    if (color.extra.empty()) {
        for (std::size_t i = 0; i < 4; ++i) {
            p[i] = percentFromByte(color.channels[i]);
        }
        return p;
    }
    const std::size_t n = std::min<std::size_t>({color.channelCount, color.extra.size(), 8});
    for (std::size_t i = 0; i < n; ++i) {
        p[i] = i < 4 ? percentFromByte(color.extra[i]) : invertedPercent(color.extra[i]);
    }
    return p;
}

}  // namespace GenChartLib
