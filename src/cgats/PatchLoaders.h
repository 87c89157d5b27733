// Reference patches per colour mode: a loaded reference file turned into the
// 8-bit patch colours that the writer of the mode paints, one per data row.
//
// Each mode has a loader that reads a file into a fresh reader handed in by
// the caller (who may read the header keywords afterwards) and a converter
// that works on an already loaded reader. Both empty the output list first.
// Missing columns fail after the load, before any patch is produced:
// ERR_NO_CMYK_DATA for the CMYK-based and spot modes, ERR_NO_LAB_DATA,
// ERR_NO_RGB_DATA.
#ifndef ORVOCHART_CGATS_PATCHLOADERS_H
#define ORVOCHART_CGATS_PATCHLOADERS_H

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cgats/CgatsReader.h"
#include "render/Writers.h"

namespace GenChartLib {

// The CMYK reading of one data row: C, M, Y, K ink bytes (0 for a column the
// file lacks) and the inverted tint of every spot column named in the
// file's spot colour format, by column name.
struct CmykPatch {
    std::array<std::uint8_t, 4> cmyk{};
    std::map<std::string, std::uint8_t> spotTints;
};

// Throws ERR_CMYK_INDEX for a set outside the data block.
CmykPatch readCmykPatch(const CgatsReader& reader, std::int32_t set);
// The inverted ink byte (255 = no ink) of one cell; a column the file lacks
// reads as no ink. Throws ERR_CMYK_INDEX for a set outside the data block.
std::uint8_t readChannel(const CgatsReader& reader, std::int32_t set, std::string_view columnName);
// L, a, b bytes of one row; ERR_LAB_INDEX outside the data block.
WriteLAB::PixelColor readLabPatch(const CgatsReader& reader, std::int32_t set);
// R, G, B bytes of one row; ERR_RGB_INDEX outside the data block.
WriteRGB::PixelColor readRgbPatch(const CgatsReader& reader, std::int32_t set);

// Patches from a loaded reader. The CMYK-based colours carry their spot
// tints in `extra`, in the order of the spot column names.
void cmykPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYK::PixelColor>& out);
void cmykoPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYKO::PixelColor>& out);
void cmykogPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYKOG::PixelColor>& out);
void cmykrgbPatchesFrom(const CgatsReader& reader, std::vector<WriteCMYKRGB::PixelColor>& out);
void labPatchesFrom(const CgatsReader& reader, std::vector<WriteLAB::PixelColor>& out);
void rgbPatchesFrom(const CgatsReader& reader, std::vector<WriteRGB::PixelColor>& out);
// Spot patches: `channels` are the C, M, Y, K bytes (0 without CMYK
// columns), `extra` the file's N spot tints (channels 1 to 4 as ink amounts,
// 5 and up inverted), `channelCount` N.
void spotPatchesFrom(const CgatsReader& reader, std::vector<WriteSpotColor::PixelColor>& out);

// Load `path` into `reader`, then convert.
void loadCmykPatches(CgatsReader& reader, const std::string& path,
                     std::vector<WriteCMYK::PixelColor>& out);
void loadCmykoPatches(CgatsReader& reader, const std::string& path,
                      std::vector<WriteCMYKO::PixelColor>& out);
void loadCmykogPatches(CgatsReader& reader, const std::string& path,
                       std::vector<WriteCMYKOG::PixelColor>& out);
void loadCmykrgbPatches(CgatsReader& reader, const std::string& path,
                        std::vector<WriteCMYKRGB::PixelColor>& out);
void loadLabPatches(CgatsReader& reader, const std::string& path,
                    std::vector<WriteLAB::PixelColor>& out);
void loadRgbPatches(CgatsReader& reader, const std::string& path,
                    std::vector<WriteRGB::PixelColor>& out);
void loadSpotPatches(CgatsReader& reader, const std::string& path,
                     std::vector<WriteSpotColor::PixelColor>& out);

// The loader of writer W, for code written once over all writers.
template <class W>
struct PatchLoader;

#define ORVOCHART_PATCH_LOADER(Writer, loadFn, convertFn)                                         \
    template <>                                                                                   \
    struct PatchLoader<Writer> {                                                                  \
        static void load(CgatsReader& reader, const std::string& path,                            \
                         std::vector<Writer::PixelColor>& out) {                                  \
            loadFn(reader, path, out);                                                            \
        }                                                                                         \
        static void fromReader(const CgatsReader& reader, std::vector<Writer::PixelColor>& out) { \
            convertFn(reader, out);                                                               \
        }                                                                                         \
    };

ORVOCHART_PATCH_LOADER(WriteCMYK, loadCmykPatches, cmykPatchesFrom)
ORVOCHART_PATCH_LOADER(WriteCMYKO, loadCmykoPatches, cmykoPatchesFrom)
ORVOCHART_PATCH_LOADER(WriteCMYKOG, loadCmykogPatches, cmykogPatchesFrom)
ORVOCHART_PATCH_LOADER(WriteCMYKRGB, loadCmykrgbPatches, cmykrgbPatchesFrom)
ORVOCHART_PATCH_LOADER(WriteLAB, loadLabPatches, labPatchesFrom)
ORVOCHART_PATCH_LOADER(WriteRGB, loadRgbPatches, rgbPatchesFrom)
ORVOCHART_PATCH_LOADER(WriteSpotColor, loadSpotPatches, spotPatchesFrom)

#undef ORVOCHART_PATCH_LOADER

}  // namespace GenChartLib

#endif  // ORVOCHART_CGATS_PATCHLOADERS_H
