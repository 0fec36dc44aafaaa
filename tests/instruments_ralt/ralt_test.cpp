// The radio altimeter: radio altitude counted from the gear height on the ground, the 2610 ft top of
// the tape, the DH knobs and drums, the OFF flag and the single chime at decision height.
#include <cmath>
#include <limits>

#include "instruments.h"
#include "module/units.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kRalt = "tarvenol ralt_t418";

class RadioAltimeter : public PositionInstruments {
protected:
    void height_ft(double ft) { sim(sim::height_agl_m, ft / kFeetPerMetre); }
    // In the air on a stabilised approach (gear down, landing flaps): the GPWS stays quiet.
    void airborne() {
        sim(sim::on_ground, 0.0);
        sim(sim::gear_nose_pos, 16383.0);
        sim(sim::flap_pos, 16383.0);
    }
    void on_ground() { sim(sim::on_ground, 1.0); }
    double dh() { return var("dh_setting"); }
    void click(const char* area, int times = 1) {
        for (int i = 0; i < times; ++i) bed.click(kRalt, area);
    }
};

TEST_F(RadioAltimeter, reads_zero_on_the_ground_and_counts_from_the_gear_height_after_take_off) {
    on_ground();
    sim(sim::height_agl_m, 3.0);  // 9.843 ft of gear
    bed.tick();
    EXPECT_EQ(var("ralt_ground_offset"), 9.0);
    EXPECT_NEAR(shared.radio_alt_ft, 0.843, 1e-9);
    airborne();
    sim(sim::height_agl_m, 100.0);
    bed.tick();
    EXPECT_DOUBLE_EQ(shared.radio_alt_ft, 100.0 * kFeetPerMetre - 9.0);
    EXPECT_DOUBLE_EQ(var("ralt_tape"), 2610.0 - shared.radio_alt_ft);
    EXPECT_DOUBLE_EQ(bed.value(kRalt, "ralt_tape"), var("ralt_tape"));
    EXPECT_EQ(var("ralt_ground_offset"), 9.0) << "the reference is kept in the air";
}

TEST_F(RadioAltimeter, at_2610_ft_and_above_it_reads_2610_and_the_tape_0) {
    airborne();
    sim(sim::height_agl_m, 2610.0 / kFeetPerMetre + 0.001);
    bed.tick();
    EXPECT_EQ(shared.radio_alt_ft, 2610.0);
    EXPECT_EQ(var("ralt_tape"), 0.0);
    height_ft(2609.0);
    bed.tick();
    EXPECT_NEAR(shared.radio_alt_ft, 2609.0, 1e-9);
}

TEST_F(RadioAltimeter, the_dh_marker_stands_500_ft_above_the_tape_datum_plus_the_setting) {
    airborne();
    height_ft(300.0);
    bed.tick();
    EXPECT_NEAR(bed.value(kRalt, "dh_marker"), 500.0 - 300.0 + 100.0, 1e-9);
}

TEST_F(RadioAltimeter, without_ac_bus_1_it_shows_its_off_flag_and_holds_its_readings) {
    airborne();
    height_ft(700.0);
    bed.tick();
    EXPECT_FALSE(bed.shown(kRalt, "off_flag"));
    const double held = shared.radio_alt_ft;
    ac_1 = 0;
    height_ft(300.0);
    on_ground();
    bed.tick(3);
    EXPECT_TRUE(bed.shown(kRalt, "off_flag"));
    EXPECT_EQ(shared.radio_alt_ft, held);
    EXPECT_EQ(var("ralt_ground_offset"), 0.0) << "no new reference without power";
    airborne();
    ac_1 = 1;
    bed.tick();
    EXPECT_FALSE(bed.shown(kRalt, "off_flag"));
    EXPECT_NEAR(shared.radio_alt_ft, 300.0, 1e-9);
}

TEST_F(RadioAltimeter, knobs_set_dh_between_10_and_499_silently) {
    const auto clicks = snd::mixer::state("CLICK").play_once_requests;
    EXPECT_EQ(dh(), 100.0);
    click("dh_coarse.down", 9);
    EXPECT_EQ(dh(), 10.0);
    click("dh_coarse.down");
    EXPECT_EQ(dh(), 10.0) << "the coarse knob turns down from 20 only";
    click("dh_fine.up", 9);
    EXPECT_EQ(dh(), 19.0);
    click("dh_coarse.down");
    EXPECT_EQ(dh(), 19.0);
    click("dh_fine.down", 20);
    EXPECT_EQ(dh(), 10.0);
    click("dh_coarse.up", 47);
    EXPECT_EQ(dh(), 480.0);
    click("dh_fine.up", 9);
    EXPECT_EQ(dh(), 489.0);
    click("dh_coarse.up");
    EXPECT_EQ(dh(), 499.0);
    click("dh_coarse.up");
    click("dh_fine.up");
    EXPECT_EQ(dh(), 499.0);
    EXPECT_EQ(snd::mixer::state("CLICK").play_once_requests, clicks);
    EXPECT_TRUE(find_area(TestBed::gauge(kRalt), "dh_fine.up")->repeat == Repeat::while_held);
}

TEST_F(RadioAltimeter, drums_roll_to_the_hundreds_and_tens_and_the_units_drum_shows_the_rest) {
    click("dh_coarse.up", 13);
    click("dh_fine.up", 7);  // 237
    bed.tick();
    EXPECT_EQ(bed.value(kRalt, "dh_hundreds_drum"), 0.25) << "a quarter digit per frame";
    EXPECT_EQ(bed.value(kRalt, "dh_units_drum"), 7.0);
    bed.tick(20);
    EXPECT_EQ(bed.value(kRalt, "dh_hundreds_drum"), 2.0);
    EXPECT_EQ(bed.value(kRalt, "dh_tens_drum"), 3.0);
}

TEST_F(RadioAltimeter, descending_through_dh_200_requests_one_chime) {
    click("dh_coarse.up", 10);
    ASSERT_EQ(dh(), 200.0);
    airborne();
    double ft = 1000.0;
    for (; ft > 200.5; ft -= 10.0) {
        height_ft(ft);
        bed.tick();
        ASSERT_EQ(shared.dh_alert_state, 2);
        ASSERT_EQ(shared.alt_alert_chime, 0);
    }
    height_ft(200.0);
    bed.tick();
    EXPECT_EQ(shared.dh_alert_state, 1);
    EXPECT_EQ(shared.alt_alert_chime, 1);
    shared.alt_alert_chime = 2;  // the aural dispatcher played it
    height_ft(150.0);
    bed.tick(5);
    EXPECT_EQ(shared.alt_alert_chime, 2) << "one chime only";
    EXPECT_EQ(shared.dh_alert_state, 1);
    on_ground();
    bed.tick();
    EXPECT_EQ(shared.dh_alert_state, 0);
    EXPECT_EQ(shared.alt_alert_chime, 0);
}

TEST_F(RadioAltimeter, no_chime_in_the_last_30_ft_over_a_gpws_callout_or_without_the_dc_bus) {
    click("dh_coarse.down", 9);  // DH 10
    airborne();
    height_ft(50.0);
    bed.tick();
    height_ft(10.0);
    bed.tick();
    EXPECT_EQ(shared.dh_alert_state, 1);
    EXPECT_EQ(shared.alt_alert_chime, 0) << "below 30 ft";

    click("dh_coarse.up", 5);  // DH 60
    height_ft(100.0);
    bed.tick();
    sim(sim::gear_nose_pos, 0.0);  // gear up: the GPWS calls too low gear
    height_ft(60.0);
    bed.tick();
    EXPECT_EQ(shared.dh_alert_state, 1);
    EXPECT_EQ(shared.alt_alert_chime, 0) << "over a callout";
    ASSERT_NE(shared.gpws_alert, 0);
    sim(sim::gear_nose_pos, 16383.0);
    dc = 0;
    bed.tick();
    EXPECT_EQ(shared.alt_alert_chime, 0) << "without the DC essential bus";
    dc = 1;
    bed.tick();
    EXPECT_EQ(shared.alt_alert_chime, 1);
}

TEST_F(RadioAltimeter, nonsense_heights_leave_defined_readings) {
    on_ground();
    sim(sim::height_agl_m, std::nan(""));
    bed.tick();
    EXPECT_EQ(var("ralt_ground_offset"), 0.0);
    EXPECT_EQ(shared.radio_alt_ft, 2610.0);
    sim(sim::height_agl_m, -1e300);
    bed.tick();
    EXPECT_EQ(var("ralt_ground_offset"), static_cast<double>(std::numeric_limits<i32>::min()));
    sim(sim::height_agl_m, std::numeric_limits<double>::infinity());
    bed.tick();
    EXPECT_EQ(shared.radio_alt_ft, 2610.0);
    EXPECT_EQ(var("ralt_ground_offset"), static_cast<double>(std::numeric_limits<i32>::max()));
    EXPECT_FALSE(std::isnan(bed.value(kRalt, "dh_marker")));
    set_var("dh_setting", 65535);
    bed.tick(40);
    EXPECT_EQ(bed.value(kRalt, "dh_hundreds_drum"), 5.0) << "655 hundreds show their last digit";
    EXPECT_EQ(bed.value(kRalt, "dh_tens_drum"), 3.0);
}

}  // namespace
}  // namespace tarvenol::testing
