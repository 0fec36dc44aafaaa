// tarvenol mwp_2_big_t418: master warning panel 2 in its pop-up window, the same lights and
// buttons drawn large; here a second press of the takeoff inhibit button ends the inhibit.
#include "warnings/master_warning.h"

namespace {

using namespace tarvenol;

Background background{panel("MASTER WARNING")};
mw::PanelLights<mw::kPanel2> lights;
mw::FlagLights flag_lights;

constexpr auto areas = mw::panel_2_areas<&mw::press_to_inhibit_toggling>();

void tick() {
    lights.show();
    flag_lights.show();
}

}  // namespace

TARVENOL_GAUGE(mwp_2_big, "tarvenol mwp_2_big_t418", 149, &tick_callback<&tick>, areas, no_vars, nullptr, background,
               lights, flag_lights);
