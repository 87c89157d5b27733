// Public interface of OrvoChartInterfaceShared: the one header a host includes.
//
// Every exported function stands at global scope with C++ linkage. Integers
// that the interface calls "long" are 32 bits wide on every platform.
//
// Names a host can use. Each export is reachable under several names, all
// the same function at the same address:
//   - GCC's and clang's C++ name ("_Z11createChart..."): C++ hosts on Linux
//     and MinGW hosts on Windows (import library OrvoChartInterfaceShared.dll.a)
//     link by it when they include this header;
//   - on Windows also MSVC's C++ name ("?createChart@@YAH..."): hosts built
//     with MSVC or clang-cl link by it through the import library
//     OrvoChartInterfaceShared.lib when they include this header;
//   - the plain name ("createChart", "GetDeltaE_CIE2000"; the list is
//     src/api/ExportNames.txt), for hosts that look functions up by name and
//     cannot decode C++ names: dlsym, GetProcAddress, Python's ctypes, C#'s
//     DllImport, Delphi's external.
// A host that declares the functions itself keeps each signature exactly as
// below; OrvoLong is "long" on Windows, where long has 32 bits.
//
// A program that links the library's static archive instead of the DLL
// defines ORVOCHART_STATIC, so that nothing is declared as imported.
#ifndef ORVOCHART_INTERFACE_H
#define ORVOCHART_INTERFACE_H

#include <cstdint>

#if defined(_WIN32)
#if defined(ORVOCHART_BUILDING_LIBRARY)
#define ORVOCHART_API __declspec(dllexport)
#elif defined(ORVOCHART_STATIC)
#define ORVOCHART_API
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

// ---------------------------------------------------------------------------
// Colour science
//
// Stateless colour functions for the host: conversions, colour differences,
// spectral integration, densities, control-patch search and the evaluation
// of a measured control wedge. None of them keeps state between calls, so all
// may be called from any thread at the same time. None of them throws.
//
// Scales: XYZ on 0..100 (Y of the perfect white = 100); Lab and LCh as CIE
// defines them, hue angles in degrees 0..360; ink percentages 0..100 unless a
// function says 0..255 (255 = solid ink).
//
// White-point numbers: 0 = D50, 1 = D65, 2 = illuminant C, 3 = illuminant A;
// a number above 3 selects D50. Observer numbers for white points: 1 = CIE
// 1964 10 degree, every other number the CIE 1931 2 degree observer.
//
// A null pointer from the host never crashes a function: it returns the
// failure value named in its comment and writes nothing.
// ---------------------------------------------------------------------------

struct LabRecord {
    double L;
    double a;
    double b;
};

struct LCHRecord {
    double L;
    double C;
    double h;  // hue angle in degrees, 0..360
};

// Tristimulus values on the 0..100 scale; also used for any three doubles.
struct ColorTriplex {
    double X;
    double Y;
    double Z;
};

// Ink amounts (percent, or 0..255 where a function says so); also used for
// four densities (red, green, blue, visual).
struct ColorQuadruple {
    double c;
    double m;
    double y;
    double k;
};

// A screen colour, 0..255 per channel.
struct tagRGBRecord {
    OrvoLong R;
    OrvoLong G;
    OrvoLong B;
};

// Percentages of cyan, magenta, yellow, black, orange and green.
struct tagCMYKOGRecord {
    double C;
    double M;
    double Y;
    double K;
    double O;
    double G;
};

// Percentages of cyan, magenta, yellow and black, and of red, green and blue
// inks (whole percent).
struct tagCMYKRGBRecord {
    double C;
    double M;
    double Y;
    double K;
    OrvoLong R;
    OrvoLong G;
    OrvoLong B;
};

// A reflectance spectrum: count values (reflectance factors 0..1) from
// `start` nm in steps of `step` nm.
struct SpectRecord {
    double value[36];
    OrvoLong start;     // first wavelength, nm
    OrvoLong step;      // wavelength step, nm
    OrvoLong count;     // number of valid values, 1..36
    OrvoLong reserved;  // not read
};

// --- Conversions ------------------------------------------------------------

// XYZ to Lab against the 2 degree white `whitePoint`. Returns 0; -1 when an
// out-pointer is null.
ORVOCHART_API int GetLABfromXYZ(double X, double Y, double Z, double* L, double* a, double* b,
                                unsigned whitePoint);
// XYZ to Lab against the white of `whitePoint` for `observer`. Returns 0; -1
// when an out-pointer is null.
ORVOCHART_API int GetLABfromXYZ_Ex(double X, double Y, double Z, double* L, double* a, double* b,
                                   unsigned whitePoint, unsigned observer);
// Lab to XYZ against the 2 degree white `whitePoint`. Returns 0; -1 when an
// out-pointer is null.
ORVOCHART_API int GetXYZfromLAB(double L, double a, double b, double* X, double* Y, double* Z,
                                unsigned whitePoint);
// Media-relative XYZ: `sample` scaled so that `paper` maps to the white of
// `whitePoint` and `observer`. Returns 0; -1 (result (0, 0, 0)) when a paper
// component is not above 0; -1 without writing when `result` is null.
ORVOCHART_API int GetXYZrelative(ColorTriplex sample, ColorTriplex* result, unsigned whitePoint,
                                 unsigned observer, ColorTriplex paper);
// Lab to LCh; L is clamped to 0..100 and a, b to -128..127 first.
ORVOCHART_API LCHRecord GetLCHFromLab(LabRecord lab);
// LCh to Lab; L is clamped to 0..100 and a, b to -128..127 afterwards.
ORVOCHART_API LabRecord GetLabFromLCH(LCHRecord lch);
// sRGB (0..255, not clamped) to XYZ (D65, 0..100).
ORVOCHART_API ColorTriplex GetXYZFromRGB(tagRGBRecord rgb);
// sRGB to Lab against the D50 white, without chromatic adaptation.
ORVOCHART_API LabRecord GetLABFromRGB(tagRGBRecord rgb);
// XYZ to display RGB: rgbSpace 0 wide-gamut (D50), 1 sRGB (D65), 2 NTSC (C),
// 3 none (0, 0, 0); above 3 counts as 0. Returns 0; -1 when an out-pointer
// is null.
ORVOCHART_API int GetRGBfromXYZ(double X, double Y, double Z, OrvoLong* R, OrvoLong* G, OrvoLong* B,
                                unsigned rgbSpace);
// D50 Lab to sRGB, adapted to D65.
ORVOCHART_API tagRGBRecord GetRGBFromLab(LabRecord lab);
// Screen previews of ink percentages. Results are not clamped to 0..255
// except where a NaN or an infinite input would leave no number: such a
// channel is 0, and results are held within the 32-bit range.
ORVOCHART_API tagRGBRecord GetRGBFromCMYK(ColorQuadruple cmyk);
ORVOCHART_API tagRGBRecord GetRGBFromCMYKOG(tagCMYKOGRecord cmykog);
ORVOCHART_API tagRGBRecord GetRGBFromCMYKRGB(tagCMYKRGBRecord cmykrgb);
// A paler, greyed version of a screen colour.
ORVOCHART_API tagRGBRecord AddGreyVeilToRGB(tagRGBRecord rgb);

// --- Colour differences -----------------------------------------------------
// Every Lab pair is the first colour (L1, a1, b1), then the second; where a
// formula is asymmetric the first colour is the reference.

ORVOCHART_API double GetDeltaE_CIE76(double L1, double a1, double b1, double L2, double a2,
                                     double b2);
// CIE94 with the graphic-arts weights (kL = 1, K1 = 0.045, K2 = 0.015).
ORVOCHART_API double GetDeltaE_CIE94(double L1, double a1, double b1, double L2, double a2,
                                     double b2);
// CIEDE2000 with kL = kC = kH = 1.
ORVOCHART_API double GetDeltaE_CIE2000(double L1, double a1, double b1, double L2, double a2,
                                       double b2);
// CMC(1:1).
ORVOCHART_API double GetDeltaE_CIECMC(double L1, double a1, double b1, double L2, double a2,
                                      double b2);
// Hue difference Delta H.
ORVOCHART_API double GetDeltaH(double L1, double a1, double b1, double L2, double a2, double b2);
// Difference in the a-b plane; L is ignored.
ORVOCHART_API double GetDeltaF(double L1, double a1, double b1, double L2, double a2, double b2);
// |L1 - L2| weighted by the lightness Lref: full weight up to L = 50, falling
// linearly to a quarter at L = 100.
ORVOCHART_API double GetWeightedDeltaL(double L1, double L2, double Lref);
// deltaCh weighted by the lightness L in the same way.
ORVOCHART_API double GetWeightedDeltaCh(double deltaCh, double L);
// Tone-value difference (Murray-Davies, percent) of patch `index` between the
// two measurements (second minus first) of a set of `count` patches whose ink
// make-ups (0..255) are `inks`; 0 for the solid of the ink itself. The paper
// and the solids are the first patches at 0 % and 100 % in whole percent.
// -101.0 for a paper or mixed patch, when the set holds no paper or no solid
// of the patch's ink, for an index outside the set, and when a pointer is
// null.
ORVOCHART_API double GetDeltaT(int index, ColorTriplex* first, ColorTriplex* second,
                               ColorQuadruple* inks, unsigned count);
// Tone-value differences of all `count` patches into result[0..count-1]: 0
// for paper, mixed patches and solids, -101.0 for a tint whose paper or
// solid is missing. Returns 0; -1 without writing when a pointer is null.
ORVOCHART_API int GetDeltaTArray(double* result, ColorTriplex* first, ColorTriplex* second,
                                 ColorQuadruple* inks, unsigned count);
// Lightness difference of the darkest of the five dark make-ups (black,
// black over each of C, M, Y, and CMY) between two measurements of a set of
// `count` patches (inks 0..255). -1.0 when fewer than five dark patches are
// found, when count is not above 0 and when a pointer is null.
ORVOCHART_API double GetDeltaLFograMediaRelativeDarkAreas(int count, ColorQuadruple* inks,
                                                          LabRecord* first, LabRecord* second);
// Tolerance class of `value` against limits[0..2]: 1, 2, 3, or 0 when above
// all three. 0 when `limits` is null.
ORVOCHART_API int GetPSDResult(double value, double* limits);

// --- Spectral, density and patch-set functions ------------------------------

// Illuminant numbers: 0 and 5 D50, 1 equal energy in absolute units (sums
// times 0.683), 3 A, 4 C, 6 D65, 7 equal energy, 8 F2, 9 F7, 10 F11, 11 D55.
// Observer numbers: 0 and 3 CIE 1931 2 degree, 4 CIE 1964 10 degree, 5 to 8
// abridged tables of these (5: 2 degree 390..730 nm at 10 nm; 6: 10 degree
// 380..825 nm at 5 nm; 7: 2 degree 360..830 nm at 5 nm; 8: 10 degree
// 400..700 nm at 10 nm).

// Tristimulus values (0..100) of a reflectance spectrum, summed at 1 nm over
// the observer's range; the spectrum is held at its end values outside its
// own range, and a NaN reflectance counts as 0. Returns 0; -1 with (0, 0, 0)
// for an unknown illuminant or observer number and for a spectrum with a
// count outside 1..36 or a step not above 0 (when count > 1); -1 without
// writing when `xyz` is null.
ORVOCHART_API int GetXYZfromSPECTRAL_Ex(SpectRecord spectrum, ColorTriplex* xyz,
                                        unsigned illuminant, unsigned observer);
// The same under D50 with the 2 degree observer; (0, 0, 0) on failure.
ORVOCHART_API ColorTriplex GetXYZfromSPECTRAL(SpectRecord spectrum);
// Red, green, blue and visual density of a spectrum of 36 values from 380 nm
// at 10 nm. Density types: 0 status A, 1 status M, 2 status T, 3 status E,
// 4 to 6 narrow-band (peaks 620/540/430, 600/520/430, 620/530/430 nm).
// (-1, 0, 0, 0) for another spectrum grid or an unknown density type; a
// channel whose weighted reflectance is not above 0 has density 0.
ORVOCHART_API ColorQuadruple GetDesityfromSPECTRAL(OrvoLong densityType, SpectRecord spectrum);
// Searches the `count` patches of `inks` (0..255) for the make-ups of control
// table `table` (0..5) and writes the indices of the matching patches, in
// patch order, to found[0..maxFound-1]. Returns the number written; 0 for an
// unknown table, when count or maxFound is not above 0 and when a pointer is
// null. Patches beyond index 65535 are not searched.
ORVOCHART_API double GetGrayColorPatches(int count, ColorQuadruple* inks, int maxFound, int table,
                                         unsigned short* found);

// Indices into tagMeasuredDataRecord::result, ::limits, ::pass and
// ::patchIndex. The eight patch classes are, by ink make-up on 0..255
// rounded to integers: cyan, magenta, yellow and black solids (that ink 255,
// the others 0), paper (all 0), and the red (M+Y), green (C+Y) and blue (C+M)
// overprints (those two inks 255, the others 0).
enum MeasuredSummaryItem : std::int32_t {
    MS_MAX_DE_CYAN = 0,  // largest Delta E per class, 0..7
    MS_MAX_DE_MAGENTA = 1,
    MS_MAX_DE_YELLOW = 2,
    MS_MAX_DE_BLACK = 3,
    MS_MAX_DE_PAPER = 4,
    MS_MAX_DE_RED = 5,
    MS_MAX_DE_GREEN = 6,
    MS_MAX_DE_BLUE = 7,
    MS_MAX_DH_CYAN = 8,     // largest second difference (Delta H) per
    MS_MAX_DH_MAGENTA = 9,  // class, 8..15; the paper entry 12 stays -1
    MS_MAX_DH_YELLOW = 10,
    MS_MAX_DH_BLACK = 11,
    MS_MAX_DH_PAPER = 12,
    MS_MAX_DH_RED = 13,
    MS_MAX_DH_GREEN = 14,
    MS_MAX_DH_BLUE = 15,
    MS_AVERAGE_DE = 16,      // mean Delta E over all patches
    MS_MAX_DE = 17,          // largest Delta E over all patches
    MS_MAX_DT_CYAN = 18,     // largest |tone-value difference| of the tints
    MS_MAX_DT_MAGENTA = 19,  // of each ink, 18..21
    MS_MAX_DT_YELLOW = 20,
    MS_MAX_DT_BLACK = 21,
    MS_DARK_AREAS_DL = 22,    // GetDeltaLFograMediaRelativeDarkAreas
    MS_GREY_AVERAGE_DH = 23,  // mean Delta H of the CMY grey-balance patches
    MS_GREY_MAX_DH = 24,      // largest Delta H of the grey-balance patches
    MS_CHECKED_ITEMS = 29,    // items 25..28 are reserved and never pass
    MS_RESULT_ITEMS = 36,     // items 29..35 are reserved (always -1)
    MS_GREY_PATCHES = 36,     // patchIndex[36..79]: grey-balance patches found
    MS_PATCH_INDICES = 80
};

// One measured control wedge and its evaluation. The host fills the inputs
// (count, the arrays it has, limits, formula, whitePoint, the result-array
// pointers); GetWholeSummary fills the rest. Every array pointer is either
// null or points to `count` elements. The layout is the host ABI: do not
// reorder.
struct tagMeasuredDataRecord {
    int count;                 // number of patches
    SpectRecord* refSpectra;   // reference spectra, or null
    ColorTriplex* refXYZ;      // reference XYZ (computed from refSpectra when given)
    LabRecord* refLab;         // reference Lab (always computed from refXYZ)
    SpectRecord* measSpectra;  // measured spectra, or null
    ColorTriplex* measXYZ;     // measured XYZ (computed from measSpectra when given)
    LabRecord* measLab;        // measured Lab (always computed from measXYZ)
    ColorQuadruple* inks;      // ink make-ups, c m y k on 0..255, or null
    tagRGBRecord* previewRGB;  // screen colour per patch, filled when not null (never
                               // allocated by the library): 255 - c, m, y, or grey 255 - k
    double limits[29];         // tolerance limit per checked item (MeasuredSummaryItem)
    int formula;               // Delta E formula: 1 CIE76, 2 CMC, 3 CIE94, 4 CIEDE2000
    int whitePoint;            // white-point number for Lab (2 degree table)
    double* deltaE;            // Delta E per patch (out), or null
    double* deltaH;            // Delta H per patch (out), or null
    double* deltaT;            // tone-value difference per patch (out), or null: measured
                               // minus reference, from the XYZ values (needs inks)
    double result[36];         // results by MeasuredSummaryItem; -1 = not evaluated
    int patchIndex[80];        // patch behind each maximum (items 0..35) and the grey-balance
                               // patches found (36..79); -1 = none
    unsigned char pass[29];    // 1 when the rounded result is at or below its limit
};

// Evaluates a measured control wedge: XYZ from spectra (D50, 2 degree), Lab
// from XYZ, Delta E and Delta H per patch, tone-value differences from the
// XYZ values, per-class maxima, averages, dark areas, grey balance (the CMY
// grey patches of control table 3, else of table 2) and the pass flags. All
// results are first reset (-1, index -1, flags 0). Returns 0; -1 when `record` is null, when count
// is not above 0, and when the reference or measured XYZ or Lab array is missing (then only the
// preview colours are filled).
ORVOCHART_API int GetWholeSummary(tagMeasuredDataRecord* record);

#endif  // ORVOCHART_INTERFACE_H
