#include "FileOutput.h"

#include <cstdio>

#include "platform/Platform.h"

namespace pdfwriter {

namespace platform = GenChartLib::platform;

namespace {

// The new file until it is moved into place; removed if it never is.
class NewFile {
  public:
    explicit NewFile(const std::string& beside)
        : path_(platform::createTempFileBeside(beside, &file_)) {}
    ~NewFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
        if (!path_.empty()) {
            std::remove(path_.c_str());
        }
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    std::FILE* file() const { return file_; }

    bool close() {
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return closed;
    }

    bool moveTo(const std::string& target) {
        if (platform::renameNoReplace(path_, target) != platform::RenameResult::Moved) {
            return false;
        }
        path_.clear();
        return true;
    }

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

// A name that ends in a folder separator has no file part to write.
bool namesAFile(const std::string& fileName) {
    return !fileName.empty() && fileName.back() != '/' && fileName.back() != '\\';
}

}  // namespace

bool writeNewFile(const std::string& fileName, const std::function<bool(std::FILE*)>& write) {
    if (!namesAFile(fileName)) {
        return false;
    }
    NewFile file(fileName);
    if (file.file() == nullptr) {
        return false;
    }
    const bool written = write(file.file());
    return file.close() && written && file.moveTo(fileName);
}

bool writeNewFile(const std::string& fileName, const std::string& bytes) {
    return writeNewFile(fileName, [&bytes](std::FILE* out) {
        return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    });
}

}  // namespace pdfwriter
