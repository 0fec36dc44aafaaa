// The fuel feed panel's state, shared by its four gauges: the tank shut-off valves, the crossfeed
// selector and the six pump switches, and the per-tick feed pressures and effective crossfeed.
#pragma once

#include "module/gauge.h"

namespace tarvenol::fuel {

#define TARVENOL_FUEL_FEED_STATE(X)  \
    X(u8, fuel_tank_valve_1_sw, 1)   \
    X(u8, fuel_tank_valve_2_sw, 1)   \
    X(u8, fuel_xfeed_sel, 0)         \
    X(u8, fuel_xfeed_state, 0)       \
    X(u8, fuel_pump_l1_sw, 1)        \
    X(u8, fuel_pump_l2_sw, 1)        \
    X(u8, fuel_pump_r1_sw, 1)        \
    X(u8, fuel_pump_r2_sw, 1)        \
    X(u8, fuel_pump_cl_sw, 1)        \
    X(u8, fuel_pump_cr_sw, 1)        \
    X(u8, fuel_feed_press_left, 0)   \
    X(u8, fuel_feed_press_right, 0)

struct FeedState {
    TARVENOL_FUEL_FEED_STATE(TARVENOL_STATE_MEMBER)
};
extern FeedState feed;
VarTableView feed_vars();
void reset_feed();

// Crossfeed selector and effective crossfeed.
constexpr u8 kXfeedNormal = 0;
constexpr u8 kXfeedFromLeft = 1;
constexpr u8 kXfeedFromRight = 2;

// A tank below this many liters gives its pump no pressure.
constexpr double kEmptyTankLiters = 1.0;

// The values of the simulator's engine fuel tank selectors.
namespace tank {
constexpr i32 off = 0;
constexpr i32 left_main = 2;
constexpr i32 right_main = 3;
constexpr i32 left_aux = 4;
constexpr i32 right_aux = 5;
constexpr i32 center = 6;
}  // namespace tank

// A flow bar drawn bright or dim over its striped low-pressure flag, hidden without power.
struct BrightDimBar : SwitchImages<2> {  // dim, bright
    BrightDimBar(const char* dim, const char* bright, Look look = bar()) : SwitchImages<2>(look, dim, bright) {}
    void show(bool powered, bool bright) { SwitchImages<2>::show(powered ? (bright ? 1 : 0) : -1); }
};

// The interlocked pump switches of one wing: pump 1 (main tank) runs only with pump 2 (auxiliary
// tank), and one of the wing's two pumps or its center pump stays on.
void wing_pump_1_on(u8& pump_1, u8& pump_2);
void wing_pump_1_off(u8& pump_1, u8 pump_2, u8 center_pump);
void wing_pump_2_on(u8& pump_2);
void wing_pump_2_off(u8& pump_1, u8& pump_2, u8 center_pump);
void center_pump_on(u8& center_pump);
void center_pump_off(u8& center_pump, u8 pump_1, u8 pump_2);

}  // namespace tarvenol::fuel
