// The few operating-system services the library needs, behind one interface:
// run-time module loading, the temporary-file folder, the local host's IPv4
// address and a rename that never replaces an existing file.
#ifndef ORVOCHART_PLATFORM_PLATFORM_H
#define ORVOCHART_PLATFORM_PLATFORM_H

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace GenChartLib {
namespace platform {

using ModuleHandle = void*;

// The platform's file name of a module: "DbgOut" -> "DbgOut.so" / "DbgOut.dll".
std::string moduleFileName(const std::string& baseName);

// Folder of the library's own binary (with a trailing separator), or empty
// when the platform cannot tell.
std::string libraryDirectory();

// Loads a module by file name: the library's own folder first, then
// its subfolder "orvochart/" where an installation puts the modules, then the
// platform's normal search. Returns null on failure; `error` receives the
// platform's reason.
ModuleHandle loadModule(const std::string& fileName, std::string* error = nullptr);

// Address of an exported entry point, or null.
void* findEntry(ModuleHandle module, const char* name);

// Unloads a module loaded by loadModule; null is ignored.
void unloadModule(ModuleHandle module);

// The system's folder for temporary files, with a trailing separator.
std::string tempDirectory();

// The first IPv4 address of the local host, or nothing when it cannot be found.
std::optional<std::array<std::uint8_t, 4>> firstLocalIPv4();

enum class RenameResult { Moved, TargetExists, Failed };

// Moves `from` to `to` unless `to` already exists; never replaces a file.
RenameResult renameNoReplace(const std::string& from, const std::string& to);

// Whether anything stands at `path`: a file, a folder, or a link (even one
// whose target is missing).
bool pathExists(const std::string& path);

// Creates `path` as a new file and opens it for binary writing, never through
// an existing name or symbolic link (O_CREAT|O_EXCL|O_NOFOLLOW, CREATE_NEW).
// Null when something stands there or the file cannot be made.
std::FILE* createNewFile(const std::string& path);

// A new file with a short unpredictable name (".oc" and 10 random letters
// and digits) in the folder of `beside`, created as createNewFile does and
// open for binary writing in *file. Returns its path; empty on failure.
std::string createTempFileBeside(const std::string& beside, std::FILE** file);

// A short unpredictable name part: `length` random letters and digits.
std::string randomNamePart(std::size_t length);

// An exclusive lock held on a small file that exists only to be locked, so
// processes sharing a file beside it take turns. The lock file is opened (or
// created) without following a symbolic link; -1 when it cannot be, the lock
// is held until unlockFile.
std::intptr_t lockFileExclusive(const std::string& path);
void unlockFile(std::intptr_t lock);

// Up to `maxBytes` bytes of the regular file `path`, opened without following
// a symbolic link; nothing when it is missing, a link or unreadable.
std::optional<std::string> readFileNoFollow(const std::string& path, std::size_t maxBytes);

// Moves `from` onto `to` in one step, replacing a file (or link) standing
// there without following it.
bool replaceFile(const std::string& from, const std::string& to);

}  // namespace platform
}  // namespace GenChartLib

#endif  // ORVOCHART_PLATFORM_PLATFORM_H
