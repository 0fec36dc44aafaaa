// tarvenol fuel_valves_t418: CAUTION TANK SHUT OFF VALVES (two guarded switches per side acting
// together) and the CROSS FEED selector. Its tick works out the effective crossfeed and keeps the
// simulator's engine fuel valves in step: open when the tank valve is open or the engine is fed
// across, shut otherwise — a toggle is sent only when the simulator disagrees.
#include "fuel/fuel_feed.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using fuel::feed;

// The two guarded switches of each side under the panel's caution legend, the cross feed
// selector between the sides.
constexpr int kW = 570, kH = 136, kValveTop = 52, kXfeed = kW / 2;
constexpr Box valve_box(int i) { return switch_box(i < 2 ? 60 + 70 * i : kW - 130 + 70 * (i - 2), kValveTop); }
Background background{panel("CAUTION TANK SHUT OFF VALVES", kH)};
SwitchImages<2> valve_1a_images{lever("ENG 1", valve_box(0), "SHUT|OPEN"), "tank_valve_1a.shut", "tank_valve_1a.open"};
SwitchImages<2> valve_1b_images{lever("ENG 1", valve_box(1), "SHUT|OPEN"), "tank_valve_1b.shut", "tank_valve_1b.open"};
SwitchImages<2> valve_2a_images{lever("ENG 2", valve_box(2), "SHUT|OPEN"), "tank_valve_2a.shut", "tank_valve_2a.open"};
SwitchImages<2> valve_2b_images{lever("ENG 2", valve_box(3), "SHUT|OPEN"), "tank_valve_2b.shut", "tank_valve_2b.open"};
SwitchImages<3> xfeed_images{lever("CROSS FEED", switch_box(kXfeed, kValveTop)), "xfeed_sel.normal",
                             "xfeed_sel.from_left", "xfeed_sel.from_right"};

// The simulator valve of one engine follows its tank shut-off switch unless the engine is fed
// across (the crossfeed from the other side keeps it open).
void follow_switch(u8 tank_valve_sw, double sim_valve, bool fed_across, KeyEvent toggle) {
    if (fed_across) return;
    if ((tank_valve_sw == 0 && is_on(sim_valve)) || (tank_valve_sw == 1 && is_off(sim_valve))) send(toggle);
}

void tick() {
    // 1. Effective crossfeed.
    if (feed.fuel_xfeed_sel == fuel::kXfeedFromLeft && feed.fuel_tank_valve_1_sw == 1)
        feed.fuel_xfeed_state = fuel::kXfeedFromLeft;
    else if (feed.fuel_xfeed_sel == fuel::kXfeedFromRight && feed.fuel_tank_valve_2_sw == 1)
        feed.fuel_xfeed_state = fuel::kXfeedFromRight;
    else
        feed.fuel_xfeed_state = fuel::kXfeedNormal;

    // 2. The simulator's engine fuel valves.
    const double valve_1 = read(sim::eng1_fuel_valve);
    const double valve_2 = read(sim::eng2_fuel_valve);
    if (shared.dc_bus_powered == 1) {
        follow_switch(feed.fuel_tank_valve_1_sw, valve_1, feed.fuel_xfeed_state == fuel::kXfeedFromRight,
                      key::eng1_fuel_valve_toggle);
        follow_switch(feed.fuel_tank_valve_2_sw, valve_2, feed.fuel_xfeed_state == fuel::kXfeedFromLeft,
                      key::eng2_fuel_valve_toggle);
        if (feed.fuel_xfeed_state == fuel::kXfeedFromRight && is_off(valve_1))
            send(key::eng1_fuel_valve_toggle);
        else if (feed.fuel_xfeed_state == fuel::kXfeedFromLeft && is_off(valve_2))
            send(key::eng2_fuel_valve_toggle);
    }

    valve_1a_images.show(feed.fuel_tank_valve_1_sw);
    valve_1b_images.show(feed.fuel_tank_valve_1_sw);
    valve_2a_images.show(feed.fuel_tank_valve_2_sw);
    valve_2b_images.show(feed.fuel_tank_valve_2_sw);
    xfeed_images.show(feed.fuel_xfeed_sel == fuel::kXfeedFromLeft    ? 1
                      : feed.fuel_xfeed_sel == fuel::kXfeedFromRight ? 2
                                                                     : 0);
}

void toggle(u8& valve) { valve = valve ? 0 : 1; }

constexpr std::array areas{
    area<[] { toggle(feed.fuel_tank_valve_1_sw); }>("tank_valve_1a", Cursor::hand),
    area<[] { toggle(feed.fuel_tank_valve_1_sw); }>("tank_valve_1b", Cursor::hand),
    area<[] { toggle(feed.fuel_tank_valve_2_sw); }>("tank_valve_2a", Cursor::hand),
    area<[] { toggle(feed.fuel_tank_valve_2_sw); }>("tank_valve_2b", Cursor::hand),
    area<[] { feed.fuel_xfeed_sel = fuel::kXfeedFromLeft; }>("xfeed.right", Cursor::hand),
    area<[] { feed.fuel_xfeed_sel = fuel::kXfeedNormal; }>("xfeed.middle", Cursor::hand),
    area<[] { feed.fuel_xfeed_sel = fuel::kXfeedFromRight; }>("xfeed.left", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(fuel_valves, "tarvenol fuel_valves_t418", 285, &tick_callback<&tick>, areas, no_vars, nullptr,
               background, valve_1a_images, valve_1b_images, valve_2a_images, valve_2b_images, xfeed_images);
