// Colour densities from reflectance spectra.
#include <array>
#include <cmath>

#include "OrvoChartInterface.h"
#include "color/SpectralData.h"

namespace GenChartLib {
namespace {

constexpr int kDensityTypes = 7;

using BandWeights = std::array<double, kDensityBands>;

// Linear filter weights (10 raised to the log spectral product) of every
// density type, computed once and shared read-only.
struct LinearResponse {
    BandWeights red;
    BandWeights green;
    BandWeights blue;
};

BandWeights linearWeights(const double* logProducts) {
    BandWeights weights{};
    for (std::size_t i = 0; i < weights.size(); ++i) {
        weights[i] = std::pow(10.0, logProducts[i]);
    }
    return weights;
}

const LinearResponse& linearResponse(long type) {
    static const std::array<LinearResponse, kDensityTypes> responses = [] {
        std::array<LinearResponse, kDensityTypes> all{};
        for (std::size_t t = 0; t < all.size(); ++t) {
            const DensityResponse* log = densityResponse(static_cast<long>(t));
            all[t] = LinearResponse{linearWeights(log->red), linearWeights(log->green),
                                    linearWeights(log->blue)};
        }
        return all;
    }();
    return responses[static_cast<std::size_t>(type)];
}

// -log10 of the weighted mean reflectance; 0 when that mean is not above 0.
double density(const double* reflectance, const double* weights) {
    double weighted = 0.0;
    double total = 0.0;
    for (int i = 0; i < kDensityBands; ++i) {
        weighted += reflectance[i] * weights[i];
        total += weights[i];
    }
    const double mean = weighted / total;
    return mean > 0.0 ? -std::log10(mean) : 0.0;
}

bool onDensityGrid(const SpectRecord& spectrum) {
    return spectrum.start == kDensityFirstNm && spectrum.step == kDensityStepNm &&
           spectrum.count == kDensityBands;
}

}  // namespace
}  // namespace GenChartLib

ColorQuadruple GetDesityfromSPECTRAL(OrvoLong densityType, SpectRecord spectrum) {
    using namespace GenChartLib;
    if (densityResponse(densityType) == nullptr || !onDensityGrid(spectrum)) {
        return ColorQuadruple{-1.0, 0.0, 0.0, 0.0};
    }
    const LinearResponse& response = linearResponse(densityType);
    return ColorQuadruple{density(spectrum.value, response.red.data()),
                          density(spectrum.value, response.green.data()),
                          density(spectrum.value, response.blue.data()),
                          density(spectrum.value, visualDensityWeights())};
}
