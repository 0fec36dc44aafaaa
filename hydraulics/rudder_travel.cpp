// tarvenol rudder_travel_t418: the two rudder travel limiter systems, each with its ON / OFF-RESET
// switch and its RUDDER TRAVEL lamp. Pressing a lamp enters a fault; cycling the switch OFF/RESET
// then ON clears it. Publishes whether a limiter is active for the yaw dampers.
#include "hydraulics/hydraulics.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u8 kSwitchOff = 0;  // OFF/RESET
constexpr u8 kSwitchOn = 1;
constexpr u8 kNoFault = 0;
constexpr u8 kFault = 1;
constexpr u8 kFaultResetting = 2;

#define RUDDER_TRAVEL_STATE(X)              \
    X(u8, rudder_travel_1_sw, kSwitchOn, within(kSwitchOff, kSwitchOn))    \
    X(u8, rudder_travel_2_sw, kSwitchOn, within(kSwitchOff, kSwitchOn))    \
    X(u8, rudder_travel_1_fault, kNoFault, within(kNoFault, kFaultResetting))  \
    X(u8, rudder_travel_2_fault, kNoFault, within(kNoFault, kFaultResetting))
TARVENOL_PRIVATE_STATE(RUDDER_TRAVEL_STATE)

struct System {
    u8 State::*sw;
    u8 State::*fault;
};
constexpr System kSystem1{&State::rudder_travel_1_sw, &State::rudder_travel_1_fault};
constexpr System kSystem2{&State::rudder_travel_2_sw, &State::rudder_travel_2_fault};

template <const System& S>
void switch_on() {
    set_switch(st.*S.sw, kSwitchOn);
    if (st.*S.fault == kFaultResetting) st.*S.fault = kNoFault;
}
template <const System& S>
void switch_off_reset() {
    set_switch(st.*S.sw, kSwitchOff);
    if (st.*S.fault == kFault) st.*S.fault = kFaultResetting;
}
template <const System& S>
void press_lamp() {
    set_switch(st.*S.fault, kFault);
}

Background background{panel("RUDDER TRAVEL")};
SwitchImages<2> switch_1{lever("SYST 1", {}, "OFF/RESET|ON"), "rudder_travel_1_sw.off", "rudder_travel_1_sw.on"};
SwitchImages<2> switch_2{lever("SYST 2", {}, "OFF/RESET|ON"), "rudder_travel_2_sw.off", "rudder_travel_2_sw.on"};
Image lamp_1{"rudder_travel_1_lamp", button(Tone::caution, "RUDDER TRAVEL")};
Image lamp_2{"rudder_travel_2_lamp", button(Tone::caution, "RUDDER TRAVEL")};

// A system's lamp: lit with the DC bus while the system is off or faulty.
void lamp(const System& s, Image& image) {
    const bool lit = (st.*s.sw == kSwitchOff || st.*s.fault != kNoFault) && shared.dc_bus_powered == 1;
    image.show(lit);
    if (lit) shared.mw_rudder_travel_fault = 1;
}

void tick() {
    auto& s = shared;
    switch_1.show(st.rudder_travel_1_sw);
    switch_2.show(st.rudder_travel_2_sw);
    lamp(kSystem1, lamp_1);
    lamp(kSystem2, lamp_2);
    const bool both_on = st.rudder_travel_1_sw == kSwitchOn && st.rudder_travel_2_sw == kSwitchOn;
    if (both_on && st.rudder_travel_1_fault == kNoFault && st.rudder_travel_2_fault == kNoFault)
        s.mw_rudder_travel_fault = 0;
    if (st.rudder_travel_1_sw == kSwitchOff && st.rudder_travel_2_sw == kSwitchOff) send(key::sim_command_10099);
    const bool one_on = st.rudder_travel_1_sw == kSwitchOn || st.rudder_travel_2_sw == kSwitchOn;
    s.rudder_travel_active = one_on && s.batt_bus_powered == 1 && hyd::any_system_pressurised();
}

constexpr std::array areas{
    area<&switch_on<kSystem1>>("rudder_travel_1.on", Cursor::up),
    area<&switch_off_reset<kSystem1>>("rudder_travel_1.off", Cursor::down),
    area<&press_lamp<kSystem1>>("rudder_travel_1.lamp", Cursor::hand),
    area<&switch_on<kSystem2>>("rudder_travel_2.on", Cursor::up),
    area<&switch_off_reset<kSystem2>>("rudder_travel_2.off", Cursor::down),
    area<&press_lamp<kSystem2>>("rudder_travel_2.lamp", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(rudder_travel, "tarvenol rudder_travel_t418", 189, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, switch_1, switch_2, lamp_1, lamp_2);
