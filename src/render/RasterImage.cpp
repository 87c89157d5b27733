#include "render/RasterImage.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"
#include "render/ScanlineRenderer.h"

namespace GenChartLib {

namespace {

constexpr const char* kOpenLog = "RasterImage/open: %s";
constexpr const char* kWriteLog = "RasterImage/renderAndWrite: %s";
constexpr const char* kFieldLog = "RasterImage/setField: %s";

constexpr float kDotsPerInch = 254.0f;

std::string moduleReason(const OcImageWriterInterface* writer) {
    const char* text = writer != nullptr && writer->lastError != nullptr ? writer->lastError() : "";
    return text != nullptr ? text : "";
}

}  // namespace

bool isPrinterEmbedded(IdMeasureInstrument instrument) {
    switch (instrument) {
        case MI_HPZ_UVCUT:
        case MI_HPZ:
        case MI_EPSON:
        case MI_CANON:
        case MI_EPSONILS30:
            return true;
        default:
            return false;
    }
}

bool acceptImageWriter(const OcImageWriterInterface* table, std::string* reason) {
    if (table == nullptr) {
        *reason = "no interface";
        return false;
    }
    if (table->version != OC_IMG_INTERFACE_VERSION ||
        table->structSize < sizeof(OcImageWriterInterface)) {
        *reason = "interface version " + std::to_string(table->version) + " of " +
                  std::to_string(table->structSize) + " bytes, expected version " +
                  std::to_string(OC_IMG_INTERFACE_VERSION) + " of " +
                  std::to_string(sizeof(OcImageWriterInterface)) + " bytes";
        return false;
    }
    if (table->create == nullptr || table->writeLine == nullptr || table->close == nullptr ||
        table->setField == nullptr || table->discard == nullptr || table->lastError == nullptr) {
        *reason = "interface has empty entries";
        return false;
    }
    return true;
}

std::int32_t bitsPerPixelOf(int channels) {
    if (channels == 1 || (channels >= 3 && channels <= static_cast<int>(kMaxChannels))) {
        return 8 * channels;
    }
    throw std::runtime_error("Unsupported colorspace");
}

// ------------------------------------------------------------------ page

template <class W>
RasterImage<W>::RasterImage(int channels, std::string fileName, std::uint32_t widthPx,
                            std::uint32_t heightPx, IdMeasureInstrument instrument,
                            int photometricHint)
    : RasterImage(channels, std::move(fileName), widthPx, heightPx, instrument, photometricHint,
                  platform::moduleFileName(OC_IMG_MODULE_BASE_NAME)) {}

template <class W>
RasterImage<W>::RasterImage(int channels, std::string fileName, std::uint32_t widthPx,
                            std::uint32_t heightPx, IdMeasureInstrument instrument,
                            int photometricHint, const std::string& moduleFile)
    : channels_(channels),
      fileName_(std::move(fileName)),
      width_(widthPx),
      height_(heightPx),
      instrument_(instrument),
      photometricHint_(photometricHint) {
    load(moduleFile);
}

template <class W>
RasterImage<W>::~RasterImage() {
    objects_.clear();
    discard();
    if (module_ != nullptr) {
        platform::unloadModule(module_);
    }
}

// A module that is missing or stale leaves the interface null; the page
// reports it when it is opened.
template <class W>
void RasterImage<W>::load(const std::string& moduleFile) {
    std::string error;
    module_ = platform::loadModule(moduleFile, &error);
    if (module_ == nullptr) {
        debugLog(kOpenLog, 0, 0, (moduleFile + ": " + error).c_str());
        return;
    }
    auto* getInterface = reinterpret_cast<OcImageWriterGetInterface>(
        platform::findEntry(module_, OC_IMG_ENTRY_NAME));
    if (getInterface == nullptr) {
        debugLog(kOpenLog, 0, 0, (moduleFile + ": no entry " OC_IMG_ENTRY_NAME).c_str());
        return;
    }
    const OcImageWriterInterface* table = getInterface();
    if (!acceptImageWriter(table, &error)) {
        debugLog(kOpenLog, 0, 0, (moduleFile + ": " + error).c_str());
        return;
    }
    writer_ = table;
}

template <class W>
void RasterImage<W>::open() {
    if (writer_ == nullptr) {
        logError(kOpenLog, ERR_LOAD_LIBRARY);
        throw ERR_LOAD_LIBRARY;
    }
    const std::int32_t bitsPerPixel = bitsPerPixelOf(channels_);
    const std::int32_t photometric =
        bitsPerPixel == 24 && photometricHint_ == OC_IMG_PHOTOMETRIC_LAB ? OC_IMG_PHOTOMETRIC_LAB
                                                                         : OC_IMG_PHOTOMETRIC_AUTO;
    discard();
    handle_ = writer_->create(fileName_.c_str(), width_, height_, kDotsPerInch, kDotsPerInch,
                              bitsPerPixel, OC_IMG_COMPRESSION_LZW, photometric);
    if (handle_ == nullptr) {
        debugLog(kOpenLog, 0, 0, (fileName_ + ": " + moduleReason(writer_)).c_str());
        logError(kOpenLog, ERR_TIFF_HEADER);
        throw ERR_TIFF_HEADER;
    }
}

template <class W>
void RasterImage<W>::add(Object object) {
    if (object != nullptr) {
        objects_.push_back(std::move(object));
    }
}

template <class W>
void RasterImage<W>::setField(std::uint32_t tag, const std::string& value) {
    if (handle_ == nullptr || writer_ == nullptr) {
        debugLog(kFieldLog, 0, 0, "no open image");
        return;
    }
    if (value.size() > std::numeric_limits<std::uint32_t>::max()) {
        debugLog(kFieldLog, 0, 0, "value too long");
        return;
    }
    const std::int32_t result =
        writer_->setField(handle_, tag, value.data(), static_cast<std::uint32_t>(value.size()));
    if (result != OC_IMG_OK) {
        debugLog(kFieldLog, 0, 0, moduleReason(writer_).c_str());
    }
}

template <class W>
void RasterImage<W>::discard() {
    if (handle_ != nullptr && writer_ != nullptr) {
        writer_->discard(handle_);
    }
    handle_ = nullptr;
}

template <class W>
void RasterImage<W>::renderAndWrite(IdMeasureInstrument instrument) {
    const std::uint64_t rowBytes =
        ocImageRowBytes(width_, static_cast<std::uint32_t>(std::max(channels_, 0)));
    std::vector<std::uint8_t> buffer;
    try {
        if (rowBytes > buffer.max_size()) {
            throw std::bad_alloc();
        }
        buffer.assign(static_cast<std::size_t>(rowBytes), 0);
    } catch (const std::bad_alloc&) {
        logError(kWriteLog, ERR_ALLOC_RASTER);
        throw ERR_ALLOC_RASTER;
    } catch (const std::length_error&) {
        logError(kWriteLog, ERR_ALLOC_RASTER);
        throw ERR_ALLOC_RASTER;
    }
    if (handle_ == nullptr) {
        logError(kWriteLog, ERR_OPEN_FILE);
        throw ERR_OPEN_FILE;
    }
    const RasterLine line{buffer.data(), width_, static_cast<unsigned>(channels_)};
    ScanlineRenderer<W> renderer(objects_, line, !isPrinterEmbedded(instrument), height_);
    for (std::uint32_t y = 0; y < height_; ++y) {
        renderer.renderRow(y);
        if (writer_->writeLine(handle_, buffer.data(), rowBytes) != OC_IMG_OK) {
            debugLog(kWriteLog, 0, 0, (fileName_ + ": " + moduleReason(writer_)).c_str());
            objects_.clear();
            discard();
            logError(kWriteLog, ERR_OPEN_FILE);
            throw ERR_OPEN_FILE;
        }
    }
    objects_.clear();
    OcImage* finished = std::exchange(handle_, nullptr);
    if (writer_->close(finished) != OC_IMG_OK) {
        debugLog(kWriteLog, 0, 0, (fileName_ + ": " + moduleReason(writer_)).c_str());
        logError(kWriteLog, ERR_OPEN_FILE);
        throw ERR_OPEN_FILE;
    }
}

template class RasterImage<WriteCMYK>;
template class RasterImage<WriteCMYKO>;
template class RasterImage<WriteCMYKOG>;
template class RasterImage<WriteCMYKRGB>;
template class RasterImage<WriteLAB>;
template class RasterImage<WriteRGB>;
template class RasterImage<WriteSpotColor>;

}  // namespace GenChartLib
