// tarvenol hydrau_pumps_t418: the four engine-driven pump switches and the two green electric pump
// switches. Its tick spools the engine pumps up and down.
#include "hydraulics/hydraulics.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::hyd;

// One tick of spool-up or spool-down. A counter that is no multiple of 5 (a preset can leave one)
// stops at 0 rather than wrapping round to a running pump.
void spool(u8& counter) {
    if (counter >= kPumpSwitchedOn) {
        counter = counter < kPumpFull ? static_cast<u8>(counter + kPumpSpoolStep) : kPumpFull;
    } else {
        counter = counter > kPumpSpoolStep ? static_cast<u8>(counter - kPumpSpoolStep) : kPumpStopped;
    }
}

// Switching a pump on or off plays the click and starts its spool; a click that leaves the switch
// where it is changes nothing.
void pump_on(u8& counter) {
    if (counter < kPumpSwitchedOn) {
        snd::play_once(snd::CLICK);
        counter = kPumpSwitchedOn;
    }
}
void pump_off(u8& counter) {
    if (counter > kPumpSwitchedOff) {
        snd::play_once(snd::CLICK);
        counter = kPumpSwitchedOff;
    }
}

// Six switches in a row, the engine pumps by system then the two green electric pumps; each engine
// pump switch has its lamp above it.
constexpr int kW = 574, kH = 156, kLampTop = 24, kSwitchTop = 86;
constexpr int col(int i) { return column(i, 6, kW); }
constexpr Look pump_switch(const char* legend, int i) { return lever(legend, switch_box(col(i), kSwitchTop), "OFF|ON"); }
constexpr Look pump_lamp(int i) { return light(Tone::memo, "PUMP", lamp_box(col(i), kLampTop)); }
Background background{panel("HYD PUMPS", kH)};
SwitchImages<2> blue_eng1_images{pump_switch("BLUE ENG 1", 0), "hyd_pump_blue_eng1.off", "hyd_pump_blue_eng1.on"};
SwitchImages<2> green_eng1_images{pump_switch("GREEN ENG 1", 1), "hyd_pump_green_eng1.off", "hyd_pump_green_eng1.on"};
SwitchImages<2> green_eng2_images{pump_switch("GREEN ENG 2", 2), "hyd_pump_green_eng2.off", "hyd_pump_green_eng2.on"};
SwitchImages<2> yellow_eng2_images{pump_switch("YELLOW ENG 2", 3), "hyd_pump_yellow_eng2.off",
                                   "hyd_pump_yellow_eng2.on"};
SwitchImages<2> elec_1_images{pump_switch("ELEC PUMP 1", 4), "hyd_elec_pump_1_sw.off", "hyd_elec_pump_1_sw.on"};
SwitchImages<2> elec_2_images{pump_switch("ELEC PUMP 2", 5), "hyd_elec_pump_2_sw.off", "hyd_elec_pump_2_sw.on"};
Image lamp_blue_eng1{"blue_eng1_lamp", pump_lamp(0)};
Image lamp_green_eng1{"green_eng1_lamp", pump_lamp(1)};
Image lamp_green_eng2{"green_eng2_lamp", pump_lamp(2)};
Image lamp_yellow_eng2{"yellow_eng2_lamp", pump_lamp(3)};

void tick() {
    auto& s = shared;
    spool(s.hyd_pump_blue_eng1);
    spool(s.hyd_pump_green_eng1);
    spool(s.hyd_pump_green_eng2);
    spool(s.hyd_pump_yellow_eng2);

    blue_eng1_images.show(pump_switch_on(s.hyd_pump_blue_eng1));
    green_eng1_images.show(pump_switch_on(s.hyd_pump_green_eng1));
    green_eng2_images.show(pump_switch_on(s.hyd_pump_green_eng2));
    yellow_eng2_images.show(pump_switch_on(s.hyd_pump_yellow_eng2));
    elec_1_images.show(s.hyd_elec_pump_1_sw);
    elec_2_images.show(s.hyd_elec_pump_2_sw);

    // The unlit lamp faces are lit from the AC essential bus.
    const bool lit = s.ac_ess_bus_normal == 1;
    for (Image* lamp : {&lamp_blue_eng1, &lamp_green_eng1, &lamp_green_eng2, &lamp_yellow_eng2}) lamp->show(lit);
}

constexpr std::array areas{
    area<[] { pump_on(shared.hyd_pump_blue_eng1); }>("blue_eng1.on", Cursor::up),
    area<[] { pump_off(shared.hyd_pump_blue_eng1); }>("blue_eng1.off", Cursor::down),
    area<[] { pump_on(shared.hyd_pump_green_eng1); }>("green_eng1.on", Cursor::up),
    area<[] { pump_off(shared.hyd_pump_green_eng1); }>("green_eng1.off", Cursor::down),
    area<[] { pump_on(shared.hyd_pump_green_eng2); }>("green_eng2.on", Cursor::up),
    area<[] { pump_off(shared.hyd_pump_green_eng2); }>("green_eng2.off", Cursor::down),
    area<[] { pump_on(shared.hyd_pump_yellow_eng2); }>("yellow_eng2.on", Cursor::up),
    area<[] { pump_off(shared.hyd_pump_yellow_eng2); }>("yellow_eng2.off", Cursor::down),
    area<[] { set_switch(shared.hyd_elec_pump_1_sw, 1); }>("elec_pump_1.on", Cursor::up),
    area<[] { set_switch(shared.hyd_elec_pump_1_sw, 0); }>("elec_pump_1.off", Cursor::down),
    area<[] { set_switch(shared.hyd_elec_pump_2_sw, 1); }>("elec_pump_2.on", Cursor::up),
    area<[] { set_switch(shared.hyd_elec_pump_2_sw, 0); }>("elec_pump_2.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(hydrau_pumps, "tarvenol hydrau_pumps_t418", 287, &tick_callback<&tick>, areas, no_vars, nullptr,
               background, blue_eng1_images, green_eng1_images, green_eng2_images, yellow_eng2_images, elec_1_images,
               elec_2_images, lamp_blue_eng1, lamp_green_eng1, lamp_green_eng2, lamp_yellow_eng2);
