// tarvenol ext_lt_t418: the exterior light panel. Every tick re-asserts the simulator's lights from
// the switches and the power: the navigation lights on the DC essential bus, the others only with a
// generator (engine or APU) on line — external power alone does not light them.
#include <cstdint>

#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

#define EXT_LT_STATE(X)           \
    X(u8, ext_lt_nav_sw, 0, kFlag)       \
    X(u8, ext_lt_logo_sw, 0, kFlag)      \
    X(u8, ext_lt_beacon_sw, 0, kFlag)    \
    X(u8, ext_lt_strobe_sw, 0, kFlag)    \
    X(u8, ext_lt_wing_sw, 0, kFlag)      \
    X(u8, ext_lt_land_sw, 0, kFlag)      \
    X(u8, ext_lt_taxi_sw, 0, kFlag)
TARVENOL_PRIVATE_STATE(EXT_LT_STATE)

constexpr int kW = 368, kTop = 50;
constexpr int kSwitches = 9;
constexpr Box sw(int i) { return switch_box(column(i, kSwitches, kW), kTop); }

Background background{panel("EXT LT", 130)};
SwitchImages<2> nav_switch{lever("NAV", sw(0)), "nav.off", "nav.on"};
SwitchImages<2> logo_switch{lever("LOGO", sw(1)), "logo.off", "logo.on"};
SwitchImages<2> beacon_switch{lever("BCN", sw(2)), "beacon.off", "beacon.on"};
SwitchImages<2> strobe_switch{lever("STRB", sw(3)), "strobe.off", "strobe.on"};
SwitchImages<2> wing_switch{lever("WING", sw(4)), "wing.off", "wing.on"};
SwitchImages<2> land_lh_switch{lever("LAND L", sw(5)), "land_lh.off", "land_lh.on"};
SwitchImages<2> land_rh_switch{lever("LAND R", sw(6)), "land_rh.off", "land_rh.on"};
SwitchImages<2> nose_switch{lever("NOSE", sw(7)), "nose.off", "nose.on"};
SwitchImages<2> runway_switch{lever("RWY", sw(8)), "runway.off", "runway.on"};

// A light the simulator only toggles: toggled when it disagrees with what the panel asks.
void assert_toggled_light(bool wanted, double simulator_light, KeyEvent toggle) {
    if (wanted ? is_off(simulator_light) : is_on(simulator_light)) send(toggle);
}

void tick() {
    const auto& s = shared;
    nav_switch.show(st.ext_lt_nav_sw);
    logo_switch.show(st.ext_lt_logo_sw);
    beacon_switch.show(st.ext_lt_beacon_sw);
    strobe_switch.show(st.ext_lt_strobe_sw);
    wing_switch.show(st.ext_lt_wing_sw);
    land_lh_switch.show(st.ext_lt_land_sw);
    land_rh_switch.show(st.ext_lt_land_sw);
    nose_switch.show(st.ext_lt_taxi_sw);
    runway_switch.show(st.ext_lt_taxi_sw);

    const double nav = read(sim::nav_lights);
    const double logo = read(sim::logo_light);
    const double beacon = read(sim::beacon_light);
    const double wing = read(sim::wing_lights);
    const double taxi = read(sim::nose_light);

    const bool generator_power = (s.ac_bus_1_powered == 1 || s.ac_bus_2_powered == 1) &&
                                 static_cast<std::int64_t>(s.gen_1_load) + s.gen_2_load + s.apu_gen_avail > 0;

    const bool nav_on = st.ext_lt_nav_sw == 1 && s.batt_bus_powered == 1;
    send(nav_on ? key::panel_lights_on : key::panel_lights_off);
    assert_toggled_light(nav_on, nav, key::nav_lights_toggle);

    // The LOGO switch toggles the logo lights themselves, not the beacon's event.
    assert_toggled_light(st.ext_lt_logo_sw == 1 && generator_power, logo, key::logo_lights_toggle);
    assert_toggled_light(st.ext_lt_beacon_sw == 1 && generator_power, beacon, key::beacon_light_toggle);
    assert_toggled_light(st.ext_lt_wing_sw == 1 && generator_power, wing, key::wing_lights_toggle);
    assert_toggled_light(st.ext_lt_taxi_sw == 1 && generator_power, taxi, key::nose_light_toggle);

    send(st.ext_lt_strobe_sw == 1 && generator_power ? key::strobes_on : key::strobes_off);
    send(st.ext_lt_land_sw == 1 && generator_power ? key::landing_lights_on : key::landing_lights_off);
}

template <auto Member>
constexpr std::array<AreaDef, 2> two_way(const char* on, const char* off) {
    return {switch_area<Member, 1, st>(on, Cursor::up), switch_area<Member, 0, st>(off, Cursor::down)};
}

constexpr auto areas = join_areas(two_way<&State::ext_lt_nav_sw>("nav.on", "nav.off"),
                                  two_way<&State::ext_lt_logo_sw>("logo.on", "logo.off"),
                                  two_way<&State::ext_lt_beacon_sw>("beacon.on", "beacon.off"),
                                  two_way<&State::ext_lt_strobe_sw>("strobe.on", "strobe.off"),
                                  two_way<&State::ext_lt_wing_sw>("wing.on", "wing.off"),
                                  two_way<&State::ext_lt_land_sw>("land_lh.on", "land_lh.off"),
                                  two_way<&State::ext_lt_land_sw>("land_rh.on", "land_rh.off"),
                                  two_way<&State::ext_lt_taxi_sw>("nose.on", "nose.off"),
                                  two_way<&State::ext_lt_taxi_sw>("runway.on", "runway.off"));

}  // namespace

TARVENOL_GAUGE(ext_lt, "tarvenol ext_lt_t418", 184, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, nav_switch, logo_switch, beacon_switch, strobe_switch, wing_switch, land_lh_switch,
               land_rh_switch, nose_switch, runway_switch);
