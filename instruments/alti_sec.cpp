// tarvenol alti_sec_t418: the standby altimeter on the DC essential bus. It works out its own
// altitude from the simulator's true altitude and a barometric setting of its own (wound by its
// knob while held), and shows it on three drums and a pointer that turns once per 1000 ft, with the
// setting in hectopascals and inches of mercury and the OFF, negative and below-10000-ft flags.
#include "instruments/altimeter.h"
#include "module/gauge.h"
#include "module/shared_state.h"
#include "module/units.h"

namespace {

using namespace tarvenol;
using alti::BaroDrums;
using alti::BaroWindow;

constexpr double kStandardHpa = 1013.0;
constexpr double kFeetPerHpa = 29.2;  // altitude change per hectopascal of setting
constexpr double kHundredthsOfInchPerHpa = 2.9531;

// The knob winds the setting by half a hectopascal.
constexpr double kBaroStepHpa = 0.5;

// Roll zones: the last foot of each drum's digit.
constexpr double kTenThousandsRoll = 0.9999;
constexpr double kThousandsRoll = 0.999;

// The below-10000-ft flag shows up to here.
constexpr double kBelowFlagUntil = 10000.0;

#define ALTI_SEC_STATE(X)                  \
    X(f64, stby_baro_hpa, kStandardHpa)    \
    X(f64, stby_altitude_ft, 0.0)          \
    X(f64, stby_displayed_ft, 0.0)         \
    X(f64, stby_pointer, 0.0)
TARVENOL_PRIVATE_STATE(ALTI_SEC_STATE)

BaroDrums inhg_drums;
BaroDrums hpa_drums;

Background background{panel("STBY ALT", 382)};
MovingImage ten_thousands_drum{"stby_10000_drum", nullptr,
                               [] { return rolling_drum(st.stby_displayed_ft, alti::kTenThousands, kTenThousandsRoll); },
                               alti::counter(0, 3)};
MovingImage thousands_drum{"stby_1000_drum", nullptr,
                           [] { return rolling_drum(st.stby_displayed_ft, alti::kThousands, kThousandsRoll); }, alti::counter(1, 3)};
MovingImage hundreds_drum{"stby_100_drum", nullptr,
                          [] { return turning_drum(st.stby_displayed_ft, alti::kHundreds); }, alti::counter(2, 3)};
BaroWindow<hpa_drums> hpa_window{{"hpa_1000_drum", "hpa_100_drum", "hpa_10_drum", "hpa_1_drum"}, alti::kHpaLeft, "HPA"};
BaroWindow<inhg_drums> inhg_window{{"inhg_1000_drum", "inhg_100_drum", "inhg_10_drum", "inhg_1_drum"}, alti::kInHgLeft, "IN HG"};
Image off_flag{"off_flag", flag("OFF", at(112, 188, 36, 18))};
Image negative_flag{"neg_flag", flag("NEG", alti::kNegativeFlag)};
Image below_10000_flag{"below_10000_flag", flag("", alti::counter_drum(0, 3))};  // striped over the 10000 drum
Needle pointer{"stby_pointer", [] { return alti::pointer_value(st.stby_pointer); }, alti::pointer_dial()};

void tick() {
    const bool powered = shared.batt_bus_powered == 1;

    // 1. Its own altitude from the true altitude and its own setting.
    st.stby_altitude_ft = read(sim::altitude_m) * kFeetPerMetre + (st.stby_baro_hpa - kStandardHpa) * kFeetPerHpa;
    const double s = st.stby_altitude_ft;

    // 2. Pointer and drums follow it while powered; 3. the drums in their element callbacks.
    if (powered) {
        st.stby_pointer = alti::pointer(s);
        st.stby_displayed_ft = alti::displayed_altitude(s);
    }

    // 4. Its setting on the barometric drums.
    if (powered) {
        inhg_drums.set(st.stby_baro_hpa * kHundredthsOfInchPerHpa);
        hpa_drums.set(st.stby_baro_hpa);
    }

    // 5. Flags.
    if (powered) {
        off_flag.show(false);
        alti::show_altitude_flags(s, kBelowFlagUntil, negative_flag, below_10000_flag);
    } else {
        off_flag.show(true);
    }
}

void reset() {
    reset_private_state();
    inhg_drums = BaroDrums{};
    hpa_drums = BaroDrums{};
}

void baro_down() {
    if (shared.batt_bus_powered == 1 && st.stby_baro_hpa > alti::kBaroLowestHpa) st.stby_baro_hpa -= kBaroStepHpa;
}
void baro_up() {
    if (shared.batt_bus_powered == 1 && st.stby_baro_hpa < alti::kBaroHighestHpa) st.stby_baro_hpa += kBaroStepHpa;
}

constexpr std::array areas{
    area<&baro_down>("baro_knob.down", Cursor::down, Repeat::while_held),
    area<&baro_up>("baro_knob.up", Cursor::up, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(alti_sec, "tarvenol alti_sec_t418", 191, &tick_callback<&tick>, areas, st_table, &reset, background,
               ten_thousands_drum, thousands_drum, hundreds_drum, hpa_window, inhg_window, off_flag, negative_flag,
               below_10000_flag, pointer);
