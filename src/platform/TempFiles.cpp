// Unpredictable names for the files a chart job first writes beside its
// output, the same on every platform.
#include <random>

#include "platform/Platform.h"

namespace GenChartLib {
namespace platform {

std::string randomNamePart(std::size_t length) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
    std::string part;
    for (std::size_t i = 0; i < length; ++i) {
        part += kAlphabet[pick(entropy)];
    }
    return part;
}

std::string createTempFileBeside(const std::string& beside, std::FILE** file) {
    const auto slash = beside.find_last_of("/\\");
    const std::string folder =
        slash == std::string::npos ? std::string() : beside.substr(0, slash + 1);
    // A name taken by another file (or a planted link) is simply skipped.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = folder + ".oc" + randomNamePart(10);
        if (std::FILE* made = createNewFile(name)) {
            *file = made;
            return name;
        }
        if (pathExists(name) == false) {
            break;  // the folder itself refuses new files
        }
    }
    *file = nullptr;
    return {};
}

}  // namespace platform
}  // namespace GenChartLib
