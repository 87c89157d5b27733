// Colour writer policies: one per colour mode. A writer fixes the type of a
// patch colour (PixelColor), how many bytes a raster pixel has and what they
// mean, and how a colour becomes the eight percentages the PDF page takes.
// Layouts, graphic objects and pages are templates over the writer.
//
// Byte meaning, shared by the reference loaders and the raster:
//   C, M, Y, K        ink coverage, 0 = none, 255 = 100 %
//   extra inks        (orange, green, the red/green/blue inks, spot channels
//                     5 and up) inverted: 255 = none, 0 = 100 %
//   L                 L* x 2.55; a and b as two's-complement signed bytes
//   RGB               0..255 as read
#ifndef ORVOCHART_RENDER_WRITERS_H
#define ORVOCHART_RENDER_WRITERS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "OrvoChartInterface.h"

namespace GenChartLib {

// Largest channel count a page can have.
constexpr unsigned kMaxChannels = 8;

// The eight percentages a colour is handed to the PDF writer as.
using Percentages = std::array<double, 8>;

// Channels of a page in a colour mode: the mode's writer's count, the
// number of spot inks for the spot modes, 0 for a mode without a writer.
unsigned channelCountOfMode(ColorMode mode);

// One raster line: `widthPx` pixels of `channels` interleaved bytes each.
struct RasterLine {
    std::uint8_t* data;
    std::size_t widthPx;
    unsigned channels;
};

// Ink amount byte from a percentage: floor(p * 255 / 100 + 0.5), clamped.
// Multiplying before dividing keeps the exact halves (50 % -> 128).
std::uint8_t inkByteFromPercent(double percent);
// The inverted byte of an extra ink: 255 - inkByteFromPercent(percent).
std::uint8_t invertedInkByteFromPercent(double percent);
// L* byte: floor(clamp(L * 255 / 100, 0, 255) + 0.5). L* 50 gives 128.
std::uint8_t labLightnessByte(double lightness);
// a* or b* byte: floor(clamp(v + 128, 0, 255) + 0.5) - 128 as a signed byte.
std::uint8_t labChromaByte(double value);
// Percentage from a process-ink byte (byte / 2.55).
double percentFromByte(std::uint8_t byte);

namespace detail {

// Writes the `channels` bytes of `pixel` into pixels x .. x + count - 1 of
// `line`; a span reaching past the right edge is dropped whole.
void fillPixels(const RasterLine& line, std::size_t x, std::size_t count,
                const std::uint8_t* pixel);

// Colour value of the writers with a fixed channel count.
template <unsigned N>
struct FixedPixelColor {
    std::array<std::uint8_t, N> channels{};
    std::vector<std::uint8_t> extra;

    bool operator==(const FixedPixelColor& o) const {
        return channels == o.channels && extra == o.extra;
    }
    bool operator!=(const FixedPixelColor& o) const { return !(*this == o); }
};

// Writers whose pixel bytes are exactly `channels`.
template <unsigned N>
struct FixedWriter {
    using PixelColor = FixedPixelColor<N>;
    static constexpr unsigned kChannels = N;

    static unsigned channelCountOf(const PixelColor&) { return N; }
    static void fillSpan(const RasterLine& line, std::size_t x, std::size_t count,
                         const PixelColor& color) {
        if (line.channels == N) {
            fillPixels(line, x, count, color.channels.data());
        }
    }
};

}  // namespace detail

// Four process inks.
struct WriteCMYK : detail::FixedWriter<4> {
    static PixelColor blackColor() { return {{0, 0, 0, 255}, {}}; }
    static PixelColor paperColor() { return {{0, 0, 0, 0}, {}}; }
    static PixelColor blueColor() { return {{255, 255, 0, 0}, {}}; }
    static PixelColor yellowColor() { return {{0, 0, 255, 0}, {}}; }
    // Grey marker patch: K at 125 of 255.
    static PixelColor greyMarkerColor() { return {{0, 0, 0, 125}, {}}; }
    static Percentages toPercent(const PixelColor& color);
};

// CMYK plus orange (inverted).
struct WriteCMYKO : detail::FixedWriter<5> {
    static PixelColor blackColor() { return {{0, 0, 0, 255, 255}, {}}; }
    static PixelColor paperColor() { return {{0, 0, 0, 0, 255}, {}}; }
    static PixelColor blueColor() { return {{255, 255, 0, 0, 255}, {}}; }
    static PixelColor yellowColor() { return {{0, 0, 255, 0, 255}, {}}; }
    static PixelColor greyMarkerColor() { return {{0, 0, 0, 125, 255}, {}}; }
    static Percentages toPercent(const PixelColor& color);
};

// CMYK plus orange and green (inverted).
struct WriteCMYKOG : detail::FixedWriter<6> {
    static PixelColor blackColor() { return {{0, 0, 0, 255, 255, 255}, {}}; }
    static PixelColor paperColor() { return {{0, 0, 0, 0, 255, 255}, {}}; }
    static PixelColor blueColor() { return {{255, 255, 0, 0, 255, 255}, {}}; }
    static PixelColor yellowColor() { return {{0, 0, 255, 0, 255, 255}, {}}; }
    static PixelColor greyMarkerColor() { return {{0, 0, 0, 125, 255, 255}, {}}; }
    static Percentages toPercent(const PixelColor& color);
};

// CMYK plus red, green and blue inks (inverted).
struct WriteCMYKRGB : detail::FixedWriter<7> {
    static PixelColor blackColor() { return {{0, 0, 0, 255, 255, 255, 255}, {}}; }
    static PixelColor paperColor() { return {{0, 0, 0, 0, 255, 255, 255}, {}}; }
    static PixelColor blueColor() { return {{255, 255, 0, 0, 255, 255, 255}, {}}; }
    static PixelColor yellowColor() { return {{0, 0, 255, 0, 255, 255, 255}, {}}; }
    static PixelColor greyMarkerColor() { return {{0, 0, 0, 125, 255, 255, 255}, {}}; }
    static Percentages toPercent(const PixelColor& color);
};

// CIE L*a*b*: L byte, then a and b as signed bytes.
struct WriteLAB : detail::FixedWriter<3> {
    static PixelColor blackColor() { return {{0, 0, 0}, {}}; }
    static PixelColor paperColor() { return {{255, 0, 0}, {}}; }
    static PixelColor blueColor() { return {{53, 29, static_cast<std::uint8_t>(-53 & 0xFF)}, {}}; }
    static PixelColor yellowColor() { return {{255, 0, 127}, {}}; }
    static PixelColor greyMarkerColor() { return {{125, 0, 0}, {}}; }
    static Percentages toPercent(const PixelColor& color);
};

// RGB device values.
struct WriteRGB : detail::FixedWriter<3> {
    static PixelColor blackColor() { return {{0, 0, 0}, {}}; }
    static PixelColor paperColor() { return {{255, 255, 255}, {}}; }
    static PixelColor blueColor() { return {{0, 0, 255}, {}}; }
    static PixelColor yellowColor() { return {{255, 255, 0}, {}}; }
    static PixelColor greyMarkerColor() { return {{125, 125, 125}, {}}; }
    static Percentages toPercent(const PixelColor& color);
};

// One to eight spot inks. A reference patch carries one byte per spot channel
// in `extra` (channels 1-4 as ink amounts, 5 and up inverted) and its CMYK
// bytes in `channels`. A fixed colour has an empty `extra`; it is painted as
// its CMYK bytes on channels 1-4 with "no ink" (255) on channels 5 and up. On
// a page of fewer than four channels the K of a fixed colour goes into every
// channel present, so black marks print on every page.
struct WriteSpotColor {
    struct PixelColor {
        std::array<std::uint8_t, 4> channels{};
        std::vector<std::uint8_t> extra;
        std::uint32_t channelCount = 4;

        bool operator==(const PixelColor& o) const {
            return channels == o.channels && extra == o.extra && channelCount == o.channelCount;
        }
        bool operator!=(const PixelColor& o) const { return !(*this == o); }
    };
    // The channel count comes from the page's first patch colour.
    static constexpr unsigned kChannels = 0;

    static PixelColor blackColor() { return {{0, 0, 0, 255}, {}, 4}; }
    static PixelColor paperColor() { return {{0, 0, 0, 0}, {}, 4}; }
    static PixelColor blueColor() { return {{255, 255, 0, 0}, {}, 4}; }
    static PixelColor yellowColor() { return {{0, 0, 255, 0}, {}, 4}; }
    static PixelColor greyMarkerColor() { return {{0, 0, 0, 125}, {}, 4}; }

    static unsigned channelCountOf(const PixelColor& firstPatch) { return firstPatch.channelCount; }
    // The bytes of `color` on a page of `pageChannels` channels (1..8).
    static std::array<std::uint8_t, kMaxChannels> pixelBytes(const PixelColor& color,
                                                             unsigned pageChannels);
    static void fillSpan(const RasterLine& line, std::size_t x, std::size_t count,
                         const PixelColor& color);
    static Percentages toPercent(const PixelColor& color);
};

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_WRITERS_H
