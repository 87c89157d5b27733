// Tristimulus integration of reflectance spectra.
#ifndef ORVOCHART_COLOR_SPECTRAL_H
#define ORVOCHART_COLOR_SPECTRAL_H

#include "OrvoChartInterface.h"
#include "color/SpectralData.h"

namespace GenChartLib {

// Value of `table` at `nm`: the wavelength is clamped to the table's range,
// then interpolated linearly when the table's step is below 5.01 nm and with
// four-point Lagrange interpolation otherwise; negative values give 0.
double interpolateAt(const SpectralTable& table, double nm);

// Wavelengths of one observer's 1 nm integration with one illuminant: the
// products illuminant x colour-matching function per nanometre, and the
// factor that scales the three sums to the 0..100 scale.
struct TristimulusWeights {
    static constexpr int kMaxBands = 601;
    int firstNm = 0;
    int bandCount = 0;
    double x[kMaxBands] = {};
    double y[kMaxBands] = {};
    double z[kMaxBands] = {};
    double scale = 0.0;
};

// The weights of illuminant and observer numbers, built on first use and
// shared read-only afterwards; nullptr when either number has no table.
const TristimulusWeights* tristimulusWeights(unsigned illuminant, unsigned observer);

}  // namespace GenChartLib

#endif  // ORVOCHART_COLOR_SPECTRAL_H
