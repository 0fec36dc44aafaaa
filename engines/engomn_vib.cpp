// tarvenol engomn_vib_t418: the engine vibration meter, one needle per engine, from the fan or the
// turbine pick-up as selected, on AC bus 1. The test runs both needles up until one reaches 28.
#include "engines/eng_instruments.h"

namespace {

using namespace tarvenol;
using eng::vib_switches;

constexpr double kFanFactor = 4.0;
constexpr double kTurbineFactor = 6.0;
constexpr double kStep = 0.2;
constexpr double kBand = 0.4;
constexpr double kTestTop = 28.0;  // a needle here ends the test
constexpr double kScaleTop = 30.0;

#define VIB_STATE(X)                 \
    X(f64, vib_1_needle, 0.0)        \
    X(f64, vib_2_needle, 0.0)        \
    X(f64, vib_1_target, 0.0)        \
    X(f64, vib_2_target, 0.0)
TARVENOL_PRIVATE_STATE(VIB_STATE)

Background background{panel("VIB")};
Needle needle_1{"vib_1_needle", [] { return clamp_back(st.vib_1_needle, 0.0, kScaleTop); },
                dial("VIB", 0.0, kScaleTop, eng::dial_box(61, 110))};
Needle needle_2{"vib_2_needle", [] { return clamp_back(st.vib_2_needle, 0.0, kScaleTop); },
                dial("VIB", 0.0, kScaleTop, eng::dial_box(61, 110))};

// Without the test: powered, the needle moves a step toward its target while more than the band
// away and then takes it; unpowered, a needle well above its target runs down, any other drops.
void follow(f64& needle, f64& target, double vibration, bool powered) {
    target = vibration * (vib_switches.pickup == eng::kPickupTurbine ? kTurbineFactor : kFanFactor);
    if (powered) {
        if (target - needle > kBand)
            needle += kStep;
        else if (needle - target > kBand)
            needle -= kStep;
        else
            needle = target;
    } else if (needle > target + kBand) {
        eng::run_down(needle, kStep);
    } else {
        needle = 0.0;
    }
}

void tick() {
    const bool powered = shared.ac_bus_1_powered == 1;
    if (vib_switches.test == 0) {
        follow(st.vib_1_needle, st.vib_1_target, read(sim::eng1_vibration), powered);
        follow(st.vib_2_needle, st.vib_2_target, read(sim::eng2_vibration), powered);
        return;
    }
    if (!powered) {
        eng::run_down(st.vib_1_needle, kStep);
        eng::run_down(st.vib_2_needle, kStep);
        vib_switches.test = 0;
        return;
    }
    for (f64* needle : {&st.vib_1_needle, &st.vib_2_needle})
        if (*needle < kTestTop) *needle += kStep;
    if (st.vib_1_needle >= kTestTop || st.vib_2_needle >= kTestTop) vib_switches.test = 0;
}

}  // namespace

TARVENOL_GAUGE(engomn_vib, "tarvenol engomn_vib_t418", 61, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, needle_1, needle_2);
