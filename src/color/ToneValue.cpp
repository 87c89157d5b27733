// Tone-value differences of single-ink tints (Murray-Davies).
#include "color/ToneValue.h"

#include <cmath>
#include <cstdint>

namespace GenChartLib {
namespace {

constexpr int kInkCount = 4;

// Paper and solids of a patch set, by rounded whole percent; -1 when absent.
struct ToneReferences {
    std::int64_t paper = -1;
    std::int64_t solid[kInkCount] = {-1, -1, -1, -1};
};

double wholePercent(double value255) {
    return std::floor(value255 / 2.55 + 0.5);
}

ToneReferences findToneReferences(const ColorQuadruple* inks, unsigned count) {
    ToneReferences refs;
    for (unsigned i = 0; i < count; ++i) {
        double percent[kInkCount];
        int atZero = 0;
        int atFull = -1;
        for (int ink = 0; ink < kInkCount; ++ink) {
            percent[ink] = wholePercent(inkAmount(inks[i], ink));
            atZero += percent[ink] == 0.0 ? 1 : 0;
            atFull = percent[ink] == 100.0 ? ink : atFull;
        }
        if (atZero == kInkCount && refs.paper < 0) {
            refs.paper = i;
        } else if (atZero == kInkCount - 1 && atFull >= 0 && refs.solid[atFull] < 0) {
            refs.solid[atFull] = i;
        }
    }
    return refs;
}

// The tristimulus value that follows ink `ink`: X for cyan, Y for magenta
// and black, Z for yellow.
double toneChannel(const ColorTriplex& xyz, int ink) {
    switch (ink) {
        case 0:
            return xyz.X;
        case 2:
            return xyz.Z;
        default:
            return xyz.Y;
    }
}

double murrayDavies(const ColorTriplex* xyz, std::int64_t paper, std::int64_t patch,
                    std::int64_t solid, int ink) {
    const double tPaper = toneChannel(xyz[paper], ink);
    const double tSolid = toneChannel(xyz[solid], ink);
    if (tPaper == tSolid) {
        return 0.0;
    }
    return (tPaper - toneChannel(xyz[patch], ink)) / (tPaper - tSolid) * 100.0;
}

// Tone-value difference of tint `patch` of ink `ink`: 0 for the solid
// itself, kNoToneValue when the set lacks the paper or the solid.
double toneValueDifference(const ColorTriplex* first, const ColorTriplex* second,
                           const ToneReferences& refs, std::int64_t patch, int ink) {
    const std::int64_t solid = refs.solid[ink];
    if (patch == solid) {
        return 0.0;  // by definition, with or without a paper patch
    }
    if (refs.paper < 0 || solid < 0) {
        return kNoToneValue;
    }
    return murrayDavies(second, refs.paper, patch, solid, ink) -
           murrayDavies(first, refs.paper, patch, solid, ink);
}

}  // namespace

double inkAmount(const ColorQuadruple& inks, int ink) {
    switch (ink) {
        case 0:
            return inks.c;
        case 1:
            return inks.m;
        case 2:
            return inks.y;
        default:
            return inks.k;
    }
}

TintClass tintClass(const ColorQuadruple& inks) {
    int above = 0;
    int zero = 0;
    int tintInk = -1;
    for (int ink = 0; ink < kInkCount; ++ink) {
        const double amount = inkAmount(inks, ink);
        if (amount > 0.0) {
            ++above;
            tintInk = ink;
        } else if (amount == 0.0) {
            ++zero;
        }
    }
    if (zero == kInkCount) {
        return TintClass::Paper;
    }
    return above == 1 && zero == kInkCount - 1 ? static_cast<TintClass>(tintInk) : TintClass::Mixed;
}

}  // namespace GenChartLib

double GetDeltaT(int index, ColorTriplex* first, ColorTriplex* second, ColorQuadruple* inks,
                 unsigned count) {
    using namespace GenChartLib;
    if (first == nullptr || second == nullptr || inks == nullptr || index < 0 ||
        static_cast<unsigned>(index) >= count) {
        return kNoToneValue;
    }
    const TintClass cls = tintClass(inks[index]);
    if (cls == TintClass::Mixed || cls == TintClass::Paper) {
        return kNoToneValue;
    }
    return toneValueDifference(first, second, findToneReferences(inks, count), index,
                               static_cast<int>(cls));
}

int GetDeltaTArray(double* result, ColorTriplex* first, ColorTriplex* second, ColorQuadruple* inks,
                   unsigned count) {
    using namespace GenChartLib;
    if (result == nullptr || first == nullptr || second == nullptr || inks == nullptr) {
        return -1;
    }
    const ToneReferences refs = findToneReferences(inks, count);
    for (unsigned i = 0; i < count; ++i) {
        const TintClass cls = tintClass(inks[i]);
        result[i] = (cls == TintClass::Mixed || cls == TintClass::Paper)
                        ? 0.0
                        : toneValueDifference(first, second, refs, i, static_cast<int>(cls));
    }
    return 0;
}
