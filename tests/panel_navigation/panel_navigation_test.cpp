#include <cmath>

#include "aircraft.h"
#include "testbed.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kGps = "tarvenol gps_drives_t418";
constexpr const char* kCompass = "tarvenol compass_t418";

class PanelNavigation : public ::testing::Test {
protected:
    TestBed bed;
    // The flight deck lighting opened the pop-up windows on its first tick.
    void windows_opened() {
        shared.cockpit_init_state = 1;
    }
    // The windows the GPS-drives gauge closed in the last tick, in order.
    std::vector<u32> closes() {
        const abi::GAUGEHDR* gps = TestBed::gauge(kGps).header;
        std::vector<u32> out;
        for (const auto& k : bed.host().key_events())
            if (k.id == key::panel_window_close.id && k.sender == gps) out.push_back(k.value);
        return out;
    }
};

TEST_F(PanelNavigation, window_buttons_toggle_their_window_and_show_with_the_buttons_out) {
    const struct {
        const char* gauge;
        u32 window;
    } buttons[] = {{"tarvenol toggle_pan_up2_t418", 10030}, {"tarvenol toggle_pan_ped_t418", 10040},
                   {"tarvenol toggle_pan_rad_t418", 10050}, {"tarvenol toggle_pan_fe_t418", 10060},
                   {"tarvenol toggle_pan_gps_t418", 10080}, {"tarvenol toggle_pan_fail_t418", 10100}};
    for (const auto& b : buttons) {
        shared.panel_toggles_shown = 0;
        bed.tick();
        EXPECT_FALSE(bed.shown(b.gauge, "window_button")) << b.gauge;
        shared.panel_toggles_shown = 1;
        bed.tick();
        EXPECT_TRUE(bed.shown(b.gauge, "window_button")) << b.gauge;
        // The click works whether or not the button is shown.
        shared.panel_toggles_shown = 0;
        bed.click(b.gauge, "window");
        EXPECT_TRUE(bed.host().window_open(b.window)) << b.gauge;
        bed.click(b.gauge, "window");
        EXPECT_FALSE(bed.host().window_open(b.window)) << b.gauge;
    }
}

TEST_F(PanelNavigation, loading_on_the_ground_gives_a_cold_and_dark_cockpit) {
    bed.sim().set(sim::on_ground, 1.0);
    shared.apu_gen_ctl_sw = 1;
    windows_opened();
    bed.tick();
    const auto& s = shared;
    EXPECT_EQ(s.cockpit_init_state, 2);
    for (u8 v : {s.hp_lever_1, s.hp_lever_2, s.batt_1_sw, s.batt_2_sw, s.batt_3_sw, s.gen_1_ctl_sw, s.gen_2_ctl_sw,
                 s.apu_gen_ctl_sw, s.hyd_elec_pump_1_sw, s.hyd_elec_pump_2_sw, s.hyd_ptu_blue_green_sw,
                 s.hyd_ptu_green_yellow_sw, s.smoke_nav_sel_sw})
        EXPECT_EQ(v, 0);
    for (u8 v : {s.tr_1_sw, s.tr_2_sw, s.tr_ess_sw, s.ac_transf_1_sw, s.ac_transf_2_sw, s.gen_1_line_sw,
                 s.gen_2_line_sw, s.ess_bus_eqpt_sw})
        EXPECT_EQ(v, 1);
    EXPECT_EQ(s.ac_ess_feed_sel, 2);
    EXPECT_EQ(s.yaw_damper_1_engaged, 0);
    // The pop-ups close, the engineer's panel stays.
    EXPECT_EQ(closes(), (std::vector<u32>{10030, 10040, 10050, 10090, 10080}));

    // Once only: the crew's switches are theirs from now on.
    shared.batt_1_sw = 1;
    bed.tick();
    EXPECT_EQ(shared.batt_1_sw, 1);
    EXPECT_TRUE(closes().empty());
}

TEST_F(PanelNavigation, loading_in_flight_feeds_the_engines_and_engages_the_yaw_dampers) {
    for (const double ground : {0.0, 0.5, double(NAN)}) {
        TestBed fresh;
        fresh.sim().set(sim::on_ground, ground);
        shared.apu_gen_ctl_sw = 1;
        shared.cockpit_init_state = 1;
        // The hydraulics drop the yaw dampers without pressure: look inside the GPS gauge's tick.
        bool engaged = false;
        fresh.host().before_each_gauge = [&] {
            if (shared.cockpit_init_state == 2 && !engaged)
                engaged = shared.yaw_damper_1_engaged == 1 && shared.yaw_damper_2_engaged == 1;
        };
        fresh.tick();
        const auto& s = shared;
        EXPECT_TRUE(engaged) << ground;
        for (u8 v : {s.hp_lever_1, s.hp_lever_2, s.gen_1_ctl_sw, s.gen_2_ctl_sw, s.hyd_ptu_blue_green_sw,
                     s.hyd_ptu_green_yellow_sw, s.pitch_trim_1_sw, s.pitch_trim_2_sw, s.apu_gen_ctl_sw})
            EXPECT_EQ(v, 1) << ground;
    }
}

TEST_F(PanelNavigation, the_first_frame_opens_the_windows_sets_the_cockpit_and_closes_the_pop_ups) {
    TestBed loaded{StartUp::runs};
    Aircraft loaded_aircraft{loaded};
    loaded.sim().set(sim::on_ground, 1.0);
    shared.batt_1_sw = 1;
    shared.hp_lever_1 = 1;
    loaded.tick();
    EXPECT_EQ(shared.cockpit_init_state, 2);
    EXPECT_EQ(shared.batt_1_sw, 0);
    EXPECT_EQ(shared.hp_lever_1, 0);
    EXPECT_TRUE(loaded.host().window_open(10060));  // the engineer's panel
    for (const u32 window : {10030u, 10040u, 10050u, 10080u, 10090u}) EXPECT_FALSE(loaded.host().window_open(window)) << window;
}

TEST_F(PanelNavigation, gps_drives_button_and_annunciator) {
    bed.click(kGps, "gps_drives");
    EXPECT_EQ(bed.sent_value(key::gps_drives_nav_toggle), 0u);
    const struct {
        double gps;
        u8 ann;
        bool bright, dim;
    } cases[] = {{0, 0, false, false}, {1, 0, true, false}, {1, 1, false, true},
                 {1, 2, true, false},  {0.5, 0, false, false}, {NAN, 1, false, false}};
    for (const auto& c : cases) {
        bed.sim().set(sim::gps_drives_nav, c.gps);
        bed.host().before_each_gauge = [&] { shared.ann_lt_sel = c.ann; };
        bed.tick();
        EXPECT_EQ(bed.shown(kGps, "gps_drives_light"), c.bright) << c.gps << int(c.ann);
        EXPECT_EQ(bed.shown(kGps, "gps_drives_light_dim"), c.dim) << c.gps << int(c.ann);
    }
}

TEST_F(PanelNavigation, compass_card_and_light) {
    const struct {
        double heading, card;
    } cases[] = {{0, 360}, {90, 270}, {360, 0}, {361, 0}, {-1, 0}, {NAN, 0}};
    for (const auto& c : cases) {
        bed.sim().set(sim::heading_deg, c.heading);
        bed.tick();
        EXPECT_EQ(bed.value(kCompass, "compass_card"), c.card) << c.heading;
    }
    EXPECT_EQ(bed.value(kCompass, "compass_bowl"), 1);
    bed.click(kCompass, "light");
    EXPECT_TRUE(bed.sent(key::compass_light_on));
    bed.click(kCompass, "light");
    EXPECT_TRUE(bed.sent(key::compass_light_off));
    bed.tick();
    bed.click(kCompass, "light");
    EXPECT_TRUE(bed.sent(key::compass_light_on));
    EXPECT_FALSE(bed.sent(key::compass_light_off));
}

}  // namespace
}  // namespace tarvenol::testing
