// Tristimulus values from reflectance spectra.
#include "color/Spectral.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>

namespace GenChartLib {
namespace {

constexpr double kLagrangeFromStepNm = 5.01;
constexpr unsigned kIlluminantNumbers = 12;
constexpr unsigned kObserverNumbers = 9;
// Equal energy in absolute units: the sums times the luminous efficacy
// factor instead of a normalisation to Y = 100.
constexpr unsigned kAbsoluteEqualEnergy = 1;
constexpr double kAbsoluteFactor = 0.683;
constexpr int kMaxSpectrumValues = 36;
// Reflectance factors enter the sums as percentages.
constexpr double kReflectanceDivisor = 0.01;

// Four-point Lagrange interpolation at t in [0, 1] between p1 and p2, with
// p0 and p3 the outer neighbours.
double lagrange4(double p0, double p1, double p2, double p3, double t) {
    const double tp1 = t + 1.0;
    const double tm1 = t - 1.0;
    const double tm2 = t - 2.0;
    return -p0 * t * tm1 * tm2 / 6.0 + p1 * tp1 * tm1 * tm2 / 2.0 - p2 * tp1 * t * tm2 / 2.0 +
           p3 * tp1 * t * tm1 / 6.0;
}

// Equally spaced values (already divided by the divisor) with the
// interpolation rule of the spectral tables.
class SampledFunction {
  public:
    SampledFunction(const double* values, int count, double firstNm, double lastNm)
        : values_(values), count_(count), firstNm_(firstNm), lastNm_(lastNm) {
        stepNm_ = count > 1 ? (lastNm - firstNm) / (count - 1) : 0.0;
        cubic_ = stepNm_ >= kLagrangeFromStepNm;
    }

    double at(double nm) const {
        if (count_ == 1) {
            return values_[0] > 0.0 ? values_[0] : 0.0;
        }
        const double clamped = std::clamp(nm, firstNm_, lastNm_);
        const double position = (clamped - firstNm_) / stepNm_;
        const int i = std::min(static_cast<int>(position), count_ - 2);
        const double t = position - i;
        double value = 0.0;
        if (cubic_) {
            // At the ends the first value stands in for i - 1 and value i + 1
            // for i + 2.
            const double before = values_[i > 0 ? i - 1 : 0];
            const double after = values_[i + 2 < count_ ? i + 2 : i + 1];
            value = lagrange4(before, values_[i], values_[i + 1], after, t);
        } else {
            value = values_[i] + t * (values_[i + 1] - values_[i]);
        }
        return value > 0.0 ? value : 0.0;
    }

  private:
    const double* values_;
    int count_;
    double firstNm_;
    double lastNm_;
    double stepNm_ = 0.0;
    bool cubic_ = false;
};

void buildWeights(const SpectralTable& illuminant, const ColorMatchingSet& observer, bool absolute,
                  TristimulusWeights& weights) {
    weights.firstNm = static_cast<int>(observer.y.firstNm);
    weights.bandCount = static_cast<int>(observer.y.lastNm - observer.y.firstNm) + 1;
    double normaliser = 0.0;
    for (int band = 0; band < weights.bandCount; ++band) {
        const double nm = weights.firstNm + band;
        const double s = interpolateAt(illuminant, nm);
        weights.x[band] = s * interpolateAt(observer.x, nm);
        weights.y[band] = s * interpolateAt(observer.y, nm);
        weights.z[band] = s * interpolateAt(observer.z, nm);
        normaliser += weights.y[band];
    }
    weights.scale = absolute ? kAbsoluteFactor : 1.0 / normaliser;
}

bool isUsableSpectrum(const SpectRecord& spectrum) {
    return spectrum.count >= 1 && spectrum.count <= kMaxSpectrumValues &&
           (spectrum.count == 1 || spectrum.step > 0);
}

// Steps up to this many nanometres get their interpolation weights
// tabulated once per call; wider ones are interpolated band by band.
constexpr std::int64_t kMaxTabulatedStepNm = 100;

// Interpolation weights of the four neighbours i - 1 .. i + 2 at offset
// j / step inside an interval, for every offset j of a step.
struct OffsetWeights {
    double w[kMaxTabulatedStepNm][4];
};

void tabulateOffsetWeights(std::int64_t stepNm, bool cubic, OffsetWeights& table) {
    for (std::int64_t j = 0; j < stepNm; ++j) {
        const double t = static_cast<double>(j) / static_cast<double>(stepNm);
        double* w = table.w[j];
        if (cubic) {
            w[0] = -t * (t - 1.0) * (t - 2.0) / 6.0;
            w[1] = (t + 1.0) * (t - 1.0) * (t - 2.0) / 2.0;
            w[2] = -(t + 1.0) * t * (t - 2.0) / 2.0;
            w[3] = (t + 1.0) * t * (t - 1.0) / 6.0;
        } else {
            w[0] = 0.0;
            w[1] = 1.0 - t;
            w[2] = t;
            w[3] = 0.0;
        }
    }
}

double notNegative(double v) {
    return v > 0.0 ? v : 0.0;
}

// The sample's reflectance (percent) at each 1 nm band of the integration,
// interval by interval: within one interval the four neighbours are fixed
// and the weights depend only on the offset, so each band costs one short
// dot product.
void reflectanceAtBands(const double* percent, const SpectRecord& spectrum, int firstNm,
                        int bandCount, double* r) {
    const int count = spectrum.count;
    const std::int64_t startNm = spectrum.start;
    const std::int64_t stepNm = spectrum.step;
    if (count == 1 || stepNm > kMaxTabulatedStepNm) {
        const double lastNm = static_cast<double>(startNm + (count - 1) * stepNm);
        const SampledFunction f(percent, count, static_cast<double>(startNm), lastNm);
        for (int band = 0; band < bandCount; ++band) {
            r[band] = f.at(firstNm + band);
        }
        return;
    }
    OffsetWeights table;
    tabulateOffsetWeights(stepNm, static_cast<double>(stepNm) >= kLagrangeFromStepNm, table);
    const std::int64_t lastNm = startNm + (count - 1) * stepNm;
    int band = 0;
    for (; band < bandCount && firstNm + band <= startNm; ++band) {
        r[band] = notNegative(percent[0]);
    }
    while (band < bandCount && firstNm + band < lastNm) {
        const std::int64_t offset = firstNm + band - startNm;
        const auto i = static_cast<int>(offset / stepNm);
        const double p0 = percent[i > 0 ? i - 1 : 0];
        const double p1 = percent[i];
        const double p2 = percent[i + 1];
        const double p3 = percent[i + 2 < count ? i + 2 : i + 1];
        for (std::int64_t j = offset % stepNm; j < stepNm && band < bandCount; ++j, ++band) {
            const double* w = table.w[j];
            r[band] = notNegative(w[0] * p0 + w[1] * p1 + w[2] * p2 + w[3] * p3);
        }
    }
    for (; band < bandCount; ++band) {
        r[band] = notNegative(percent[count - 1]);
    }
}

ColorTriplex integrate(const SpectRecord& spectrum, const TristimulusWeights& weights) {
    double percent[kMaxSpectrumValues];
    for (int i = 0; i < spectrum.count; ++i) {
        percent[i] = spectrum.value[i] / kReflectanceDivisor;
    }
    double r[TristimulusWeights::kMaxBands];
    reflectanceAtBands(percent, spectrum, weights.firstNm, weights.bandCount, r);
    double sumX = 0.0;
    double sumY = 0.0;
    double sumZ = 0.0;
    for (int band = 0; band < weights.bandCount; ++band) {
        sumX += weights.x[band] * r[band];
        sumY += weights.y[band] * r[band];
        sumZ += weights.z[band] * r[band];
    }
    const auto scaled = [&](double sum) { return notNegative(sum * weights.scale); };
    return ColorTriplex{scaled(sumX), scaled(sumY), scaled(sumZ)};
}

}  // namespace

double interpolateAt(const SpectralTable& table, double nm) {
    // Built-in tables hold values in table units; scale once per lookup.
    double scaled[TristimulusWeights::kMaxBands];
    for (int i = 0; i < table.count; ++i) {
        scaled[i] = table.values[i] / table.divisor;
    }
    return SampledFunction(scaled, table.count, table.firstNm, table.lastNm).at(nm);
}

const TristimulusWeights* tristimulusWeights(unsigned illuminant, unsigned observer) {
    const SpectralTable* spd = builtInIlluminant(illuminant);
    const ColorMatchingSet* cmf = builtInObserver(observer);
    if (spd == nullptr || cmf == nullptr) {
        return nullptr;
    }
    static std::once_flag built[kIlluminantNumbers][kObserverNumbers];
    static TristimulusWeights weights[kIlluminantNumbers][kObserverNumbers];
    TristimulusWeights& slot = weights[illuminant][observer];
    std::call_once(built[illuminant][observer],
                   [&] { buildWeights(*spd, *cmf, illuminant == kAbsoluteEqualEnergy, slot); });
    return &slot;
}

}  // namespace GenChartLib

int GetXYZfromSPECTRAL_Ex(SpectRecord spectrum, ColorTriplex* xyz, unsigned illuminant,
                          unsigned observer) {
    if (xyz == nullptr) {
        return -1;
    }
    *xyz = ColorTriplex{0.0, 0.0, 0.0};
    const GenChartLib::TristimulusWeights* weights =
        GenChartLib::tristimulusWeights(illuminant, observer);
    if (weights == nullptr || !GenChartLib::isUsableSpectrum(spectrum)) {
        return -1;
    }
    *xyz = GenChartLib::integrate(spectrum, *weights);
    return 0;
}

ColorTriplex GetXYZfromSPECTRAL(SpectRecord spectrum) {
    constexpr unsigned kD50 = 5;
    constexpr unsigned kCie1931 = 3;
    ColorTriplex xyz{0.0, 0.0, 0.0};
    GetXYZfromSPECTRAL_Ex(spectrum, &xyz, kD50, kCie1931);
    return xyz;
}
