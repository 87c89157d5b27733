// The recorded document written as a PDF file.
#ifndef ORVOCHART_PDFWRITER_PDFBUILDER_H
#define ORVOCHART_PDFWRITER_PDFBUILDER_H

#include <cstdio>

#include "Document.h"

namespace pdfwriter {

// The whole document: one PDF page per recorded page, content streams
// compressed, a document ID derived from the content (no time stamps), so
// the same drawing always gives the same bytes. Throws on qpdf errors.
void writePdf(const Document& document, std::FILE* out);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_PDFBUILDER_H
