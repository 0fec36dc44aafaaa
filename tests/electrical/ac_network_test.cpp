// The AC network: generator loads and GEN OFF lights, the TEST spring-back, the transfer
// contactors and AC buses, the APU generator, the AC essential bus with its static inverter and
// the AC fault.
#include "electrics.h"

namespace tarvenol::testing {
namespace {

class AcNetwork : public Electrics {};

TEST_F(AcNetwork, two_generators_feed_their_own_buses) {
    with_engine_generators();
    EXPECT_EQ(shared.gen_1_load, 50);
    EXPECT_EQ(shared.gen_2_load, 50);
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 0);
    EXPECT_EQ(shared.ac_bus_tie_2_closed, 0);
    EXPECT_EQ(shared.ac_bus_1_powered, 1);
    EXPECT_EQ(shared.ac_bus_2_powered, 1);
    EXPECT_EQ(shared.ac_ess_bus_normal, 1);
    EXPECT_EQ(shared.ac_ess_on_inverter, 0);
    EXPECT_EQ(shared.ac_fault, 0);
    EXPECT_FALSE(shown(kGenPanel, "gen_1_off_light"));
    EXPECT_TRUE(shown(kAcPanel, "transf_1_bar.cross_line"));
    EXPECT_TRUE(shown(kAcPanel, "emerg_bar.cross_line"));
    EXPECT_EQ(value(kLoadMeter1, "gen_1_load_needle"), 50.0);
}

TEST_F(AcNetwork, a_generator_needs_its_switch_on_and_its_engine_at_10_percent_n1) {
    with_generators_on();
    engine_1_n1(9.9);
    engine_2_n1(10.0);
    tick(2);
    EXPECT_EQ(shared.gen_1_load, 0);
    EXPECT_EQ(shared.gen_2_load, 50);
    EXPECT_TRUE(shown(kGenPanel, "gen_1_off_light"));
    EXPECT_EQ(shared.gen_1_off_warn, 1);
    bed.click(kGenPanel, "gen_1.off");
    tick();
    EXPECT_TRUE(shown(kGenPanel, "gen_1_off_light"));
    EXPECT_EQ(shared.gen_1_off_warn, 0);  // only with the switch ON
}

TEST_F(AcNetwork, generator_1_failed_hands_bus_1_to_generator_2_through_both_contactors) {
    with_engine_generators();
    shared.fail_gen_1 = 1;
    tick(3);
    EXPECT_EQ(shared.gen_1_load, 0);
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 1);
    EXPECT_EQ(shared.ac_bus_tie_2_closed, 1);
    EXPECT_EQ(shared.ac_bus_1_powered, 1);
    EXPECT_EQ(shared.gen_2_load, 100);
    EXPECT_EQ(shared.gen_1_off_warn, 1);
    EXPECT_TRUE(shown(kAcPanel, "transf_2_bar.in_line"));
    EXPECT_EQ(value(kLoadMeter2, "gen_2_load_needle"), 100.0);
}

TEST_F(AcNetwork, with_transf_1_off_a_failed_generator_1_leaves_bus_1_dead) {
    with_engine_generators();
    bed.click(kAcPanel, "transf_1.off");
    shared.fail_gen_1 = 1;
    tick(3);
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 0);
    EXPECT_EQ(shared.ac_bus_1_powered, 0);
    EXPECT_EQ(shared.ac_fault, 1);
    EXPECT_TRUE(shown(kAcPanel, "ac_bus_1_off_light"));
}

TEST_F(AcNetwork, transfer_contactors_see_the_bus_flags_of_the_previous_tick) {
    with_engines_running();
    bed.click(kGenPanel, "gen_2.on");
    tick();
    EXPECT_EQ(shared.gen_2_load, 50);  // the generator panel ticks after the AC panel
    tick();
    EXPECT_EQ(shared.ac_bus_2_powered, 1);
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 0);  // it still saw bus 2 dead
    EXPECT_EQ(shared.ac_bus_1_powered, 0);
    tick();
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 1);
    EXPECT_EQ(shared.ac_bus_tie_2_closed, 1);
    EXPECT_EQ(shared.ac_bus_1_powered, 1);
}

TEST_F(AcNetwork, the_ac_fault_clears_once_both_buses_and_the_normal_essential_feed_are_back) {
    with_engines_running();
    bed.click(kAcPanel, "transf_2.off");
    bed.click(kGenPanel, "gen_1.on");
    tick(6);
    EXPECT_EQ(shared.ac_bus_2_powered, 0);
    EXPECT_EQ(shared.ac_fault, 1);
    bed.click(kAcPanel, "transf_2.norm");
    tick(3);
    EXPECT_EQ(shared.ac_bus_2_powered, 1);
    EXPECT_EQ(shared.ac_fault, 0);
}

TEST_F(AcNetwork, the_apu_generator_alone_feeds_both_buses_through_the_tie) {
    with_apu_running();
    bed.click(kGenPanel, "apu_gen.on");
    tick(3);
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 1);
    EXPECT_EQ(shared.ac_bus_tie_2_closed, 1);
    EXPECT_EQ(shared.apu_gen_avail, 100);
    EXPECT_EQ(shared.apu_gen_load, 100);
    EXPECT_EQ(shared.ac_bus_2_powered, 1);
    EXPECT_FALSE(shown(kGenPanel, "apu_gen_off_light"));
}

TEST_F(AcNetwork, the_apu_generator_takes_the_bus_of_a_stopped_engine_only) {
    with_apu_running();
    bed.click(kGenPanel, "apu_gen.on");
    bed.click(kGenPanel, "gen_2.on");
    engine_2_n1(30.0);
    tick(4);
    EXPECT_EQ(shared.ac_bus_tie_1_closed, 1);
    EXPECT_EQ(shared.ac_bus_tie_2_closed, 0);
    EXPECT_EQ(shared.apu_gen_avail, 50);
    EXPECT_EQ(shared.apu_gen_load, 50);
}

TEST_F(AcNetwork, an_apu_generator_feeding_nothing_shows_apu_gen_off) {
    with_apu_running();
    with_engine_generators();
    bed.click(kGenPanel, "apu_gen.on");
    tick(3);
    EXPECT_EQ(shared.apu_gen_load, 0);
    EXPECT_TRUE(shown(kGenPanel, "apu_gen_off_light"));
    EXPECT_EQ(shared.apu_gen_off_warn, 1);
}

// --- GEN TEST ------------------------------------------------------------------------------------

TEST_F(AcNetwork, gen_test_holds_for_27_ticks_and_springs_back_to_on) {
    with_engine_generators();
    bed.click(kGenPanel, "gen_1.test");
    EXPECT_EQ(shared.gen_1_ctl_sw, 3);
    tick();
    EXPECT_EQ(shared.gen_1_load, 0);
    EXPECT_TRUE(shown(kGenPanel, "gen_1_ctl_sw.test"));
    EXPECT_FALSE(shown(kGenPanel, "gen_1_off_light"));
    EXPECT_EQ(value(kLoadMeter1, "gen_1_load_needle"), 50.0);
    tick(26);
    EXPECT_EQ(shared.gen_1_ctl_sw, 3);
    tick();
    EXPECT_EQ(shared.gen_1_ctl_sw, 1);
    tick();
    EXPECT_TRUE(shown(kGenPanel, "gen_1_ctl_sw.on"));
    EXPECT_EQ(shared.gen_1_load, 50);
}

TEST_F(AcNetwork, gen_test_from_off_springs_back_to_off_and_a_second_click_makes_it_return_to_on) {
    bed.click(kGenPanel, "apu_gen.test");
    EXPECT_EQ(shared.apu_gen_ctl_sw, 2);
    tick(28);
    EXPECT_EQ(shared.apu_gen_ctl_sw, 0);
    bed.click(kGenPanel, "gen_2.test");
    tick(5);
    bed.click(kGenPanel, "gen_2.test");
    EXPECT_EQ(shared.gen_2_ctl_sw, 3);
    tick(23);
    EXPECT_EQ(shared.gen_2_ctl_sw, 1);
}

TEST_F(AcNetwork, test_clicks_every_time_the_other_positions_only_on_a_change) {
    const auto before = clicks_played();
    bed.click(kGenPanel, "gen_1.test");
    bed.click(kGenPanel, "gen_1.test");
    EXPECT_EQ(clicks_played(), before + 2);
    bed.click(kGenPanel, "gen_1.on");
    bed.click(kGenPanel, "gen_1.on");
    EXPECT_EQ(clicks_played(), before + 3);
}

TEST_F(AcNetwork, one_timer_serves_all_three_switches) {
    bed.click(kGenPanel, "gen_1.test");
    tick(10);
    bed.click(kGenPanel, "gen_2.test");
    tick(18);
    EXPECT_EQ(shared.gen_1_ctl_sw, 0);
    EXPECT_EQ(shared.gen_2_ctl_sw, 2);  // waited for generator 1's timer, then started its own
    tick(26);
    EXPECT_EQ(shared.gen_2_ctl_sw, 2);
    tick();
    EXPECT_EQ(shared.gen_2_ctl_sw, 0);
}

// --- AC essential bus ------------------------------------------------------------------------------

class AcEssentialBus : public Electrics {
protected:
    void feed(int position) {
        for (int at = shared.ac_ess_feed_sel; at > position; --at) bed.click(kAcPanel, "ac_ess_feed.down");
        for (int at = shared.ac_ess_feed_sel; at < position; ++at) bed.click(kAcPanel, "ac_ess_feed.up");
    }
};

TEST_F(AcEssentialBus, without_ac_it_runs_on_the_inverter_from_the_dc_essential_bus) {
    tick(2);
    EXPECT_EQ(shared.ac_ess_bus_normal, 0);
    EXPECT_EQ(shared.ac_ess_on_inverter, 1);
    EXPECT_EQ(shared.ac_ess_bus_powered, 1);
    EXPECT_EQ(shared.ac_fault, 1);
    EXPECT_TRUE(shown(kAcPanel, "ac_ess_bus_off_light"));
    EXPECT_TRUE(shown(kAcPanel, "emerg_bar.in_line"));
    EXPECT_FALSE(shown(kAcPanel, "ac_bus_1_off_light"));  // no DC normal bus to light it
}

TEST_F(AcEssentialBus, emrg_inv_with_the_dc_essential_bus_powered_is_normal_and_on_the_inverter_at_once) {
    with_engine_generators();
    feed(4);
    tick(2);
    EXPECT_EQ(shared.ac_ess_bus_normal, 1);
    EXPECT_EQ(shared.ac_ess_on_inverter, 1);
    EXPECT_EQ(shared.ac_fault, 0);
    EXPECT_TRUE(shown(kAcPanel, "emerg_bar.in_line"));
    EXPECT_FALSE(shown(kAcPanel, "ac_ess_bus_off_light"));
}

TEST_F(AcEssentialBus, emrg_inv_without_the_dc_essential_bus_leaves_it_dead_and_no_fault) {
    with_batteries_off();
    feed(4);
    tick(2);
    EXPECT_EQ(shared.ac_ess_bus_powered, 0);
    EXPECT_EQ(shared.ac_fault, 0);
}

TEST_F(AcEssentialBus, each_feed_position_takes_its_own_source) {
    with_engines_running();
    bed.click(kGenPanel, "gen_1.on");
    tick(6);
    feed(0);  // GEN 2: stopped
    tick();
    EXPECT_EQ(shared.ac_ess_on_inverter, 1);
    feed(1);  // GEN 1
    tick();
    EXPECT_EQ(shared.ac_ess_bus_normal, 1);
    feed(3);  // APU GEN
    tick();
    EXPECT_EQ(shared.ac_ess_on_inverter, 1);
    with_apu_running();
    bed.click(kGenPanel, "apu_gen.on");
    tick(2);
    EXPECT_EQ(shared.ac_ess_bus_normal, 1);
    EXPECT_EQ(shared.ac_ess_on_inverter, 0);
}

}  // namespace
}  // namespace tarvenol::testing
