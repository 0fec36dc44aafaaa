// The autopilot master: channel and autopilot engagement with their interlocks, the levers' state
// machine, approach and LAND modes, the pitch wheel and the key events coupling the simulator's
// autopilot every tick.
#include <functional>

#include "afs.h"

namespace tarvenol::testing {
namespace {

class ApMaster : public Afs {};

struct Interlock {
    const char* what;
    std::function<void(ApMaster&)> spoil;
    u8 channel_1_engages;
};

TEST_F(ApMaster, the_channel_1_button_engages_only_with_every_interlock_met) {
    const Interlock cases[] = {
        {"all met", [](ApMaster&) {}, 1},
        {"bank 54 right", [](ApMaster& t) { t.sim(sim::bank_deg, -54.9); }, 1},
        {"bank 54 left", [](ApMaster& t) { t.sim(sim::bank_deg, 54.9); }, 1},
        {"bank 55", [](ApMaster& t) { t.sim(sim::bank_deg, -55.0); }, 0},
        {"bank -55", [](ApMaster& t) { t.sim(sim::bank_deg, 55.0); }, 0},
        {"no yaw damper", [](ApMaster& t) { t.yaw_dampers = 0; }, 0},
        {"no pitch trim", [](ApMaster& t) { t.pitch_trims = 0; }, 0},
        {"green not engine driven", [](ApMaster& t) { t.green = 2; }, 0},
        {"captain's normal equipment dead", [](ApMaster& t) { t.norm_eqpt = 0; }, 0},
        {"essential equipment level 0", [](ApMaster& t) { t.ess_level = 0; }, 0},
        {"no power", [](ApMaster& t) { t.power = 0; }, 0},
        {"yellow lost (channel 2's)", [](ApMaster& t) { t.yellow = 0; }, 1},
    };
    for (const Interlock& c : cases) {
        power = green = yellow = norm_eqpt = 1;
        yaw_dampers = pitch_trims = ess_level = 2;
        sim(sim::bank_deg, 0.0);
        shared.afs_channels = 0;
        c.spoil(*this);
        bed.tick();  // the bank is refreshed on the tick
        click("channel_1");
        EXPECT_EQ(shared.afs_channels, c.channel_1_engages) << c.what;
        bed.tick();
        EXPECT_EQ(shared.afs_channels, c.channel_1_engages) << c.what << ", after the tick";
    }
}

TEST_F(ApMaster, a_channel_button_with_a_channel_engaged_drops_every_channel_and_mode) {
    click("channel_1");
    station(kGlideSlopeStation);
    click("loc");
    shared.alt_mode = 4;
    bed.tick();
    ASSERT_EQ(shared.appr_mode, 10);
    click("channel_2");
    EXPECT_EQ(shared.afs_channels, 0);
    bed.tick();
    EXPECT_EQ(shared.appr_mode, 0);
    EXPECT_EQ(shared.alt_mode, 0);
    bed.tick();
    EXPECT_FALSE(bed.shown(kApMaster, "loc_light"));
    // With an autopilot in command its lever, still up, takes it back on the next tick.
    engage();
    click("channel_1");
    bed.tick();
    EXPECT_EQ(shared.afs_channels, 1);
    EXPECT_EQ(shared.ap_engaged, 1);
}

TEST_F(ApMaster, a_lever_up_engages_its_autopilot_on_the_next_tick_and_couples_the_simulator) {
    click("ap_1.on");
    EXPECT_EQ(shared.ap_engaged, 0);
    sim(sim::ap_master, 1.0);
    bed.tick();
    EXPECT_EQ(shared.ap_engaged, 1);
    EXPECT_EQ(shared.afs_channels, 1);
    EXPECT_EQ(bed.sent_count(key::ap_master_on), 1);
    EXPECT_EQ(bed.sent_count(key::yaw_damper_on), 1);
    EXPECT_FALSE(bed.sent(key::ap_master_off));
    EXPECT_TRUE(bed.shown(kApMaster, "ap_1.on"));
    EXPECT_FALSE(bed.shown(kApMaster, "channel_1_light")) << "the lights show the state the tick began with";
    bed.tick();
    EXPECT_TRUE(bed.shown(kApMaster, "channel_1_light"));
}

TEST_F(ApMaster, without_autopilot_the_master_off_and_cancel_set_go_every_tick_in_order) {
    click("channel_1");
    sim(sim::on_ground, 1.0);
    bed.tick();
    const std::vector<u32> expected{key::ap_approach_hold_off.id,  // not coupled
                                    key::ap_master_off.id,       key::ap_hold_off_10118.id, key::ap_lateral_hold_off.id,
                                    key::ap_heading_hold_off.id, key::ap_hold_off_1011b.id, key::ap_approach_hold_off.id,
                                    key::ap_hold_off_10116.id,
                                    // disconnect: the cancel set without the master
                                    key::ap_lateral_hold_off.id, key::ap_heading_hold_off.id, key::ap_hold_off_1011b.id,
                                    key::ap_approach_hold_off.id, key::ap_hold_off_10116.id, key::ap_hold_off_10118.id,
                                    key::yaw_damper_on.id,
                                    // then the heading panel, without heading select or NAV
                                    key::ap_heading_hold_off.id, key::ap_hold_off_1011b.id,
                                    key::ap_approach_hold_off.id, key::ap_heading_hold_off.id};
    EXPECT_EQ(autopilot_ids(), expected);
    // Airborne with one yaw damper: the simulator's yaw damper goes off.
    sim(sim::on_ground, 0.0);
    yaw_dampers = 1;
    bed.tick();
    EXPECT_TRUE(bed.sent(key::yaw_damper_off));
    EXPECT_FALSE(bed.sent(key::yaw_damper_on));
}

TEST_F(ApMaster, lifting_the_second_lever_without_approach_drops_it_and_with_approach_makes_a_dual) {
    engage();
    click("ap_2.on");
    bed.tick();
    EXPECT_EQ(shared.ap_2_lever, 0);
    EXPECT_EQ(shared.ap_engaged, 1);
    station(kGlideSlopeStation);
    click("loc");
    bed.tick();
    ASSERT_EQ(shared.appr_mode, 20);
    click("ap_2.on");
    bed.tick();
    EXPECT_EQ(shared.ap_engaged, 3);
    EXPECT_EQ(shared.afs_channels, 3);
    click("ap_1.off");
    EXPECT_EQ(shared.ap_engaged, 2);
}

TEST_F(ApMaster, a_lever_dropped_by_its_conditions_takes_its_autopilot_out_of_command) {
    engage();
    green = 2;  // channel 1's hydraulics
    bed.tick();
    EXPECT_EQ(shared.ap_1_lever, 0);
    EXPECT_EQ(shared.ap_engaged, 0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kApMaster, "ap_1.off"));
    // From a dual approach, losing yellow leaves autopilot 1 alone.
    green = 1;
    engage();
    station(kGlideSlopeStation);
    click("loc");
    click("ap_2.on");
    bed.tick(2);
    ASSERT_EQ(shared.ap_engaged, 3);
    yellow = 0;
    bed.tick();
    EXPECT_EQ(shared.ap_2_lever, 0);
    EXPECT_EQ(shared.ap_engaged, 1);
}

TEST_F(ApMaster, the_simulators_own_disconnect_drops_both_levers) {
    engage();
    EXPECT_EQ(shared.sim_ap_seen_on, 1);
    sim(sim::ap_master, 0.0);
    bed.tick();
    EXPECT_EQ(shared.ap_engaged, 0);
    EXPECT_EQ(shared.ap_1_lever, 0);
    EXPECT_EQ(shared.sim_ap_seen_on, 0);
}

TEST_F(ApMaster, a_heading_failure_with_the_simulator_autopilot_off_disconnects) {
    click("ap_1.on");
    bed.tick();
    ASSERT_EQ(shared.ap_engaged, 1);
    bed.sim().set(sim::fail_heading, 1);
    bed.tick();
    EXPECT_EQ(shared.ap_engaged, 0);
    EXPECT_EQ(shared.ap_1_lever, 0);
}

struct LandCase {
    u8 athr;
    u8 yaw;
    u8 trims;
    double ralt;
    u8 expected;
};

TEST_F(ApMaster, a_dual_land_is_40_only_with_autothrottle_and_both_pairs) {
    const LandCase cases[] = {
        {1, 2, 2, 2000.0, 40}, {0, 2, 2, 2000.0, 30}, {1, 1, 2, 2000.0, 30},
        {1, 2, 1, 150.0, 30},  {0, 2, 2, 100.0, 40},  {0, 2, 2, 100.1, 30},
    };
    for (const LandCase& c : cases) {
        athr_mode = c.athr;
        yaw_dampers = c.yaw;
        pitch_trims = c.trims;
        radio_alt_ft = c.ralt;
        shared.appr_mode = 40;
        shared.ap_engaged = 3;
        shared.afs_channels = 3;
        shared.ap_1_lever = shared.ap_2_lever = 1;
        station(kGlideSlopeStation);
        sim(sim::ap_master, 1.0);
        bed.tick();
        EXPECT_EQ(shared.appr_mode, c.expected) << int(c.athr) << " " << int(c.yaw) << " " << int(c.trims) << " " << c.ralt;
    }
    // One autopilot dropping out of the dual LAND.
    click("ap_2.off");
    bed.tick();
    EXPECT_EQ(shared.appr_mode, 30);
}

TEST_F(ApMaster, land_is_refused_at_700_ft_and_with_an_attitude_failure) {
    engage();
    station(kGlideSlopeStation);
    ralt(700.0);
    click("land");
    EXPECT_EQ(shared.appr_mode, 0);
    bed.tick();
    ralt(700.5);
    bed.sim().set(sim::fail_attitude_2, 1);
    click("land");
    EXPECT_EQ(shared.appr_mode, 0);
    bed.sim().set(sim::fail_attitude_2, 0);
    click("land");
    EXPECT_EQ(shared.appr_mode, 30);
    click("land");
    EXPECT_EQ(shared.appr_mode, 0) << "a second press cancels";
}

TEST_F(ApMaster, a_coupled_approach_sends_its_holds_every_tick_and_a_localizer_only_station_gives_21) {
    engage();
    station(kGlideSlopeStation);
    click("loc");
    nav_captured = 1;
    bed.tick();
    EXPECT_EQ(shared.appr_coupled, 1);
    EXPECT_TRUE(bed.sent(key::ap_approach_hold_on));
    EXPECT_TRUE(bed.sent(key::ap_hold_off_1011b)) << "the GPS does not drive the NAV display";
    EXPECT_FALSE(bed.sent(key::ap_approach_hold_off));
    station(kLocalizerStation);
    bed.tick();
    EXPECT_EQ(shared.appr_mode, 21);
    sim(sim::on_ground, 1.0);
    bed.tick();
    EXPECT_EQ(shared.appr_coupled, 0) << "not airborne";
    EXPECT_TRUE(bed.sent(key::ap_approach_hold_off));
}

TEST_F(ApMaster, the_pitch_wheel_stops_at_25_and_minus_10_and_shows_its_readout_for_50_ticks) {
    for (int i = 0; i < 60; ++i) click("pitch_wheel.up");
    EXPECT_EQ(shared.pitch_wheel, 25.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kApMaster, "pitch_wheel_readout"));
    EXPECT_EQ(bed.value(kApMaster, "pitch_wheel_readout"), 0.0);
    for (int i = 0; i < 80; ++i) click("pitch_wheel.down");
    EXPECT_EQ(shared.pitch_wheel, -10.0);
    bed.tick(49);
    EXPECT_TRUE(bed.shown(kApMaster, "pitch_wheel_readout"));
    bed.tick();
    EXPECT_FALSE(bed.shown(kApMaster, "pitch_wheel_readout")) << "50 ticks after the first click";
}

TEST_F(ApMaster, the_ias_button_takes_pitch_off_the_glide_slope_and_cws_clears_every_mode) {
    click("channel_1");
    station(kGlideSlopeStation);
    click("loc");
    EXPECT_EQ(shared.appr_mode, 10);
    shared.gs_captured = 1;
    shared.alt_mode = 3;
    click("ias");
    EXPECT_EQ(shared.ias_pitch_mode, 1);
    EXPECT_EQ(shared.appr_mode, 0);
    EXPECT_EQ(shared.alt_mode, 0);
    engage();
    EXPECT_EQ(shared.ias_pitch_mode, 0) << "an autopilot lever up ends the IAS mode";
    click("ias");
    EXPECT_EQ(shared.ias_pitch_mode, 1);
    click("cws");
    EXPECT_EQ(shared.ap_cws_mode, 1);
    EXPECT_EQ(shared.ias_pitch_mode, 0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kApMaster, "cws_light"));
}

TEST_F(ApMaster, runway_guidance_arms_on_the_take_off_roll_and_runs_from_lift_off) {
    click("channel_1");
    station(kGlideSlopeStation, 0.0);
    sim(sim::on_ground, 1.0);
    sim(sim::ias_kt, 40.0);
    ralt(0.0);
    bed.tick();
    EXPECT_EQ(var("ap_runway_arming"), 1.0);
    EXPECT_EQ(shared.runway_guidance, 0);
    sim(sim::ias_kt, 50.5);
    bed.tick();
    EXPECT_EQ(shared.runway_guidance, 1);
    ralt(30.0);
    bed.tick();
    EXPECT_EQ(shared.runway_guidance, 0);
    EXPECT_EQ(var("ap_runway_arming"), 0.0);
}

}  // namespace
}  // namespace tarvenol::testing
