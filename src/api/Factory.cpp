#include "api/Factory.h"

#include <string>
#include <type_traits>

#include "engine/MeasureInstrument.h"
#include "instruments/Dtp20.h"
#include "instruments/Dtp41.h"
#include "instruments/Dtp70.h"
#include "instruments/EyeOnVe.h"
#include "instruments/EyeOnePro2.h"
#include "instruments/EyeOneRev1.h"
#include "instruments/ICColor.h"
#include "instruments/WarmUpPage.h"
#include "outside/DebugLog.h"

namespace GenChartLib {

namespace {

constexpr const char* kFactoryFormat = "Factory/makeChart: %s";

// The layout classes of this build. A new layout class is registered by one
// `case` here returning std::make_unique<Class<W>>(name); classes without a
// case make no chart.
template <class W>
std::unique_ptr<MeasureInstrument<W>> buildLayout(LayoutClass layout, const std::string& name) {
    switch (layout) {
        case LayoutClass::Dtp41:
            return std::make_unique<Dtp41<W>>(name);
        case LayoutClass::Dtp45:
            return std::make_unique<Dtp45<W>>(name);
        case LayoutClass::EyeOneRev1:
            return std::make_unique<EyeOneRev1<W>>(name);
        case LayoutClass::EyeOnePro2:
            return std::make_unique<EyeOnePro2<W>>(name);
        case LayoutClass::EyeOneV:
            return std::make_unique<EyeOneV<W>>(name);
        case LayoutClass::Dtp70:
            return std::make_unique<Dtp70<W>>(name);
        case LayoutClass::Dtp20:
            return std::make_unique<Dtp20<W>>(name);
        case LayoutClass::ICColor:
            return std::make_unique<ICColor<W>>(name);
        case LayoutClass::WarmUpPage:
            // There is no warm-up page for CMYK plus orange.
            if constexpr (std::is_same_v<W, WriteCMYKO>) {
                return nullptr;
            } else {
                return std::make_unique<WarmUpPage<W>>(name);
            }
        default:
            return nullptr;
    }
}

std::unique_ptr<ChartObject> buildFor(WriterKind writer, LayoutClass layout,
                                      const std::string& name) {
    switch (writer) {
        case WriterKind::CMYK:
            return buildLayout<WriteCMYK>(layout, name);
        case WriterKind::CMYKO:
            return buildLayout<WriteCMYKO>(layout, name);
        case WriterKind::CMYKOG:
            return buildLayout<WriteCMYKOG>(layout, name);
        case WriterKind::CMYKRGB:
            return buildLayout<WriteCMYKRGB>(layout, name);
        case WriterKind::LAB:
            return buildLayout<WriteLAB>(layout, name);
        case WriterKind::RGB:
            return buildLayout<WriteRGB>(layout, name);
        case WriterKind::SpotColor:
            return buildLayout<WriteSpotColor>(layout, name);
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<ChartObject> makeChart(ColorMode mode, IdMeasureInstrument id,
                                       const std::string& name) {
    const std::optional<WriterKind> writer = writerFor(mode);
    if (!writer) {
        return nullptr;
    }
    const LayoutClass layout = layoutClassFor(id);
    std::unique_ptr<ChartObject> chart = buildFor(*writer, layout, name);
    if (chart == nullptr) {
        const std::string message = "no " + std::string(layoutClassName(layout)) +
                                    " layout for instrument " + std::to_string(id) +
                                    " in colour mode " + std::to_string(mode);
        debugLog(kFactoryFormat, 0, 0, message.c_str());
    }
    return chart;
}

bool layoutAvailable(LayoutClass layout, ColorMode mode) {
    const std::optional<WriterKind> writer = writerFor(mode);
    return writer && buildFor(*writer, layout, std::string()) != nullptr;
}

}  // namespace GenChartLib
