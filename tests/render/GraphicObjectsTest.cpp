// Geometry of the raster page's objects: bounding boxes and the per-pixel
// answers the renderer asks for, with the values worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <memory>
#include <tuple>
#include <vector>

#include "render/GraphicObjects.h"

namespace GenChartLib {
namespace {

using C = WriteCMYK;
const C::PixelColor kBlue = C::blueColor();
using Box = std::array<std::uint32_t, 4>;  // left, top, right, bottom

Box box(const GraphicObject<C>& o) {
    return {o.left, o.top, o.right, o.bottom};
}

// What an object answers at a pixel: outside (the run says how far to
// the object), inside (the run says for how long) or finished (below it);
// never both of the last two.
enum State { Out, In, Done, InAndDone };

std::pair<State, std::uint32_t> ask(const GraphicObject<C>& o, std::uint32_t x, std::uint32_t y,
                                    std::uint32_t run = 777) {
    bool inside = true, finished = true;
    o.hitTest({x, y}, inside, finished, run);
    return {static_cast<State>(int{inside} + 2 * int{finished}), run};
}

TEST(Objects, BoxesAndAnswersWorkedOutByHand) {
    const Rect<C> rect({10, 10}, 20, 5, kBlue);
    const Circle<C> circle({50, 50}, 10, kBlue);
    const Circle<C> corner({3, 2}, 5, kBlue);  // clipped at the page corner
    const Polygone<C> triangle({{30, 5}, {10, 40}, {60, 25}}, kBlue);
    const Polygone<C> square({{10, 10}, {20, 10}, {20, 20}, {10, 20}}, kBlue);
    // Row 20 meets both side vertices: crossings 10, 10, 19, 19.
    const Polygone<C> diamond({{10, 20}, {14, 14}, {19, 20}, {14, 24}}, kBlue);
    // Row 10 passes through the right vertex, where both its edges cross,
    // and through the left side: 3 crossings.
    const Polygone<C> odd({{10, 0}, {20, 10}, {10, 20}}, kBlue);
    ComplexGraphicObject<C> both(kBlue);
    both.add(std::make_unique<Rect<C>>(Point{10, 0}, 20, 5, C::blackColor()));
    both.add(std::make_unique<Rect<C>>(Point{5, 0}, 36, 10, C::blackColor()));
    both.computeBounds();
    // '1' of size 8: q = 1, h = 2, n = 9; segment f runs from row 3 to row
    // 11, upright between rows 4 and 10 at x 0 .. 2.
    const Digit<C> one({0, 0}, 8, '1', kBlue);
    // Empty objects keep a zero box and are finished wherever asked.
    const Polygone<C> none({}, kBlue);
    ComplexGraphicObject<C> empty(kBlue);
    empty.computeBounds();
    EXPECT_TRUE(none.hollow() && empty.hollow());
    const Digit<C> dash({40, 40}, 16, '-', kBlue);
    EXPECT_EQ(dash.children.size(), 0u);

    // Circles are one pixel shorter right and below.
    const std::pair<Box, Box> boxes[] = {
        {box(rect), {10, 10, 29, 14}}, {box(circle), {40, 40, 59, 59}},
        {box(corner), {0, 0, 7, 6}},   {box(triangle), {10, 5, 60, 40}},
        {box(both), {5, 0, 40, 9}},    {box(none), {0, 0, 0, 0}},
        {box(empty), {0, 0, 0, 0}},    {box(dash), {0, 0, 0, 0}},
    };
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        EXPECT_EQ(boxes[i].first, boxes[i].second) << "box " << i;
    }
    // Each answer: x, y, state, run; a run of 777 is the caller's, untouched.
    using Answers = std::vector<std::tuple<std::uint32_t, std::uint32_t, State, std::uint32_t>>;
    const std::pair<const GraphicObject<C>&, Answers> cases[] = {
        // Starts 5 further right; the whole width; the last pixel; lies left;
        // the row above; the row below.
        {rect, {{5, 12, Out, 6}, {10, 12, In, 20}, {29, 12, In, 1}}},
        {rect, {{30, 12, Out, 777}, {15, 9, Out, 777}, {15, 15, Done, 777}}},
        // Rows are measured at their lower edge. Bottom row 59: dy = 10, one
        // pixel at the centre column. Top row 40: dy = -9, half-width
        // sqrt(19) = 4.36: pixels 45 .. 54. Row 49: dy = 0, half-width 10:
        // pixels 40 .. 60, one past the box.
        {circle, {{49, 59, Out, 2}, {50, 59, In, 1}, {51, 59, Out, 777}}},
        {circle, {{44, 40, Out, 2}, {45, 40, In, 10}, {55, 40, Out, 777}}},
        {circle, {{40, 49, In, 21}, {60, 49, In, 1}, {50, 39, Out, 777}, {50, 60, Done, 777}}},
        // Row 6 (centreY + radius - 1): one pixel at centreX. Row 0: dy = -1,
        // half-width 4.9; the left end, column -1.9, lands on 0.
        {corner, {{3, 6, In, 1}, {2, 6, Out, 2}, {0, 0, In, 8}}},
        // The top row's horizontal edge gives no crossing, the sides do; a
        // vertex; on the left edge the run reaches the right one.
        {square, {{5, 10, Out, 6}, {10, 10, In, 1}, {11, 10, In, 10}}},
        {square, {{10, 15, In, 11}, {14, 15, In, 7}, {21, 15, Out, 777}}},
        {square, {{15, 21, Done, 777}, {15, 9, Out, 777}}},
        // Outside the diamond the polygon turns ~0 degrees, inside 360.
        {diamond, {{5, 20, Out, 6}, {11, 20, In, 9}, {19, 20, In, 1}}},
        {odd, {{5, 10, In, 6}}},
        // Inside: the run of the first child holding the pixel, not 29.
        {both, {{12, 2, In, 18}, {6, 2, In, 35}, {2, 10, Done, 777}, {45, 2, Out, 777}}},
        // The top vertex of segment f is (q, q + 2).
        {one, {{0, 6, In, 3}, {3, 6, Out, 777}, {1, 3, In, 1}}},
        {none, {{0, 0, Done, 777}}},
        {empty, {{3, 0, Done, 777}}},
    };
    for (const auto& [object, answers] : cases) {
        for (const auto& [x, y, state, run] : answers) {
            EXPECT_EQ(ask(object, x, y), std::make_pair(state, run)) << x << ", " << y;
        }
    }
    // Left of both children: the smaller run; row 7: the first child is
    // finished, the second is not.
    EXPECT_EQ(ask(both, 0, 2, 40), std::make_pair(Out, 6u));
    EXPECT_EQ(ask(both, 2, 7, 40), std::make_pair(Out, 4u));
    // Zero width or height is never inside, even where the box wraps round.
    const Rect<C> narrow({5, 3}, 0, 4, kBlue), atEdge({0, 0}, 0, 4, kBlue),
        flat({0, 0}, 10, 0, kBlue);
    EXPECT_EQ(box(narrow), (Box{5, 3, 4, 6}));
    EXPECT_EQ(atEdge.right, 0xFFFFFFFFu);
    for (std::uint32_t x : {0u, 3u, 4u, 5u, 6u, 1000u}) {
        EXPECT_NE(ask(narrow, x, 3).first, In) << x;
        EXPECT_NE(ask(atEdge, x, 3).first, In) << x;
        EXPECT_NE(ask(flat, x, 0).first, In) << x;
    }
}

// The number in a 6 mm box, the line and the diamond are read back from a
// page in ChartPageTest; here the edge cases.
TEST(PageBuilders, NumbersInBoxesAndDiamonds) {
    // Tall boxes cap the size at 20: digit height 2s + h + 5 = 50.
    const auto tall = makeNumberInBox<C>({0, 300}, 400, 8, kBlue);
    EXPECT_EQ(tall->bottom - tall->top, 2 * 20 + 5 + 5 - 1u);
    // Near the top edge the origin (2 - 6 + 2 = -2) stays on the page; an
    // '8' begins one row below its origin.
    EXPECT_EQ(makeNumberInBox<C>({0, 2}, 8, 8, kBlue)->top, 1u);
    EXPECT_EQ(makeDiamond<C>({10, 20}, 10, 10, kBlue)->vertices,
              (std::vector<Point>{{10, 20}, {14, 14}, {19, 20}, {14, 24}}));
}

TEST(PageBuilders, ArrowsPointRightUpAndLeft) {
    struct Arrow {
        Point tip;
        std::uint32_t angle;
        Box shaft;
        std::vector<Point> head;
    };
    // Width 30, length 150: heads 150 / 3 deep, shafts 30 / 2 across.
    const Arrow arrows[] = {
        // ISis feed arrow: tip (130, 5), up.
        {{130, 5}, 90, {123, 55, 137, 166}, {{130, 5}, {145, 55}, {115, 55}}},
        {{300, 50}, 0, {100, 43, 249, 57}, {{300, 50}, {250, 65}, {250, 35}}},
        {{100, 50}, 180, {150, 43, 261, 57}, {{100, 50}, {150, 65}, {150, 35}}},
    };
    for (const Arrow& a : arrows) {
        SCOPED_TRACE(a.angle);
        const auto arrow = makeRasterArrow<C>(a.tip, 30, 150, a.angle, kBlue);
        ASSERT_NE(arrow, nullptr);
        ASSERT_EQ(arrow->children.size(), 2u);
        const auto* shaft = dynamic_cast<const Rect<C>*>(arrow->children[0].get());
        const auto* head = dynamic_cast<const Polygone<C>*>(arrow->children[1].get());
        ASSERT_TRUE(shaft != nullptr && head != nullptr);
        EXPECT_EQ(box(*shaft), a.shaft);
        EXPECT_EQ(head->vertices, a.head);
    }
    // Other angles: a head collapsed onto (0, 0); above 180 nothing.
    const auto odd = makeRasterArrow<C>({100, 50}, 30, 150, 45, kBlue);
    ASSERT_EQ(odd->children.size(), 1u);
    EXPECT_EQ(box(*odd), (Box{0, 0, 0, 0}));
    EXPECT_EQ(makeRasterArrow<C>({100, 50}, 30, 150, 181, kBlue), nullptr);
}

}  // namespace
}  // namespace GenChartLib
