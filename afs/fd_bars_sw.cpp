// tarvenol fd_bars_sw_t418: the flight director bars switch (ON / OFF), and a click area of the
// panel lighting switch beside it.
#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

Background background{panel("FD")};
SwitchImages<2> fd_switch{lever("FD BARS"), "fd_bars.off", "fd_bars.on"};

// The panel lights come on only with the battery bus; they always go off.
void panel_lights_toggle() {
    if (shared.panel_lt_sw == 1)
        set_switch(shared.panel_lt_sw, 0);
    else if (shared.batt_bus_powered == 1)
        set_switch(shared.panel_lt_sw, 1);
}

void tick() { fd_switch.show(shared.fd_sw); }

constexpr std::array areas{
    switch_area<&SharedState::fd_sw, 1>("fd_bars.on", Cursor::up),
    switch_area<&SharedState::fd_sw, 0>("fd_bars.off", Cursor::down),
    area<&panel_lights_toggle>("panel_lights", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(fd_bars_sw, "tarvenol fd_bars_sw_t418", 92, &tick_callback<&tick>, areas, no_vars, nullptr, background,
               fd_switch);
