// tarvenol mwp_1_big_t418: master warning panel 1 in its pop-up window, the same 20 lights drawn
// large; a click on a light acknowledges it, a click elsewhere closes the window.
#include "warnings/master_warning.h"

namespace {

using namespace tarvenol;

Background background{panel("MASTER WARNING")};
mw::PanelLights<mw::kPanel1> lights;

void close_big_panel() { shared.mw_big_panel_open = 0; }

constexpr auto areas = mw::panel_1_areas<&close_big_panel>();

void tick() { lights.show(); }

}  // namespace

TARVENOL_GAUGE(mwp_1_big, "tarvenol mwp_1_big_t418", 149, &tick_callback<&tick>, areas, no_vars, nullptr, background,
               lights);
