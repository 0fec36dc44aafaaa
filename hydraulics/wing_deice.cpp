// tarvenol wing_deice_t418: left and right wing anti-ice, each on its three-position switch (ON,
// OFF/RESET, GRND CHECK) with its supply indicator. In flight ON heats the wing; on the ground only
// GRND CHECK does. The left system drives the simulator's structural de-ice; either side publishes
// wing anti-ice for the thrust rating and the APU.
#include "module/controls.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u8 kOffReset = 0;
constexpr u8 kOn = 1;
constexpr u8 kGroundCheck = 2;

#define WING_DEICE_STATE(X)         \
    X(u8, wing_lh_sw, kOffReset, within(kOffReset, kGroundCheck))    \
    X(u8, wing_rh_sw, kOffReset, within(kOffReset, kGroundCheck))
TARVENOL_PRIVATE_STATE(WING_DEICE_STATE)

Background background{panel("WING ANTI-ICE")};
SwitchImages<3> lh_switch{lever("LH", {}, "GRND CHECK|OFF/RESET|ON"), "wing_lh_sw.grnd_check", "wing_lh_sw.off",
                          "wing_lh_sw.on"};
SwitchImages<3> rh_switch{lever("RH", {}, "GRND CHECK|OFF/RESET|ON"), "wing_rh_sw.grnd_check", "wing_rh_sw.off",
                          "wing_rh_sw.on"};
// Each side's supply: flowing (in line) or not (across), dark without the DC bus.
FlowBar lh_supply{"lh_supply.flow", "lh_supply.no_flow"};
FlowBar rh_supply{"rh_supply.flow", "rh_supply.no_flow"};

// The switch picture runs GRND CHECK (down), OFF/RESET, ON (up).
int picture_of(u8 position) {
    switch (position) {
        case kGroundCheck: return 0;
        case kOffReset: return 1;
        case kOn: return 2;
        default: return -1;
    }
}

// A wing system heats when ON in flight or at GRND CHECK on the ground.
bool active(u8 position, double on_ground) {
    return (position == kOn && is_off(on_ground)) || (position == kGroundCheck && is_on(on_ground));
}

void tick() {
    auto& s = shared;
    lh_switch.show(picture_of(st.wing_lh_sw));
    rh_switch.show(picture_of(st.wing_rh_sw));
    const double on_ground = read(sim::on_ground);
    const double sim_deice = read(sim::structural_deice);
    const bool dc = s.dc_bus_powered == 1;

    const bool lh = active(st.wing_lh_sw, on_ground) && dc;
    if (lh) {
        if (is_off(sim_deice)) send(key::structural_deice_toggle);
        s.wing_anti_ice_on = 1;
    } else if (is_on(sim_deice)) {
        send(key::structural_deice_toggle);
    }
    lh_supply.show(dc, lh);

    const bool rh = active(st.wing_rh_sw, on_ground) && dc;
    if (rh) s.wing_anti_ice_on = 1;
    rh_supply.show(dc, rh);

    if (!dc || is_on(on_ground)) s.wing_anti_ice_on = 0;
}

constexpr std::array areas{
    switch_area<&State::wing_lh_sw, kOn, st>("wing_lh.on", Cursor::up),
    switch_area<&State::wing_lh_sw, kOffReset, st>("wing_lh.off", Cursor::hand),
    switch_area<&State::wing_lh_sw, kGroundCheck, st>("wing_lh.grnd_check", Cursor::down),
    switch_area<&State::wing_rh_sw, kOn, st>("wing_rh.on", Cursor::up),
    switch_area<&State::wing_rh_sw, kOffReset, st>("wing_rh.off", Cursor::hand),
    switch_area<&State::wing_rh_sw, kGroundCheck, st>("wing_rh.grnd_check", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(wing_deice, "tarvenol wing_deice_t418", 188, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, lh_switch, rh_switch, lh_supply, rh_supply);
