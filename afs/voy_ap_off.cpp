// tarvenol voy_ap_off_t418: the autopilot-off light. When the simulator's autopilot drops out the
// light flashes for about four and a half seconds. A click on it shows or hides the panel
// navigation buttons.
#include "afs/annunciators.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using afs::Flash;

constexpr u32 kFlashTicks = 80;

// Autopilot states: none, disconnected (to be annunciated), engaged.
constexpr u8 kNone = 0;
constexpr u8 kDisconnected = 1;
constexpr u8 kEngaged = 2;

#define AP_OFF_STATE(X)              \
    X(u8, ap_off_state, kNone)       \
    X(u8, ap_off_flash_running, 0)   \
    X(u8, ap_off_flash_lit, 0)       \
    X(u32, ap_off_flash_start, 0)    \
    X(u32, ap_off_flash_phase, 0)
TARVENOL_PRIVATE_STATE(AP_OFF_STATE)

Background background{panel(nullptr, 56)};
Image ap_off_light{"ap_off_light", light(Tone::warning, "AP OFF")};

Flash flash() { return Flash(st.ap_off_flash_running, st.ap_off_flash_lit, st.ap_off_flash_start, st.ap_off_flash_phase); }

void tick() {
    const auto& s = shared;
    const double autopilot = read(sim::ap_master);
    if (is_on(autopilot))
        st.ap_off_state = kEngaged;
    else if (is_off(autopilot) && st.ap_off_state == kEngaged)
        st.ap_off_state = kDisconnected;

    Flash f = flash();
    if (s.batt_bus_powered != 1) {
        st.ap_off_state = kNone;
        f.clear();
        ap_off_light.show(false);
        return;
    }
    const u32 now = afs::present_tick();
    if (st.ap_off_state == kDisconnected && !f.running()) f.start(now);
    if (f.lasted(now, kFlashTicks)) {
        f.clear();
        st.ap_off_state = kNone;
    }
    f.step(now);
    ap_off_light.show(f.lit() || s.ann_lt_test == 1);
}

void toggle_panel_buttons() { shared.panel_toggles_shown = shared.panel_toggles_shown == 1 ? 0 : 1; }

constexpr std::array areas{area<&toggle_panel_buttons>("panel_toggles", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(voy_ap_off, "tarvenol voy_ap_off_t418", 32, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, ap_off_light);
