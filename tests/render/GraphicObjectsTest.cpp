// Geometry of the raster page's objects: bounding boxes and the per-pixel
// answers the renderer asks for, with the values worked out by hand.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "render/GraphicObjects.h"

namespace GenChartLib {
namespace {

using C = WriteCMYK;
using Color = C::PixelColor;

const Color kBlue = C::blueColor();

struct Answer {
    bool inside;
    bool finished;
    std::uint32_t run;
};

// Asks `o` about p with the caller's run preset to `preset`.
Answer ask(const GraphicObject<C>& o, std::uint32_t x, std::uint32_t y,
           std::uint32_t preset = 777) {
    Answer a{true, true, preset};
    o.hitTest({x, y}, a.inside, a.finished, a.run);
    return a;
}

void expectBox(const GraphicObject<C>& o, std::uint32_t l, std::uint32_t t, std::uint32_t r,
               std::uint32_t b) {
    EXPECT_EQ(o.left, l);
    EXPECT_EQ(o.top, t);
    EXPECT_EQ(o.right, r);
    EXPECT_EQ(o.bottom, b);
}

#define EXPECT_ANSWER(a, in, fin, r)  \
    do {                              \
        const Answer got = (a);       \
        EXPECT_EQ(got.inside, in);    \
        EXPECT_EQ(got.finished, fin); \
        EXPECT_EQ(got.run, r);        \
    } while (0)

// ------------------------------------------------------------ Rect

TEST(RectObject, BoxAndAnswersAroundARectangle) {
    const Rect<C> r({10, 10}, 20, 5, kBlue);
    expectBox(r, 10, 10, 29, 14);
    EXPECT_ANSWER(ask(r, 5, 12), false, false, 6u);     // starts 5 further right
    EXPECT_ANSWER(ask(r, 10, 12), true, false, 20u);    // whole width
    EXPECT_ANSWER(ask(r, 29, 12), true, false, 1u);     // last pixel
    EXPECT_ANSWER(ask(r, 30, 12), false, false, 777u);  // lies left: run untouched
    EXPECT_ANSWER(ask(r, 15, 9), false, false, 777u);   // row above
    EXPECT_ANSWER(ask(r, 15, 15), false, true, 777u);   // row below: finished
    EXPECT_EQ(r.color, kBlue);
}

TEST(RectObject, ZeroWidthIsNeverInsideEvenWhenItsBoxWraps) {
    const Rect<C> narrow({5, 3}, 0, 4, kBlue);
    expectBox(narrow, 5, 3, 4, 6);
    for (std::uint32_t x = 0; x < 10; ++x) {
        EXPECT_FALSE(ask(narrow, x, 4).inside) << x;
    }
    const Rect<C> atEdge({0, 0}, 0, 4, kBlue);
    EXPECT_EQ(atEdge.right, 0xFFFFFFFFu);
    for (std::uint32_t x : {0u, 1u, 1000u}) {
        EXPECT_FALSE(ask(atEdge, x, 2).inside) << x;
    }
    const Rect<C> flat({0, 0}, 10, 0, kBlue);
    EXPECT_FALSE(ask(flat, 3, 0).inside);
}

// ------------------------------------------------------------ Circle

TEST(CircleObject, BoxIsOnePixelShorterRightAndBelowAndRowsAreMeasuredAtTheirLowerEdge) {
    const Circle<C> c({50, 50}, 10, kBlue);
    expectBox(c, 40, 40, 59, 59);
    // Bottom row 59: dy = 10, a single pixel at the centre column.
    EXPECT_ANSWER(ask(c, 49, 59), false, false, 2u);
    EXPECT_ANSWER(ask(c, 50, 59), true, false, 1u);
    EXPECT_ANSWER(ask(c, 51, 59), false, false, 777u);
    // Top row 40: dy = -9, half-width sqrt(19) = 4.36: pixels 45 .. 54.
    EXPECT_ANSWER(ask(c, 44, 40), false, false, 2u);
    EXPECT_ANSWER(ask(c, 45, 40), true, false, 10u);
    EXPECT_ANSWER(ask(c, 55, 40), false, false, 777u);
    // Row 49: dy = 0, half-width 10: pixels 40 .. 60, one past the box.
    EXPECT_ANSWER(ask(c, 40, 49), true, false, 21u);
    EXPECT_ANSWER(ask(c, 60, 49), true, false, 1u);
    EXPECT_ANSWER(ask(c, 50, 39), false, false, 777u);
    EXPECT_ANSWER(ask(c, 50, 60), false, true, 777u);
}

TEST(CircleObject, ClippedAtThePageCornerTheBoxAndRowsStartAtZero) {
    const Circle<C> c({3, 2}, 5, kBlue);
    expectBox(c, 0, 0, 7, 6);
    // Row 6 (centreY + radius - 1): one pixel at centreX.
    EXPECT_ANSWER(ask(c, 3, 6), true, false, 1u);
    EXPECT_ANSWER(ask(c, 2, 6), false, false, 2u);
    // Row 0: dy = -1, half-width sqrt(24) = 4.9; the left end would be
    // column -1.9 and lands on column 0.
    EXPECT_ANSWER(ask(c, 0, 0), true, false, 8u);
}

TEST(CircleObject, RowsRepeatOnlyWhenTheirSpansAreEqual) {
    const Circle<C> c({50, 50}, 10, kBlue);
    EXPECT_TRUE(c.sameRows(49, 49));
    // Rows 48 (dy -1, 9.95) and 49 (dy 0, 10): pixels 40..59 and 40..60.
    EXPECT_FALSE(c.sameRows(48, 49));
    // Rows 47 (dy -2, 9.80) and 48: 40..59 both.
    EXPECT_TRUE(c.sameRows(47, 48));
}

// ------------------------------------------------------------ Polygone

TEST(PolygonObject, BoxSpansTheVerticesAndASquareAnswersAtEdgesAndVertices) {
    const Polygone<C> p({{30, 5}, {10, 40}, {60, 25}}, kBlue);
    const Polygone<C> copy(p);
    expectBox(copy, 10, 5, 60, 40);
    EXPECT_EQ(copy.vertices.size(), 3u);
    const Polygone<C> sq({{10, 10}, {20, 10}, {20, 20}, {10, 20}}, kBlue);
    // Top row: the horizontal edge gives no crossing; the two sides do.
    EXPECT_ANSWER(ask(sq, 5, 10), false, false, 6u);
    EXPECT_ANSWER(ask(sq, 10, 10), true, false, 1u);  // a vertex
    EXPECT_ANSWER(ask(sq, 11, 10), true, false, 10u);
    // Middle row: on the left edge, the run reaches the right edge.
    EXPECT_ANSWER(ask(sq, 10, 15), true, false, 11u);
    EXPECT_ANSWER(ask(sq, 14, 15), true, false, 7u);
    EXPECT_ANSWER(ask(sq, 21, 15), false, false, 777u);
    EXPECT_ANSWER(ask(sq, 15, 21), false, true, 777u);
    EXPECT_ANSWER(ask(sq, 15, 9), false, false, 777u);
}

TEST(PolygonObject, RowThroughAVertexWhereTwoEdgesMeetAsksHowFarThePolygonTurns) {
    // The diamond (10,20) (14,14) (19,20) (14,24): row 20 meets both side
    // vertices, giving crossings 10, 10, 19, 19.
    const Polygone<C> d({{10, 20}, {14, 14}, {19, 20}, {14, 24}}, kBlue);
    EXPECT_ANSWER(ask(d, 5, 20), false, false, 6u);  // outside: turns ~0 degrees
    EXPECT_ANSWER(ask(d, 11, 20), true, false, 9u);  // inside: turns 360 degrees
    EXPECT_ANSWER(ask(d, 19, 20), true, false, 1u);  // vertex
}

TEST(PolygonObject, OddCrossingCountsCountAsInside) {
    // Row 10 of (10,0) (20,10) (10,20) passes through the right vertex,
    // where both its edges cross, and through the left side: 3 crossings.
    const Polygone<C> t({{10, 0}, {20, 10}, {10, 20}}, kBlue);
    EXPECT_ANSWER(ask(t, 5, 10), true, false, 6u);
}

TEST(PolygonObject, RowsRepeatWhereAllCrossingEdgesAreUpright) {
    // A vertical segment shape of a digit of size 16 at the origin: edges
    // x = 0 and x = 4 between rows 6 and 18.
    const Polygone<C> v({{2, 4}, {4, 6}, {4, 18}, {2, 20}, {0, 18}, {0, 6}}, kBlue);
    EXPECT_TRUE(v.sameRows(10, 11));
    EXPECT_FALSE(v.sameRows(5, 6));  // row 6 holds vertices
    EXPECT_FALSE(v.sameRows(4, 5));  // slanted edges
    const Polygone<C> slanted({{0, 0}, {10, 20}, {0, 20}}, kBlue);
    EXPECT_FALSE(slanted.sameRows(10, 11));
}

// ------------------------------------------------------------ composites

TEST(CompositeObject, InsideWithTheRunOfTheFirstChildHoldingThePixel) {
    ComplexGraphicObject<C> both(kBlue);
    both.add(std::make_unique<Rect<C>>(Point{10, 0}, 20, 5, C::blackColor()));
    both.add(std::make_unique<Rect<C>>(Point{5, 0}, 36, 10, C::blackColor()));
    both.computeBounds();
    expectBox(both, 5, 0, 40, 9);
    EXPECT_ANSWER(ask(both, 12, 2), true, false, 18u);  // first child's run, not 29
    EXPECT_ANSWER(ask(both, 6, 2), true, false, 35u);
    // Left of both: the smaller of the runs.
    EXPECT_ANSWER(ask(both, 0, 2, 40), false, false, 6u);
    // Row 7: the first child is finished, the second is not.
    EXPECT_ANSWER(ask(both, 2, 7, 40), false, false, 4u);
    EXPECT_ANSWER(ask(both, 2, 10), false, true, 777u);
    EXPECT_ANSWER(ask(both, 45, 2), false, false, 777u);
}

TEST(EmptyObjects, PolygonsWithoutVerticesCompositesWithoutChildrenAndOtherCharacters) {
    // Each keeps a zero box and is finished wherever it is asked.
    const Polygone<C> none({}, kBlue);
    expectBox(none, 0, 0, 0, 0);
    EXPECT_TRUE(none.hollow());
    EXPECT_ANSWER(ask(none, 0, 0), false, true, 777u);
    ComplexGraphicObject<C> empty(kBlue);
    empty.computeBounds();
    expectBox(empty, 0, 0, 0, 0);
    EXPECT_TRUE(empty.hollow());
    EXPECT_ANSWER(ask(empty, 3, 0), false, true, 777u);
    const Digit<C> dash({40, 40}, 16, '-', kBlue);
    EXPECT_EQ(dash.children.size(), 0u);
    expectBox(dash, 0, 0, 0, 0);
}

// ------------------------------------------------------------ digits

TEST(DigitObject, EightLightsAllSegmentsAndSpansTheFullBox) {
    // s = 16: q = 2, h = 4, n = 18.
    const Digit<C> eight({100, 200}, 16, '8', kBlue);
    EXPECT_EQ(eight.children.size(), 7u);
    expectBox(eight, 100, 201, 100 + 16 + 2 + 4, 200 + 2 * 16 + 4 + 5);
    for (const auto& s : eight.children) {
        EXPECT_EQ(s->color, kBlue);
    }
    // Segment a, the first child: H at the origin: (3,3) (5,1) (17,1)
    // (19,3) (17,5) (5,5).
    const auto* a = dynamic_cast<const Polygone<C>*>(eight.children[0].get());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->vertices,
              (std::vector<Point>{
                  {103, 203}, {105, 201}, {117, 201}, {119, 203}, {117, 205}, {105, 205}}));
}

TEST(DigitObject, SegmentCountsAndShapesPerCharacter) {
    const std::size_t expected[10] = {6, 2, 5, 5, 4, 5, 6, 3, 7, 5};
    for (char c = '0'; c <= '9'; ++c) {
        EXPECT_EQ(Digit<C>({0, 0}, 16, c, kBlue).children.size(), expected[c - '0']) << c;
    }
    // '1' lights the left pair f and e: its box ends at x0 + h.
    const Digit<C> one({50, 0}, 16, '1', kBlue);
    EXPECT_EQ(one.left, 50u);
    EXPECT_EQ(one.right, 54u);
    // '9' has no bottom segment: its box ends with segment c at
    // y0 + (s + 2) + n + 2 = 38.
    const Digit<C> nine({0, 0}, 16, '9', kBlue);
    EXPECT_EQ(nine.bottom, 38u);
    const Digit<C> eight({0, 0}, 16, '8', kBlue);
    EXPECT_EQ(eight.bottom, 41u);
}

TEST(DigitObject, PixelsOfASmallDigitOne) {
    // '1' of size 8 at the origin: q = 1, h = 2, n = 9; segment f runs
    // from row 3 to row 11, upright between rows 4 and 10 at x 0 .. 2.
    const Digit<C> one({0, 0}, 8, '1', kBlue);
    EXPECT_ANSWER(ask(one, 0, 6), true, false, 3u);
    EXPECT_ANSWER(ask(one, 3, 6), false, false, 777u);
    EXPECT_ANSWER(ask(one, 1, 3), true, false, 1u);  // the top vertex (q, q + 2)
}

// ------------------------------------------------------------ numbers

TEST(NumberObject, DigitsFollowEachOtherTenPixelsApart) {
    // Size 16: q = 2, h = 4, n = 18.
    const Number<C> n({100, 50}, 16, 1234, kBlue);
    ASSERT_EQ(n.children.size(), 4u);
    const auto& d = n.children;
    // '1' and '2' begin at their origins; the next origin is the previous
    // origin + the digit's width + 10.
    EXPECT_EQ(d[0]->left, 100u);
    EXPECT_EQ(d[0]->right, 104u);
    EXPECT_EQ(d[1]->left, d[0]->right + 10);
    // '3' has no left segments: it begins q + 1 right of its origin.
    const std::uint32_t origin3 = d[1]->left + (d[1]->right - d[1]->left) + 10;
    EXPECT_EQ(d[2]->left, origin3 + 3);
    const std::uint32_t origin4 = origin3 + (d[2]->right - d[2]->left) + 10;
    EXPECT_EQ(d[3]->left, origin4);
    expectBox(n, 100, 51, d[3]->right, d[2]->bottom);
    // The digits are black; the number keeps the colour it was given.
    for (const auto& digit : d) {
        EXPECT_EQ(digit->color, C::blackColor());
    }
    EXPECT_EQ(n.color, kBlue);
    // Zero is one digit; the largest count ten.
    const Number<C> zero({0, 0}, 10, 0, kBlue);
    EXPECT_EQ(zero.children.size(), 1u);
    const Number<C> big({0, 0}, 10, 4294967295u, kBlue);
    EXPECT_EQ(big.children.size(), 10u);
}

// ------------------------------------------------------------ builders

TEST(PageBuilders, NumberInABoxIsSizedAndCentredInTheBox) {
    // boxHeight 60: size 15, origin y = 100 - 6 + (60 - 30) / 2 = 109.
    const auto n = makeNumberInBox<C>({50, 100}, 60, 7, kBlue);
    // '7' is a, b, c; a starts at (q + 1, 1) = (2, 1) from the origin.
    EXPECT_EQ(n->left, 52u);
    EXPECT_EQ(n->top, 110u);
    EXPECT_EQ(n->color, kBlue);
    // Tall boxes cap the size at 20: digit height 2s + h + 5 = 50.
    const auto tall = makeNumberInBox<C>({0, 300}, 400, 8, kBlue);
    EXPECT_EQ(tall->bottom - tall->top, 2 * 20 + 5 + 5 - 1u);
    // Near the top edge the origin (2 - 6 + 2 = -2) stays on the page; an
    // '8' begins one row below its origin.
    const auto top = makeNumberInBox<C>({0, 2}, 8, 8, kBlue);
    EXPECT_EQ(top->top, 1u);
}

TEST(PageBuilders, DiamondHasItsFourCornersAndARasterLineIsATwoPixelBar) {
    const auto d = makeDiamond<C>({10, 20}, 10, 10, kBlue);
    EXPECT_EQ(d->vertices, (std::vector<Point>{{10, 20}, {14, 14}, {19, 20}, {14, 24}}));
    const auto line = makeRasterLine<C>({7, 8}, 30, kBlue);
    expectBox(*line, 7, 8, 36, 9);
}

TEST(PageBuilders, ArrowsPointRightUpAndLeft) {
    struct Arrow {
        Point tip;
        std::uint32_t angle;
        std::array<std::uint32_t, 4> shaftBox;  // left, top, right, bottom
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
        ASSERT_NE(shaft, nullptr);
        ASSERT_NE(head, nullptr);
        expectBox(*shaft, a.shaftBox[0], a.shaftBox[1], a.shaftBox[2], a.shaftBox[3]);
        EXPECT_EQ(head->vertices, a.head);
        EXPECT_EQ(arrow->color, kBlue);
    }
    expectBox(*makeRasterArrow<C>({130, 5}, 30, 150, 90, kBlue), 115, 5, 145, 166);

    // Other angles: a head collapsed onto (0, 0); above 180 nothing.
    const auto odd = makeRasterArrow<C>({100, 50}, 30, 150, 45, kBlue);
    ASSERT_EQ(odd->children.size(), 1u);
    expectBox(*odd, 0, 0, 0, 0);
    EXPECT_EQ(makeRasterArrow<C>({100, 50}, 30, 150, 181, kBlue), nullptr);
}

}  // namespace
}  // namespace GenChartLib
