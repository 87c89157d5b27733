// The spectral tables compiled into the library: illuminants, colour-matching
// functions, density responses and the visual density weights. All of them
// are constant data, shared read-only by every thread.
#ifndef ORVOCHART_COLOR_SPECTRALDATA_H
#define ORVOCHART_COLOR_SPECTRALDATA_H

namespace GenChartLib {

// A sampled spectral function: `count` values at equal steps from firstNm to
// lastNm; the function's value at sample i is values[i] / divisor.
struct SpectralTable {
    int count;
    double firstNm;
    double lastNm;
    double divisor;
    const double* values;
};

// The three colour-matching functions of one observer.
struct ColorMatchingSet {
    SpectralTable x;
    SpectralTable y;
    SpectralTable z;
};

// Densities are taken on 36 wavelengths, 380..730 nm at 10 nm.
constexpr int kDensityBands = 36;
constexpr int kDensityFirstNm = 380;
constexpr int kDensityStepNm = 10;

// log10 spectral products (peak 5.000) of the red, green and blue filters of
// one density type, one value per density wavelength; -infinity where the
// filter does not respond.
struct DensityResponse {
    const double* red;
    const double* green;
    const double* blue;
};

// The built-in illuminant of an illuminant number, nullptr for a number
// without a table (2 stands for a caller-supplied table, 12 and above are
// unknown).
const SpectralTable* builtInIlluminant(unsigned number);

// The built-in observer of an observer number, nullptr for 1, 2 and numbers
// above 8.
const ColorMatchingSet* builtInObserver(unsigned number);

// The filter responses of density type 0..6, nullptr for other types.
const DensityResponse* densityResponse(long type);

// Linear weights of the visual density: the photopic luminous efficiency
// V(lambda) at the 36 density wavelengths.
const double* visualDensityWeights();

}  // namespace GenChartLib

#endif  // ORVOCHART_COLOR_SPECTRALDATA_H
