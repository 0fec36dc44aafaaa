// tarvenol tas_t418: the true airspeed counter on the AC essential bus. True airspeed from the Mach
// number and the total air temperature; it never reads below 120 kt and freezes with an OFF flag
// when the bus is lost.
#include <cmath>

#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kMachPerUnit = 3.2 / 65536.0;
constexpr double kTatScale = 256.0;
constexpr double kZeroCelsiusKelvin = 273.15;
constexpr double kKnotsPerMachRootKelvin = 39.0;  // speed of sound, knots per square root of kelvin
constexpr double kRamRiseFactor = 0.2;            // (gamma - 1) / 2
constexpr double kMinimumTas = 120.0;

constexpr double kHundredsRollZone = 0.99;
constexpr double kTensRollZone = 0.9;

#define TAS_STATE(X) X(f64, tas_display, 0.0)
TARVENOL_PRIVATE_STATE(TAS_STATE)

// Three drums in a window under the title, the OFF flag across the window.
constexpr int kDrumW = 22, kDrumH = 34, kDrumLeft = 20, kDrumTop = 24;
constexpr Box drum_window(int i) { return at(kDrumLeft + i * kDrumW, kDrumTop, kDrumW, kDrumH); }
Background background{panel("TAS", 74).in("KT")};
MovingImage drum_100{"tas_100_drum", nullptr, [] { return rolling_drum(st.tas_display, 100.0, kHundredsRollZone); },
                     drum(kReversedDigits, drum_window(0))};
MovingImage drum_10{"tas_10_drum", nullptr, [] { return rolling_drum(st.tas_display, 10.0, kTensRollZone); },
                    drum(kReversedDigits, drum_window(1))};
MovingImage drum_1{"tas_1_drum", nullptr, [] { return turning_drum(st.tas_display, 1.0); }, drum(kReversedDigits, drum_window(2))};
Image off_flag{"off_flag", flag("OFF", at(kDrumLeft, kDrumTop + 6, 3 * kDrumW, kDrumH - 12))};

void tick() {
    const bool powered = shared.ac_ess_bus_powered == 1;
    if (powered) {
        const double mach = read(sim::mach_x20480) * kMachPerUnit;
        const double tat_kelvin = read(sim::air_temp_c_256) * kTatScale + kZeroCelsiusKelvin;
        const double tas = kKnotsPerMachRootKelvin * mach * std::sqrt(tat_kelvin / (1.0 + kRamRiseFactor * mach * mach));
        st.tas_display = tas > kMinimumTas ? tas : kMinimumTas;
    }
    off_flag.show(!powered);
}

}  // namespace

TARVENOL_GAUGE(tas, "tarvenol tas_t418", 53, &tick_callback<&tick>, no_areas, st_table, &reset_private_state,
               background, drum_100, drum_10, drum_1, off_flag);
