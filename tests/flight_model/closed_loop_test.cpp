// The cockpit flies the flight model: its clicks and laws drive the simulator's holds and axes, the
// aircraft's motion comes back through the simulator variables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "flight.h"
#include "host/campaign.h"
#include "module/shared_state.h"

namespace tarvenol::host::testing {
namespace {

constexpr int kSecond = 18;
constexpr double kMaxSinkFpm = 600.0;
constexpr double kSinkMargin = 1.1;
constexpr double kMaxCentrelineM = 15.0;

// Where an automatic approach starts: below the glide path on the localizer's side, level.
struct Start {
    double before_m;      // before the threshold
    double right_m;       // right of the extended centreline
    double height_ft;     // above the runway
    double ias_kt;
    double heading_offset_deg;
    double wind_from_offset_deg;  // from the runway heading
    double wind_kt;
};

// On a short final: power, autopilot 1, SPEED at 140 kt, NAV 1 on the ILS and its course, LAND.
void autoland_from(const Start& s) {
    SCOPED_TRACE(::testing::Message() << "start " << s.before_m << " m before, " << s.right_m << " m right, " << s.height_ft
                                    << " ft, " << s.ias_kt << " kt, heading +" << s.heading_offset_deg << ", wind "
                                    << s.wind_kt << " kt");
    Flight f;
    const NavWorld& w = f.flight.world();
    f.engines_running(0.4);
    f.landing_configuration();
    f.v.set(sim::nav1_freq_bcd, w.runway.ils_bcd);
    f.v.set(sim::nav1_obs_deg, w.runway.heading_deg);
    f.flight.place_on_approach(s.before_m, s.right_m, s.height_ft, s.ias_kt, s.heading_offset_deg);
    f.flight.set_wind(std::fmod(w.runway.heading_deg + s.wind_from_offset_deg + 360.0, 360.0), s.wind_kt);
    f.cockpit_ready_with_autopilot();
    ASSERT_EQ(shared.ap_engaged, 1);
    f.autothrottle_speed(140.0);
    ASSERT_EQ(shared.athr_mode, 1);
    f.click("tarvenol ap_master_t418", "land");
    ASSERT_EQ(shared.appr_mode, 30);

    bool locked = false, flared = false;
    while (!f.flight.touchdown().landed && f.flight.time_s() < 400.0) {
        f.sim.frame();
        locked = locked || shared.land_locked == 1;
        flared = flared || shared.flare_active == 1;
    }
    const TouchdownReport& t = f.flight.touchdown();
    ASSERT_TRUE(t.landed);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(flared);
    // The flare asks 50 ft/min; the aircraft floats, the speed goes and the autopilot's attitude
    // limit lets it settle at about the gear's limit (the campaign measures how often beyond it).
    EXPECT_GT(t.sink_fpm, 0.0);
    EXPECT_LT(t.sink_fpm, kMaxSinkFpm * kSinkMargin);
    EXPECT_LT(std::fabs(t.right_of_centreline_m), kMaxCentrelineM);
    // On the runway (where along it is the autoland campaign's to measure: the flare floats).
    EXPECT_GT(t.past_threshold_m, 0.0);
    EXPECT_LT(t.past_threshold_m, f.flight.world().runway.length_m / 2.0);
    EXPECT_LT(std::fabs(t.bank_deg), 3.0);
    // On the wheels the cockpit lets go of the approach and pins the nose down.
    f.frames(2);
    EXPECT_EQ(shared.runway_guidance, 1);
    EXPECT_EQ(f.v.get(sim::ap_state_111), 0.0);
    // The crew brakes and steers to a stop: the rig's verdict is a landing.
    while (f.flight.judgement().verdict == Verdict::undecided && f.flight.time_s() < 500.0) {
        crew_roll_out(f.flight, f.v);
        f.sim.frame();
    }
    const Verdict v = f.flight.judgement().verdict;
    EXPECT_TRUE(v == Verdict::landed || (v == Verdict::hard_landing && t.sink_fpm > kMaxSinkFpm)) << f.flight.verdict_text();
}

TEST(ClosedLoop, the_autoland_touches_down_on_the_runway_centreline_from_every_start) {
    const Start starts[] = {
        {9000.0, 0.0, 1200.0, 140.0, 0.0, 0.0, 0.0},
        {9000.0, 250.0, 1200.0, 140.0, 10.0, 0.0, 0.0},     // right of the localizer, turning in
        {9000.0, -250.0, 1000.0, 130.0, -10.0, 0.0, 0.0},   // left, low and slow
        {10000.0, 100.0, 1500.0, 155.0, 0.0, 0.0, 0.0},     // fast
        {9000.0, 0.0, 1200.0, 140.0, 0.0, 60.0, 15.0},      // a crosswind from the right
    };
    for (const Start& s : starts) autoland_from(s);
}

// After take-off an engine fails: the yaw damper and the autopilot (heading select, IAS) hold the
// aircraft: the heading, the bank and the speed stay close to where they were.
TEST(ClosedLoop, an_engine_failure_after_take_off_is_held_without_divergence) {
    Flight f;
    const NavWorld& w = f.flight.world();
    f.engines_running(0.8, 90.0);
    f.v.set(sim::flap_pos, 4096.0);
    f.v.set(sim::flap_handle, 4096.0);
    f.flight.place_on_approach(-w.runway.length_m - 3000.0, 0.0, 1500.0, 170.0);
    f.cockpit_ready_with_autopilot();
    // Heading select on the present heading, and IAS mode on the present speed.
    const int heading = static_cast<int>(std::lround(f.flight.heading_deg()));
    for (int i = 0; i < heading / 10; ++i) f.click("tarvenol ap_hdg_t418", "hdg_sel.up_10");
    for (int i = 0; i < heading % 10; ++i) f.click("tarvenol ap_hdg_t418", "hdg_sel.up_1");
    f.click("tarvenol ap_hdg_t418", "hdg");
    f.click("tarvenol ap_master_t418", "ias");
    f.frames(40 * kSecond);
    ASSERT_EQ(shared.hdg_sel_mode, 1);
    ASSERT_EQ(shared.ias_pitch_mode, 1);
    const double speed = f.flight.ias_kt();
    EXPECT_NEAR(f.flight.heading_deg(), heading, 2.0);

    // Engine 1 fails and stays failed (the simulator's own failure). The speed swings while the
    // IAS mode trades climb for it, and settles; the heading holds throughout.
    constexpr int kFlown = 240 * kSecond;
    constexpr int kSettled = 180 * kSecond;  // from here on the flight is steady
    double worst_heading = 0.0, worst_bank = 0.0, lowest = 1e9, highest = 0.0, settled_low = 1e9, settled_high = 0.0;
    for (int i = 0; i < kFlown; ++i) {
        f.sim.model().key_event(key::eng1_failure_set.id, 1);
        f.sim.frame();
        const double ias = f.flight.ias_kt();
        worst_heading = std::max(worst_heading, std::fabs(std::fmod(f.flight.heading_deg() - heading + 540.0, 360.0) - 180.0));
        worst_bank = std::max(worst_bank, std::fabs(f.flight.bank_deg()));
        lowest = std::min(lowest, ias);
        highest = std::max(highest, ias);
        if (i >= kSettled) settled_low = std::min(settled_low, ias), settled_high = std::max(settled_high, ias);
    }
    EXPECT_LT(f.v.get(sim::eng1_n2_pct), 30.0);  // the engine ran down
    EXPECT_GT(f.v.get(sim::eng2_n2_pct), 80.0);
    EXPECT_LT(worst_heading, 2.5);
    EXPECT_LT(worst_bank, 5.0);
    EXPECT_GT(lowest, speed - 45.0);
    EXPECT_LT(highest, speed + 45.0);
    EXPECT_LT(settled_high - settled_low, 10.0);
    EXPECT_NEAR(f.flight.ias_kt(), speed, 10.0);
    EXPECT_GT(f.flight.vs_fpm(), 0.0);  // still climbing on one engine
    EXPECT_GT(f.flight.height_m() * kFeetPerMetre, 1000.0);
    EXPECT_EQ(shared.ap_engaged, 1);
}

// Flown into the ground with the gear up, the ground proximity warning speaks before the impact.
TEST(ClosedLoop, the_ground_proximity_warning_speaks_when_flown_into_terrain) {
    Flight f;
    f.engines_running(0.5);
    f.flight.place_on_approach(20000.0, 0.0, 2500.0, 250.0);
    f.cockpit_ready_with_autopilot();
    f.click("tarvenol ap_master_t418", "ap_1.off");
    f.frames(2);
    f.sim.reset_sound_counts();
    f.v.set(sim::elevator_pos, 2500.0);  // the nose pushed down and held
    long first_callout = -1;
    const snd::SoundId callouts[] = {find_sound("SNKRATE"), find_sound("WPULLUP"), find_sound("TERRAIN"),
                                     find_sound("TOOLOWTERRAIN"), find_sound("TOOLOWGEAR")};
    while (!f.flight.touchdown().landed && f.flight.time_s() < 300.0) {
        f.sim.frame();
        for (const snd::SoundId s : callouts)
            if (first_callout < 0 && f.sim.play_once_count(s) > 0) first_callout = f.sim.frames_run();
        if (first_callout < 0) f.v.set(sim::elevator_pos, f.flight.pitch_deg() > -8.0 ? 2500.0 : 0.0);
    }
    ASSERT_TRUE(f.flight.touchdown().landed);
    EXPECT_GT(f.flight.touchdown().sink_fpm, 1000.0);  // it hit the ground
    ASSERT_GE(first_callout, 0);
    EXPECT_LT(first_callout, f.sim.frames_run() - 2 * kSecond);  // seconds before the impact
    EXPECT_GT(f.sim.play_once_count(find_sound("WPULLUP")), 0u);
}

}  // namespace
}  // namespace tarvenol::host::testing
