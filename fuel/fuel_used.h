// The fuel-used counters: each samples its engine's fuel flow against the simulation time while the
// DC bus is powered and shows the total on carry drums, 10000 kg down to units.
#pragma once

#include "fuel/fuel_drums.h"
#include "module/drums.h"
#include "module/gauge.h"

namespace tarvenol::fuel {

constexpr double kSamplePeriod = 0.25;         // seconds
constexpr double kSamplesPerHour = 14400.0;    // fuel flow is in pounds per hour
constexpr double kFlowCorrection = 1.3407037;  // the flow meter's calibration factor
constexpr double kKgPerPound = 0.453;

// Fuel used by engine 1 and engine 2 since the last reset, kg.
extern f64 fuel_used_1;
extern f64 fuel_used_2;
VarTableView fuel_used_vars();
void reset_fuel_used();

struct FuelUsedSampler {
    f64 deadline = 0.0;
    u8 armed = 0;
};

// One tick of sampling for an engine: fuel_used grows once per elapsed sampling period.
void sample_fuel_used(FuelUsedSampler& sampler, double fuel_flow_pph, f64& fuel_used);

}  // namespace tarvenol::fuel

// A fuel-used counter unit: engine number, its fuel flow variable and its counter.
#define TARVENOL_FUEL_USED_GAUGE(ident, name, engine, flow_var, counter)                                     \
    namespace {                                                                                             \
    using namespace ::tarvenol;                                                                             \
    fuel::FuelUsedSampler sampler;                                                                          \
    const VarRef sampler_vars[] = {var_ref("fuel_used_" #engine "_deadline", sampler.deadline),             \
                                   var_ref("fuel_used_" #engine "_armed", sampler.armed)};                  \
    void reset_sampler() { sampler = fuel::FuelUsedSampler{}; }                                             \
    void tick() {                                                                                           \
        if (shared.dc_bus_powered == 1) fuel::sample_fuel_used(sampler, read(sim::flow_var), fuel::counter); \
    }                                                                                                       \
    Background background{panel("FUEL USED " #engine, fuel::kCounterH).in("KG")};                         \
    MovingImage drum_10000{"drum_10000", nullptr, [] { return carry_drum(fuel::counter, 10000.0); }, drum(fuel::counter_drum(4, fuel::kCounterWidth))};      \
    MovingImage drum_1000{"drum_1000", nullptr, [] { return carry_drum(fuel::counter, 1000.0); }, drum(fuel::counter_drum(3, fuel::kCounterWidth))};         \
    MovingImage drum_100{"drum_100", nullptr, [] { return carry_drum(fuel::counter, 100.0); }, drum(fuel::counter_drum(2, fuel::kCounterWidth))};            \
    MovingImage drum_10{"drum_10", nullptr, [] { return carry_drum(fuel::counter, 10.0); }, drum(fuel::counter_drum(1, fuel::kCounterWidth))};               \
    MovingImage drum_1{"drum_1", nullptr, [] { return units_drum(fuel::counter); }, drum(fuel::counter_drum(0, fuel::kCounterWidth))};                       \
    }                                                                                                       \
    TARVENOL_GAUGE(ident, name, 61, &tick_callback<&tick>, no_areas,                                        \
                   (VarTableView{sampler_vars, std::size(sampler_vars)}), &reset_sampler, background,       \
                   drum_10000, drum_1000, drum_100, drum_10, drum_1)
