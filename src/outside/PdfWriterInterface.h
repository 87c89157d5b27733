/* The PDF writer's interface: a table of plain C function pointers that the
 * module "wxPDF" returns from its exported entry point "GetPDFInterface".
 *
 * Only C types cross the module boundary, so the library and the module may
 * be built by different compilers or standard libraries. The header compiles
 * as C and as C++ (where the types live in namespace GenChartLib).
 *
 * Conventions of every entry:
 * - Lengths and positions are millimetres (doubles); x runs along the page
 *   width from the left edge, y down the page height from the top edge.
 * - A colour is an OcPdfColor: the eight percentages of the chart's colour
 *   mode (see OcPdfColor). The module writes them into the PDF exactly, in
 *   the colour space of the mode.
 * - Every entry except begin and end takes the document handle that begin
 *   returned; a null handle is refused with OC_PDF_BAD_ARGUMENT.
 * - Results: OC_PDF_OK (0) or one of the negative OC_PDF_... codes.
 * - Strings are NUL-terminated UTF-8; the module copies what it keeps.
 */
#ifndef ORVOCHART_OUTSIDE_PDFWRITERINTERFACE_H
#define ORVOCHART_OUTSIDE_PDFWRITERINTERFACE_H

#include <stdint.h>

#ifdef __cplusplus
namespace GenChartLib {
extern "C" {
#endif

/* Raised whenever an entry's meaning or the layout of a struct below
 * changes; the library refuses a module built for another version. */
#define OC_PDF_INTERFACE_VERSION 1u

/* Name of the exported entry point and base name of the module. */
#define OC_PDF_ENTRY_NAME "GetPDFInterface"
#define OC_PDF_MODULE_BASE_NAME "wxPDF"

#define OC_PDF_OK 0
#define OC_PDF_BAD_ARGUMENT (-1)
#define OC_PDF_NO_PAGE (-2)
#define OC_PDF_WRITE_FAILED (-3)
#define OC_PDF_OUT_OF_MEMORY (-4)

#define OC_PDF_MAX_CHANNELS 8

/* A colour as eight percentages; entries a mode does not use are 0.
 * - CMYK (DeviceCMYK):            [0..3] = C, M, Y, K in 0..100.
 * - CMYKO, CMYKOG, CMYKRGB and spot modes (DeviceN): [i] = ink amount of
 *   colorant i in 0..100 (extra inks already turned the right way round:
 *   100 = solid ink).
 * - Lab:                          [0] = L* 0..100, [1] = a*, [2] = b*.
 * - RGB (DeviceRGB):              [0..2] = R, G, B in 0..100.
 * The module clamps each value to the range of its colour space. */
typedef struct OcPdfColor {
    double percent[OC_PDF_MAX_CHANNELS];
} OcPdfColor;

/* One page of the chart, as the layout computed it. */
typedef struct OcPdfPageSize {
    double widthMm;
    double heightMm;
} OcPdfPageSize;

/* What entry 0 receives: the part of the chart parameters the PDF needs.
 * All pointers need to stay valid only for the duration of the call. */
typedef struct OcPdfChartInfo {
    uint32_t structSize;  /* sizeof(OcPdfChartInfo) of the caller */
    int32_t colorMode;    /* the chart's ColorMode value (0 CMYK, 1 CMYKOG,
                             2 CMYKRGB, 3 Lab, 4 RGB, 5 CMYKO, 6 and 7 six-colour
                             like CMYKOG, 100..107 one to eight spot inks) */
    int32_t channelCount; /* colorants of a DeviceN mode (1..8); for the
                             other modes the count of the mode */
    /* Name of colorant i of a DeviceN mode; null or "" = the default name
     * (Cyan, Magenta, Yellow, Black, Orange, Green / Red, Green, Blue for
     * the fixed modes, "Spot N" for spot channel N). */
    const char* colorantNames[OC_PDF_MAX_CHANNELS];
    int32_t pageCount;          /* entries in pages */
    const OcPdfPageSize* pages; /* the chart's page list; the first entry is
                                   the page size used when drawing begins
                                   before any newPage */
} OcPdfChartInfo;

/* An open document of the module; opaque to the library. */
typedef struct OcPdfDocument OcPdfDocument;

typedef struct OcPdfInterface {
    uint32_t structSize; /* sizeof(OcPdfInterface) of the module */
    uint32_t version;    /* OC_PDF_INTERFACE_VERSION of the module */

    /* Entry 0: receives the chart parameters and opens an empty document.
     * Null when the parameters are unusable (unknown mode, bad count). */
    OcPdfDocument* (*begin)(const OcPdfChartInfo* chart);
    /* Entry 1: starts a new page of the given extents. `code` is the
     * layout's integer; the module keeps it in the page dictionary as
     * /OrvoPageCode for a printer workflow to read. */
    int32_t (*newPage)(OcPdfDocument* doc, double widthMm, double heightMm, int32_t code);
    /* Entry 2: text in Helvetica; x is the left end, y the baseline. */
    int32_t (*drawText)(OcPdfDocument* doc, const char* text, double fontSizePt, double xMm,
                        double yMm, const OcPdfColor* color);
    /* Entry 3: a marker arrow from (x1, y1) with its tip at (x2, y2): a shaft
     * shaftWidthMm wide and a triangular head headLengthMm long and
     * headWidthMm wide at its base. */
    int32_t (*drawArrow)(OcPdfDocument* doc, double x1Mm, double y1Mm, double x2Mm, double y2Mm,
                         double shaftWidthMm, double headLengthMm, double headWidthMm,
                         const OcPdfColor* color);
    /* Entry 4: a filled circle. */
    int32_t (*drawCircle)(OcPdfDocument* doc, double centerXMm, double centerYMm, double radiusMm,
                          const OcPdfColor* color);
    /* Entry 5: a straight line 0.2 mm wide from (x1, y1) to (x2, y2).
     * style 0 draws it solid; any other style dashed, lengthMm on and
     * lengthMm off (solid when lengthMm is 0). */
    int32_t (*drawLine)(OcPdfDocument* doc, double x1Mm, double y1Mm, double x2Mm, double y2Mm,
                        double lengthMm, int32_t style, const OcPdfColor* color);
    /* Entry 6: the outline of a rectangle, 0.2 mm wide, inside its extents. */
    int32_t (*drawBox)(OcPdfDocument* doc, double xMm, double yMm, double widthMm, double heightMm,
                       const OcPdfColor* color);
    /* Entry 7: a filled polygon of `count` vertices (3..255). */
    int32_t (*drawPolygon)(OcPdfDocument* doc, uint32_t count, const double* xsMm,
                           const double* ysMm, const OcPdfColor* color);
    /* Entry 8: not used. */
    void (*reserved8)(void);
    /* Entry 9: a filled rectangle. `kind` is 4 from the library (reserved).
     * A non-zero `flag` marks the rectangle as a measured patch: it is
     * wrapped in a marked-content sequence /OrvoPatch << /Flag flag >>,
     * which does not change what prints. */
    int32_t (*fillRect)(OcPdfDocument* doc, double xMm, double yMm, double widthMm, double heightMm,
                        const OcPdfColor* color, int32_t kind, uint8_t flag);
    /* Entry 10: closes the document and frees it; null is ignored. */
    void (*end)(OcPdfDocument* doc);
    /* Entry 11: writes the whole document to fileName (a new file under a
     * short random name in the same folder, moved into place when complete
     * and only when fileName is free; nothing is left behind on failure).
     * May be called more than once, each time under a new name. */
    int32_t (*save)(OcPdfDocument* doc, const char* fileName);
    /* Entry 12: writes page `pageIndex` (0-based; the current page when the
     * index is out of range) as a JPEG preview to fileName, whole-file as
     * for save. */
    int32_t (*exportJpeg)(OcPdfDocument* doc, const char* fileName, int32_t pageIndex);
    /* Entry 13: the command text of the printer-embedded layouts; stored in
     * the document information dictionary as /Keywords. */
    int32_t (*setCommandText)(OcPdfDocument* doc, const char* text);
} OcPdfInterface;

/* The exported entry point: returns the module's static table. */
typedef const OcPdfInterface* (*OcPdfGetInterface)(void);

#ifdef __cplusplus
}  // extern "C"
}  // namespace GenChartLib
#endif

#endif /* ORVOCHART_OUTSIDE_PDFWRITERINTERFACE_H */
