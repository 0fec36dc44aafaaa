// The five tank quantity indicators: each computes its tank's content in liters and kilograms every
// tick and slews its drums toward it, and runs the quantity test when the test button is pressed.
#pragma once

#include "fuel/fuel_drums.h"
#include "module/gauge.h"

namespace tarvenol::fuel {

// The tanks in the order of their indicators.
enum Indicator : int { left_aux, right_aux, center, left_main, right_main, kIndicatorCount };

// What each indicator keeps between ticks.
struct IndicatorState {
    f64 tank_kg = 0.0;     // the tank's content
    f64 display_kg = 0.0;  // what the drums show
    u8 test_flag = 0;      // a test run is pending or in progress
    u8 test_phase = 0;     // 0 climbing, 1 descending
};

extern IndicatorState indicators[kIndicatorCount];
// Their variables by name, for the host: fuel_<tank>_tank_kg, _display_kg, _test_flag, _test_phase.
VarTableView indicator_vars();
void reset_indicators();

// One indicator's tick: content in liters and kg, published liters, drum slewing.
void quantity_tick(Indicator which, double level, double capacity_gal, f64& liters);

// The drum positions of an indicator, computed when the drums are drawn.
double drum(Indicator which, double weight);
double units(Indicator which);

// Test climb target and display maximum of an indicator, kg.
double display_max(Indicator which);

}  // namespace tarvenol::fuel

// A quantity indicator unit: its header, its drums (five, or four on the 4500 kg gauges) and a tick
// that reads its tank's level and capacity variables.
#define TARVENOL_FUEL_QUANTITY_GAUGE(ident, name, title, width, which, level_var, capacity_var, liters, ...)           \
    namespace {                                                                                              \
    void ident##_tick() {                                                                                    \
        ::tarvenol::fuel::quantity_tick(which, ::tarvenol::read(::tarvenol::sim::level_var),                           \
                                        ::tarvenol::read(::tarvenol::sim::capacity_var), ::tarvenol::shared.liters);   \
    }                                                                                                        \
    ::tarvenol::Background ident##_background{::tarvenol::panel(title, ::tarvenol::fuel::kCounterH).in("KG")};                                                               \
    ::tarvenol::MovingImage ident##_drum_10000{"drum_10000", nullptr,                                        \
                                               [] { return ::tarvenol::fuel::drum(which, 10000.0); },   \
        ::tarvenol::drum(::tarvenol::fuel::counter_drum(4, width * ::tarvenol::kPixelsPerMm))};       \
    ::tarvenol::MovingImage ident##_drum_1000{"drum_1000", nullptr,                                          \
                                              [] { return ::tarvenol::fuel::drum(which, 1000.0); },   \
        ::tarvenol::drum(::tarvenol::fuel::counter_drum(3, width * ::tarvenol::kPixelsPerMm))};         \
    ::tarvenol::MovingImage ident##_drum_100{"drum_100", nullptr,                                            \
                                             [] { return ::tarvenol::fuel::drum(which, 100.0); },   \
        ::tarvenol::drum(::tarvenol::fuel::counter_drum(2, width * ::tarvenol::kPixelsPerMm))};           \
    ::tarvenol::MovingImage ident##_drum_10{"drum_10", nullptr,                                              \
                                            [] { return ::tarvenol::fuel::drum(which, 10.0); },   \
        ::tarvenol::drum(::tarvenol::fuel::counter_drum(1, width * ::tarvenol::kPixelsPerMm))};             \
    ::tarvenol::MovingImage ident##_drum_1{"drum_1", nullptr, [] { return ::tarvenol::fuel::units(which); }, \
        ::tarvenol::drum(::tarvenol::fuel::counter_drum(0, width * ::tarvenol::kPixelsPerMm))}; \
    }                                                                                                        \
    TARVENOL_GAUGE(ident, name, width, &::tarvenol::tick_callback<&ident##_tick>, ::tarvenol::no_areas,     \
                   ::tarvenol::no_vars, nullptr, ident##_background, __VA_ARGS__)
