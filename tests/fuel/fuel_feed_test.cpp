// The fuel feed: pump interlocks, crossfeed, the tank each engine draws from (selector events every
// tick) and the simulator's engine fuel valves toggled only when they disagree with the panel.
#include "fuel/fuel_feed.h"
#include "aircraft.h"
#include "power.h"
#include "sound/mixer.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kValves = "tarvenol fuel_valves_t418";
constexpr const char* kLeftPumps = "tarvenol fuel_pumps_left_t418";
constexpr const char* kCenterPumps = "tarvenol fuel_pumps_center_t418";

using fuel::feed;

class FuelFeed : public ::testing::Test {
protected:
    TestBed bed;
    Aircraft aircraft{bed};
    void SetUp() override {
        hold_buses(bed, true);
        // The simulator's valves are open and follow their toggles; its selectors follow their events
        // (the stand-in aircraft answers them).
        bed.sim().set(sim::eng1_fuel_valve, 1.0);
        bed.sim().set(sim::eng2_fuel_valve, 1.0);
        tanks(5000, 5000, 5000, 5000, 5000);
    }
    // Fuel quantities as the quantity gauges publish them, held before every gauge's tick.
    void tanks(double left_main, double left_aux, double center, double right_main, double right_aux) {
        bed.host().before_each_gauge = [=, this] {
            for (u8* bus : {&shared.batt_bus_powered, &shared.dc_bus_powered}) *bus = powered_;
            shared.fuel_qty_left_main = left_main;
            shared.fuel_qty_left_aux = left_aux;
            shared.fuel_qty_center = center;
            shared.fuel_qty_right_main = right_main;
            shared.fuel_qty_right_aux = right_aux;
        };
    }
    void power(bool on) { powered_ = on ? 1 : 0; }
    u32 clicks() const { return snd::mixer::state("CLICK").play_once_requests; }

    u8 powered_ = 1;
};

TEST_F(FuelFeed, both_engines_draw_from_the_center_tank_until_it_is_below_0_9_liters) {
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::eng1_fuel_selector_center), 1);
    EXPECT_EQ(bed.sent_count(key::eng2_fuel_selector_center), 1);
    tanks(5000, 5000, 0.89, 5000, 5000);
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::eng1_fuel_selector_left_main), 3) << "sent every tick";
    EXPECT_EQ(bed.sent_count(key::eng2_fuel_selector_right_main), 3);
    EXPECT_FALSE(bed.sent(key::eng1_fuel_selector_center));
}

TEST_F(FuelFeed, with_the_center_pump_off_an_engine_draws_from_main_then_auxiliary) {
    bed.click(kCenterPumps, "left_pump.off");
    EXPECT_EQ(feed.fuel_pump_cl_sw, 0);
    bed.tick();
    EXPECT_TRUE(bed.sent(key::eng1_fuel_selector_left_main));
    bed.click(kLeftPumps, "pump_1.off");
    bed.tick();
    EXPECT_TRUE(bed.sent(key::eng1_fuel_selector_left_aux));
}

TEST_F(FuelFeed, wing_pump_1_comes_on_with_pump_2_and_pump_2_takes_pump_1_off) {
    feed.fuel_pump_l1_sw = 0;
    feed.fuel_pump_l2_sw = 0;
    const auto before = clicks();
    bed.click(kLeftPumps, "pump_1.on");
    EXPECT_EQ(feed.fuel_pump_l1_sw, 1);
    EXPECT_EQ(feed.fuel_pump_l2_sw, 1);
    EXPECT_EQ(clicks(), before + 1);
    bed.click(kLeftPumps, "pump_2.off");
    EXPECT_EQ(feed.fuel_pump_l2_sw, 0);
    EXPECT_EQ(feed.fuel_pump_l1_sw, 0);
    EXPECT_EQ(clicks(), before + 2);
}

TEST_F(FuelFeed, a_side_always_keeps_one_pump_and_a_refused_click_is_silent) {
    bed.click(kCenterPumps, "left_pump.off");
    const auto before = clicks();
    bed.click(kLeftPumps, "pump_2.off");  // refused: center pump off
    EXPECT_EQ(feed.fuel_pump_l2_sw, 1);
    bed.click(kLeftPumps, "pump_1.off");
    EXPECT_EQ(feed.fuel_pump_l1_sw, 0);
    EXPECT_EQ(clicks(), before + 1);
    bed.click(kCenterPumps, "left_pump.on");
    bed.click(kLeftPumps, "pump_2.off");
    bed.click(kCenterPumps, "left_pump.off");  // refused: the last pump of the side
    EXPECT_EQ(feed.fuel_pump_cl_sw, 1);
    EXPECT_EQ(clicks(), before + 3);
}

TEST_F(FuelFeed, crossfeed_needs_the_feeding_sides_tank_valve_open) {
    bed.click(kValves, "tank_valve_1a");
    EXPECT_EQ(feed.fuel_tank_valve_1_sw, 0);
    bed.click(kValves, "xfeed.right");
    EXPECT_EQ(feed.fuel_xfeed_sel, 1);
    bed.tick();
    EXPECT_EQ(feed.fuel_xfeed_state, 0);
    bed.click(kValves, "tank_valve_1b");
    bed.tick();
    EXPECT_EQ(feed.fuel_xfeed_state, 1);
}

TEST_F(FuelFeed, crossfeed_from_the_left_keeps_engine_2_valve_open_and_its_selector_follows_engine_1) {
    bed.tick();
    bed.click(kValves, "tank_valve_2a");
    bed.click(kValves, "xfeed.right");
    bed.tick();
    EXPECT_FALSE(bed.sent(key::eng2_fuel_valve_toggle));
    EXPECT_TRUE(is_on(bed.sim().get(sim::eng2_fuel_valve)));
    EXPECT_TRUE(bed.sent(key::eng1_fuel_selector_center));
    EXPECT_TRUE(bed.sent(key::eng2_fuel_selector_center));
    bed.click(kCenterPumps, "left_pump.off");
    bed.tick(2);
    EXPECT_EQ(bed.sent_count(key::eng2_fuel_selector_left_main), 2);
    bed.click(kLeftPumps, "pump_1.off");
    bed.tick();
    EXPECT_TRUE(bed.sent(key::eng2_fuel_selector_left_aux));
    EXPECT_FALSE(bed.sent(key::eng2_fuel_selector_right_main));
}

TEST_F(FuelFeed, crossfeed_from_the_left_does_nothing_while_the_right_side_feeds_itself) {
    bed.click(kValves, "xfeed.right");
    bed.click(kCenterPumps, "left_pump.off");
    bed.tick(2);
    EXPECT_TRUE(bed.sent(key::eng1_fuel_selector_left_main));
    EXPECT_TRUE(bed.sent(key::eng2_fuel_selector_center));
    EXPECT_FALSE(bed.sent(key::eng2_fuel_selector_left_main));
}

TEST_F(FuelFeed, crossfeed_from_the_right_feeds_engine_1_from_the_right_tanks) {
    bed.click(kValves, "tank_valve_1a");
    bed.click(kValves, "xfeed.left");
    bed.click(kCenterPumps, "right_pump.off");
    bed.tick(2);
    EXPECT_EQ(feed.fuel_xfeed_state, 2);
    EXPECT_TRUE(bed.sent(key::eng2_fuel_selector_right_main));
    EXPECT_TRUE(bed.sent(key::eng1_fuel_selector_right_main));
    EXPECT_TRUE(is_on(bed.sim().get(sim::eng1_fuel_valve))) << "fed across: its valve stays open";
}

TEST_F(FuelFeed, engine_1_keeps_its_selector_rather_than_take_an_empty_center_tank) {
    bed.click(kLeftPumps, "pump_1.off");
    bed.click(kValves, "xfeed.left");
    tanks(5000, 5000, 0.5, 5000, 5000);
    bed.tick();
    EXPECT_EQ(feed.fuel_xfeed_state, 2);
    EXPECT_FALSE(bed.sent(key::eng1_fuel_selector_center));
    EXPECT_FALSE(bed.sent(key::eng1_fuel_selector_right_main)) << "the left side still has pressure";
    EXPECT_TRUE(bed.sent(key::eng2_fuel_selector_right_main));
}

TEST_F(FuelFeed, without_the_battery_bus_both_selectors_go_off_every_tick) {
    power(false);
    bed.tick(4);
    EXPECT_EQ(bed.sent_count(key::eng1_fuel_selector_off), 4);
    EXPECT_EQ(bed.sent_count(key::eng2_fuel_selector_off), 4);
    EXPECT_FALSE(bed.sent(key::eng1_fuel_selector_center));
}

TEST_F(FuelFeed, a_closed_tank_valve_shuts_the_simulator_valve_once) {
    bed.tick();
    bed.click(kValves, "tank_valve_1a");
    bed.tick(5);
    EXPECT_EQ(bed.sent_count(key::eng1_fuel_valve_toggle), 1);
    EXPECT_TRUE(is_off(bed.sim().get(sim::eng1_fuel_valve)));
    bed.click(kValves, "tank_valve_1a");
    bed.tick(5);
    EXPECT_EQ(bed.sent_count(key::eng1_fuel_valve_toggle), 1);
    EXPECT_TRUE(is_on(bed.sim().get(sim::eng1_fuel_valve)));
    EXPECT_FALSE(bed.sent(key::eng2_fuel_valve_toggle));
}

TEST_F(FuelFeed, without_the_dc_bus_the_simulator_valves_are_left_alone) {
    bed.tick();
    power(false);
    bed.tick();
    bed.click(kValves, "tank_valve_2a");
    bed.tick(3);
    EXPECT_FALSE(bed.sent(key::eng2_fuel_valve_toggle));
}

TEST_F(FuelFeed, a_valve_reading_neither_open_nor_closed_is_not_toggled) {
    bed.sim().set(sim::eng1_fuel_valve, 0.5);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::eng1_fuel_valve_toggle));
}

TEST_F(FuelFeed, flow_bars_are_bright_for_the_tank_an_engine_draws_from_and_hidden_unpowered) {
    bed.tick(2);
    EXPECT_TRUE(bed.shown(kCenterPumps, "left_pump_bar.bright"));
    EXPECT_TRUE(bed.shown(kLeftPumps, "pump_1_bar_a.dim"));
    tanks(5000, 0.5, 0.5, 5000, 5000);
    bed.tick(2);
    EXPECT_TRUE(bed.shown(kLeftPumps, "pump_1_bar_a.bright"));
    EXPECT_TRUE(bed.shown(kCenterPumps, "left_pump_bar.dim"));
    power(false);
    bed.tick();
    EXPECT_FALSE(bed.shown(kLeftPumps, "pump_1_bar_a.bright"));
    EXPECT_FALSE(bed.shown(kLeftPumps, "pump_1_bar_a.dim"));
    EXPECT_TRUE(bed.shown(kLeftPumps, "pump_1_sw.on")) << "switch images need no power";
}

}  // namespace
}  // namespace tarvenol::testing
