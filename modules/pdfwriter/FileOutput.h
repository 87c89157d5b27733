// Whole-file output: a file appears complete or not at all.
#ifndef ORVOCHART_PDFWRITER_FILEOUTPUT_H
#define ORVOCHART_PDFWRITER_FILEOUTPUT_H

#include <string>

namespace pdfwriter {

// Writes `bytes` to a temporary file beside `fileName` (UTF-8) and moves it
// into place, replacing an older file of that name. On any failure the
// temporary file is removed and false returned.
bool writeWholeFile(const std::string& fileName, const std::string& bytes);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_FILEOUTPUT_H
