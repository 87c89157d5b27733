// The row loop of a raster page exactly as the page's contract states it,
// kept apart from the library as the reference the renderer is compared
// with (tests) and timed against (benchmarks).
#ifndef ORVOCHART_TESTS_RENDER_LITERALROWLOOP_H
#define ORVOCHART_TESTS_RENDER_LITERALROWLOOP_H

#include <algorithm>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "render/GraphicObjects.h"
#include "render/Writers.h"

namespace GenChartLib {
namespace rowloop {

using Rows = std::vector<std::vector<std::uint8_t>>;

template <class W>
using ObjectList = std::vector<std::unique_ptr<GraphicObject<W>>>;

// The row loop of a raster page, written out step by step as the page's
// contract gives it: every object still in the list is asked at every step.
template <class W>
Rows renderLiteral(ObjectList<W> objects, std::uint32_t width, std::uint32_t height,
                   unsigned channels, bool frame, bool keepRows = true) {
    std::list<std::unique_ptr<GraphicObject<W>>> list;
    for (auto& o : objects) {
        list.push_back(std::move(o));
    }
    const bool anyObject = !list.empty();
    std::uint32_t boxLeft = 0xFFFFFFFFu, boxTop = 0xFFFFFFFFu, boxRight = 0, boxBottom = 0;
    for (const auto& o : list) {
        boxLeft = std::min(boxLeft, o->left);
        boxTop = std::min(boxTop, o->top);
        boxRight = std::max(boxRight, o->right);
        boxBottom = std::max(boxBottom, o->bottom);
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(width) * channels);
    const RasterLine line{buffer.data(), width, channels};
    Rows rows;
    for (std::uint32_t y = 0; y < height; ++y) {
        W::fillSpan(line, 0, width, W::paperColor());
        bool skipObjects = false;
        if (frame) {
            if (y % 20 < 10) {
                W::fillSpan(line, 0, 2, W::blackColor());
                W::fillSpan(line, width - 2, 2, W::blackColor());
            }
            if (y <= 1 || y >= height - 2) {
                for (std::uint32_t x = 0; x + 10 < width; x += 20) {
                    W::fillSpan(line, x, 10, W::blackColor());
                }
                skipObjects = true;
            }
        }
        if (!skipObjects && anyObject && y >= boxTop && y <= boxBottom) {
            std::uint32_t x = boxLeft;
            while (x <= boxRight) {
                std::uint32_t minRun = boxRight;
                bool lastInside = false;
                std::uint32_t run = 0;
                for (auto it = list.begin(); it != list.end();) {
                    run = boxRight;
                    bool inside = false;
                    bool finished = false;
                    (*it)->hitTest({x, y}, inside, finished, run);
                    lastInside = inside;
                    if (finished) {
                        it = list.erase(it);
                        continue;
                    }
                    if (inside) {
                        W::fillSpan(line, x, run, (*it)->color);
                        minRun = run;
                    } else {
                        minRun = std::min(minRun, run);
                    }
                    ++it;
                }
                if (lastInside) {
                    x += std::max<std::uint32_t>(run, 1);
                } else {
                    x += minRun >= 2 ? minRun - 1 : 1;
                }
            }
        }
        if (keepRows) {
            rows.push_back(buffer);
        }
    }
    return rows;
}

}  // namespace rowloop
}  // namespace GenChartLib

#endif  // ORVOCHART_TESTS_RENDER_LITERALROWLOOP_H
