// One full frame of all 138 gauges (service 6, then update/generate/draw with every element
// callback) against the floor: the same host doing only its own share of that frame, its clock
// moved on a frame, the lookup_var refreshes the gauges asked for, the key events they sent taken
// by the host (and its aircraft), and the walk of every element list with its source variables
// refreshed. The ratio of
// the two tells what the cockpit's own logic costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/simulator.h"
#include "module/linkage.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::host;

constexpr int kWarmUpFrames = 10 * kTicksPerSecond;
constexpr u8 kStartUpDone = 2;  // the module's start-up setting has nothing left to do

// The tokens the gauges refreshed and the key events they sent during one frame, in order.
std::vector<int> recorded_tokens;
std::vector<std::pair<abi::ID32, abi::UINT32>> recorded_keys;
void (*host_lookup)(abi::MODULE_VAR*) = nullptr;
abi::ERR(FSAPI* host_key_event)(abi::ID32, abi::UINT32) = nullptr;
void FSAPI recording_lookup(abi::MODULE_VAR* var) {
    recorded_tokens.push_back(var->id);
    host_lookup(var);
}
abi::ERR FSAPI recording_key_event(abi::ID32 id, abi::UINT32 value) {
    recorded_keys.emplace_back(id, value);
    return host_key_event(id, value);
}

// A cockpit on the ground with its batteries on, a few seconds after loading: the switches as the
// module loads them, not the cold and dark start-up setting.
struct Cockpit {
    Simulator sim;
    Cockpit() {
        sim.vars().set(sim::on_ground, 1.0);
        shared.cockpit_init_state = kStartUpDone;
        for (int i = 0; i < kWarmUpFrames; ++i) sim.frame();
    }
};

void full_frame(benchmark::State& state) {
    Cockpit cockpit;
    PanelHost& host = cockpit.sim.host();
    for (auto _ : state) {
        host.clear_key_events();
        host.frame();
    }
    state.counters["gauges"] = static_cast<double>(host.gauges().size());
}

void floor_frame(benchmark::State& state) {
    Cockpit cockpit;
    PanelHost& host = cockpit.sim.host();

    // One frame with the lookup and key event services interposed, to learn which refreshes the
    // gauges make and which key events the host must take from them.
    abi::PANELS recording = host.panels();
    host_lookup = recording.lookup_var;
    recording.lookup_var = &recording_lookup;
    host_key_event = recording.trigger_key_event;
    recording.trigger_key_event = &recording_key_event;
    recorded_tokens.clear();
    recorded_tokens.reserve(4096);
    recorded_keys.clear();
    recorded_keys.reserve(4096);
    ImportTable.PANELSentry.fnptr = &recording;
    host.frame();
    ImportTable.PANELSentry.fnptr = const_cast<abi::PANELS*>(&host.panels());

    std::vector<abi::MODULE_VAR> records(recorded_tokens.size());
    for (std::size_t i = 0; i < records.size(); ++i) records[i].id = recorded_tokens[i];
    std::vector<abi::ELEMENT_HEADER*> first_elements;
    for (abi::GAUGEHDR* g : host.gauges()) first_elements.push_back(g->elements_list ? g->elements_list[0] : nullptr);

    const abi::PANELS& panels = host.panels();
    for (auto _ : state) {
        host.clear_key_events();
        host.frame(nullptr, 0);  // the clock moves on; no gauge is called
        for (abi::MODULE_VAR& r : records) panels.lookup_var(&r);
        for (const auto& [id, value] : recorded_keys) panels.trigger_key_event(id, value);
        for (abi::ELEMENT_HEADER* first : first_elements)
            if (first) host.refresh_elements(first);
        benchmark::ClobberMemory();
    }
    state.counters["lookups"] = static_cast<double>(records.size());
    state.counters["key_events"] = static_cast<double>(recorded_keys.size());
}

BENCHMARK(full_frame)->Unit(benchmark::kMicrosecond);
BENCHMARK(floor_frame)->Unit(benchmark::kMicrosecond);

// Prints as usual and keeps the time of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // One figure per benchmark: the median when repeated, else the run itself.
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians_[r.run_name.function_name] = r.GetAdjustedRealTime();
            else if (r.run_type == Run::RT_Iteration)
                times_[r.run_name.function_name] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const {
        if (auto m = medians_.find(name); m != medians_.end()) return m->second;
        if (auto t = times_.find(name); t != times_.end()) return t->second;
        return 0.0;
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double full = reporter.time("full_frame");
    const double floor = reporter.time("floor_frame");
    if (full > 0 && floor > 0)
        std::printf("full frame %.2f us, floor %.2f us: the full frame costs %.1f times the floor\n", full, floor,
                    full / floor);
    return 0;
}
