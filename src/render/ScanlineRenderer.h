// Row-by-row rendering of a raster page's graphic objects into one reused
// line buffer. RasterImage streams the rows to the image writer; benchmarks
// drive the renderer directly.
#ifndef ORVOCHART_RENDER_SCANLINERENDERER_H
#define ORVOCHART_RENDER_SCANLINERENDERER_H

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include "render/GraphicObjects.h"
#include "render/Writers.h"

namespace GenChartLib {

// Over a sequence of list positions (the plain rectangles of a row, sorted
// by their left edge), finds the first entry from a given place on whose
// list position is above a given one: the nearest rectangle to the right
// that is asked after the last object found inside. A max tree answers in
// logarithmic time whatever order the layout added its objects in.
class LaterEntryFinder {
  public:
    void assign(const std::vector<std::int64_t>& listPositions) {
        count_ = listPositions.size();
        leaves_ = 1;
        while (leaves_ < count_) {
            leaves_ *= 2;
        }
        highest_.assign(2 * leaves_, -1);
        std::copy(listPositions.begin(), listPositions.end(),
                  highest_.begin() + static_cast<std::ptrdiff_t>(leaves_));
        for (std::size_t i = leaves_ - 1; i >= 1; --i) {
            highest_[i] = std::max(highest_[2 * i], highest_[2 * i + 1]);
        }
    }

    // The first entry at or after `from` whose list position exceeds
    // `position`; the entry count when there is none.
    std::size_t firstAbove(std::size_t from, std::int64_t position) const {
        if (from >= count_) {
            return count_;
        }
        std::size_t node = from + leaves_;
        while (highest_[node] <= position) {
            // Up while this node is a right child, then over to the subtree
            // covering the entries just after it.
            while ((node & 1u) != 0) {
                node >>= 1;
            }
            if (node == 0) {
                return count_;
            }
            ++node;
        }
        while (node < leaves_) {
            node *= 2;
            if (highest_[node] <= position) {
                ++node;
            }
        }
        return node - leaves_;
    }

  private:
    std::size_t count_ = 0;
    std::size_t leaves_ = 1;
    std::vector<std::int64_t> highest_;  // tree of maxima, leaves from leaves_
};

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
// - plain rectangles are answered from their boxes, swept left to right:
//   the ones containing x are inside, and of the ones further right only
//   the nearest asked after the last inside object can shorten the step;
// - a row whose objects all answer as on the row above is a copy of it;
// - a row is stepped into a list of spans first, and the line, which still
//   holds the row above, is repainted only where the two lists differ;
// - objects answer alike on both rows right of the reach of those whose
//   answers changed, so once a step lands there on a pixel the row above
//   stepped on too, the rest of the row above's steps and spans follow.
// Runs never exceed the union box's right edge once x >= 2, so untouched
// objects only matter on the first two columns, where every object is
// asked in list order as the contract words it; so is the first step of a
// row on which objects finish.
template <class W>
class ScanlineRenderer {
  public:
    using Object = std::unique_ptr<GraphicObject<W>>;
    using PixelColor = typename W::PixelColor;

    ScanlineRenderer(std::vector<Object>& objects, const RasterLine& line, bool frame,
                     std::uint32_t height)
        : objects_(objects),
          line_(line),
          frame_(frame),
          height_(height),
          paints_(paintsOn(line)),
          paper_(inkOf(W::paperColor())),
          black_(inkOf(W::blackColor())) {
        computeUnionBox();
        sortByTop();
        const std::size_t w = line_.widthPx;
        edgePixels_ = {0, 1, w >= 2 ? w - 2 : 0, w >= 1 ? w - 1 : 0};
    }

    void renderRow(std::uint32_t y) {
        const bool objectRow = !frameEdgeRow(y) && hasObjects_ && y >= top_ && y <= bottom_;
        if (!objectRow) {
            paintBackground(y);
            previousSpansValid_ = false;
            return;
        }
        const bool added = admitReached(y);
        const bool finishing = markFinishing(y);
        if (added && !finishing) {
            rebuildLanes();
        }
        // The line holds the row above, painted from its spans; with the
        // same list its steps are a guide to this row's.
        const bool followsObjectRow = previousSpansValid_ && previousRow_ + 1 == y;
        const bool sameList = followsObjectRow && !added && !finishing;
        const std::uint64_t sharedFrom = sameList ? sharedWalkFrom(previousRow_, y) : kNoSharedWalk;
        if (sharedFrom == 0 && !previousRowFinishing_) {
            // Every object answers as on the row above: the same spans.
            repaintUncoveredEdges(y);
        } else {
            spans_.clear();
            steps_.clear();
            const std::size_t sharedTail = stepThroughRow(y, finishing, sharedFrom);
            if (followsObjectRow) {
                repaintChangedSpans(sharedTail);
            } else {
                paintBackground(y);
                for (const Span& s : spans_) {
                    fill(s.x, s.count, s.ink);
                }
            }
            markCoveredEdges();
            repaintUncoveredEdges(y);
            std::swap(spans_, previousSpans_);
            std::swap(steps_, previousSteps_);
        }
        // A row on which objects finished was stepped with them still in
        // the list for its first step; the next row is stepped without.
        previousRowFinishing_ = finishing;
        previousSpansValid_ = true;
        previousRow_ = y;
    }

  private:
    // The frame: 2-pixel vertical dashes at both side edges, 10 rows on and
    // 10 off; 10-pixel horizontal dashes every 20 pixels along the top and
    // bottom two rows.
    static constexpr std::uint32_t kDashPeriod = 20;
    static constexpr std::uint32_t kDashLength = 10;
    static constexpr std::uint32_t kSideDashWidth = 2;

    // The bytes of one pixel of a colour on this page, worked out once per
    // object instead of once per span.
    using Ink = std::array<std::uint8_t, kMaxChannels>;

    struct Entry {
        GraphicObject<W>* object;
        std::int64_t index;  // position in the page's list
        std::uint32_t left;
        std::uint32_t right;
        std::uint64_t reach;   // nothing of the object lies right of reach
        std::int64_t lastRow;  // finished on every row below; -1 when hollow
        bool plainRect;        // answered from its box
        bool finishing;        // finished on this row: asked once, then dropped
        Ink ink;
    };

    struct GeneralAnswer {
        const Entry* entry;
        bool inside;
        std::uint32_t run;
    };

    // A step of a row: where it was taken and how many spans came before.
    struct Step {
        std::uint64_t x;
        std::size_t spanIndex;
    };

    // One fill of a row, in painting order.
    struct Span {
        std::size_t x;
        std::size_t count;
        Ink ink;

        bool operator==(const Span& o) const {
            return x == o.x && count == o.count &&
                   std::memcmp(ink.data(), o.ink.data(), ink.size()) == 0;
        }
    };

    // The writer fills nothing on a line whose channel count it cannot
    // write; neither does the renderer.
    static bool paintsOn(const RasterLine& line) {
        if constexpr (std::is_same_v<W, WriteSpotColor>) {
            return line.channels >= 1 && line.channels <= kMaxChannels;
        } else {
            return line.channels == W::kChannels;
        }
    }

    Ink inkOf(const PixelColor& color) const {
        if constexpr (std::is_same_v<W, WriteSpotColor>) {
            return W::pixelBytes(color, line_.channels);
        } else {
            Ink ink{};
            std::copy(color.channels.begin(), color.channels.end(), ink.begin());
            return ink;
        }
    }

    // Pixels x .. x + count - 1 in one colour; like the writer, a span
    // reaching past the right edge is dropped whole.
    void fill(std::size_t x, std::size_t count, const Ink& ink) {
        const std::size_t w = line_.widthPx;
        if (!paints_ || count == 0 || x > w || count > w - x) {
            return;
        }
        std::uint8_t* out = line_.data + x * line_.channels;
        switch (line_.channels) {
            case 1:
                std::memset(out, ink[0], count);
                break;
            case 2:
                fillRepeated<2>(out, count, ink);
                break;
            case 3:
                fillRepeated<3>(out, count, ink);
                break;
            case 4:
                fillRepeated<4>(out, count, ink);
                break;
            case 5:
                fillRepeated<5>(out, count, ink);
                break;
            case 6:
                fillRepeated<6>(out, count, ink);
                break;
            case 7:
                fillRepeated<7>(out, count, ink);
                break;
            default:  // 8, the most a page has (paintsOn)
                fillRepeated<8>(out, count, ink);
                break;
        }
    }

    // Short spans pixel by pixel with the width known to the compiler; long
    // ones double what is already written.
    template <std::size_t N>
    static void fillRepeated(std::uint8_t* out, std::size_t count, const Ink& ink) {
        constexpr std::size_t kSeedPixels = 16;
        const std::size_t seed = std::min(count, kSeedPixels);
        for (std::size_t i = 0; i < seed; ++i) {
            std::memcpy(out + i * N, ink.data(), N);
        }
        for (std::size_t done = seed; done < count;) {
            const std::size_t n = std::min(done, count - done);
            std::memcpy(out + done * N, out, n * N);
            done += n;
        }
    }

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

    std::int64_t lastPending() const {
        return nextPending_ < byTop_.size() ? lastPendingFrom_[nextPending_] : std::int64_t{-1};
    }

    // Brings the objects reaching row y into the active list, which stays in
    // list order. True when any came.
    bool admitReached(std::uint32_t y) {
        const std::size_t before = active_.size();
        while (nextPending_ < byTop_.size() && objects_[byTop_[nextPending_]]->top <= y) {
            const std::uint32_t index = byTop_[nextPending_++];
            GraphicObject<W>* o = objects_[index].get();
            const auto* rect = dynamic_cast<const Rect<W>*>(o);
            const Entry e{o,
                          index,
                          o->left,
                          o->right,
                          static_cast<std::uint64_t>(o->right) + 1,
                          o->hollow() ? std::int64_t{-1} : std::int64_t{o->bottom},
                          rect != nullptr && !rect->empty(),
                          false,
                          inkOf(o->color)};
            firstFinishRow_ = std::min(firstFinishRow_, e.lastRow + 1);
            active_.push_back(e);
        }
        if (active_.size() == before) {
            return false;
        }
        const auto byIndex = [](const Entry& a, const Entry& b) { return a.index < b.index; };
        const auto mid = active_.begin() + static_cast<std::ptrdiff_t>(before);
        std::sort(mid, active_.end(), byIndex);
        std::inplace_merge(active_.begin(), mid, active_.end(), byIndex);
        return true;
    }

    // Marks the objects finished on row y. True when there are any.
    bool markFinishing(std::uint32_t y) {
        if (static_cast<std::int64_t>(y) < firstFinishRow_) {
            return false;
        }
        for (Entry& e : active_) {
            e.finishing = static_cast<std::int64_t>(y) > e.lastRow;
        }
        return true;
    }

    // The objects that finished on this row leave the list for good.
    void dropFinishing() {
        std::size_t kept = 0;
        firstFinishRow_ = std::numeric_limits<std::int64_t>::max();
        for (const Entry& e : active_) {
            if (e.finishing) {
                objects_[static_cast<std::size_t>(e.index)].reset();
            } else {
                firstFinishRow_ = std::min(firstFinishRow_, e.lastRow + 1);
                active_[kept++] = e;
            }
        }
        active_.resize(kept);
        rebuildLanes();
    }

    // Splits the active list into the plain rectangles, sorted by their
    // left edge for the sweep, and the objects that must be asked.
    void rebuildLanes() {
        rects_.clear();
        generals_.clear();
        for (const Entry& e : active_) {
            (e.plainRect ? rects_ : generals_).push_back(e);
        }
        std::stable_sort(rects_.begin(), rects_.end(),
                         [](const Entry& a, const Entry& b) { return a.left < b.left; });
        rectPositions_.resize(rects_.size());
        for (std::size_t i = 0; i < rects_.size(); ++i) {
            rectPositions_[i] = rects_[i].index;
        }
        laterRect_.assign(rectPositions_);
        lastInList_ =
            std::max(lastPending(), active_.empty() ? std::int64_t{-1} : active_.back().index);
    }

    // The first x from which every object answers on row y1 as on row y0
    // (with the same list): just past the reach of the objects whose rows
    // differ, 0 when none does.
    std::uint64_t sharedWalkFrom(std::uint32_t y0, std::uint32_t y1) const {
        std::uint64_t from = 0;
        for (const Entry& e : generals_) {
            if (e.reach >= from && !e.object->sameRows(y0, y1)) {
                from = e.reach + 1;
            }
        }
        return from;
    }

    void paintBackground(std::uint32_t y) {
        fill(0, line_.widthPx, paper_);
        if (!frame_) {
            return;
        }
        const std::size_t w = line_.widthPx;
        if (y % kDashPeriod < kDashLength && w >= kSideDashWidth) {
            fill(0, kSideDashWidth, black_);
            fill(w - kSideDashWidth, kSideDashWidth, black_);
        }
        if (frameEdgeRow(y)) {
            for (std::size_t x = 0; x + kDashLength < w; x += kDashPeriod) {
                fill(x, kDashLength, black_);
            }
        }
    }

    // Pixels the row's spans leave uncovered show the background, whose
    // side dashes follow the row.
    void repaintUncoveredEdges(std::uint32_t y) {
        const bool dash = frame_ && y % kDashPeriod < kDashLength;
        for (std::size_t k = 0; k < edgePixels_.size(); ++k) {
            if (!edgeCovered_[k] && edgePixels_[k] < line_.widthPx) {
                fill(edgePixels_[k], 1, dash ? black_ : paper_);
            }
        }
    }

    void markCoveredEdges() {
        edgeCovered_ = {false, false, false, false};
        const std::size_t w = line_.widthPx;
        for (const Span& s : spans_) {
            if (s.x > 1 && s.x + s.count + 2 <= w) {
                continue;  // reaches neither side's two edge pixels
            }
            for (std::size_t k = 0; k < edgePixels_.size(); ++k) {
                edgeCovered_[k] =
                    edgeCovered_[k] || (edgePixels_[k] >= s.x && edgePixels_[k] - s.x < s.count);
            }
        }
    }

    // The line holds the row above, painted from `previousSpans_`. Spans
    // that both rows share at the start and the end of their lists paint
    // the same pixels last, except where a differing span reaches; so only
    // the stretch the differing spans cover is painted afresh.
    void repaintChangedSpans(std::size_t sharedTail) {
        const std::vector<Span>& before = previousSpans_;
        const std::vector<Span>& now = spans_;
        std::size_t head = 0;
        while (head + sharedTail < before.size() && head + sharedTail < now.size() &&
               before[head] == now[head]) {
            ++head;
        }
        std::size_t tail = sharedTail;
        while (tail < before.size() - head && tail < now.size() - head &&
               before[before.size() - 1 - tail] == now[now.size() - 1 - tail]) {
            ++tail;
        }
        std::size_t from = std::numeric_limits<std::size_t>::max();
        std::size_t to = 0;
        const auto widen = [&](const std::vector<Span>& spans) {
            for (std::size_t i = head; i + tail < spans.size(); ++i) {
                from = std::min(from, spans[i].x);
                to = std::max(to, spans[i].x + spans[i].count);
            }
        };
        widen(before);
        widen(now);
        if (from >= to) {
            return;
        }
        fill(from, to - from, paper_);
        // Spans start in the order of their steps, left to right.
        for (const Span& s : now) {
            if (s.x >= to) {
                break;
            }
            const std::size_t a = std::max(from, s.x);
            const std::size_t b = std::min(to, s.x + s.count);
            if (a < b) {
                fill(a, b - a, s.ink);
            }
        }
    }

    // A span the writer would drop is left out of the row.
    void record(std::uint64_t x, std::uint32_t run, const Ink& ink) {
        const std::size_t w = line_.widthPx;
        if (run == 0 || x > w || run > w - x) {
            return;
        }
        spans_.push_back({static_cast<std::size_t>(x), run, ink});
    }

    static std::uint64_t nextX(std::uint64_t x, bool lastIsInside, std::uint32_t lastRun,
                               std::uint32_t minRun) {
        if (lastIsInside) {
            return x + std::max<std::uint32_t>(lastRun, 1);
        }
        return x + (minRun >= 2 ? minRun - 1 : 1);
    }

    // Steps through row y, recording its steps and spans. From a landing x
    // at or past `sharedFrom` that the row above also stepped on, that
    // row's remaining steps and spans are taken over; returns how many
    // spans at the end were taken over.
    std::size_t stepThroughRow(std::uint32_t y, bool finishing, std::uint64_t sharedFrom) {
        std::uint64_t x = left_;
        restartSweep();
        std::size_t recorded = 0;
        while (x <= right_) {
            steps_.push_back({x, spans_.size()});
            if (finishing || x <= 1) {
                x = askEveryObject(x, y);
                if (finishing) {
                    finishing = false;
                    dropFinishing();
                    restartSweep();
                }
            } else {
                x = sweepStep(x, y);
            }
            if (x < sharedFrom) {
                continue;
            }
            while (recorded < previousSteps_.size() && previousSteps_[recorded].x < x) {
                ++recorded;
            }
            if (recorded < previousSteps_.size() && previousSteps_[recorded].x == x) {
                const std::size_t firstSpan = previousSteps_[recorded].spanIndex;
                const std::size_t firstStep = steps_.size();
                steps_.insert(steps_.end(),
                              previousSteps_.begin() + static_cast<std::ptrdiff_t>(recorded),
                              previousSteps_.end());
                for (std::size_t k = firstStep; k < steps_.size(); ++k) {
                    steps_[k].spanIndex = steps_[k].spanIndex - firstSpan + spans_.size();
                }
                spans_.insert(spans_.end(),
                              previousSpans_.begin() + static_cast<std::ptrdiff_t>(firstSpan),
                              previousSpans_.end());
                return previousSpans_.size() - firstSpan;
            }
        }
        return 0;
    }

    // One step exactly as the contract words it: every object in list order.
    std::uint64_t askEveryObject(std::uint64_t x, std::uint32_t y) {
        const std::uint32_t boxRight = right_;
        const auto px = static_cast<std::uint32_t>(x);
        const std::int64_t pending = lastPending();
        const std::int64_t lastInList =
            std::max(pending, active_.empty() ? std::int64_t{-1} : active_.back().index);
        std::uint32_t minRun = boxRight;
        std::int64_t lastInside = -1;
        std::uint32_t lastRun = 0;
        for (const Entry& e : active_) {
            if (e.finishing) {
                continue;  // removed after this step
            }
            if (x > e.reach) {
                minRun = std::min(minRun, boxRight);  // untouched
                continue;
            }
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
                record(x, run, e.ink);
                minRun = run;
                lastInside = e.index;
                lastRun = run;
            } else {
                minRun = std::min(minRun, run);
            }
        }
        if (pending > lastInside) {
            minRun = std::min(minRun, boxRight);  // untouched, not reached yet
        }
        return nextX(x, lastInside >= 0 && lastInside == lastInList, lastRun, minRun);
    }

    void restartSweep() {
        sweepNext_ = 0;
        open_.clear();
    }

    // Brings the rectangles containing x into the open set, kept in list
    // order, and lets those ending left of x go.
    void advanceSweep(std::uint64_t x) {
        while (sweepNext_ < rects_.size() && rects_[sweepNext_].left <= x) {
            if (rects_[sweepNext_].right >= x) {
                const std::int64_t index = rects_[sweepNext_].index;
                const auto at = std::find_if(open_.begin(), open_.end(), [&](std::size_t k) {
                    return rects_[k].index > index;
                });
                open_.insert(at, sweepNext_);
            }
            ++sweepNext_;
        }
        open_.erase(std::remove_if(open_.begin(), open_.end(),
                                   [&](std::size_t k) { return rects_[k].right < x; }),
                    open_.end());
    }

    // One step for x >= 2 with no object finishing: the same answers as
    // asking every object, from the sweep and the objects near x.
    std::uint64_t sweepStep(std::uint64_t x, std::uint32_t y) {
        const auto px = static_cast<std::uint32_t>(x);
        advanceSweep(x);
        answers_.clear();
        for (const Entry& e : generals_) {
            if (x > e.reach) {
                continue;  // untouched
            }
            bool inside = false;
            bool finished = false;
            std::uint32_t run = right_;
            e.object->hitTest({px, y}, inside, finished, run);
            answers_.push_back({&e, inside, run});
        }
        // Paint the inside objects in list order: the open rectangles and
        // the inside answers, both already in list order, merged.
        std::int64_t lastInside = -1;
        std::uint32_t lastRun = 0;
        std::size_t r = 0;
        std::size_t g = 0;
        while (true) {
            while (g < answers_.size() && !answers_[g].inside) {
                ++g;
            }
            const bool haveRect = r < open_.size();
            const bool haveGeneral = g < answers_.size();
            if (!haveRect && !haveGeneral) {
                break;
            }
            if (haveRect && (!haveGeneral || rects_[open_[r]].index < answers_[g].entry->index)) {
                const Entry& e = rects_[open_[r++]];
                lastRun = e.right - px + 1;
                lastInside = e.index;
                record(x, lastRun, e.ink);
            } else {
                const GeneralAnswer& a = answers_[g++];
                lastRun = a.run;
                lastInside = a.entry->index;
                record(x, lastRun, a.entry->ink);
            }
        }
        std::uint32_t minRun = lastInside >= 0 ? lastRun : right_;
        for (const GeneralAnswer& a : answers_) {
            if (!a.inside && a.entry->index > lastInside) {
                minRun = std::min(minRun, a.run);
            }
        }
        const std::size_t later = laterRect_.firstAbove(sweepNext_, lastInside);
        if (later < rects_.size()) {
            minRun = std::min(minRun, rects_[later].left - px + 1);
        }
        return nextX(x, lastInside >= 0 && lastInside == lastInList_, lastRun, minRun);
    }

    std::vector<Object>& objects_;
    RasterLine line_;
    bool frame_;
    std::uint32_t height_;
    bool paints_;
    Ink paper_;
    Ink black_;

    bool hasObjects_ = false;
    std::uint32_t left_ = 0;
    std::uint32_t top_ = 0;
    std::uint32_t right_ = 0;
    std::uint32_t bottom_ = 0;

    std::vector<std::uint32_t> byTop_;
    std::vector<std::int64_t> lastPendingFrom_;
    std::size_t nextPending_ = 0;
    std::vector<Entry> active_;  // reached and not yet finished, in list order
    std::int64_t firstFinishRow_ = std::numeric_limits<std::int64_t>::max();
    std::int64_t lastInList_ = -1;

    // The active list split for the sweep.
    std::vector<Entry> rects_;     // plain rectangles by left edge
    std::vector<Entry> generals_;  // everything else, in list order
    std::vector<std::int64_t> rectPositions_;
    LaterEntryFinder laterRect_;
    std::size_t sweepNext_ = 0;      // first rectangle starting right of x
    std::vector<std::size_t> open_;  // rectangles containing x, in list order
    std::vector<GeneralAnswer> answers_;

    static constexpr std::uint64_t kNoSharedWalk = std::numeric_limits<std::uint64_t>::max();
    std::vector<Span> spans_;  // the row being stepped
    std::vector<Step> steps_;
    std::vector<Span> previousSpans_;  // the row the line holds
    std::vector<Step> previousSteps_;
    bool previousSpansValid_ = false;
    bool previousRowFinishing_ = false;

    std::array<std::size_t, 4> edgePixels_{};
    std::array<bool, 4> edgeCovered_{};
    std::uint32_t previousRow_ = 0;
};

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_SCANLINERENDERER_H
