// tarvenol mwp_1_t418: master warning panel 1 on the main panel — fires, takeoff configuration,
// engine oil, flight controls and instruments, 20 lights. A click on a light acknowledges it; a
// click elsewhere on the panel opens the big panel 1 window. Its tick keeps that window open or
// closed, computes the grouped conditions and the engine 2 fire, and re-lights the cautions latched
// anew.
#include "warnings/master_warning.h"

namespace {

using namespace tarvenol;

Background background{panel("MASTER WARNING")};
mw::PanelLights<mw::kPanel1> lights;

void open_big_panel() { shared.mw_big_panel_open = 1; }

constexpr auto areas = mw::panel_1_areas<&open_big_panel>();

void tick() {
    lights.show();
    mw::panel_1_tick();
}

}  // namespace

// The master warning system's own variables are published with this gauge.
TARVENOL_GAUGE(mwp_1, "tarvenol mwp_1_t418", 108, &tick_callback<&tick>, areas, mw::vars(), &mw::reset, background,
               lights);
