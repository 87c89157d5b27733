// Whole-file output: a file appears complete or not at all, and never
// through a name that something already holds.
#ifndef ORVOCHART_PDFWRITER_FILEOUTPUT_H
#define ORVOCHART_PDFWRITER_FILEOUTPUT_H

#include <cstdio>
#include <functional>
#include <string>

namespace pdfwriter {

// Creates a new file under a fresh name beside `fileName`, lets `write` fill
// it, and moves it to `fileName` only when that name is free: an older file
// or a link standing there is left alone and the write fails. On any
// failure (`write` answering false or throwing included) the new file is
// removed; an exception goes on to the caller.
bool writeNewFile(const std::string& fileName, const std::function<bool(std::FILE*)>& write);

// writeNewFile with `bytes` as the whole content.
bool writeNewFile(const std::string& fileName, const std::string& bytes);

}  // namespace pdfwriter

#endif  // ORVOCHART_PDFWRITER_FILEOUTPUT_H
