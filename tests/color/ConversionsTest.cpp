#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "OrvoChartInterface.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

LabRecord labOf(double X, double Y, double Z, unsigned whitePoint, unsigned observer = 0) {
    LabRecord lab{};
    EXPECT_EQ(GetLABfromXYZ_Ex(X, Y, Z, &lab.L, &lab.a, &lab.b, whitePoint, observer), 0);
    return lab;
}

TEST(XyzToLab, TheWhiteIsL100AndNeutral) {
    const LabRecord lab = labOf(96.42, 100, 82.51, 0);
    EXPECT_NEAR(lab.L, 100.0, 1e-12);
    EXPECT_NEAR(lab.a, 0.0, 1e-12);
    EXPECT_NEAR(lab.b, 0.0, 1e-12);
    double L = 0, a = 0, b = 0;
    ASSERT_EQ(GetLABfromXYZ(96.42, 100, 82.51, &L, &a, &b, 7), 0);  // index 0
    EXPECT_NEAR(L, 100.0, 1e-12);
    EXPECT_NEAR(a, 0.0, 1e-12);
    EXPECT_NEAR(b, 0.0, 1e-12);
}

TEST(XyzToLab, ObserverSelectsTheWhiteTable) {
    // The 10 degree D65 white is neutral only against the 10 degree table.
    const LabRecord tenDegree = labOf(94.81, 100, 107.32, 1, 1);
    EXPECT_NEAR(tenDegree.a, 0.0, 1e-12);
    EXPECT_NEAR(tenDegree.b, 0.0, 1e-12);
    const LabRecord twoDegree = labOf(94.81, 100, 107.32, 1, 2);
    EXPECT_GT(std::fabs(twoDegree.a) + std::fabs(twoDegree.b), 0.1);
    const LabRecord observer0 = labOf(94.81, 100, 107.32, 1, 0);
    EXPECT_EQ(twoDegree.a, observer0.a);
    EXPECT_EQ(twoDegree.b, observer0.b);
}

TEST(XyzToLab, MidGreyAndTheDarkLinearSegment) {
    // L* = 50 is Y/Yn = (66/116)^3.
    const double yr = std::pow(66.0 / 116.0, 3.0);
    const LabRecord grey = labOf(96.42 * yr, 100 * yr, 82.51 * yr, 0);
    EXPECT_NEAR(grey.L, 50.0, 1e-6);
    EXPECT_NEAR(grey.a, 0.0, 1e-9);
    EXPECT_NEAR(grey.b, 0.0, 1e-9);
    // Below Y/Yn = 0.008856 lightness is 903.2963058 Y/Yn.
    const LabRecord dark = labOf(0.5 * 0.9642, 0.5, 0.5 * 0.8251, 0);
    EXPECT_NEAR(dark.L, 903.2963058 * 0.005, 1e-9);
}

// The inverse uses L > 8 where the forward transform uses Y/Yn > epsilon,
// and slope 7.787036979 where kappa/116 = 7.7870371; the two transforms
// therefore agree to 1e-7 in a and b, and exactly (to rounding) in L.
TEST(LabToXyz, RoundTripsOverTheWholeLabGrid) {
    double worstL = 0.0;
    double worstAb = 0.0;
    for (double L = 0; L <= 100; L += 2.5) {
        for (double a = -128; a <= 127; a += 5) {
            for (double b = -128; b <= 127; b += 5) {
                for (unsigned whitePoint = 0; whitePoint < 4; ++whitePoint) {
                    double X = 0, Y = 0, Z = 0;
                    ASSERT_EQ(GetXYZfromLAB(L, a, b, &X, &Y, &Z, whitePoint), 0);
                    const LabRecord back = labOf(X, Y, Z, whitePoint);
                    worstL = std::max(worstL, std::fabs(back.L - L));
                    worstAb = std::max({worstAb, std::fabs(back.a - a), std::fabs(back.b - b)});
                }
            }
        }
    }
    EXPECT_LT(worstL, 1e-12);
    EXPECT_LT(worstAb, 2e-7);
}

TEST(LabToXyz, UsesTheCubeAboveL8AndTheLineBelow) {
    double X = 0, Y = 0, Z = 0;
    ASSERT_EQ(GetXYZfromLAB(50, 0, 0, &X, &Y, &Z, 1), 0);
    EXPECT_NEAR(Y, 100 * std::pow(66.0 / 116.0, 3.0), 1e-12);
    EXPECT_NEAR(X, 95.04 * std::pow(66.0 / 116.0, 3.0), 1e-12);
    ASSERT_EQ(GetXYZfromLAB(4, 0, 0, &X, &Y, &Z, 0), 0);
    EXPECT_NEAR(Y, 100 * 4 / 903.2963058, 1e-12);
}

TEST(LabAndXyz, NullOutputsAreRefused) {
    double v = 7.0;
    EXPECT_EQ(GetLABfromXYZ(50, 50, 50, nullptr, &v, &v, 0), -1);
    EXPECT_EQ(GetLABfromXYZ_Ex(50, 50, 50, &v, nullptr, &v, 0, 1), -1);
    EXPECT_EQ(GetXYZfromLAB(50, 0, 0, &v, &v, nullptr, 0), -1);
    EXPECT_EQ(v, 7.0);
}

TEST(MediaRelativeXyz, ScalesPaperToTheWhite) {
    ColorTriplex result{};
    const ColorTriplex paper{90, 92, 78};
    ASSERT_EQ(GetXYZrelative(paper, &result, 1, 1, paper), 0);
    EXPECT_NEAR(result.X, 94.81, 1e-12);
    EXPECT_NEAR(result.Y, 100.0, 1e-12);
    EXPECT_NEAR(result.Z, 107.32, 1e-12);
    ASSERT_EQ(GetXYZrelative(ColorTriplex{45, 46, 39}, &result, 0, 0, paper), 0);
    EXPECT_NEAR(result.X, 96.42 / 2, 1e-12);
    EXPECT_NEAR(result.Y, 50.0, 1e-12);
}

TEST(MediaRelativeXyz, UnusablePaperGivesMinusOneAndZero) {
    const ColorTriplex sample{40, 40, 40};
    for (const ColorTriplex& paper :
         {ColorTriplex{90, 0, 80}, ColorTriplex{-1, 90, 80}, ColorTriplex{90, 90, kNaN}}) {
        ColorTriplex result{1, 2, 3};
        EXPECT_EQ(GetXYZrelative(sample, &result, 0, 0, paper), -1);
        EXPECT_EQ(result.X, 0.0);
        EXPECT_EQ(result.Y, 0.0);
        EXPECT_EQ(result.Z, 0.0);
    }
    EXPECT_EQ(GetXYZrelative(sample, nullptr, 0, 0, ColorTriplex{90, 90, 90}), -1);
}

TEST(LabToLch, AxesAndQuadrants) {
    const LCHRecord neutral = GetLCHFromLab(LabRecord{50, 0, 0});
    EXPECT_EQ(neutral.C, 0.0);
    EXPECT_EQ(neutral.h, 0.0);
    EXPECT_EQ(GetLCHFromLab(LabRecord{50, 0, 20}).h, 90.0);
    EXPECT_EQ(GetLCHFromLab(LabRecord{50, -20, 0}).h, 180.0);
    EXPECT_EQ(GetLCHFromLab(LabRecord{50, 0, -20}).h, 270.0);
    EXPECT_EQ(GetLCHFromLab(LabRecord{50, 20, 0}).h, 0.0);
    // Off the axes the hue uses pi = 3.141592502593994, 5e-8 below pi.
    EXPECT_NEAR(GetLCHFromLab(LabRecord{50, 10, 10}).h, 45.0, 1e-5);
    EXPECT_NEAR(GetLCHFromLab(LabRecord{50, -10, 10}).h, 135.0, 1e-5);
    EXPECT_NEAR(GetLCHFromLab(LabRecord{50, -10, -10}).h, 225.0, 1e-5);
    EXPECT_NEAR(GetLCHFromLab(LabRecord{50, 10, -10}).h, 315.0, 1e-5);
    EXPECT_NEAR(GetLCHFromLab(LabRecord{50, 3, 4}).C, 5.0, 1e-12);
}

TEST(LabToLch, ClampsBeforeComputingChroma) {
    const LCHRecord clamped = GetLCHFromLab(LabRecord{120, 200, 0});
    EXPECT_EQ(clamped.L, 100.0);
    EXPECT_EQ(clamped.C, 127.0);
    EXPECT_EQ(GetLCHFromLab(LabRecord{-5, 0, -300}).C, 128.0);
    EXPECT_EQ(GetLCHFromLab(LabRecord{-5, 0, -300}).L, 0.0);
}

TEST(LchToLab, ZeroChromaAndClamping) {
    const LabRecord grey = GetLabFromLCH(LCHRecord{40, 0, 123});
    EXPECT_EQ(grey.a, 0.0);
    EXPECT_EQ(grey.b, 0.0);
    const LabRecord red = GetLabFromLCH(LCHRecord{150, 200, 0});
    EXPECT_EQ(red.L, 100.0);
    EXPECT_EQ(red.a, 127.0);
    EXPECT_NEAR(GetLabFromLCH(LCHRecord{50, 10, 90}).b, 10.0, 1e-12);
}

// The forward hue uses pi rounded to single precision, the inverse
// 0.017453292519444445 rad per degree; over a chroma of up to 180 the two
// differ by at most 2e-5 in a and b.
TEST(LchToLab, RoundTripsOverTheWholeLabGrid) {
    double worst = 0.0;
    for (double L = 0; L <= 100; L += 2.5) {
        for (double a = -128; a <= 127; a += 1) {
            for (double b = -128; b <= 127; b += 3) {
                const LabRecord back = GetLabFromLCH(GetLCHFromLab(LabRecord{L, a, b}));
                worst = std::max(
                    {worst, std::fabs(back.L - L), std::fabs(back.a - a), std::fabs(back.b - b)});
            }
        }
    }
    EXPECT_LT(worst, 2e-5);
}

TEST(RgbToXyz, SrgbPrimariesAndGrey) {
    const ColorTriplex red = GetXYZFromRGB(tagRGBRecord{255, 0, 0});
    EXPECT_NEAR(red.X, 41.24, 1e-9);
    EXPECT_NEAR(red.Y, 21.26, 1e-9);
    EXPECT_NEAR(red.Z, 1.93, 1e-9);
    const ColorTriplex white = GetXYZFromRGB(tagRGBRecord{255, 255, 255});
    EXPECT_NEAR(white.X, 95.05, 1e-9);
    EXPECT_NEAR(white.Y, 100.0, 1e-9);
    EXPECT_NEAR(white.Z, 108.9, 1e-9);
    // 128 is 21.586 % luminance on the sRGB curve; 10 lies on its linear part.
    EXPECT_NEAR(GetXYZFromRGB(tagRGBRecord{128, 128, 128}).Y, 21.586, 1e-3);
    EXPECT_NEAR(GetXYZFromRGB(tagRGBRecord{10, 10, 10}).Y, 10 / 255.0 / 12.92 * 100, 1e-9);
}

TEST(RgbToLab, ComparesAgainstD50WithoutAdaptation) {
    // sRGB white (95.05, 100, 108.9) against D50 (96.42, 100, 82.51):
    // a = 500 (cbrt(95.05/96.42) - 1), b = 200 (1 - cbrt(108.9/82.51)).
    const LabRecord white = GetLABFromRGB(tagRGBRecord{255, 255, 255});
    EXPECT_NEAR(white.L, 100.0, 1e-9);
    EXPECT_NEAR(white.a, -2.3794, 1e-4);
    EXPECT_NEAR(white.b, -19.3834, 1e-4);
}

TEST(XyzToRgb, SpacesAndTheirFallbacks) {
    OrvoLong R = -1, G = -1, B = -1;
    ASSERT_EQ(GetRGBfromXYZ(95.047, 100, 108.883, &R, &G, &B, 1), 0);
    EXPECT_EQ(R, 255);
    EXPECT_EQ(G, 255);
    EXPECT_EQ(B, 255);
    ASSERT_EQ(GetRGBfromXYZ(41.24, 21.26, 1.93, &R, &G, &B, 1), 0);
    EXPECT_EQ(R, 255);
    EXPECT_EQ(G, 0);
    EXPECT_EQ(B, 0);
    ASSERT_EQ(GetRGBfromXYZ(50, 50, 50, &R, &G, &B, 3), 0);
    EXPECT_EQ(R + G + B, 0);
    OrvoLong R0 = 0, G0 = 0, B0 = 0;
    ASSERT_EQ(GetRGBfromXYZ(30, 20, 10, &R0, &G0, &B0, 0), 0);
    ASSERT_EQ(GetRGBfromXYZ(30, 20, 10, &R, &G, &B, 9), 0);
    EXPECT_EQ(R, R0);
    EXPECT_EQ(G, G0);
    EXPECT_EQ(B, B0);
    // Y = 18.42 grey (L* 50) in sRGB encodes to 0.4663 -> 119.
    ASSERT_EQ(GetRGBfromXYZ(95.047 * 0.1842, 18.42, 108.883 * 0.1842, &R, &G, &B, 1), 0);
    EXPECT_EQ(G, 119);
}

TEST(XyzToRgb, OutOfRangeAndNaNAreClamped) {
    OrvoLong R = -1, G = -1, B = -1;
    ASSERT_EQ(GetRGBfromXYZ(kNaN, kInf, -kInf, &R, &G, &B, 1), 0);
    for (OrvoLong v : {R, G, B}) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 255);
    }
    ASSERT_EQ(GetRGBfromXYZ(500, 500, 500, &R, &G, &B, 2), 0);
    EXPECT_EQ(R, 255);
    EXPECT_EQ(GetRGBfromXYZ(1, 1, 1, &R, nullptr, &B, 1), -1);
}

TEST(LabToRgb, NeutralsStayNeutral) {
    const tagRGBRecord white = GetRGBFromLab(LabRecord{100, 0, 0});
    EXPECT_GE(white.R, 254);
    EXPECT_EQ(white.G, 255);
    EXPECT_GE(white.B, 254);
    const tagRGBRecord black = GetRGBFromLab(LabRecord{0, 0, 0});
    EXPECT_EQ(black.R + black.G + black.B, 0);
    // L* 50 is sRGB 118.9; the channel is truncated.
    const tagRGBRecord grey = GetRGBFromLab(LabRecord{50, 0, 0});
    EXPECT_EQ(grey.R, 118);
    EXPECT_EQ(grey.G, 118);
    EXPECT_EQ(grey.B, 118);
    const tagRGBRecord nan = GetRGBFromLab(LabRecord{kNaN, kNaN, kInf});
    EXPECT_EQ(nan.R, 0);
    EXPECT_EQ(nan.G, 0);
}

TEST(LabToRgb, SaturatedColoursClip) {
    // Far outside the sRGB gamut towards red: only the red channel is lit.
    const tagRGBRecord red = GetRGBFromLab(LabRecord{60, 100, 90});
    EXPECT_EQ(red.R, 255);
    EXPECT_LT(red.G, 10);
    EXPECT_LT(red.B, 10);
}

TEST(InkPreview, Cmyk) {
    const tagRGBRecord paper = GetRGBFromCMYK(ColorQuadruple{0, 0, 0, 0});
    EXPECT_EQ(paper.R, 255);
    EXPECT_EQ(paper.G, 255);
    EXPECT_EQ(paper.B, 255);
    const tagRGBRecord cyan = GetRGBFromCMYK(ColorQuadruple{100, 0, 0, 0});
    EXPECT_EQ(cyan.R, 0);
    EXPECT_EQ(cyan.G, 255);
    EXPECT_EQ(cyan.B, 255);
    const tagRGBRecord halfBlack = GetRGBFromCMYK(ColorQuadruple{0, 0, 0, 50});
    EXPECT_EQ(halfBlack.R, 127);
    EXPECT_EQ(halfBlack.G, 127);
    EXPECT_EQ(halfBlack.B, 127);
    // Not clamped: 200 % cyan gives -255.
    EXPECT_EQ(GetRGBFromCMYK(ColorQuadruple{200, 0, 0, 0}).R, -255);
}

TEST(InkPreview, CmykRefusesToCastNaNOrHugeValues) {
    const tagRGBRecord nan = GetRGBFromCMYK(ColorQuadruple{kNaN, 0, 0, 0});
    EXPECT_EQ(nan.R, 0);
    const tagRGBRecord huge = GetRGBFromCMYK(ColorQuadruple{1e300, -1e300, 0, 0});
    EXPECT_EQ(huge.R, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(huge.G, std::numeric_limits<std::int32_t>::max());
}

TEST(InkPreview, OrangeAndGreenFoldIntoProcessInks) {
    const tagRGBRecord none = GetRGBFromCMYKOG(tagCMYKOGRecord{30, 40, 50, 10, 0, 0});
    const tagRGBRecord cmyk = GetRGBFromCMYK(ColorQuadruple{30, 40, 50, 10});
    EXPECT_EQ(none.R, cmyk.R);
    EXPECT_EQ(none.G, cmyk.G);
    EXPECT_EQ(none.B, cmyk.B);
    // Green 100: cyan cos(36 deg) = 0.80904 -> R = 48; yellow cos(54 deg)
    // = 0.58782 -> B = 105; magenta untouched.
    const tagRGBRecord green = GetRGBFromCMYKOG(tagCMYKOGRecord{0, 0, 0, 0, 0, 100});
    EXPECT_EQ(green.R, 48);
    EXPECT_EQ(green.G, 255);
    EXPECT_EQ(green.B, 105);
    // Orange 100: magenta cos(58 deg) = 0.52994 -> G = 119; yellow
    // cos(32 deg) = 0.84806 -> B = 38.
    const tagRGBRecord orange = GetRGBFromCMYKOG(tagCMYKOGRecord{0, 0, 0, 0, 100, 0});
    EXPECT_EQ(orange.R, 255);
    EXPECT_EQ(orange.G, 119);
    EXPECT_EQ(orange.B, 38);
    // Each folded ink is capped at 100 %.
    const tagRGBRecord capped = GetRGBFromCMYKOG(tagCMYKOGRecord{90, 0, 90, 0, 100, 100});
    EXPECT_EQ(capped.R, 0);
    EXPECT_EQ(capped.B, 0);
}

TEST(InkPreview, CmykPlusRgbInks) {
    const tagRGBRecord paper = GetRGBFromCMYKRGB(tagCMYKRGBRecord{0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(paper.R, 255);
    EXPECT_EQ(paper.G, 255);
    EXPECT_EQ(paper.B, 255);
    const tagRGBRecord red = GetRGBFromCMYKRGB(tagCMYKRGBRecord{0, 0, 0, 0, 100, 0, 0});
    EXPECT_EQ(red.R, 255);
    EXPECT_EQ(red.G, 0);
    EXPECT_EQ(red.B, 0);
    const tagRGBRecord blue = GetRGBFromCMYKRGB(tagCMYKRGBRecord{0, 0, 0, 0, 0, 0, 100});
    EXPECT_EQ(blue.R, 0);
    EXPECT_EQ(blue.G, 0);
    EXPECT_EQ(blue.B, 255);
    const tagRGBRecord black = GetRGBFromCMYKRGB(tagCMYKRGBRecord{0, 0, 0, 100, 0, 0, 0});
    EXPECT_EQ(black.R + black.G + black.B, 0);
    // 50 % cyan is the amount 127 (50 x 2.55 = 127.4999...), paper side 128.
    EXPECT_EQ(GetRGBFromCMYKRGB(tagCMYKRGBRecord{50, 0, 0, 0, 0, 0, 0}).R, 128);
    // -100 % red: G = 510 * 255 * 255 / 65025 = 510, whose low byte is 254.
    EXPECT_EQ(GetRGBFromCMYKRGB(tagCMYKRGBRecord{0, 0, 0, 0, -100, 0, 0}).G, 254);
}

TEST(InkPreview, CmykPlusRgbSurvivesAbsurdInputs) {
    const tagRGBRecord r =
        GetRGBFromCMYKRGB(tagCMYKRGBRecord{kNaN, -1e308, kInf, -kInf, INT32_MIN, INT32_MIN, 0});
    for (OrvoLong v : {r.R, r.G, r.B}) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 255);
    }
}

TEST(GreyVeil, LightensAndDesaturates) {
    const tagRGBRecord veiled = AddGreyVeilToRGB(tagRGBRecord{255, 0, 0});
    const LabRecord before = GetLABFromRGB(tagRGBRecord{255, 0, 0});
    const LabRecord after = GetLABFromRGB(veiled);
    EXPECT_GT(after.L, before.L);
    EXPECT_LT(std::hypot(after.a, after.b), std::hypot(before.a, before.b));
    // Black is lifted only by the veil's factor on L: it stays black.
    const tagRGBRecord black = AddGreyVeilToRGB(tagRGBRecord{0, 0, 0});
    EXPECT_EQ(black.R + black.G + black.B, 0);
}

}  // namespace
