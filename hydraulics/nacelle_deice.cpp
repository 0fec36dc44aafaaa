// tarvenol nacelle_deice_t418: engine nacelle anti-ice, a switch per engine with its VALVE DISAGREE
// lamp. A valve takes 1.5 s to open (the lamp is lit meanwhile) and closes at once; the simulator's
// engine anti-ice is toggled whenever it disagrees with the valve.
#include "module/controls.h"
#include "module/gauge.h"
#include "module/host_services.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u8 kOff = 0;
constexpr u8 kOn = 1;
constexpr u8 kValveClosed = 0;
constexpr u8 kValveOpen = 1;
constexpr u8 kValveInTransit = 2;
constexpr i32 kValveTravelTicks = 27;

#define NACELLE_STATE(X)                      \
    X(u8, nacelle_1_sw, kOff, within(kOff, kOn))                 \
    X(u8, nacelle_2_sw, kOff, within(kOff, kOn))                 \
    X(u8, nacelle_1_valve, kValveClosed, within(kValveClosed, kValveInTransit))      \
    X(u8, nacelle_2_valve, kValveClosed, within(kValveClosed, kValveInTransit))      \
    X(i32, nacelle_1_valve_deadline, 0)       \
    X(i32, nacelle_2_valve_deadline, 0)
TARVENOL_PRIVATE_STATE(NACELLE_STATE)

Background background{panel("ENG ANTI-ICE")};
SwitchImages<2> switch_1{lever("ENG 1", {}, "OFF|ON"), "nacelle_1_sw.off", "nacelle_1_sw.on"};
SwitchImages<2> switch_2{lever("ENG 2", {}, "OFF|ON"), "nacelle_2_sw.off", "nacelle_2_sw.on"};
Image disagree_1{"nacelle_1_disagree_lamp", light(Tone::caution, "VALVE DISAGREE")};
Image disagree_2{"nacelle_2_disagree_lamp", light(Tone::caution, "VALVE DISAGREE")};

// One engine's valve, kept in step with the simulator's anti-ice of that engine.
void nacelle(u8 sw, u8& valve, i32& deadline, double sim_anti_ice, KeyEvent toggle, Image& disagree) {
    const bool dc = shared.dc_bus_powered == 1;
    if (sw == kOn && valve == kValveClosed && dc) {
        deadline = deadline_in(kValveTravelTicks);
        valve = kValveInTransit;
    }
    if (sw == kOn && valve == kValveInTransit && is_due(deadline) && dc) valve = kValveOpen;
    if (sw == kOff || !dc) valve = kValveClosed;
    if ((valve == kValveOpen && is_off(sim_anti_ice)) || (valve != kValveOpen && is_on(sim_anti_ice))) send(toggle);
    disagree.show(valve == kValveInTransit && dc);
}

void tick() {
    switch_1.show(st.nacelle_1_sw);
    switch_2.show(st.nacelle_2_sw);
    nacelle(st.nacelle_1_sw, st.nacelle_1_valve, st.nacelle_1_valve_deadline, read(sim::eng1_anti_ice),
            key::eng1_anti_ice_toggle, disagree_1);
    nacelle(st.nacelle_2_sw, st.nacelle_2_valve, st.nacelle_2_valve_deadline, read(sim::eng2_anti_ice),
            key::eng2_anti_ice_toggle, disagree_2);
}

constexpr std::array areas{
    switch_area<&State::nacelle_1_sw, kOn, st>("nacelle_1.on", Cursor::up),
    switch_area<&State::nacelle_1_sw, kOff, st>("nacelle_1.off", Cursor::down),
    switch_area<&State::nacelle_2_sw, kOn, st>("nacelle_2.on", Cursor::up),
    switch_area<&State::nacelle_2_sw, kOff, st>("nacelle_2.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(nacelle_deice, "tarvenol nacelle_deice_t418", 184, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, switch_1, switch_2, disagree_1, disagree_2);
