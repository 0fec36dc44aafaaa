// The autopilot's control laws as the simulator sees them: the bank hold and its hand-over to the
// simulator's lateral hold, the aileron offsets and commands, the approach vertical speed and its
// rounding, pitch hold and its far altitude targets, the IAS mode's table, zone tag and timer, and
// the LAND flare.
#include "afs.h"

namespace tarvenol::testing {
namespace {

class ControlLaws : public Afs {
protected:
    // Autopilot 1 in command with the bank law initialised at `bank` (degrees, right positive).
    void bank_hold_at(double bank) {
        sim(sim::bank_deg, -bank);
        engage();
        set_var("roll_hold_initialised", 1);
        bed.tick();
    }
    double last(KeyEvent event) {
        const auto v = values(event);
        return v.empty() ? -999999.0 : v.back();
    }
};

TEST_F(ControlLaws, a_bank_of_30_stays_on_the_ailerons_and_31_goes_to_the_simulator_at_30) {
    bank_hold_at(30.0);
    EXPECT_EQ(var("bank_hold"), 1.0);
    EXPECT_TRUE(bed.sent(key::ap_lateral_hold_off));
    EXPECT_TRUE(bed.sent(key::aileron_set));
    sim(sim::bank_deg, -31.0);
    bed.tick();
    EXPECT_TRUE(bed.sent(key::ap_lateral_hold_on));
    EXPECT_EQ(var("bank_target"), 30.0);
    EXPECT_EQ(var("bank_hold"), 0.0) << "the module lets go of the ailerons";
    bed.tick();
    EXPECT_FALSE(bed.sent(key::aileron_set));
}

TEST_F(ControlLaws, a_bank_beyond_30_before_initialisation_goes_to_the_simulator) {
    sim(sim::bank_deg, 40.0);
    engage();
    bed.tick();
    EXPECT_EQ(var("bank_target"), -30.0);
    EXPECT_EQ(var("bank_hold"), 0.0);
    EXPECT_TRUE(bed.sent(key::ap_lateral_hold_on));
    sim(sim::bank_deg, -12.0);
    bed.tick();
    EXPECT_EQ(var("bank_target"), 12.0);
    EXPECT_EQ(var("bank_hold"), 1.0);
    EXPECT_EQ(var("roll_hold_initialised"), 1.0);
}

struct Offset {
    i32 target;
    double offset;
};

TEST_F(ControlLaws, the_aileron_offset_comes_from_the_bank_target_band) {
    const Offset cases[] = {{5, 170},    {6, 210},    {28, 370},   {30, 370},   {31, 400},  {45, 400},
                            {-5, -180},  {-6, -210},  {-16, -310}, {-25, -340}, {-26, -370}, {-45, -400},
                            {46, -400},  {0, -400}};  // beyond 45 and 0 leave it as it was
    engage();
    shared.hdg_sel_mode = 1;  // a lateral mode: the roll law leaves the target alone
    for (const Offset& c : cases) {
        set_var("bank_target", c.target);
        bed.tick();
        EXPECT_EQ(var("aileron_offset"), c.offset) << c.target;
    }
}

struct AileronCase {
    i32 error;
    i32 command;
};

TEST_F(ControlLaws, the_aileron_command_is_the_offset_plus_a_correction_by_the_bank_error) {
    bank_hold_at(10.0);
    ASSERT_EQ(var("bank_target"), 10.0);
    const i32 off = 210;
    const AileronCase cases[] = {{0, off - 50},   {1, off + 1500},  {4, off + 1500}, {5, off + 4000},
                                 {9, off + 4000}, {10, off + 7500}, {14, off + 7500}, {15, 10000},
                                 {-1, off - 1500}, {-5, off - 4000}, {-10, off - 7500}, {-15, -10000}};
    for (const AileronCase& c : cases) {
        sim(sim::bank_deg, -(10.0 + c.error));
        bed.tick();  // bank refreshed, then the command
        if (c.error > 20 || c.error < -20) continue;
        EXPECT_EQ(last(key::aileron_set), c.command) << c.error;
        set_var("bank_target", 10);
        set_var("bank_hold", 1);
    }
}

struct VsRound {
    double command_fpm;
    i32 sent;
};

TEST_F(ControlLaws, the_approach_vertical_speed_is_sent_rounded_away_from_half_steps) {
    engage();
    station(kGlideSlopeStation);
    click("loc");
    gs_captured = 2;  // on the glide slope: no pitch hold beside the approach law
    const VsRound cases[] = {{-750.5, -800}, {-720.5, -720}, {-700.5, -700}, {-749.5, -749}, {-751.0, -800}};
    for (const VsRound& c : cases) {
        fd_vs_cmd = c.command_fpm * kFpmUnits;
        vs_fpm(c.command_fpm);  // on the command: the reference is the command
        bed.tick();
        EXPECT_EQ(shared.ap_vs_ref, static_cast<i32>(c.command_fpm)) << c.command_fpm;
        EXPECT_EQ(last(key::ap_vs_ref), c.sent) << c.command_fpm;
        EXPECT_EQ(values(key::ap_altitude_ref_m), std::vector<i32>{0});
    }
    // Off the command by more than 20 ft/min: 100 ft/min the other way.
    fd_vs_cmd = -700.0 * kFpmUnits;
    vs_fpm(-650.0);
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, -800);
    ralt(10.0);
    bed.tick();
    EXPECT_FALSE(bed.sent(key::ap_vs_ref)) << "nothing at or below 10 ft";
}

TEST_F(ControlLaws, pitch_hold_flies_a_far_target_the_way_the_aircraft_goes_and_level_at_the_stored_reference) {
    sim(sim::altitude_m, 3048.7);
    vs_fpm(1000.0);
    engage();
    EXPECT_EQ(shared.basic_pitch_mode, 1);
    EXPECT_TRUE(bed.sent(key::ap_altitude_hold_on));
    EXPECT_EQ(values(key::ap_altitude_ref_m), std::vector<i32>{60000});
    EXPECT_EQ(shared.ap_alt_ref, 3048) << "climbing keeps the present altitude as the level reference";
    shared.ap_alt_ref = 10000;  // the altitude panel stored feet
    vs_fpm(0.0);
    sim(sim::altitude_m, 3100.0);
    bed.tick();
    EXPECT_EQ(values(key::ap_altitude_ref_m), std::vector<i32>{10000}) << "level: the reference last stored";
    EXPECT_EQ(shared.ap_alt_ref, 10000);
    vs_fpm(-500.0);
    bed.tick();
    EXPECT_EQ(values(key::ap_altitude_ref_m), std::vector<i32>{0});
}

struct PitchBand {
    double pitch_change;
    i32 vs_ref;
};

TEST_F(ControlLaws, pitch_hold_follows_the_attitude_band_by_band) {
    vs_fpm(1000.0);
    sim(sim::pitch_deg, 5.0);
    engage();
    // Reference pitch is 5 degrees nose up; d = reference - pitch.
    const PitchBand cases[] = {{1.5, 1000 - 2250}, {1.0, 1000 - 1000}, {0.5, 1000 - 250}, {0.25, 1000 - 25},
                               {-1.5, 1000 + 2250}, {-1.0, 1000 + 1000}, {-0.5, 1000 + 250}, {-0.25, 1000 + 25},
                               {0.05, 1000}};
    for (const PitchBand& c : cases) {
        shared.ap_vs_ref = 0;
        set_var("vs_steady_capture", 0);
        sim(sim::pitch_deg, 5.0 - c.pitch_change);
        bed.tick();
        EXPECT_EQ(shared.ap_vs_ref, c.vs_ref) << c.pitch_change;
    }
    shared.ap_vs_ref = 0;
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 0) << "steady: the present vertical speed is taken once";
}

TEST_F(ControlLaws, an_elevator_input_beyond_5000_moves_the_reference_20_a_tick_and_holds_the_trim) {
    vs_fpm(0.0);
    sim(sim::elevator_trim, -1234.9);
    engage();
    const i32 start = shared.ap_vs_ref;
    sim(sim::elevator_input, 3000.0);
    bed.tick(3);
    EXPECT_EQ(shared.ap_vs_ref, start) << "both steps fire and cancel";
    EXPECT_EQ(values(key::elevator_trim_set), (std::vector<i32>(6, -1234))) << "trim held twice a tick";
    sim(sim::elevator_input, 6000.0);
    bed.tick(3);
    EXPECT_EQ(shared.ap_vs_ref, start + 60);
    sim(sim::elevator_input, -6000.0);
    bed.tick(2);
    EXPECT_EQ(shared.ap_vs_ref, start + 20);
    sim(sim::elevator_input, 99.0);
    bed.tick();
    EXPECT_EQ(var("trim_captured"), 0.0);
}

// --- IAS mode ---------------------------------------------------------------------------------------

class IasMode : public ControlLaws {
protected:
    static constexpr double kRef = 250.0;
    IasMode() {
        sim(sim::ias_kt, kRef);
        vs_fpm(1100.0);
        engage();
        click("ias");
        bed.tick();
    }
    // One tick at `error` knots off the reference with the trend `trend`, from a clear tag.
    void adjust(double error, double trend, i32 vs_ref = 0) {
        shared.ap_vs_ref = vs_ref;
        shared.ias_trend = trend;
        shared.ias_zone = 0;
        set_var("ias_zone_timed", 0);
        set_var("vs_steady_capture", 1);
        set_var("ias_sample_armed", 1);
        set_var("ias_sample_deadline", counter() + 18);
        set_var("ias_sample_1", kRef + error);  // the next trend: steady at this speed
        sim(sim::ias_kt, kRef + error);
        bed.tick();
    }
};

TEST_F(IasMode, engages_at_the_present_speed_and_vertical_speed) {
    EXPECT_EQ(var("ias_mode_engaged"), 1.0);
    EXPECT_EQ(var("ias_speed_ref"), 250.0);
    EXPECT_EQ(shared.fd_vert_code, 2);
}

struct Cell {
    double error;
    double trend;
    i32 change;
    u8 zone;
};

TEST_F(IasMode, each_band_and_trend_row_adds_its_cell) {
    const Cell cases[] = {
        // Fast side: zone 6 from 10 kt, zone 5 from 4, 4 from 2, 3 from 1, 2 from 0.5.
        {10.0, 1.01, 500, 6},  {10.0, 0.05, 50, 6},  {10.0, -0.26, -35, 6}, {9.5, 1.0, 250, 5},
        {4.0, 0.5, 100, 5},    {4.0, -0.05, 0, 5},   {3.5, 2.0, 350, 4},    {2.0, 0.1, 25, 4},
        {1.0, -0.1, -25, 3},   {1.5, -1.0, -350, 3}, {0.5, 0.0, 5, 2},      {0.5, -5.0, -24, 2},
        {0.49, 2.0, 0, 0},     {0.3, 2.0, 0, 0},
        // Slow side: zone 5 from -0.5, 4 from -1, 3 from -2, 2 from -4, 1 from -10.
        {-0.3, 2.0, 0, 0},     {-0.5, 1.5, 40, 5},   {-1.0, 0.75, 150, 4},  {-2.0, 0.3, 25, 3},
        {-4.0, 0.2, 0, 2},     {-3.9, 0.0, -15, 3},  {-9.0, -0.07, -40, 2}, {-10.0, 0.0, -50, 1},
        {-10.0, 2.0, 85, 1},   {-1.5, 0.06, 0, 4},   {-0.9, -1.0, -24, 5},
    };
    for (const Cell& c : cases) {
        adjust(c.error, c.trend);
        EXPECT_EQ(shared.ap_vs_ref, c.change) << c.error << " kt, trend " << c.trend;
        EXPECT_EQ(shared.ias_zone, c.zone) << c.error << " kt, trend " << c.trend;
    }
}

TEST_F(IasMode, after_an_adjustment_the_band_waits_18_ticks_unless_the_error_changes_band) {
    adjust(5.0, 0.0);  // zone 5, steady: +20
    EXPECT_EQ(shared.ap_vs_ref, 20);
    bed.tick(17);
    EXPECT_EQ(shared.ap_vs_ref, 20);
    EXPECT_EQ(shared.ias_zone, 5);
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 40) << "18 ticks later";
    sim(sim::ias_kt, kRef + 2.5);  // zone 4 at once
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 50);
    EXPECT_EQ(shared.ias_zone, 4);
}

TEST_F(IasMode, twelve_knots_fast_and_rising_climbs_500_a_tick_until_500_above_the_vertical_speed) {
    adjust(12.0, 2.0);
    EXPECT_EQ(shared.ap_vs_ref, 500);
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 1000);
    bed.tick(5);
    EXPECT_EQ(shared.ap_vs_ref, 2000) << "stops once 500 above 1100 ft/min";
    EXPECT_EQ(values(key::ap_altitude_ref_m).back(), 60000);
    EXPECT_EQ(values(key::ap_vs_ref).back(), 2000);
}

struct Limit {
    i32 from;
    double error, trend;
    i32 to;
};

// An increase is taken whole below 5000 and replaced by 4990 from 5000 up; a decrease likewise
// against -5000, except the steady-trend row's, which is guarded like an increase.
TEST_F(IasMode, a_step_beyond_5000_either_way_sets_the_reference_back_to_4990) {
    const Limit cases[] = {
        {4500, 12.0, 2.0, 5000},   {4999, 0.5, 0.0, 5004},    {5000, 12.0, 2.0, 4990},  {7000, 0.5, 0.0, 4990},
        {-4999, -12.0, -2.0, -5499}, {-5000, -1.5, -2.0, -4990}, {-9000, -0.9, -1.0, -4990},
        {5000, -10.0, 0.0, 4990},  {-6000, -10.0, 0.0, -6050},  {4990, -3.0, 0.0, 4975},
    };
    for (const Limit& c : cases) {
        vs_fpm(static_cast<double>(c.from));
        adjust(c.error, c.trend, c.from);
        EXPECT_EQ(shared.ap_vs_ref, c.to) << "from " << c.from << " at " << c.error << " kt, trend " << c.trend;
    }
}

TEST_F(IasMode, twelve_knots_fast_at_the_ceiling_swings_back_to_4990_each_tick) {
    vs_fpm(6000.0);
    adjust(12.0, 2.0, 4990);
    EXPECT_EQ(shared.ap_vs_ref, 5490) << "taken whole below 5000";
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 4990);
    bed.tick();
    EXPECT_EQ(shared.ap_vs_ref, 5490);
    EXPECT_EQ(values(key::ap_vs_ref).back(), 5490);
}

TEST_F(IasMode, a_level_reference_refreshes_the_altitude_reference_from_the_present_altitude) {
    shared.ap_alt_ref = 10000;
    sim(sim::altitude_m, 2500.9);
    adjust(0.4, 0.0, 0);
    EXPECT_EQ(shared.ap_alt_ref, 2500);
    EXPECT_EQ(values(key::ap_altitude_ref_m), std::vector<i32>{2500});
    EXPECT_EQ(values(key::ap_vs_ref), std::vector<i32>{0});
}

TEST_F(IasMode, the_speed_trend_is_the_change_over_nine_ticks_every_ten) {
    set_var("ias_sample_armed", 0);
    sim(sim::ias_kt, 240.0);
    bed.tick();  // first sample
    sim(sim::ias_kt, 241.5);
    bed.tick(8);
    EXPECT_NE(shared.ias_trend, 1.5);
    bed.tick();
    EXPECT_EQ(shared.ias_trend, 1.5);
}

TEST_F(IasMode, the_ias_mode_ending_lets_pitch_hold_engage_again) {
    click("ias");
    bed.tick();
    EXPECT_EQ(shared.ias_pitch_mode, 0);
    EXPECT_EQ(var("ias_mode_engaged"), 0.0);
    EXPECT_EQ(var("pitch_hold_engaged"), 1.0) << "released and engaged again on the same tick";
    EXPECT_TRUE(bed.sent(key::ap_altitude_hold_on));
    bed.tick();
    EXPECT_FALSE(bed.sent(key::ap_altitude_hold_on));
}

// --- LAND flare -------------------------------------------------------------------------------------

TEST_F(ControlLaws, the_flare_fires_at_80_30_and_10_ft_and_touchdown_pins_the_elevator) {
    sim(sim::height_agl_m, 400.0);
    sim(sim::ias_kt, 140.0);
    engage();
    station(kGlideSlopeStation);
    ralt(1200.0);
    click("land");
    ASSERT_EQ(shared.appr_mode, 30);
    sim(sim::height_agl_m, 700.0 / 3.281 - 0.01);
    bed.tick();
    EXPECT_EQ(shared.land_locked, 1);
    EXPECT_EQ(shared.flare_active, 0);
    const double heights[] = {80.0, 79.9, 30.0, 29.9, 10.0, 9.9};
    std::vector<std::vector<i32>> elevator;
    std::vector<std::vector<i32>> vs;
    for (double h : heights) {
        ralt(h);
        bed.tick();
        elevator.push_back(values(key::elevator_set));
        vs.push_back(values(key::ap_vs_ref));
    }
    EXPECT_EQ(elevator, (std::vector<std::vector<i32>>{{}, {}, {}, {-2500}, {-2500}, {-2500, 0}}));
    EXPECT_TRUE(vs[0].empty() || vs[0].back() != -50) << "not yet at 80 ft";
    EXPECT_EQ(vs[1].back(), -50);
    EXPECT_EQ(shared.flare_active, 1);
    EXPECT_EQ(shared.flare_elevator, 1);
    sim(sim::on_ground, 1.0);
    sim(sim::ias_kt, 120.0);
    ralt(0.0);
    bed.tick();
    EXPECT_EQ(values(key::elevator_set).back(), 8000);
    EXPECT_TRUE(bed.sent(key::sim_command_10096));
    EXPECT_TRUE(bed.sent(key::sim_command_100e3));
    EXPECT_EQ(shared.flare_active, 0);
    EXPECT_EQ(shared.runway_guidance, 1);
    sim(sim::ias_kt, 49.0);
    bed.tick();
    EXPECT_EQ(shared.runway_guidance, 0);
    EXPECT_EQ(shared.flare_elevator, 0);
}

}  // namespace
}  // namespace tarvenol::testing
