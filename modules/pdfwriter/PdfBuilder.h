// The recorded document as the bytes of a PDF file.
#ifndef ORVOCHART_PDFWRITER_PDFBUILDER_H
#define ORVOCHART_PDFWRITER_PDFBUILDER_H

#include <string>

#include "Document.h"

namespace pdfwriter {

// The whole document: one PDF page per recorded page, content streams
// compressed, a document ID derived from the content (no time stamps), so
// the same drawing always gives the same bytes. Throws on qpdf errors.
std::string buildPdf(const Document& document);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_PDFBUILDER_H
