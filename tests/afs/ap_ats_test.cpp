// The autothrottle: the speed selector on the simulator's airspeed reference, the arm switch and
// its trips with the autothrottle-off warning, SPEED and N1 modes, the N1 throttle steps, the
// go-around and its end, and the retard in LAND dual.
#include <limits>

#include "afs.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kApAts = "tarvenol ap_ats_t418";
constexpr double kTakeoffFlaps = 4096.0;  // between flap steps 1 and 2

class ApAts : public Afs {
public:
    ApAts() {
        sim(sim::on_ground, 0.0);
        n1(80.0, 80.0);
        sim(sim::gear_nose_pos, 16384.0);
        sim(sim::flap_pos, kTakeoffFlaps);
        bed.host().before_each_gauge = [this, held = bed.host().before_each_gauge] {
            held();
            if (margin) shared.trp_n1_margin = *margin;
            if (rating) shared.trp_mode = *rating;
            if (appr_mode) shared.appr_mode = *appr_mode;
        };
        press("arm.on");
        bed.tick();
    }
    std::optional<double> margin;
    std::optional<u8> rating;
    std::optional<u8> appr_mode;

    void press(const char* area) {
        bed.host().before_each_gauge();
        bed.click(kApAts, area);
    }
    void n1(double e1, double e2) {
        sim(sim::eng1_n1_pct, e1);
        sim(sim::eng2_n1_pct, e2);
    }
    void throttles(double t1, double t2) {
        sim(sim::eng1_throttle, t1);
        sim(sim::eng2_throttle, t2);
    }
    // Both throttle commands of the last tick, when both were sent once.
    std::optional<i32> command() {
        const auto t1 = values(key::throttle1_set);
        const auto t2 = values(key::throttle2_set);
        if (t1.size() != 1 || t2 != t1) return std::nullopt;
        return t1[0];
    }
};

TEST_F(ApAts, the_speed_selector_follows_the_simulator_reference_within_0_to_400_kt) {
    struct Case {
        double reference;
        i32 sel;
    };
    const Case cases[] = {{250.9, 250}, {-3.0, 0}, {1e12, 400}, {std::numeric_limits<double>::quiet_NaN(), 0},
                          {401.0, 400}};
    for (const Case& c : cases) {
        sim(sim::ap_airspeed_ref_kt, c.reference);
        bed.tick();
        EXPECT_EQ(shared.ats_speed_sel, c.sel) << c.reference;
    }
    sim(sim::ap_airspeed_ref_kt, 395.0);
    bed.tick();
    press("spd_coarse.up");
    EXPECT_EQ(values(key::ap_airspeed_ref), std::vector<i32>{400});
    sim(sim::ap_airspeed_ref_kt, 0.0);
    bed.tick();
    press("spd_fine.down");
    EXPECT_EQ(values(key::ap_airspeed_ref), std::vector<i32>{0});
    press("spd_coarse.up");
    press("spd_fine.up");
    EXPECT_EQ(values(key::ap_airspeed_ref), (std::vector<i32>{0, 10, 11}));
    sim(sim::ap_airspeed_ref_kt, 11.0);
    for (int i = 0; i < 40; ++i) bed.tick();
    EXPECT_DOUBLE_EQ(bed.value(kApAts, "spd_tens_drum"), 1.0);
    EXPECT_DOUBLE_EQ(bed.value(kApAts, "spd_units_drum"), 1.0);
}

TEST_F(ApAts, speed_mode_engages_only_armed_and_airborne) {
    press("speed");
    EXPECT_EQ(shared.athr_mode, 1);
    bed.tick();
    EXPECT_TRUE(bed.sent(key::ap_airspeed_hold_on));
    EXPECT_TRUE(bed.shown(kApAts, "speed_light"));
    press("speed");
    EXPECT_EQ(shared.athr_mode, 2);
    shared.athr_mode = 0;
    sim(sim::on_ground, 1.0);
    press("speed");
    EXPECT_EQ(shared.athr_mode, 2);
    // The captain's normal equipment lost: an engaged SPEED disconnects.
    sim(sim::on_ground, 0.0);
    shared.athr_mode = 0;
    press("speed");
    norm_eqpt = 0;
    bed.tick();
    EXPECT_EQ(shared.athr_mode, 2);
    EXPECT_TRUE(bed.sent(key::ap_airspeed_hold_off));
}

TEST_F(ApAts, the_arm_switch_arms_the_simulator_autothrottle_and_trips_without_supplies) {
    bed.tick();
    EXPECT_EQ(values(key::autothrottle_arm), std::vector<i32>{1});
    // An engine not yet above 25 %: the first tick disarms, the next ones arm again.
    n1(80.0, 25.0);
    bed.tick();
    EXPECT_EQ(values(key::autothrottle_arm), std::vector<i32>{0});
    bed.tick();
    EXPECT_EQ(values(key::autothrottle_arm), std::vector<i32>{1});
    // AC bus 1 lost: the switch trips, the warning stays until a throttle moves.
    throttles(5000.0, 5000.0);
    power = 0;
    bed.tick();
    EXPECT_EQ(shared.ats_arm_sw, 2);
    EXPECT_EQ(values(key::autothrottle_arm), std::vector<i32>{0});
    EXPECT_TRUE(bed.sent(key::ap_airspeed_hold_off));
    power = 1;
    bed.tick(5);
    EXPECT_EQ(shared.mw_ats_fault, 1);
    sim(sim::eng1_throttle, 5002.0);
    bed.tick();
    EXPECT_EQ(shared.mw_ats_fault, 1);
    sim(sim::eng1_throttle, 5003.0);
    bed.tick();
    EXPECT_EQ(shared.mw_ats_fault, 0);
    press("arm.on");
    EXPECT_EQ(shared.ats_arm_sw, 1);
    bed.tick();
    EXPECT_EQ(shared.mw_ats_fault, 0);
    EXPECT_TRUE(bed.shown(kApAts, "arm.on"));
}

TEST_F(ApAts, n1_mode_engaged_near_its_target_holds_the_throttles_where_they_stand) {
    rating = 5;
    throttles(9000.0, 8800.0);
    const double margins[] = {0.1, -25.0};
    for (double m : margins) {
        margin = m;
        shared.ats_n1_mode = 0;
        rating = m < -20.0 ? 1 : 5;
        bed.tick();
        press("n1");
        ASSERT_EQ(shared.ats_n1_mode, 1);
        bed.tick();
        EXPECT_EQ(command(), 9000) << m;
    }
}

TEST_F(ApAts, a_margin_of_minus_12_raises_the_throttles_by_150_then_waits_18_ticks) {
    rating = 5;
    margin = -12.0;
    throttles(6000.0, 6100.0);
    press("n1");
    bed.tick();
    EXPECT_EQ(command(), 6150);
    EXPECT_TRUE(bed.shown(kApAts, "n1_light"));
    for (int i = 1; i < 18; ++i) {
        bed.tick();
        ASSERT_EQ(command(), 6150) << i;
    }
    throttles(6150.0, 6150.0);  // the simulator moved them
    bed.tick();
    EXPECT_EQ(command(), 6300);  // the model moved the throttles
    // Take-off type ratings take the second step from engine 2's throttle.
    rating = 1;
    shared.ats_n1_mode = 0;
    bed.tick(20);
    throttles(6000.0, 6100.0);
    press("n1");
    bed.tick();
    EXPECT_EQ(command(), 6250);
}

TEST_F(ApAts, the_n1_step_table_by_margin) {
    struct Row {
        double margin;
        i32 step;
        bool waits;
    };
    const Row rows[] = {{-25.0, 200, true}, {-10.0, 50, true},  {-5.0, 50, true},   {-4.9, 25, true},
                        {-1.0, 25, true},   {-0.6, 10, true},   {-0.5, 10, true},   {-0.2, 5, true},
                        {-0.15, 5, true},   {0.0, 0, false},    {0.15, -5, true},   {0.5, -10, true},
                        {1.0, -50, true},   {5.0, -50, true},   {5.1, -150, true},  {10.0, -150, true},
                        {10.1, -10, false}, {std::numeric_limits<double>::quiet_NaN(), 0, false}};
    rating = 4;
    for (const Row& r : rows) {
        shared.ats_n1_mode = 0;
        throttles(8000.0, 8000.0);
        margin = r.margin;
        bed.tick(20);  // any step left from the last row has passed
        press("n1");
        bed.tick();
        EXPECT_EQ(command(), 8000 + r.step) << r.margin;
        // A waiting step holds its command; otherwise the next one comes from the throttles as
        // they stand now (the dead band follows the crew's levers).
        throttles(7000.0, 7000.0);
        bed.tick();
        const i32 next = r.waits ? 8000 + r.step : 7000 + r.step;
        EXPECT_EQ(command(), next) << r.margin << ", next tick";
    }
}

TEST_F(ApAts, an_engine_below_20_percent_drops_n1_mode_and_trips_the_switch) {
    rating = 5;
    margin = 0.0;
    press("n1");
    bed.tick();
    n1(80.0, 19.9);
    bed.tick();
    EXPECT_EQ(shared.ats_n1_mode, 0);
    EXPECT_EQ(shared.ats_arm_sw, 2);
    bed.tick();
    EXPECT_EQ(shared.mw_ats_fault, 1);
    // The N1 button needs both engines above 20 % and the switch on.
    press("arm.on");
    n1(80.0, 20.0);
    press("n1");
    EXPECT_EQ(shared.ats_n1_mode, 0);
}

TEST_F(ApAts, the_go_around_rating_needs_flaps_gear_and_air_and_starts_the_go_around) {
    rating = 3;
    margin = 0.0;
    struct Case {
        const char* what;
        double flaps;
        double gear;
        double ground;
        u8 engages;
    };
    const Case cases[] = {
        {"flaps short", 2037.0, 16384.0, 0.0, 0},
        {"gear up", kTakeoffFlaps, 0.5, 0.0, 0},
        {"on ground", kTakeoffFlaps, 16384.0, 1.0, 0},
        {"ready", 2038.0, 1.0, 0.0, 1},
    };
    bed.tick();  // the flap indicator publishes its steps
    for (const Case& c : cases) {
        shared.ats_n1_mode = 0;
        sim(sim::flap_pos, c.flaps);
        sim(sim::gear_nose_pos, c.gear);
        sim(sim::on_ground, c.ground);
        press("n1");
        EXPECT_EQ(shared.ats_n1_mode, c.engages) << c.what;
    }
}

TEST_F(ApAts, go_around_from_a_climb_with_take_off_flaps_commands_3000_and_ends_with_a_new_mode) {
    rating = 3;
    margin = 0.0;
    engage();
    shared.ap_engaged = 3;
    appr_mode = 40;
    vs_fpm(2500.0);
    sim(sim::height_agl_m, 100.0);
    press("n1");
    appr_mode.reset();
    EXPECT_EQ(shared.appr_mode, 0);
    bed.tick();
    EXPECT_EQ(shared.afs_go_around, 1);
    EXPECT_EQ(shared.ap_vs_ref, 3000);
    // (The autopilot's pitch hold sends its own references earlier in the frame.)
    EXPECT_EQ(values(key::ap_altitude_ref_m).back(), 60000);
    EXPECT_EQ(values(key::ap_vs_ref).back(), 3000);
    EXPECT_EQ(shared.ap_engaged, 3);
    // Above 700 ft the dual autopilot becomes single.
    sim(sim::height_agl_m, 214.0);
    bed.tick();
    EXPECT_EQ(shared.ap_engaged, 1);
    // More flap: 1500; exactly 3000 with little flap keeps the last reference.
    sim(sim::flap_pos, 8000.0);
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 1500);
    sim(sim::flap_pos, kTakeoffFlaps);
    vs_fpm(3000.0);
    shared.vert_speed_fpm = 3000.0;
    bed.host().before_each_gauge = [held = bed.host().before_each_gauge] {
        held();
        shared.vert_speed_fpm = 3000.0;
    };
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 1500);
    // A heading selected ends the go-around.
    rating.reset();
    bed.click("tarvenol ap_hdg_t418", "hdg");
    bed.tick();
    EXPECT_EQ(shared.afs_go_around, 0);
    EXPECT_EQ(shared.ats_n1_mode, 0);
    EXPECT_EQ(shared.trp_mode, 0);
    EXPECT_EQ(var("ats_ga_initialised"), 0);
}

TEST_F(ApAts, land_dual_below_100_ft_retards_the_throttles_to_idle) {
    appr_mode = 40;
    ralt(99.0);
    throttles(120.0, 120.0);
    bed.tick();
    EXPECT_EQ(command(), 70);
    EXPECT_TRUE(bed.sent(key::ap_airspeed_hold_off));
    throttles(70.0, 70.0);  // as the simulator follows
    bed.tick();
    EXPECT_EQ(command(), 20);
    throttles(20.0, 20.0);
    bed.tick();
    EXPECT_EQ(command(), 0);  // never into reverse
    throttles(0.0, 0.0);
    bed.tick();
    EXPECT_EQ(command(), 0);
    // A lever held at 0.6 stops the retard; so does 100 ft.
    sim(sim::eng1_throttle_lever, 0.6);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::throttle1_set));
    sim(sim::eng1_throttle_lever, 0.0);
    ralt(100.0);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::throttle1_set));
}

}  // namespace
}  // namespace tarvenol::testing
