// The VHF control heads: frequencies read back in BCD and shown on rolling drums, the NAV receiver
// selector and knobs, the COM knobs and transmit selection, and the NAV display freezing without
// the DC essential bus.
#include <cstdint>

#include "power.h"
#include "sound/mixer.h"
#include "testbed.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kNav = "tarvenol radio_nav_t418";
constexpr const char* kCom = "tarvenol radio_com_t418";
constexpr int kSettle = 60;  // frames enough for any drum to reach its digit

class Radios : public ::testing::Test {
protected:
    TestBed bed;
    Radios() { hold_buses(bed, true); }

    // The five drums of a window, as the host drew them last.
    struct Window {
        double hundreds, tens, units, tenths, hundredths;
    };
    Window window(const char* gauge, const std::string& prefix) {
        auto v = [&](const char* drum) { return bed.value(gauge, (prefix + drum).c_str()); };
        return {v("_hundreds_drum"), v("_tens_drum"), v("_units_drum"), v("_tenths_drum"), v("_hundredths_drum")};
    }
    Window settled_com_1(std::int32_t bcd) {
        bed.sim().set(sim::com1_freq_bcd, bcd);
        bed.tick(kSettle);
        return window(kCom, "com_1");
    }
    double var(const char* name) { return read_var(*find_var(name)); }
    static u32 clicks() { return snd::mixer::state("CLICK").play_once_requests; }
};

TEST_F(Radios, every_digit_of_a_bcd_frequency_lands_on_its_own_drum) {
    for (int d = 0; d <= 9; ++d) {
        const int units = (d + 3) % 10, tenths = (d + 7) % 10;
        const Window w = settled_com_1(d << 12 | units << 8 | tenths << 4 | 5);
        EXPECT_EQ(w.hundreds, 1.0) << "the leading 1";
        EXPECT_EQ(w.tens, d) << "first nibble " << d;
        EXPECT_EQ(w.units, units) << "second nibble " << units;
        EXPECT_EQ(w.tenths, tenths) << "third nibble " << tenths;
        EXPECT_EQ(w.hundredths, 2.0) << "last nibble 5 reads 50";
    }
}

TEST_F(Radios, the_last_nibble_reads_25_50_or_75_and_anything_else_00) {
    const struct {
        int nibble;
        double position;
    } cases[] = {{0, 0}, {1, 0}, {2, 1}, {3, 0}, {4, 0}, {5, 2}, {6, 0}, {7, 3}, {8, 0}, {9, 0}, {0xA, 0}, {0xF, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(settled_com_1(0x1800 | c.nibble).hundredths, c.position) << "last nibble " << c.nibble;
}

TEST_F(Radios, digits_that_are_no_bcd_digit_stop_at_9_and_never_leave_the_drum) {
    Window w = settled_com_1(0xABC0);
    EXPECT_EQ(w.tens, 9.0);
    EXPECT_EQ(w.units, 9.0);
    EXPECT_EQ(w.tenths, 9.0);
    w = settled_com_1(-1);  // every nibble 15
    EXPECT_EQ(w.tens, 9.0);
    EXPECT_EQ(w.hundredths, 0.0);
}

TEST_F(Radios, a_drum_rolls_a_quarter_digit_per_frame_and_the_short_way_over_the_9_0_seam) {
    settled_com_1(0x1900);
    bed.sim().set(sim::com1_freq_bcd, 0x1000);  // units 9 -> 0: forward over the seam
    const double forward[] = {9.25, 9.5, 9.75, 10.0, 0.0};
    for (double p : forward) {
        bed.tick();
        EXPECT_DOUBLE_EQ(window(kCom, "com_1").units, p);
    }
    bed.sim().set(sim::com1_freq_bcd, 0x1900);  // 0 -> 9: back over the seam
    const double back[] = {9.9, 9.65, 9.4, 9.15, 9.0};
    for (double p : back) {
        bed.tick();
        EXPECT_DOUBLE_EQ(window(kCom, "com_1").units, p);
    }
    bed.sim().set(sim::com1_freq_bcd, 0x1400);  // 9 -> 4: the direct way down
    bed.tick();
    EXPECT_DOUBLE_EQ(window(kCom, "com_1").units, 8.75);
}

TEST_F(Radios, the_hundredths_drum_wraps_between_75_and_00) {
    settled_com_1(0x1807);
    bed.sim().set(sim::com1_freq_bcd, 0x1800);
    const double forward[] = {3.25, 3.5, 3.75, 4.0, 0.0};
    for (double p : forward) {
        bed.tick();
        EXPECT_DOUBLE_EQ(window(kCom, "com_1").hundredths, p);
    }
    bed.sim().set(sim::com1_freq_bcd, 0x1807);
    bed.tick();
    EXPECT_DOUBLE_EQ(window(kCom, "com_1").hundredths, 3.9);
}

TEST_F(Radios, both_nav_windows_show_their_receivers_and_freeze_without_the_dc_essential_bus) {
    bed.sim().set(sim::nav1_freq_bcd, 0x1095);
    bed.sim().set(sim::nav2_freq_bcd, 0x1730);
    bed.tick(kSettle);
    Window nav_1 = window(kNav, "nav_1"), nav_2 = window(kNav, "nav_2");
    EXPECT_EQ(nav_1.tens, 1.0);
    EXPECT_EQ(nav_1.units, 0.0);
    EXPECT_EQ(nav_1.tenths, 9.0);
    EXPECT_EQ(nav_1.hundredths, 2.0);
    EXPECT_EQ(nav_2.units, 7.0);
    EXPECT_EQ(nav_2.tenths, 3.0);

    bed.host().before_each_gauge = [] { shared.batt_bus_powered = 0; };
    bed.sim().set(sim::nav1_freq_bcd, 0x0800);
    bed.sim().set(sim::nav2_freq_bcd, 0x0800);
    bed.tick(kSettle);
    EXPECT_EQ(var("nav_1_freq"), 0x1095);
    EXPECT_EQ(window(kNav, "nav_1").tenths, 9.0) << "frozen";
    EXPECT_EQ(window(kNav, "nav_2").units, 7.0) << "frozen";
    bed.click(kNav, "nav_whole_knob.up");
    EXPECT_TRUE(bed.sent(key::nav1_whole_up)) << "the knobs still tune";
}

TEST_F(Radios, the_nav_whole_knob_turns_through_16_positions_and_sends_one_event_per_click) {
    bed.tick();
    write_var(*find_var("nav_whole_knob_pos"), 0);
    bed.click(kNav, "nav_whole_knob.down");
    EXPECT_EQ(bed.sent_count(key::nav1_whole_down), 1);
    EXPECT_EQ(var("nav_whole_knob_pos"), 15.0);
    bed.tick();
    EXPECT_EQ(bed.value(kNav, "nav_whole_knob"), 15.0);
    bed.click(kNav, "nav_whole_knob.up");
    EXPECT_EQ(var("nav_whole_knob_pos"), 0.0);
    EXPECT_EQ(bed.sent_count(key::nav1_whole_up), 1);
    bed.click(kNav, "nav_fract_knob.up");
    bed.click(kNav, "nav_fract_knob.down");
    bed.click(kNav, "nav_fract_knob.down");
    EXPECT_EQ(var("nav_fract_knob_pos"), 3.0) << "from 4 at load";
    EXPECT_EQ(bed.sent_count(key::nav1_fract_up), 1);
    EXPECT_EQ(bed.sent_count(key::nav1_fract_down), 2);
}

TEST_F(Radios, the_receiver_selector_chooses_which_receiver_the_knobs_tune) {
    bed.tick();
    EXPECT_TRUE(bed.shown(kNav, "nav_1_mark"));
    EXPECT_FALSE(bed.shown(kNav, "nav_2_mark"));
    bed.click(kNav, "receiver_sel");
    bed.tick();
    EXPECT_TRUE(bed.shown(kNav, "nav_2_mark"));
    EXPECT_FALSE(bed.shown(kNav, "nav_1_mark"));
    const KeyEvent nav_2_events[] = {key::nav2_whole_up, key::nav2_whole_down, key::nav2_fract_up, key::nav2_fract_down};
    for (const char* a : {"nav_whole_knob.up", "nav_whole_knob.down", "nav_fract_knob.up", "nav_fract_knob.down"})
        bed.click(kNav, a);
    for (KeyEvent e : nav_2_events) EXPECT_EQ(bed.sent_count(e), 1);
    for (KeyEvent e : {key::nav1_whole_up, key::nav1_whole_down, key::nav1_fract_up, key::nav1_fract_down})
        EXPECT_FALSE(bed.sent(e));
    bed.click(kNav, "receiver_sel");
    EXPECT_EQ(var("nav_sel"), 1.0);
}

TEST_F(Radios, com_knobs_send_their_step_events_silently) {
    const struct {
        const char* area;
        KeyEvent event;
    } knobs[] = {
        {"com_1_whole_knob.down", key::com1_whole_down}, {"com_1_whole_knob.up", key::com1_whole_up},
        {"com_1_fract_knob.down", key::com1_fract_down}, {"com_1_fract_knob.up", key::com1_fract_up},
        {"com_2_whole_knob.down", key::com2_whole_down}, {"com_2_whole_knob.up", key::com2_whole_up},
        {"com_2_fract_knob.down", key::com2_fract_down}, {"com_2_fract_knob.up", key::com2_fract_up},
    };
    bed.tick();
    const u32 before = clicks();
    for (const auto& k : knobs) {
        bed.click(kCom, k.area);
        EXPECT_EQ(bed.sent_count(k.event), 1) << k.area;
    }
    EXPECT_EQ(clicks(), before);
}

TEST_F(Radios, a_transmit_button_clicks_and_selects_its_radio_and_the_tx_light_follows_the_simulator) {
    bed.tick();
    EXPECT_TRUE(bed.shown(kCom, "com_1_transmit_light"));
    const u32 before = clicks();
    bed.click(kCom, "com_2_transmit");
    EXPECT_TRUE(bed.sent(key::com2_transmit_select));
    EXPECT_EQ(clicks(), before + 1);
    bed.sim().set(sim::com2_transmit, 0.999);
    bed.tick();
    EXPECT_TRUE(bed.shown(kCom, "com_1_transmit_light")) << "only exactly 1.0 selects COM 2";
    bed.sim().set(sim::com2_transmit, 1.0);
    bed.tick();
    EXPECT_TRUE(bed.shown(kCom, "com_2_transmit_light"));
    EXPECT_FALSE(bed.shown(kCom, "com_1_transmit_light"));
    bed.click(kCom, "com_1_transmit");
    EXPECT_TRUE(bed.sent(key::com1_transmit_select));
}

}  // namespace
}  // namespace tarvenol::testing
