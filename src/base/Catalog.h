// Which layout class serves which instrument id, and which writer serves
// which colour mode: the tables behind the factory, the command-line tool
// and the instrument short names written into a chart job.
#ifndef ORVOCHART_BASE_CATALOG_H
#define ORVOCHART_BASE_CATALOG_H

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "OrvoChartInterface.h"

namespace GenChartLib {

// The instrument layout classes. Every id without a class of its own is
// served by the generic warm-up page.
enum class LayoutClass {
    Dtp41,
    Dtp45,
    SpectroScan,
    EyeOneRev1,
    ICColor,
    Dtp20,
    Dtp70,
    EyeOneV,
    EyeOnePro2,
    Io,
    ISis,
    SpectroLFP_R,
    SpectroPad,
    KM_FDx,
    SpyderPrint,
    HpZ,
    Epson,
    Canon,
    EpsonILS30,
    WarmUpPage,
};

// The writer policy a colour mode selects.
enum class WriterKind { CMYK, CMYKO, CMYKOG, CMYKRGB, LAB, RGB, SpotColor };

struct InstrumentEntry {
    IdMeasureInstrument id;
    const char* enumName;   // "MI_DTP41"
    const char* shortName;  // "DTP41"
    LayoutClass layout;
};

struct ColorModeEntry {
    ColorMode mode;
    const char* enumName;   // "CM_CMYK"
    const char* shortName;  // "CMYK"
    WriterKind writer;
    const char* meaning;
};

// Every listed instrument id, in id order.
const std::vector<InstrumentEntry>& instrumentTable();
// Every supported colour mode, in value order.
const std::vector<ColorModeEntry>& colorModeTable();

// The entry of a listed id, or null.
const InstrumentEntry* findInstrument(std::int32_t id);
// The listed instrument a host names by short name ("DTP41", "KM FD-5BT") or
// enumerator ("MI_DTP41"): case, blanks, '-' and '_' do not count, and the
// first id of a shared short name wins. Null for any other text.
const InstrumentEntry* findInstrumentByName(std::string_view name);
// The colour mode named by short name ("CMYKOG", "Spot3") or enumerator
// ("CM_SPOT_3"), compared the same way; null for any other text.
const ColorModeEntry* findColorModeByName(std::string_view name);
// The short designation of a listed id; "" for any other value.
const char* instrumentShortName(std::int32_t id);
// The layout class an id is served by: its own, or the warm-up page.
LayoutClass layoutClassFor(std::int32_t id);
const char* layoutClassName(LayoutClass layout);

// True for the modes 0-7 and 100-107; the value is compared unsigned, so
// every negative mode is unsupported.
bool isSupportedColorMode(std::int32_t mode);
// The writer of a supported mode; nothing for any other value.
std::optional<WriterKind> writerFor(std::int32_t mode);
const char* writerName(WriterKind writer);

}  // namespace GenChartLib

#endif  // ORVOCHART_BASE_CATALOG_H
