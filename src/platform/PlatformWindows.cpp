#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>
#include <vector>

#include "platform/Platform.h"

namespace GenChartLib {
namespace platform {

namespace {

void anchor() {}

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

std::string narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), n, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(n - 1));
    return utf8;
}

}  // namespace

std::string moduleFileName(const std::string& baseName) {
    return baseName + ".dll";
}

std::string libraryDirectory() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&anchor), &self)) {
        return {};
    }
    std::vector<wchar_t> path(32768);
    const DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size()) {
        return {};
    }
    std::wstring full(path.data(), n);
    const auto slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string() : narrow(full.substr(0, slash + 1));
}

ModuleHandle loadModule(const std::string& fileName, std::string* error) {
    // Beside the library in a build folder; in its folder of modules once
    // installed (bin\orvochart\ below the DLL). LOAD_WITH_ALTERED_SEARCH_PATH
    // lets a module's own dependencies come from the module's folder.
    const std::string folder = libraryDirectory();
    for (const std::string& own : {folder + fileName, folder + "orvochart\\" + fileName}) {
        if (!folder.empty() && pathExists(own)) {
            if (HMODULE h =
                    LoadLibraryExW(widen(own).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
                return h;
            }
        }
    }
    HMODULE h = LoadLibraryW(widen(fileName).c_str());
    if (h == nullptr && error != nullptr) {
        *error = fileName + ": LoadLibrary error " + std::to_string(GetLastError());
    }
    return h;
}

void* findEntry(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void unloadModule(ModuleHandle module) {
    if (module != nullptr) {
        FreeLibrary(static_cast<HMODULE>(module));
    }
}

std::string tempDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) {
        return ".\\";
    }
    return narrow(std::wstring(buffer, n));
}

std::optional<std::array<std::uint8_t, 4>> firstLocalIPv4() {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        return std::nullopt;
    }
    std::optional<std::array<std::uint8_t, 4>> result;
    char host[1025] = {};
    if (gethostname(host, 1024) == 0) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        if (getaddrinfo(host, nullptr, &hints, &found) == 0 && found != nullptr) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
            std::array<std::uint8_t, 4> bytes{};
            std::memcpy(bytes.data(), &in->sin_addr.s_addr, 4);
            result = bytes;
            freeaddrinfo(found);
        }
    }
    WSACleanup();
    return result;
}

RenameResult renameNoReplace(const std::string& from, const std::string& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing target.
    if (MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_COPY_ALLOWED)) {
        return RenameResult::Moved;
    }
    const DWORD err = GetLastError();
    return err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS ? RenameResult::TargetExists
                                                                   : RenameResult::Failed;
}

bool pathExists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::FILE* createNewFile(const std::string& path) {
    // CREATE_NEW fails on any existing name, a link included.
    HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        DeleteFileW(widen(path).c_str());
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        _close(fd);
        DeleteFileW(widen(path).c_str());
    }
    return file;
}

std::intptr_t lockFileExclusive(const std::string& path) {
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, which is refused below.
    HANDLE handle = CreateFileW(widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    OVERLAPPED whole{};
    if (!GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        !LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(handle);
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(handle);
}

void unlockFile(std::intptr_t lock) {
    if (lock != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(lock));  // closing releases the lock
    }
}

std::optional<std::string> readFileNoFollow(const std::string& path, std::size_t maxBytes) {
    HANDLE handle = CreateFileW(
        widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<std::string> bytes;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) &&
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) == 0) {
        std::string buffer(maxBytes, '\0');
        DWORD n = 0;
        if (ReadFile(handle, buffer.data(), static_cast<DWORD>(maxBytes), &n, nullptr)) {
            buffer.resize(n);
            bytes = std::move(buffer);
        }
    }
    CloseHandle(handle);
    return bytes;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace platform
}  // namespace GenChartLib
