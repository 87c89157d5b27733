// Ghostscript's separations of a PDF page, read back with libtiff: one plate
// per process ink and per named colorant, each pixel the ink amount 0..255.
#ifndef ORVOCHART_TESTS_HOST_SEPARATIONS_H
#define ORVOCHART_TESTS_HOST_SEPARATIONS_H

#include <tiffio.h>

#include <filesystem>
#include <map>
#include <string>

#include "host/PdfProbe.h"

namespace pdfprobe {

inline Image readGrayTiff(const std::string& path) {
    Image image;
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (tiff == nullptr) {
        return image;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t samples = 1;
    std::uint16_t bits = 8;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    if (samples != 1 || bits != 8) {
        TIFFClose(tiff);
        return image;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.channels = 1;
    image.bytes.resize(static_cast<std::size_t>(width) * height);
    for (std::uint32_t row = 0; row < height; ++row) {
        if (TIFFReadScanline(tiff, image.bytes.data() + static_cast<std::size_t>(row) * width,
                             row) < 0) {
            TIFFClose(tiff);
            return Image{};
        }
    }
    TIFFClose(tiff);
    // The plates store 255 for no ink; turn them into ink amounts.
    for (std::uint8_t& b : image.bytes) {
        b = static_cast<std::uint8_t>(255 - b);
    }
    return image;
}

// Page `page` (1-based) of `pdf` separated at `dpi` into `folder`; the plates
// by colorant name ("Cyan", ..., "Orange", "Spot 1", ...).
inline std::map<std::string, Image> separations(const std::string& pdf, int page, int dpi,
                                                const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    fs::create_directories(folder);
    const fs::path base = folder / "plate.tif";
    const CommandResult r =
        run("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=tiffsep -r" + std::to_string(dpi) +
            " -dFirstPage=" + std::to_string(page) + " -dLastPage=" + std::to_string(page) +
            " -o " + quoted(base.string()) + " " + quoted(pdf) + " 2>/dev/null");
    std::map<std::string, Image> plates;
    if (r.exitCode != 0) {
        return plates;
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const auto open = name.find('(');
        const auto close = name.rfind(')');
        if (name.rfind("plate(", 0) == 0 && open != std::string::npos && close > open) {
            plates[name.substr(open + 1, close - open - 1)] = readGrayTiff(entry.path().string());
        }
    }
    return plates;
}

}  // namespace pdfprobe

#endif  // ORVOCHART_TESTS_HOST_SEPARATIONS_H
