#include "render/GraphicObjects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

namespace GenChartLib {

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

// A double pixel position truncated toward zero onto the unsigned pixel
// axis. Positions left of pixel 0 (a circle clipped by the page edge) land
// on pixel 0; a NaN never reaches a float-to-integer conversion.
std::uint32_t truncatedPixel(double v) {
    if (!(v > 0.0)) {
        return 0;
    }
    if (v >= 4294967295.0) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(v);
}

// A builder's coordinate computed with signed arithmetic, kept on the page:
// marks drawn close to the top or left edge would otherwise wrap round.
std::uint32_t pageCoordinate(std::int64_t v) {
    if (v < 0) {
        return 0;
    }
    if (v > std::numeric_limits<std::uint32_t>::max()) {
        return std::numeric_limits<std::uint32_t>::max();
    }
    return static_cast<std::uint32_t>(v);
}

// The crossings of one row with a polygon's edges; most polygons have a
// handful, so they live on the stack.
class CrossingList {
  public:
    void push(std::uint32_t v) {
        if (count_ < inline_.size()) {
            inline_[count_] = v;
        } else {
            if (count_ == inline_.size()) {
                spill_.assign(inline_.begin(), inline_.end());
            }
            spill_.push_back(v);
        }
        ++count_;
    }
    std::size_t size() const { return count_; }
    std::uint32_t* begin() { return count_ <= inline_.size() ? inline_.data() : spill_.data(); }
    std::uint32_t* end() { return begin() + count_; }
    std::uint32_t operator[](std::size_t i) { return begin()[i]; }

  private:
    std::array<std::uint32_t, 16> inline_{};
    std::vector<std::uint32_t> spill_;
    std::size_t count_ = 0;
};

// Direction from p to v in degrees, -180..180.
double bearingDeg(Point p, Point v) {
    const double dy = static_cast<double>(v.y) - static_cast<double>(p.y);
    const double dx = static_cast<double>(v.x) - static_cast<double>(p.x);
    return std::atan2(dy, dx) * kDegreesPerRadian;
}

}  // namespace

// ---------------------------------------------------------------- Rect

template <class W>
Rect<W>::Rect(Point topLeft, std::uint32_t widthPx, std::uint32_t heightPx, const PixelColor& fill)
    : GraphicObject<W>(fill), x(topLeft.x), y(topLeft.y), width(widthPx), height(heightPx) {
    computeBounds();
}

template <class W>
void Rect<W>::computeBounds() {
    this->left = x;
    this->top = y;
    this->right = x + width - 1;
    this->bottom = y + height - 1;
}

template <class W>
void Rect<W>::hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const {
    finished = true;
    inside = false;
    if (p.y > this->bottom) {
        return;
    }
    finished = false;
    if (p.y < this->top) {
        return;
    }
    // A rectangle of no width or height at the page's top or left edge has a
    // box that wraps round the whole axis; it still covers nothing.
    if (empty()) {
        if (p.x < this->left) {
            run = this->left - p.x + 1;
        }
        return;
    }
    if (p.x >= this->left && p.x <= this->right) {
        inside = true;
        run = this->right - p.x + 1;
    } else if (p.x < this->left) {
        run = this->left - p.x + 1;
    }
}

// ---------------------------------------------------------------- Circle

template <class W>
Circle<W>::Circle(Point center, std::uint32_t radiusPx, const PixelColor& fill)
    : GraphicObject<W>(fill), centerX(center.x), centerY(center.y), radius(radiusPx) {
    computeBounds();
}

template <class W>
void Circle<W>::computeBounds() {
    this->left = radius > centerX ? 0 : centerX - radius;
    this->top = radius > centerY ? 0 : centerY - radius;
    this->right = centerX + radius - 1;
    this->bottom = centerY + radius - 1;
}

template <class W>
typename Circle<W>::RowSpan Circle<W>::rowSpan(std::uint32_t y) const {
    // The row is measured at its lower edge (y + 1): the bottom row of the
    // box has a single pixel, the top row a half-width of sqrt(2r - 1).
    const double dy = (static_cast<double>(y) + 1.0) - static_cast<double>(centerY);
    // The square of the radius is an unsigned 32-bit product; for radii of
    // 65536 pixels (6.5 m) and more it wraps, and rows whose width would be
    // imaginary stay empty.
    const std::uint32_t radiusSquared = radius * radius;
    const double halfSquared = static_cast<double>(radiusSquared) - dy * dy;
    if (!(halfSquared >= 0.0)) {
        return {false, 0, 0};
    }
    const double half = std::sqrt(halfSquared);
    const double cx = static_cast<double>(centerX);
    return {true, truncatedPixel(cx - half), truncatedPixel(cx + half)};
}

template <class W>
void Circle<W>::hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const {
    finished = true;
    inside = false;
    if (p.y > this->bottom) {
        return;
    }
    finished = false;
    if (p.y < this->top) {
        return;
    }
    const RowSpan span = rowSpan(p.y);
    if (!span.valid) {
        return;
    }
    if (p.x < span.xLeft) {
        run = (span.xLeft - p.x) + 1;
    } else if (p.x <= span.xRight) {
        inside = true;
        run = (span.xRight - p.x) + 1;
    }
}

template <class W>
bool Circle<W>::sameRows(std::uint32_t y0, std::uint32_t y1) const {
    const RowSpan a = rowSpan(y0);
    const RowSpan b = rowSpan(y1);
    return a.valid == b.valid && (!a.valid || (a.xLeft == b.xLeft && a.xRight == b.xRight));
}

// ---------------------------------------------------------------- Polygone

template <class W>
Polygone<W>::Polygone(std::vector<Point> corners, const PixelColor& fill)
    : GraphicObject<W>(fill), vertices(std::move(corners)) {
    computeBounds();
}

template <class W>
void Polygone<W>::computeBounds() {
    if (vertices.empty()) {
        return;
    }
    std::uint32_t minX = vertices.front().x;
    std::uint32_t maxX = minX;
    std::uint32_t minY = vertices.front().y;
    std::uint32_t maxY = minY;
    for (const Point& v : vertices) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        minY = std::min(minY, v.y);
        maxY = std::max(maxY, v.y);
    }
    this->left = minX;
    this->top = minY;
    this->right = maxX;
    this->bottom = maxY;
}

template <class W>
double Polygone<W>::turnedAngle(Point p) const {
    const std::size_t n = vertices.size();
    double sum = 0.0;
    // Each bearing is worked out once and used for the turns on both sides.
    const double firstBearing = bearingDeg(p, vertices[0]);
    double previousBearing = firstBearing;
    for (std::size_t i = 1; i <= n; ++i) {
        const double bearing = i < n ? bearingDeg(p, vertices[i]) : firstBearing;
        double turn = bearing - previousBearing;
        if (turn > 180.0) {
            turn -= 360.0;
        } else if (turn < -180.0) {
            turn += 360.0;
        }
        sum += std::fabs(turn);
        previousBearing = bearing;
    }
    return sum;
}

template <class W>
void Polygone<W>::hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const {
    finished = true;
    inside = false;
    if (vertices.empty()) {
        return;
    }
    for (const Point& v : vertices) {
        if (v == p) {
            inside = true;
            finished = false;
            run = 1;
            return;
        }
    }
    // Scan-line crossings right of p, as distances from p plus one.
    CrossingList crossings;
    const std::size_t n = vertices.size();
    Point prev = vertices[0];
    for (std::size_t i = 1; i <= n; ++i) {
        const Point cur = vertices[i % n];
        if (p.y <= std::max(prev.y, cur.y)) {
            finished = false;
            if (p.y >= std::min(prev.y, cur.y) && p.x <= std::max(prev.x, cur.x) &&
                cur.y != prev.y) {
                const double xi = (static_cast<double>(p.y) - static_cast<double>(prev.y)) *
                                      (static_cast<double>(cur.x) - static_cast<double>(prev.x)) /
                                      (static_cast<double>(cur.y) - static_cast<double>(prev.y)) +
                                  static_cast<double>(prev.x);
                if (xi >= static_cast<double>(p.x)) {
                    crossings.push(truncatedPixel(xi + 0.5) - p.x + 1);
                }
            }
        }
        prev = cur;
    }
    if (crossings.size() == 0) {
        return;
    }
    if (crossings.size() == 1) {
        inside = true;
        finished = false;
        run = crossings[0];
        return;
    }
    std::sort(crossings.begin(), crossings.end());
    if (crossings.size() % 2 == 1) {
        inside = true;
        run = crossings[0];
        return;
    }
    if (crossings[0] == crossings[1]) {
        // The row passes through a vertex where two edges meet: whether p is
        // inside follows from how far the polygon turns round p.
        run = crossings[0];
        if (turnedAngle(p) >= 359.0) {
            inside = true;
            finished = false;
        }
    } else if (crossings[0] == 1) {
        // p lies on an edge.
        inside = true;
        finished = false;
        run = crossings[1];
    } else {
        run = crossings[0];
    }
}

template <class W>
bool Polygone<W>::sameRows(std::uint32_t y0, std::uint32_t y1) const {
    if (y0 == y1) {
        return true;
    }
    // Equal answers need the same edges crossing both rows, all of them
    // upright (their crossing does not move), at distinct columns (no vertex
    // test is ever needed), and no vertex on either row.
    std::array<std::uint32_t, 16> columns{};
    std::size_t count = 0;
    const std::size_t n = vertices.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = vertices[i];
        const Point b = vertices[(i + 1) % n];
        if (a.y == y0 || a.y == y1) {
            return false;
        }
        const std::uint32_t lo = std::min(a.y, b.y);
        const std::uint32_t hi = std::max(a.y, b.y);
        const bool crosses0 = y0 >= lo && y0 <= hi;
        const bool crosses1 = y1 >= lo && y1 <= hi;
        if (crosses0 != crosses1) {
            return false;
        }
        if (!crosses0 || a.y == b.y) {
            continue;
        }
        if (a.x != b.x || count == columns.size()) {
            return false;
        }
        for (std::size_t k = 0; k < count; ++k) {
            if (columns[k] == a.x) {
                return false;
            }
        }
        columns[count++] = a.x;
    }
    return true;
}

// ---------------------------------------------------------------- composites

template <class W>
void ComplexGraphicObject<W>::computeBounds() {
    if (children.empty()) {
        return;
    }
    this->left = children.front()->left;
    this->top = children.front()->top;
    this->right = children.front()->right;
    this->bottom = children.front()->bottom;
    for (const Child& c : children) {
        this->left = std::min(this->left, c->left);
        this->top = std::min(this->top, c->top);
        this->right = std::max(this->right, c->right);
        this->bottom = std::max(this->bottom, c->bottom);
    }
}

template <class W>
void ComplexGraphicObject<W>::hitTest(Point p, bool& inside, bool& finished,
                                      std::uint32_t& run) const {
    finished = true;
    inside = false;
    bool allFinished = true;
    bool haveSmaller = false;
    std::uint32_t smallest = 0;
    for (const Child& child : children) {
        bool childFinished = true;
        std::uint32_t childRun = run;
        // A child that cannot answer but "untouched" is not asked: rows below
        // its box finish it, rows above and columns past its reach leave the
        // run as it is.
        if (p.y > child->bottom) {
            continue;
        }
        if (p.y < child->top ||
            (static_cast<std::uint64_t>(p.x) > static_cast<std::uint64_t>(child->right) + 1 &&
             !child->hollow())) {
            allFinished = false;
            continue;
        }
        child->hitTest(p, inside, childFinished, childRun);
        allFinished = allFinished && childFinished;
        if (childRun < run) {
            smallest = haveSmaller ? std::min(smallest, childRun) : childRun;
            haveSmaller = true;
        }
        if (inside) {
            finished = false;
            run = childRun;
            return;
        }
    }
    finished = allFinished;
    if (haveSmaller) {
        run = smallest;
    }
}

template <class W>
bool ComplexGraphicObject<W>::sameRows(std::uint32_t y0, std::uint32_t y1) const {
    for (const Child& child : children) {
        const bool in0 = y0 >= child->top && y0 <= child->bottom;
        const bool in1 = y1 >= child->top && y1 <= child->bottom;
        if (in0 != in1 || (in0 && !child->sameRows(y0, y1))) {
            return false;
        }
    }
    return true;
}

template <class W>
Digit<W>::Digit(Point origin, std::uint32_t size, char character, const PixelColor& fill)
    : ComplexGraphicObject<W>(fill) {
    static constexpr const char* kSegmentsOf[10] = {
        "afedcb", "fe", "abged", "abcdg", "fgbc", "afgcd", "afgecd", "abc", "afedcbg", "afgbc"};
    if (character < '0' || character > '9') {
        return;
    }
    const std::uint32_t s = size;
    const std::uint32_t q = s / 8;
    const std::uint32_t h = 2 * s / 8;
    const std::uint32_t n = 9 * s / 8;
    const std::vector<Point> horizontal = {{q + 1, q + 1}, {h + 1, 1},     {s + 1, 1},
                                           {n + 1, q + 1}, {s + 1, h + 1}, {h + 1, h + 1}};
    const std::vector<Point> vertical = {{q, q + 2}, {h, h + 2}, {h, s + 2},
                                         {q, n + 2}, {0, s + 2}, {0, h + 2}};
    const std::uint32_t x0 = origin.x;
    const std::uint32_t y0 = origin.y;
    auto segment = [&](char name) {
        const bool isHorizontal = name == 'a' || name == 'd' || name == 'g';
        Point offset{x0, y0};
        switch (name) {
            case 'b':
                offset = {x0 + s + 2, y0};
                break;
            case 'c':
                offset = {x0 + s + 2, y0 + s + 2};
                break;
            case 'd':
                offset = {x0, y0 + 2 * (s + 2)};
                break;
            case 'e':
            case 'g':
                offset = {x0, y0 + s + 2};
                break;
            default:
                break;
        }
        std::vector<Point> corners = isHorizontal ? horizontal : vertical;
        for (Point& c : corners) {
            c = {c.x + offset.x, c.y + offset.y};
        }
        this->add(std::make_unique<Polygone<W>>(std::move(corners), fill));
    };
    for (const char* c = kSegmentsOf[character - '0']; *c != '\0'; ++c) {
        segment(*c);
    }
    this->computeBounds();
}

template <class W>
Number<W>::Number(Point origin, std::uint32_t size, std::uint32_t value, const PixelColor& fill)
    : ComplexGraphicObject<W>(fill) {
    std::uint32_t x = origin.x;
    for (char c : std::to_string(value)) {
        auto digit = std::make_unique<Digit<W>>(Point{x, origin.y}, size, c, W::blackColor());
        x = x + (digit->right - digit->left) + 10;
        this->add(std::move(digit));
    }
    this->computeBounds();
}

// ---------------------------------------------------------------- builders

template <class W>
std::unique_ptr<Number<W>> makeNumberInBox(Point p, std::uint32_t boxHeight, std::uint32_t value,
                                           const typename W::PixelColor& color) {
    const std::uint32_t size = std::min<std::uint32_t>(boxHeight / 4, 20);
    const std::int64_t y = static_cast<std::int64_t>(p.y) - 6 + (boxHeight - 2 * size) / 2;
    return std::make_unique<Number<W>>(Point{p.x, pageCoordinate(y)}, size, value, color);
}

template <class W>
std::unique_ptr<Polygone<W>> makeDiamond(Point p, std::uint32_t width, std::uint32_t height,
                                         const typename W::PixelColor& color) {
    const std::int64_t x = p.x;
    const std::int64_t y = p.y;
    const std::int64_t halfW = width / 2;
    const std::int64_t halfH = height / 2;
    std::vector<Point> corners = {
        p,
        {pageCoordinate(x - 1 + halfW), pageCoordinate(y - halfH - 1)},
        {pageCoordinate(x - 1 + width), p.y},
        {pageCoordinate(x - 1 + halfW), pageCoordinate(y - 1 + halfH)},
    };
    return std::make_unique<Polygone<W>>(std::move(corners), color);
}

template <class W>
std::unique_ptr<Rect<W>> makeRasterLine(Point p, std::uint32_t length,
                                        const typename W::PixelColor& color) {
    return std::make_unique<Rect<W>>(p, length, 2, color);
}

template <class W>
std::unique_ptr<ComplexGraphicObject<W>> makeRasterArrow(Point tip, std::uint32_t width,
                                                         std::uint32_t length,
                                                         std::uint32_t angleDeg,
                                                         const typename W::PixelColor& color) {
    if (angleDeg > 180) {
        return nullptr;
    }
    const std::int64_t tx = tip.x;
    const std::int64_t ty = tip.y;
    const std::int64_t w = width;
    const std::int64_t len = length;
    auto at = [](std::int64_t x, std::int64_t y) {
        return Point{pageCoordinate(x), pageCoordinate(y)};
    };

    auto arrow = std::make_unique<ComplexGraphicObject<W>>(color);
    std::vector<Point> head(3, Point{0, 0});
    if (angleDeg == 0) {
        arrow->add(std::make_unique<Rect<W>>(at(tx - len / 3 - len, ty - w / 4), length, width / 2,
                                             color));
        head = {tip, at(tx - len / 3, ty + w / 2), at(tx - len / 3, ty - w / 2)};
    } else if (angleDeg == 90) {
        arrow->add(std::make_unique<Rect<W>>(at(tx - w / 4, ty + len / 3), width / 2,
                                             3 * length / 4, color));
        head = {tip, at(tx + w / 2, ty + len / 3), at(tx - w / 2, ty + len / 3)};
    } else if (angleDeg == 180) {
        arrow->add(std::make_unique<Rect<W>>(at(tx + len / 3, ty - w / 4), 3 * length / 4,
                                             width / 2, color));
        head = {tip, at(tx + len / 3, ty + w / 2), at(tx + len / 3, ty - w / 2)};
    }
    arrow->add(std::make_unique<Polygone<W>>(std::move(head), color));
    arrow->computeBounds();
    return arrow;
}

#define ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(W)                                                \
    template class GraphicObject<W>;                                                            \
    template class Rect<W>;                                                                     \
    template class Circle<W>;                                                                   \
    template class Polygone<W>;                                                                 \
    template class ComplexGraphicObject<W>;                                                     \
    template class Digit<W>;                                                                    \
    template class Number<W>;                                                                   \
    template std::unique_ptr<Number<W>> makeNumberInBox<W>(Point, std::uint32_t, std::uint32_t, \
                                                           const W::PixelColor&);               \
    template std::unique_ptr<Polygone<W>> makeDiamond<W>(Point, std::uint32_t, std::uint32_t,   \
                                                         const W::PixelColor&);                 \
    template std::unique_ptr<Rect<W>> makeRasterLine<W>(Point, std::uint32_t,                   \
                                                        const W::PixelColor&);                  \
    template std::unique_ptr<ComplexGraphicObject<W>> makeRasterArrow<W>(                       \
        Point, std::uint32_t, std::uint32_t, std::uint32_t, const W::PixelColor&);

ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(WriteCMYK)
ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(WriteCMYKO)
ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(WriteCMYKOG)
ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(WriteCMYKRGB)
ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(WriteLAB)
ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(WriteRGB)
ORVOCHART_GRAPHIC_OBJECTS_INSTANTIATE(WriteSpotColor)

}  // namespace GenChartLib
