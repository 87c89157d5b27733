#include "FileOutput.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace pdfwriter {

namespace fs = std::filesystem;

bool writeWholeFile(const std::string& fileName, const std::string& bytes) {
    if (fileName.empty()) {
        return false;
    }
    const fs::path target = fs::u8path(fileName);
    if (!target.has_filename()) {
        return false;
    }
    // Same folder as the target, so the final move is a rename in place.
    fs::path temporary = target;
    temporary.replace_filename("." + target.filename().string() + ".part");
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();
        }
        if (!out) {
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace pdfwriter
