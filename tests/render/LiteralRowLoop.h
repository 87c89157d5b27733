// The row loop of a raster page exactly as the page's contract states it,
// kept apart from the library as the reference the renderer is compared
// with (tests) and timed against (benchmarks): written out step by step,
// every object still in the list is asked at every step.
#ifndef ORVOCHART_TESTS_RENDER_LITERALROWLOOP_H
#define ORVOCHART_TESTS_RENDER_LITERALROWLOOP_H

#include <algorithm>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "render/GraphicObjects.h"
#include "render/Writers.h"

namespace GenChartLib::rowloop {

using Rows = std::vector<std::vector<std::uint8_t>>;
template <class W>
using ObjectList = std::vector<std::unique_ptr<GraphicObject<W>>>;

template <class W>
Rows renderLiteral(ObjectList<W> objects, std::uint32_t width, std::uint32_t height,
                   unsigned channels, bool frame, bool keepRows = true) {
    // The union box; without objects its top lies below every row.
    std::uint32_t boxLeft = 0xFFFFFFFFu, boxTop = 0xFFFFFFFFu, boxRight = 0, boxBottom = 0;
    std::list<std::unique_ptr<GraphicObject<W>>> list;
    for (auto& o : objects) {
        boxLeft = std::min(boxLeft, o->left);
        boxTop = std::min(boxTop, o->top);
        boxRight = std::max(boxRight, o->right);
        boxBottom = std::max(boxBottom, o->bottom);
        list.push_back(std::move(o));
    }
    std::vector<std::uint8_t> buffer(std::size_t{width} * channels);
    const RasterLine line{buffer.data(), width, channels};
    Rows rows;
    for (std::uint32_t y = 0; y < height; ++y) {
        W::fillSpan(line, 0, width, W::paperColor());
        const bool dashRow = frame && (y <= 1 || y >= height - 2);
        if (frame && y % 20 < 10) {
            W::fillSpan(line, 0, 2, W::blackColor());
            W::fillSpan(line, width - 2, 2, W::blackColor());
        }
        for (std::uint32_t x = 0; dashRow && x + 10 < width; x += 20) {
            W::fillSpan(line, x, 10, W::blackColor());
        }
        for (std::uint32_t x = boxLeft;
             !dashRow && y >= boxTop && y <= boxBottom && x <= boxRight;) {
            std::uint32_t minRun = boxRight, run = 0;
            bool lastInside = false;
            for (auto it = list.begin(); it != list.end();) {
                run = boxRight;
                bool inside = false, finished = false;
                (*it)->hitTest({x, y}, inside, finished, run);
                lastInside = inside;
                if (finished) {
                    it = list.erase(it);
                    continue;
                }
                if (inside) {
                    W::fillSpan(line, x, run, (*it)->color);
                }
                minRun = inside ? run : std::min(minRun, run);
                ++it;
            }
            x += lastInside ? std::max<std::uint32_t>(run, 1) : minRun >= 2 ? minRun - 1 : 1;
        }
        if (keepRows) {
            rows.push_back(buffer);
        }
    }
    return rows;
}

}  // namespace GenChartLib::rowloop

#endif  // ORVOCHART_TESTS_RENDER_LITERALROWLOOP_H
