// The autopilot-off light, the LAND / FLARE annunciator, the autoland warning with its flare timer,
// the go-around light and the deviation lights.
#include "annunciators.h"

namespace tarvenol::testing {
namespace {

TEST_F(Annunciators, disconnecting_the_autopilot_flashes_the_ap_off_light_for_80_ticks) {
    bed.sim().set(sim::ap_master, 1.0);
    bed.tick(3);
    EXPECT_FALSE(bed.shown(kApOff, "ap_off_light"));
    bed.sim().set(sim::ap_master, 0.0);
    EXPECT_EQ(trace(kApOff, "ap_off_light", 90), flashing(80) + std::string(10, '.'));
}

TEST_F(Annunciators, the_ap_off_flash_ends_when_its_time_is_passed_and_a_power_loss_never_resumes_it) {
    bed.sim().set(sim::ap_master, 1.0);
    bed.tick();
    bed.sim().set(sim::ap_master, 0.0);
    bed.tick(10);
    skip_ticks(100);  // a pause jumps over the end of the flash
    EXPECT_EQ(trace(kApOff, "ap_off_light", 10), std::string(10, '.'));

    bed.sim().set(sim::ap_master, 1.0);
    bed.tick();
    bed.sim().set(sim::ap_master, 0.0);
    bed.tick(10);
    batt = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kApOff, "ap_off_light"));
    batt = 1;
    EXPECT_EQ(trace(kApOff, "ap_off_light", 20), std::string(20, '.')) << "no half-done flash after power returns";
}

TEST_F(Annunciators, a_click_on_the_ap_off_light_shows_and_hides_the_panel_buttons) {
    bed.click(kApOff, "panel_toggles");
    EXPECT_EQ(shared.panel_toggles_shown, 1);
    bed.click(kApOff, "panel_toggles");
    EXPECT_EQ(shared.panel_toggles_shown, 0);
}

TEST_F(Annunciators, engaging_land_asks_for_cliclic_once_and_flashes_both_land_lights_for_54_ticks) {
    u8 appr = 0, flare = 0;
    modes = [&] {
        shared.appr_mode = appr;
        shared.flare_active = flare;
    };
    bed.tick();
    const u32 cliclic = plays("CLICLICLIC");
    appr = 30;
    bed.tick();
    EXPECT_EQ(shared.cliclic_req, 1);
    bed.tick();
    EXPECT_EQ(shared.cliclic_req, 0) << "one tick only while the mode stays";
    EXPECT_EQ(plays("CLICLICLIC"), cliclic + 1);

    appr = 0;  // forgets the mode: LAND again flashes from its start
    bed.tick();
    appr = 30;
    const std::string land_1 = trace(kLandLight, "land_1", 60);
    EXPECT_EQ(land_1, flashing(54) + std::string(6, '#')) << "then the first stays on";
    bed.tick();
    EXPECT_FALSE(bed.shown(kLandLight, "land_2"));
    appr = 40;
    bed.tick(60);
    EXPECT_TRUE(bed.shown(kLandLight, "land_1"));
    EXPECT_TRUE(bed.shown(kLandLight, "land_2")) << "LAND dual shows both";
    EXPECT_EQ(plays("CLICLICLIC"), cliclic + 3);

    flare = 1;
    bed.tick();
    EXPECT_TRUE(bed.shown(kLandLight, "flare"));
    batt = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kLandLight, "land_1"));
    EXPECT_FALSE(bed.shown(kLandLight, "flare"));
}

TEST_F(Annunciators, a_click_flashes_the_land_lights_and_approach_modes_below_land_show_none) {
    u8 appr = 20;
    modes = [&] { shared.appr_mode = appr; };
    bed.tick(2);
    EXPECT_FALSE(bed.shown(kLandLight, "land_1"));
    bed.click(kLandLight, "land");  // between frames: the flash starts at the tick of the last frame
    EXPECT_EQ(trace(kLandLight, "land_2", 60), flashing(54).substr(1) + std::string(7, '.'));
}

// In LAND below 200 ft, airborne, the approach watched.
class Autoland : public Annunciators {
public:
    u8 appr = 40, flare = 0, ap = 3, go_around = 0, loc = 1, gs = 2, coupled = 1;
    double radio_alt = 150.0;
    Autoland() {
        modes = [this] {
            auto& s = shared;
            s.appr_mode = appr;
            s.flare_active = flare;
            s.ap_engaged = ap;
            s.afs_go_around = go_around;
            s.loc_captured = loc;
            s.gs_captured = gs;
            s.appr_coupled = coupled;
            s.radio_alt_ft = radio_alt;
        };
        bed.sim().set(sim::on_ground, 0.0);
        bed.sim().set(sim::ap_master, 1.0);
        bed.sim().set(sim::nav1_signal, 1.0);
        bed.sim().set(sim::height_agl_m, radio_alt / 3.281);
    }
    bool warning() { return bed.shown(kAutolandWarn, "autoland_light"); }
};

TEST_F(Autoland, a_flare_longer_than_17_seconds_lights_the_warning_flashing_without_end) {
    bed.sim().set(sim::time_of_day, 1000.0);
    bed.tick();
    flare = 1;
    bed.tick(17 * 18 - 2);
    EXPECT_EQ(shared.autoland_warn_state, 0);
    EXPECT_FALSE(warning());
    int ticks = 0;
    for (; ticks < 4 && shared.autoland_warn_state == 0; ++ticks) bed.tick();
    EXPECT_EQ(shared.autoland_warn_state, 1);
    EXPECT_EQ(trace(kAutolandWarn, "autoland_light", 200), flashing(201).substr(1)) << "flashes without end";
}

TEST_F(Autoland, an_approach_failure_stays_latched_until_a_click_acknowledges_it) {
    bed.sim().set(sim::nav1_cdi, 13.0);
    bed.tick(2);
    EXPECT_EQ(shared.autoland_warn_state, 1);
    bed.sim().set(sim::nav1_cdi, 0.0);  // back on the localizer: still warning
    bed.tick(20);
    EXPECT_EQ(shared.autoland_warn_state, 1);
    bed.click(kAutolandWarn, "autoland_ack");
    EXPECT_EQ(shared.autoland_warn_state, 0);
    EXPECT_EQ(trace(kAutolandWarn, "autoland_light", 20), std::string(20, '.'));
}

TEST_F(Autoland, the_flare_timer_runs_17_seconds_across_midnight) {
    bed.sim().set(sim::time_of_day, 86400.0 - 5.0);
    bed.tick();
    flare = 1;
    bed.tick(18 * 10);
    EXPECT_EQ(shared.autoland_warn_state, 0) << "not at once in the last seconds before midnight";
    bed.tick(18 * 6);
    EXPECT_EQ(shared.autoland_warn_state, 0);
    bed.tick(18 * 1 + 1);
    EXPECT_EQ(shared.autoland_warn_state, 1) << "17 s, not 20";
}

// The autopilot master drops the approach mode when the simulator's autopilot drops out.
TEST_F(Autoland, losing_the_autopilot_in_land_below_200_ft_warns_until_go_around_or_touchdown) {
    bed.tick(2);
    bed.sim().set(sim::ap_master, 0.0);
    appr = 0;
    bed.tick();
    EXPECT_EQ(shared.autoland_warn_state, 2);
    bed.click(kAutolandWarn, "autoland_ack");
    bed.tick(2);
    EXPECT_EQ(shared.autoland_warn_state, 2) << "a click does not acknowledge the loss of the autopilot";
    go_around = 1;
    bed.tick();
    EXPECT_EQ(shared.autoland_warn_state, 0);
    EXPECT_FALSE(warning());

    go_around = 0;
    appr = 40;
    bed.sim().set(sim::ap_master, 1.0);
    bed.tick(2);
    bed.sim().set(sim::ap_master, 0.0);
    appr = 0;
    bed.tick();
    EXPECT_EQ(shared.autoland_warn_state, 2);
    bed.sim().set(sim::on_ground, 1.0);
    bed.tick();
    EXPECT_EQ(shared.autoland_warn_state, 0) << "touchdown with the autopilot off clears it";
    EXPECT_FALSE(warning());
}

TEST_F(Autoland, deviations_and_a_lost_signal_warn_and_losing_the_autopilot_acknowledges_them) {
    struct Case {
        const char* what;
        double cdi, gsi, agl_ft, signal;
        u8 expected;
    } cases[] = {
        {"nothing wrong", 0, 0, 150, 1, 0},
        {"localizer beyond 12", 12.5, 0, 150, 1, 1},
        {"localizer at 12", -12, 0, 150, 1, 0},
        {"glide slope beyond 90 at 150 ft", 0, -91, 150, 1, 1},
        {"glide slope beyond 90 at 90 ft", 0, -91, 90, 1, 0},
        {"glide slope beyond 90 above 250 ft", 0, 91, 260, 1, 0},
        {"NAV signal lost", 0, 0, 150, 0, 1},
        {"NAV signal no number", 0, 0, 150, std::nan(""), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bed.sim().set(sim::nav1_cdi, c.cdi);
        bed.sim().set(sim::nav1_gsi, c.gsi);
        bed.sim().set(sim::height_agl_m, c.agl_ft / 3.281);
        bed.sim().set(sim::nav1_signal, c.signal);
        bed.tick(2);
        EXPECT_EQ(shared.autoland_warn_state, c.expected);
        EXPECT_EQ(warning(), c.expected != 0);
        ap = 0;  // no autopilot in command: acknowledged
        bed.tick();
        EXPECT_EQ(shared.autoland_warn_state, 0);
        EXPECT_FALSE(warning());
        ap = 3;
    }
    bed.sim().set(sim::nav1_signal, 1.0);
    bed.sim().set(sim::nav1_gsi, 0.0);
    bed.sim().set(sim::nav1_cdi, 20.0);
    bed.tick(2);
    EXPECT_EQ(shared.autoland_warn_state, 1);
    go_around = 1;  // a go-around acknowledges it too
    bed.tick();
    EXPECT_EQ(shared.autoland_warn_state, 0);
    EXPECT_FALSE(warning());
}

TEST_F(Autoland, on_the_ground_with_the_autopilot_on_the_warning_stays_lit) {
    bed.sim().set(sim::on_ground, 1.0);
    bed.tick(10);
    EXPECT_EQ(shared.autoland_warn_state, 255);
    EXPECT_TRUE(warning());
    bed.sim().set(sim::ap_master, 0.0);
    bed.tick();
    EXPECT_EQ(shared.autoland_warn_state, 0);
    EXPECT_FALSE(warning());
}

TEST_F(Annunciators, deviation_lights_show_deviations_in_an_autopilot_approach_and_the_lamp_test_outside_it) {
    struct Case {
        const char* what;
        u8 appr, coupled, gs, test;
        double cdi, gsi, agl_ft, radio_alt;
        bool loc_lit, gs_lit;
    } cases[] = {
        {"on the beams", 20, 1, 2, 0, 0, 0, 500, 500, false, false},
        {"localizer off", 20, 1, 2, 0, 13, 0, 500, 500, true, false},
        {"localizer off at 15 ft", 30, 1, 2, 0, 13, 0, 15, 15, false, false},
        {"glide slope 23 above 250 ft", 20, 1, 2, 0, 0, 23, 300, 300, false, true},
        {"glide slope 23 at 200 ft", 20, 1, 2, 0, 0, 23, 200, 200, false, false},
        {"glide slope 91 at 200 ft", 20, 1, 2, 0, 0, -91, 200, 200, false, true},
        {"glide slope armed only", 20, 1, 1, 0, 0, 50, 300, 300, false, false},
        {"lamp test in the approach", 20, 1, 2, 1, 0, 0, 500, 500, false, false},
        {"lamp test, approach not coupled", 20, 0, 2, 1, 0, 0, 500, 500, false, true},
        {"lamp test, flight directors only", 10, 0, 0, 1, 50, 50, 500, 500, true, true},
        {"deviations, flight directors only", 10, 0, 2, 0, 50, 50, 500, 500, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        modes = [&c] {
            shared.appr_mode = c.appr;
            shared.appr_coupled = c.coupled;
            shared.gs_captured = c.gs;
            shared.loc_captured = 1;
            shared.ann_lt_test = c.test;
            shared.ann_lt_sel = c.test == 1 ? 2 : 0;
            shared.radio_alt_ft = c.radio_alt;
        };
        bed.sim().set(sim::nav1_cdi, c.cdi);
        bed.sim().set(sim::nav1_gsi, c.gsi);
        bed.sim().set(sim::height_agl_m, c.agl_ft / 3.281);
        bed.tick();
        EXPECT_EQ(bed.shown(kLocDev, "loc_dev_light"), c.loc_lit);
        EXPECT_EQ(bed.shown(kGsDev, "gs_dev_light"), c.gs_lit);
    }
    batt = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kLocDev, "loc_dev_light"));
    EXPECT_FALSE(bed.shown(kGsDev, "gs_dev_light"));
}

TEST_F(Annunciators, the_go_around_light_follows_the_go_around_with_power) {
    u8 ga = 1;
    modes = [&] { shared.afs_go_around = ga; };
    bed.tick();
    EXPECT_TRUE(bed.shown(kGaLight, "ga_light"));
    ga = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kGaLight, "ga_light"));
    ga = 1;
    batt = 0;
    bed.tick();
    EXPECT_FALSE(bed.shown(kGaLight, "ga_light"));
}

}  // namespace
}  // namespace tarvenol::testing
