// tarvenol lo_spd_ail_t418: the low-speed aileron connection indicators (LH on the AC essential bus,
// RH on AC bus 2), the LO SPD AIL lamp and the computer test switch (SPD HI / NORM / SPD LO).
// Publishes whether the low-speed ailerons are connected, and the take-off configuration warning
// while the test switch is off NORM.
#include "hydraulics/hydraulics.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Test switch positions.
constexpr u8 kNorm = 0;
constexpr u8 kSpeedHigh = 1;
constexpr u8 kSpeedLow = 2;

// The low-speed ailerons connect with the flaps out (or on the ground).
constexpr double kFlapsOut = 1.0;

#define LO_SPD_AIL_STATE(X) X(u8, lo_spd_ail_test_sw, kNorm)
TARVENOL_PRIVATE_STATE(LO_SPD_AIL_STATE)

Background background{panel("LO SPD AIL")};
SwitchImages<3> test_switch{lever("COMPUTER TEST", {}, "SPD LO|NORM|SPD HI"), "lo_spd_ail_test_sw.spd_lo",
                            "lo_spd_ail_test_sw.norm", "lo_spd_ail_test_sw.spd_hi"};
// Each side's indicator: connected (in line) or disconnected (across), dark without its bus.
FlowBar lh_indicator{"lh_connection.connected", "lh_connection.disconnected"};
FlowBar rh_indicator{"rh_connection.connected", "rh_connection.disconnected"};
Image lamp{"lo_spd_ail_lamp", light(Tone::caution, "LO SPD AIL")};

// The switch picture runs SPD LO (down), NORM, SPD HI (up).
int picture_of(u8 position) {
    switch (position) {
        case kSpeedLow: return 0;
        case kNorm: return 1;
        case kSpeedHigh: return 2;
        default: return -1;
    }
}

void tick() {
    auto& s = shared;
    test_switch.show(picture_of(st.lo_spd_ail_test_sw));
    const bool flaps_or_ground = read(sim::flap_handle) >= kFlapsOut || is_on(read(sim::on_ground));
    s.lo_spd_ail_connected = flaps_or_ground && hyd::any_system_pressurised();
    const bool shown_connected = s.lo_spd_ail_connected == 1 && st.lo_spd_ail_test_sw != kSpeedLow;
    lh_indicator.show(s.ac_ess_bus_normal == 1, shown_connected);
    rh_indicator.show(s.ac_bus_2_powered == 1, shown_connected);
    const bool testing = st.lo_spd_ail_test_sw != kNorm && s.batt_bus_powered == 1;
    lamp.show(testing);
    s.mw_lo_spd_ail_config = testing;
}

constexpr std::array areas{
    switch_area<&State::lo_spd_ail_test_sw, kSpeedHigh, st>("lo_spd_ail_test.spd_hi", Cursor::up),
    switch_area<&State::lo_spd_ail_test_sw, kNorm, st>("lo_spd_ail_test.norm", Cursor::hand),
    switch_area<&State::lo_spd_ail_test_sw, kSpeedLow, st>("lo_spd_ail_test.spd_lo", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(lo_spd_ail, "tarvenol lo_spd_ail_t418", 172, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, test_switch, lh_indicator, rh_indicator, lamp);
