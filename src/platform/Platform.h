// The few operating-system services the library needs, behind one interface:
// run-time module loading, the temporary-file folder, the local host's IPv4
// address and a rename that never replaces an existing file.
#ifndef ORVOCHART_PLATFORM_PLATFORM_H
#define ORVOCHART_PLATFORM_PLATFORM_H

#include <array>
#include <cstdint>
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

// Loads a module by file name: the library's own folder first, then (POSIX)
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

}  // namespace platform
}  // namespace GenChartLib

#endif  // ORVOCHART_PLATFORM_PLATFORM_H
