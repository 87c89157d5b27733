#include <dlfcn.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/Platform.h"

namespace GenChartLib {
namespace platform {

namespace {

// Any symbol of this library locates its binary for dladdr.
void anchor() {}

bool fileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

}  // namespace

std::string moduleFileName(const std::string& baseName) {
    return baseName + ".so";
}

std::string libraryDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&anchor), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::string path = info.dli_fname;
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

ModuleHandle loadModule(const std::string& fileName, std::string* error) {
    // Beside the library in a build folder; in the library's own folder of
    // modules once installed, where they stay out of the system's library
    // folder.
    const std::string folder = libraryDirectory();
    for (const std::string& own : {folder + fileName, folder + "orvochart/" + fileName}) {
        if (!folder.empty() && fileExists(own)) {
            if (void* handle = dlopen(own.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                return handle;
            }
        }
    }
    void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr && error != nullptr) {
        const char* reason = dlerror();
        *error = reason != nullptr ? reason : "unknown reason";
    }
    return handle;
}

void* findEntry(ModuleHandle module, const char* name) {
    return module == nullptr || name == nullptr ? nullptr : dlsym(module, name);
}

void unloadModule(ModuleHandle module) {
    if (module != nullptr) {
        dlclose(module);
    }
}

std::string tempDirectory() {
    for (const char* var : {"TMPDIR", "TMP", "TEMP"}) {
        const char* dir = std::getenv(var);
        if (dir != nullptr && *dir != '\0') {
            std::string path = dir;
            if (path.back() != '/') {
                path += '/';
            }
            return path;
        }
    }
    return "/tmp/";
}

std::optional<std::array<std::uint8_t, 4>> firstLocalIPv4() {
    // The host's own name first, as the chart id has always done; then the
    // interfaces, skipping loopback, for hosts whose name does not resolve.
    char host[1025] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        addrinfo* found = nullptr;
        if (getaddrinfo(host, nullptr, &hints, &found) == 0 && found != nullptr) {
            std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> guard(found, &freeaddrinfo);
            const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
            std::array<std::uint8_t, 4> bytes{};
            std::memcpy(bytes.data(), &in->sin_addr.s_addr, 4);
            return bytes;
        }
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) {
        return std::nullopt;
    }
    std::unique_ptr<ifaddrs, decltype(&freeifaddrs)> guard(list, &freeifaddrs);
    for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
        if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET) {
            continue;
        }
        const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        std::array<std::uint8_t, 4> bytes{};
        std::memcpy(bytes.data(), &in->sin_addr.s_addr, 4);
        if (bytes[0] != 127) {
            return bytes;
        }
    }
    return std::nullopt;
}

RenameResult renameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return RenameResult::Moved;
    }
    if (errno == EEXIST) {
        return RenameResult::TargetExists;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return RenameResult::Failed;
    }
    // File systems without RENAME_NOREPLACE: link() refuses an existing target
    // atomically, then the old name goes.
    if (link(from.c_str(), to.c_str()) != 0) {
        return errno == EEXIST ? RenameResult::TargetExists : RenameResult::Failed;
    }
    unlink(from.c_str());
    return RenameResult::Moved;
}

bool pathExists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

std::FILE* createNewFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        close(fd);
        unlink(path.c_str());
    }
    return file;
}

std::intptr_t lockFileExclusive(const std::string& path) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return -1;
    }
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            close(fd);
            return -1;
        }
    }
    return fd;
}

void unlockFile(std::intptr_t lock) {
    if (lock >= 0) {
        close(static_cast<int>(lock));  // closing releases the lock
    }
}

std::optional<std::string> readFileNoFollow(const std::string& path, std::size_t maxBytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> bytes;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        std::string buffer(maxBytes, '\0');
        const ssize_t n = read(fd, buffer.data(), maxBytes);
        if (n >= 0) {
            buffer.resize(static_cast<std::size_t>(n));
            bytes = std::move(buffer);
        }
    }
    close(fd);
    return bytes;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace platform
}  // namespace GenChartLib
