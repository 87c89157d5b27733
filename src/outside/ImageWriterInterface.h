/* The image writer's interface: a table of plain C function pointers that
 * the module "DbgOut" returns from its exported entry point
 * "GetDbgInterface". The module writes one raster page as a TIFF file from
 * pixel rows handed to it top row first.
 *
 * Only C types cross the module boundary, so the library and the module may
 * be built by different compilers or standard libraries. The header compiles
 * as C and as C++ (where the types live in namespace GenChartLib).
 *
 * Conventions of every entry:
 * - Every entry except create and lastError takes the image handle that
 *   create returned; a null handle is refused with OC_IMG_BAD_ARGUMENT.
 * - Results: OC_IMG_OK (0) or one of the negative OC_IMG_... codes. After a
 *   failure lastError() tells why, in English, for the debug log.
 * - A page file appears whole or not at all: the module creates a new file
 *   under a short random name in the target folder (never through an
 *   existing name or link) and moves it to the page's name only when close
 *   succeeds and the name is free; it never replaces a file. A failed close
 *   and discard remove it.
 * - Strings are UTF-8; the module copies what it keeps.
 */
#ifndef ORVOCHART_OUTSIDE_IMAGEWRITERINTERFACE_H
#define ORVOCHART_OUTSIDE_IMAGEWRITERINTERFACE_H

#include <stdint.h>

#ifdef __cplusplus
namespace GenChartLib {
extern "C" {
#endif

/* Raised whenever an entry's meaning or the layout of the table changes;
 * the library refuses a module built for another version. */
#define OC_IMG_INTERFACE_VERSION 1u

/* Name of the exported entry point and base name of the module. */
#define OC_IMG_ENTRY_NAME "GetDbgInterface"
#define OC_IMG_MODULE_BASE_NAME "DbgOut"

#define OC_IMG_OK 0
#define OC_IMG_BAD_ARGUMENT (-1)
#define OC_IMG_TOO_LARGE (-2)
#define OC_IMG_WRITE_FAILED (-3)
#define OC_IMG_OUT_OF_MEMORY (-4)
#define OC_IMG_INCOMPLETE (-5)

/* Photometric hint of create: a 3-channel page of CIE L*a*b* bytes (L* x
 * 2.55, a* and b* as signed bytes). Any other page passes OC_IMG_AUTO and
 * the module chooses from the channel count and the ink names. */
#define OC_IMG_PHOTOMETRIC_LAB 8
#define OC_IMG_PHOTOMETRIC_AUTO (-1)

/* Compression argument of create: the TIFF compression scheme. The library
 * always asks for LZW; the others serve tests and measurements. */
#define OC_IMG_COMPRESSION_NONE 1
#define OC_IMG_COMPRESSION_LZW 5
#define OC_IMG_COMPRESSION_DEFLATE 8

/* Tags setField accepts. */
#define OC_IMG_TAG_IMAGE_DESCRIPTION 270u
#define OC_IMG_TAG_INK_NAMES 333u

/* Largest row and page the module writes, in bytes. */
#define OC_IMG_MAX_ROW_BYTES (256ull * 1024u * 1024u)
#define OC_IMG_MAX_PAGE_BYTES (1ull << 40)

/* An open page of the module; opaque to the library. */
typedef struct OcImage OcImage;

typedef struct OcImageWriterInterface {
    uint32_t structSize; /* sizeof(OcImageWriterInterface) of the module */
    uint32_t version;    /* OC_IMG_INTERFACE_VERSION of the module */

    /* Entry 1: opens a page of width x height pixels at xDpi x yDpi, with
     * bitsPerPixel / 8 interleaved 8-bit channels (1, 3, 4, 5, 6, 7 or 8),
     * the given compression and photometric hint. Null when an argument is
     * unusable, the page is too large (see OC_IMG_MAX_...) or the file
     * cannot be created. */
    OcImage* (*create)(const char* fileName, uint32_t width, uint32_t height, float xDpi,
                       float yDpi, int32_t bitsPerPixel, int32_t compression, int32_t photometric);
    /* Entry 2: the next pixel row, exactly width x channels bytes. The bytes
     * are copied; the caller's buffer is never changed. */
    int32_t (*writeLine)(OcImage* image, const uint8_t* bytes, uint64_t byteCount);
    /* Entry 3: finishes the file and moves it to its name; frees the image
     * whatever the result. A page with rows missing fails with
     * OC_IMG_INCOMPLETE and leaves no file. */
    int32_t (*close)(OcImage* image);
    /* Entry 15: sets a tag before close. OC_IMG_TAG_IMAGE_DESCRIPTION takes
     * the text; OC_IMG_TAG_INK_NAMES takes one name per channel, each ended
     * by a NUL, `length` bytes in all, and must come before the first row.
     * With ink names a page of 3 or more channels is written as separated
     * inks of those names. */
    int32_t (*setField)(OcImage* image, uint32_t tag, const char* value, uint32_t length);
    /* Abandons the page: the temporary file is removed, the image freed.
     * Null is ignored. */
    void (*discard)(OcImage* image);
    /* Why the last failing call on this thread failed; never null. */
    const char* (*lastError)(void);
} OcImageWriterInterface;

/* The exported entry point: returns the module's static table. */
typedef const OcImageWriterInterface* (*OcImageWriterGetInterface)(void);

/* Bytes of one row of width pixels of `channels` bytes; cannot overflow. */
static inline uint64_t ocImageRowBytes(uint32_t width, uint32_t channels) {
    const uint64_t pixels = width;
    return pixels * channels;
}

/* Bytes of the whole uncompressed page into *pageBytes; 0 when the count
 * does not fit in 64 bits, 1 otherwise. */
static inline int ocImagePageBytes(uint64_t rowBytes, uint32_t height, uint64_t* pageBytes) {
    if (height != 0 && rowBytes > UINT64_MAX / height) {
        return 0;
    }
    const uint64_t rows = height;
    *pageBytes = rowBytes * rows;
    return 1;
}

#ifdef __cplusplus
}  // extern "C"
}  // namespace GenChartLib
#endif

#endif /* ORVOCHART_OUTSIDE_IMAGEWRITERINTERFACE_H */
