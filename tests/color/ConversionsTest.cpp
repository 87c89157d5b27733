#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "ColorTestSupport.h"
#include "OrvoChartInterface.h"

namespace {

using namespace colortest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

Rgb rgbFromXyz(double X, double Y, double Z, unsigned space) {
    Rgb out{-1, -1, -1};
    EXPECT_EQ(GetRGBfromXYZ(X, Y, Z, &out[0], &out[1], &out[2], space), 0);
    return out;
}

bool inByteRange(const Rgb& c) {
    return std::all_of(c.begin(), c.end(), [](OrvoLong v) { return v >= 0 && v <= 255; });
}

TEST(XyzToLab, WhitesMidGreyAndTheDarkLinearSegment) {
    expectNear(labOf({96.42, 100, 82.51}), {100, 0, 0}, 1e-12);
    LabRecord lab{};
    ASSERT_EQ(GetLABfromXYZ(96.42, 100, 82.51, &lab.L, &lab.a, &lab.b, 7), 0);  // falls back to D50
    expectNear(lab, {100, 0, 0}, 1e-12);
    // The 10 degree D65 white is neutral only against the 10 degree table;
    // observer 2 is the 2 degree table like observer 0.
    expectNear(labOf({94.81, 100, 107.32}, 1, 1), {100, 0, 0}, 1e-12);
    EXPECT_EQ(triple(labOf({94.81, 100, 107.32}, 1, 2)), triple(labOf({94.81, 100, 107.32}, 1, 0)));
    // L* = 50 is Y/Yn = (66/116)^3; below Y/Yn = 0.008856 L* is 903.2963058 Y/Yn.
    const double yr = std::pow(66.0 / 116.0, 3.0);
    EXPECT_NEAR(labOf({96.42 * yr, 100 * yr, 82.51 * yr}).L, 50.0, 1e-6);
    EXPECT_NEAR(labOf({0.5 * 0.9642, 0.5, 0.5 * 0.8251}).L, 903.2963058 * 0.005, 1e-9);
}

// With the forward transforms pinned above and below, the round trips pin
// the inverses (both branches, every white). Lab -> XYZ uses L > 8 where
// XYZ -> Lab uses Y/Yn > epsilon, and slope 7.787036979 where kappa/116 =
// 7.7870371: they agree exactly (to rounding) in L, to 1e-7 in a and b. The
// forward hue uses pi rounded to single precision, the inverse 0.017453292519444445
// rad per degree: over a chroma of up to 180 they differ by at most 2e-5.
TEST(LabRoundTrips, XyzForEveryWhiteAndLchOverTheLabGrid) {
    double X = 0, Y = 0, Z = 0;
    double worstL = 0.0, worstAb = 0.0, worstLch = 0.0;
    for (double L = 0; L <= 100; L += 2.5) {
        for (double a = -128; a <= 127; a += 3) {
            for (double b = -128; b <= 127; b += 5) {
                for (unsigned whitePoint = 0; whitePoint < 4; ++whitePoint) {
                    ASSERT_EQ(GetXYZfromLAB(L, a, b, &X, &Y, &Z, whitePoint), 0);
                    const LabRecord back = labOf({X, Y, Z}, whitePoint);
                    worstL = std::max(worstL, std::fabs(back.L - L));
                    worstAb = std::max({worstAb, std::fabs(back.a - a), std::fabs(back.b - b)});
                }
                const LabRecord back = GetLabFromLCH(GetLCHFromLab(LabRecord{L, a, b}));
                worstLch = std::max({worstLch, std::fabs(back.L - L), std::fabs(back.a - a),
                                     std::fabs(back.b - b)});
            }
        }
    }
    EXPECT_LT(worstL, 1e-12);
    EXPECT_LT(worstAb, 2e-7);
    EXPECT_LT(worstLch, 2e-5);
}

// Paper measured as (90, 92, 78) becomes the white, half its XYZ half of
// it; a paper without a positive, finite Y is refused, as are null outputs.
TEST(MediaRelativeXyz, ScalesPaperToTheWhiteAndRefusesAnUnusablePaper) {
    ColorTriplex result{};
    const ColorTriplex paper{90, 92, 78};
    ASSERT_EQ(GetXYZrelative(paper, &result, 1, 1, paper), 0);
    expectNear(result, {94.81, 100, 107.32}, 1e-12);
    ASSERT_EQ(GetXYZrelative(ColorTriplex{45, 46, 39}, &result, 0, 0, paper), 0);
    expectNear(result, {96.42 / 2, 50, 82.51 / 2}, 1e-12);
    for (const ColorTriplex& bad : {ColorTriplex{90, 0, 80}, {-1, 90, 80}, {90, 90, kNaN}}) {
        EXPECT_EQ(GetXYZrelative(paper, &result, 0, 0, bad), -1);
        EXPECT_EQ(triple(result), (Triple{0, 0, 0}));
    }
    double v = 7.0;
    OrvoLong n = 7;
    EXPECT_EQ(GetXYZrelative(paper, nullptr, 0, 0, paper), -1);
    EXPECT_EQ(GetLABfromXYZ(50, 50, 50, nullptr, &v, &v, 0), -1);
    EXPECT_EQ(GetLABfromXYZ_Ex(50, 50, 50, &v, nullptr, &v, 0, 1), -1);
    EXPECT_EQ(GetXYZfromLAB(50, 0, 0, &v, &v, nullptr, 0), -1);
    EXPECT_EQ(GetRGBfromXYZ(1, 1, 1, &n, nullptr, &n, 1), -1);
    EXPECT_TRUE(v == 7.0 && n == 7);
}

TEST(LabToLch, HueOnTheAxesInTheQuadrantsAndClamping) {
    // Off the axes the hue uses pi = 3.141592502593994, 5e-8 below pi.
    const double hues[][4] = {{0, 0, 0, 0},         {0, 20, 90, 0},        {-20, 0, 180, 0},
                              {0, -20, 270, 0},     {20, 0, 0, 0},         {10, 10, 45, 1e-5},
                              {-10, 10, 135, 1e-5}, {-10, -10, 225, 1e-5}, {10, -10, 315, 1e-5}};
    for (const auto& [a, b, h, tolerance] : hues) {
        EXPECT_NEAR(GetLCHFromLab(LabRecord{50, a, b}).h, h, tolerance) << a << "," << b;
    }
    EXPECT_NEAR(GetLCHFromLab(LabRecord{50, 3, 4}).C, 5.0, 1e-12);
    // L, a and b are clamped before the chroma is formed, both ways.
    EXPECT_EQ(triple(GetLCHFromLab(LabRecord{120, 200, 0})), (Triple{100, 127, 0}));
    EXPECT_EQ(triple(GetLCHFromLab(LabRecord{-5, 0, -300})), (Triple{0, 128, 270}));
    EXPECT_EQ(triple(GetLabFromLCH(LCHRecord{150, 200, 0})), (Triple{100, 127, 0}));
}

TEST(RgbToXyzAndLab, SrgbPrimariesGreyTheUnadaptedD50WhiteAndTheGreyVeil) {
    expectNear(GetXYZFromRGB(tagRGBRecord{255, 0, 0}), {41.24, 21.26, 1.93}, 1e-9);
    expectNear(GetXYZFromRGB(tagRGBRecord{255, 255, 255}), {95.05, 100, 108.9}, 1e-9);
    // 128 is 21.586 % luminance on the sRGB curve; 10 lies on its linear part.
    EXPECT_NEAR(GetXYZFromRGB(tagRGBRecord{128, 128, 128}).Y, 21.586, 1e-3);
    EXPECT_NEAR(GetXYZFromRGB(tagRGBRecord{10, 10, 10}).Y, 10 / 255.0 / 12.92 * 100, 1e-9);
    // sRGB white against D50 (96.42, 100, 82.51) without adaptation:
    // a = 500 (cbrt(95.05/96.42) - 1), b = 200 (1 - cbrt(108.9/82.51)).
    expectNear(GetLABFromRGB(tagRGBRecord{255, 255, 255}), {100, -2.3794, -19.3834}, 1e-4);
    // A grey veil lightens and desaturates a colour, but black stays black.
    const LabRecord red = GetLABFromRGB(tagRGBRecord{255, 0, 0});
    const LabRecord veiled = GetLABFromRGB(AddGreyVeilToRGB(tagRGBRecord{255, 0, 0}));
    EXPECT_TRUE(veiled.L > red.L && std::hypot(veiled.a, veiled.b) < std::hypot(red.a, red.b));
    EXPECT_EQ(rgb(AddGreyVeilToRGB(tagRGBRecord{0, 0, 0})), (Rgb{0, 0, 0}));
}

// Y = 18.42 grey (L* 50) in sRGB encodes to 0.4663 -> 119, but from Lab
// L* 50 it is 118.9: the channel is truncated. Space 3 has no matrix.
TEST(ScreenRgb, SpacesFallbacksTruncationAndClipping) {
    EXPECT_EQ(rgbFromXyz(95.047, 100, 108.883, 1), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbFromXyz(41.24, 21.26, 1.93, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(rgbFromXyz(95.047 * 0.1842, 18.42, 108.883 * 0.1842, 1), (Rgb{119, 119, 119}));
    EXPECT_EQ(rgbFromXyz(500, 500, 500, 2), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbFromXyz(50, 50, 50, 3), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgbFromXyz(30, 20, 10, 9), rgbFromXyz(30, 20, 10, 0));
    EXPECT_TRUE(inByteRange(rgbFromXyz(kNaN, kInf, -kInf, 1)));
    EXPECT_EQ(rgb(GetRGBFromLab(LabRecord{50, 0, 0})), (Rgb{118, 118, 118}));
    EXPECT_EQ(rgb(GetRGBFromLab(LabRecord{0, 0, 0})), (Rgb{0, 0, 0}));
    EXPECT_EQ(rgb(GetRGBFromLab(LabRecord{kNaN, kNaN, kInf}))[0], 0);
    // Far outside the sRGB gamut towards red: only the red channel is lit.
    const Rgb red = rgb(GetRGBFromLab(LabRecord{60, 100, 90}));
    EXPECT_TRUE(red[0] == 255 && red[1] < 10 && red[2] < 10);
}

// CMYK: 200 % cyan is not clamped; NaN and huge values are never cast.
// Green 100: cyan cos(36 deg) = 0.80904 -> R = 48; yellow cos(54 deg) =
// 0.58782 -> B = 105. Orange 100: magenta cos(58 deg) = 0.52994 -> G = 119;
// yellow cos(32 deg) = 0.84806 -> B = 38. Each folded ink is capped at 100 %.
// CMYK+RGB: 50 % cyan is the amount 127 (50 x 2.55 = 127.4999...), paper
// side 128; -100 % red: 510 x 255 x 255 / 65025 = 510, whose low byte is 254.
TEST(InkPreview, ProcessInksOrangeAndGreenAndRgbInks) {
    constexpr OrvoLong kMin = std::numeric_limits<std::int32_t>::min();
    constexpr OrvoLong kMax = std::numeric_limits<std::int32_t>::max();
    const std::pair<ColorQuadruple, Rgb> cmyk[] = {
        {{0, 0, 0, 0}, {255, 255, 255}},  {{100, 0, 0, 0}, {0, 255, 255}},
        {{0, 0, 0, 50}, {127, 127, 127}}, {{200, 0, 0, 0}, {-255, 255, 255}},
        {{kNaN, 0, 0, 0}, {0, 255, 255}}, {{1e300, -1e300, 0, 0}, {kMin, kMax, 255}}};
    for (const auto& [inks, expected] : cmyk) {
        EXPECT_EQ(rgb(GetRGBFromCMYK(inks)), expected) << inks.c << " " << inks.k;
    }
    const std::pair<tagCMYKOGRecord, Rgb> cmykog[] = {{{0, 0, 0, 0, 0, 100}, {48, 255, 105}},
                                                      {{0, 0, 0, 0, 100, 0}, {255, 119, 38}},
                                                      {{90, 0, 90, 0, 100, 100}, {0, 119, 0}}};
    for (const auto& [inks, expected] : cmykog) {
        EXPECT_EQ(rgb(GetRGBFromCMYKOG(inks)), expected) << inks.O << " " << inks.G;
    }
    EXPECT_EQ(rgb(GetRGBFromCMYKOG(tagCMYKOGRecord{30, 40, 50, 10, 0, 0})),
              rgb(GetRGBFromCMYK(ColorQuadruple{30, 40, 50, 10})));
    const std::pair<tagCMYKRGBRecord, Rgb> cmykrgb[] = {
        {{0, 0, 0, 0, 0, 0, 0}, {255, 255, 255}},  {{0, 0, 0, 0, 100, 0, 0}, {255, 0, 0}},
        {{0, 0, 0, 0, 0, 0, 100}, {0, 0, 255}},    {{0, 0, 0, 100, 0, 0, 0}, {0, 0, 0}},
        {{50, 0, 0, 0, 0, 0, 0}, {128, 255, 255}}, {{0, 0, 0, 0, -100, 0, 0}, {255, 254, 254}}};
    for (const auto& [inks, expected] : cmykrgb) {
        EXPECT_EQ(rgb(GetRGBFromCMYKRGB(inks)), expected) << inks.C << " " << inks.R;
    }
    EXPECT_TRUE(inByteRange(rgb(
        GetRGBFromCMYKRGB(tagCMYKRGBRecord{kNaN, -1e308, kInf, -kInf, INT32_MIN, INT32_MIN, 0}))));
}

}  // namespace
