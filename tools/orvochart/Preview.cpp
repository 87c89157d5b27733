#include "Preview.h"

#include <cairo.h>
#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "render/Writers.h"

namespace {

using Rgb = std::array<std::uint8_t, 3>;

std::uint8_t clampChannel(OrvoLong value) {
    return static_cast<std::uint8_t>(std::clamp<OrvoLong>(value, 0, 255));
}

Rgb fromRecord(const tagRGBRecord& rgb) {
    return {clampChannel(rgb.R), clampChannel(rgb.G), clampChannel(rgb.B)};
}

// Process inks are stored as coverage (255 = solid), extra inks inverted
// (255 = none).
double processPercent(std::uint8_t byte) {
    return byte / 2.55;
}
double extraPercent(std::uint8_t byte) {
    return 100.0 - byte / 2.55;
}

// Screen colours of solid spot inks, in channel order: the four process
// colours first, then orange, green, red and blue. Pages of fewer than four
// channels carry their marks in every channel, so each of their inks is shown
// as black.
constexpr std::array<std::array<double, 3>, 8> kSpotInkRgb = {{{0.0, 0.68, 0.94},
                                                               {0.93, 0.0, 0.55},
                                                               {1.0, 0.95, 0.0},
                                                               {0.0, 0.0, 0.0},
                                                               {1.0, 0.5, 0.0},
                                                               {0.0, 0.65, 0.3},
                                                               {0.9, 0.1, 0.1},
                                                               {0.1, 0.2, 0.8}}};

// One ink filters the light by its coverage: a simple subtractive mix that
// needs no knowledge of the inks beyond their solid colour.
Rgb spotToRgb(const std::uint8_t* pixel, unsigned channels) {
    std::array<double, 3> light = {1.0, 1.0, 1.0};
    for (unsigned i = 0; i < channels; ++i) {
        const double coverage = i < 4 ? pixel[i] / 255.0 : (255 - pixel[i]) / 255.0;
        const auto& solid = channels < 4 ? kSpotInkRgb[3] : kSpotInkRgb[i];
        for (std::size_t c = 0; c < 3; ++c) {
            light[c] *= 1.0 - coverage * (1.0 - solid[c]);
        }
    }
    Rgb out{};
    for (std::size_t c = 0; c < 3; ++c) {
        out[c] = static_cast<std::uint8_t>(std::lround(light[c] * 255.0));
    }
    return out;
}

Rgb deviceToRgb(ColorMode mode, const std::uint8_t* pixel, unsigned channels) {
    switch (mode) {
        case CM_RGB:
            return {pixel[0], pixel[1], pixel[2]};
        case CM_LAB: {
            const LabRecord lab{pixel[0] / 2.55,
                                static_cast<double>(static_cast<std::int8_t>(pixel[1])),
                                static_cast<double>(static_cast<std::int8_t>(pixel[2]))};
            return fromRecord(GetRGBFromLab(lab));
        }
        case CM_CMYK:
            return fromRecord(GetRGBFromCMYK({processPercent(pixel[0]), processPercent(pixel[1]),
                                              processPercent(pixel[2]), processPercent(pixel[3])}));
        case CM_CMYKO:
            return fromRecord(GetRGBFromCMYKOG({processPercent(pixel[0]), processPercent(pixel[1]),
                                                processPercent(pixel[2]), processPercent(pixel[3]),
                                                extraPercent(pixel[4]), 0.0}));
        case CM_CMYKOG:
        case CM_SIXCOLOR_6:
        case CM_SIXCOLOR_7:
            return fromRecord(GetRGBFromCMYKOG({processPercent(pixel[0]), processPercent(pixel[1]),
                                                processPercent(pixel[2]), processPercent(pixel[3]),
                                                extraPercent(pixel[4]), extraPercent(pixel[5])}));
        case CM_CMYKRGB:
            return fromRecord(
                GetRGBFromCMYKRGB({processPercent(pixel[0]), processPercent(pixel[1]),
                                   processPercent(pixel[2]), processPercent(pixel[3]),
                                   static_cast<OrvoLong>(std::lround(extraPercent(pixel[4]))),
                                   static_cast<OrvoLong>(std::lround(extraPercent(pixel[5]))),
                                   static_cast<OrvoLong>(std::lround(extraPercent(pixel[6])))}));
        default:
            return spotToRgb(pixel, channels);
    }
}

// A chart is mostly runs of one colour, so the last conversion is kept.
class PixelConverter {
  public:
    PixelConverter(ColorMode mode, unsigned channels) : mode_(mode), channels_(channels) {}

    Rgb operator()(const std::uint8_t* pixel) {
        if (!valid_ || std::memcmp(pixel, last_.data(), channels_) != 0) {
            std::memcpy(last_.data(), pixel, channels_);
            rgb_ = deviceToRgb(mode_, pixel, channels_);
            valid_ = true;
        }
        return rgb_;
    }

  private:
    ColorMode mode_;
    unsigned channels_;
    std::array<std::uint8_t, 8> last_{};
    Rgb rgb_{};
    bool valid_ = false;
};

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
struct SurfaceDestroyer {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

// A TIFF file starts "II*\0" (little-endian) or "MM\0*" (big-endian).
bool isTiffFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    unsigned char magic[4] = {};
    const bool complete = std::fread(magic, 1, sizeof magic, file) == sizeof magic;
    std::fclose(file);
    return complete && ((magic[0] == 'I' && magic[1] == 'I' && magic[2] == 42 && magic[3] == 0) ||
                        (magic[0] == 'M' && magic[1] == 'M' && magic[2] == 0 && magic[3] == 42));
}

bool fileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

bool fail(std::string& error, const std::string& text) {
    error = text;
    return false;
}

}  // namespace

std::string previewNameFor(const std::string& pagePath) {
    const std::size_t slash = pagePath.find_last_of("/\\");
    const std::size_t dot = pagePath.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return pagePath + ".png";
    }
    return pagePath.substr(0, dot) + ".png";
}

bool writePagePreview(const std::string& tiffPath, const std::string& pngPath, ColorMode mode,
                      unsigned maxSidePx, std::string& error) {
    const unsigned channels = GenChartLib::channelCountOfMode(mode);
    if (channels == 0) {
        return fail(error, "no preview for colour mode " + std::to_string(mode));
    }
    TIFFSetWarningHandler(nullptr);
    TIFFSetErrorHandler(nullptr);
    std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpen(tiffPath.c_str(), "r"));
    if (!tif) {
        return fail(error, "cannot read the TIFF page " + tiffPath);
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samples = 0;
    std::uint16_t bits = 0;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_PLANARCONFIG, &planar);
    if (width == 0 || height == 0 || bits != 8 || planar != PLANARCONFIG_CONTIG) {
        return fail(error, tiffPath + " is not an 8-bit interleaved page");
    }
    if (samples != channels) {
        return fail(error, tiffPath + " has " + std::to_string(samples) +
                               " channels; the colour mode has " + std::to_string(channels));
    }

    const unsigned side = std::max(maxSidePx, 1u);
    const std::uint32_t factor =
        std::max<std::uint32_t>(1, (std::max(width, height) + side - 1) / side);
    const std::uint32_t outWidth = (width + factor - 1) / factor;
    const std::uint32_t outHeight = (height + factor - 1) / factor;
    std::unique_ptr<cairo_surface_t, SurfaceDestroyer> surface(cairo_image_surface_create(
        CAIRO_FORMAT_RGB24, static_cast<int>(outWidth), static_cast<int>(outHeight)));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return fail(error, "cannot make a preview image");
    }
    unsigned char* image = cairo_image_surface_get_data(surface.get());
    const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface.get()));

    const std::uint64_t scanline = TIFFScanlineSize64(tif.get());
    if (scanline < std::uint64_t{width} * channels) {
        return fail(error, tiffPath + " has short rows");
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(scanline));
    std::vector<std::uint32_t> sums(std::size_t{outWidth} * 3);
    PixelConverter convert(mode, channels);
    cairo_surface_flush(surface.get());
    for (std::uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tif.get(), row.data(), y, 0) < 0) {
            return fail(error, "cannot read row " + std::to_string(y) + " of " + tiffPath);
        }
        for (std::uint32_t x = 0; x < width; ++x) {
            const Rgb rgb = convert(row.data() + std::size_t{x} * channels);
            std::uint32_t* sum = sums.data() + std::size_t{x / factor} * 3;
            sum[0] += rgb[0];
            sum[1] += rgb[1];
            sum[2] += rgb[2];
        }
        const bool lastOfBlock = (y + 1) % factor == 0 || y + 1 == height;
        if (!lastOfBlock) {
            continue;
        }
        const std::uint32_t blockRows = y % factor + 1;
        unsigned char* out = image + std::size_t{y / factor} * stride;
        for (std::uint32_t ox = 0; ox < outWidth; ++ox) {
            const std::uint32_t blockCols = std::min(factor, width - ox * factor);
            const std::uint32_t count = blockCols * blockRows;
            const std::uint32_t* sum = sums.data() + std::size_t{ox} * 3;
            // Cairo's RGB24 pixel is one native-endian word 0x00RRGGBB.
            const std::uint32_t pixel = ((sum[0] + count / 2) / count) << 16 |
                                        ((sum[1] + count / 2) / count) << 8 |
                                        ((sum[2] + count / 2) / count);
            std::memcpy(out + std::size_t{ox} * 4, &pixel, sizeof pixel);
        }
        std::fill(sums.begin(), sums.end(), 0u);
    }
    cairo_surface_mark_dirty(surface.get());
    if (cairo_surface_write_to_png(surface.get(), pngPath.c_str()) != CAIRO_STATUS_SUCCESS) {
        return fail(error, "cannot write " + pngPath);
    }
    return true;
}

bool writeChartPreviews(const std::string& outFile, ColorMode mode, std::FILE* report) {
    bool allWritten = true;
    for (int page = 0;; ++page) {
        const std::string pageFile =
            page == 0 ? outFile : outFile + "_" + std::to_string(page) + ".tif";
        if (!fileExists(pageFile)) {
            break;
        }
        if (!isTiffFile(pageFile)) {
            std::fprintf(report, "no preview of %s: not a TIFF page\n", pageFile.c_str());
            continue;
        }
        const std::string pngFile = previewNameFor(pageFile);
        std::string error;
        if (writePagePreview(pageFile, pngFile, mode, kDefaultPreviewSidePx, error)) {
            std::fprintf(report, "preview: %s\n", pngFile.c_str());
        } else {
            std::fprintf(report, "no preview of %s: %s\n", pageFile.c_str(), error.c_str());
            allWritten = false;
        }
    }
    return allWritten;
}
