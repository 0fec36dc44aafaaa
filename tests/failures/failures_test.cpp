// The failure panel: arming and validation, the timed failures with their delays, countdowns and
// airspeed minimums, the engine and fire key events, the random failure's pick cycle, the airspeed
// and overspeed failures, the reset, and the presets leaving the other systems consistent.
#include <cmath>
#include <limits>
#include <string>

#include "testbed.h"
#include "module/module_state.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kPanel = "tarvenol failures_t418";

class Failures : public ::testing::Test {
protected:
    TestBed bed;

    void SetUp() override {
        bed.host().hold(sim::clock_s.token);
        set_clock(0.0);
    }
    void set_clock(double seconds) { bed.sim().set(sim::clock_s, seconds); }
    void click(const std::string& area) { bed.click(kPanel, area.c_str()); }
    static double var(const std::string& name) {
        const VarRef* ref = find_var(name);
        if (!ref) throw std::runtime_error("no variable " + name);
        return read_var(*ref);
    }
    static void set_var(const std::string& name, double value) {
        const VarRef* ref = find_var(name);
        if (!ref) throw std::runtime_error("no variable " + name);
        write_var(*ref, value);
    }
    // Arms the items (by area prefix, "f6"), lets the panel see them and validates them.
    void arm_and_validate(std::initializer_list<const char*> items) {
        for (const char* item : items) click(std::string(item) + ".arm");
        bed.tick();
        click("validate");
    }
    bool shown(const char* element) { return bed.shown(kPanel, element); }
};

TEST_F(Failures, arming_without_validating_lights_only_the_item_and_validate) {
    set_clock(600);
    click("f6.arm");
    EXPECT_EQ(var("fail_f6_arm"), 2);
    bed.tick(2);
    EXPECT_TRUE(shown("f6_light"));
    EXPECT_TRUE(shown("gen_group_light"));
    EXPECT_TRUE(shown("validate_light"));
    EXPECT_FALSE(shown("f7_light"));
    EXPECT_EQ(shared.fail_pending, 2);
    set_clock(100000);
    bed.tick(5);
    EXPECT_EQ(shared.fail_gen_1, 0);  // a delay of 0, long past: still nothing before validation

    click("validate");
    EXPECT_EQ(var("fail_f6_arm"), 1);
    EXPECT_EQ(var("fail_f6_valid_s"), 100000);
    bed.tick(2);
    EXPECT_EQ(shared.fail_gen_1, 1);
    EXPECT_EQ(shared.fail_pending, 0);
    EXPECT_FALSE(shown("validate_light"));
    EXPECT_TRUE(shown("f6_light"));
}

TEST_F(Failures, validate_before_the_panel_saw_the_arming_leaves_it_waiting) {
    click("f5.arm");
    click("validate");
    EXPECT_EQ(var("fail_f5_arm"), 2);
    bed.tick();
    EXPECT_EQ(shared.fail_pending, 2);
    click("validate");
    EXPECT_EQ(var("fail_f5_arm"), 1);
    bed.tick();
    EXPECT_EQ(shared.fail_apu, 1);
}

TEST_F(Failures, generator_1_counts_down_three_minutes_and_stays_failed_when_disarmed) {
    set_var("fail_f6_delay_min", 3);
    set_clock(600);
    arm_and_validate({"f6"});
    EXPECT_EQ(var("fail_f6_valid_s"), 600);
    const struct {
        double clock;
        const char* shows;
        int failed;
    } steps[] = {{600, "  3", 0}, {659, "  3", 0}, {660, "  2", 0}, {720, "  1", 0},
                 {779, "  1", 0}, {779.9, "  0", 0}, {780, "  0", 1}, {900, "  0", 1}};
    for (const auto& s : steps) {
        set_clock(s.clock);
        bed.tick();
        EXPECT_EQ(bed.text(kPanel, "f6_countdown"), s.shows) << "at " << s.clock;
        EXPECT_EQ(shared.fail_gen_1, s.failed) << "at " << s.clock;
    }
    click("f6.disarm");
    bed.tick(3);
    EXPECT_EQ(shared.fail_gen_1, 1);
    EXPECT_EQ(bed.text(kPanel, "f6_countdown"), "  3");  // disarmed: the delay again
}

TEST_F(Failures, each_timed_item_keeps_its_own_validation_time) {
    set_var("fail_f9_delay_min", 1);
    set_var("fail_f10_delay_min", 1);
    set_clock(100);
    arm_and_validate({"f9"});
    set_clock(200);
    arm_and_validate({"f10"});
    set_clock(160);
    bed.tick();
    EXPECT_EQ(shared.fail_hyd_green_pumps, 1);
    EXPECT_EQ(shared.fail_hyd_yellow_pump, 0);
    set_clock(259);
    bed.tick();
    EXPECT_EQ(shared.fail_hyd_yellow_pump, 0);
    set_clock(260);
    bed.tick();
    EXPECT_EQ(shared.fail_hyd_yellow_pump, 1);
}

TEST_F(Failures, validation_time_is_exact_after_eighteen_hours) {
    set_var("fail_f5_delay_min", 2);
    set_clock(70000.7);
    arm_and_validate({"f5"});
    EXPECT_EQ(var("fail_f5_valid_s"), 70000);
    set_clock(70060);
    bed.tick();
    EXPECT_EQ(bed.text(kPanel, "f5_countdown"), "  1");
    set_clock(70119);
    bed.tick();
    EXPECT_EQ(shared.fail_apu, 0);
    set_clock(70120);
    bed.tick();
    EXPECT_EQ(shared.fail_apu, 1);
}

TEST_F(Failures, an_odd_clock_leaves_the_countdown_defined_and_fails_nothing) {
    set_var("fail_f7_delay_min", 4);
    arm_and_validate({"f7"});
    for (double clock : {std::nan(""), -5.0, -std::numeric_limits<double>::infinity()}) {
        set_clock(clock);
        bed.tick();
        EXPECT_EQ(shared.fail_gen_2, 0) << clock;
    }
    set_clock(std::nan(""));
    click("f8.arm");
    bed.tick();
    click("validate");
    EXPECT_EQ(var("fail_f8_valid_s"), 0);
}

TEST_F(Failures, engine_items_wait_for_their_minimum_airspeed) {
    set_var("fail_f1_min_ias_kt", 200);
    arm_and_validate({"f1"});
    bed.sim().set(sim::ias_kt, 199.9);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::eng1_failure_set));
    bed.sim().set(sim::ias_kt, 200);
    bed.tick(3);
    EXPECT_EQ(bed.sent_count(key::eng1_failure_set), 3);  // every tick while due
    EXPECT_EQ(bed.sent_value(key::eng1_failure_set), 1u);
    bed.sim().set(sim::ias_kt, std::nan(""));
    bed.tick();
    EXPECT_FALSE(bed.sent(key::eng1_failure_set));
}

TEST_F(Failures, engine_1_fire_sets_the_fire_and_fails_the_engine_and_the_fire_stays) {
    bed.sim().set(sim::eng1_failure, 1.0);
    bed.tick();
    EXPECT_EQ(bed.sent_value(key::eng1_failure_set), 0u);  // not armed: the failure is reset
    arm_and_validate({"f2"});
    bed.tick();
    EXPECT_EQ(shared.eng_1_fire, 1);
    EXPECT_EQ(bed.sent_count(key::eng1_failure_set), 1);
    EXPECT_EQ(bed.sent_value(key::eng1_failure_set), 1u);
    click("f2.disarm");
    bed.sim().set(sim::eng1_failure, 0.0);
    bed.tick(2);
    EXPECT_EQ(shared.eng_1_fire, 1);
    EXPECT_FALSE(bed.sent(key::eng1_failure_set));
}

TEST_F(Failures, engine_2_items_send_fire_and_resets_as_armed) {
    bed.tick();
    EXPECT_TRUE(bed.sent(key::eng2_fire_stop));  // F4 not armed: the fire reset every tick
    EXPECT_FALSE(bed.sent(key::eng2_failure_set));
    bed.sim().set(sim::eng2_failure, 1.0);
    bed.tick();
    EXPECT_EQ(bed.sent_value(key::eng2_failure_set), 0u);

    arm_and_validate({"f3", "f4"});
    bed.tick(2);
    EXPECT_EQ(bed.sent_count(key::eng2_fire_start), 2);
    EXPECT_FALSE(bed.sent(key::eng2_fire_stop));
    EXPECT_EQ(bed.sent_count(key::eng2_failure_set), 2);
    EXPECT_EQ(bed.sent_value(key::eng2_failure_set), 1u);  // F3; F4 armed sends no reset
}

TEST_F(Failures, an_engine_2_fire_reported_by_the_simulator_arms_f4_which_keeps_the_fire_burning) {
    shared.fail_eng_2_fire_arm = 1;  // as the master warning panel sets it on variable 15
    bed.tick();
    EXPECT_TRUE(bed.sent(key::eng2_fire_start));
    EXPECT_FALSE(bed.sent(key::eng2_fire_stop));
}

TEST_F(Failures, delay_and_airspeed_buttons_stop_at_0_and_wrap_at_255) {
    const char* values[][2] = {{"f1_delay", "fail_f1_delay_min"}, {"f1_ias", "fail_f1_min_ias_kt"},
                               {"f2_delay", "fail_f2_delay_min"}, {"f2_ias", "fail_f2_min_ias_kt"},
                               {"f3_delay", "fail_f3_delay_min"}, {"f3_ias", "fail_f3_min_ias_kt"},
                               {"f4_delay", "fail_f4_delay_min"}, {"f4_ias", "fail_f4_min_ias_kt"},
                               {"f5_delay", "fail_f5_delay_min"}, {"f6_delay", "fail_f6_delay_min"},
                               {"f7_delay", "fail_f7_delay_min"}, {"f8_delay", "fail_f8_delay_min"},
                               {"f9_delay", "fail_f9_delay_min"}, {"f10_delay", "fail_f10_delay_min"}};
    for (const auto& v : values) {
        const std::string button = v[0];
        click(button + ".minus");
        EXPECT_EQ(var(v[1]), 0) << button;
        click(button + ".plus");
        click(button + ".plus");
        EXPECT_EQ(var(v[1]), 2) << button;
        click(button + ".minus");
        EXPECT_EQ(var(v[1]), 1) << button;
        set_var(v[1], 255);
        click(button + ".plus");
        EXPECT_EQ(var(v[1]), 0) << button;
        set_var(v[1], 7);
    }
    bed.tick();
    for (const char* window : {"f1_countdown", "f1_min_ias", "f4_min_ias", "f10_countdown", "f5_countdown"})
        EXPECT_EQ(bed.text(kPanel, window), "  7") << window;
}

// Arms and validates the random failure at clock 0 and lets 56 s pass when the counter turns to `pick`.
class RandomFailure : public Failures {
protected:
    void pick_at_56_s(int pick) {
        arm_and_validate({"f11"});
        bed.tick(pick - 1);  // the counter runs 1, 2, 3 ... one a tick
        ASSERT_EQ(var("fail_random_counter"), pick - 1);
        set_clock(56);
        bed.tick(9);  // picked on the first of these ticks, acting on all nine
    }
};

TEST_F(RandomFailure, picks_the_counter_every_eighteen_minutes_from_56_s) {
    set_clock(55);
    arm_and_validate({"f11"});
    bed.tick(4);
    EXPECT_EQ(var("fail_random_pick"), 0);
    set_clock(56);
    bed.tick();
    EXPECT_EQ(var("fail_random_counter"), 5);
    EXPECT_EQ(var("fail_random_pick"), 5);
    EXPECT_EQ(var("fail_random_next_s"), 56 + 1080);
    EXPECT_EQ(var("fail_random_phase"), 1);
    EXPECT_EQ(shared.fail_gen_1, 1);
    set_clock(1135);
    bed.tick(3);
    EXPECT_EQ(var("fail_random_pick"), 5);
    set_clock(1136);
    bed.tick();
    EXPECT_EQ(var("fail_random_counter"), 9);
    EXPECT_EQ(var("fail_random_pick"), 9);
    EXPECT_EQ(var("fail_random_phase"), 0);
    EXPECT_EQ(shared.fail_hyd_yellow_pump, 1);
    EXPECT_EQ(shared.fail_gen_1, 1);  // earlier picks are not undone

    click("f11.disarm");
    bed.tick();
    EXPECT_EQ(var("fail_random_counter"), 0);
    EXPECT_EQ(var("fail_random_next_s"), 56);
}

TEST_F(RandomFailure, a_late_clock_catches_up_two_picks_a_tick) {
    set_clock(56 + 1080 * 3);
    arm_and_validate({"f11"});
    bed.tick();
    EXPECT_EQ(var("fail_random_next_s"), 56 + 1080 * 2);
    bed.tick();
    EXPECT_EQ(var("fail_random_next_s"), 56 + 1080 * 4);
    EXPECT_EQ(var("fail_random_pick"), 2);
}

struct PickEffect {
    int pick;
    KeyEvent key;  // id 0: none
    u32 value;
    u8 SharedState::*flag;
};
class RandomPick : public RandomFailure, public ::testing::WithParamInterface<PickEffect> {};

TEST_P(RandomPick, acts_every_tick) {
    const PickEffect& e = GetParam();
    pick_at_56_s(e.pick);
    EXPECT_EQ(var("fail_random_pick"), e.pick);
    if (e.key.id != 0) {
        EXPECT_EQ(bed.sent_count(e.key), 9);
        EXPECT_EQ(bed.sent_value(e.key), e.value);
    }
    if (e.flag) {
        EXPECT_EQ(shared.*e.flag, 1);
    }
    for (auto other : {&SharedState::fail_gen_1, &SharedState::fail_gen_2, &SharedState::fail_hyd_blue_pump,
                       &SharedState::fail_hyd_green_pumps, &SharedState::fail_hyd_yellow_pump, &SharedState::eng_1_fire})
        if (other != e.flag) {
            EXPECT_EQ(shared.*other, 0);
        }
}
INSTANTIATE_TEST_SUITE_P(
    Failures, RandomPick,
    ::testing::Values(PickEffect{1, key::eng1_failure_set, 1, nullptr},
                      PickEffect{2, key::eng1_failure_set, 1, &SharedState::eng_1_fire},
                      PickEffect{3, key::eng2_failure_set, 1, nullptr}, PickEffect{4, key::eng2_fire_start, 0, nullptr},
                      PickEffect{5, {}, 0, &SharedState::fail_gen_1}, PickEffect{6, {}, 0, &SharedState::fail_gen_2},
                      PickEffect{7, {}, 0, &SharedState::fail_hyd_blue_pump},
                      PickEffect{8, {}, 0, &SharedState::fail_hyd_green_pumps},
                      PickEffect{9, {}, 0, &SharedState::fail_hyd_yellow_pump}));

TEST_F(Failures, engine_2_fire_above_150_kt_and_the_overspeed_failures) {
    set_var("fail_p5_arm", 1);
    set_var("fail_p6_arm", 1);
    set_var("fail_f11_arm", 1);
    arm_and_validate({"f12"});
    bed.sim().set(sim::ias_kt, 150);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::eng2_fire_start));
    EXPECT_EQ(var("fail_p5_arm") + var("fail_p6_arm") + var("fail_f11_arm"), 0);
    bed.sim().set(sim::ias_kt, 150.1);
    bed.tick();
    EXPECT_TRUE(bed.sent(key::eng2_fire_start));
    click("f12.disarm");

    // The overspeed items read the main airspeed indicator's value, held here.
    double speed = 0.0;
    bed.host().before_each_gauge = [&speed] { shared.asi_speed_value = speed; };
    arm_and_validate({"f13"});
    const struct {
        double value;
        int gen_1;
        bool fire;
    } steps[] = {{599.9, 0, false}, {600, 1, false}, {749.9, 1, false}, {750, 1, true}};
    for (const auto& s : steps) {
        speed = s.value;
        bed.tick();
        EXPECT_EQ(shared.fail_gen_1, s.gen_1) << s.value;
        EXPECT_EQ(bed.sent(key::eng2_fire_start), s.fire) << s.value;
    }
}

TEST_F(Failures, reset_keeps_the_timed_failures_off_while_armed) {
    arm_and_validate({"f1", "f5", "f14"});
    bed.tick();
    for (const char* item : {"fail_eng_1_arm", "fail_f5_arm"}) EXPECT_EQ(var(item), 0) << item;
    EXPECT_EQ(var("fail_f14_arm"), 1);
    EXPECT_EQ(shared.fail_apu, 1);  // acted on its tick; a disarmed item leaves its flag
    click("f6.arm");
    bed.tick();
    EXPECT_EQ(var("fail_f6_arm"), 0);
    EXPECT_TRUE(shown("f14_light"));
}

TEST_F(Failures, the_pending_sums_can_hide_a_waiting_item) {
    arm_and_validate({"f5", "f6"});
    bed.tick(2);
    EXPECT_EQ(shared.fail_pending, 0);
    // Two validated items off (-2) and one newly armed (+2) between two ticks: the sums agree.
    click("f5.disarm");
    click("f6.disarm");
    click("f7.arm");
    bed.tick(2);
    EXPECT_EQ(shared.fail_pending, 0);
    EXPECT_FALSE(shown("validate_light"));
    EXPECT_EQ(var("fail_f7_arm"), 2);
}

TEST_F(Failures, close_toggles_the_failure_panel_window) {
    bed.host().set_window(10100, true);
    click("close");
    EXPECT_FALSE(bed.host().window_open(10100));
    click("close");
    EXPECT_TRUE(bed.host().window_open(10100));
}

// --- Presets ---------------------------------------------------------------------------------------

class Presets : public Failures {
protected:
    void engines(double n1_1, double n1_2, double n2_1, double n2_2) {
        bed.sim().set(sim::eng1_n1_pct, n1_1);
        bed.sim().set(sim::eng2_n1_pct, n1_2);
        bed.sim().set(sim::eng1_n2_pct, n2_1);
        bed.sim().set(sim::eng2_n2_pct, n2_2);
    }
    void preset(const char* item) {
        arm_and_validate({item});
        bed.tick();
    }
    static int batteries() { return shared.batt_1_sw + shared.batt_2_sw + shared.batt_3_sw; }
};

TEST_F(Presets, cold_and_dark_switches_everything_off_and_the_buses_die) {
    bed.sim().set(sim::on_ground, 1.0);
    set_var("fail_p5_arm", 2);  // validated together: cold and dark acts first and takes it off
    shared.hp_lever_1 = shared.hp_lever_2 = 1;
    shared.gen_1_ctl_sw = shared.apu_gen_ctl_sw = 1;
    preset("p2");
    EXPECT_EQ(var("fail_p2_arm"), 0);
    EXPECT_EQ(var("fail_p5_arm"), 0);
    EXPECT_EQ(batteries(), 0);
    EXPECT_EQ(shared.gen_1_ctl_sw + shared.gen_2_ctl_sw + shared.apu_gen_ctl_sw, 0);
    EXPECT_EQ(shared.hp_lever_1 + shared.hp_lever_2, 0);
    EXPECT_EQ(shared.hyd_ptu_blue_green_sw + shared.hyd_ptu_green_yellow_sw, 0);
    EXPECT_EQ(shared.tr_1_sw + shared.tr_2_sw + shared.tr_ess_sw, 3);
    EXPECT_EQ(shared.ac_ess_feed_sel, 2);
    bed.tick(36);
    EXPECT_EQ(shared.batt_bus_powered, 0);
    EXPECT_EQ(shared.ac_bus_1_powered, 0);
    EXPECT_EQ(batteries(), 0);  // nothing switches them back
}

TEST_F(Presets, ready_for_flight_on_the_ground_starts_the_apu_and_selects_its_generator_only_once_it_runs) {
    bed.sim().set(sim::on_ground, 1.0);
    set_clock(100);
    set_var("fail_f6_arm", 1);
    set_var("fail_p4_arm", 2);
    preset("p1");
    EXPECT_EQ(var("fail_p1_arm"), 0);
    EXPECT_EQ(var("fail_f6_arm"), 0);
    EXPECT_EQ(var("fail_p4_arm"), 0);
    EXPECT_EQ(batteries(), 3);
    EXPECT_EQ(shared.gen_1_ctl_sw + shared.gen_2_ctl_sw, 2);
    EXPECT_EQ(shared.apu_master_sw + shared.apu_start_sw, 2);
    EXPECT_EQ(shared.apu_gen_ctl_sw, 0);
    EXPECT_FALSE(bed.sent(key::apu_generator_set));
    EXPECT_EQ(shared.hyd_pump_blue_eng1, 100);
    EXPECT_EQ(shared.hp_lever_1 + shared.hp_lever_2, 0);

    // On the next ticks the batteries power the bus and the APU spools up on its own.
    bed.tick(400);
    EXPECT_EQ(shared.batt_bus_powered, 1);
    EXPECT_GE(shared.apu_n_pct, 50.0);
    EXPECT_EQ(shared.hyd_pump_blue_eng1, 200);  // the pump switch spooled to on
    EXPECT_EQ(shared.apu_gen_ctl_sw, 0);        // one shot: it does not come back for the generator

    preset("p1");
    EXPECT_EQ(shared.apu_gen_ctl_sw, 1);
    bed.tick(36);
    EXPECT_EQ(shared.ac_bus_1_powered, 1);
    EXPECT_EQ(shared.ac_bus_2_powered, 1);
}

TEST_F(Presets, ready_for_flight_with_engines_running_hands_over_from_the_apu) {
    engines(25, 25, 60, 60);
    shared.apu_n_pct = 100.0;
    preset("p1");
    EXPECT_EQ(bed.sent_value(key::apu_generator_set), 1u);  // selected, then off again with the engines on line
    EXPECT_EQ(shared.hp_lever_1 + shared.hp_lever_2, 2);
    EXPECT_EQ(shared.yaw_damper_1_engaged + shared.yaw_damper_2_engaged, 2);
    EXPECT_EQ(shared.pitch_trim_1_sw + shared.pitch_trim_2_sw, 2);
    EXPECT_EQ(shared.apu_gen_ctl_sw + shared.apu_master_sw + shared.apu_start_sw, 0);
}

TEST_F(Presets, electrical_restore_selects_the_engine_generators_with_both_engines_running) {
    engines(25, 25, 60, 60);
    set_var("fail_f7_arm", 1);
    set_var("fail_f8_arm", 1);
    shared.batt_1_sw = 0;
    shared.gen_1_line_sw = 0;
    shared.ac_ess_feed_sel = 4;
    preset("p3");
    EXPECT_EQ(var("fail_p3_arm"), 0);
    EXPECT_EQ(var("fail_f7_arm"), 0);
    EXPECT_EQ(var("fail_f8_arm"), 1);  // hydraulics are not its business
    EXPECT_EQ(batteries(), 3);
    EXPECT_EQ(shared.gen_1_line_sw, 1);
    EXPECT_EQ(shared.ac_ess_feed_sel, 2);
    EXPECT_EQ(shared.gen_1_ctl_sw + shared.gen_2_ctl_sw, 2);

    engines(10, 25, 5, 60);  // engine 1 stopped: the APU instead, generators left as they are
    shared.gen_1_ctl_sw = shared.gen_2_ctl_sw = 0;
    bed.tick();  // re-armed on the very next tick the sums would hide it (validated sum not yet lowered)
    preset("p3");
    EXPECT_EQ(shared.apu_master_sw + shared.apu_start_sw, 2);
    EXPECT_EQ(shared.gen_1_ctl_sw + shared.gen_2_ctl_sw, 0);
    EXPECT_EQ(shared.hp_lever_2, 1);
}

TEST_F(Presets, apu_start_switches_master_and_start_and_the_apu_runs_up) {
    shared.batt_1_sw = 0;
    set_var("fail_f5_arm", 2);  // validated with it, but taken off before it acts
    preset("p4");
    EXPECT_EQ(var("fail_p4_arm"), 0);
    EXPECT_EQ(var("fail_f5_arm"), 0);
    EXPECT_EQ(shared.apu_master_sw + shared.apu_start_sw, 2);
    EXPECT_EQ(shared.batt_1_sw, 0);
    bed.tick(300);
    EXPECT_EQ(shared.apu_bleed_avail, 1);
}

TEST_F(Presets, electrical_normal_stays_armed_and_picks_the_essential_feed) {
    // Every gauge's view of the buses and generators is held, so the preset sees each case.
    struct Case {
        u8 ac_bus_1;
        i32 gen_1, gen_2, apu_gen;
        u8 ext_pwr;
        u8 feed;
    };
    const Case cases[] = {{1, 0, 0, 0, 0, 2},   {0, 50, 0, 0, 0, 1}, {0, 49, 100, 0, 0, 0},
                          {0, 0, 0, 50, 0, 3},  {0, 0, 0, 0, 1, 3},  {0, 0, 49, 49, 0, 4}};
    Case now = cases[0];
    bool normal = false;
    bed.host().before_each_gauge = [&] {
        shared.batt_bus_powered = 1;
        shared.ac_ess_bus_normal = normal;
        shared.ac_bus_1_powered = now.ac_bus_1;
        shared.gen_1_load = now.gen_1;
        shared.gen_2_load = now.gen_2;
        shared.apu_gen_avail = now.apu_gen;
        shared.ext_pwr_on = now.ext_pwr;
    };
    preset("p5");
    for (const Case& c : cases) {
        now = c;
        shared.ac_ess_feed_sel = 9;
        bed.tick();
        EXPECT_EQ(shared.ac_ess_feed_sel, c.feed) << int(c.gen_1) << " " << int(c.gen_2);
    }
    normal = true;
    shared.ac_ess_feed_sel = 1;
    bed.tick();
    EXPECT_EQ(shared.ac_ess_feed_sel, 1);  // a normal essential bus is left on its feed
    EXPECT_EQ(var("fail_p5_arm"), 1);

    engines(25, 25, 60, 60);
    shared.apu_master_sw = 1;
    bed.tick();
    EXPECT_EQ(shared.gen_1_ctl_sw + shared.gen_2_ctl_sw, 2);
    EXPECT_EQ(shared.apu_master_sw + shared.apu_start_sw, 0);
    engines(25, 19.9, 60, 40);
    shared.apu_n_pct = 60.0;  // the APU gauge runs it down a little before the panel's tick
    bed.tick();
    EXPECT_EQ(shared.gen_1_ctl_sw, 1);
    EXPECT_EQ(shared.gen_2_ctl_sw, 0);
    EXPECT_EQ(shared.apu_master_sw + shared.apu_start_sw, 2);
    EXPECT_EQ(shared.apu_gen_ctl_sw, 1);

    // It takes the generator failures off on every tick, before they could act and clear it.
    arm_and_validate({"f6"});
    bed.tick();
    EXPECT_EQ(var("fail_f6_arm"), 0);
    EXPECT_EQ(var("fail_p5_arm"), 1);
    arm_and_validate({"f13"});
    bed.tick();
    EXPECT_EQ(var("fail_p5_arm"), 0);
}

TEST_F(Presets, hydraulic_normal_runs_the_electric_pumps_while_engines_are_stopped) {
    const struct {
        double on_ground;
        double n1_1, n1_2;
        u8 pumps;
    } cases[] = {{1.0, 25, 25, 0}, {1.0, 25, 19.9, 1}, {1.0, 0, 0, 1},
                 {0.0, 25, 19.9, 0}, {0.0, 19.9, 19.9, 1}, {0.0, 25, 25, 0}};
    preset("p6");
    for (const auto& c : cases) {
        bed.sim().set(sim::on_ground, c.on_ground);
        engines(c.n1_1, c.n1_2, 0, 0);
        bed.tick();
        EXPECT_EQ(shared.hyd_elec_pump_1_sw, c.pumps) << c.on_ground << " " << c.n1_1 << " " << c.n1_2;
        EXPECT_EQ(shared.hyd_elec_pump_2_sw, c.pumps);
    }
    EXPECT_EQ(shared.hyd_ptu_blue_green_sw + shared.hyd_ptu_green_yellow_sw, 2);
    arm_and_validate({"f12"});
    bed.tick();
    EXPECT_EQ(var("fail_p6_arm"), 0);
}

TEST_F(Presets, one_shot_presets_act_in_order_and_clear_each_other) {
    // Ready for flight and cold and dark validated together: ready for flight acts and clears the other.
    arm_and_validate({"p1", "p2"});
    bed.tick();
    EXPECT_EQ(var("fail_p1_arm") + var("fail_p2_arm"), 0);
    EXPECT_EQ(batteries(), 3);
}

}  // namespace
}  // namespace tarvenol::testing
