#include "color/WhitePoints.h"

namespace GenChartLib {
namespace {

// Tristimulus values of the four illuminants to two decimals, Y = 100, for
// the CIE 1931 2 degree and the CIE 1964 10 degree observer.
constexpr ColorTriplex kWhites2Degree[] = {
    {96.42, 100.0, 82.51},   // D50
    {95.04, 100.0, 108.88},  // D65
    {98.07, 100.0, 118.23},  // C
    {109.85, 100.0, 35.58},  // A
};
constexpr ColorTriplex kWhites10Degree[] = {
    {96.72, 100.0, 81.43},   // D50
    {94.81, 100.0, 107.32},  // D65
    {97.28, 100.0, 116.14},  // C
    {111.14, 100.0, 35.20},  // A
};

constexpr unsigned kObserver10Degree = 1;

}  // namespace

const ColorTriplex& referenceWhite(unsigned whitePoint, unsigned observer) {
    const unsigned index = whitePoint > 3 ? 0 : whitePoint;
    return observer == kObserver10Degree ? kWhites10Degree[index] : kWhites2Degree[index];
}

}  // namespace GenChartLib
