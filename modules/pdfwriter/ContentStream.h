// A page's shapes as PDF content-stream operators, in points with PDF's
// origin at the bottom-left corner.
#ifndef ORVOCHART_PDFWRITER_CONTENTSTREAM_H
#define ORVOCHART_PDFWRITER_CONTENTSTREAM_H

#include <functional>
#include <string>

#include "Document.h"

namespace pdfwriter {

constexpr double kPointsPerMm = 72.0 / 25.4;

// Resource names the content refers to: /F1 (Helvetica) and /CS0 (the
// chart's colour space when it is not a device space).
// The operators are handed to `sink` part by part, in order.
void writeContentStream(const Page& page, const ColorModel& model,
                        const std::function<void(const std::string&)>& sink);

// UTF-8 text in WinAnsiEncoding, the encoding of the standard font;
// characters it lacks become "?".
std::string winAnsiFromUtf8(const std::string& text);

// A PDF literal string "( ... )" with its delimiters and bytes outside
// printable ASCII escaped.
std::string pdfLiteralString(const std::string& bytes);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_CONTENTSTREAM_H
