// The altitude panel: the selector and its drums, the ALT and ALT HOLD buttons, arming, capture,
// change and the holds through the simulator's references, and the altitude alert with its chimes
// as the aural dispatcher would serve them.
#include "afs.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kApAlt = "tarvenol ap_alt_t418";
// Simulator vertical-speed units (m/s x 256) per ft/min as the panel converts them.
constexpr double kPanelVsUnits = 256.0 / (3.281 * 60.0);

class ApAlt : public Afs {
public:
    ApAlt() {
        click("channel_1");
        bed.tick();
    }
    void vs(double fpm) { sim(sim::vs_ms256, fpm * kPanelVsUnits); }
    void alt(double ft) { sim(sim::altitude_ft, ft); }
    void press(const char* area) { bed.click(kApAlt, area); }
    // The dispatcher's part: plays a requested single chime once (while the GPWS is silent) and
    // marks it served.
    int chimes = 0;
    void frames(int n = 1) {
        for (int i = 0; i < n; ++i) {
            bed.tick();
            if (shared.alt_alert_chime == 1 && shared.gpws_alert == 0) {
                ++chimes;
                shared.alt_alert_chime = 2;
            }
        }
    }
    // Selected altitude `sel` armed at `at` ft.
    void armed_towards(i32 sel, double at, double fpm) {
        shared.alt_sel = sel;
        alt(at);
        vs(fpm);
        shared.alt_mode = 1;
    }
};

TEST_F(ApAlt, the_knobs_clamp_at_0_and_40000_ft) {
    struct Case {
        i32 from;
        const char* area;
        i32 to;
    };
    const Case cases[] = {
        {39995, "alt_sel.up_10", 40000}, {39989, "alt_sel.up_10", 39999}, {5, "alt_sel.down_10", 0},
        {10, "alt_sel.down_10", 0},      {11, "alt_sel.down_10", 1},      {39900, "alt_sel.up_100", 40000},
        {39899, "alt_sel.up_100", 39999}, {100, "alt_sel.down_100", 0},   {150, "alt_sel.down_100", 50},
    };
    for (const Case& c : cases) {
        shared.alt_sel = c.from;
        press(c.area);
        EXPECT_EQ(shared.alt_sel, c.to) << c.from << " " << c.area;
    }
}

TEST_F(ApAlt, the_drums_roll_to_the_selection_and_the_leading_drum_is_blanked_below_10000) {
    shared.alt_sel = 9870;
    frames(40);
    EXPECT_TRUE(bed.shown(kApAlt, "alt_ten_thousands_blank"));
    EXPECT_DOUBLE_EQ(bed.value(kApAlt, "alt_thousands_drum"), 9.0);
    EXPECT_DOUBLE_EQ(bed.value(kApAlt, "alt_hundreds_drum"), 8.0);
    EXPECT_DOUBLE_EQ(bed.value(kApAlt, "alt_tens_drum"), 7.0);
    shared.alt_sel = 12340;
    frames(40);
    EXPECT_FALSE(bed.shown(kApAlt, "alt_ten_thousands_blank"));
    EXPECT_DOUBLE_EQ(bed.value(kApAlt, "alt_ten_thousands_drum"), 1.0);
    EXPECT_DOUBLE_EQ(bed.value(kApAlt, "alt_thousands_drum"), 2.0);
    // A preset beyond the top comes back to 40000.
    shared.alt_sel = 90000;
    frames();
    EXPECT_EQ(shared.alt_sel, 40000);
}

TEST_F(ApAlt, the_buttons_need_a_channel_and_cycle_the_modes) {
    press("alt");
    EXPECT_EQ(shared.alt_mode, 1);
    EXPECT_TRUE((bed.tick(), bed.shown(kApAlt, "alt_light")));
    press("alt");
    EXPECT_EQ(shared.alt_mode, 0);
    shared.alt_mode = 3;
    press("alt");
    EXPECT_EQ(shared.alt_mode, 26);
    bed.tick();
    EXPECT_EQ(shared.alt_mode, 4);
    bed.tick();  // the lights show the modes the last tick left
    EXPECT_TRUE(bed.shown(kApAlt, "alt_hold_light"));
    press("alt_hold");
    EXPECT_EQ(shared.alt_mode, 0);
    shared.ias_pitch_mode = 1;
    shared.afs_go_around = 1;
    press("alt_hold");
    EXPECT_EQ(shared.alt_mode, 4);
    EXPECT_EQ(shared.ias_pitch_mode, 0);
    EXPECT_EQ(shared.afs_go_around, 0);
    // LAND with the glide slope captured: ALT HOLD does nothing; an approach is cleared by it.
    shared.alt_mode = 0;
    shared.appr_mode = 30;
    shared.gs_captured = 1;
    press("alt_hold");
    EXPECT_EQ(shared.alt_mode, 0);
    shared.appr_mode = 20;
    press("alt_hold");
    EXPECT_EQ(shared.alt_mode, 4);
    EXPECT_EQ(shared.appr_mode, 0);
    // No channel: nothing.
    shared.alt_mode = 0;
    shared.afs_channels = 0;
    press("alt");
    press("alt_hold");
    EXPECT_EQ(shared.alt_mode, 0);
}

TEST_F(ApAlt, arming_starts_the_capture_20_seconds_before_the_selection) {
    armed_towards(10600, 10000, 1800);  // 600 <= 1800 / 3
    frames();
    EXPECT_EQ(shared.alt_mode, 2);
    armed_towards(10500, 10000, 500);  // 500 / 3 = 166.7
    frames();
    EXPECT_EQ(shared.alt_mode, 1);
    alt(10500 - 167);
    frames();
    EXPECT_EQ(shared.alt_mode, 1);
    alt(10500 - 166);
    frames();
    EXPECT_EQ(shared.alt_mode, 2);
    // Descending towards a selection below, and exactly on it.
    armed_towards(9000, 9300, -900);
    frames();
    EXPECT_EQ(shared.alt_mode, 2);
    armed_towards(9000, 9000, 0);
    frames();
    EXPECT_EQ(shared.alt_mode, 2);
}

TEST_F(ApAlt, the_capture_steps_the_vertical_speed_down_as_the_climb_slows) {
    armed_towards(11000, 10000, 900);
    frames();  // armed: the captured rate is 900
    shared.alt_mode = 2;
    struct Step {
        double fpm;
        i32 ref;
    };
    const Step climb[] = {{3300, 3000}, {3100, 2500}, {2600, 2000}, {2000, 1500}, {1500, 1000}, {800, 1000}, {1100, 1000}};
    for (const Step& s : climb) {
        vs(s.fpm);
        frames();
        EXPECT_EQ(values(key::ap_vs_ref), std::vector<i32>{s.ref}) << s.fpm;
        EXPECT_EQ(shared.ap_vs_ref, s.ref);
        EXPECT_EQ(values(key::ap_altitude_ref_ft), std::vector<i32>{11000});
        EXPECT_EQ(shared.ap_alt_ref, 11000);
    }
    // Descending from above: the band between -2000 and -1700 leaves the reference alone.
    alt(12000);
    const Step descent[] = {{-2600, -2000}, {-2100, -1600}, {-1500, -1300}, {-1100, -1000}, {-500, -1000}};
    for (const Step& s : descent) {
        vs(s.fpm);
        frames();
        EXPECT_EQ(values(key::ap_vs_ref), std::vector<i32>{s.ref}) << s.fpm;
    }
    vs(-1800);
    frames();
    EXPECT_TRUE(values(key::ap_vs_ref).empty());
    EXPECT_EQ(shared.ap_vs_ref, -1000);
}

TEST_F(ApAlt, the_capture_becomes_the_hold_20_ft_short_and_a_new_selection_starts_a_change) {
    armed_towards(11000, 10700, 1200);
    shared.alt_mode = 2;
    frames();
    EXPECT_EQ(shared.alt_mode, 2);
    EXPECT_TRUE(values(key::ap_vs_ref).empty());  // inside 300 ft nothing is stepped
    alt(10981);
    frames();
    EXPECT_EQ(shared.alt_mode, 3);
    frames();
    EXPECT_EQ(shared.fd_vert_code, 4);
    EXPECT_EQ(values(key::ap_altitude_ref_ft), std::vector<i32>{11000});
    // Not yet level: a new selection is taken as it comes.
    shared.alt_sel = 12000;
    frames();
    EXPECT_EQ(shared.alt_mode, 3);
    vs(50);
    frames();
    shared.alt_sel = 13000;
    frames();
    EXPECT_EQ(shared.alt_mode, 25);
    // The change climbs in 250 ft/min steps up to 1000.
    const double rates[] = {50, 300, 600, 800};
    const i32 refs[] = {250, 500, 750, 1000};
    for (int i = 0; i < 4; ++i) {
        vs(rates[i]);
        frames();
        EXPECT_EQ(values(key::ap_vs_ref), std::vector<i32>{refs[i]}) << rates[i];
    }
    alt(12990);
    frames();
    EXPECT_EQ(shared.alt_mode, 3);
}

TEST_F(ApAlt, holding_the_present_altitude_leads_the_aircraft_by_20_ft_once) {
    alt(8000.5);
    vs(-600);
    shared.alt_sel = 5000;
    press("alt_hold");
    frames();
    EXPECT_EQ(values(key::ap_altitude_ref_ft), std::vector<i32>{7980});
    EXPECT_EQ(shared.ap_alt_ref, 7980);
    frames();
    EXPECT_TRUE(values(key::ap_altitude_ref_ft).empty());
    shared.alt_sel = 6000;
    frames();
    EXPECT_EQ(shared.alt_mode, 25);
    // Climbing and level.
    shared.alt_mode = 0;
    frames();
    vs(300);
    shared.alt_mode = 4;
    frames();
    EXPECT_EQ(values(key::ap_altitude_ref_ft), std::vector<i32>{8020});
    shared.alt_mode = 0;
    frames();
    vs(0);
    shared.alt_mode = 4;
    frames();
    EXPECT_EQ(values(key::ap_altitude_ref_ft), std::vector<i32>{8000});
}

TEST_F(ApAlt, a_captured_glide_slope_ends_the_altitude_mode_and_the_panel_writes_the_vertical_speed) {
    vs(1234);
    shared.alt_mode = 4;
    shared.appr_mode = 20;
    gs_captured = 1;
    frames();
    EXPECT_EQ(shared.alt_mode, 0);
    EXPECT_NEAR(shared.vert_speed_fpm, 1234.0, 1e-9);
}

TEST_F(ApAlt, the_single_chime_sounds_once_on_entering_the_window) {
    armed_towards(11000, 10000, 2400);  // capture starts 800 ft short
    frames();
    ASSERT_EQ(shared.alt_mode, 1);
    alt(10249);  // 751 ft short
    frames();
    EXPECT_EQ(shared.alt_alert_state, 0);
    alt(10250);
    frames();
    EXPECT_EQ(shared.alt_alert_state, 1);
    EXPECT_EQ(chimes, 1);
    // The radio altimeter sees no decision height (its state 0) and clears the chime byte every
    // frame; the alert asks only once all the same.
    for (double a = 10251; a < 10750; a += 50) {
        alt(a);
        frames();
    }
    EXPECT_EQ(shared.alt_alert_state, 2);
    EXPECT_EQ(var("alt_alert_latched"), 1);
    EXPECT_EQ(chimes, 1);
    alt(10800);
    frames();
    EXPECT_EQ(shared.alt_alert_state, 0);
    EXPECT_EQ(shared.alt_alert_chime, 0);
    EXPECT_EQ(chimes, 1);
}

TEST_F(ApAlt, no_chime_while_the_ground_proximity_warning_speaks_nor_with_the_gear_down) {
    armed_towards(11000, 10300, 1200);
    shared.alt_mode = 25;
    bed.host().before_each_gauge = [held = bed.host().before_each_gauge] {
        held();
        shared.gpws_alert = 20;
    };
    frames(3);
    EXPECT_EQ(shared.alt_alert_state, 2);
    EXPECT_EQ(chimes, 0);
    EXPECT_EQ(shared.alt_alert_chime, 0);
    // Descending into the window above the selection with the gear down: no alert at all.
    shared.gpws_alert = 0;
    armed_towards(5000, 5500, -1000);
    shared.alt_mode = 25;
    shared.alt_alert_state = 0;
    sim(sim::gear_nose_pos, 16384);
    frames(3);
    EXPECT_EQ(shared.alt_alert_state, 0);
}

TEST_F(ApAlt, the_continuous_chime_sounds_while_the_held_altitude_is_overshot_by_250_to_750_ft) {
    shared.alt_sel = 9000;
    shared.alt_mode = 3;
    vs(400);
    const struct {
        double alt;
        u8 cont;
        u8 state;
    } steps[] = {{9249, 0, 0}, {9250, 1, 3}, {9600, 1, 3}, {9750, 1, 3}, {9751, 0, 0}};
    for (const auto& s : steps) {
        alt(s.alt);
        frames();
        EXPECT_EQ(shared.alt_alert_cont, s.cont) << s.alt;
        EXPECT_EQ(shared.alt_alert_state, s.state) << s.alt;
    }
    // Below the held altitude, descending.
    vs(-400);
    alt(8500);
    frames();
    EXPECT_EQ(shared.alt_alert_cont, 1);
}

TEST_F(ApAlt, the_continuous_chime_stops_whenever_the_deviation_is_no_longer_watched) {
    struct Case {
        const char* what;
        void (*spoil)(ApAlt&);
    };
    const Case cases[] = {
        {"gear down", [](ApAlt& t) { t.sim(sim::gear_nose_pos, 16384); }},
        {"engines stopped", [](ApAlt& t) {
             t.sim(sim::eng1_n2_pct, 20.0);
             t.sim(sim::eng2_n2_pct, 19.0);
         }},
        {"level", [](ApAlt& t) { t.vs(0); }},
        {"no channel", [](ApAlt& t) { t.click("channel_1"); }},
        {"hold left", [](ApAlt&) { shared.alt_mode = 4; }},
    };
    for (const Case& c : cases) {
        sim(sim::gear_nose_pos, 0);
        sim(sim::eng1_n2_pct, 60.0);
        sim(sim::eng2_n2_pct, 60.0);
        if (shared.afs_channels == 0) click("channel_1");
        shared.alt_sel = 9000;
        shared.alt_mode = 3;
        alt(9400);
        vs(400);
        frames();
        ASSERT_EQ(shared.alt_alert_cont, 1) << c.what;
        c.spoil(*this);
        frames();
        EXPECT_EQ(shared.alt_alert_cont, 0) << c.what;
    }
}

}  // namespace
}  // namespace tarvenol::testing
