// What every test program shares, the same on Linux and Windows: the
// environment, a folder of its own per test, whole files, commands run
// through the shell with their output, and the debug log captured in a file.
//
// namespace testsupport:
//   setEnv(name, value), unsetEnv(name), processId()
//   TempFolder: a fresh folder per test and process; path(), file(name),
//               entries() (sorted names)
//   fileText(path): the whole file, bytes as they are
//   run(command) -> {exitCode, output}: standard output only; append
//               " 2>&1" to the command for both; quoted(path) for the shell
//   LogCapture(path): the library's diagnostics go to `path` while it lives
//               (needs the debug log's reopen hook, so only in programs
//               linked with the library's internals: define
//               ORVOCHART_TEST_INTERNALS before including)
#ifndef ORVOCHART_TESTS_SUPPORT_H
#define ORVOCHART_TESTS_SUPPORT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifdef ORVOCHART_TEST_INTERNALS
#include "outside/DebugLog.h"
#endif

namespace testsupport {

namespace fs = std::filesystem;

inline void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

inline void unsetEnv(const char* name) {
#ifdef _WIN32
    _putenv_s(name, "");
#else
    ::unsetenv(name);
#endif
}

inline long processId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(::getpid());
#endif
}

// A folder of its own for each test and process, removed afterwards.
class TempFolder {
  public:
    TempFolder() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "orvochart-" + std::to_string(processId()) + "-" +
                           info->test_suite_name() + "-" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = fs::temp_directory_path() / name;
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // Every file in the folder, sorted, for checks that nothing was left behind.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(path_)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    fs::path path_;
};

inline std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct CommandResult {
    int exitCode = -1;
    std::string output;
};

inline CommandResult run(const std::string& command) {
    CommandResult result;
#ifdef _WIN32
    // cmd.exe drops the first and the last quote of its command line when
    // there are more than two, so the whole command goes in one more pair.
    FILE* pipe = _popen(("\"" + command + "\"").c_str(), "rb");
#else
    FILE* pipe = popen(command.c_str(), "r");
#endif
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (std::size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, n);
    }
#ifdef _WIN32
    result.exitCode = _pclose(pipe);
#else
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return result;
}

// A path as one shell word (test paths hold no quote characters).
inline std::string quoted(const std::string& path) {
#ifdef _WIN32
    return "\"" + path + "\"";
#else
    return "'" + path + "'";
#endif
}

#ifdef ORVOCHART_TEST_INTERNALS
class LogCapture {
  public:
    explicit LogCapture(std::string path) : path_(std::move(path)) {
        std::remove(path_.c_str());
        setEnv("ORVOCHART_LOG", path_);
        GenChartLib::reopenDebugLog();
    }
    ~LogCapture() {
        unsetEnv("ORVOCHART_LOG");
        GenChartLib::reopenDebugLog();
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string text() const { return fileText(path_); }

  private:
    std::string path_;
};
#endif

}  // namespace testsupport

#endif  // ORVOCHART_TESTS_SUPPORT_H
