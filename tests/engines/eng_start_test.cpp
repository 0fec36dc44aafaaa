// Engine start: the start master and its self-test, start windows with the starter held every tick,
// start air from the APU, ground power or the other engine, and the HP levers.
#include "power.h"
#include "sound/mixer.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kPanel = "tarvenol eng_start_t418";

class EngineStart : public ::testing::Test {
protected:
    TestBed bed;
    // Power and start air held for every gauge, whatever the electrical panels and the APU compute.
    void SetUp() override {
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = 1;
            shared.dc_bus_powered = 1;
            shared.apu_bleed_avail = apu_air;
            shared.ext_pwr_on = ground_air;
        };
        bed.tick();
    }
    void air_from_apu() { shared.apu_bleed_avail = apu_air = 1; }
    u8 apu_air = 0;
    u8 ground_air = 0;
    void arm_and_wait_for_self_test() {
        bed.click(kPanel, "arm");
        bed.tick(271);
        ASSERT_EQ(shared.eng_start_master, 4);
    }
    void select_start_a() { bed.click(kPanel, "selector.left"); }
    u8 sel() { return static_cast<u8>(read_var(*find_var("eng_start_sel"))); }
};

TEST_F(EngineStart, the_selector_starts_at_crank_and_steps_within_its_six_positions) {
    EXPECT_EQ(sel(), 2);
    for (int i = 0; i < 5; ++i) bed.click(kPanel, "selector.right");
    EXPECT_EQ(sel(), 5);
    for (int i = 0; i < 7; ++i) bed.click(kPanel, "selector.left");
    EXPECT_EQ(sel(), 0);
}

TEST_F(EngineStart, arm_runs_a_15_second_self_test_that_refuses_start_presses) {
    air_from_apu();
    select_start_a();
    const auto clicks = snd::mixer::state("CLICK").play_once_requests;
    bed.click(kPanel, "arm");
    EXPECT_EQ(snd::mixer::state("CLICK").play_once_requests, clicks + 1);
    bed.tick();
    EXPECT_EQ(shared.eng_start_master, 3);
    EXPECT_TRUE(bed.shown(kPanel, "eng_1_button_light"));
    bed.click(kPanel, "eng_1");
    EXPECT_EQ(shared.eng_1_start_state, 2) << "refused during the self-test";
    bed.tick(269);
    EXPECT_EQ(shared.eng_start_master, 3);
    bed.tick();
    EXPECT_EQ(shared.eng_start_master, 4);
    EXPECT_EQ(shared.eng_1_start_state, 0);
    EXPECT_FALSE(bed.shown(kPanel, "eng_1_button_light"));
    EXPECT_TRUE(bed.shown(kPanel, "arm_engaged"));
    bed.click(kPanel, "eng_1");
    EXPECT_EQ(shared.eng_1_start_state, 1);
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::eng1_starter_held), 3);
    EXPECT_FALSE(bed.sent(key::eng2_starter_held));
}

TEST_F(EngineStart, crank_refuses_the_start_buttons) {
    air_from_apu();
    arm_and_wait_for_self_test();
    bed.click(kPanel, "eng_2");
    EXPECT_EQ(shared.eng_2_start_state, 0);
}

TEST_F(EngineStart, a_start_needs_air) {
    select_start_a();
    arm_and_wait_for_self_test();
    bed.click(kPanel, "eng_1");
    EXPECT_EQ(shared.eng_1_start_state, 0);
    shared.ext_pwr_on = ground_air = 1;  // the ground supply comes with external power
    bed.click(kPanel, "eng_1");
    EXPECT_EQ(shared.eng_1_start_state, 1);
}

TEST_F(EngineStart, a_running_engine_cross_starts_the_other) {
    select_start_a();
    arm_and_wait_for_self_test();
    bed.sim().set(sim::eng2_n1_pct, 25.0);
    bed.sim().set(sim::eng2_n2_pct, 60.0);
    bed.click(kPanel, "eng_1");
    EXPECT_EQ(shared.eng_1_start_state, 1);
    bed.tick(5);
    EXPECT_EQ(bed.sent_count(key::eng1_starter_held), 5);
}

TEST_F(EngineStart, the_window_ends_at_40_percent_n2_and_the_master_returns_to_1_when_both_run) {
    air_from_apu();
    select_start_a();
    arm_and_wait_for_self_test();
    bed.click(kPanel, "eng_2");
    bed.tick(10);
    bed.sim().set(sim::eng2_n2_pct, 40.1);
    bed.tick();
    EXPECT_EQ(shared.eng_2_start_state, 0);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::eng2_starter_held));
    EXPECT_EQ(shared.eng_start_master, 4);
    bed.click(kPanel, "eng_1");
    bed.sim().set(sim::eng1_n2_pct, 41.0);
    bed.tick();
    EXPECT_EQ(shared.eng_start_master, 1);
    bed.click(kPanel, "eng_1");
    EXPECT_EQ(shared.eng_1_start_state, 0) << "refused until the master is cycled";
    bed.click(kPanel, "start_abort");
    bed.click(kPanel, "arm");
    EXPECT_EQ(shared.eng_start_master, 2);
}

TEST_F(EngineStart, a_start_that_does_not_reach_40_percent_in_55_seconds_is_abandoned) {
    air_from_apu();
    select_start_a();
    arm_and_wait_for_self_test();
    bed.click(kPanel, "eng_1");
    bed.tick(990);
    EXPECT_EQ(bed.sent_count(key::eng1_starter_held), 990);
    EXPECT_EQ(shared.eng_1_start_state, 1);
    bed.tick();  // the 991st tick reaches the deadline
    EXPECT_FALSE(bed.sent(key::eng1_starter_held));
    EXPECT_EQ(shared.eng_1_start_state, 0);
}

TEST_F(EngineStart, losing_air_mid_start_leaves_the_old_window_armed_so_the_next_press_times_out_at_once) {
    air_from_apu();
    select_start_a();
    arm_and_wait_for_self_test();
    bed.click(kPanel, "eng_1");
    bed.tick(10);
    apu_air = 0;
    bed.tick();
    EXPECT_EQ(shared.eng_1_start_state, 0);
    air_from_apu();
    bed.tick(1000);  // long past the old deadline
    bed.click(kPanel, "eng_1");
    bed.tick();
    EXPECT_EQ(shared.eng_1_start_state, 0) << "timed out on the old deadline";
    EXPECT_FALSE(bed.sent(key::eng1_starter_held));
    bed.click(kPanel, "eng_1");
    bed.tick();
    EXPECT_EQ(shared.eng_1_start_state, 1);
    EXPECT_TRUE(bed.sent(key::eng1_starter_held));
}

TEST_F(EngineStart, start_abort_clears_both_starts) {
    air_from_apu();
    select_start_a();
    arm_and_wait_for_self_test();
    bed.click(kPanel, "eng_1");
    bed.click(kPanel, "eng_2");
    bed.click(kPanel, "start_abort");
    EXPECT_EQ(shared.eng_start_master, 0);
    EXPECT_EQ(shared.eng_1_start_state, 0);
    EXPECT_EQ(shared.eng_2_start_state, 0);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::eng1_starter_held));
    EXPECT_FALSE(bed.sent(key::eng2_starter_held));
}

TEST_F(EngineStart, the_start_valve_lamp_follows_the_simulator_starter_below_45_percent) {
    bed.sim().set(sim::eng1_starter, 1.0);
    bed.sim().set(sim::eng1_n2_pct, 30.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kPanel, "eng_1_start_valve_light"));
    bed.sim().set(sim::eng1_n2_pct, 45.0);
    bed.tick();
    EXPECT_FALSE(bed.shown(kPanel, "eng_1_start_valve_light"));
}

class HpLevers : public ::testing::Test {
protected:
    TestBed bed;
};

TEST_F(HpLevers, take_their_first_position_from_the_simulator_mixture) {
    hold_buses(bed, true);
    bed.sim().set(sim::eng1_mixture, 8000.0);
    bed.sim().set(sim::eng2_mixture, 7999.0);
    bed.tick();
    EXPECT_EQ(shared.hp_lever_1, 1);
    EXPECT_EQ(shared.hp_lever_2, 0);
    EXPECT_EQ(bed.sent_count(key::eng1_mixture_rich), 1);
    EXPECT_EQ(bed.sent_count(key::eng2_mixture_lean), 1);
    bed.sim().set(sim::eng2_mixture, 16384.0);  // read on the first tick only
    bed.tick(3);
    EXPECT_EQ(shared.hp_lever_2, 0);
    EXPECT_EQ(bed.sent_count(key::eng2_mixture_lean), 3);
    bed.click("tarvenol hp_lev_2_t418", "lever");
    bed.tick();
    EXPECT_TRUE(bed.sent(key::eng2_mixture_rich));
    EXPECT_TRUE(bed.shown("tarvenol hp_lev_2_t418", "hp_lever_2.open"));
}

TEST_F(HpLevers, losing_the_battery_bus_cuts_fuel_to_both_engines) {
    bed.sim().set(sim::eng1_mixture, 16384.0);
    bed.sim().set(sim::eng2_mixture, 16384.0);
    hold_buses(bed, false);
    bed.tick(2);
    EXPECT_EQ(bed.sent_count(key::eng1_mixture_lean), 2);
    EXPECT_EQ(bed.sent_count(key::eng2_mixture_lean), 2);
    EXPECT_FALSE(bed.sent(key::eng1_mixture_rich));
}

}  // namespace
}  // namespace tarvenol::testing
