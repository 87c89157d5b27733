// Positions handed to page drawing: unsigned tenths of a millimetre from the
// page's top-left corner (x along the width, y down the height). On a raster
// page one tenth is one pixel; the PDF page divides by 10.0 again.
#ifndef ORVOCHART_RENDER_GEOMETRY_H
#define ORVOCHART_RENDER_GEOMETRY_H

#include <cstdint>

namespace GenChartLib {

struct Point {
    std::uint32_t x = 0;
    std::uint32_t y = 0;

    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
    bool operator!=(const Point& o) const { return !(*this == o); }
};

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_GEOMETRY_H
