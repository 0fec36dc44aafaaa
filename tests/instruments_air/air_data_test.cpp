// The air-data instruments: main and standby airspeed indicators (needles, speed bugs, reference
// button, Mach counter, flags), the vertical speed indicator, the TAS and SAT counters and the
// angle-of-attack tape — their power supplies, clamps and what they make of bad simulator values.
#include <cmath>
#include <limits>

#include "testbed.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kAsi = "tarvenol asi_main_t418";
constexpr const char* kStby = "tarvenol asi_sec_t418";
constexpr const char* kVsi = "tarvenol vsi_t418";
constexpr const char* kTas = "tarvenol tas_t418";
constexpr const char* kSat = "tarvenol sat_t418";
constexpr const char* kAoa = "tarvenol aoa_t418";

constexpr int kOnGround = 60;
constexpr int kIas = 61;
constexpr int kMaxSpeed128 = 63;
constexpr int kMach20480 = 64;
constexpr int kVerticalSpeed256 = 65;
constexpr int kAirspeedHoldRef = 116;
constexpr int kAsiFailed = 274;
constexpr int kVsiFailed = 283;
constexpr int kFlapPosition = 329;
constexpr int kStaticAirTemp = 341;
constexpr int kTotalAirTemp256 = 350;
constexpr int kTakeoffInput1 = 558;
constexpr int kTakeoffInput2 = 568;
constexpr int kAngleOfAttack = 789;

constexpr double kFlapStep2 = 6144.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// What the other systems would supply, held before every gauge's tick.
struct Aircraft {
    u8 dc_ess = 1;
    u8 ac_ess = 1;
    u8 ac_1 = 1;
    double gross_weight_100kg = 1400.0;
    u8 athr_mode = 0;
};

class AirData : public ::testing::Test {
protected:
    TestBed bed;
    Aircraft aircraft;

    void SetUp() override {
        bed.host().before_each_gauge = [this] {
            shared.batt_bus_powered = aircraft.dc_ess;
            shared.ac_ess_bus_powered = aircraft.ac_ess;
            shared.ac_bus_1_powered = aircraft.ac_1;
            shared.gross_weight_100kg = aircraft.gross_weight_100kg;
            shared.flap_step_2_raw = static_cast<u16>(kFlapStep2);
            shared.athr_mode = aircraft.athr_mode;
        };
    }

    double var(const char* name) { return read_var(*find_var(name)); }
    void set_var(const char* name, double v) { write_var(*find_var(name), v); }
    void set(int token, double v) { bed.sim().set_f64(token, v); }
    void set_i(int token, i32 v) { bed.sim().set_i32(token, v); }
    void click(const char* gauge, const char* area, int times = 1) {
        for (int i = 0; i < times; ++i) bed.click(gauge, area);
    }
    bool repeats(const char* gauge, const char* area) {
        return find_area(TestBed::gauge(gauge), area)->repeat == Repeat::while_held;
    }
};

// --- Main airspeed indicator --------------------------------------------------------------------

class MainAirspeedIndicator : public AirData {
protected:
    void set_markers(double m1, double m2, double m3, double m4) {
        set_var("asi_marker_1", m1);
        set_var("asi_marker_2", m2);
        set_var("asi_marker_3", m3);
        set_var("asi_marker_4", m4);
    }
    void expect_markers(double m1, double m2, double m3, double m4) {
        EXPECT_EQ(var("asi_marker_1"), m1);
        EXPECT_EQ(var("asi_marker_2"), m2);
        EXPECT_EQ(var("asi_marker_3"), m3);
        EXPECT_EQ(var("asi_marker_4"), m4);
    }
    u32 last_hold_ref_sent() {
        u32 v = 0;
        for (const auto& k : bed.host().key_events())
            if (k.id == key::ap_airspeed_ref.id) v = k.value;
        return v;
    }
    void set_mach_counter(double value) { set(kMach20480, (value + 5.0) * 20.0); }
};

TEST_F(MainAirspeedIndicator, reference_speeds_come_from_the_gross_weight_and_the_flaps) {
    set(kFlapPosition, kFlapStep2 + 100.0);
    bed.tick();
    EXPECT_EQ(var("ref_base"), 139.0);
    EXPECT_EQ(var("ref_base_plus_10"), 149.0);
    EXPECT_EQ(var("ref_to_speed"), 139.0);
    EXPECT_EQ(var("ref_to_1"), 132.0);
    // Up to 10 flap units short of step 2 still counts as step 2; one more is too little flap.
    set(kFlapPosition, kFlapStep2 - 10.0);
    bed.tick();
    EXPECT_EQ(var("ref_to_speed"), 139.0);
    set(kFlapPosition, kFlapStep2 - 10.5);
    bed.tick();
    EXPECT_EQ(var("ref_to_speed"), 154.0);
    EXPECT_EQ(var("ref_to_1"), 147.0);
    EXPECT_EQ(var("ref_to_2"), 154.0);
    aircraft.gross_weight_100kg = 1000.0;  // 100 t: 54.2 + 63.75
    bed.tick();
    EXPECT_EQ(var("ref_base"), 117.0);
}

TEST_F(MainAirspeedIndicator, takeoff_request_on_the_ground_sets_the_takeoff_bugs_and_the_hold_speed) {
    set(kFlapPosition, kFlapStep2 + 100.0);
    set(kOnGround, 1.0);
    i32 ats_when_sent = -1;
    bed.host().on_key_event = [&](const host::KeyEvent& k) {
        if (k.id == key::ap_airspeed_ref.id) ats_when_sent = shared.ats_speed_sel;
    };
    click(kAsi, "ref_button");
    EXPECT_EQ(var("asi_ref_request"), 1.0);
    bed.tick();
    expect_markers(132, 154, 194, 224);
    EXPECT_EQ(bed.sent_count(key::ap_airspeed_ref), 1);
    EXPECT_EQ(last_hold_ref_sent(), 139u);
    EXPECT_EQ(ats_when_sent, 139);
    EXPECT_TRUE(bed.shown(kAsi, "takeoff_ref_image"));
    EXPECT_FALSE(bed.shown(kAsi, "approach_ref_image"));
}

TEST_F(MainAirspeedIndicator, approach_request_in_the_air_sets_the_approach_bugs) {
    set(kOnGround, 0.0);
    set(kTakeoffInput1, 0.5);  // not above a half
    set(kTakeoffInput2, 0.5);
    click(kAsi, "ref_button");
    EXPECT_EQ(var("asi_ref_request"), 2.0);
    bed.tick();
    expect_markers(139, 164, 194, 224);
    EXPECT_EQ(last_hold_ref_sent(), 149u);
    EXPECT_TRUE(bed.shown(kAsi, "approach_ref_image"));
    EXPECT_FALSE(bed.shown(kAsi, "takeoff_ref_image"));
}

TEST_F(MainAirspeedIndicator, takeoff_inputs_above_a_half_ask_for_takeoff_speeds_in_the_air) {
    set(kOnGround, 0.999);  // only exactly 1.0 is on the ground
    click(kAsi, "ref_button");
    EXPECT_EQ(var("asi_ref_request"), 2.0);
    set(kTakeoffInput1, 0.51);
    click(kAsi, "ref_button");
    EXPECT_EQ(var("asi_ref_request"), 1.0);
    set(kTakeoffInput1, 0.0);
    set(kTakeoffInput2, 0.51);
    click(kAsi, "ref_button");
    EXPECT_EQ(var("asi_ref_request"), 1.0);
}

TEST_F(MainAirspeedIndicator, with_the_autothrottle_engaged_the_button_sets_the_bugs_only) {
    aircraft.athr_mode = 1;
    set(kOnGround, 1.0);
    set(kFlapPosition, kFlapStep2);
    click(kAsi, "ref_button");
    bed.tick();
    EXPECT_FALSE(bed.sent(key::ap_airspeed_ref));
    expect_markers(132, 154, 194, 224);
}

TEST_F(MainAirspeedIndicator, confirmation_shows_for_36_ticks_and_the_request_is_applied_once) {
    set(kOnGround, 1.0);
    set(kFlapPosition, kFlapStep2);
    click(kAsi, "ref_button");
    bed.tick();
    EXPECT_TRUE(bed.shown(kAsi, "takeoff_ref_image"));
    // The crew moves a bug meanwhile: the request is not applied again.
    click(kAsi, "marker_1.up");
    bed.tick(35);
    EXPECT_FALSE(bed.sent(key::ap_airspeed_ref));
    EXPECT_TRUE(bed.shown(kAsi, "takeoff_ref_image"));
    EXPECT_EQ(var("asi_marker_1"), 133.0);
    bed.tick();
    EXPECT_FALSE(bed.shown(kAsi, "takeoff_ref_image"));
    EXPECT_FALSE(bed.shown(kAsi, "approach_ref_image"));
    EXPECT_EQ(var("asi_ref_request"), 0.0);
    EXPECT_EQ(var("asi_ref_applied"), 0.0);
    // A new press applies again.
    set(kOnGround, 0.0);
    click(kAsi, "ref_button");
    bed.tick();
    EXPECT_EQ(bed.sent_count(key::ap_airspeed_ref), 1);
    EXPECT_TRUE(bed.shown(kAsi, "approach_ref_image"));
}

TEST_F(MainAirspeedIndicator, reference_speeds_stop_at_the_ends_of_their_byte) {
    set(kFlapPosition, kFlapStep2);
    aircraft.gross_weight_100kg = 5000.0;  // 334 kt before the byte
    bed.tick();
    EXPECT_EQ(var("ref_base"), 255.0);
    EXPECT_EQ(var("ref_base_plus_10"), 255.0);
    EXPECT_EQ(var("ref_to_4"), 255.0);
    EXPECT_EQ(var("ref_to_1"), 248.0);
    aircraft.gross_weight_100kg = -1e300;
    bed.tick();
    EXPECT_EQ(var("ref_base"), 0.0);
    EXPECT_EQ(var("ref_to_1"), 0.0);  // not wrapped round to 249
    aircraft.gross_weight_100kg = kNaN;
    bed.tick();
    EXPECT_EQ(var("ref_base"), 0.0);
    EXPECT_EQ(var("ref_to_3"), 55.0);
}

TEST_F(MainAirspeedIndicator, raising_marker_1_onto_marker_2_pushes_it) {
    click(kAsi, "marker_1.up", 29);
    expect_markers(149, 150, 185, 215);
    click(kAsi, "marker_1.up");
    expect_markers(150, 151, 185, 215);
    // With every gap closed the whole chain goes up together.
    set_markers(140, 141, 146, 151);
    click(kAsi, "marker_1.up");
    expect_markers(141, 142, 147, 152);
    // The push stops at the first gap that is still wide enough.
    set_markers(140, 141, 147, 200);
    click(kAsi, "marker_1.up");
    expect_markers(141, 142, 147, 200);
    click(kAsi, "marker_1.up");
    expect_markers(142, 143, 148, 200);
}

TEST_F(MainAirspeedIndicator, lowering_marker_4_pushes_the_chain_down) {
    set_markers(100, 101, 106, 111);
    click(kAsi, "marker_4.down");
    expect_markers(99, 100, 105, 110);
    set_markers(100, 150, 160, 166);
    click(kAsi, "marker_4.down");
    expect_markers(100, 150, 160, 165);
    click(kAsi, "marker_4.down");
    expect_markers(100, 150, 159, 164);
    click(kAsi, "marker_3.down", 4);
    expect_markers(100, 150, 155, 164);
    click(kAsi, "marker_3.down");
    expect_markers(100, 149, 154, 164);
    click(kAsi, "marker_2.up");
    expect_markers(100, 150, 155, 164);
    click(kAsi, "marker_3.up");
    click(kAsi, "marker_4.down", 3);
    expect_markers(100, 150, 156, 161);
    click(kAsi, "marker_3.up");
    expect_markers(100, 150, 157, 162);
    click(kAsi, "marker_2.down", 49);
    expect_markers(100, 101, 157, 162);
    click(kAsi, "marker_2.down");
    expect_markers(99, 100, 157, 162);
}

TEST_F(MainAirspeedIndicator, markers_are_held_at_the_ends_of_their_ranges) {
    set_markers(60, 61, 66, 71);
    click(kAsi, "marker_1.down");
    click(kAsi, "marker_2.down");
    click(kAsi, "marker_3.down");
    click(kAsi, "marker_4.down");
    expect_markers(60, 61, 66, 71);
    set_markers(439, 440, 445, 450);
    click(kAsi, "marker_1.up");
    click(kAsi, "marker_2.up");
    click(kAsi, "marker_3.up");
    click(kAsi, "marker_4.up");
    expect_markers(439, 440, 445, 450);
    // Marker 1 goes down alone, marker 4 up alone.
    set_markers(100, 101, 106, 111);
    click(kAsi, "marker_1.down");
    click(kAsi, "marker_4.up");
    expect_markers(99, 101, 106, 112);
}

TEST_F(MainAirspeedIndicator, knobs_repeat_while_held_and_the_push_button_does_not) {
    for (const char* a : {"marker_1.down", "marker_1.up", "marker_2.down", "marker_2.up", "marker_3.down",
                          "marker_3.up", "marker_4.down", "marker_4.up"})
        EXPECT_TRUE(repeats(kAsi, a)) << a;
    EXPECT_FALSE(repeats(kAsi, "ref_button"));
}

TEST_F(MainAirspeedIndicator, needle_climbs_10_knots_a_tick_and_drops_at_once) {
    set(kIas, 100.0);
    bed.tick(9);
    EXPECT_EQ(bed.value(kAsi, "asi_needle"), 90.0);
    bed.tick();
    EXPECT_EQ(bed.value(kAsi, "asi_needle"), 100.0);
    set(kIas, 42.5);
    bed.tick();
    EXPECT_EQ(bed.value(kAsi, "asi_needle"), 42.5);
}

TEST_F(MainAirspeedIndicator, needle_runs_down_without_dc_essential_power_or_when_failed) {
    set(kIas, 35.0);
    bed.tick(4);
    EXPECT_EQ(var("asi_needle"), 35.0);
    aircraft.dc_ess = 0;
    bed.tick();
    EXPECT_EQ(var("asi_needle"), 25.0);
    aircraft.dc_ess = 1;
    set_i(kAsiFailed, 1);
    bed.tick(2);
    EXPECT_EQ(var("asi_needle"), 5.0);
    bed.tick();
    EXPECT_EQ(var("asi_needle"), 0.0);
}

TEST_F(MainAirspeedIndicator, needle_and_markers_are_clamped_to_the_scale_and_the_clamp_is_kept) {
    set(kIas, -20.0);
    bed.tick();
    EXPECT_EQ(bed.value(kAsi, "asi_needle"), 0.0);
    EXPECT_EQ(var("asi_needle"), 0.0);
    set(kIas, kInf);
    bed.tick(60);
    EXPECT_EQ(bed.value(kAsi, "asi_needle"), 450.0);
    EXPECT_EQ(var("asi_needle"), 450.0);
    set(kIas, kNaN);
    bed.tick();
    EXPECT_EQ(var("asi_needle"), 0.0);
    set_var("asi_marker_4", 4000);
    bed.tick();
    EXPECT_EQ(bed.value(kAsi, "asi_marker_4"), 450.0);
    EXPECT_EQ(var("asi_marker_4"), 450.0);
}

TEST_F(MainAirspeedIndicator, hold_and_limit_markers_follow_the_simulator) {
    set(kAirspeedHoldRef, 250.9);
    set(kMaxSpeed128, 340.0 * 128.0 + 127.0);
    bed.tick();
    EXPECT_EQ(bed.value(kAsi, "asi_hold_marker"), 250.0);
    EXPECT_EQ(bed.value(kAsi, "asi_limit_marker"), 340.0);
    aircraft.dc_ess = 0;  // the hold bug stays, the limit pointer moves on
    set(kAirspeedHoldRef, 180.0);
    set(kMaxSpeed128, 300.0 * 128.0);
    bed.tick();
    EXPECT_EQ(var("asi_hold_marker"), 250.0);
    EXPECT_EQ(var("asi_limit_marker"), 300.0);
    aircraft.dc_ess = 1;
    set(kAirspeedHoldRef, 1e300);
    set(kMaxSpeed128, kNaN);
    bed.tick();
    EXPECT_EQ(var("asi_hold_marker"), 450.0);
    EXPECT_EQ(var("asi_limit_marker"), 0.0);
    set(kAirspeedHoldRef, -kInf);
    bed.tick();
    EXPECT_EQ(var("asi_hold_marker"), 0.0);
}

TEST_F(MainAirspeedIndicator, mach_counter_value_from_the_simulator_mach) {
    set(kMach20480, 16384.0);  // Mach 0.8
    bed.tick();
    EXPECT_NEAR(shared.asi_speed_value, 814.2, 1e-9);
    set(kMach20480, 2000.0);
    bed.tick();
    EXPECT_EQ(shared.asi_speed_value, 150.0);
    set(kMach20480, 3000.0);
    bed.tick();
    EXPECT_EQ(shared.asi_speed_value, 150.0);
    set(kMach20480, 3020.0);
    bed.tick();
    EXPECT_NEAR(shared.asi_speed_value, 146.0, 1e-9);
    set(kMach20480, kNaN);
    bed.tick();
    EXPECT_EQ(shared.asi_speed_value, 150.0);
    // Frozen without power.
    set(kMach20480, 16384.0);
    aircraft.dc_ess = 0;
    bed.tick();
    EXPECT_EQ(shared.asi_speed_value, 150.0);
}

TEST_F(MainAirspeedIndicator, mach_drums_stand_on_their_digits_and_roll_in_the_last_unit) {
    set_mach_counter(814.2);
    bed.tick();
    EXPECT_NEAR(bed.value(kAsi, "mach_100_drum"), 2.0, 1e-9);  // digit 8
    EXPECT_NEAR(bed.value(kAsi, "mach_10_drum"), 9.0, 1e-9);   // digit 1
    EXPECT_NEAR(bed.value(kAsi, "mach_1_drum"), 5.8, 1e-9);    // 4.2
    set_mach_counter(799.95);
    bed.tick();
    EXPECT_NEAR(bed.value(kAsi, "mach_100_drum"), 2.05, 1e-6);  // 7 rolling toward 8
    EXPECT_NEAR(bed.value(kAsi, "mach_10_drum"), 0.05, 1e-6);   // 9 rolling toward 0
    EXPECT_NEAR(bed.value(kAsi, "mach_1_drum"), 0.05, 1e-6);
    set_mach_counter(785.0);  // tens outside their roll zone
    bed.tick();
    EXPECT_NEAR(bed.value(kAsi, "mach_100_drum"), 3.0, 1e-9);
    EXPECT_NEAR(bed.value(kAsi, "mach_10_drum"), 2.0, 1e-9);
}

TEST_F(MainAirspeedIndicator, mach_units_drum_keeps_off_its_seam) {
    set(kMach20480, 2000.0);  // 150: the units drum would stand at 10
    bed.tick();
    EXPECT_EQ(bed.value(kAsi, "mach_1_drum"), 0.002);
    EXPECT_NEAR(bed.value(kAsi, "mach_100_drum"), 9.0, 1e-9);
    EXPECT_NEAR(bed.value(kAsi, "mach_10_drum"), 5.0, 1e-9);
    set_mach_counter(149.9995);
    bed.tick();
    EXPECT_EQ(bed.value(kAsi, "mach_1_drum"), 9.998);
}

TEST_F(MainAirspeedIndicator, mach_drums_stay_on_the_counter_with_an_infinite_mach) {
    set(kMach20480, kInf);
    bed.tick();
    EXPECT_EQ(shared.asi_speed_value, kInf);
    for (const char* d : {"mach_100_drum", "mach_10_drum", "mach_1_drum"}) {
        const double p = bed.value(kAsi, d);
        EXPECT_TRUE(p >= 0.0 && p <= 10.0) << d << " " << p;
    }
    set(kMach20480, 1e300);
    bed.tick();
    for (const char* d : {"mach_100_drum", "mach_10_drum", "mach_1_drum"}) {
        const double p = bed.value(kAsi, d);
        EXPECT_TRUE(p >= 0.0 && p <= 10.0) << d << " " << p;
    }
}

TEST_F(MainAirspeedIndicator, off_flags_and_the_instrument_fault) {
    aircraft.dc_ess = 0;
    bed.tick();
    for (const char* f : {"off_flag_1", "off_flag_2", "off_flag_3", "off_flag_4"}) EXPECT_TRUE(bed.shown(kAsi, f));
    aircraft.dc_ess = 1;
    set_i(kAsiFailed, 1);
    bed.tick();
    EXPECT_TRUE(bed.shown(kAsi, "off_flag_1"));
    EXPECT_TRUE(bed.shown(kAsi, "off_flag_3"));
    EXPECT_TRUE(bed.shown(kAsi, "off_flag_4"));  // keeps what it showed
    EXPECT_EQ(shared.mw_asi_fault, 1);
    set_i(kAsiFailed, 2);  // neither failed nor reported serviceable: the fault stays
    bed.tick();
    for (const char* f : {"off_flag_1", "off_flag_2", "off_flag_3", "off_flag_4"}) EXPECT_FALSE(bed.shown(kAsi, f));
    EXPECT_EQ(shared.mw_asi_fault, 1);
    set_i(kAsiFailed, 1);
    bed.tick();
    EXPECT_TRUE(bed.shown(kAsi, "off_flag_2"));
    EXPECT_FALSE(bed.shown(kAsi, "off_flag_4"));
    set_i(kAsiFailed, 0);
    bed.tick();
    EXPECT_EQ(shared.mw_asi_fault, 0);
    EXPECT_FALSE(bed.shown(kAsi, "off_flag_1"));
}

TEST_F(MainAirspeedIndicator, failure_is_not_reported_without_dc_essential_power) {
    aircraft.dc_ess = 0;
    set_i(kAsiFailed, 1);
    bed.tick();
    EXPECT_EQ(shared.mw_asi_fault, 0);
}

// --- Standby airspeed indicator -----------------------------------------------------------------

class StandbyAirspeedIndicator : public AirData {};

TEST_F(StandbyAirspeedIndicator, needle_comes_alive_at_60_knots) {
    set(kIas, 59.9);
    bed.tick(3);
    EXPECT_EQ(bed.value(kStby, "stby_asi_needle"), 0.0);
    set(kIas, 60.0);
    bed.tick(5);
    EXPECT_EQ(bed.value(kStby, "stby_asi_needle"), 50.0);
    bed.tick();
    EXPECT_EQ(bed.value(kStby, "stby_asi_needle"), 60.0);
    set(kIas, 123.9);
    bed.tick(6);
    EXPECT_EQ(bed.value(kStby, "stby_asi_needle"), 120.0);
    bed.tick();
    EXPECT_EQ(bed.value(kStby, "stby_asi_needle"), 123.0);
    set(kIas, 80.0);
    bed.tick();
    EXPECT_EQ(bed.value(kStby, "stby_asi_needle"), 80.0);
}

TEST_F(StandbyAirspeedIndicator, needle_runs_down_without_power_or_below_60_knots) {
    set(kIas, 75.0);
    bed.tick(8);
    EXPECT_EQ(var("stby_asi_needle"), 75.0);
    aircraft.dc_ess = 0;
    bed.tick(6);
    EXPECT_EQ(var("stby_asi_needle"), 15.0);
    bed.tick();
    EXPECT_EQ(var("stby_asi_needle"), 5.0);
    bed.tick();
    EXPECT_EQ(var("stby_asi_needle"), 0.0);
    aircraft.dc_ess = 1;
    set_var("stby_asi_needle", 30.0);
    set(kIas, 55.0);
    bed.tick(2);
    EXPECT_EQ(var("stby_asi_needle"), 10.0);
    bed.tick();
    EXPECT_EQ(var("stby_asi_needle"), 0.0);
    set_var("stby_asi_needle", 30.0);
    set(kIas, kNaN);
    bed.tick();
    EXPECT_EQ(var("stby_asi_needle"), 20.0);
}

TEST_F(StandbyAirspeedIndicator, needle_is_clamped_and_never_wraps) {
    set(kIas, kInf);
    bed.tick(60);
    EXPECT_EQ(bed.value(kStby, "stby_asi_needle"), 450.0);
    set_var("stby_asi_needle", 4294967290.0);
    bed.tick();
    EXPECT_EQ(var("stby_asi_needle"), 450.0);
    set(kIas, 1e300);
    bed.tick();
    EXPECT_EQ(var("stby_asi_needle"), 450.0);
}

TEST_F(StandbyAirspeedIndicator, knob_sets_the_bug_between_60_and_450) {
    click(kStby, "marker.down", 69);
    EXPECT_EQ(var("stby_asi_marker"), 61.0);
    click(kStby, "marker.down", 3);
    EXPECT_EQ(var("stby_asi_marker"), 60.0);
    set_var("stby_asi_marker", 448.0);
    click(kStby, "marker.up", 5);
    EXPECT_EQ(var("stby_asi_marker"), 450.0);
    EXPECT_TRUE(repeats(kStby, "marker.down"));
    EXPECT_TRUE(repeats(kStby, "marker.up"));
    set_var("stby_asi_marker", 9999.0);
    bed.tick();
    EXPECT_EQ(bed.value(kStby, "stby_asi_marker"), 450.0);
    EXPECT_EQ(var("stby_asi_marker"), 450.0);
}

// --- Vertical speed indicator -------------------------------------------------------------------

class VerticalSpeedIndicator : public AirData {
protected:
    void set_fpm(double fpm) { set(kVerticalSpeed256, fpm / 60.0 / 3.281 * 256.0); }
};

TEST_F(VerticalSpeedIndicator, vertical_speed_is_published_in_feet_per_minute) {
    set(kVerticalSpeed256, 256.0 * 5.08);  // 5.08 m/s
    bed.tick();
    EXPECT_NEAR(shared.vert_speed_fpm, 1000.0, 0.1);
    // Published whatever the power.
    aircraft.dc_ess = 0;
    set(kVerticalSpeed256, -256.0);
    bed.tick();
    EXPECT_NEAR(shared.vert_speed_fpm, -196.86, 1e-9);
}

TEST_F(VerticalSpeedIndicator, needle_climbs_500_a_tick_and_drops_at_once) {
    set_fpm(2100.7);
    bed.tick(3);
    EXPECT_EQ(bed.value(kVsi, "vsi_needle"), 1500.0);
    bed.tick();
    EXPECT_EQ(bed.value(kVsi, "vsi_needle"), 2000.0);
    bed.tick();
    EXPECT_EQ(bed.value(kVsi, "vsi_needle"), 2100.0);  // truncated
    set_fpm(-3000.5);
    bed.tick();
    EXPECT_EQ(bed.value(kVsi, "vsi_needle"), -3000.0);
    EXPECT_FALSE(bed.shown(kVsi, "off_flag"));
}

TEST_F(VerticalSpeedIndicator, beyond_6000_the_needle_stops_and_the_off_flag_shows) {
    set_fpm(-7000.0);
    bed.tick();
    EXPECT_EQ(bed.value(kVsi, "vsi_needle"), -6000.0);
    EXPECT_EQ(var("vsi_needle"), -6000.0);
    EXPECT_TRUE(bed.shown(kVsi, "off_flag"));
    set_fpm(5990.0);
    bed.tick();
    EXPECT_FALSE(bed.shown(kVsi, "off_flag"));
    set_fpm(7000.0);
    bed.tick(30);  // up from -5500 at 500 a tick
    EXPECT_EQ(bed.value(kVsi, "vsi_needle"), 6000.0);
    EXPECT_TRUE(bed.shown(kVsi, "off_flag"));
}

TEST_F(VerticalSpeedIndicator, needle_runs_down_without_power_or_when_failed) {
    set_fpm(2100.5);
    bed.tick(5);
    EXPECT_EQ(var("vsi_needle"), 2100.0);
    aircraft.dc_ess = 0;
    bed.tick();
    EXPECT_TRUE(bed.shown(kVsi, "off_flag"));
    EXPECT_EQ(var("vsi_needle"), 1600.0);
    aircraft.dc_ess = 1;
    set_i(kVsiFailed, 1);
    bed.tick(2);
    EXPECT_EQ(var("vsi_needle"), 600.0);
    EXPECT_TRUE(bed.shown(kVsi, "off_flag"));
    bed.tick();
    EXPECT_EQ(var("vsi_needle"), 100.0);
    bed.tick();
    EXPECT_EQ(var("vsi_needle"), 0.0);
    // A descent reading goes straight to zero.
    set_i(kVsiFailed, 0);
    set_fpm(-2500.0);
    bed.tick();
    set_i(kVsiFailed, 1);
    bed.tick();
    EXPECT_EQ(var("vsi_needle"), 0.0);
}

TEST_F(VerticalSpeedIndicator, bad_vertical_speeds_leave_the_needle_on_the_scale) {
    set(kVerticalSpeed256, kNaN);
    bed.tick();
    EXPECT_EQ(bed.value(kVsi, "vsi_needle"), 0.0);
    set_var("vsi_needle", 2147483600.0);
    set(kVerticalSpeed256, kInf);
    bed.tick();
    EXPECT_EQ(var("vsi_needle"), 6000.0);
    EXPECT_TRUE(bed.shown(kVsi, "off_flag"));
    set(kVerticalSpeed256, -1e300);
    bed.tick();
    EXPECT_EQ(var("vsi_needle"), -6000.0);
}

// --- TAS counter --------------------------------------------------------------------------------

class TrueAirspeedCounter : public AirData {
protected:
    void set_flight(double mach, double tat_celsius) {
        set(kMach20480, mach * 20480.0);
        set(kTotalAirTemp256, tat_celsius / 256.0);
    }
};

TEST_F(TrueAirspeedCounter, tas_from_mach_and_total_air_temperature) {
    // Mach 0.8 with a total temperature of -20 C: static air 224.4 K, speed of sound 584 kt.
    set_flight(0.8, -20.0);
    bed.tick();
    EXPECT_NEAR(var("tas_display"), 467.4, 0.1);
    EXPECT_NEAR(bed.value(kTas, "tas_100_drum"), 6.0, 1e-9);
    EXPECT_NEAR(bed.value(kTas, "tas_10_drum"), 4.0, 1e-9);
    EXPECT_NEAR(bed.value(kTas, "tas_1_drum"), 10.0 - (var("tas_display") - 460.0), 1e-9);
    EXPECT_FALSE(bed.shown(kTas, "off_flag"));
}

TEST_F(TrueAirspeedCounter, reads_no_less_than_120_knots) {
    set_flight(0.1, 15.0);
    bed.tick();
    EXPECT_EQ(var("tas_display"), 120.0);
    set_flight(0.3, -300.0);  // below absolute zero: no square root
    bed.tick();
    EXPECT_EQ(var("tas_display"), 120.0);
    set_flight(kNaN, 15.0);
    bed.tick();
    EXPECT_EQ(var("tas_display"), 120.0);
}

TEST_F(TrueAirspeedCounter, freezes_behind_its_off_flag_without_ac_essential_power) {
    set_flight(0.8, -20.0);
    bed.tick();
    const double before = var("tas_display");
    aircraft.ac_ess = 0;
    set_flight(0.5, -20.0);
    bed.tick();
    EXPECT_EQ(var("tas_display"), before);
    EXPECT_TRUE(bed.shown(kTas, "off_flag"));
    aircraft.ac_ess = 1;
    bed.tick();
    EXPECT_LT(var("tas_display"), before);
    EXPECT_FALSE(bed.shown(kTas, "off_flag"));
}

TEST_F(TrueAirspeedCounter, drums_stay_on_the_counter_with_an_infinite_speed) {
    for (const double tat : {kInf, 1e300}) {
        set_flight(0.8, tat);
        bed.tick();
        EXPECT_GT(var("tas_display"), 1e100);
        for (const char* d : {"tas_100_drum", "tas_10_drum", "tas_1_drum"}) {
            const double p = bed.value(kTas, d);
            EXPECT_TRUE(p >= 0.0 && p <= 10.0) << d << " " << p;
        }
    }
}

// --- SAT counter --------------------------------------------------------------------------------

class StaticAirTemperatureCounter : public AirData {};

TEST_F(StaticAirTemperatureCounter, below_zero_shows_the_minus_set) {
    set(kStaticAirTemp, -23.4);
    bed.tick();
    EXPECT_TRUE(bed.shown(kSat, "minus_sign"));
    EXPECT_TRUE(bed.shown(kSat, "minus_10_drum"));
    EXPECT_TRUE(bed.shown(kSat, "minus_1_drum"));
    EXPECT_FALSE(bed.shown(kSat, "plus_sign"));
    EXPECT_FALSE(bed.shown(kSat, "plus_10_drum"));
    EXPECT_FALSE(bed.shown(kSat, "plus_1_drum"));
    EXPECT_NEAR(bed.value(kSat, "minus_10_drum"), 8.0, 1e-9);  // 2
    EXPECT_NEAR(bed.value(kSat, "minus_1_drum"), 6.6, 1e-9);   // 3.4
}

TEST_F(StaticAirTemperatureCounter, zero_and_above_show_the_plus_set) {
    set(kStaticAirTemp, 0.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kSat, "plus_sign"));
    EXPECT_FALSE(bed.shown(kSat, "minus_sign"));
    set(kStaticAirTemp, 19.95);  // tens rolling from 1 toward 2
    bed.tick();
    EXPECT_TRUE(bed.shown(kSat, "plus_10_drum"));
    EXPECT_FALSE(bed.shown(kSat, "minus_10_drum"));
    EXPECT_NEAR(bed.value(kSat, "plus_10_drum"), 8.05, 1e-6);
}

TEST_F(StaticAirTemperatureCounter, reading_needs_ac_essential_and_the_flag_dc_essential) {
    set(kStaticAirTemp, -5.0);
    bed.tick();
    aircraft.ac_ess = 0;
    set(kStaticAirTemp, 12.0);
    bed.tick();
    EXPECT_EQ(var("sat_value"), -5.0);
    EXPECT_TRUE(bed.shown(kSat, "minus_sign"));
    EXPECT_FALSE(bed.shown(kSat, "off_flag"));
    aircraft.dc_ess = 0;
    bed.tick();
    EXPECT_TRUE(bed.shown(kSat, "off_flag"));
    aircraft.ac_ess = 1;
    bed.tick();
    EXPECT_EQ(var("sat_value"), 12.0);
    EXPECT_TRUE(bed.shown(kSat, "plus_sign"));
}

TEST_F(StaticAirTemperatureCounter, a_reading_that_is_no_number_shows_plus_zero) {
    set(kStaticAirTemp, kNaN);
    bed.tick();
    EXPECT_TRUE(bed.shown(kSat, "plus_sign"));
    EXPECT_FALSE(bed.shown(kSat, "minus_sign"));
    EXPECT_EQ(bed.value(kSat, "plus_10_drum"), 0.0);
    EXPECT_EQ(bed.value(kSat, "plus_1_drum"), 10.0);
}

// --- Angle-of-attack tape -----------------------------------------------------------------------

class AngleOfAttackTape : public AirData {
protected:
    void set_alpha_degrees(double a) { set(kAngleOfAttack, a * 3.14116 / 180.0); }
    double tape() { return bed.value(kAoa, "aoa_tape"); }
};

TEST_F(AngleOfAttackTape, on_the_ground_it_settles_in_the_6_to_8_band) {
    set(kOnGround, 1.0);
    bed.tick(6);
    EXPECT_EQ(tape(), 6.0);
    bed.tick();
    EXPECT_EQ(tape(), 7.0);
    set_var("aoa_tape", 10.0);
    bed.tick();
    EXPECT_EQ(tape(), 9.0);
    bed.tick();
    EXPECT_EQ(tape(), 8.0);
    bed.tick();
    EXPECT_EQ(tape(), 7.0);
}

TEST_F(AngleOfAttackTape, in_the_air_with_2_degrees_it_settles_at_7) {
    set(kOnGround, 0.0);
    set_alpha_degrees(2.0);
    bed.tick(3);
    EXPECT_EQ(tape(), 6.0);
    bed.tick();
    EXPECT_NEAR(tape(), 7.0, 1e-12);
    bed.tick(10);
    EXPECT_NEAR(tape(), 7.0, 1e-12);
    // Inside the dead band (alpha + 3 .. alpha + 7) the tape goes to alpha + 5.
    set_alpha_degrees(3.5);
    bed.tick();
    EXPECT_NEAR(tape(), 8.5, 1e-12);
    set_alpha_degrees(-1.0);
    bed.tick();
    EXPECT_NEAR(tape(), 6.5, 1e-12);
}

TEST_F(AngleOfAttackTape, tape_stops_at_half_a_degree_and_26_point_7) {
    set(kOnGround, 0.999);  // in the air
    set_alpha_degrees(40.0);
    bed.tick(13);
    EXPECT_EQ(tape(), 26.0);
    bed.tick();
    EXPECT_EQ(tape(), 26.7);
    bed.tick();
    EXPECT_EQ(tape(), 26.7);
    set_alpha_degrees(-20.0);
    bed.tick(13);
    EXPECT_NEAR(tape(), 0.7, 1e-9);
    bed.tick();
    EXPECT_EQ(tape(), 0.5);
}

TEST_F(AngleOfAttackTape, freezes_behind_its_off_flag_without_ac_bus_1) {
    aircraft.ac_1 = 0;
    set(kOnGround, 1.0);
    bed.tick(3);
    EXPECT_EQ(tape(), 0.0);  // not even brought to its lower stop
    EXPECT_TRUE(bed.shown(kAoa, "off_flag"));
    aircraft.ac_1 = 1;
    bed.tick();
    EXPECT_EQ(tape(), 1.0);
    EXPECT_FALSE(bed.shown(kAoa, "off_flag"));
}

TEST_F(AngleOfAttackTape, an_angle_that_is_no_number_rests_the_tape_on_its_lower_stop) {
    set(kOnGround, 0.0);
    set_alpha_degrees(2.0);
    bed.tick(5);
    set(kAngleOfAttack, kNaN);
    bed.tick();
    EXPECT_EQ(tape(), 0.5);
    set(kAngleOfAttack, kInf);
    bed.tick();
    EXPECT_EQ(tape(), 2.5);
    set(kAngleOfAttack, -kInf);
    bed.tick();
    EXPECT_EQ(tape(), 0.5);
}

}  // namespace
}  // namespace tarvenol::testing
