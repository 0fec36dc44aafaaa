// tarvenol alti_main_t418: the main altimeter on the AC essential bus — the simulator's indicated
// altitude on four drums and a pointer that turns once per 1000 ft, the simulator's altimeter
// setting in hectopascals and inches of mercury (the knob winds the simulator's own setting while
// held), the OFF, negative and below-10000-ft flags, the altitude alert light, and the instrument
// fault for the master warning.
#include "instruments/altimeter.h"
#include "module/flasher.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using alti::BaroDrums;
using alti::BaroWindow;

constexpr i32 kFailed = 1;

constexpr double kHundredthsPerInch = 100.0;

// Roll zones: the last 10 ft of each drum's digit.
constexpr double kTenThousandsRoll = 0.999;
constexpr double kThousandsRoll = 0.99;
constexpr double kHundredsRoll = 0.9;
constexpr double kTensDrumTop = 9.999;  // past this the tens drum shows 0

// The below-10000-ft flag shows up to here.
constexpr double kBelowFlagUntil = 9998.0;

// Altitude alert states and the flasher: 4 ticks lit, 4 dark.
constexpr u8 kAlertApproaching = 1;
constexpr u8 kAlertLatched = 2;
constexpr u8 kAlertDeviation = 3;
constexpr std::int64_t kAlertOnTicks = 4;
constexpr std::int64_t kAlertPeriodTicks = 8;

#define ALTI_MAIN_STATE(X)             \
    X(f64, alti_displayed_ft, 0.0)     \
    X(f64, alti_pointer, 0.0)          \
    X(u8, alti_alert_started, 0)       \
    X(u8, alti_alert_lit, 0)           \
    X(i32, alti_alert_phase_start, 0)
TARVENOL_PRIVATE_STATE(ALTI_MAIN_STATE)

BaroDrums inhg_drums;
BaroDrums hpa_drums;

double tens_drum() {
    const double p = turning_drum(st.alti_displayed_ft, alti::kTens);
    return p > kTensDrumTop ? 0.0 : p;
}

Background background{panel("ALT", 382)};
MovingImage ten_thousands_drum{"alti_10000_drum", nullptr,
                               [] { return rolling_drum(st.alti_displayed_ft, alti::kTenThousands, kTenThousandsRoll); },
                               alti::counter(0, 4)};
MovingImage thousands_drum{"alti_1000_drum", nullptr,
                           [] { return rolling_drum(st.alti_displayed_ft, alti::kThousands, kThousandsRoll); }, alti::counter(1, 4)};
MovingImage hundreds_drum{"alti_100_drum", nullptr,
                          [] { return rolling_drum(st.alti_displayed_ft, alti::kHundreds, kHundredsRoll); }, alti::counter(2, 4)};
MovingImage tens_wheel{"alti_10_drum", nullptr, &tens_drum, alti::counter(3, 4)};
BaroWindow<hpa_drums> hpa_window{{"hpa_1000_drum", "hpa_100_drum", "hpa_10_drum", "hpa_1_drum"}, alti::kHpaLeft, "HPA"};
BaroWindow<inhg_drums> inhg_window{{"inhg_1000_drum", "inhg_100_drum", "inhg_10_drum", "inhg_1_drum"}, alti::kInHgLeft, "IN HG"};
Image off_flag_1{"off_flag_1", flag("OFF", at(112, 188, 36, 18))};
Image off_flag_2{"off_flag_2", flag("OFF", at(234, 188, 36, 18))};
Image negative_flag{"neg_flag", flag("NEG", alti::kNegativeFlag)};
Image below_10000_flag{"below_10000_flag", flag("", alti::counter_drum(0, 4))};  // striped over the 10000 drum
Needle pointer{"alti_pointer", [] { return alti::pointer_value(st.alti_pointer); }, alti::pointer_dial()};
Image alert_light{"alt_alert_light", light(Tone::caution, "ALT", at(304, 10, 54, 22))};

void tick() {
    auto& s = shared;
    const bool ac_ess = s.ac_ess_bus_powered == 1;

    // 1. Indicated altitude; pointer and drums follow it while powered.
    const double a = read(sim::altitude_ft);
    if (ac_ess) {
        st.alti_pointer = alti::pointer(a);
        st.alti_displayed_ft = alti::displayed_altitude(a);
    }

    // 2. The altitude drums follow the displayed altitude in their element callbacks.

    // 3. The simulator's altimeter setting on the barometric drums.
    if (ac_ess) {
        inhg_drums.set(read(sim::baro_inhg) * kHundredthsPerInch);
        hpa_drums.set(read(sim::baro_hpa));
    }

    // 4. Flags.
    const i32 failed = read(sim::fail_altimeter);
    if (ac_ess && failed != kFailed) {
        off_flag_1.show(false);
        off_flag_2.show(false);
        alti::show_altitude_flags(a, kBelowFlagUntil, negative_flag, below_10000_flag);
    } else {
        off_flag_1.show(true);
        off_flag_2.show(true);
    }

    // 5. Instrument fault for the master warning.
    s.mw_alti_fault = failed == kFailed ? 1 : 0;

    // 6. Altitude alert light on the DC essential bus.
    if (s.batt_bus_powered == 1 && failed != kFailed) {
        Flasher alert(st.alti_alert_started, st.alti_alert_lit, st.alti_alert_phase_start, kAlertOnTicks,
                      kAlertPeriodTicks);
        if (s.alt_alert_state == kAlertDeviation) {
            alert_light.show(alert.run(flash_counter()));
        } else if (s.alt_alert_state == kAlertApproaching || s.alt_alert_state == kAlertLatched) {
            alert.reset();
            alert_light.show(true);
        } else {
            alert.reset();
            alert_light.show(s.ann_lt_test == 1);
        }
    }
}

void reset() {
    reset_private_state();
    inhg_drums = BaroDrums{};
    hpa_drums = BaroDrums{};
}

// The knob winds the simulator's setting while held, within its limits and only with power.
void baro_down() {
    if (shared.ac_ess_bus_powered == 1 && read(sim::baro_hpa) > alti::kBaroLowestHpa) send(key::baro_down);
}
void baro_up() {
    if (shared.ac_ess_bus_powered == 1 && read(sim::baro_hpa) < alti::kBaroHighestHpa) send(key::baro_up);
}

constexpr std::array areas{
    area<&baro_down>("baro_knob.down", Cursor::down, Repeat::while_held),
    area<&baro_up>("baro_knob.up", Cursor::up, Repeat::while_held),
};

}  // namespace

TARVENOL_GAUGE(alti_main, "tarvenol alti_main_t418", 191, &tick_callback<&tick>, areas, st_table, &reset, background,
               ten_thousands_drum, thousands_drum, hundreds_drum, tens_wheel, hpa_window, inhg_window, off_flag_1,
               off_flag_2, negative_flag, below_10000_flag, pointer, alert_light);
