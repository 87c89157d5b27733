// A host compiled from the public header links against the C++ linkage names
// of the colour functions; other hosts look up the plain names. Looking up
// Itanium names with dlopen is Linux by nature.
#include <gtest/gtest.h>

#if !defined(_WIN32)

#include <dlfcn.h>

#include "OrvoChartInterface.h"

namespace {

// One function of each colour source file, under both names: the library
// must keep every such object file, and the alias is the same function.
TEST(SharedLibrary, ExportsTheColourFunctionsAndHidesTheInternals) {
    void* handle = dlopen(ORVOCHART_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const char* const names[][2] = {
        {"_Z13GetLABfromXYZdddPdS_S_j", "GetLABfromXYZ"},
        {"_Z17GetDeltaE_CIE2000dddddd", "GetDeltaE_CIE2000"},
        {"_Z9GetDeltaTiP12ColorTriplexS0_P14ColorQuadruplej", "GetDeltaT"},
        {"_Z19GetGrayColorPatchesiP14ColorQuadrupleiiPt", "GetGrayColorPatches"},
        {"_Z21GetXYZfromSPECTRAL_Ex11SpectRecordP12ColorTriplexjj", "GetXYZfromSPECTRAL_Ex"},
        {"_Z21GetDesityfromSPECTRALi11SpectRecord", "GetDesityfromSPECTRAL"},
        {"_Z15GetWholeSummaryP21tagMeasuredDataRecord", "GetWholeSummary"}};
    for (const auto& [mangled, plain] : names) {
        EXPECT_NE(dlsym(handle, mangled), nullptr) << mangled;
        EXPECT_EQ(dlsym(handle, mangled), dlsym(handle, plain)) << plain;
    }
    EXPECT_EQ(dlsym(handle, "_ZN11GenChartLib10hueDegreesEdd"), nullptr);
    dlclose(handle);
}

}  // namespace

#endif  // !_WIN32
