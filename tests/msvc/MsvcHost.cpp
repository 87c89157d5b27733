// A host built for the MSVC ABI (clang for x86_64-pc-windows-msvc, linked by
// lld-link against OrvoChartInterfaceShared.lib), so every call below reaches
// the DLL by MSVC's decorated name. It runs without a C or C++ runtime, on
// kernel32 alone. Expected values: CIEDE2000 pairs 1 and 17 of Sharma, Wu and
// Dalal (2005); the D50 white of the CIE 1931 observer (ASTM E308); the
// i1Pro 2 layout of 90 patches on A4 (6 strips of 15, a page of 202.4 x 83.4 mm)
// worked out in tests/host/EyeOneChartTest.cpp.
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

// The pixel size of the first image of a TIFF file, read from its first
// directory (tags 256 and 257); false when the file is no TIFF.
unsigned char page[1 << 18];

bool tiffSize(const char* path, unsigned& width, unsigned& height) {
    void* file = CreateFileA(path, 0x80000000u /* GENERIC_READ */, 1, nullptr,
                             3 /* OPEN_EXISTING */, 0x80 /* FILE_ATTRIBUTE_NORMAL */, nullptr);
    if (file == reinterpret_cast<void*>(-1)) {
        return false;
    }
    unsigned long size = 0;
    const bool read = ReadFile(file, page, sizeof page, &size, nullptr) != 0;
    CloseHandle(file);
    const bool little = size >= 8 && page[0] == 'I' && page[1] == 'I';
    auto number = [little](unsigned at, unsigned bytes) {
        unsigned value = 0;
        for (unsigned i = 0; i < bytes; ++i) {
            value |= static_cast<unsigned>(page[at + (little ? i : bytes - 1 - i)]) << (8 * i);
        }
        return value;
    };
    if (!read || size < 8 || (!little && !(page[0] == 'M' && page[1] == 'M')) ||
        number(2, 2) != 42) {
        return false;
    }
    const unsigned directory = number(4, 4);
    const unsigned entries = directory + 2 <= size ? number(directory, 2) : 0;
    width = height = 0;
    for (unsigned e = 0; e < entries && directory + 2 + 12 * (e + 1) <= size; ++e) {
        const unsigned at = directory + 2 + 12 * e;
        const unsigned value = number(at + 2, 2) == 3 ? number(at + 8, 2) : number(at + 8, 4);
        width = number(at, 2) == 256 ? value : width;
        height = number(at, 2) == 257 ? value : height;
    }
    return true;
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
    int strips = -7;
    int columns = -7;
    int spare = -7;
    const int refused = createChart(MI_EYEONEPRO2, ORVOCHART_OUTPUT_DIR "/refused.tif",
                                    ORVOCHART_OUTPUT_DIR "/no-such-reference.txt", 210, 297, 0,
                                    &strips, &columns, &spare, CM_CMYK);
    unsigned width = 0;
    unsigned height = 0;
    check(refused == 0 && strips == -7 && columns == -7 && spare == -7 &&
              !tiffSize(ORVOCHART_OUTPUT_DIR "/refused.tif", width, height),
          "createChart: a missing reference is refused, nothing written");
#if defined(ORVOCHART_WITH_MODULES)
    const int made =
        createChart(MI_EYEONEPRO2, ORVOCHART_OUTPUT_DIR "/chart.tif", ORVOCHART_REFERENCE, 210, 297,
                    0, &strips, &columns, &spare, CM_CMYK);
    check(made == 1 && strips == 6 && columns == 15 && spare == -7,
          "createChart: i1Pro 2 chart of 90 patches on A4, 6 strips of 15");
    // 202.4 x 83.4 mm at 0.1 mm a pixel.
    check(tiffSize(ORVOCHART_OUTPUT_DIR "/chart.tif", width, height) && width == 2024 &&
              height == 834,
          "createChart: the page is a TIFF of 2024 x 834 pixels");
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
