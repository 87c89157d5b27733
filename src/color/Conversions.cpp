// Conversions between XYZ, CIELab, LCh, display RGB and ink previews.
#include "color/Conversions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "color/WhitePoints.h"

namespace GenChartLib {
namespace {

// CIELab constants at the precision this system's results are defined with;
// the slope is not exactly kappa / 116, so XYZ -> Lab -> XYZ meets to 1e-7
// on the linear segment rather than exactly.
constexpr double kEpsilon = 0.008856451586;
constexpr double kKappa = 903.2963058;
constexpr double kLinearSlope = 7.787036979;
constexpr double kLinearOffset = 16.0 / 116.0;
constexpr double kInverseThreshold = 6.0 / 29.0;

double labF(double ratio) {
    return ratio > kEpsilon ? std::cbrt(ratio) : kLinearSlope * ratio + kLinearOffset;
}

double labFInverse(double f) {
    return f > kInverseThreshold ? f * f * f : (f - kLinearOffset) / kLinearSlope;
}

double clampL(double L) {
    return std::clamp(L, 0.0, 100.0);
}
double clampAB(double v) {
    return std::clamp(v, -128.0, 127.0);
}

// NaN-safe clamp of a screen channel to 0..255 before the integer step.
OrvoLong channel0To255(double v) {
    if (!(v > 0.0)) {
        return 0;
    }
    return v >= 255.0 ? 255 : static_cast<OrvoLong>(v);
}

double srgbLinearize(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double srgbEncode(double v) {
    return v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v;
}

struct RgbMatrix {
    double m[3][3];
};

constexpr RgbMatrix kRgbFromXyz[] = {
    // Wide-gamut RGB, D50.
    {{{1.7552599, -0.4836786, -0.253},
      {-0.5441336, 1.5068789, 0.0215528},
      {0.0063467, -0.0175761, 1.2256959}}},
    // sRGB, D65.
    {{{3.2404542, -1.5371385, -0.4985314},
      {-0.969266, 1.8760108, 0.041556},
      {0.0556434, -0.2040259, 1.0572252}}},
    // NTSC RGB, illuminant C.
    {{{1.9099961, -0.5324542, -0.2882091},
      {-0.9846663, 1.999171, -0.0283082},
      {0.0583056, -0.1183781, 0.8975535}}},
};
constexpr unsigned kRgbSpaceNone = 3;

// Preview of one process ink over paper with black: the screen channel that
// ink absorbs.
OrvoLong inkPreviewChannel(double inkPercent, double blackFraction) {
    return truncToLong((1.0 - (inkPercent / 100.0 * (1.0 - blackFraction) + blackFraction)) *
                       255.0);
}

// An ink percentage on the 0..255 scale (percent x 2.55, at most 255). Below
// 0 the amount is kept, down to -32768 so that the products below stay far
// inside the range of exact integers in a double.
double inkAmount(double percent) {
    const double amount = std::min(percent * 2.55, 255.0);
    return std::isnan(amount) ? 0.0 : std::max(amount, -32768.0);
}

}  // namespace

LabRecord labFromXyz(const ColorTriplex& xyz, const ColorTriplex& white) {
    const double yr = xyz.Y / white.Y;
    const double fx = labF(xyz.X / white.X);
    const double fy = labF(yr);
    const double fz = labF(xyz.Z / white.Z);
    const double L = yr > kEpsilon ? 116.0 * fy - 16.0 : kKappa * yr;
    return LabRecord{L, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

ColorTriplex xyzFromLab(const LabRecord& lab, const ColorTriplex& white) {
    double fy = 0.0;
    double yr = 0.0;
    if (lab.L > 8.0) {
        fy = (lab.L + 16.0) / 116.0;
        yr = fy * fy * fy;
    } else {
        yr = lab.L / kKappa;
        fy = kLinearSlope * yr + kLinearOffset;
    }
    const double xr = labFInverse(fy + lab.a / 500.0);
    const double zr = labFInverse(fy - lab.b / 200.0);
    return ColorTriplex{white.X * xr, white.Y * yr, white.Z * zr};
}

double hueDegrees(double a, double b) {
    if (a == 0.0) {
        return b > 0.0 ? 90.0 : (b < 0.0 ? 270.0 : 0.0);
    }
    if (b == 0.0) {
        return a > 0.0 ? 0.0 : 180.0;
    }
    const double t = std::atan(b / a) * 180.0 / kPiSingle;
    if (a > 0.0) {
        return b > 0.0 ? t : t + 360.0;
    }
    return t + 180.0;
}

OrvoLong truncToLong(double value) {
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<OrvoLong>(std::clamp(value, kMin, kMax));
}

}  // namespace GenChartLib

using GenChartLib::referenceWhite;

int GetLABfromXYZ(double X, double Y, double Z, double* L, double* a, double* b,
                  unsigned whitePoint) {
    return GetLABfromXYZ_Ex(X, Y, Z, L, a, b, whitePoint, 0);
}

int GetLABfromXYZ_Ex(double X, double Y, double Z, double* L, double* a, double* b,
                     unsigned whitePoint, unsigned observer) {
    if (L == nullptr || a == nullptr || b == nullptr) {
        return -1;
    }
    const LabRecord lab =
        GenChartLib::labFromXyz(ColorTriplex{X, Y, Z}, referenceWhite(whitePoint, observer));
    *L = lab.L;
    *a = lab.a;
    *b = lab.b;
    return 0;
}

int GetXYZfromLAB(double L, double a, double b, double* X, double* Y, double* Z,
                  unsigned whitePoint) {
    if (X == nullptr || Y == nullptr || Z == nullptr) {
        return -1;
    }
    const ColorTriplex xyz =
        GenChartLib::xyzFromLab(LabRecord{L, a, b}, referenceWhite(whitePoint, 0));
    *X = xyz.X;
    *Y = xyz.Y;
    *Z = xyz.Z;
    return 0;
}

int GetXYZrelative(ColorTriplex sample, ColorTriplex* result, unsigned whitePoint,
                   unsigned observer, ColorTriplex paper) {
    if (result == nullptr) {
        return -1;
    }
    *result = ColorTriplex{0.0, 0.0, 0.0};
    // Written as "not above 0" so that a NaN paper white is refused as well.
    if (!(paper.X > 0.0) || !(paper.Y > 0.0) || !(paper.Z > 0.0)) {
        return -1;
    }
    const ColorTriplex& white = referenceWhite(whitePoint, observer);
    *result = ColorTriplex{white.X * sample.X / paper.X, white.Y * sample.Y / paper.Y,
                           white.Z * sample.Z / paper.Z};
    return 0;
}

LCHRecord GetLCHFromLab(LabRecord lab) {
    const double L = GenChartLib::clampL(lab.L);
    const double a = GenChartLib::clampAB(lab.a);
    const double b = GenChartLib::clampAB(lab.b);
    const double C = std::sqrt(a * a + b * b);
    return LCHRecord{L, C, C == 0.0 ? 0.0 : GenChartLib::hueDegrees(a, b)};
}

LabRecord GetLabFromLCH(LCHRecord lch) {
    constexpr double kRadiansPerDegree = 0.017453292519444445;
    double a = 0.0;
    double b = 0.0;
    if (lch.C != 0.0) {
        a = lch.C * std::cos(lch.h * kRadiansPerDegree);
        b = lch.C * std::sin(lch.h * kRadiansPerDegree);
    }
    return LabRecord{GenChartLib::clampL(lch.L), GenChartLib::clampAB(a), GenChartLib::clampAB(b)};
}

ColorTriplex GetXYZFromRGB(tagRGBRecord rgb) {
    const double r = GenChartLib::srgbLinearize(rgb.R / 255.0) * 100.0;
    const double g = GenChartLib::srgbLinearize(rgb.G / 255.0) * 100.0;
    const double b = GenChartLib::srgbLinearize(rgb.B / 255.0) * 100.0;
    return ColorTriplex{0.4124 * r + 0.3576 * g + 0.1805 * b, 0.2126 * r + 0.7152 * g + 0.0722 * b,
                        0.0193 * r + 0.1192 * g + 0.9505 * b};
}

LabRecord GetLABFromRGB(tagRGBRecord rgb) {
    return GenChartLib::labFromXyz(GetXYZFromRGB(rgb), referenceWhite(0, 0));
}

int GetRGBfromXYZ(double X, double Y, double Z, OrvoLong* R, OrvoLong* G, OrvoLong* B,
                  unsigned rgbSpace) {
    if (R == nullptr || G == nullptr || B == nullptr) {
        return -1;
    }
    const unsigned space = rgbSpace > 3 ? 0 : rgbSpace;
    if (space == GenChartLib::kRgbSpaceNone) {
        *R = *G = *B = 0;
        return 0;
    }
    const double xyz[3] = {X / 100.0, Y / 100.0, Z / 100.0};
    OrvoLong* out[3] = {R, G, B};
    const auto& m = GenChartLib::kRgbFromXyz[space].m;
    for (int row = 0; row < 3; ++row) {
        const double linear = m[row][0] * xyz[0] + m[row][1] * xyz[1] + m[row][2] * xyz[2];
        *out[row] =
            GenChartLib::channel0To255(std::floor(GenChartLib::srgbEncode(linear) * 255.0 + 0.5));
    }
    return 0;
}

tagRGBRecord GetRGBFromLab(LabRecord lab) {
    // 1. Lab to XYZ against the display-side D50 white (96.4, 100, 82.49).
    constexpr double kThreshold = 0.008856;
    constexpr double kLinear = 0.1284191601386927;
    const double fy = (lab.L + 16.0) / 116.0;
    const double fx = fy + lab.a / 500.0;
    const double fz = fy - lab.b / 200.0;
    const double fx3 = fx * fx * fx;
    const double fy3 = fy * fy * fy;
    const double fz3 = fz * fz * fz;
    const double X = 96.4 * (fx3 > kThreshold ? fx3 : (lab.L / 116.0 + lab.a / 500.0) * kLinear);
    const double Y = 100.0 * (fy3 > kThreshold ? fy3 : (lab.L / 116.0) * kLinear);
    const double Z = 82.49 * (fz3 > kThreshold ? fz3 : (lab.L / 116.0 - lab.b / 200.0) * kLinear);
    // 2. Adaptation to D65 in a cone space.
    const double rho = (0.38971 * X + 0.68898 * Y - 0.07868 * Z) * 0.9739220951011044;
    const double gamma = (-0.22981 * X + 1.1834 * Y + 0.04641 * Z) * 1.0153753993680101;
    const double beta = Z * 1.320038792580919;
    const double x65 = (1.9102 * rho - 1.1121 * gamma + 0.2019 * beta) / 100.0;
    const double y65 = (0.371 * rho + 0.6291 * gamma) / 100.0;
    const double z65 = beta / 100.0;
    // 3. and 4. Linear sRGB, encoded, clamped and truncated to 8 bits.
    const double linear[3] = {3.241 * x65 - 1.5374 * y65 - 0.4986 * z65,
                              -0.9692 * x65 + 1.876 * y65 + 0.0416 * z65,
                              0.0556 * x65 - 0.204 * y65 + 1.057 * z65};
    OrvoLong channels[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const double v = linear[i];
        const double encoded =
            v <= 0.00304 ? 12.92 * v : 1.055 * std::pow(v, 0.4166666666666667) - 0.055;
        channels[i] = GenChartLib::channel0To255(std::min(encoded, 1.0) * 255.0);
    }
    return tagRGBRecord{channels[0], channels[1], channels[2]};
}

tagRGBRecord GetRGBFromCMYK(ColorQuadruple cmyk) {
    const double k = cmyk.k / 100.0;
    return tagRGBRecord{GenChartLib::inkPreviewChannel(cmyk.c, k),
                        GenChartLib::inkPreviewChannel(cmyk.m, k),
                        GenChartLib::inkPreviewChannel(cmyk.y, k)};
}

tagRGBRecord GetRGBFromCMYKOG(tagCMYKOGRecord ink) {
    // Orange and green folded into the process inks along their screen
    // angles (36, 58, 32 and 54 degrees, converted with pi = 3.1415).
    const double greenToCyan = std::cos(0.6283000000000001);
    const double orangeToMagenta = std::cos(1.0122611111111113);
    const double orangeToYellow = std::cos(0.5584888888888889);
    const double greenToYellow = std::cos(0.9424500000000001);
    const double c = std::min(ink.C + ink.G * greenToCyan, 100.0);
    const double m = std::min(ink.M + ink.O * orangeToMagenta, 100.0);
    const double y = std::min(ink.Y + ink.O * orangeToYellow + ink.G * greenToYellow, 100.0);
    return GetRGBFromCMYK(ColorQuadruple{c, m, y, ink.K});
}

tagRGBRecord GetRGBFromCMYKRGB(tagCMYKRGBRecord ink) {
    const double c = GenChartLib::inkAmount(ink.C);
    const double m = GenChartLib::inkAmount(ink.M);
    const double y = GenChartLib::inkAmount(ink.Y);
    const double k = GenChartLib::inkAmount(ink.K);
    const double r = GenChartLib::inkAmount(ink.R);
    const double g = GenChartLib::inkAmount(ink.G);
    const double b = GenChartLib::inkAmount(ink.B);
    // The process ink under black, rounded like a screen value.
    const auto underBlack = [k](double amount) {
        return std::floor((255.0 - amount) * (255.0 - k) / 255.0 + 0.5);
    };
    // Truncated toward zero; only the low byte is kept.
    const auto lowByte = [](double v) {
        return static_cast<OrvoLong>(static_cast<std::int64_t>(v) & 0xFF);
    };
    return tagRGBRecord{lowByte((255.0 - g) * underBlack(c) * (255.0 - b) / 65025.0),
                        lowByte((255.0 - r) * underBlack(m) * (255.0 - b) / 65025.0),
                        lowByte((255.0 - r) * underBlack(y) * (255.0 - g) / 65025.0)};
}

tagRGBRecord AddGreyVeilToRGB(tagRGBRecord rgb) {
    const LabRecord lab = GetLABFromRGB(rgb);
    return GetRGBFromLab(LabRecord{1.2 * lab.L, lab.a / 3.0, 0.25 * lab.b});
}
