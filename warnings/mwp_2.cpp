// tarvenol mwp_2_t418: master warning panel 2 on the main panel — probe heat, APU, brakes,
// electrics, hydraulics and fuel, 13 lights, the takeoff inhibit, second inhibit and aural cancel
// buttons and the DC SUPPLY light. Its tick ends the takeoff inhibit once airborne and computes
// the panel's own conditions.
#include "warnings/master_warning.h"

namespace {

using namespace tarvenol;

Background background{panel("MASTER WARNING")};
mw::PanelLights<mw::kPanel2> lights;
mw::FlagLights flag_lights;

constexpr auto areas = mw::panel_2_areas<&mw::press_to_inhibit>();

void tick() {
    lights.show();
    flag_lights.show();
    mw::panel_2_tick();
}

}  // namespace

TARVENOL_GAUGE(mwp_2, "tarvenol mwp_2_t418", 108, &tick_callback<&tick>, areas, no_vars, nullptr, background, lights,
               flag_lights);
