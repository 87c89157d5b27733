// Fuzz target of the reference reader: any bytes must end in an error code or
// a consistent table, and every colour mode's converter must cope with
// whatever table the reader accepted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "base/ErrorCodes.h"
#include "cgats/CgatsReader.h"
#include "cgats/PatchLoaders.h"

namespace {

using namespace GenChartLib;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Either a code and no patches, or one patch per row.
template <class W>
void convert(const CgatsReader& reader) {
    std::vector<typename W::PixelColor> patches;
    try {
        PatchLoader<W>::fromReader(reader, patches);
    } catch (eColorCtrlErrors) {
        check(patches.empty());
        return;
    }
    check(patches.size() == reader.rows.size());
    if constexpr (std::is_same_v<W, WriteSpotColor>) {
        for (const auto& patch : patches) {
            check(patch.channelCount >= 1 && patch.channelCount <= 8);
            check(patch.extra.size() == patch.channelCount);
        }
    }
}

template <class... W>
void convertAll(const CgatsReader& reader) {
    (convert<W>(reader), ...);
}

void checkTable(const CgatsReader& reader) {
    check(reader.numberOfSets > 0 && reader.fieldCount > 0);
    check(reader.rows.size() == static_cast<std::size_t>(reader.numberOfSets));
    check(reader.fieldNames.size() == static_cast<std::size_t>(reader.fieldCount));
    for (const auto& row : reader.rows) {
        check(row.size() == reader.fieldNames.size());
    }
    for (std::int32_t column : reader.inkColumn) {
        check(column >= -1 && column < reader.fieldCount);
    }
    for (std::int32_t set : {-2, -1, 0, reader.numberOfSets - 1, reader.numberOfSets}) {
        for (std::int32_t column : {-1, 0, reader.fieldCount - 1, reader.fieldCount}) {
            try {
                reader.valueAt(set, column);
            } catch (eColorCtrlErrors code) {
                check(code == ERR_COORDINATES);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    CgatsReader reader;
    try {
        reader.load(in);
    } catch (eColorCtrlErrors code) {
        check(errorText(code)[0] != '\0');
        return 0;
    }
    checkTable(reader);
    convertAll<WriteCMYK, WriteCMYKO, WriteCMYKOG, WriteCMYKRGB, WriteLAB, WriteRGB,
               WriteSpotColor>(reader);
    return 0;
}
