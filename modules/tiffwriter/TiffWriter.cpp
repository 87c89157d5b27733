// The image writer module: writes one raster chart page as a TIFF file,
// strip by strip, from the pixel rows the library hands over top row first.
//
// Pages are 8 bits per channel, pixel-interleaved, with the resolution the
// library asks for. The photometric interpretation follows the page:
//   3 channels + Lab hint      CIELab (TIFF's own 8-bit encoding is exactly
//                              the chart's: L* x 2.55, a* and b* signed)
//   1 channel                  MinIsWhite: the byte is an ink amount
//   3 channels                 RGB, or separated inks when names were given
//   4 channels                 separated, InkSet CMYK
//   5 to 8 channels            separated, InkSet multi-ink, NumberOfInks and
//                              InkNames
// No date, software or host tag is written, so the same page drawn twice
// gives the same bytes.
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "outside/ImageWriterInterface.h"
#include "platform/Platform.h"

#if defined(_WIN32)
#define TIFFWRITER_EXPORT __declspec(dllexport)
#else
#define TIFFWRITER_EXPORT __attribute__((visibility("default")))
#endif

namespace GenChartLib {
struct OcImage;
}
using GenChartLib::OcImage;
using GenChartLib::ocImagePageBytes;
using GenChartLib::ocImageRowBytes;
using GenChartLib::OcImageWriterInterface;

namespace fs = std::filesystem;

struct GenChartLib::OcImage {
    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;  // the temporary file, until libtiff closes it
    bool closeFailed = false;
    TIFF* tiff = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t channels = 0;
    std::int32_t photometricHint = OC_IMG_PHOTOMETRIC_AUTO;
    std::uint64_t rowBytes = 0;
    std::uint32_t rowsWritten = 0;
    bool configured = false;
    std::vector<std::string> inkNames;
    std::vector<std::uint8_t> row;  // libtiff's predictor encodes in place
    std::string tiffError;          // libtiff's last error for this page
};

namespace {

constexpr float kMinDpi = 1.0f;
constexpr float kMaxDpi = 100000.0f;

// Bytes of uncompressed data per strip the module aims at: large enough to
// keep the strip tables short, small enough to keep memory flat.
constexpr std::uint64_t kStripBytes = 256 * 1024;

// Classic TIFF addresses 4 GiB. LZW can grow incompressible data by up to
// half (12-bit codes for 8-bit symbols), so a page switches to BigTIFF well
// before its raw size reaches 4 GiB; the margin covers tags and tables.
constexpr std::uint64_t kClassicTiffLimit = 0xFFFFFFFFull - (64ull << 20);

thread_local std::string lastErrorText;

int fail(const std::string& text, int code) {
    lastErrorText = text;
    return code;
}

OcImage* failCreate(const std::string& text) {
    lastErrorText = text;
    return nullptr;
}

#if defined(__GNUC__)
__attribute__((format(printf, 4, 0)))
#endif
int recordTiffError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    auto* image = static_cast<OcImage*>(user);
    image->tiffError = std::string(module != nullptr ? module : "libtiff") + ": " + text;
    return 1;
}

int ignoreTiffWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

std::uint64_t worstCaseFileBytes(std::uint64_t pageBytes, std::uint32_t height,
                                 std::int32_t compression) {
    const std::uint64_t data =
        compression == OC_IMG_COMPRESSION_NONE ? pageBytes : pageBytes + pageBytes / 2 + height;
    return data + 16ull * height + 4096;
}

// libtiff works on the page through the stdio file that the platform layer
// created exclusively under a fresh name: it never opens a path itself, so a
// link planted at any name cannot redirect the page.
std::FILE* fileOf(thandle_t handle) {
    return static_cast<OcImage*>(handle)->file;
}

tmsize_t readFile(thandle_t handle, void* bytes, tmsize_t count) {
    return static_cast<tmsize_t>(
        std::fread(bytes, 1, static_cast<std::size_t>(count), fileOf(handle)));
}

tmsize_t writeFile(thandle_t handle, void* bytes, tmsize_t count) {
    return static_cast<tmsize_t>(
        std::fwrite(bytes, 1, static_cast<std::size_t>(count), fileOf(handle)));
}

toff_t seekFile(thandle_t handle, toff_t offset, int whence) {
#if defined(_WIN32)
    const bool moved = _fseeki64(fileOf(handle), static_cast<__int64>(offset), whence) == 0;
    return moved ? static_cast<toff_t>(_ftelli64(fileOf(handle))) : static_cast<toff_t>(-1);
#else
    const bool moved = fseeko(fileOf(handle), static_cast<off_t>(offset), whence) == 0;
    return moved ? static_cast<toff_t>(ftello(fileOf(handle))) : static_cast<toff_t>(-1);
#endif
}

toff_t fileSize(thandle_t handle) {
    const toff_t here = seekFile(handle, 0, SEEK_CUR);
    const toff_t end = seekFile(handle, 0, SEEK_END);
    seekFile(handle, here, SEEK_SET);
    return end;
}

int closeFile(thandle_t handle) {
    auto* image = static_cast<OcImage*>(handle);
    image->closeFailed = std::fclose(image->file) != 0;
    image->file = nullptr;
    return image->closeFailed ? -1 : 0;
}

int mapNothing(thandle_t, void**, toff_t*) {
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t) {}

bool validCompression(std::int32_t c) {
    return c == OC_IMG_COMPRESSION_NONE || c == OC_IMG_COMPRESSION_LZW ||
           c == OC_IMG_COMPRESSION_DEFLATE;
}

// The inks of the chart's colour modes by channel count; a page of 8
// channels is CMYK and four spot inks.
std::vector<std::string> defaultInkNames(std::uint16_t channels) {
    std::vector<std::string> names = {"Cyan", "Magenta", "Yellow", "Black"};
    if (channels == 5) {
        names.insert(names.end(), {"Orange"});
    } else if (channels == 6) {
        names.insert(names.end(), {"Orange", "Green"});
    } else if (channels == 7) {
        names.insert(names.end(), {"Red", "Green", "Blue"});
    }
    for (std::uint16_t i = static_cast<std::uint16_t>(names.size()); i < channels; ++i) {
        names.push_back("Spot " + std::to_string(i + 1));
    }
    names.resize(channels);
    return names;
}

std::string packedNames(const std::vector<std::string>& names) {
    std::string packed;
    for (const std::string& n : names) {
        packed += n;
        packed += '\0';
    }
    return packed;
}

void removeQuietly(const std::string& file) {
    std::error_code ignored;
    fs::remove(fs::u8path(file), ignored);
}

void destroy(OcImage* image, bool keepFile) {
    if (image->tiff != nullptr) {
        TIFFClose(image->tiff);
        image->tiff = nullptr;
    }
    if (image->file != nullptr) {
        std::fclose(image->file);
        image->file = nullptr;
    }
    if (!keepFile) {
        removeQuietly(image->temporary);
    }
    delete image;
}

// Fixes the photometric interpretation and the ink tags; libtiff accepts
// them until the first row is written.
bool configure(OcImage* image) {
    TIFF* t = image->tiff;
    const std::uint16_t n = image->channels;
    bool ok = true;
    if (n == 3 && image->photometricHint == OC_IMG_PHOTOMETRIC_LAB) {
        ok = TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_CIELAB) == 1;
    } else if (n == 1) {
        ok = TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE) == 1;
    } else if (n == 3 && image->inkNames.empty()) {
        ok = TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB) == 1;
    } else if (n == 4) {
        ok = TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED) == 1 &&
             TIFFSetField(t, TIFFTAG_INKSET, INKSET_CMYK) == 1;
        if (ok && !image->inkNames.empty()) {
            const std::string packed = packedNames(image->inkNames);
            ok = TIFFSetField(t, TIFFTAG_INKNAMES, static_cast<std::uint16_t>(packed.size()),
                              packed.c_str()) == 1;
        }
    } else {
        const std::vector<std::string> names =
            image->inkNames.empty() ? defaultInkNames(n) : image->inkNames;
        const std::string packed = packedNames(names);
        ok = TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED) == 1 &&
             TIFFSetField(t, TIFFTAG_INKSET, INKSET_MULTIINK) == 1 &&
             TIFFSetField(t, TIFFTAG_NUMBEROFINKS, n) == 1 &&
             TIFFSetField(t, TIFFTAG_INKNAMES, static_cast<std::uint16_t>(packed.size()),
                          packed.c_str()) == 1;
    }
    image->configured = ok;
    return ok;
}

bool setBasicFields(OcImage* image, float xDpi, float yDpi, std::int32_t compression) {
    TIFF* t = image->tiff;
    const std::uint64_t rowsPerStrip =
        std::clamp<std::uint64_t>(kStripBytes / image->rowBytes, 1, image->height);
    bool ok = TIFFSetField(t, TIFFTAG_IMAGEWIDTH, image->width) == 1 &&
              TIFFSetField(t, TIFFTAG_IMAGELENGTH, image->height) == 1 &&
              TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8) == 1 &&
              TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, image->channels) == 1 &&
              TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == 1 &&
              TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) == 1 &&
              TIFFSetField(t, TIFFTAG_XRESOLUTION, xDpi) == 1 &&
              TIFFSetField(t, TIFFTAG_YRESOLUTION, yDpi) == 1 &&
              TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH) == 1 &&
              TIFFSetField(t, TIFFTAG_COMPRESSION, compression) == 1 &&
              TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(rowsPerStrip)) == 1;
    // Horizontal differencing turns flat patches into zeros, which LZW and
    // Deflate then store in a few bits per run.
    if (ok && compression != OC_IMG_COMPRESSION_NONE) {
        ok = TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL) == 1;
    }
    return ok;
}

OcImage* createImage(const char* fileName, std::uint32_t width, std::uint32_t height, float xDpi,
                     float yDpi, std::int32_t bitsPerPixel, std::int32_t compression,
                     std::int32_t photometric) {
    if (fileName == nullptr || fileName[0] == '\0') {
        return failCreate("no file name");
    }
    if (width == 0 || height == 0) {
        return failCreate("page of zero size");
    }
    if (bitsPerPixel % 8 != 0 || bitsPerPixel < 8 || bitsPerPixel > 64 || bitsPerPixel == 16) {
        return failCreate("unsupported bits per pixel " + std::to_string(bitsPerPixel));
    }
    if (!(xDpi >= kMinDpi && xDpi <= kMaxDpi && yDpi >= kMinDpi && yDpi <= kMaxDpi)) {
        return failCreate("unusable resolution");
    }
    if (!validCompression(compression)) {
        return failCreate("unsupported compression " + std::to_string(compression));
    }
    if (photometric != OC_IMG_PHOTOMETRIC_AUTO && photometric != OC_IMG_PHOTOMETRIC_LAB) {
        return failCreate("unsupported photometric hint " + std::to_string(photometric));
    }
    const auto channels = static_cast<std::uint16_t>(bitsPerPixel / 8);
    const std::uint64_t rowBytes = ocImageRowBytes(width, channels);
    std::uint64_t pageBytes = 0;
    if (rowBytes > OC_IMG_MAX_ROW_BYTES || !ocImagePageBytes(rowBytes, height, &pageBytes) ||
        pageBytes > OC_IMG_MAX_PAGE_BYTES) {
        return failCreate("page of " + std::to_string(width) + " x " + std::to_string(height) +
                          " pixels x " + std::to_string(channels) + " channels is too large");
    }

    std::unique_ptr<OcImage> image(new (std::nothrow) OcImage);
    if (image == nullptr) {
        return failCreate("out of memory");
    }
    image->target = fileName;
    image->width = width;
    image->height = height;
    image->channels = channels;
    image->photometricHint = photometric;
    image->rowBytes = rowBytes;

    const bool big = worstCaseFileBytes(pageBytes, height, compression) > kClassicTiffLimit;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (options == nullptr) {
        return failCreate("out of memory");
    }
    TIFFOpenOptionsSetErrorHandlerExtR(options, recordTiffError, image.get());
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreTiffWarning, nullptr);
    image->temporary = GenChartLib::platform::createTempFileBeside(image->target, &image->file);
    if (!image->temporary.empty()) {
        image->tiff = TIFFClientOpenExt(image->temporary.c_str(), big ? "w8" : "w", image.get(),
                                        readFile, writeFile, seekFile, closeFile, fileSize,
                                        mapNothing, unmapNothing, options);
    }
    TIFFOpenOptionsFree(options);
    if (image->tiff == nullptr) {
        const std::string reason = "cannot create a new file beside " + image->target +
                                   (image->tiffError.empty() ? "" : " (" + image->tiffError + ")");
        destroy(image.release(), false);
        return failCreate(reason);
    }
    if (!setBasicFields(image.get(), xDpi, yDpi, compression)) {
        const std::string reason = "cannot set up " + image->target + ": " + image->tiffError;
        destroy(image.release(), false);
        return failCreate(reason);
    }
    try {
        image->row.resize(static_cast<std::size_t>(rowBytes));
    } catch (const std::bad_alloc&) {
        destroy(image.release(), false);
        return failCreate("out of memory for a row of " + std::to_string(rowBytes) + " bytes");
    }
    return image.release();
}

std::int32_t writeImageLine(OcImage* image, const std::uint8_t* bytes, std::uint64_t byteCount) {
    if (image == nullptr || bytes == nullptr) {
        return fail("no image or no row", OC_IMG_BAD_ARGUMENT);
    }
    if (byteCount != image->rowBytes) {
        return fail("row of " + std::to_string(byteCount) + " bytes, expected " +
                        std::to_string(image->rowBytes),
                    OC_IMG_BAD_ARGUMENT);
    }
    if (image->rowsWritten >= image->height) {
        return fail("more rows than the page has", OC_IMG_BAD_ARGUMENT);
    }
    if (!image->configured && !configure(image)) {
        return fail("cannot set up " + image->target + ": " + image->tiffError,
                    OC_IMG_WRITE_FAILED);
    }
    std::memcpy(image->row.data(), bytes, image->row.size());
    if (TIFFWriteScanline(image->tiff, image->row.data(), image->rowsWritten, 0) != 1) {
        return fail("cannot write " + image->target + ": " + image->tiffError, OC_IMG_WRITE_FAILED);
    }
    ++image->rowsWritten;
    return OC_IMG_OK;
}

std::int32_t closeImage(OcImage* image) {
    if (image == nullptr) {
        return fail("no image", OC_IMG_BAD_ARGUMENT);
    }
    if (image->rowsWritten != image->height) {
        const std::string reason = image->target + ": " + std::to_string(image->rowsWritten) +
                                   " of " + std::to_string(image->height) + " rows written";
        destroy(image, false);
        return fail(reason, OC_IMG_INCOMPLETE);
    }
    const bool flushed = TIFFFlush(image->tiff) == 1;
    TIFFClose(image->tiff);
    image->tiff = nullptr;
    if (!flushed || image->closeFailed) {
        const std::string reason = "cannot finish " + image->target + ": " + image->tiffError;
        destroy(image, false);
        return fail(reason, OC_IMG_WRITE_FAILED);
    }
    // Whatever stands at the page's name (an earlier page, a planted link)
    // stays as it is: the page is moved there only when the name is free.
    using GenChartLib::platform::RenameResult;
    const RenameResult moved =
        GenChartLib::platform::renameNoReplace(image->temporary, image->target);
    if (moved != RenameResult::Moved) {
        const std::string reason =
            "cannot move the page to " + image->target +
            (moved == RenameResult::TargetExists ? ": the name is taken" : "");
        destroy(image, false);
        return fail(reason, OC_IMG_WRITE_FAILED);
    }
    destroy(image, true);
    return OC_IMG_OK;
}

std::vector<std::string> splitNames(const char* value, std::uint32_t length) {
    std::vector<std::string> names;
    std::string current;
    for (std::uint32_t i = 0; i < length; ++i) {
        if (value[i] == '\0') {
            names.push_back(current);
            current.clear();
        } else {
            current += value[i];
        }
    }
    if (!current.empty()) {
        names.push_back(current);
    }
    return names;
}

std::int32_t setImageField(OcImage* image, std::uint32_t tag, const char* value,
                           std::uint32_t length) {
    if (image == nullptr || (value == nullptr && length != 0)) {
        return fail("no image or no value", OC_IMG_BAD_ARGUMENT);
    }
    if (tag == OC_IMG_TAG_IMAGE_DESCRIPTION) {
        const std::string text(value != nullptr ? value : "", length);
        if (TIFFSetField(image->tiff, TIFFTAG_IMAGEDESCRIPTION, text.c_str()) != 1) {
            return fail("cannot set the description: " + image->tiffError, OC_IMG_WRITE_FAILED);
        }
        return OC_IMG_OK;
    }
    if (tag == OC_IMG_TAG_INK_NAMES) {
        if (image->configured) {
            return fail("ink names after the first row", OC_IMG_BAD_ARGUMENT);
        }
        std::vector<std::string> names = splitNames(value, length);
        const bool usable = names.size() == image->channels && image->channels >= 3 &&
                            std::none_of(names.begin(), names.end(),
                                         [](const std::string& n) { return n.empty(); });
        if (!usable || (image->channels == 3 && image->photometricHint == OC_IMG_PHOTOMETRIC_LAB)) {
            return fail(std::to_string(names.size()) + " ink names for a page of " +
                            std::to_string(image->channels) + " channels",
                        OC_IMG_BAD_ARGUMENT);
        }
        image->inkNames = std::move(names);
        return OC_IMG_OK;
    }
    return fail("unsupported tag " + std::to_string(tag), OC_IMG_BAD_ARGUMENT);
}

void discardImage(OcImage* image) {
    if (image != nullptr) {
        destroy(image, false);
    }
}

const char* lastError() {
    return lastErrorText.c_str();
}

OcImage* create(const char* fileName, std::uint32_t width, std::uint32_t height, float xDpi,
                float yDpi, std::int32_t bitsPerPixel, std::int32_t compression,
                std::int32_t photometric) {
    try {
        return createImage(fileName, width, height, xDpi, yDpi, bitsPerPixel, compression,
                           photometric);
    } catch (...) {
        return failCreate("out of memory");
    }
}

// Nothing may unwind into the library through a C entry.
template <class F>
std::int32_t guarded(F&& f) {
    try {
        return f();
    } catch (...) {
        return fail("out of memory", OC_IMG_OUT_OF_MEMORY);
    }
}

std::int32_t writeLine(OcImage* image, const std::uint8_t* bytes, std::uint64_t byteCount) {
    return guarded([&] { return writeImageLine(image, bytes, byteCount); });
}

std::int32_t closeEntry(OcImage* image) {
    return guarded([&] { return closeImage(image); });
}

std::int32_t setField(OcImage* image, std::uint32_t tag, const char* value, std::uint32_t length) {
    return guarded([&] { return setImageField(image, tag, value, length); });
}

void discard(OcImage* image) {
    try {
        discardImage(image);
    } catch (...) {
    }
}

const OcImageWriterInterface kInterface = {
    sizeof(OcImageWriterInterface),
    OC_IMG_INTERFACE_VERSION,
    create,
    writeLine,
    closeEntry,
    setField,
    discard,
    lastError,
};

}  // namespace

extern "C" TIFFWRITER_EXPORT const OcImageWriterInterface* GetDbgInterface(void) {
    return &kInterface;
}
