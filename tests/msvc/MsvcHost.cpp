// A host built for the MSVC ABI (clang for x86_64-pc-windows-msvc, linked by
// lld-link against OrvoChartInterfaceShared.lib), so every call below reaches
// the DLL by MSVC's decorated name. It runs without a C or C++ runtime, on
// kernel32 alone. Expected values: CIEDE2000 pairs 1 and 17 of Sharma, Wu and
// Dalal (2005); the D50 white of the CIE 1931 observer (ASTM E308); the
// i1Pro 2 layout of 90 patches on A4 (6 strips of 15) worked out in
// tests/host/EyeOneChartTest.cpp.
#include "OrvoChartInterface.h"

using Size = decltype(sizeof 0);

extern "C" {
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long which);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size,
                                              unsigned long* done, void* overlapped);
__declspec(dllimport) int __stdcall CreateDirectoryA(const char* path, void* security);
__declspec(dllimport) void* __stdcall CreateFileA(const char* path, unsigned long access,
                                                  unsigned long share, void* security,
                                                  unsigned long disposition, unsigned long flags,
                                                  void* templateFile);
__declspec(dllimport) int __stdcall ReadFile(void* file, void* data, unsigned long size,
                                             unsigned long* done, void* overlapped);
__declspec(dllimport) int __stdcall CloseHandle(void* handle);
__declspec(dllimport) void* __stdcall GetModuleHandleA(const char* name);
__declspec(dllimport) void* __stdcall GetProcAddress(void* module, const char* name);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned code);

// What the compiler calls on for floating point and struct copies.
int _fltused = 0;
void* memcpy(void* to, const void* from, Size n) {
    for (Size i = 0; i < n; ++i) {
        static_cast<char*>(to)[i] = static_cast<const char*>(from)[i];
    }
    return to;
}
void* memset(void* to, int value, Size n) {
    for (Size i = 0; i < n; ++i) {
        static_cast<char*>(to)[i] = static_cast<char>(value);
    }
    return to;
}
}

namespace {

int failures = 0;

void say(const char* text) {
    Size n = 0;
    while (text[n] != '\0') {
        ++n;
    }
    unsigned long done = 0;
    WriteFile(GetStdHandle(static_cast<unsigned long>(-11)), text, static_cast<unsigned long>(n),
              &done, nullptr);
}

void check(bool ok, const char* what) {
    say(ok ? "ok   " : "FAIL ");
    say(what);
    say("\n");
    failures += ok ? 0 : 1;
}

bool near(double value, double expected, double tolerance) {
    return value - expected <= tolerance && expected - value <= tolerance;
}

// The file starts as a little-endian TIFF does (the page's size is read
// back with libtiff by the host tests).
bool isTiff(const char* path) {
    void* file = CreateFileA(path, 0x80000000u /* GENERIC_READ */, 1, nullptr,
                             3 /* OPEN_EXISTING */, 0x80 /* FILE_ATTRIBUTE_NORMAL */, nullptr);
    unsigned char head[4] = {};
    unsigned long size = 0;
    const bool read = file != reinterpret_cast<void*>(-1) &&
                      ReadFile(file, head, sizeof head, &size, nullptr) != 0 && size == 4;
    CloseHandle(file);
    return read && head[0] == 'I' && head[1] == 'I' && head[2] == 42 && head[3] == 0;
}

void colourFunctions() {
    check(near(GetDeltaE_CIE2000(50, 2.6772, -79.7751, 50, 0, -82.7485), 2.0425, 1e-4) &&
              near(GetDeltaE_CIE2000(50, 2.5, 0, 73, 25, -18), 27.1492, 1e-4),
          "GetDeltaE_CIE2000: six doubles, four of them on the stack");

    // A 32-bit long each; a wider write would reach the guard.
    OrvoLong rgb[4] = {-1, -1, -1, 12345};
    const int converted = GetRGBfromXYZ(95.047, 100, 108.883, &rgb[0], &rgb[1], &rgb[2], 1);
    check(converted == 0 && rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255 && rgb[3] == 12345,
          "GetRGBfromXYZ: the D65 white is sRGB white, through OrvoLong pointers");

    SpectRecord flat{};
    for (double& value : flat.value) {
        value = 1.0;
    }
    flat.start = 380;
    flat.step = 10;
    flat.count = 36;
    const ColorTriplex white = GetXYZfromSPECTRAL(flat);
    check(near(white.X, 96.422, 0.02) && near(white.Y, 100.0, 1e-9) && near(white.Z, 82.521, 0.02),
          "GetXYZfromSPECTRAL: a structure in and one out by value");
}

// The names hosts of other kinds link or look up lead to the same function.
void exportNames() {
    void* dll = GetModuleHandleA("OrvoChartInterfaceShared.dll");
    void* const linked = reinterpret_cast<void*>(&createChart);
    check(dll != nullptr && GetProcAddress(dll, "createChart") == linked &&
              GetProcAddress(
                  dll, "_Z11createChart19IdMeasureInstrumentPKcS1_ddiPiS2_S2_9ColorMode") == linked,
          "createChart: its plain and GCC names are the function linked by MSVC's");
}

void charts() {
    int strips = -7, columns = -7, spare = -7;
    const int refused = createChart(MI_EYEONEPRO2, ORVOCHART_OUTPUT_DIR "/refused.tif",
                                    ORVOCHART_OUTPUT_DIR "/no-such-reference.txt", 210, 297, 0,
                                    &strips, &columns, &spare, CM_CMYK);
    check(refused == 0 && strips == -7 && columns == -7 && spare == -7 &&
              !isTiff(ORVOCHART_OUTPUT_DIR "/refused.tif"),
          "createChart: a missing reference is refused, nothing written");
#if defined(ORVOCHART_WITH_MODULES)
    const int made =
        createChart(MI_EYEONEPRO2, ORVOCHART_OUTPUT_DIR "/chart.tif", ORVOCHART_REFERENCE, 210, 297,
                    0, &strips, &columns, &spare, CM_CMYK);
    check(made == 1 && strips == 6 && columns == 15 && spare == -7 &&
              isTiff(ORVOCHART_OUTPUT_DIR "/chart.tif"),
          "createChart: i1Pro 2 chart of 90 patches on A4, 6 strips of 15, a TIFF page");
#endif
}

}  // namespace

extern "C" void mainCRTStartup() {
    CreateDirectoryA(ORVOCHART_OUTPUT_DIR, nullptr);
    colourFunctions();
    exportNames();
    charts();
    ExitProcess(failures == 0 ? 0 : 1);
}
