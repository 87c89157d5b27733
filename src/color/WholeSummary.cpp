// Evaluation of a measured control wedge against its reference.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "OrvoChartInterface.h"
#include "color/ControlPatches.h"
#include "color/Differences.h"
#include "color/ToneValue.h"

namespace GenChartLib {
namespace {

// Classes of the summary: the four solids, paper and the three overprints.
constexpr int kSummaryClasses = 8;
constexpr int kPaperClass = 4;
constexpr int kNoClass = -1;
constexpr int kGreyPatchCapacity = MS_PATCH_INDICES - MS_GREY_PATCHES;
constexpr int kCheckedItems = MS_GREY_MAX_DH + 1;

// Make-ups (c, m, y, k on 0..255) of the eight summary classes, in class order.
constexpr int kClassMakeUps[kSummaryClasses][4] = {
    {255, 0, 0, 0}, {0, 255, 0, 0},   {0, 0, 255, 0},   {0, 0, 0, 255},
    {0, 0, 0, 0},   {0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0},
};

double roundToInteger(double v) {
    return std::floor(v + 0.5);
}
double roundTwoDecimals(double v) {
    return std::floor(100.0 * v + 0.5) / 100.0;
}

int summaryClass(const ColorQuadruple& inks) {
    const double rounded[4] = {roundToInteger(inks.c), roundToInteger(inks.m),
                               roundToInteger(inks.y), roundToInteger(inks.k)};
    for (int cls = 0; cls < kSummaryClasses; ++cls) {
        if (std::equal(std::begin(rounded), std::end(rounded), kClassMakeUps[cls],
                       [](double v, int makeUp) { return v == makeUp; })) {
            return cls;
        }
    }
    return kNoClass;
}

OrvoLong previewChannel(double inverted) {
    const double v = roundToInteger(inverted);
    if (!(v > 0.0)) {
        return 0;
    }
    return v >= 255.0 ? 255 : static_cast<OrvoLong>(v);
}

// A screen colour for the patch: the process inks inverted, or grey from
// black when the patch carries black.
tagRGBRecord previewColor(const ColorQuadruple& inks) {
    if (inks.k != 0.0) {
        const OrvoLong grey = previewChannel(255.0 - inks.k);
        return tagRGBRecord{grey, grey, grey};
    }
    return tagRGBRecord{previewChannel(255.0 - inks.c), previewChannel(255.0 - inks.m),
                        previewChannel(255.0 - inks.y)};
}

void resetSummary(tagMeasuredDataRecord& r) {
    std::fill(std::begin(r.result), std::end(r.result), -1.0);
    std::fill(std::begin(r.patchIndex), std::end(r.patchIndex), -1);
    std::fill(std::begin(r.pass), std::end(r.pass), static_cast<unsigned char>(0));
}

void computeColorimetry(tagMeasuredDataRecord& r) {
    const auto whitePoint = static_cast<unsigned>(r.whitePoint);
    for (int i = 0; i < r.count; ++i) {
        if (r.refSpectra != nullptr) {
            r.refXYZ[i] = GetXYZfromSPECTRAL(r.refSpectra[i]);
        }
        if (r.measSpectra != nullptr) {
            r.measXYZ[i] = GetXYZfromSPECTRAL(r.measSpectra[i]);
        }
        GetLABfromXYZ(r.refXYZ[i].X, r.refXYZ[i].Y, r.refXYZ[i].Z, &r.refLab[i].L, &r.refLab[i].a,
                      &r.refLab[i].b, whitePoint);
        GetLABfromXYZ(r.measXYZ[i].X, r.measXYZ[i].Y, r.measXYZ[i].Z, &r.measLab[i].L,
                      &r.measLab[i].a, &r.measLab[i].b, whitePoint);
    }
}

double deltaHAt(const tagMeasuredDataRecord& r, int i) {
    const LabRecord& ref = r.refLab[i];
    const LabRecord& meas = r.measLab[i];
    return GetDeltaH(ref.L, ref.a, ref.b, meas.L, meas.a, meas.b);
}

void computePerPatchDifferences(tagMeasuredDataRecord& r) {
    for (int i = 0; i < r.count; ++i) {
        if (r.deltaE != nullptr) {
            deltaEByFormula(r.formula, r.refLab[i], r.measLab[i], r.deltaE[i]);
        }
        if (r.deltaH != nullptr) {
            r.deltaH[i] = deltaHAt(r, i);
        }
    }
    if (r.deltaT != nullptr && r.inks != nullptr) {
        GetDeltaTArray(r.deltaT, r.refXYZ, r.measXYZ, r.inks, static_cast<unsigned>(r.count));
    }
}

// Delta E of patch i: from the host's array when there is one (computed
// above, or left as the host gave it for an unknown formula), otherwise
// computed with the record's formula; false when neither is possible.
bool deltaEAt(const tagMeasuredDataRecord& r, int i, double& deltaE) {
    if (r.deltaE != nullptr) {
        deltaE = r.deltaE[i];
        return true;
    }
    return deltaEByFormula(r.formula, r.refLab[i], r.measLab[i], deltaE);
}

// Keeps the largest value offered for a result item and the patch behind it.
void offerMaximum(tagMeasuredDataRecord& r, int item, double value, int patch) {
    if (value > r.result[item] || r.patchIndex[item] < 0) {
        if (!std::isnan(value)) {
            r.result[item] = value;
            r.patchIndex[item] = patch;
        }
    }
}

void summariseDeltaE(tagMeasuredDataRecord& r) {
    double sum = 0.0;
    for (int i = 0; i < r.count; ++i) {
        double deltaE = 0.0;
        if (!deltaEAt(r, i, deltaE)) {
            return;
        }
        sum += deltaE;
        offerMaximum(r, MS_MAX_DE, deltaE, i);
        const int cls = r.inks != nullptr ? summaryClass(r.inks[i]) : kNoClass;
        if (cls != kNoClass) {
            offerMaximum(r, MS_MAX_DE_CYAN + cls, deltaE, i);
        }
    }
    r.result[MS_AVERAGE_DE] = sum / r.count;
}

void summariseDeltaH(tagMeasuredDataRecord& r) {
    if (r.deltaH == nullptr || r.inks == nullptr) {
        return;
    }
    for (int i = 0; i < r.count; ++i) {
        const int cls = summaryClass(r.inks[i]);
        if (cls != kNoClass && cls != kPaperClass) {
            offerMaximum(r, MS_MAX_DH_CYAN + cls, r.deltaH[i], i);
        }
    }
}

void summariseToneValues(tagMeasuredDataRecord& r) {
    if (r.deltaT == nullptr || r.inks == nullptr) {
        return;
    }
    for (int i = 0; i < r.count; ++i) {
        const TintClass cls = tintClass(r.inks[i]);
        if (cls == TintClass::Mixed || cls == TintClass::Paper || r.deltaT[i] == kNoToneValue) {
            continue;
        }
        offerMaximum(r, MS_MAX_DT_CYAN + static_cast<int>(cls), std::fabs(r.deltaT[i]), i);
    }
}

void summariseGreyBalance(tagMeasuredDataRecord& r) {
    unsigned short found[kGreyPatchCapacity];
    int greyCount = static_cast<int>(
        GetGrayColorPatches(r.count, r.inks, kGreyPatchCapacity, kGreyBalanceTable, found));
    if (greyCount == 0) {
        greyCount = static_cast<int>(GetGrayColorPatches(r.count, r.inks, kGreyPatchCapacity,
                                                         kGreyBalanceTableOlder, found));
    }
    if (greyCount == 0) {
        return;
    }
    double sum = 0.0;
    for (int j = 0; j < greyCount; ++j) {
        const int patch = found[j];
        const double deltaH = deltaHAt(r, patch);
        sum += deltaH;
        offerMaximum(r, MS_GREY_MAX_DH, deltaH, patch);
        r.patchIndex[MS_GREY_PATCHES + j] = patch;
    }
    r.result[MS_GREY_AVERAGE_DH] = sum / greyCount;
}

void setPassFlags(tagMeasuredDataRecord& r) {
    for (int item = 0; item < kCheckedItems; ++item) {
        const double value = r.result[item];
        if (value >= 0.0 && roundTwoDecimals(value) <= r.limits[item]) {
            r.pass[item] = 1;
        }
    }
}

}  // namespace
}  // namespace GenChartLib

int GetWholeSummary(tagMeasuredDataRecord* record) {
    using namespace GenChartLib;
    if (record == nullptr) {
        return -1;
    }
    tagMeasuredDataRecord& r = *record;
    resetSummary(r);
    if (r.count <= 0) {
        return -1;
    }
    if (r.inks != nullptr && r.previewRGB != nullptr) {
        std::transform(r.inks, r.inks + r.count, r.previewRGB, previewColor);
    }
    if (r.refXYZ == nullptr || r.refLab == nullptr || r.measXYZ == nullptr ||
        r.measLab == nullptr) {
        return -1;
    }
    computeColorimetry(r);
    computePerPatchDifferences(r);
    summariseDeltaE(r);
    summariseDeltaH(r);
    summariseToneValues(r);
    if (r.inks != nullptr) {
        r.result[MS_DARK_AREAS_DL] =
            GetDeltaLFograMediaRelativeDarkAreas(r.count, r.inks, r.refLab, r.measLab);
        summariseGreyBalance(r);
    }
    setPassFlags(r);
    return 0;
}
