// Row-by-row rendering of a raster page's graphic objects into one reused
// line buffer. RasterImage streams the rows to the image writer; benchmarks
// drive the renderer directly.
#ifndef ORVOCHART_RENDER_SCANLINERENDERER_H
#define ORVOCHART_RENDER_SCANLINERENDERER_H

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "render/GraphicObjects.h"
#include "render/Writers.h"

namespace GenChartLib {

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
    // The frame: 2-pixel vertical dashes at both side edges, 10 rows on and
    // 10 off; 10-pixel horizontal dashes every 20 pixels along the top and
    // bottom two rows.
    static constexpr std::uint32_t kDashPeriod = 20;
    static constexpr std::uint32_t kDashLength = 10;
    static constexpr std::uint32_t kSideDashWidth = 2;

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

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_SCANLINERENDERER_H
