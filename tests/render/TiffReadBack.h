// Test support for raster pages: a private folder per test and a TIFF page
// read back with libtiff, independently of the module that wrote it.
#ifndef ORVOCHART_TESTS_RENDER_TIFFREADBACK_H
#define ORVOCHART_TESTS_RENDER_TIFFREADBACK_H

#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace GenChartLib {
namespace tifftest {

namespace fs = std::filesystem;

// A folder of its own for each test and process, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("orvochart-tiff-") + std::to_string(getpid()) + "-" +
                           info->test_suite_name() + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = fs::temp_directory_path() / name;
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Every file in the folder, for checks that nothing was left behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    fs::path path_;
};

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
    std::string description;
    std::vector<std::string> inkNames;
    std::vector<std::vector<std::uint8_t>> rows;

    // Channel c of pixel (x, y).
    std::uint8_t at(std::uint32_t x, std::uint32_t y, unsigned c = 0) const {
        return rows.at(y).at(static_cast<std::size_t>(x) * samplesPerPixel + c);
    }
    std::vector<std::uint8_t> pixel(std::uint32_t x, std::uint32_t y) const {
        const auto first = rows.at(y).begin() + static_cast<std::ptrdiff_t>(x) * samplesPerPixel;
        return {first, first + samplesPerPixel};
    }
};

// Reads the first directory and every row; throws on anything libtiff
// cannot read.
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
        p.rows.assign(p.height, std::vector<std::uint8_t>(scanline));
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

inline std::vector<char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace tifftest
}  // namespace GenChartLib

#endif  // ORVOCHART_TESTS_RENDER_TIFFREADBACK_H
