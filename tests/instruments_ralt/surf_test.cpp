// The surface position indicator: markers of the elevator, ailerons, stabiliser, rudder and
// spoilers, the display toggles, the stabiliser take-off configuration light and warning.
#include <cmath>
#include <limits>

#include "instruments.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kSurf = "tarvenol surf_ind_t418";

class SurfaceIndicator : public PositionInstruments {
protected:
    void trim_deg(double deg) { sim(sim::protection_angle_rad, deg * 3.14116 / 180.0); }
    double marker(const char* name) { return bed.value(kSurf, name); }
    bool lit(const char* light) { return bed.shown(kSurf, light); }
};

TEST_F(SurfaceIndicator, elevator_aileron_and_rudder_markers_follow_the_surfaces) {
    sim(sim::elevator_pos, 1000.0);
    sim(sim::aileron_pos, 2000.0);
    sim(sim::rudder_pos, -3000.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(marker("elevator_marker"), -1.411);
    EXPECT_DOUBLE_EQ(marker("aileron_l_marker"), 0.0011043 * 2000.0);
    EXPECT_DOUBLE_EQ(marker("aileron_r_marker"), -0.0011043 * 2000.0);
    EXPECT_DOUBLE_EQ(marker("rudder_marker"), 0.0013497 * -3000.0);
    sim(sim::elevator_pos, -1000.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(marker("elevator_marker"), 0.6135);
}

TEST_F(SurfaceIndicator, spoilers_at_16300_read_25_in_the_air_and_36_on_the_ground) {
    sim(sim::spoiler_left_pos, 16300.0);
    sim(sim::spoiler_right_pos, 8150.0);
    sim(sim::on_ground, 0.0);
    bed.tick();
    EXPECT_NEAR(marker("spoiler_l_marker"), -25.0, 1e-4);
    EXPECT_NEAR(marker("spoiler_r_marker"), -12.5, 1e-4);
    sim(sim::on_ground, 1.0);
    bed.tick();
    EXPECT_NEAR(marker("spoiler_l_marker"), -36.0, 1e-4);
}

TEST_F(SurfaceIndicator, the_stabiliser_marker_and_tape_follow_the_trim_angle) {
    trim_deg(2.0);
    bed.tick();
    EXPECT_NEAR(marker("stab_marker"), -3.2, 1e-9);
    EXPECT_NEAR(marker("stab_tape"), 13.0, 1e-9);
    trim_deg(-1.0);
    bed.tick();
    EXPECT_NEAR(marker("stab_marker"), 1.8, 1e-9);
    EXPECT_NEAR(marker("stab_tape"), 16.0, 1e-9);
}

TEST_F(SurfaceIndicator, without_ac_bus_2_every_marker_holds) {
    sim(sim::elevator_pos, 1000.0);
    sim(sim::spoiler_left_pos, 16300.0);
    trim_deg(2.0);
    bed.tick();
    ac_2 = 0;
    sim(sim::elevator_pos, 0.0);
    sim(sim::spoiler_left_pos, 0.0);
    trim_deg(0.0);
    bed.tick(2);
    EXPECT_DOUBLE_EQ(marker("elevator_marker"), -1.411);
    EXPECT_NEAR(marker("spoiler_l_marker"), -25.0, 1e-4);
    EXPECT_NEAR(marker("stab_marker"), -3.2, 1e-9);
}

TEST_F(SurfaceIndicator, the_aileron_mode_shows_zero_while_the_low_speed_ailerons_are_disconnected) {
    sim(sim::aileron_pos, 1000.0);
    bed.click(kSurf, "ail_mode");
    bed.tick();
    EXPECT_TRUE(lit("ail_mode_light"));
    EXPECT_EQ(marker("aileron_l_marker"), 0.0);
    EXPECT_EQ(marker("aileron_r_marker"), 0.0);
    sim(sim::flap_handle, 1.0);  // flaps out: the low-speed ailerons connect
    bed.tick(2);
    EXPECT_DOUBLE_EQ(marker("aileron_l_marker"), 1.1043);
    dc = 0;
    bed.tick();
    EXPECT_FALSE(lit("ail_mode_light"));
    dc = 1;
    sim(sim::flap_handle, 0.0);
    bed.click(kSurf, "ail_mode");
    bed.tick();
    EXPECT_FALSE(lit("ail_mode_light"));
    EXPECT_DOUBLE_EQ(marker("aileron_l_marker"), 1.1043);
}

TEST_F(SurfaceIndicator, the_stab_column_toggles_between_marker_and_numeric_tape_silently) {
    const auto clicks = snd::mixer::state("CLICK").play_once_requests;
    bed.tick();
    EXPECT_TRUE(bed.shown(kSurf, "stab_marker"));
    EXPECT_FALSE(bed.shown(kSurf, "stab_tape"));
    EXPECT_FALSE(bed.shown(kSurf, "stab_tape_pointer"));
    bed.click(kSurf, "stab_column");
    bed.tick();
    EXPECT_FALSE(bed.shown(kSurf, "stab_marker"));
    EXPECT_TRUE(bed.shown(kSurf, "stab_tape"));
    EXPECT_TRUE(bed.shown(kSurf, "stab_tape_pointer"));
    bed.click(kSurf, "stab_column");
    bed.tick();
    EXPECT_TRUE(bed.shown(kSurf, "stab_marker"));
    EXPECT_EQ(snd::mixer::state("CLICK").play_once_requests, clicks);
}

TEST_F(SurfaceIndicator, trim_at_4_degrees_on_the_ground_lights_the_config_light_and_warns_at_97_n1) {
    sim(sim::on_ground, 1.0);
    trim_deg(4.0);
    bed.tick();
    EXPECT_TRUE(lit("stab_config_light"));
    EXPECT_EQ(shared.mw_surf_config, 0);
    sim(sim::eng1_n1_pct, 97.0);
    bed.tick();
    EXPECT_EQ(shared.mw_surf_config, 1);
    sim(sim::eng1_n1_pct, 0.0);
    sim(sim::eng2_n1_pct, 97.0);
    trim_deg(-1.6);
    bed.tick();
    EXPECT_EQ(shared.mw_surf_config, 1);
    trim_deg(-1.4);
    bed.tick();
    EXPECT_FALSE(lit("stab_config_light"));
    EXPECT_EQ(shared.mw_surf_config, 0);
    trim_deg(4.0);
    sim(sim::on_ground, 0.0);
    bed.tick();
    EXPECT_FALSE(lit("stab_config_light")) << "in the air";
    EXPECT_EQ(shared.mw_surf_config, 0);
    sim(sim::on_ground, 1.0);
    dc = 0;
    bed.tick();
    EXPECT_FALSE(lit("stab_config_light"));
    EXPECT_EQ(shared.mw_surf_config, 0);
}

TEST_F(SurfaceIndicator, the_lamp_test_lights_both_lights_only_with_the_dc_bus) {
    shared.ann_lt_sel = 2;  // ANN LT selector at TEST
    bed.tick();
    EXPECT_TRUE(lit("ail_mode_light"));
    EXPECT_TRUE(lit("stab_config_light"));
    dc = 0;
    bed.tick();
    EXPECT_FALSE(lit("ail_mode_light"));
    EXPECT_FALSE(lit("stab_config_light"));
}

TEST_F(SurfaceIndicator, nonsense_surface_values_leave_the_warning_clear) {
    sim(sim::on_ground, 1.0);
    sim(sim::protection_angle_rad, std::nan(""));
    sim(sim::eng1_n1_pct, std::numeric_limits<double>::infinity());
    sim(sim::spoiler_left_pos, 1e300);
    bed.tick();
    EXPECT_EQ(shared.mw_surf_config, 0);
    EXPECT_FALSE(lit("stab_config_light"));
}

}  // namespace
}  // namespace tarvenol::testing
