// The flap indicator: breakpoints, tapes on hydraulic power, the selection marker, the clacker, the
// take-off configuration warning and the KRUG, SPEED BRAKE, CONFIG and ASYM lights.
#include <cmath>
#include <limits>

#include "instruments.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kFlaps = "tarvenol flaps_ind_t418";

class FlapIndicator : public PositionInstruments {
protected:
    void flaps(double f) {
        sim(sim::flap_pos, f);
        sim(sim::flap_pos_2, f);
    }
    double flap_tape() { return bed.value(kFlaps, "flap_tape"); }
    double slat_tape() { return bed.value(kFlaps, "slat_tape"); }
    bool lit(const char* light) { return bed.shown(kFlaps, light); }
};

TEST_F(FlapIndicator, publishes_the_flap_breakpoints_every_tick_powered_or_not) {
    dc = ac_1 = ac_2 = 0;
    bed.tick();
    EXPECT_EQ(shared.flap_step_1_raw, 2048);
    EXPECT_EQ(shared.flap_step_2_raw, 6144);
    EXPECT_EQ(shared.flap_step_3_raw, 10240);
}

TEST_F(FlapIndicator, the_tapes_follow_the_flap_position_run_by_run) {
    struct Case {
        double f, flap, slat;
    };
    const Case cases[] = {
        {0.0, 82.0, 2.0},
        {1024.0, 82.0, 1.5},
        {2048.0, 82.0, 1.0},
        {4096.0, 68.0, 1.0},
        {6144.0, 39.0 + 29.0 * 2048.0 / 4096.0, 1.0},
        {8192.0, 44.0, 1.0},
        {12000.0, 34.0 * 14540.0 / 6060.0 - 57.0, 1.0 - 1760.0 / 6060.0},
        {16300.0, 34.0 * 10240.0 / 6060.0 - 57.0, 0.0},
        {16301.0, 0.0, 0.0},
    };
    for (const Case& c : cases) {
        flaps(c.f);
        bed.tick();
        EXPECT_DOUBLE_EQ(flap_tape(), c.flap) << "F = " << c.f;
        EXPECT_NEAR(slat_tape(), c.slat, 1e-12) << "F = " << c.f;
    }
}

TEST_F(FlapIndicator, the_tapes_stand_without_hydraulics_and_the_slats_without_green) {
    flaps(4096.0);
    bed.tick();
    green = 0;
    flaps(12000.0);
    bed.tick();
    EXPECT_NEAR(flap_tape(), 34.0 * 14540.0 / 6060.0 - 57.0, 1e-12) << "yellow moves the flaps";
    EXPECT_EQ(slat_tape(), 1.0) << "the slats need green";
    yellow = 0;
    flaps(0.0);
    bed.tick();
    EXPECT_NEAR(flap_tape(), 34.0 * 14540.0 / 6060.0 - 57.0, 1e-12);
    green = yellow = 1;
    ac_2 = 0;
    bed.tick();
    EXPECT_NEAR(flap_tape(), 34.0 * 14540.0 / 6060.0 - 57.0, 1e-12) << "no AC bus 2";
    ac_2 = 1;
    dc = 0;
    bed.tick();
    EXPECT_NEAR(flap_tape(), 34.0 * 14540.0 / 6060.0 - 57.0, 1e-12) << "no DC essential bus";
    dc = 1;
    bed.tick();
    EXPECT_EQ(flap_tape(), 82.0);
    EXPECT_EQ(slat_tape(), 2.0);
}

TEST_F(FlapIndicator, the_selection_marker_stands_at_the_selected_detent_on_ac_bus_2) {
    const double selections[] = {5999.0, 6000.0, 9999.0, 10000.0, 13999.0, 14000.0, 16383.0};
    const double markers[] = {0.0, 29.0, 29.0, 48.0, 48.0, 82.0, 82.0};
    for (int i = 0; i < 7; ++i) {
        sim(sim::flap_handle, selections[i]);
        bed.tick();
        EXPECT_EQ(bed.value(kFlaps, "flap_sel_marker"), markers[i]) << selections[i];
    }
    ac_2 = 0;
    sim(sim::flap_handle, 0.0);
    bed.tick();
    EXPECT_EQ(bed.value(kFlaps, "flap_sel_marker"), 82.0);
}

TEST_F(FlapIndicator, the_clacker_sounds_above_the_placard_of_each_flap_run) {
    struct Case {
        double f, placard;
    };
    const Case cases[] = {{1.0, 250.0}, {2048.0, 250.0}, {3000.0, 215.0}, {6144.0, 215.0},
                          {8000.0, 205.0}, {10240.0, 205.0}, {10241.0, 180.0}, {16300.0, 180.0}};
    for (const Case& c : cases) {
        flaps(c.f);
        sim(sim::ias_kt, c.placard);
        bed.tick();
        EXPECT_EQ(shared.clacker_req, 0) << c.f;
        sim(sim::ias_kt, c.placard + 0.1);
        bed.tick();
        EXPECT_EQ(shared.clacker_req, 1) << c.f;
    }
    flaps(3000.0);
    sim(sim::ias_kt, 220.0);
    dc = 0;
    bed.tick();
    EXPECT_EQ(shared.clacker_req, 0) << "without the DC essential bus";
    flaps(0.5);
    dc = 1;
    bed.tick();
    EXPECT_EQ(shared.clacker_req, 0) << "flaps up";
}

TEST_F(FlapIndicator, flaps_beyond_take_off_on_the_ground_light_config_and_warn_with_take_off_thrust) {
    sim(sim::on_ground, 1.0);
    flaps(12000.0);
    sim(sim::eng2_n1_pct, 98.0);
    bed.tick();
    EXPECT_TRUE(lit("config_light"));
    EXPECT_EQ(shared.mw_flaps_config, 1);
    sim(sim::eng2_n1_pct, 96.9);
    sim(sim::eng1_n1_pct, 96.9);
    bed.tick();
    EXPECT_TRUE(lit("config_light"));
    EXPECT_EQ(shared.mw_flaps_config, 0);
    sim(sim::eng1_n1_pct, 97.0);
    sim(sim::on_ground, 0.0);
    bed.tick();
    EXPECT_FALSE(lit("config_light"));
    EXPECT_EQ(shared.mw_flaps_config, 0);
    sim(sim::on_ground, 1.0);
    flaps(10241.0);
    bed.tick();
    EXPECT_FALSE(lit("config_light")) << "10241 is still a take-off setting";
    sim(sim::spoiler_right_pos, 501.0);
    bed.tick();
    EXPECT_EQ(shared.mw_flaps_config, 1) << "a spoiler out";
    dc = 0;
    bed.tick();
    EXPECT_EQ(shared.mw_flaps_config, 0);
    EXPECT_FALSE(lit("config_light"));
}

TEST_F(FlapIndicator, asym_lights_from_a_difference_of_exactly_3200) {
    sim(sim::flap_pos, 8200.0);
    sim(sim::flap_pos_2, 5000.0);
    bed.tick();
    EXPECT_TRUE(lit("asym_light"));
    sim(sim::flap_pos_2, 5001.0);
    bed.tick();
    EXPECT_FALSE(lit("asym_light"));
    sim(sim::flap_pos_2, 11400.0);
    bed.tick();
    EXPECT_TRUE(lit("asym_light"));
}

TEST_F(FlapIndicator, krug_flashes_4_ticks_on_4_off_while_the_slats_travel_and_restarts_every_80) {
    flaps(1000.0);
    bed.tick();
    const double start = counter();
    EXPECT_TRUE(lit("krug_light"));
    EXPECT_EQ(var("krug_cycle_start"), start);
    bed.tick(3);
    EXPECT_TRUE(lit("krug_light"));
    bed.tick();
    EXPECT_FALSE(lit("krug_light")) << "phase start + 4";
    bed.tick(3);
    EXPECT_FALSE(lit("krug_light"));
    bed.tick();
    EXPECT_TRUE(lit("krug_light")) << "phase start + 8";
    EXPECT_EQ(var("krug_phase_start"), start + 8);
    bed.tick(67);  // start + 75: lit since start + 72
    EXPECT_TRUE(lit("krug_light"));
    bed.tick();
    EXPECT_FALSE(lit("krug_light"));
    EXPECT_EQ(var("slat_transit"), 1.0);
    bed.tick(4);
    EXPECT_FALSE(lit("krug_light")) << "the cycle ends";
    EXPECT_EQ(var("slat_transit"), 0.0);
    EXPECT_EQ(var("krug_started"), 0.0);
    bed.tick();
    EXPECT_TRUE(lit("krug_light")) << "a new cycle while the slats still move";
    EXPECT_EQ(var("krug_cycle_start"), start + 81);
}

TEST_F(FlapIndicator, krug_flashes_on_and_ends_its_cycle_when_the_counter_jumps_past_the_marks) {
    flaps(1000.0);
    sim(sim::tick_counter, 199.0);  // the host counts one more before the frame
    bed.tick();
    EXPECT_TRUE(lit("krug_light"));
    sim(sim::tick_counter, 205.0);  // 204 skipped
    bed.tick();
    EXPECT_FALSE(lit("krug_light"));
    sim(sim::tick_counter, 210.0);  // 208 skipped
    bed.tick();
    EXPECT_TRUE(lit("krug_light"));
    EXPECT_EQ(var("krug_phase_start"), 211.0);
    sim(sim::tick_counter, 289.0);  // the end of the cycle at 280 skipped
    bed.tick();
    EXPECT_FALSE(lit("krug_light")) << "the cycle ends";
    EXPECT_EQ(var("krug_started"), 0.0);
    bed.tick();
    EXPECT_TRUE(lit("krug_light")) << "a new cycle while the slats still move";
    EXPECT_EQ(var("krug_cycle_start"), 291.0);
}

TEST_F(FlapIndicator, krug_is_steady_with_the_slats_out_and_dark_with_them_in) {
    flaps(4096.0);
    bed.tick();
    EXPECT_TRUE(lit("krug_light"));
    bed.tick(10);
    EXPECT_TRUE(lit("krug_light"));
    flaps(2047.5);  // between travel and out
    bed.tick();
    EXPECT_FALSE(lit("krug_light"));
    flaps(0.0);
    bed.tick();
    EXPECT_FALSE(lit("krug_light"));
}

TEST_F(FlapIndicator, speed_brake_lights_with_a_spoiler_out_and_the_lever_up_and_holds_without_hydraulics) {
    sim(sim::spoiler_left_pos, 1.0);
    sim(sim::spoiler_handle, 1.0);
    bed.tick();
    EXPECT_TRUE(lit("speed_brake_light"));
    yellow = 0;
    blue = 0;
    sim(sim::spoiler_handle, 0.0);
    bed.tick();
    EXPECT_TRUE(lit("speed_brake_light")) << "the light keeps its state";
    blue = 1;
    bed.tick();
    EXPECT_FALSE(lit("speed_brake_light"));
    sim(sim::spoiler_handle, 0.99);
    bed.tick();
    EXPECT_FALSE(lit("speed_brake_light"));
}

TEST_F(FlapIndicator, the_lamp_test_lights_all_four_and_the_dc_bus_darkens_them) {
    sim(sim::on_ground, 0.0);
    flaps(1000.0);
    bed.tick();
    shared.ann_lt_sel = 2;  // ANN LT selector at TEST
    bed.tick(5);
    for (const char* light : {"krug_light", "speed_brake_light", "config_light", "asym_light"})
        EXPECT_TRUE(lit(light)) << light;
    dc = 0;
    bed.tick();
    for (const char* light : {"krug_light", "speed_brake_light", "config_light", "asym_light"})
        EXPECT_FALSE(lit(light)) << light;
    EXPECT_EQ(var("slat_transit"), 0.0);
    EXPECT_EQ(var("krug_started"), 0.0);
}

TEST_F(FlapIndicator, nonsense_flap_positions_leave_the_tapes_where_they_were) {
    flaps(4096.0);
    bed.tick();
    flaps(std::nan(""));
    sim(sim::ias_kt, std::nan(""));
    bed.tick();
    EXPECT_EQ(flap_tape(), 68.0);
    EXPECT_EQ(slat_tape(), 1.0);
    EXPECT_EQ(shared.clacker_req, 0);
    flaps(std::numeric_limits<double>::infinity());
    bed.tick();
    EXPECT_EQ(flap_tape(), 0.0);
    flaps(-1e300);
    bed.tick();
    EXPECT_EQ(flap_tape(), 82.0);
}

}  // namespace
}  // namespace tarvenol::testing
