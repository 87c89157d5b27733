// A page's shapes rendered by cairo and encoded as a JPEG preview.
#ifndef ORVOCHART_PDFWRITER_JPEGPREVIEW_H
#define ORVOCHART_PDFWRITER_JPEGPREVIEW_H

#include <string>

#include "Document.h"

namespace pdfwriter {

// Preview resolution: 4 pixels per millimetre (about 100 dots per inch),
// lowered for very large pages so that the long side stays within
// kMaxPreviewSidePx.
constexpr double kPreviewPxPerMm = 4.0;
constexpr double kMaxPreviewSidePx = 4000.0;

// The JPEG bytes of `page` on white paper, colours shown through the
// model's preview conversion; empty when rendering or encoding fails.
std::string jpegPreview(const Page& page, const ColorModel& model);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_JPEGPREVIEW_H
