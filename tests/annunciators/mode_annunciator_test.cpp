// The flight mode annunciator: the legends from the mode bytes, the lamp test, and the autothrottle
// disconnect flash that puts the speed mode and the arm switch to rest.
#include "annunciators.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kLegends[] = {
    "test", "basic_roll", "autopilot", "basic_pitch", "cws", "speed", "takeoff", "hdg", "alt_hold",
    "alt_capture", "alt_armed", "n1", "nav_armed", "nav_track", "gs_track", "gs_armed", "ias", "land_armed",
    "land", "flare", "roll_out", "go_around", "approach_fd", "approach_ap", "land_single", "land_dual"};

TEST_F(Annunciators, the_lamp_test_lights_every_legend_only_with_the_battery_bus) {
    shared.ann_lt_sel = 2;  // ANN LT at TEST
    bed.tick();
    for (const char* legend : kLegends) EXPECT_TRUE(bed.shown(kIdpp, legend)) << legend;
    EXPECT_TRUE(bed.shown(kIdpp, "ats_disconnect"));
    batt = 0;
    bed.tick();
    for (const char* legend : kLegends) EXPECT_FALSE(bed.shown(kIdpp, legend)) << legend;
    EXPECT_FALSE(bed.shown(kIdpp, "ats_disconnect"));
}

// The legends lit by a set of mode bytes (all others zero).
std::vector<std::string> lit_by(Annunciators& t, std::function<void()> set) {
    t.modes = [set] {
        auto& s = shared;
        s.appr_mode = s.alt_mode = s.nav_mode = s.nav_captured = s.gs_captured = s.land_locked = 0;
        s.basic_roll_mode = s.basic_pitch_mode = s.ap_cws_mode = s.fd_basic_pitch = 0;
        s.afs_takeoff_mode = s.hdg_sel_mode = s.ats_n1_mode = s.ias_pitch_mode = s.flare_active = 0;
        s.runway_guidance = s.afs_go_around = 0;
        set();
    };
    t.bed.tick();
    std::vector<std::string> lit;
    for (const char* legend : kLegends)
        if (t.bed.shown(kIdpp, legend)) lit.push_back(legend);
    return lit;
}
using Names = std::vector<std::string>;

TEST_F(Annunciators, each_mode_lights_its_legends) {
    EXPECT_EQ(lit_by(*this, [] {}), Names{});
    EXPECT_EQ(lit_by(*this, [] { shared.alt_mode = 1; }), Names{"alt_armed"});
    for (u8 m : {2, 25, 26}) EXPECT_EQ(lit_by(*this, [m] { shared.alt_mode = m; }), Names{"alt_capture"});
    for (u8 m : {3, 4}) EXPECT_EQ(lit_by(*this, [m] { shared.alt_mode = m; }), Names{"alt_hold"});
    EXPECT_EQ(lit_by(*this, [] { shared.basic_pitch_mode = 1; shared.ap_cws_mode = 1; }), Names{"cws"});
    EXPECT_EQ(lit_by(*this, [] { shared.fd_basic_pitch = 1; }), Names{"basic_pitch"});
    EXPECT_EQ(lit_by(*this, [] { shared.nav_mode = 1; }), Names{"nav_armed"});
    EXPECT_EQ(lit_by(*this, [] { shared.nav_mode = 2; }), Names{"nav_track"});
    EXPECT_EQ(lit_by(*this, [] { shared.appr_mode = 10; }), (Names{"nav_armed", "gs_armed", "approach_fd"}));
    EXPECT_EQ(lit_by(*this, [] { shared.appr_mode = 20; shared.nav_captured = 1; shared.gs_captured = 1; }),
              (Names{"nav_track", "gs_track", "approach_ap"}));
    EXPECT_EQ(lit_by(*this, [] { shared.appr_mode = 30; shared.nav_captured = 1; shared.gs_captured = 1; }),
              (Names{"nav_track", "gs_track", "land_armed", "land_single"}));
    // In LAND below 700 ft the NAV/LOC and G/S legends go out and LAND replaces LAND armed.
    EXPECT_EQ(lit_by(*this, [] {
                  shared.appr_mode = 40;
                  shared.nav_captured = 1;
                  shared.gs_captured = 1;
                  shared.land_locked = 1;
                  shared.flare_active = 1;
              }),
              (Names{"land", "flare", "land_dual"}));
    bed.sim().set(sim::ap_master, 1.0);
    EXPECT_EQ(lit_by(*this, [] { shared.runway_guidance = 1; }), (Names{"autopilot", "roll_out"}));
}

TEST_F(Annunciators, switching_the_autothrottle_off_flashes_the_disconnect_for_80_ticks_then_rests_the_modes) {
    shared.athr_mode = 1;
    shared.ats_arm_sw = 2;  // switched off (or tripped) in SPEED mode
    EXPECT_EQ(trace(kIdpp, "ats_disconnect", 85), flashing(80) + std::string(5, '.'));
    EXPECT_EQ(shared.ats_arm_sw, 0);
    EXPECT_EQ(shared.athr_mode, 0);
    EXPECT_FALSE(bed.shown(kIdpp, "speed"));
}

TEST_F(Annunciators, a_speed_mode_dropping_out_flashes_until_its_time_is_passed_and_power_loss_clears_it) {
    u8 athr = 2;
    bool hold = true;
    modes = [&] {
        if (hold) shared.athr_mode = athr;
    };
    bed.tick(5);
    hold = false;
    skip_ticks(200);  // the end is jumped over
    EXPECT_EQ(shared.athr_mode, 0);
    EXPECT_FALSE(bed.shown(kIdpp, "ats_disconnect"));

    hold = true;
    bed.tick(5);
    batt = 0;
    hold = false;
    shared.athr_mode = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kIdpp, "ats_disconnect"));
    batt = 1;
    EXPECT_EQ(trace(kIdpp, "ats_disconnect", 10), std::string(10, '.')) << "the request died with the power";
}

}  // namespace
}  // namespace tarvenol::testing
