// Public interface of OrvoChartInterfaceShared: the one header a host includes.
//
// Every exported function stands at global scope with C++ linkage. Integers
// that the interface calls "long" are 32 bits wide on every platform.
#ifndef ORVOCHART_INTERFACE_H
#define ORVOCHART_INTERFACE_H

#include <cstdint>

#if defined(_WIN32)
#if defined(ORVOCHART_BUILDING_LIBRARY)
#define ORVOCHART_API __declspec(dllexport)
#else
#define ORVOCHART_API __declspec(dllimport)
#endif
#else
#define ORVOCHART_API __attribute__((visibility("default")))
#endif

// A 32-bit signed integer: "long" on Windows, where long has 32 bits.
#if defined(_WIN32)
typedef long OrvoLong;
#else
typedef std::int32_t OrvoLong;
#endif

// Colour mode of a chart.
enum ColorMode : std::int32_t {
    CM_CMYK = 0,        // four process inks
    CM_CMYKOG = 1,      // CMYK plus orange and green
    CM_CMYKRGB = 2,     // CMYK plus red, green and blue inks
    CM_LAB = 3,         // CIE L*a*b* values
    CM_RGB = 4,         // RGB device values
    CM_CMYKO = 5,       // CMYK plus orange
    CM_SIXCOLOR_6 = 6,  // six-channel mode, handled like CM_CMYKOG
    CM_SIXCOLOR_7 = 7,  // six-channel mode, handled like CM_CMYKOG
    CM_SPOT_1 = 100,    // 1 to 8 spot colours: channels = value - 99
    CM_SPOT_2 = 101,
    CM_SPOT_3 = 102,
    CM_SPOT_4 = 103,
    CM_SPOT_5 = 104,
    CM_SPOT_6 = 105,
    CM_SPOT_7 = 106,
    CM_SPOT_8 = 107
};

// Instrument whose chart layout is wanted.
enum IdMeasureInstrument : std::int32_t {
    MI_DTP41 = 2,
    MI_SPECTROSCAN = 5,
    MI_EYEONE = 11,
    MI_QUILLEYE = 13,
    MI_ICCOLOR = 14,
    MI_LUMO10 = 15,
    MI_DTP20 = 16,
    MI_DTP70 = 17,
    MI_DTP45 = 19,
    MI_EYEONE_LOWRES = 20,
    MI_LUMO20 = 21,
    MI_EYEONEPRO2 = 22,
    MI_IOPRO2 = 23,
    MI_IO = 25,
    MI_ISIS = 26,
    MI_ISISUV = 27,
    MI_SPECTROLFP = 28,
    MI_SPECTROLFP_2 = 29,
    MI_SPECTROSWING = 31,
    MI_SPECTROSWING_2 = 32,
    MI_SPECTROLFP_3 = 33,
    MI_SPECTROPAD = 34,
    MI_KM_FD5BT = 35,
    MI_SPYDERPRINT = 36,
    MI_ISIS2NET = 37,
    MI_HPZ_UVCUT = 40,
    MI_HPZ = 41,
    MI_EPSON = 45,
    MI_CANON = 46,
    MI_EPSONILS30 = 47
};

// Makes the chart of `refFile`'s patches for `instrument` in `colorMode` on
// pages of pageWidth x pageHeight millimetres. The first page ends up at
// `outputFile` (never replacing an existing file); further pages and side
// files are named from it (outputFile + "_1.tif", ...). Returns 1 and the
// strips and columns of page 1 on success; 0 on any failure, leaving the
// out-parameters untouched (set ORVOCHART_LOG to see why). spareInt and
// spareOut are neither read nor written. Never throws.
ORVOCHART_API int createChart(IdMeasureInstrument instrument, const char* outputFile,
                              const char* refFile, double pageWidth, double pageHeight,
                              int spareInt, int* stripsOut, int* columnsOut, int* spareOut,
                              ColorMode colorMode);

#endif  // ORVOCHART_INTERFACE_H
