#include "engine/SideFile.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/ErrorCodes.h"
#include "outside/DebugLog.h"
#include "platform/Platform.h"

namespace GenChartLib {

namespace {

[[noreturn]] void refuse(const char* logFormat, eColorCtrlErrors code, const std::string& path,
                         const char* why) {
    const std::string message = std::string(errorText(code)) + ": " + path + " (" + why + ")";
    debugLog(logFormat, 0, 0, message.c_str());
    throw code;
}

}  // namespace

SideFileText& SideFileText::line(std::string_view text) {
    bytes_.append(text);
    bytes_.append("\r\n");
    return *this;
}

SideFileText& SideFileText::line(std::string_view key, std::string_view value) {
    bytes_.append(key);
    return line(value);
}

std::string fixedDecimal(double value, int decimals) {
    // std::to_chars never consults the locale. Rounding goes through an
    // integer count of the last digit so that 2.25 with one decimal is 2.3,
    // as a person writing the file by hand would round it.
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::round(value * scale);
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.0e15) {
        char buffer[64];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::fixed, decimals);
        return std::string(buffer, end.ptr);
    }
    const auto units = static_cast<std::int64_t>(scaled);
    const std::int64_t magnitude = units < 0 ? -units : units;
    std::string digits = decimal(magnitude);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals)) {
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        }
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    return units < 0 ? "-" + digits : digits;
}

std::string decimal(std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end.ptr);
}

std::string fileNamePart(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

void writeSideFile(const std::string& path, const std::string& bytes, const ChartParams& params,
                   const char* logFormat) {
    if (path == params.refDataName) {
        refuse(logFormat, ERR_CHART_NAME_IS_REFERENCE, path, "it is the reference file");
    }
    std::FILE* file = nullptr;
    const std::string temporary = platform::createTempFileBeside(path, &file);
    if (file == nullptr) {
        refuse(logFormat, ERR_OPEN_FILE, path, "cannot create a file in its folder");
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(temporary.c_str());
        refuse(logFormat, ERR_OPEN_FILE, path, "cannot write it fully");
    }
    switch (platform::renameNoReplace(temporary, path)) {
        case platform::RenameResult::Moved:
            return;
        case platform::RenameResult::TargetExists:
            std::remove(temporary.c_str());
            refuse(logFormat, ERR_OPEN_FILE, path, "a file of that name exists");
        case platform::RenameResult::Failed:
            break;
    }
    std::remove(temporary.c_str());
    refuse(logFormat, ERR_OPEN_FILE, path, "cannot move it into place");
}

}  // namespace GenChartLib
