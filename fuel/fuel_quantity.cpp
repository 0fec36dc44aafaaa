#include "fuel/fuel_quantity.h"

#include <iterator>

#include "module/drums.h"
#include "module/shared_state.h"

namespace tarvenol::fuel {

namespace {

constexpr double kLitersPerGallon = 3.84;
constexpr double kFullLevel = 83886.08;  // the level variable counts 8388608 for a full tank
constexpr double kPercent = 100.0;
constexpr double kKgPerPound = 0.453;

constexpr double kBigIndicatorMax = 15000.0;
constexpr double kSmallIndicatorMax = 4500.0;

// Drum slewing per tick, kg.
constexpr double kTestClimb = 100.0;
constexpr double kTestDescent = 250.0;
constexpr double kFollowClimb = 500.0;
constexpr double kSnapMargin = 100.0;

}  // namespace

IndicatorState indicators[kIndicatorCount];

namespace {
#define FUEL_INDICATOR_VARS(tank, i)                                     \
    var_ref("fuel_" tank "_tank_kg", indicators[i].tank_kg),             \
        var_ref("fuel_" tank "_display_kg", indicators[i].display_kg),   \
        var_ref("fuel_" tank "_test_flag", indicators[i].test_flag),     \
        var_ref("fuel_" tank "_test_phase", indicators[i].test_phase)
const VarRef vars[] = {
    FUEL_INDICATOR_VARS("left_aux", left_aux),   FUEL_INDICATOR_VARS("right_aux", right_aux),
    FUEL_INDICATOR_VARS("center", center),       FUEL_INDICATOR_VARS("left_main", left_main),
    FUEL_INDICATOR_VARS("right_main", right_main),
};
#undef FUEL_INDICATOR_VARS
}  // namespace

VarTableView indicator_vars() { return {vars, std::size(vars)}; }

void reset_indicators() {
    for (auto& i : indicators) i = IndicatorState{};
}

double display_max(Indicator which) {
    return which == left_main || which == right_main ? kSmallIndicatorMax : kBigIndicatorMax;
}

void quantity_tick(Indicator which, double level, double capacity_gal, f64& liters) {
    IndicatorState& g = indicators[which];

    // 1. Content, powered or not.
    const double pounds_per_gallon = read(sim::fuel_lb_per_gal);
    liters = capacity_gal * kLitersPerGallon * (level / kFullLevel) / kPercent;
    g.tank_kg = (pounds_per_gallon / kLitersPerGallon) * kKgPerPound * liters;

    // 2. Drums follow only while the DC bus is powered; unpowered they freeze.
    if (shared.dc_bus_powered != 1) return;
    if (g.test_flag == 1 && g.test_phase == 0) {
        g.display_kg += kTestClimb;
        if (!(g.display_kg < display_max(which))) g.test_phase = 1;
    } else if (g.test_flag == 1) {
        if (g.display_kg > g.tank_kg + kSnapMargin) {
            g.display_kg -= kTestDescent;
        } else {
            g.display_kg = g.tank_kg;
            g.test_flag = 0;
            g.test_phase = 0;
        }
    } else if (g.tank_kg - kSnapMargin > g.display_kg) {
        g.display_kg += kFollowClimb;
    } else {
        g.display_kg = g.tank_kg;
    }
}

namespace {
// 3. The display is held on its scale when drawn (a value that makes no sense shows 0).
double clamped_display(Indicator which) {
    return clamp_back(indicators[which].display_kg, 0.0, display_max(which));
}
}  // namespace

double drum(Indicator which, double weight) { return carry_drum(clamped_display(which), weight); }
double units(Indicator which) { return units_drum(clamped_display(which)); }

}  // namespace tarvenol::fuel
