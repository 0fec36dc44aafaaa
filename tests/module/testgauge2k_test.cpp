// The diagnostic gauge: four text fields with six decimals and a hold flag toggled by a click.
#include "testbed.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kGauge = "testgauge2k";

TEST(DiagnosticGauge, shows_the_automatic_flight_values_with_six_decimals) {
    TestBed bed;
    shared.ap_vs_ref = -1200;
    shared.ias_trend = 1.25;
    shared.ias_zone = 4;
    shared.ias_error = -0.5;
    bed.tick();
    EXPECT_EQ(bed.text(kGauge, "field_1"), "-1200.000000");
    EXPECT_EQ(bed.text(kGauge, "field_2"), "1.250000");
    EXPECT_EQ(bed.text(kGauge, "field_3"), "4.000000");
    EXPECT_EQ(bed.text(kGauge, "field_4"), "-0.500000");
    EXPECT_EQ(bed.value(kGauge, "field_4"), -0.5);
    EXPECT_FALSE(bed.shown(kGauge, "marker"));
}

TEST(DiagnosticGauge, hold_shows_the_volume_steps_and_freezes_the_other_fields) {
    TestBed bed;
    // The autopilot master owns these and clears the zone without an autopilot: held for every gauge.
    double trend = 2.0, error = 3.0;
    u8 zone = 1;
    bed.host().before_each_gauge = [&] {
        shared.ias_trend = trend;
        shared.ias_zone = zone;
        shared.ias_error = error;
    };
    bed.tick();
    bed.click(kGauge, "hold");
    EXPECT_EQ(read_var(*find_var("testgauge_hold")), 1.0);
    shared.snd_master_vol_pos = -7;
    trend = 9.0;
    zone = 6;
    error = 9.0;
    bed.tick();
    EXPECT_EQ(bed.text(kGauge, "field_1"), "-7.000000");
    EXPECT_EQ(bed.text(kGauge, "field_2"), "2.000000");
    EXPECT_EQ(bed.text(kGauge, "field_3"), "1.000000");
    EXPECT_EQ(bed.text(kGauge, "field_4"), "3.000000");
    bed.click(kGauge, "hold");
    bed.tick();
    EXPECT_EQ(bed.text(kGauge, "field_2"), "9.000000");
    EXPECT_EQ(bed.text(kGauge, "field_3"), "6.000000");
}

TEST(DiagnosticGauge, a_huge_value_stays_within_the_field) {
    TestBed bed;
    shared.ias_error = 1e300;
    bed.tick();
    EXPECT_LE(bed.text(kGauge, "field_4").size(), 31u);
}

}  // namespace
}  // namespace tarvenol::testing
