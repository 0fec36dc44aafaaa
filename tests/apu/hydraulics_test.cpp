// The three hydraulic systems: pump spooling, pressure build-up and decay, power transfer, ram air,
// status bytes, lamps, and what the aircraft loses with its systems — key events on the right ticks.
#include <algorithm>
#include "testbed.h"
#include "sound/mixer.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kPumps = "tarvenol hydrau_pumps_t418";
constexpr const char* kPress = "tarvenol hydrau_press_t418";

class Hydraulics : public ::testing::Test {
protected:
    TestBed bed;

    void engines(double n2_1, double n2_2) {
        bed.sim().set(sim::eng1_n2_pct, n2_1);
        bed.sim().set(sim::eng2_n2_pct, n2_2);
    }
    void pressurise_with_engines() {
        engines(60, 60);
        bed.tick(100);
        ASSERT_EQ(shared.hyd_green_press, 3000u);
        ASSERT_EQ(shared.hyd_blue_press, 3000u);
        ASSERT_EQ(shared.hyd_yellow_press, 3000u);
    }
    double var(const char* name) { return read_var(*find_var(name)); }
};

TEST_F(Hydraulics, running_engines_pressurise_every_system_in_59_ticks) {
    engines(20.0, 25.0);
    bed.tick(58);
    EXPECT_EQ(shared.hyd_blue_press, 1740u);
    EXPECT_EQ(shared.hyd_blue_status, 0);
    bed.tick();
    EXPECT_EQ(shared.hyd_blue_press, 1770u);
    EXPECT_EQ(shared.hyd_blue_status, 1);
    EXPECT_EQ(shared.hyd_green_status, 1);
    EXPECT_EQ(shared.hyd_yellow_status, 1);
    bed.tick(50);
    EXPECT_EQ(shared.hyd_green_press, 3000u);
}

TEST_F(Hydraulics, below_20_percent_n2_an_engine_turns_no_pump) {
    engines(19.99, 0);
    bed.tick(20);
    EXPECT_EQ(shared.hyd_blue_press, 0u);
    EXPECT_EQ(shared.hyd_green_press, 0u);
}

TEST_F(Hydraulics, a_pump_switched_off_holds_pressure_for_19_ticks_then_falls_back) {
    pressurise_with_engines();
    shared.hyd_ptu_blue_green_sw = 0;
    bed.click(kPumps, "blue_eng1.off");
    EXPECT_EQ(shared.hyd_pump_blue_eng1, 95);
    bed.tick(19);
    EXPECT_EQ(shared.hyd_pump_blue_eng1, 0);
    EXPECT_EQ(shared.hyd_blue_press, 3000u);
    bed.tick();
    EXPECT_EQ(shared.hyd_blue_press, 2985u);
    shared.hyd_ptu_blue_green_sw = 1;  // green takes over through the transfer unit
    bed.tick(2);
    EXPECT_EQ(shared.hyd_blue_press, 3000u);
    EXPECT_EQ(shared.hyd_blue_status, 1);
}

TEST_F(Hydraulics, a_pump_switched_on_holds_while_it_spools_up_then_raises_pressure) {
    engines(60, 60);
    shared.hyd_pump_yellow_eng2 = 0;
    shared.hyd_ptu_green_yellow_sw = 0;
    bed.click(kPumps, "yellow_eng2.on");
    EXPECT_EQ(shared.hyd_pump_yellow_eng2, 100);
    bed.tick(20);
    EXPECT_EQ(shared.hyd_pump_yellow_eng2, 200);
    EXPECT_EQ(shared.hyd_yellow_press, 0u) << "held while spooling";
    EXPECT_TRUE(bed.shown(kPress, "pump_press_lo_light"));  // the batteries power the lamp
    bed.tick();
    EXPECT_EQ(shared.hyd_yellow_press, 30u);
}

TEST_F(Hydraulics, the_spool_lamp_lights_while_a_pump_spools_up_and_only_with_the_battery_bus) {
    shared.hyd_pump_blue_eng1 = 0;
    bed.click(kPumps, "blue_eng1.on");
    bed.tick();
    ASSERT_EQ(shared.batt_bus_powered, 1);  // the batteries at NORM
    EXPECT_EQ(var("hyd_pump_spool_lamp"), 1.0);
    EXPECT_EQ(shared.hyd_fault, 1);
    bed.tick(25);
    EXPECT_EQ(var("hyd_pump_spool_lamp"), 0.0);
    shared.hyd_pump_blue_eng1 = 0;
    bed.click(kPumps, "blue_eng1.on");
    bed.host().before_each_gauge = [] { shared.batt_bus_powered = 0; };
    bed.tick();
    EXPECT_EQ(var("hyd_pump_spool_lamp"), 0.0);
    EXPECT_FALSE(bed.shown(kPress, "pump_press_lo_light"));
}

TEST_F(Hydraulics, pump_clicks_play_once_and_a_repeated_click_changes_nothing) {
    const auto clicks = [] { return snd::mixer::state("CLICK").play_once_requests; };
    const auto before = clicks();
    bed.click(kPumps, "green_eng1.on");
    EXPECT_EQ(clicks(), before) << "already on";
    EXPECT_EQ(shared.hyd_pump_green_eng1, 200) << "a running pump keeps running";
    bed.click(kPumps, "green_eng1.off");
    EXPECT_EQ(clicks(), before + 1);
    bed.tick(3);
    bed.click(kPumps, "green_eng1.off");
    EXPECT_EQ(clicks(), before + 1);
    EXPECT_EQ(shared.hyd_pump_green_eng1, 80) << "the spool-down goes on";
    bed.click(kPumps, "green_eng1.on");
    EXPECT_EQ(clicks(), before + 2);
    EXPECT_EQ(shared.hyd_pump_green_eng1, 100);
}

TEST_F(Hydraulics, yellow_runs_on_ram_air_from_150_knots) {
    shared.hyd_ptu_green_yellow_sw = 0;
    bed.sim().set(sim::ias_kt, 150.0);
    bed.tick(59);
    EXPECT_EQ(shared.hyd_yellow_status, 3);
    bed.sim().set(sim::ias_kt, 149.9);
    bed.tick(100);
    EXPECT_EQ(shared.hyd_yellow_status, 0);
}

TEST_F(Hydraulics, green_is_the_greater_branch) {
    engines(0, 60);  // only the engine 2 branch runs
    shared.hyd_ptu_blue_green_sw = 0;
    shared.hyd_ptu_green_yellow_sw = 0;
    bed.tick(10);
    EXPECT_EQ(shared.hyd_green_press, 300u);
    EXPECT_EQ(var("hyd_green_branch_1_press"), 0.0);
    EXPECT_EQ(shared.hyd_blue_press, 0u);
}

TEST_F(Hydraulics, a_pressure_that_is_no_multiple_of_15_decays_to_zero_not_round_the_clock) {
    shared.hyd_blue_press = 10;
    shared.hyd_yellow_press = 2;
    shared.hyd_ptu_blue_green_sw = 0;
    bed.tick();
    EXPECT_EQ(shared.hyd_blue_press, 0u);
    EXPECT_EQ(shared.hyd_yellow_press, 0u);
    shared.hyd_blue_press = 4294967290u;  // nonsense from a preset: still ends on the scale
    engines(60, 60);
    bed.tick();
    EXPECT_EQ(shared.hyd_blue_press, 3000u);
}

TEST_F(Hydraulics, a_spool_counter_that_is_no_multiple_of_5_stops_at_zero) {
    shared.hyd_pump_blue_eng1 = 3;
    bed.tick();
    EXPECT_EQ(shared.hyd_pump_blue_eng1, 0);
    bed.tick(5);
    EXPECT_EQ(shared.hyd_pump_blue_eng1, 0) << "never wraps into a running pump";
}

TEST_F(Hydraulics, losing_green_and_yellow_holds_gear_and_flaps_every_tick_until_one_returns) {
    pressurise_with_engines();
    bed.sim().set(sim::gear_left_pos, 16384.0);
    bed.sim().set(sim::gear_right_pos, 16384.0);
    bed.sim().set(sim::flap_pos, 4096.7);
    engines(0, 0);
    shared.hyd_ptu_blue_green_sw = 0;
    shared.hyd_ptu_green_yellow_sw = 0;
    // 3000 psi decays at 15 a tick: green and yellow are lost on tick 84 (1755 -> 1740).
    bed.tick(83);
    EXPECT_FALSE(bed.sent(key::gear_down));
    // The loss tick runs the hydraulic panel alone: the autopilot master would drop the channels
    // and send its own master-off without yaw dampers.
    shared.afs_channels = 3;
    shared.ap_engaged = 1;
    const auto& gauges = bed.host().gauges();
    const std::size_t press =
        static_cast<std::size_t>(std::find(gauges.begin(), gauges.end(), bed.host().find_gauge("tarvenol hydrau_press_t418")) -
                                 gauges.begin());
    bed.host().clear_key_events();
    bed.host().frame(&press, 1);
    EXPECT_EQ(bed.sent_count(key::gear_down), 1);
    EXPECT_EQ(bed.sent_count(key::flaps_set), 1);
    EXPECT_EQ(bed.sent_value(key::flaps_set), 4096u);
    EXPECT_EQ(bed.sent_count(key::sim_toggle_10306), 1);
    EXPECT_EQ(bed.sent_count(key::ap_master_off), 1);
    EXPECT_FALSE(bed.sent(key::gear_up));
    EXPECT_EQ(shared.afs_channels, 0);
    EXPECT_EQ(shared.ap_engaged, 0);
    // The gear moves in the simulator: the captured positions still rule.
    bed.sim().set(sim::gear_left_pos, 0.0);
    bed.sim().set(sim::gear_right_pos, 0.0);
    bed.tick(10);
    EXPECT_EQ(bed.sent_count(key::gear_down), 10);
    EXPECT_EQ(bed.sent_count(key::flaps_set), 10);
    EXPECT_EQ(bed.sent_count(key::sim_toggle_10306), 0) << "the toggle goes once on entering";
    // Yellow back on ram air: the toggle once more, and nothing else.
    bed.sim().set(sim::ias_kt, 200.0);
    bed.tick(120);
    EXPECT_EQ(bed.sent_count(key::sim_toggle_10306), 1);
    EXPECT_GT(shared.hyd_yellow_status, 0);
    bed.tick(5);
    EXPECT_FALSE(bed.sent(key::gear_down));
    EXPECT_FALSE(bed.sent(key::sim_toggle_10306));
}

TEST_F(Hydraulics, a_later_double_loss_captures_the_gear_anew) {
    bed.sim().set(sim::gear_left_pos, 16384.0);
    bed.tick();  // everything lost from the start: gear captured down
    EXPECT_TRUE(bed.sent(key::gear_down));
    engines(60, 60);
    bed.tick(60);
    bed.sim().set(sim::gear_left_pos, 0.0);
    engines(0, 0);
    shared.hyd_ptu_blue_green_sw = 0;
    bed.tick(200);
    EXPECT_TRUE(bed.sent(key::gear_up));
}

TEST_F(Hydraulics, a_double_loss_on_the_ground_below_80_knots_sends_the_ground_command) {
    shared.hyd_blue_press = 3000;  // blue alone keeps the total-loss command away
    shared.hyd_ptu_blue_green_sw = 0;
    engines(60, 0);
    shared.hyd_pump_green_eng1 = 0;
    bed.sim().set(sim::on_ground, 1.0);
    bed.sim().set(sim::ias_kt, 40.0);
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::sim_command_1004c), 1);
    bed.sim().set(sim::ias_kt, 80.0);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::sim_command_1004c));
    bed.sim().set(sim::ias_kt, 40.0);
    bed.sim().set(sim::on_ground, 0.999);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::sim_command_1004c));
}

TEST_F(Hydraulics, losing_yellow_and_blue_drops_the_yaw_dampers_every_tick) {
    shared.yaw_damper_1_engaged = 1;
    shared.yaw_damper_2_engaged = 1;
    bed.tick();
    // The hydraulic panel drops the pair; the yaw damper panel then finds them off and says so too.
    EXPECT_EQ(bed.sent_count(key::yaw_damper_pair_disengage), 2);
    EXPECT_EQ(bed.sent_count(key::sim_command_10211), 1);
    EXPECT_EQ(shared.yaw_damper_1_engaged, 0);
    EXPECT_EQ(shared.yaw_damper_2_engaged, 0);
}

TEST_F(Hydraulics, total_loss_neutralises_elevator_and_trim_every_tick) {
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::elevator_set), 3);
    EXPECT_EQ(bed.sent_count(key::elevator_trim_set), 3);
    EXPECT_EQ(bed.sent_count(key::sim_command_1004c), 3);
    engines(60, 0);
    bed.tick(60);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::elevator_set));
    EXPECT_FALSE(bed.sent(key::sim_command_10211)) << "blue is back";
}

TEST_F(Hydraulics, pressure_needles_never_show_more_than_4000_psi) {
    shared.hyd_green_press = 5000;
    bed.tick();
    EXPECT_EQ(bed.value("tarvenol hydrau_ind_press_green_t418", "pressure_needle"), shared.hyd_green_press * 1.0);
    EXPECT_LE(shared.hyd_green_press, 4000u);
}

TEST_F(Hydraulics, the_green_reservoir_feeds_the_gear) {
    const char* baches = "tarvenol hydrau_baches_t418";
    bed.sim().set(sim::gear_right_pos, 0.0);
    bed.tick(10);
    EXPECT_EQ(bed.value(baches, "green_tank_needle"), 76.0);
    bed.sim().set(sim::gear_right_pos, 16384.0);
    bed.tick(2);
    EXPECT_EQ(bed.value(baches, "green_tank_needle"), 74.0);
    bed.tick(10);
    EXPECT_EQ(bed.value(baches, "green_tank_needle"), 72.0);
    EXPECT_EQ(bed.value(baches, "blue_tank_needle"), 55.0);
    EXPECT_EQ(bed.value(baches, "yellow_tank_needle"), 70.0);
}

TEST_F(Hydraulics, nonsense_speeds_leave_the_systems_defined) {
    engines(std::nan(""), std::numeric_limits<double>::infinity());
    bed.sim().set(sim::ias_kt, -1e300);
    bed.sim().set(sim::flap_pos, std::nan(""));
    bed.sim().set(sim::gear_left_pos, 1e300);
    bed.tick(100);
    EXPECT_LE(shared.hyd_yellow_press, 3000u);
    EXPECT_LE(shared.hyd_blue_press, 3000u);
}

}  // namespace
}  // namespace tarvenol::testing
