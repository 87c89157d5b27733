// The drawable objects of a raster page: rectangles, circles, polygons and
// composites (seven-segment digits and numbers). The page renderer never
// draws an object itself; it walks the page row by row and asks each object,
// for one pixel, whether the pixel lies inside it and how far the run of
// equal answers reaches to the right (hitTest).
//
// Coordinates are unsigned pixels, one pixel = 0.1 mm; x grows to the right,
// y downwards, (0, 0) is the top-left pixel. Bounding boxes are inclusive on
// all four sides.
#ifndef ORVOCHART_RENDER_GRAPHICOBJECTS_H
#define ORVOCHART_RENDER_GRAPHICOBJECTS_H

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "render/Geometry.h"
#include "render/Writers.h"

namespace GenChartLib {

template <class W>
class GraphicObject {
  public:
    using PixelColor = typename W::PixelColor;

    explicit GraphicObject(const PixelColor& fill) : color(fill) {}
    virtual ~GraphicObject() = default;
    GraphicObject(const GraphicObject&) = default;
    GraphicObject& operator=(const GraphicObject&) = delete;

    // The renderer's question for pixel p. Every implementation starts with
    // finished = true, inside = false. On return:
    // - finished: row p.y lies below the object, it is never inside again;
    // - inside: p is inside and `run` pixels from p to the right are;
    // - otherwise: `run` is the distance to the first inside pixel further
    //   right plus one, or left as the caller set it when nothing of the
    //   object lies right of p on this row.
    virtual void hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const = 0;
    virtual void computeBounds() = 0;

    // True when hitTest gives the same answer for every x on rows y0 and y1
    // (both within the box). The renderer reuses a row it has already drawn
    // when every object on it says so; false is always safe.
    virtual bool sameRows(std::uint32_t y0, std::uint32_t y1) const = 0;

    // True for an object without any shape (a polygon without vertices, a
    // composite without children or with hollow children only): it reports
    // finished wherever it is asked.
    // Every other object is finished exactly on the rows below its box, is
    // untouched on the rows above it, and is untouched right of right + 1
    // (a circle may reach one pixel past its box).
    virtual bool hollow() const { return false; }

    // The colour the renderer fills the object with.
    PixelColor color;
    // Bounding box, zero until computed.
    std::uint32_t left = 0;
    std::uint32_t top = 0;
    std::uint32_t right = 0;
    std::uint32_t bottom = 0;
};

template <class W>
class Rect : public GraphicObject<W> {
  public:
    using PixelColor = typename W::PixelColor;

    Rect(Point topLeft, std::uint32_t widthPx, std::uint32_t heightPx, const PixelColor& fill);

    void hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const override;
    void computeBounds() override;
    bool sameRows(std::uint32_t, std::uint32_t) const override { return true; }

    // Zero width or height: the box wraps, but the rectangle covers nothing.
    bool empty() const { return width == 0 || height == 0; }

    std::uint32_t x;
    std::uint32_t y;
    std::uint32_t width;
    std::uint32_t height;
};

template <class W>
class Circle : public GraphicObject<W> {
  public:
    using PixelColor = typename W::PixelColor;

    Circle(Point center, std::uint32_t radiusPx, const PixelColor& fill);

    void hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const override;
    void computeBounds() override;
    bool sameRows(std::uint32_t y0, std::uint32_t y1) const override;

    std::uint32_t centerX;
    std::uint32_t centerY;
    std::uint32_t radius;

  private:
    struct RowSpan {
        bool valid;
        std::uint32_t xLeft;
        std::uint32_t xRight;
    };
    // The inside pixels xLeft..xRight of row y (within the box).
    RowSpan rowSpan(std::uint32_t y) const;
};

template <class W>
class Polygone : public GraphicObject<W> {
  public:
    using PixelColor = typename W::PixelColor;

    Polygone(std::vector<Point> corners, const PixelColor& fill);
    Polygone(const Polygone& other) = default;

    void hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const override;
    void computeBounds() override;
    bool sameRows(std::uint32_t y0, std::uint32_t y1) const override;
    bool hollow() const override { return vertices.empty(); }

    // In drawing order; the last vertex connects back to the first.
    std::vector<Point> vertices;

  private:
    // Sum of the absolute turns of the direction from p to the vertices,
    // vertex by vertex around the polygon, in degrees.
    double turnedAngle(Point p) const;
};

template <class W>
class ComplexGraphicObject : public GraphicObject<W> {
  public:
    using PixelColor = typename W::PixelColor;
    using Child = std::unique_ptr<GraphicObject<W>>;

    explicit ComplexGraphicObject(const PixelColor& fill) : GraphicObject<W>(fill) {}

    void hitTest(Point p, bool& inside, bool& finished, std::uint32_t& run) const override;
    // Union of the children's boxes; a composite without children keeps its
    // box. Call it again after adding children.
    void computeBounds() override;
    bool sameRows(std::uint32_t y0, std::uint32_t y1) const override;
    // Children without shape report finished wherever they are asked, and
    // so does a composite of nothing else.
    bool hollow() const override {
        return std::all_of(children.begin(), children.end(),
                           [](const Child& c) { return c->hollow(); });
    }

    void add(Child child) { children.push_back(std::move(child)); }

    // Only the composite's own colour is used when it is rendered.
    std::vector<Child> children;
};

// One seven-segment character of height about 2 * size.
template <class W>
class Digit : public ComplexGraphicObject<W> {
  public:
    using PixelColor = typename W::PixelColor;

    // Any character other than '0'..'9' gives a digit without segments.
    Digit(Point origin, std::uint32_t size, char character, const PixelColor& fill);
};

// A row of digits: `value` in decimal without leading zeros, the digits 10
// pixels apart. The digits are black; the number renders in its own colour.
template <class W>
class Number : public ComplexGraphicObject<W> {
  public:
    using PixelColor = typename W::PixelColor;

    Number(Point origin, std::uint32_t size, std::uint32_t value, const PixelColor& fill);
};

// Page-level builders.

// A number fitted to a box of boxHeight pixels whose top-left corner is p:
// digit size min(boxHeight / 4, 20), vertically centred (6 pixels higher).
template <class W>
std::unique_ptr<Number<W>> makeNumberInBox(Point p, std::uint32_t boxHeight, std::uint32_t value,
                                           const typename W::PixelColor& color);

// A diamond marker: left corner at p, width and height in pixels.
template <class W>
std::unique_ptr<Polygone<W>> makeDiamond(Point p, std::uint32_t width, std::uint32_t height,
                                         const typename W::PixelColor& color);

// A line on a raster page: a bar `length` pixels long and 2 high at p.
template <class W>
std::unique_ptr<Rect<W>> makeRasterLine(Point p, std::uint32_t length,
                                        const typename W::PixelColor& color);

// An arrow with its tip at `tip`, pointing right (0), up (90) or left (180):
// a shaft and a triangular head. Other angles up to 180 give a degenerate
// head at (0, 0) only; angles above 180 give nothing (null).
template <class W>
std::unique_ptr<ComplexGraphicObject<W>> makeRasterArrow(Point tip, std::uint32_t width,
                                                         std::uint32_t length,
                                                         std::uint32_t angleDeg,
                                                         const typename W::PixelColor& color);

#define ORVOCHART_GRAPHIC_OBJECTS_EXTERN(W)                                           \
    extern template class GraphicObject<W>;                                           \
    extern template class Rect<W>;                                                    \
    extern template class Circle<W>;                                                  \
    extern template class Polygone<W>;                                                \
    extern template class ComplexGraphicObject<W>;                                    \
    extern template class Digit<W>;                                                   \
    extern template class Number<W>;                                                  \
    extern template std::unique_ptr<Number<W>> makeNumberInBox<W>(                    \
        Point, std::uint32_t, std::uint32_t, const W::PixelColor&);                   \
    extern template std::unique_ptr<Polygone<W>> makeDiamond<W>(                      \
        Point, std::uint32_t, std::uint32_t, const W::PixelColor&);                   \
    extern template std::unique_ptr<Rect<W>> makeRasterLine<W>(Point, std::uint32_t,  \
                                                               const W::PixelColor&); \
    extern template std::unique_ptr<ComplexGraphicObject<W>> makeRasterArrow<W>(      \
        Point, std::uint32_t, std::uint32_t, std::uint32_t, const W::PixelColor&);

ORVOCHART_GRAPHIC_OBJECTS_EXTERN(WriteCMYK)
ORVOCHART_GRAPHIC_OBJECTS_EXTERN(WriteCMYKO)
ORVOCHART_GRAPHIC_OBJECTS_EXTERN(WriteCMYKOG)
ORVOCHART_GRAPHIC_OBJECTS_EXTERN(WriteCMYKRGB)
ORVOCHART_GRAPHIC_OBJECTS_EXTERN(WriteLAB)
ORVOCHART_GRAPHIC_OBJECTS_EXTERN(WriteRGB)
ORVOCHART_GRAPHIC_OBJECTS_EXTERN(WriteSpotColor)

#undef ORVOCHART_GRAPHIC_OBJECTS_EXTERN

}  // namespace GenChartLib

#endif  // ORVOCHART_RENDER_GRAPHICOBJECTS_H
