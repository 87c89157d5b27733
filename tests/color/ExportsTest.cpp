// The colour functions must be reachable by name in the shared library, with
// the C++ linkage names a host compiled from the public header links against.
#include <gtest/gtest.h>

#if !defined(_WIN32)

#include <dlfcn.h>

#include <string>

#include "OrvoChartInterface.h"

namespace {

// Itanium C++ ABI names of the public declarations; OrvoLong is int here.
constexpr const char* kExportedNames[] = {
    "_Z13GetLABfromXYZdddPdS_S_j",
    "_Z16GetLABfromXYZ_ExdddPdS_S_jj",
    "_Z13GetXYZfromLABdddPdS_S_j",
    "_Z14GetXYZrelative12ColorTriplexPS_jjS_",
    "_Z13GetLCHFromLab9LabRecord",
    "_Z13GetLabFromLCH9LCHRecord",
    "_Z13GetXYZFromRGB12tagRGBRecord",
    "_Z13GetLABFromRGB12tagRGBRecord",
    "_Z13GetRGBfromXYZdddPiS_S_j",
    "_Z13GetRGBFromLab9LabRecord",
    "_Z14GetRGBFromCMYK14ColorQuadruple",
    "_Z16GetRGBFromCMYKOG15tagCMYKOGRecord",
    "_Z17GetRGBFromCMYKRGB16tagCMYKRGBRecord",
    "_Z16AddGreyVeilToRGB12tagRGBRecord",
    "_Z15GetDeltaE_CIE76dddddd",
    "_Z15GetDeltaE_CIE94dddddd",
    "_Z17GetDeltaE_CIE2000dddddd",
    "_Z16GetDeltaE_CIECMCdddddd",
    "_Z9GetDeltaHdddddd",
    "_Z9GetDeltaFdddddd",
    "_Z17GetWeightedDeltaLddd",
    "_Z18GetWeightedDeltaChdd",
    "_Z9GetDeltaTiP12ColorTriplexS0_P14ColorQuadruplej",
    "_Z14GetDeltaTArrayPdP12ColorTriplexS1_P14ColorQuadruplej",
    "_Z36GetDeltaLFograMediaRelativeDarkAreasiP14ColorQuadrupleP9LabRecordS2_",
    "_Z12GetPSDResultdPd",
    "_Z21GetXYZfromSPECTRAL_Ex11SpectRecordP12ColorTriplexjj",
    "_Z18GetXYZfromSPECTRAL11SpectRecord",
    "_Z21GetDesityfromSPECTRALi11SpectRecord",
    "_Z19GetGrayColorPatchesiP14ColorQuadrupleiiPt",
    "_Z15GetWholeSummaryP21tagMeasuredDataRecord",
};

// The library is loaded the way a host loads it: by file name, with its
// own symbol scope.
TEST(SharedLibrary, ExportsEveryColourFunctionAndHidesTheInternals) {
    const std::string path = std::string(ORVOCHART_MODULE_DIR) + "/libOrvoChartInterfaceShared.so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    for (const char* name : kExportedNames) {
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    }
    // GenChartLib::hueDegrees(double, double)
    EXPECT_EQ(dlsym(handle, "_ZN11GenChartLib10hueDegreesEdd"), nullptr);
    // The first published CIEDE2000 pair through the exported entry.
    using DeltaE = double (*)(double, double, double, double, double, double);
    const auto deltaE2000 = reinterpret_cast<DeltaE>(dlsym(handle, "_Z17GetDeltaE_CIE2000dddddd"));
    ASSERT_NE(deltaE2000, nullptr);
    EXPECT_NEAR(deltaE2000(50, 2.6772, -79.7751, 50, 0, -82.7485), 2.0425, 1e-4);
    dlclose(handle);
}

}  // namespace

#endif  // !_WIN32
