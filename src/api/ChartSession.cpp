#include "api/ChartSession.h"

#include "api/GenChart.h"

namespace GenChartLib {

bool ChartSession::create(IdMeasureInstrument id, const char* name, ColorMode mode) {
    if (chart != nullptr) {
        DestroyGenChart(this, undo.current().colorMode);
        chart.reset();
        undo.collapseToFirst();
    }
    undo.current() = ChartParams(mode);
    undo.current().instrument = id;
    CreateGenChart(id, name, this, mode);
    return chart != nullptr;
}

void ChartSession::destroy() {
    DestroyGenChart(this, undo.current().colorMode);
}

int ChartSession::initChartParams() {
    const int result = InitChartParams(this, undo.current());
    if (result == 0) {
        commit();
    }
    return result;
}

void ChartSession::commit() {
    undo.commit();
}

void ChartSession::setRefDataName(const std::string& name) {
    commit();
    undo.current().refDataName = name;
}

void ChartSession::setOutputName(const std::string& name) {
    undo.current().outputName = name;
}

void ChartSession::setQualityMode(std::int32_t mode) {
    undo.current().qualityMode = mode;
}

void ChartSession::setPageWidth(double widthMm) {
    undo.current().pageWidth = widthMm;
}

void ChartSession::setPageHeight(double heightMm) {
    undo.current().pageHeight = heightMm;
}

void ChartSession::setOutputKind(std::int32_t kind) {
    undo.current().outputKind = kind;
}

void ChartSession::setRandomizedPatches(bool randomized) {
    undo.snapshot();
    undo.current().randomizedPatches = randomized;
    applyChanges();
}

int ChartSession::applyChanges() {
    const unsigned index = undo.currentIndex();
    if (index == 0) {
        return 0;
    }
    const ChartParams& previous = undo.at(index - 1);
    return SetChartParams(this, previous, undo.current());
}

int ChartSession::writeChart() {
    return WriteChart(this, undo.current());
}

std::int32_t ChartSession::stripsOfFirstPage() const {
    const ChartParams& params = undo.current();
    return params.pages.empty() ? 0 : params.pages[0].strips;
}

std::int32_t ChartSession::columnsOfFirstPage() const {
    const ChartParams& params = undo.current();
    return params.pages.empty() ? 0 : params.pages[0].columns;
}

}  // namespace GenChartLib
