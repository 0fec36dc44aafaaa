// The heading and course panels: the knobs round the compass, heading select and NAV (VOR,
// localizer, GPS) with the simulator's holds they drive, the roll re-capture request, and the
// course knobs setting the NAV 1 course.
#include <limits>

#include "afs.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kApHdg = "tarvenol ap_hdg_t418";
constexpr const char* kApCrs = "tarvenol ap_crs_t418";

class ApHdg : public Afs {
public:
    ApHdg() {
        click("channel_1");
        bed.tick();
    }
    void press(const char* area) { bed.click(kApHdg, area); }
};

TEST_F(ApHdg, the_heading_knobs_turn_round_the_compass) {
    struct Case {
        i32 from;
        const char* area;
        i32 to;
    };
    const Case cases[] = {
        {355, "hdg_sel.up_10", 5},  {3, "hdg_sel.down_10", 353}, {10, "hdg_sel.down_10", 0},
        {9, "hdg_sel.down_10", 359}, {350, "hdg_sel.up_10", 0},   {0, "hdg_sel.down_1", 359},
        {359, "hdg_sel.up_1", 0},    {180, "hdg_sel.up_1", 181},  {-45, "hdg_sel.up_1", 316},
    };
    for (const Case& c : cases) {
        shared.hdg_sel = c.from;
        press(c.area);
        EXPECT_EQ(shared.hdg_sel, c.to) << c.from << " " << c.area;
    }
    shared.hdg_sel = 275;
    for (int i = 0; i < 40; ++i) bed.tick();
    EXPECT_DOUBLE_EQ(bed.value(kApHdg, "hdg_hundreds_drum"), 2.0);
    EXPECT_DOUBLE_EQ(bed.value(kApHdg, "hdg_tens_drum"), 7.0);
    EXPECT_DOUBLE_EQ(bed.value(kApHdg, "hdg_units_drum"), 5.0);
}

TEST_F(ApHdg, heading_select_sends_the_selection_and_the_simulator_heading_hold) {
    shared.hdg_sel = 270;
    shared.afs_takeoff_mode = 1;
    press("hdg");
    EXPECT_EQ(shared.hdg_sel_mode, 1);
    EXPECT_EQ(shared.afs_takeoff_mode, 0);
    bed.tick();
    EXPECT_EQ(values(key::ap_heading_ref), std::vector<i32>{270});
    EXPECT_EQ(shared.hdg_ref, 270);
    EXPECT_FALSE(bed.sent(key::ap_heading_hold_on));  // the simulator's autopilot is off
    EXPECT_TRUE(bed.shown(kApHdg, "hdg_light"));
    EXPECT_EQ(shared.fd_lat_code, 2);
    engage();
    EXPECT_EQ(values(key::ap_heading_ref), (std::vector<i32>{270, 270}));
    EXPECT_TRUE(bed.sent(key::ap_heading_hold_on));
    EXPECT_EQ(var("roll_recapture_req"), 1);
    // Off: the simulator's heading hold goes off.
    press("hdg");
    bed.tick();
    EXPECT_EQ(shared.hdg_sel_mode, 0);
    EXPECT_TRUE(bed.sent(key::ap_heading_hold_off));
    EXPECT_FALSE(bed.sent(key::ap_heading_ref));
}

TEST_F(ApHdg, the_hdg_button_against_approach_modes) {
    // LAND with the course captured: nothing.
    shared.appr_mode = 30;
    shared.nav_captured = 1;
    press("hdg");
    EXPECT_EQ(shared.hdg_sel_mode, 0);
    // LAND not captured: heading select ends the approach.
    shared.nav_captured = 0;
    press("hdg");
    EXPECT_EQ(shared.hdg_sel_mode, 1);
    EXPECT_EQ(shared.appr_mode, 0);
    // A VOR captured: heading select drops NAV.
    shared.hdg_sel_mode = 0;
    shared.nav_mode = 1;
    shared.nav_captured = 1;
    shared.afs_go_around = 1;
    press("hdg");
    EXPECT_EQ(shared.hdg_sel_mode, 1);
    EXPECT_EQ(shared.nav_mode, 0);
    EXPECT_EQ(shared.nav_captured, 0);
    EXPECT_EQ(shared.afs_go_around, 0);
}

TEST_F(ApHdg, the_nav_button_by_approach_mode_station_and_gps) {
    struct Case {
        const char* what;
        u8 appr_mode;
        u8 takeoff;
        u32 station;
        double gps;
        u8 nav_mode;
    };
    const Case cases[] = {
        {"VOR", 0, 0, 0, 0.0, 1},
        {"GPS drives NAV", 0, 0, 0, 1.0, 2},
        {"approach on a localizer", 20, 0, kLocalizerStation, 1.0, 1},
        {"approach without a localizer", 20, 0, kGlideSlopeStation, 0.0, 0},
        {"LAND", 30, 0, kLocalizerStation, 0.0, 0},
        {"take-off mode", 0, 1, 0, 0.0, 0},
    };
    for (const Case& c : cases) {
        shared.nav_mode = 0;
        shared.appr_mode = c.appr_mode;
        shared.afs_takeoff_mode = c.takeoff;
        station(c.station);
        sim(sim::gps_drives_nav, c.gps);
        press("nav");
        EXPECT_EQ(shared.nav_mode, c.nav_mode) << c.what;
    }
    press("nav");
    EXPECT_EQ(shared.nav_mode, 0);
    shared.afs_channels = 0;
    press("nav");
    EXPECT_EQ(shared.nav_mode, 0);
}

TEST_F(ApHdg, nav_on_a_vor_turns_to_the_course_once_captured) {
    nav_captured = 0;
    station(0, 1.0);
    press("nav");
    engage();
    EXPECT_EQ(shared.nav_mode, 1);
    EXPECT_TRUE(bed.sent(key::ap_hold_off_1011b));
    EXPECT_FALSE(bed.sent(key::ap_heading_hold_on));
    EXPECT_TRUE(bed.shown(kApHdg, "nav_light"));
    nav_captured = 1;
    shared.fd_track_cmd = 95;
    bed.host().before_each_gauge = [held = bed.host().before_each_gauge] {
        held();
        shared.fd_track_cmd = 95;
    };
    bed.tick();
    EXPECT_EQ(values(key::ap_heading_ref), std::vector<i32>{95});
    EXPECT_TRUE(bed.sent(key::ap_heading_hold_on));
    EXPECT_EQ(shared.hdg_sel_mode, 0);
}

TEST_F(ApHdg, nav_on_a_localizer_couples_the_approach_hold_and_gps_nav_follows_the_gps_track) {
    station(kLocalizerStation);
    shared.nav_mode = 2;
    engage();
    EXPECT_EQ(shared.nav_mode, 1);
    EXPECT_TRUE(bed.sent(key::ap_approach_hold_on));
    EXPECT_EQ(shared.nav_loc_coupled, 1);
    // GPS drives NAV: the heading reference is the GPS track, the simulator's NAV/GPS hold on.
    sim(sim::gps_drives_nav, 1.0);
    sim(sim::gps_track_rad, 1.0);
    bed.tick();
    EXPECT_EQ(shared.nav_mode, 2);
    EXPECT_EQ(shared.hdg_ref, 57);
    EXPECT_TRUE(bed.sent(key::ap_nav_gps_hold_on));
    sim(sim::gps_track_rad, std::numeric_limits<double>::quiet_NaN());
    bed.tick();
    EXPECT_EQ(shared.hdg_ref, 0);
    // NAV off: the coupling ends, the simulator's holds go off.
    shared.nav_mode = 0;
    bed.tick();
    EXPECT_EQ(shared.nav_loc_coupled, 0);
    EXPECT_TRUE(bed.sent(key::ap_approach_hold_off));
}

TEST_F(ApHdg, the_course_knobs_set_the_nav_1_course_from_the_present_one) {
    struct Case {
        double course;
        const char* area;
        u32 sent;
    };
    const Case cases[] = {
        {0.0, "crs.down_1", 359},  {359.9, "crs.up_1", 0},   {5.0, "crs.down_10", 355}, {10.0, "crs.down_10", 0},
        {350.0, "crs.up_10", 0},   {351.0, "crs.up_10", 1},  {123.7, "crs.up_1", 124},  {-1.0, "crs.up_1", 0},
    };
    for (const Case& c : cases) {
        sim(sim::nav1_obs_deg, c.course);
        bed.host().clear_key_events();
        bed.click(kApCrs, c.area);
        EXPECT_EQ(values(key::nav1_obs_set), std::vector<i32>{static_cast<i32>(c.sent)}) << c.course << " " << c.area;
    }
    // The drums show the simulator's course.
    sim(sim::nav1_obs_deg, 10.9);
    for (int i = 0; i < 40; ++i) bed.tick();
    EXPECT_DOUBLE_EQ(bed.value(kApCrs, "crs_tens_drum"), 1.0);
    EXPECT_DOUBLE_EQ(bed.value(kApCrs, "crs_units_drum"), 0.0);
}

}  // namespace
}  // namespace tarvenol::testing
