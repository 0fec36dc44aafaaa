// tarvenol mwp_1_big_t418: master warning panel 1 in its pop-up window, the same 20 lights drawn
// large; a click on a light acknowledges it, a click elsewhere closes the window.
#include "module/controls.h"
#include "warnings/master_warning.h"

namespace {

using namespace tarvenol;

Background background{panel("MASTER WARNING")};
mw::PanelLights<mw::kPanel1> lights;

void close_big_panel() { shared.mw_big_panel_open = 0; }

constexpr auto areas =
    join_areas(mw::acknowledge_areas<mw::kPanel1>(), std::array{area<&close_big_panel>("master", Cursor::hand)});

void tick() { lights.show(); }

}  // namespace

TARVENOL_GAUGE(mwp_1_big, "tarvenol mwp_1_big_t418", 149, &tick_callback<&tick>, areas, no_vars, nullptr, background,
               lights);
