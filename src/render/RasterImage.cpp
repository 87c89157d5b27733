#include "render/RasterImage.h"

#include <algorithm>
#include <array>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "api/ErrorCodes.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kOpenLog = "RasterImage/open: %s";
constexpr const char* kWriteLog = "RasterImage/renderAndWrite: %s";
constexpr const char* kFieldLog = "RasterImage/setField: %s";

constexpr float kDotsPerInch = 254.0f;

// The frame: 2-pixel vertical dashes at both side edges, 10 rows on and
// 10 off; 10-pixel horizontal dashes every 20 pixels along the top and
// bottom two rows.
constexpr std::uint32_t kDashPeriod = 20;
constexpr std::uint32_t kDashLength = 10;
constexpr std::uint32_t kSideDashWidth = 2;

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

// ------------------------------------------------------------------ renderer

namespace {

// Draws the objects of one page row by row. The visiting rule is the
// page's contract: at each step x of a row every object still in the list is
// asked in list order; every object inside paints its run from x; the step
// is the run of the last object when that one is inside, else the smallest
// run minus one (at least 1), where an inside answer resets the smallest run
// to its own. Polygons answer per pixel, so the rows depend on exactly
// which pixels are visited; this class visits the same pixels and reaches
// the same answers without asking objects whose answer is known:
// - objects whose box starts below the row are untouched (run unchanged);
// - objects whose box ends left of x - 1 are untouched;
// - a plain rectangle's answer is computed from its box;
// - a row whose objects all answer as on the row above is a copy of it.
template <class W>
class ScanlineRenderer {
  public:
    using Object = std::unique_ptr<GraphicObject<W>>;
    using PixelColor = typename W::PixelColor;

    ScanlineRenderer(std::vector<Object>& objects, const RasterLine& line, bool frame,
                     std::uint32_t height)
        : objects_(objects), line_(line), frame_(frame), height_(height) {
        paper_ = W::paperColor();
        black_ = W::blackColor();
        computeUnionBox();
        sortByTop();
        const std::size_t w = line_.widthPx;
        edgePixels_ = {0, 1, w >= 2 ? w - 2 : 0, w >= 1 ? w - 1 : 0};
    }

    void renderRow(std::uint32_t y) {
        const bool objectRow = !frameEdgeRow(y) && hasObjects_ && y >= top_ && y <= bottom_;
        if (!objectRow) {
            paintBackground(y);
            previousRowReusable_ = false;
            return;
        }
        const bool membershipChanged = updateActive(y);
        if (previousRowReusable_ && !membershipChanged && previousRow_ + 1 == y &&
            activeRowsAgree(previousRow_, y)) {
            repaintUnpaintedEdges(y);
        } else {
            paintBackground(y);
            edgePainted_ = {false, false, false, false};
            stepThroughRow(y);
        }
        previousRowReusable_ = !membershipChanged;
        previousRow_ = y;
    }

  private:
    struct Entry {
        GraphicObject<W>* object;
        std::uint32_t index;  // position in the page's list
        std::uint32_t left;
        std::uint32_t right;
        std::uint64_t reach;  // nothing of the object lies right of reach
        bool plainRect;       // answered from its box
        bool finishing;       // finished on this row: asked once, then dropped
    };

    bool frameEdgeRow(std::uint32_t y) const {
        return frame_ && (y <= 1 || static_cast<std::uint64_t>(y) + 2 >= height_);
    }

    void computeUnionBox() {
        hasObjects_ = !objects_.empty();
        if (!hasObjects_) {
            return;
        }
        left_ = top_ = std::numeric_limits<std::uint32_t>::max();
        right_ = bottom_ = 0;
        for (const Object& o : objects_) {
            left_ = std::min(left_, o->left);
            top_ = std::min(top_, o->top);
            right_ = std::max(right_, o->right);
            bottom_ = std::max(bottom_, o->bottom);
        }
    }

    void sortByTop() {
        const std::size_t n = objects_.size();
        byTop_.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            byTop_[i] = static_cast<std::uint32_t>(i);
        }
        std::stable_sort(byTop_.begin(), byTop_.end(), [this](std::uint32_t a, std::uint32_t b) {
            return objects_[a]->top < objects_[b]->top;
        });
        // The last list position among the objects not yet reached.
        lastPendingFrom_.assign(n + 1, -1);
        for (std::size_t k = n; k-- > 0;) {
            lastPendingFrom_[k] = std::max<std::int64_t>(lastPendingFrom_[k + 1], byTop_[k]);
        }
    }

    // Brings objects reaching row y into the active list and marks those
    // that finish on it. True when the list differs from the row above.
    bool updateActive(std::uint32_t y) {
        bool changed = false;
        while (nextPending_ < byTop_.size() && objects_[byTop_[nextPending_]]->top <= y) {
            const std::uint32_t index = byTop_[nextPending_++];
            GraphicObject<W>* o = objects_[index].get();
            const auto* rect = dynamic_cast<const Rect<W>*>(o);
            Entry e{o,
                    index,
                    o->left,
                    o->right,
                    static_cast<std::uint64_t>(o->right) + 1,
                    rect != nullptr && !rect->empty(),
                    false};
            const auto at =
                std::lower_bound(active_.begin(), active_.end(), index,
                                 [](const Entry& a, std::uint32_t i) { return a.index < i; });
            active_.insert(at, e);
            changed = true;
        }
        for (Entry& e : active_) {
            e.finishing = y > e.object->bottom || e.object->hollow();
            changed = changed || e.finishing;
        }
        return changed;
    }

    bool activeRowsAgree(std::uint32_t y0, std::uint32_t y1) const {
        for (const Entry& e : active_) {
            if (!e.plainRect && !e.object->sameRows(y0, y1)) {
                return false;
            }
        }
        return true;
    }

    void paintBackground(std::uint32_t y) {
        W::fillSpan(line_, 0, line_.widthPx, paper_);
        if (!frame_) {
            return;
        }
        const std::size_t w = line_.widthPx;
        if (y % kDashPeriod < kDashLength && w >= kSideDashWidth) {
            W::fillSpan(line_, 0, kSideDashWidth, black_);
            W::fillSpan(line_, w - kSideDashWidth, kSideDashWidth, black_);
        }
        if (frameEdgeRow(y)) {
            for (std::size_t x = 0; x + kDashLength < w; x += kDashPeriod) {
                W::fillSpan(line_, x, kDashLength, black_);
            }
        }
    }

    // A reused row keeps what the objects painted; the frame dashes at the
    // side edges follow the row.
    void repaintUnpaintedEdges(std::uint32_t y) {
        const bool dash = frame_ && y % kDashPeriod < kDashLength;
        for (std::size_t k = 0; k < edgePixels_.size(); ++k) {
            if (!edgePainted_[k] && edgePixels_[k] < line_.widthPx) {
                W::fillSpan(line_, edgePixels_[k], 1, dash ? black_ : paper_);
            }
        }
    }

    void paint(std::uint64_t x, std::uint32_t run, const PixelColor& color) {
        const std::size_t w = line_.widthPx;
        if (run == 0 || x > w || run > w - x) {
            return;  // fillSpan drops a span reaching past the edge
        }
        W::fillSpan(line_, static_cast<std::size_t>(x), run, color);
        for (std::size_t k = 0; k < edgePixels_.size(); ++k) {
            edgePainted_[k] = edgePainted_[k] || (edgePixels_[k] >= x && edgePixels_[k] - x < run);
        }
    }

    void stepThroughRow(std::uint32_t y) {
        const std::uint32_t boxRight = right_;
        rowList_.assign(active_.begin(), active_.end());
        std::int64_t lastPending =
            nextPending_ < byTop_.size() ? lastPendingFrom_[nextPending_] : std::int64_t{-1};
        std::int64_t lastInList =
            std::max<std::int64_t>(lastPending, active_.empty() ? -1 : active_.back().index);
        bool firstStep = true;
        std::uint64_t x = left_;
        while (x <= boxRight) {
            const auto px = static_cast<std::uint32_t>(x);
            std::uint32_t minRun = boxRight;
            std::int64_t lastInside = -1;
            std::uint32_t lastRun = 0;
            std::size_t kept = 0;
            for (std::size_t i = 0; i < rowList_.size(); ++i) {
                const Entry& e = rowList_[i];
                if (e.finishing) {
                    continue;  // removed after this step
                }
                if (x > e.reach) {
                    // Untouched from here to the end of the row. Its run
                    // (boxRight) can only lower an inside run longer than
                    // boxRight, which needs x <= 1.
                    minRun = std::min(minRun, boxRight);
                    if (x >= 2) {
                        continue;
                    }
                    rowList_[kept++] = e;
                    continue;
                }
                rowList_[kept++] = e;
                bool inside = false;
                std::uint32_t run = boxRight;
                if (e.plainRect) {
                    if (px < e.left) {
                        run = e.left - px + 1;
                    } else if (px <= e.right) {
                        inside = true;
                        run = e.right - px + 1;
                    }
                } else {
                    bool finished = false;
                    e.object->hitTest({px, y}, inside, finished, run);
                }
                if (inside) {
                    paint(x, run, e.object->color);
                    minRun = run;
                    lastInside = e.index;
                    lastRun = run;
                } else {
                    minRun = std::min(minRun, run);
                }
            }
            rowList_.resize(kept);
            if (lastPending > lastInside) {
                minRun = std::min(minRun, boxRight);
            }
            if (lastInside >= 0 && lastInside == lastInList) {
                x += std::max<std::uint32_t>(lastRun, 1);
            } else {
                x += minRun >= 2 ? minRun - 1 : 1;
            }
            if (firstStep) {
                firstStep = false;
                dropFinishing();
                lastInList = std::max<std::int64_t>(lastPending,
                                                    active_.empty() ? -1 : active_.back().index);
            }
        }
    }

    // The objects that finished on this row leave the list for good.
    void dropFinishing() {
        std::size_t kept = 0;
        for (const Entry& e : active_) {
            if (e.finishing) {
                objects_[e.index].reset();
            } else {
                active_[kept++] = e;
            }
        }
        active_.resize(kept);
    }

    std::vector<Object>& objects_;
    RasterLine line_;
    bool frame_;
    std::uint32_t height_;
    PixelColor paper_;
    PixelColor black_;

    bool hasObjects_ = false;
    std::uint32_t left_ = 0;
    std::uint32_t top_ = 0;
    std::uint32_t right_ = 0;
    std::uint32_t bottom_ = 0;

    std::vector<std::uint32_t> byTop_;
    std::vector<std::int64_t> lastPendingFrom_;
    std::size_t nextPending_ = 0;
    std::vector<Entry> active_;
    std::vector<Entry> rowList_;

    std::array<std::size_t, 4> edgePixels_{};
    std::array<bool, 4> edgePainted_{};
    bool previousRowReusable_ = false;
    std::uint32_t previousRow_ = 0;
};

}  // namespace

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
