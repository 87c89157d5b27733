// A chart object for the session tests: counts the calls the GenChart
// operations make, can fail on demand, and reports its own deletion; and a
// fixture whose session holds one.
#ifndef ORVOCHART_TESTS_API_PROBECHART_H
#define ORVOCHART_TESTS_API_PROBECHART_H

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "api/ChartSession.h"
#include "base/ChartParams.h"
#include "engine/ChartObject.h"

namespace chart_test {

struct ProbeRecord {
    int inits = 0;
    int applies = 0;
    int writes = 0;
    bool deleted = false;
    GenChartLib::ChartParams lastPrevious;
};

class ProbeChart : public GenChartLib::ChartObject {
  public:
    explicit ProbeChart(ProbeRecord& record) : record_(record) {}
    ~ProbeChart() override { record_.deleted = true; }

    void initChartParams(GenChartLib::ChartParams& params) override {
        ++record_.inits;
        if (onInit) {
            onInit(params);
        }
    }
    void writeChart(GenChartLib::ChartParams& params) override {
        ++record_.writes;
        if (onWrite) {
            onWrite(params);
        }
    }
    void applyChartParams(const GenChartLib::ChartParams& previous,
                          GenChartLib::ChartParams& current) override {
        ++record_.applies;
        record_.lastPrevious = previous;
        if (onApply) {
            onApply(current);
        }
    }

    std::function<void(GenChartLib::ChartParams&)> onInit;
    std::function<void(GenChartLib::ChartParams&)> onWrite;
    std::function<void(GenChartLib::ChartParams&)> onApply;

  private:
    ProbeRecord& record_;
};

class SessionWithProbe : public ::testing::Test {
  protected:
    // Gives the session a new probe chart (deleting the one it had).
    ProbeChart& withProbe() {
        auto probe = std::make_unique<ProbeChart>(record_);
        ProbeChart& ref = *probe;
        session_.chart = std::move(probe);
        return ref;
    }
    GenChartLib::ChartSession session_;
    ProbeRecord record_;
};

}  // namespace chart_test

#endif  // ORVOCHART_TESTS_API_PROBECHART_H
