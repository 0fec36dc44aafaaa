// tarvenol fuel_pumps_center_t418: the two CTR TANK pump switches. Its tick holds the whole
// tank-to-engine feed: the pump pressure on each side, and which tank each engine draws from,
// told to the simulator every tick through its fuel selector events.
#include "fuel/fuel_feed.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using fuel::feed;

// Below this the center tank is abandoned for the wing's main tank.
constexpr double kCenterTankEmptyLiters = 0.9;

// Each engine's selector key events, by the tank's selector value (0 off, 1 all tanks, 2 left
// main, 3 right main, 4 left auxiliary, 5 right auxiliary, 6 center).
using SelectorEvents = std::array<KeyEvent, 7>;
constexpr SelectorEvents kEng1Selector{key::eng1_fuel_selector_off,       key::eng1_fuel_selector_all,
                                       key::eng1_fuel_selector_left_main, key::eng1_fuel_selector_right_main,
                                       key::eng1_fuel_selector_left_aux,  key::eng1_fuel_selector_right_aux,
                                       key::eng1_fuel_selector_center};
constexpr SelectorEvents kEng2Selector{key::eng2_fuel_selector_off,       key::eng2_fuel_selector_all,
                                       key::eng2_fuel_selector_left_main, key::eng2_fuel_selector_right_main,
                                       key::eng2_fuel_selector_left_aux,  key::eng2_fuel_selector_right_aux,
                                       key::eng2_fuel_selector_center};
void select(const SelectorEvents& engine, i32 tank) {
    const bool listed = tank >= 0 && tank < static_cast<i32>(engine.size());
    send(engine[listed ? static_cast<std::size_t>(tank) : 0]);
}

// The center tank panel: each pump's line runs down from the tank through its upper flow bar and
// its pump flow bar to its side's manifold; the pump switches sit under the lines.
constexpr int kH = 196, kLeft = 84, kRight = 252;
constexpr int kTankTop = 26, kUpperBars = 44, kPumpBars = 80, kManifold = 98, kSwitchTop = 124;
constexpr Line kFlow[] = {line(kLeft, kTankTop, kLeft, kManifold), line(kRight, kTankTop, kRight, kManifold)};
Background background{panel("CTR TK PUMPS", kH, kFlow)};
SwitchImages<2> left_pump_images{lever("L PUMP", switch_box(kLeft, kSwitchTop), "OFF|ON"), "fuel_pump_cl_sw.off",
                                 "fuel_pump_cl_sw.on"};
SwitchImages<2> right_pump_images{lever("R PUMP", switch_box(kRight, kSwitchTop), "OFF|ON"), "fuel_pump_cr_sw.off",
                                  "fuel_pump_cr_sw.on"};
fuel::BrightDimBar left_pump_bar{"left_pump_bar.dim", "left_pump_bar.bright", bar(bar_box(kLeft, kPumpBars))};
fuel::BrightDimBar right_pump_bar{"right_pump_bar.dim", "right_pump_bar.bright", bar(bar_box(kRight, kPumpBars))};
Image upper_bar_left{"upper_bar_left", bar(bar_box(kLeft, kUpperBars))};
Image upper_bar_right{"upper_bar_right", bar(bar_box(kRight, kUpperBars))};

// A side has pump pressure when a pump that is on has fuel to pump.
bool side_pressure(u8 center_pump, u8 main_pump, double main_liters, u8 aux_pump, double aux_liters) {
    return (center_pump == 1 && shared.fuel_qty_center >= fuel::kEmptyTankLiters) ||
           (main_pump == 1 && main_liters >= fuel::kEmptyTankLiters) ||
           (aux_pump == 1 && aux_liters >= fuel::kEmptyTankLiters);
}

// The tank an engine draws from on its own side.
i32 own_side_tank(u8 center_pump, u8 main_pump, i32 main_tank, i32 aux_tank) {
    if (center_pump == 1) {
        if (main_pump == 1) return shared.fuel_qty_center >= kCenterTankEmptyLiters ? fuel::tank::center : main_tank;
        return fuel::tank::center;
    }
    return main_pump == 1 ? main_tank : aux_tank;
}
i32 engine_1_own_tank() {
    return own_side_tank(feed.fuel_pump_cl_sw, feed.fuel_pump_l1_sw, fuel::tank::left_main, fuel::tank::left_aux);
}
i32 engine_2_own_tank() {
    return own_side_tank(feed.fuel_pump_cr_sw, feed.fuel_pump_r1_sw, fuel::tank::right_main, fuel::tank::right_aux);
}

// The engine fed across draws from the tank the other engine draws from.
i32 across_tank(i32 other_selector, i32 main_tank, i32 aux_tank) {
    if (other_selector == main_tank) return main_tank;
    if (other_selector == aux_tank) return aux_tank;
    return fuel::tank::center;
}

void select_tanks() {
    if (shared.batt_bus_powered != 1) {
        // Without the battery bus both engines lose their feed.
        select(kEng1Selector, fuel::tank::off);
        select(kEng2Selector, fuel::tank::off);
        return;
    }
    const bool from_left = feed.fuel_xfeed_state == fuel::kXfeedFromLeft &&
                           (feed.fuel_feed_press_right == 0 || feed.fuel_tank_valve_2_sw == 0);
    const bool from_right = feed.fuel_xfeed_state == fuel::kXfeedFromRight &&
                            (feed.fuel_feed_press_left == 0 || feed.fuel_tank_valve_1_sw == 0);
    if (from_left) {
        select(kEng1Selector, engine_1_own_tank());
        const i32 engine_1 = read(sim::eng1_fuel_selector);
        select(kEng2Selector, across_tank(engine_1, fuel::tank::left_main, fuel::tank::left_aux));
    } else if (from_right) {
        select(kEng2Selector, engine_2_own_tank());
        const i32 engine_2 = read(sim::eng2_fuel_selector);
        select(kEng1Selector, across_tank(engine_2, fuel::tank::right_main, fuel::tank::right_aux));
    } else {
        // Engine 1 stays where it is rather than take an empty center tank that the right side
        // would otherwise feed across.
        const bool center_only = feed.fuel_pump_cl_sw == 1 && feed.fuel_pump_l1_sw == 0;
        const bool hold = center_only && feed.fuel_xfeed_state == fuel::kXfeedFromRight &&
                          shared.fuel_qty_center < fuel::kEmptyTankLiters;
        if (!hold) select(kEng1Selector, engine_1_own_tank());
        select(kEng2Selector, engine_2_own_tank());
    }
}

void tick() {
    auto& s = shared;
    // 3. Pump pressure on each side.
    feed.fuel_feed_press_left = side_pressure(feed.fuel_pump_cl_sw, feed.fuel_pump_l1_sw, s.fuel_qty_left_main,
                                              feed.fuel_pump_l2_sw, s.fuel_qty_left_aux);
    feed.fuel_feed_press_right = side_pressure(feed.fuel_pump_cr_sw, feed.fuel_pump_r1_sw, s.fuel_qty_right_main,
                                               feed.fuel_pump_r2_sw, s.fuel_qty_right_aux);
    // 4. Tank selection.
    select_tanks();

    left_pump_images.show(feed.fuel_pump_cl_sw);
    right_pump_images.show(feed.fuel_pump_cr_sw);
    const bool powered = s.dc_bus_powered == 1;
    left_pump_bar.show(powered, read(sim::eng1_fuel_selector) == fuel::tank::center);
    right_pump_bar.show(powered, read(sim::eng2_fuel_selector) == fuel::tank::center);
    upper_bar_left.show(powered);
    upper_bar_right.show(powered);
}

constexpr std::array areas{
    area<[] { fuel::center_pump_on(feed.fuel_pump_cl_sw); }>("left_pump.on", Cursor::up),
    area<[] { fuel::center_pump_off(feed.fuel_pump_cl_sw, feed.fuel_pump_l1_sw, feed.fuel_pump_l2_sw); }>(
        "left_pump.off", Cursor::down),
    area<[] { fuel::center_pump_on(feed.fuel_pump_cr_sw); }>("right_pump.on", Cursor::up),
    area<[] { fuel::center_pump_off(feed.fuel_pump_cr_sw, feed.fuel_pump_r1_sw, feed.fuel_pump_r2_sw); }>(
        "right_pump.off", Cursor::down),
};

}  // namespace

// The feed panel's switch state is listed here, with the feed logic that owns it.
TARVENOL_GAUGE(fuel_pumps_center, "tarvenol fuel_pumps_center_t418", 168, &tick_callback<&tick>, areas,
               fuel::feed_vars(), &fuel::reset_feed, background, left_pump_images, right_pump_images, left_pump_bar,
               right_pump_bar, upper_bar_left, upper_bar_right);
