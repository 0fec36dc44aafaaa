// tarvenol gear_h_t418: the landing gear handle. A click selects the gear up or down; with the
// battery bus powered the handle follows the simulator's gear handle (another control, a key).
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr i8 kHandleUp = -58;
constexpr i8 kHandleNeutral = 0;
constexpr i8 kHandleDown = 58;
constexpr double kSimHandleDown = 1.0;  // the simulator's handle counts as down above this
constexpr int kPlain = 0;
constexpr int kPanelLit = 1;
constexpr int kStormLit = 2;

#define GEAR_HANDLE_STATE(X)                \
    X(i8, gear_handle_pos, kHandleNeutral, within(kHandleUp, kHandleDown))  \
    X(u8, gear_handle_down, 0, kFlag)
TARVENOL_PRIVATE_STATE(GEAR_HANDLE_STATE)

double handle_position() { return st.gear_handle_pos; }

Background background{panel("LDG GEAR")};
Slider handle{"gear_handle", nullptr, &handle_position, lever("GEAR", {}, "UP DOWN")};
// The lit pictures of the same handle.
Slider handle_panel_lit{"gear_handle_panel_lit", nullptr, &handle_position};
Slider handle_storm_lit{"gear_handle_storm_lit", nullptr, &handle_position};

void tick() {
    const auto& s = shared;
    if (s.batt_bus_powered == 1) {
        const double sim_handle = read(sim::gear_handle);
        if (sim_handle > kSimHandleDown && st.gear_handle_down == 0) {
            st.gear_handle_pos = kHandleDown;
            st.gear_handle_down = 1;
        }
        if (sim_handle < kSimHandleDown && st.gear_handle_down == 1) {
            st.gear_handle_pos = kHandleUp;
            st.gear_handle_down = 0;
        }
    }
    const int variant = s.panel_lt_sw == 1 && s.ac_ess_bus_powered == 1 ? (s.storm_lt_sw == 1 ? kStormLit : kPanelLit)
                                                                       : kPlain;
    handle.show(variant == kPlain);
    handle_panel_lit.show(variant == kPanelLit);
    handle_storm_lit.show(variant == kStormLit);
}

void handle_up() {
    send(key::gear_up);
    st.gear_handle_pos = kHandleUp;
    st.gear_handle_down = 0;
}
void handle_neutral() { st.gear_handle_pos = kHandleNeutral; }
void handle_down() {
    send(key::gear_down);
    st.gear_handle_pos = kHandleDown;
    st.gear_handle_down = 1;
}

constexpr std::array areas{
    area<&handle_up>("gear.up", Cursor::up),
    area<&handle_neutral>("gear.neutral", Cursor::hand),
    area<&handle_down>("gear.down", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(gear_h, "tarvenol gear_h_t418", 50, &tick_callback<&tick>, areas, st_table, &reset_private_state,
               background, handle, handle_panel_lit, handle_storm_lit);
