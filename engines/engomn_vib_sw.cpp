// tarvenol engomn_vib_sw_t418: the vibration meter's pick-up selector (FAN / TURBINE) and its TEST
// button, which runs the needles up until one reaches 28 (on AC bus 1).
#include "engines/eng_instruments.h"

namespace {

using namespace tarvenol;
using eng::vib_switches;

const VarRef vars[] = {var_ref("vib_pickup_sw", vib_switches.pickup), var_ref("vib_test", vib_switches.test)};
void reset() { vib_switches = eng::VibrationSwitches{}; }

Background background{panel("VIB")};
SwitchImages<2> pickup{lever("PICK-UP", {}, "FAN|TURBINE"), "vib_pickup_sw.fan", "vib_pickup_sw.turbine"};

void tick() { pickup.show(vib_switches.pickup - eng::kPickupFan); }

void press_test() {
    if (shared.ac_bus_1_powered == 1 && vib_switches.test == 0) vib_switches.test = 1;
}

constexpr std::array areas{
    area<[] { set_switch(vib_switches.pickup, eng::kPickupFan); }>("vib_pickup_sw.fan", Cursor::down),
    area<[] { set_switch(vib_switches.pickup, eng::kPickupTurbine); }>("vib_pickup_sw.turbine", Cursor::up),
    area<&press_test>("test", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(engomn_vib_sw, "tarvenol engomn_vib_sw_t418", 81, &tick_callback<&tick>, areas,
               (VarTableView{vars, std::size(vars)}), &reset, background, pickup);
