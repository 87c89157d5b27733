#include "outside/DebugLog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "base/ErrorCodes.h"

namespace GenChartLib {

namespace {

// Where diagnostics go: nowhere, standard error or a file appended to.
struct LogTarget {
    std::mutex mutex;
    bool configured = false;
    bool toStderr = false;
    std::string path;

    void configure() {
        const char* value = std::getenv("ORVOCHART_LOG");
        toStderr = false;
        path.clear();
        if (value != nullptr && *value != '\0') {
            if (std::strcmp(value, "stderr") == 0) {
                toStderr = true;
            } else {
                path = value;
            }
        }
        configured = true;
    }
};

LogTarget& target() {
    static LogTarget instance;
    return instance;
}

// The format with its first "%s" replaced by the message; a format without
// one is followed by the message. Line breaks inside become spaces so that
// every diagnostic stays on one line.
std::string formatLine(const char* format, const char* message) {
    std::string line = format != nullptr ? format : "%s";
    const std::string text = message != nullptr ? message : "";
    const auto at = line.find("%s");
    if (at == std::string::npos) {
        line += line.empty() ? text : ": " + text;
    } else {
        line.replace(at, 2, text);
    }
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return line + '\n';
}

}  // namespace

int debugLog(const char* format, int reserved1, int reserved2, const char* message) {
    static_cast<void>(reserved1);
    static_cast<void>(reserved2);
    LogTarget& log = target();
    std::lock_guard<std::mutex> lock(log.mutex);
    if (!log.configured) {
        log.configure();
    }
    if (!log.toStderr && log.path.empty()) {
        return 0;
    }
    const std::string line = formatLine(format, message);
    if (log.toStderr) {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
        return 0;
    }
    if (std::FILE* file = std::fopen(log.path.c_str(), "ab")) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
    }
    return 0;
}

void logError(const char* format, int code) {
    debugLog(format, 0, 0, errorText(code));
}

void reopenDebugLog() {
    LogTarget& log = target();
    std::lock_guard<std::mutex> lock(log.mutex);
    log.configure();
}

}  // namespace GenChartLib
