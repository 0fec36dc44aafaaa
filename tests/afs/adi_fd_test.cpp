// The flight director computer and the attitude indicators: intercept angles and course capture,
// heading error and bank steps, the glide-slope vertical-speed command, the station flags, the
// attitude failure and its master warning, the command bars and the spheres.
#include "afs.h"

namespace tarvenol::testing {
namespace {

class FlightDirector : public Afs {
protected:
    FlightDirector() {
        sim(sim::height_agl_m, 1000.0);
        sim(sim::nav1_gs_flag, 1.0);
    }
};

struct Intercept {
    double needle;
    i32 angle;
    i32 track;
};

TEST_F(FlightDirector, the_intercept_angle_follows_the_localizer_needle_band_by_band) {
    // Localizer window 117: thresholds 117, 39, 26, 17.33, 8.67, 5.78 (no hysteresis yet).
    const Intercept cases[] = {
        {120.0, 0, 200}, {117.0, 20, 110}, {39.5, 20, 110}, {39.0, 15, 105}, {26.0, 10, 100}, {17.0, 5, 95},
        {8.0, 1, 91},    {5.0, 0, 90},     {-100.0, 20, 70}, {-30.0, 15, 75}, {0.0, 0, 200},
    };
    station(kLocalizerStation | kGlideSlopeStation);
    sim(sim::nav1_obs_deg, 90.0);
    sim(sim::heading_deg, 200.0);
    for (const Intercept& c : cases) {
        set_var("fd_hyst_a", 0);
        set_var("fd_hyst_b", 0);
        sim(sim::nav1_cdi, c.needle);
        bed.tick();
        EXPECT_EQ(shared.fd_intercept, c.angle) << c.needle;
        EXPECT_EQ(shared.fd_track_cmd, c.track) << c.needle;
    }
}

TEST_F(FlightDirector, a_needle_inside_the_window_captures_with_nav_armed_and_the_signal_lost_releases) {
    click("channel_1");
    station(kLocalizerStation);
    shared.nav_mode = 1;  // written by the heading panel
    sim(sim::nav1_cdi, 120.0);
    sim(sim::heading_deg, 45.0);
    bed.tick();
    EXPECT_EQ(shared.nav_captured, 0);
    EXPECT_EQ(shared.fd_track_cmd, 45) << "outside the window the present heading is kept";
    sim(sim::nav1_cdi, 100.0);
    bed.tick();
    EXPECT_EQ(shared.nav_captured, 1);
    station(kLocalizerStation, 0.0);
    bed.tick();
    EXPECT_EQ(shared.nav_captured, 0);
}

struct Step {
    double error;
    i32 bank_step;
};

TEST_F(FlightDirector, the_heading_error_gives_the_bank_step) {
    const Step cases[] = {{12.0, 10}, {4.0, 2},  {1.0, 0},   {15.0, 10}, {16.0, 25}, {10.0, 10}, {5.0, 5},
                          {3.0, 2},   {2.0, 1},  {-12.0, -10}, {-16.0, -25}, {-2.0, -1}, {-4.0, -2}};
    // A centred needle on a localizer: intercept 0, the course to fly is the course itself.
    station(kLocalizerStation | kGlideSlopeStation);
    sim(sim::nav1_cdi, 3.0);  // inside T6: intercept 0, track = course
    for (const Step& c : cases) {
        sim(sim::nav1_obs_deg, 100.0);
        sim(sim::heading_deg, 100.0 - c.error);
        bed.tick();
        EXPECT_DOUBLE_EQ(shared.fd_hdg_err, c.error);
        EXPECT_EQ(var("fd_bank_step"), c.bank_step) << c.error;
    }
}

TEST_F(FlightDirector, the_heading_error_wraps_and_is_zero_inside_two_tenths) {
    station(kLocalizerStation | kGlideSlopeStation);
    sim(sim::nav1_cdi, 3.0);
    sim(sim::nav1_obs_deg, 5.0);
    sim(sim::heading_deg, 355.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(shared.fd_hdg_err, 10.0);
    sim(sim::heading_deg, 4.85);
    bed.tick();
    EXPECT_EQ(shared.fd_hdg_err, 0.0);
}

struct Glide {
    double needle;
    double cmd;
};

TEST_F(FlightDirector, the_glide_command_follows_the_needle_every_20_ticks_once_captured) {
    sim(sim::ias_kt, 140.0);
    const double nominal = -(140.0 / 2.0 * 10.0 * kFpmUnits);
    gs_captured = 2;
    const Glide cases[] = {{15.0, -1500.0}, {14.0, nominal - 140.0}, {-14.0, nominal + 140.0}, {-15.0, 0.0}};
    for (const Glide& c : cases) {
        set_var("fd_glide_timed", 0);
        sim(sim::nav1_gsi, c.needle);
        bed.tick();
        EXPECT_DOUBLE_EQ(shared.fd_vs_cmd, c.cmd) << c.needle;
    }
    sim(sim::nav1_gsi, 15.0);
    bed.tick(19);
    EXPECT_DOUBLE_EQ(shared.fd_vs_cmd, 0.0) << "not recomputed before 20 ticks";
    bed.tick();
    EXPECT_DOUBLE_EQ(shared.fd_vs_cmd, -1500.0);
    gs_captured = 1;
    bed.tick();
    EXPECT_DOUBLE_EQ(shared.fd_vs_cmd, nominal);
}

TEST_F(FlightDirector, below_200_m_the_command_freezes_at_the_sampled_average_and_below_155_ft_holds) {
    gs_captured = 2;
    const double samples[][2] = {{250.0, -900.0}, {230.0, -960.0}, {210.0, -1020.0}};
    for (const auto& s : samples) {
        sim(sim::height_agl_m, s[0]);
        sim(sim::vs_ms256, s[1]);
        bed.tick();
    }
    sim(sim::height_agl_m, 150.0);
    sim(sim::vs_ms256, -2000.0);
    ralt(490.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(shared.fd_vs_cmd, (-900.0 - 960.0 - 1020.0) / 3.0);
    ralt(155.0);
    shared.fd_vs_cmd = 7.0;
    bed.tick();
    EXPECT_EQ(shared.fd_vs_cmd, 7.0) << "at 155 ft and below it is no longer updated";
}

TEST_F(FlightDirector, the_glide_slope_arms_above_minus_15_captures_at_0_and_is_lost_at_minus_119) {
    station(kLocalizerStation | kGlideSlopeStation);
    sim(sim::nav1_obs_deg, 90.0);
    sim(sim::heading_deg, 170.0);  // within 90 degrees: front side
    sim(sim::nav1_gsi, -14.0);
    bed.tick();
    EXPECT_EQ(shared.loc_captured, 1);
    EXPECT_EQ(shared.gs_captured, 1);
    sim(sim::nav1_gsi, 0.0);
    bed.tick();
    EXPECT_EQ(shared.gs_captured, 2);
    sim(sim::nav1_gsi, -119.0);
    bed.tick();
    EXPECT_EQ(shared.gs_captured, 0);
    sim(sim::heading_deg, 181.0);  // back course
    sim(sim::nav1_gsi, 0.0);
    bed.tick();
    EXPECT_EQ(shared.loc_captured, 0);
    EXPECT_EQ(shared.gs_captured, 0);
}

TEST_F(FlightDirector, the_station_flags_rewrite_the_coupling_bytes_and_show_the_lo_and_gs_flags) {
    // The heading panel, later in the frame, writes its own coupling state over the station flag:
    // look at the byte as the attitude indicator leaves it.
    u8 nav_loc_after_adi = 0xFF;
    int gauge = 0;
    const auto held = bed.host().before_each_gauge;
    bed.host().before_each_gauge = [&] {
        if (gauge++ == static_cast<int>(GaugeIndex::adi_fd) + 1) nav_loc_after_adi = shared.nav_loc_coupled;
        held();
    };
    station(kLocalizerStation, 0.0);
    sim(sim::nav1_gs_flag, 0.0);
    bed.tick();
    EXPECT_EQ(nav_loc_after_adi, 1);
    gauge = 0;
    EXPECT_TRUE(bed.shown(kAdiFd, "loc_flag"));
    EXPECT_FALSE(bed.shown(kAdiFd, "gs_flag"));
    station(kGlideSlopeStation, 1.0);
    bed.tick();
    EXPECT_EQ(nav_loc_after_adi, 0);
    EXPECT_FALSE(bed.shown(kAdiFd, "loc_flag"));
    EXPECT_TRUE(bed.shown(kAdiFd, "gs_flag"));
}

TEST_F(FlightDirector, an_attitude_failure_disconnects_the_autopilot_and_raises_the_adi_fault) {
    engage();
    ASSERT_EQ(shared.ap_engaged, 1);
    EXPECT_EQ(shared.mw_adi_fault, 0);
    bed.sim().set(sim::fail_attitude, 1);
    bed.tick();
    EXPECT_EQ(shared.mw_adi_fault, 1);
    EXPECT_EQ(shared.ap_1_lever, 0);
    EXPECT_EQ(shared.ap_engaged, 0);
    EXPECT_TRUE(bed.shown(kAdiFd, "attitude_flag"));
    EXPECT_TRUE(bed.shown(kAdiSec, "attitude_flag"));
    bed.sim().set(sim::fail_attitude, 0);
    bed.tick();
    EXPECT_EQ(shared.mw_adi_fault, 0);
    EXPECT_FALSE(bed.shown(kAdiFd, "attitude_flag"));
}

TEST_F(FlightDirector, the_bars_come_in_view_with_the_switch_and_park_without_it) {
    EXPECT_EQ(var("fd_roll_bar"), 14.0);
    bed.click(kFdBarsSw, "fd_bars.on");
    EXPECT_EQ(shared.fd_sw, 1);
    bed.tick();
    EXPECT_TRUE(bed.shown(kAdiFd, "roll_bar"));
    EXPECT_EQ(var("fd_roll_bar"), 11.0) << "a unit toward the centre, into the scale";
    bed.tick(5);
    EXPECT_NEAR(var("fd_roll_bar"), 6.95, 1e-9) << "within one unit, 0.05 a tick";
    const double pitch = var("fd_pitch_bar");
    bed.click(kFdBarsSw, "fd_bars.off");
    bed.tick(3);
    EXPECT_NEAR(var("fd_roll_bar"), 9.95, 1e-9);
    EXPECT_NEAR(var("fd_pitch_bar"), pitch - 3.0, 1e-9);
    EXPECT_FALSE(bed.shown(kAdiFd, "roll_bar"));
}

TEST_F(FlightDirector, an_unpowered_sphere_topples_a_degree_a_tick_and_catches_up_within_two) {
    sim(sim::pitch_deg, 3.0);
    sim(sim::bank_deg, -5.0);
    bed.tick();
    EXPECT_EQ(var("fd_sphere_pitch"), 1.0);
    bed.tick(5);
    EXPECT_EQ(var("fd_sphere_pitch"), 3.0);
    EXPECT_EQ(var("fd_sphere_bank"), -5.0);
    power = 0;
    bed.tick(4);
    EXPECT_EQ(var("fd_sphere_pitch"), 7.0);
    EXPECT_EQ(var("sec_sphere_pitch"), 7.0);
    power = 1;
    bed.tick();
    EXPECT_EQ(var("fd_sphere_pitch"), 6.0);
    bed.tick(2);
    EXPECT_EQ(var("fd_sphere_pitch"), 3.0) << "within two degrees it follows at once";
}

TEST_F(FlightDirector, the_panel_light_area_switches_on_only_with_the_battery_bus) {
    shared.batt_bus_powered = 0;
    bed.click(kFdBarsSw, "panel_lights");
    EXPECT_EQ(shared.panel_lt_sw, 0);
    shared.batt_bus_powered = 1;
    bed.click(kFdBarsSw, "panel_lights");
    EXPECT_EQ(shared.panel_lt_sw, 1);
    bed.click(kFdBarsSw, "panel_lights");
    EXPECT_EQ(shared.panel_lt_sw, 0);
}

}  // namespace
}  // namespace tarvenol::testing
