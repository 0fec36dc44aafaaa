#include <cmath>

#include "testbed.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kCompass = "tarvenol compass_t418";

class PanelNavigation : public ::testing::Test {
protected:
    TestBed bed;
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
