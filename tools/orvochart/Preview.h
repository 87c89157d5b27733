// Screen previews of chart pages: a small PNG beside each TIFF page, so that a
// person can look at a chart instead of reading its numbers. Device colours
// are shown through the library's own preview conversions (Lab to sRGB, the
// ink-to-screen previews of CMYK, CMYK plus orange and green, CMYK plus red,
// green and blue); spot inks have no known colour and are shown with a fixed
// palette.
#ifndef ORVOCHART_TOOLS_PREVIEW_H
#define ORVOCHART_TOOLS_PREVIEW_H

#include <cstdio>
#include <string>

#include "OrvoChartInterface.h"

// Longest side of a preview in pixels unless the caller asks otherwise.
constexpr unsigned kDefaultPreviewSidePx = 800;

// The preview file of a page file: the page's name with its extension
// replaced by ".png" ("chart.tif" -> "chart.png", "chart.tif_1.tif" ->
// "chart.tif_1.png"); ".png" is appended when the name has no extension.
std::string previewNameFor(const std::string& pagePath);

// Reads the TIFF page `tiffPath` written in colour mode `mode`, shrinks it by
// a whole factor so that its longer side is at most `maxSidePx` (each preview
// pixel the average of the page pixels it covers) and writes it as an RGB PNG
// to `pngPath`. The page is streamed row by row and never held whole. On
// failure returns false and says why in `error`.
bool writePagePreview(const std::string& tiffPath, const std::string& pngPath, ColorMode mode,
                      unsigned maxSidePx, std::string& error);

// Writes the preview of every TIFF page of the chart whose first page is
// `outFile` (further pages outFile_1.tif, outFile_2.tif, ...) and names each
// preview on `report`. Pages that are no TIFF files (the layouts that write
// PDF documents) get none. Returns false when a TIFF page could not be
// previewed.
bool writeChartPreviews(const std::string& outFile, ColorMode mode, std::FILE* report);

#endif  // ORVOCHART_TOOLS_PREVIEW_H
