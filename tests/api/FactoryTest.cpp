// The instrument and colour-mode tables and the layout objects they make.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "api/Factory.h"
#include "engine/ChartTestSupport.h"
#include "instruments/Dtp41.h"
#include "instruments/WarmUpPage.h"

namespace GenChartLib {
namespace {

using chart_test::LogCapture;
using chart_test::TempDir;

template <class T>
bool makes(ColorMode mode, std::int32_t id) {
    const std::unique_ptr<ChartObject> chart =
        makeChart(mode, static_cast<IdMeasureInstrument>(id), "");
    return dynamic_cast<T*>(chart.get()) != nullptr;
}

TEST(InstrumentTable, ListsEveryNamedInstrumentOnceWithItsClass) {
    const auto& table = instrumentTable();
    EXPECT_EQ(table.size(), 30U);
    std::set<std::int32_t> ids;
    for (const InstrumentEntry& entry : table) {
        EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
        EXPECT_EQ(findInstrument(entry.id), &entry);
    }
    EXPECT_STREQ(instrumentShortName(MI_DTP41), "DTP41");
    EXPECT_STREQ(instrumentShortName(MI_KM_FD5BT), "KM FD-5BT");
    EXPECT_STREQ(instrumentShortName(MI_SPYDERPRINT), "Spyder Print");
    EXPECT_STREQ(instrumentShortName(MI_ISIS2NET), "iSis 2 NET");
    EXPECT_STREQ(instrumentShortName(MI_SPECTROLFP_2), "SpectroLFP");
    EXPECT_STREQ(instrumentShortName(MI_EYEONE_LOWRES), "EyeOne_LowRes");
    EXPECT_STREQ(instrumentShortName(3), "");
    EXPECT_EQ(findInstrument(3), nullptr);

    // Classes shared by several ids, and the warm-up page for every id
    // without a class of its own (29 has a name but no class).
    const std::pair<LayoutClass, std::vector<std::int32_t>> classes[] = {
        {LayoutClass::EyeOneRev1, {11, 13, 15}},
        {LayoutClass::EyeOnePro2, {21, 22}},
        {LayoutClass::ISis, {26, 27, 37}},
        {LayoutClass::SpectroLFP_R, {28, 31, 32, 33}},
        {LayoutClass::HpZ, {40, 41}},
        {LayoutClass::Dtp45, {19}},
        {LayoutClass::WarmUpPage,
         {29, 3, 4, 12, 18, 24, 30, 38, 39, 42, 43, 44, 0, 1, 48, -7, INT_MAX}},
    };
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
    EXPECT_EQ(colorModeTable().size(), 16U);
    EXPECT_EQ(writerFor(CM_CMYKOG), WriterKind::CMYKOG);
    EXPECT_EQ(writerFor(CM_SIXCOLOR_6), WriterKind::CMYKOG);
    EXPECT_EQ(writerFor(CM_SIXCOLOR_7), WriterKind::CMYKOG);
    EXPECT_EQ(writerFor(CM_CMYKO), WriterKind::CMYKO);
    EXPECT_EQ(writerFor(CM_LAB), WriterKind::LAB);
    EXPECT_EQ(writerFor(CM_SPOT_1), WriterKind::SpotColor);
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
    EXPECT_EQ(makeChart(CM_CMYKO, static_cast<IdMeasureInstrument>(3), ""), nullptr);
    EXPECT_EQ(makeChart(static_cast<ColorMode>(8), MI_DTP41, ""), nullptr);
    EXPECT_EQ(makeChart(static_cast<ColorMode>(-1), MI_DTP41, ""), nullptr);
}

TEST(MakeChart, AClassNotInThisBuildMakesNothingAndSaysWhich) {
    const InstrumentEntry* missing = nullptr;
    for (const InstrumentEntry& entry : instrumentTable()) {
        if (!layoutAvailable(entry.layout, CM_CMYK)) {
            missing = &entry;
            break;
        }
    }
    if (missing == nullptr) {
        GTEST_SKIP() << "every layout class is built";
    }
    TempDir dir;
    LogCapture log(dir.file("log.txt"));
    EXPECT_EQ(makeChart(CM_CMYK, missing->id, ""), nullptr);
    EXPECT_EQ(log.text(), "Factory/makeChart: no " + std::string(layoutClassName(missing->layout)) +
                              " layout for instrument " + std::to_string(missing->id) +
                              " in colour mode 0\n");
}

TEST(Names, FindInstrumentsAndModesAsHostsSpellThem) {
    EXPECT_EQ(findInstrumentByName("dtp41")->id, MI_DTP41);
    EXPECT_EQ(findInstrumentByName("MI_DTP45")->id, MI_DTP45);
    EXPECT_EQ(findInstrumentByName("KM FD-5BT")->id, MI_KM_FD5BT);
    EXPECT_EQ(findInstrumentByName("kmfd5bt")->id, MI_KM_FD5BT);
    EXPECT_EQ(findInstrumentByName("eyeone")->id, MI_EYEONE);
    EXPECT_EQ(findInstrumentByName("EyeOne_LowRes")->id, MI_EYEONE_LOWRES);
    EXPECT_EQ(findInstrumentByName("SpectroLFP")->id, MI_SPECTROLFP);  // the first of three
    EXPECT_EQ(findInstrumentByName("io")->id, MI_IO);
    EXPECT_EQ(findInstrumentByName("Spectro"), nullptr);
    EXPECT_EQ(findInstrumentByName(""), nullptr);
    EXPECT_EQ(findInstrumentByName(" - "), nullptr);
    EXPECT_EQ(findColorModeByName("spot3")->mode, CM_SPOT_3);
    EXPECT_EQ(findColorModeByName("CM_LAB")->mode, CM_LAB);
    EXPECT_EQ(findColorModeByName("Lab")->mode, CM_LAB);
    EXPECT_EQ(findColorModeByName("cmykog")->mode, CM_CMYKOG);
    EXPECT_EQ(findColorModeByName("CMY"), nullptr);
}

}  // namespace
}  // namespace GenChartLib
