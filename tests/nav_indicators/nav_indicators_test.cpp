// The ADF indicator, the RMI and the HSI: bearings to needles, the ADF test, the buses each part
// hangs on, the ground track from the velocity components (no speed at all included) and the
// heading-reference failure that drops the autopilot out.
#include <cmath>
#include <limits>

#include "instruments_ralt/instruments.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kAdf = "tarvenol adf_t418";
constexpr const char* kRmi = "tarvenol rmi_t418";
constexpr const char* kHsi = "tarvenol hsi_t418";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class NavIndicators : public PositionInstruments {
protected:
    u8 ac_ess = 1;
    u8 ess_normal = 1;
    u8 level = 2;
    NavIndicators() {
        bed.host().before_each_gauge = [this] {
            shared.dc_bus_powered = dc;
            shared.ac_ess_bus_powered = ac_ess;
            shared.ac_ess_bus_normal = ess_normal;
            shared.ac_bus_2_powered = ac_2;
            shared.ess_equipment_level = level;
            shared.norm_eqpt_ess_powered = level == 2 && ac_ess == 1 && ess_normal == 1;
        };
    }
};

TEST_F(NavIndicators, bearings_turn_into_needle_angles_round_the_compass) {
    const struct {
        double bearing, needle;
    } cases[] = {{45, 315}, {135, 45}, {90, 0}, {0, 270}, {359.5, 269.5}, {-30, 240}, {720 + 100, 10}, {kNaN, 0}, {1e300, 0}};
    for (const auto& c : cases) {
        sim(sim::adf_bearing_deg, c.bearing);
        sim(sim::rmi_needle_2_deg, c.bearing);
        bed.tick();
        SCOPED_TRACE(c.bearing);
        EXPECT_NEAR(bed.value(kAdf, "adf_needle"), c.needle, 1e-9);
        EXPECT_NEAR(bed.value(kRmi, "rmi_needle_2"), c.needle, 1e-9);
    }
}

TEST_F(NavIndicators, the_adf_test_shows_315_for_35_ticks_then_the_bearing) {
    sim(sim::adf_bearing_deg, 180);
    shared.adf_test_req = 1;
    bed.tick();
    EXPECT_EQ(bed.value(kAdf, "adf_needle"), 315);
    EXPECT_EQ(bed.value(kAdf, "adf_second_pointer"), 315);
    bed.tick(34);
    EXPECT_EQ(bed.value(kAdf, "adf_needle"), 315);
    EXPECT_EQ(shared.adf_test_req, 1);
    bed.tick();
    EXPECT_EQ(shared.adf_test_req, 0);
    bed.tick();
    EXPECT_EQ(bed.value(kAdf, "adf_needle"), 90);
    EXPECT_EQ(bed.value(kAdf, "adf_second_pointer"), 0);
}

TEST_F(NavIndicators, the_adf_works_on_normal_equipment_only_and_faults_by_level) {
    sim(sim::adf_bearing_deg, 180);
    bed.tick();
    EXPECT_EQ(shared.mw_adf_fault, 0);
    EXPECT_FALSE(bed.shown(kAdf, "adf_off_flag"));
    ess_normal = 0;
    dc = 0;
    bed.tick();
    EXPECT_EQ(bed.value(kAdf, "adf_needle"), 0);
    EXPECT_EQ(shared.mw_adf_fault, 1);
    EXPECT_TRUE(bed.shown(kAdf, "adf_off_flag"));
    level = 1;
    bed.tick();
    EXPECT_EQ(shared.mw_adf_fault, 0) << "below normal equipment the ADF is shed, not faulty";
    EXPECT_TRUE(bed.shown(kAdf, "adf_off_flag"));
}

TEST_F(NavIndicators, losing_the_ac_essential_bus_blanks_needle_1_and_dme_1_while_bus_2_keeps_working) {
    sim(sim::rmi_needle_1_deg, 180);
    sim(sim::rmi_needle_2_deg, 270);
    sim(sim::dme1_distance_nm, 12.3);
    sim(sim::dme2_distance_nm, 45.6);
    sim(sim::nav1_signal, 1);
    sim(sim::dme2_available, 1);
    sim(sim::heading_deg, 100);
    bed.tick();
    EXPECT_EQ(shared.mw_rmi_fault, 0);
    EXPECT_EQ(shared.mw_hsi_fault, 0);
    EXPECT_EQ(bed.value(kRmi, "rmi_dme1_tens"), 9) << "1 of 12.3 nm on the picture (10 - p) mod 10";
    EXPECT_TRUE(bed.shown(kRmi, "rmi_dme1_units"));
    ac_ess = 0;
    sim(sim::heading_deg, 200);
    bed.tick();
    EXPECT_EQ(shared.mw_rmi_fault, 1);
    EXPECT_EQ(shared.mw_hsi_fault, 1);
    EXPECT_TRUE(bed.shown(kHsi, "hsi_off_flag"));
    EXPECT_EQ(bed.value(kRmi, "rmi_needle_1"), 0);
    EXPECT_FALSE(bed.shown(kRmi, "rmi_dme1_units"));
    EXPECT_EQ(bed.value(kRmi, "rmi_needle_2"), 180);
    EXPECT_TRUE(bed.shown(kRmi, "rmi_dme2_units"));
    EXPECT_EQ(bed.value(kRmi, "rmi_card"), 100) << "the card holds";
    EXPECT_EQ(bed.value(kHsi, "hsi_card"), 100);
    EXPECT_TRUE(bed.shown(kRmi, "rmi_card_flag"));
    EXPECT_FALSE(bed.shown(kRmi, "rmi_needle_2_flag"));
}

TEST_F(NavIndicators, a_negative_or_unreadable_dme_distance_holds_and_a_huge_one_stays_on_the_drums) {
    sim(sim::dme1_distance_nm, 12.3);
    sim(sim::nav1_signal, 1);
    bed.tick();
    for (double bad : {-1.0, kNaN}) {
        sim(sim::dme1_distance_nm, bad);
        bed.tick();
        EXPECT_NEAR(var("rmi_dme1_tenths"), 123, 1e-9);
    }
    sim(sim::dme1_distance_nm, 1e300);
    bed.tick();
    EXPECT_EQ(var("rmi_dme1_tenths"), 9999);
    EXPECT_EQ(bed.value(kRmi, "rmi_dme1_hundreds"), 1) << "9 on the picture (10 - p) mod 10";
}

TEST_F(NavIndicators, the_ground_track_follows_the_heading_less_the_drift) {
    const struct {
        double heading, x, y, track;
    } cases[] = {
        {60, 100, 8.748866, 55},   // right drift: track left of heading
        {2, 100, 8.748866, 357},   // across north
        {60, 100, -8.748866, 65},
        {358, 100, -8.748866, 3},
        {60, 100, 0.5, 60},        // |Y| below 1: the heading
        {60, 0, 0, 60},            // no speed at all: no drift
        {420, 0, 0, 60},           // a heading off the compass comes round
        {-90, 0, 0, 270},
    };
    for (const auto& c : cases) {
        sim(sim::nav1_obs_deg, c.heading);
        sim(sim::velocity_long, c.x);
        sim(sim::velocity_lat, c.y);
        bed.tick();
        SCOPED_TRACE(c.heading);
        EXPECT_NEAR(shared.gnd_track_deg, c.track, 1e-3);
        EXPECT_GE(shared.gnd_track_deg, 0.0);
        EXPECT_LT(shared.gnd_track_deg, 360.0);
    }
    sim(sim::velocity_long, 0);
    sim(sim::velocity_lat, 0);
    bed.tick();
    EXPECT_EQ(var("hsi_drift_deg"), 0.0);
}

TEST_F(NavIndicators, the_hsi_presents_course_glide_slope_and_to_from_when_powered) {
    sim(sim::heading_deg, 90);
    sim(sim::nav1_obs_deg, 120);
    sim(sim::nav1_cdi, 40);
    sim(sim::nav1_gsi, 100);
    sim(sim::nav1_gs_flag, 1.0);
    sim(sim::nav1_to_from, 2);
    sim(sim::nav1_flags, 0x40);
    sim(sim::hsi_dme_nm, 123);
    shared.hdg_sel = 100;
    bed.tick();
    EXPECT_EQ(bed.value(kHsi, "hsi_course"), 390);
    EXPECT_EQ(bed.value(kHsi, "hsi_heading_bug"), 370);
    EXPECT_NEAR(bed.value(kHsi, "hsi_glide_slope"), 41.8, 1e-9);
    EXPECT_EQ(bed.value(kHsi, "hsi_to_from"), 2);
    EXPECT_TRUE(bed.shown(kHsi, "hsi_deviation_loc"));
    EXPECT_FALSE(bed.shown(kHsi, "hsi_deviation_vor"));
    EXPECT_TRUE(bed.shown(kHsi, "hsi_dme_units"));
    sim(sim::nav1_flags, 0);
    sim(sim::nav1_gs_flag, 0.99);
    sim(sim::nav1_to_from, 7);
    sim(sim::hsi_dme_nm, 0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kHsi, "hsi_deviation_vor"));
    EXPECT_FALSE(bed.shown(kHsi, "hsi_glide_slope"));
    EXPECT_EQ(bed.value(kHsi, "hsi_to_from"), 2) << "a value past FROM is drawn as FROM";
    EXPECT_FALSE(bed.shown(kHsi, "hsi_dme_units"));
    level = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kHsi, "hsi_to_from"));
    EXPECT_FALSE(bed.shown(kHsi, "hsi_deviation_vor"));
}

TEST_F(NavIndicators, a_heading_reference_failure_freezes_the_cards_and_drops_the_autopilot) {
    sim(sim::heading_deg, 90);
    bed.tick();
    shared.ap_engaged = 1;
    shared.ap_1_lever = 1;
    shared.sim_ap_seen_on = 1;
    sim(sim::fail_heading, 1);
    sim(sim::heading_deg, 180);
    bed.tick();
    EXPECT_EQ(shared.ap_engaged, 0);
    EXPECT_EQ(shared.ap_1_lever, 0);
    EXPECT_EQ(shared.sim_ap_seen_on, 0);
    EXPECT_EQ(shared.mw_hsi_fault, 1);
    EXPECT_EQ(shared.mw_rmi_fault, 1);
    EXPECT_EQ(shared.mw_adf_fault, 1);
    EXPECT_TRUE(bed.shown(kHsi, "hsi_heading_flag"));
    EXPECT_FALSE(bed.shown(kHsi, "hsi_off_flag"));
    for (const char* g : {kAdf, kRmi, kHsi}) EXPECT_EQ(bed.value(g, std::string(g).substr(9, 3).append("_card").c_str()), 90) << g;
    sim(sim::fail_heading, 0);
    bed.tick();
    EXPECT_EQ(shared.mw_hsi_fault, 0);
    EXPECT_FALSE(bed.shown(kHsi, "hsi_heading_flag"));
    EXPECT_EQ(bed.value(kHsi, "hsi_card"), 180);
}

}  // namespace
}  // namespace tarvenol::testing
