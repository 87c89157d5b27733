// The instrument and colour-mode tables and the layout objects they make.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Support.h"
#include "api/Factory.h"
#include "instruments/Dtp41.h"
#include "instruments/WarmUpPage.h"

namespace GenChartLib {
namespace {

template <class T>
bool makes(ColorMode mode, std::int32_t id) {
    const auto chart = makeChart(mode, static_cast<IdMeasureInstrument>(id), "");
    return dynamic_cast<T*>(chart.get()) != nullptr;
}

TEST(InstrumentTable, ListsEveryNamedInstrumentOnceWithItsClass) {
    std::set<std::int32_t> ids;
    for (const InstrumentEntry& entry : instrumentTable()) {
        EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
        EXPECT_EQ(findInstrument(entry.id), &entry);
    }
    EXPECT_EQ(ids.size(), 30U);
    EXPECT_STREQ(instrumentShortName(MI_KM_FD5BT), "KM FD-5BT");
    EXPECT_STREQ(instrumentShortName(3), "");
    EXPECT_EQ(findInstrument(3), nullptr);
    // Classes shared by several ids, and the warm-up page for every id
    // without a class of its own (29 has a name but no class).
    // clang-format off
    const std::pair<LayoutClass, std::vector<std::int32_t>> classes[] = {
        {LayoutClass::EyeOneRev1, {11, 13, 15}}, {LayoutClass::EyeOnePro2, {21, 22}},
        {LayoutClass::ISis, {26, 27, 37}}, {LayoutClass::SpectroLFP_R, {28, 31, 32, 33}},
        {LayoutClass::HpZ, {40, 41}}, {LayoutClass::Dtp45, {19}},
        {LayoutClass::WarmUpPage,
         {29, 3, 4, 12, 18, 24, 30, 38, 39, 42, 43, 44, 0, 1, 48, -7, INT_MAX}}};
    // clang-format on
    for (const auto& [layout, members] : classes) {
        for (const std::int32_t id : members) {
            EXPECT_EQ(layoutClassFor(id), layout) << id;
        }
    }
}

TEST(ColorModes, OnlyZeroToSevenAndTheEightSpotModesAreSupported) {
    for (std::int32_t mode = -3; mode <= 110; ++mode) {
        const bool expected = (mode >= 0 && mode <= 7) || (mode >= 100 && mode <= 107);
        EXPECT_EQ(isSupportedColorMode(mode), expected) << mode;
        EXPECT_EQ(writerFor(mode).has_value(), expected) << mode;
    }
    EXPECT_FALSE(isSupportedColorMode(INT_MIN));
    // clang-format off
    const std::pair<ColorMode, WriterKind> writers[] = {
        {CM_CMYKOG, WriterKind::CMYKOG}, {CM_SIXCOLOR_6, WriterKind::CMYKOG},
        {CM_SIXCOLOR_7, WriterKind::CMYKOG}, {CM_CMYKO, WriterKind::CMYKO},
        {CM_LAB, WriterKind::LAB}, {CM_SPOT_1, WriterKind::SpotColor}};
    // clang-format on
    for (const auto& [mode, writer] : writers) {
        EXPECT_EQ(writerFor(mode), writer) << mode;
    }
    EXPECT_STREQ(writerName(WriterKind::CMYKRGB), "WriteCMYKRGB");
}

TEST(MakeChart, BuildsTheClassOfTheIdOverTheWriterOfTheMode) {
    EXPECT_TRUE(makes<Dtp41<WriteCMYK>>(CM_CMYK, 2));
    EXPECT_FALSE(makes<Dtp45<WriteCMYK>>(CM_CMYK, 2));
    EXPECT_TRUE(makes<Dtp41<WriteCMYKOG>>(CM_SIXCOLOR_6, 2));
    EXPECT_TRUE(makes<Dtp41<WriteSpotColor>>(CM_SPOT_4, 2));
    EXPECT_TRUE(makes<Dtp45<WriteLAB>>(CM_LAB, 19));
    EXPECT_TRUE(makes<WarmUpPage<WriteCMYK>>(CM_CMYK, 29));
    EXPECT_TRUE(makes<WarmUpPage<WriteRGB>>(CM_RGB, 3));
    EXPECT_TRUE(makes<WarmUpPage<WriteSpotColor>>(CM_SPOT_8, -12));
    for (const int mode : {8, -1}) {
        EXPECT_EQ(makeChart(static_cast<ColorMode>(mode), MI_DTP41, ""), nullptr);
    }
    // There is no warm-up page for CMYK plus orange, and the log says so.
    testsupport::TempFolder dir;
    testsupport::LogCapture log(dir.file("log.txt"));
    EXPECT_EQ(makeChart(CM_CMYKO, static_cast<IdMeasureInstrument>(3), ""), nullptr);
    EXPECT_EQ(log.text(),
              "Factory/makeChart: no WarmUpPage layout for instrument 3 in colour mode 5\n");
}

TEST(Names, FindInstrumentsAndModesAsHostsSpellThem) {
    // clang-format off
    const std::pair<std::string, std::int32_t> instruments[] = {
        {"dtp41", MI_DTP41}, {"MI_DTP45", MI_DTP45}, {"KM FD-5BT", MI_KM_FD5BT},
        {"kmfd5bt", MI_KM_FD5BT}, {"eyeone", MI_EYEONE}, {"EyeOne_LowRes", MI_EYEONE_LOWRES},
        {"io", MI_IO}, {"SpectroLFP", MI_SPECTROLFP} /* the first of three */, {"Spectro", -1},
        {"", -1}, {" - ", -1}};
    // clang-format on
    for (const auto& [name, id] : instruments) {
        const InstrumentEntry* found = findInstrumentByName(name);
        EXPECT_EQ(found == nullptr ? -1 : found->id, id) << name;
    }
    // clang-format off
    const std::pair<std::string, int> modes[] = {
        {"spot3", CM_SPOT_3}, {"CM_LAB", CM_LAB}, {"Lab", CM_LAB}, {"cmykog", CM_CMYKOG},
        {"CMY", -1}};
    // clang-format on
    for (const auto& [name, mode] : modes) {
        const auto* found = findColorModeByName(name);
        EXPECT_EQ(found == nullptr ? -1 : static_cast<int>(found->mode), mode) << name;
    }
}

}  // namespace
}  // namespace GenChartLib
