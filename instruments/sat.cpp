// tarvenol sat_t418: the static air temperature counter: its magnitude on a tens drum and a
// turning units drum, with a plus or a minus sign (each sign has its own drum set). The reading
// comes from the AC essential bus and freezes without it; the OFF flag hangs on the DC essential bus.
#include <cmath>

#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kTensRollZone = 0.9;

#define SAT_STATE(X) X(f64, sat_value, 0.0)
TARVENOL_PRIVATE_STATE(SAT_STATE)

double tens() { return rolling_drum(std::fabs(st.sat_value), 10.0, kTensRollZone); }
double units() { return turning_drum(std::fabs(st.sat_value), 1.0); }

// The sign and two drums in one window; the plus and minus sets share it, one shown at a time.
constexpr int kDrumW = 22, kDrumH = 34, kDrumLeft = 26, kDrumTop = 24;
constexpr Box drum_window(int i) { return at(kDrumLeft + i * kDrumW, kDrumTop, kDrumW, kDrumH); }
Background background{panel("SAT", 74).in("DEG C")};
MovingImage plus_tens{"plus_10_drum", nullptr, &tens, drum(kReversedDigits, drum_window(1))};
MovingImage plus_units{"plus_1_drum", nullptr, &units, drum(kReversedDigits, drum_window(2))};
MovingImage minus_tens{"minus_10_drum", nullptr, &tens, drum(kReversedDigits, drum_window(1))};
MovingImage minus_units{"minus_1_drum", nullptr, &units, drum(kReversedDigits, drum_window(2))};
Image plus_sign{"plus_sign", flag("+", drum_window(0))};
Image minus_sign{"minus_sign", flag("-", drum_window(0))};
Image off_flag{"off_flag", flag("OFF", at(kDrumLeft, kDrumTop + 6, 3 * kDrumW, kDrumH - 12))};

void tick() {
    if (shared.ac_ess_bus_powered == 1) st.sat_value = read(sim::air_temp_c);

    // A reading that is no number counts as zero (its drums stand on 0) and shows the plus set.
    const bool below_zero = st.sat_value < 0.0;
    plus_tens.show(!below_zero);
    plus_units.show(!below_zero);
    plus_sign.show(!below_zero);
    minus_tens.show(below_zero);
    minus_units.show(below_zero);
    minus_sign.show(below_zero);

    off_flag.show(shared.batt_bus_powered == 0);
}

}  // namespace

TARVENOL_GAUGE(sat, "tarvenol sat_t418", 59, &tick_callback<&tick>, no_areas, st_table, &reset_private_state,
               background, plus_tens, plus_units, minus_tens, minus_units, plus_sign, minus_sign, off_flag);
