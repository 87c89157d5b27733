#include "base/Catalog.h"

#include <string>

namespace GenChartLib {

namespace {

// One table for every writer: an id maps to the same class under all seven.
const std::vector<InstrumentEntry> kInstruments = {
    {MI_DTP41, "MI_DTP41", "DTP41", LayoutClass::Dtp41},
    {MI_SPECTROSCAN, "MI_SPECTROSCAN", "SpectroScan", LayoutClass::SpectroScan},
    {MI_EYEONE, "MI_EYEONE", "EyeOne", LayoutClass::EyeOneRev1},
    {MI_QUILLEYE, "MI_QUILLEYE", "QuillEye", LayoutClass::EyeOneRev1},
    {MI_ICCOLOR, "MI_ICCOLOR", "iCColor", LayoutClass::ICColor},
    {MI_LUMO10, "MI_LUMO10", "Lumo-10", LayoutClass::EyeOneRev1},
    {MI_DTP20, "MI_DTP20", "DTP20", LayoutClass::Dtp20},
    {MI_DTP70, "MI_DTP70", "DTP70", LayoutClass::Dtp70},
    {MI_DTP45, "MI_DTP45", "DTP45", LayoutClass::Dtp45},
    {MI_EYEONE_LOWRES, "MI_EYEONE_LOWRES", "EyeOne_LowRes", LayoutClass::EyeOneV},
    {MI_LUMO20, "MI_LUMO20", "Lumo-20", LayoutClass::EyeOnePro2},
    {MI_EYEONEPRO2, "MI_EYEONEPRO2", "EyeOnePro2", LayoutClass::EyeOnePro2},
    {MI_IOPRO2, "MI_IOPRO2", "IOPro2", LayoutClass::Io},
    {MI_IO, "MI_IO", "IO", LayoutClass::Io},
    {MI_ISIS, "MI_ISIS", "iSis", LayoutClass::ISis},
    {MI_ISISUV, "MI_ISISUV", "iSisUV", LayoutClass::ISis},
    {MI_SPECTROLFP, "MI_SPECTROLFP", "SpectroLFP", LayoutClass::SpectroLFP_R},
    // Named, but served by the warm-up page like an unlisted id.
    {MI_SPECTROLFP_2, "MI_SPECTROLFP_2", "SpectroLFP", LayoutClass::WarmUpPage},
    {MI_SPECTROSWING, "MI_SPECTROSWING", "SpectroSwing", LayoutClass::SpectroLFP_R},
    {MI_SPECTROSWING_2, "MI_SPECTROSWING_2", "SpectroSwing", LayoutClass::SpectroLFP_R},
    {MI_SPECTROLFP_3, "MI_SPECTROLFP_3", "SpectroLFP", LayoutClass::SpectroLFP_R},
    {MI_SPECTROPAD, "MI_SPECTROPAD", "SpectroPad", LayoutClass::SpectroPad},
    {MI_KM_FD5BT, "MI_KM_FD5BT", "KM FD-5BT", LayoutClass::KM_FDx},
    {MI_SPYDERPRINT, "MI_SPYDERPRINT", "Spyder Print", LayoutClass::SpyderPrint},
    {MI_ISIS2NET, "MI_ISIS2NET", "iSis 2 NET", LayoutClass::ISis},
    {MI_HPZ_UVCUT, "MI_HPZ_UVCUT", "HPZ_UVCut", LayoutClass::HpZ},
    {MI_HPZ, "MI_HPZ", "HPZ", LayoutClass::HpZ},
    {MI_EPSON, "MI_EPSON", "Epson", LayoutClass::Epson},
    {MI_CANON, "MI_CANON", "Canon", LayoutClass::Canon},
    {MI_EPSONILS30, "MI_EPSONILS30", "EpsonILS30", LayoutClass::EpsonILS30},
};

const std::vector<ColorModeEntry> kColorModes = {
    {CM_CMYK, "CM_CMYK", "CMYK", WriterKind::CMYK, "four process inks"},
    {CM_CMYKOG, "CM_CMYKOG", "CMYKOG", WriterKind::CMYKOG, "CMYK plus orange and green"},
    {CM_CMYKRGB, "CM_CMYKRGB", "CMYKRGB", WriterKind::CMYKRGB, "CMYK plus red, green and blue"},
    {CM_LAB, "CM_LAB", "Lab", WriterKind::LAB, "CIE L*a*b* values"},
    {CM_RGB, "CM_RGB", "RGB", WriterKind::RGB, "RGB device values"},
    {CM_CMYKO, "CM_CMYKO", "CMYKO", WriterKind::CMYKO, "CMYK plus orange"},
    {CM_SIXCOLOR_6, "CM_SIXCOLOR_6", "SixColor6", WriterKind::CMYKOG, "six channels, as CMYKOG"},
    {CM_SIXCOLOR_7, "CM_SIXCOLOR_7", "SixColor7", WriterKind::CMYKOG, "six channels, as CMYKOG"},
    {CM_SPOT_1, "CM_SPOT_1", "Spot1", WriterKind::SpotColor, "1 spot colour"},
    {CM_SPOT_2, "CM_SPOT_2", "Spot2", WriterKind::SpotColor, "2 spot colours"},
    {CM_SPOT_3, "CM_SPOT_3", "Spot3", WriterKind::SpotColor, "3 spot colours"},
    {CM_SPOT_4, "CM_SPOT_4", "Spot4", WriterKind::SpotColor, "4 spot colours"},
    {CM_SPOT_5, "CM_SPOT_5", "Spot5", WriterKind::SpotColor, "5 spot colours"},
    {CM_SPOT_6, "CM_SPOT_6", "Spot6", WriterKind::SpotColor, "6 spot colours"},
    {CM_SPOT_7, "CM_SPOT_7", "Spot7", WriterKind::SpotColor, "7 spot colours"},
    {CM_SPOT_8, "CM_SPOT_8", "Spot8", WriterKind::SpotColor, "8 spot colours"},
};

// A name as the lookups compare it: lower case, without blanks, '-' and '_'.
std::string nameKey(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c == ' ' || c == '\t' || c == '-' || c == '_') {
            continue;
        }
        key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

}  // namespace

const std::vector<InstrumentEntry>& instrumentTable() {
    return kInstruments;
}

const std::vector<ColorModeEntry>& colorModeTable() {
    return kColorModes;
}

const InstrumentEntry* findInstrument(std::int32_t id) {
    for (const InstrumentEntry& entry : kInstruments) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

const InstrumentEntry* findInstrumentByName(std::string_view name) {
    const std::string key = nameKey(name);
    if (key.empty()) {
        return nullptr;
    }
    for (const InstrumentEntry& entry : kInstruments) {
        if (nameKey(entry.shortName) == key || nameKey(entry.enumName) == key) {
            return &entry;
        }
    }
    return nullptr;
}

const ColorModeEntry* findColorModeByName(std::string_view name) {
    const std::string key = nameKey(name);
    if (key.empty()) {
        return nullptr;
    }
    for (const ColorModeEntry& entry : kColorModes) {
        if (nameKey(entry.shortName) == key || nameKey(entry.enumName) == key) {
            return &entry;
        }
    }
    return nullptr;
}

const char* instrumentShortName(std::int32_t id) {
    const InstrumentEntry* entry = findInstrument(id);
    return entry != nullptr ? entry->shortName : "";
}

LayoutClass layoutClassFor(std::int32_t id) {
    const InstrumentEntry* entry = findInstrument(id);
    return entry != nullptr ? entry->layout : LayoutClass::WarmUpPage;
}

const char* layoutClassName(LayoutClass layout) {
    switch (layout) {
        case LayoutClass::Dtp41:
            return "Dtp41";
        case LayoutClass::Dtp45:
            return "Dtp45";
        case LayoutClass::SpectroScan:
            return "SpectroScan";
        case LayoutClass::EyeOneRev1:
            return "EyeOneRev1";
        case LayoutClass::ICColor:
            return "ICColor";
        case LayoutClass::Dtp20:
            return "Dtp20";
        case LayoutClass::Dtp70:
            return "Dtp70";
        case LayoutClass::EyeOneV:
            return "EyeOneV";
        case LayoutClass::EyeOnePro2:
            return "EyeOnePro2";
        case LayoutClass::Io:
            return "Io";
        case LayoutClass::ISis:
            return "ISis";
        case LayoutClass::SpectroLFP_R:
            return "SpectroLFP_R";
        case LayoutClass::SpectroPad:
            return "SpectroPad";
        case LayoutClass::KM_FDx:
            return "KM_FDx";
        case LayoutClass::SpyderPrint:
            return "SpyderPrint";
        case LayoutClass::HpZ:
            return "HpZ";
        case LayoutClass::Epson:
            return "Epson";
        case LayoutClass::Canon:
            return "Canon";
        case LayoutClass::EpsonILS30:
            return "EpsonILS30";
        case LayoutClass::WarmUpPage:
            return "WarmUpPage";
    }
    return "";
}

bool isSupportedColorMode(std::int32_t mode) {
    const auto value = static_cast<std::uint32_t>(mode);
    return value <= static_cast<std::uint32_t>(CM_SIXCOLOR_7) ||
           (value >= static_cast<std::uint32_t>(CM_SPOT_1) &&
            value <= static_cast<std::uint32_t>(CM_SPOT_8));
}

std::optional<WriterKind> writerFor(std::int32_t mode) {
    for (const ColorModeEntry& entry : kColorModes) {
        if (entry.mode == mode) {
            return entry.writer;
        }
    }
    return std::nullopt;
}

const char* writerName(WriterKind writer) {
    switch (writer) {
        case WriterKind::CMYK:
            return "WriteCMYK";
        case WriterKind::CMYKO:
            return "WriteCMYKO";
        case WriterKind::CMYKOG:
            return "WriteCMYKOG";
        case WriterKind::CMYKRGB:
            return "WriteCMYKRGB";
        case WriterKind::LAB:
            return "WriteLAB";
        case WriterKind::RGB:
            return "WriteRGB";
        case WriterKind::SpotColor:
            return "WriteSpotColor";
    }
    return "";
}

}  // namespace GenChartLib
