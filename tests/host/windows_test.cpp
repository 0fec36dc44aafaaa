// Panel windows: closed at load, flipped by panel_window_toggle, opened and closed by the panel
// system's key events whether the aircraft model is on or off.
#include <gtest/gtest.h>

#include "host/simulator.h"
#include "module/host_services.h"

namespace tarvenol::host {
namespace {

constexpr std::uint32_t kBigWarningPanel = 10090;
constexpr std::uint32_t kOverheadPanel = 10030;

TEST(PanelWindows, are_all_closed_at_load) {
    Simulator sim;
    EXPECT_TRUE(sim.host().open_windows().empty());
}

TEST(PanelWindows, panel_window_toggle_flips_one_window) {
    Simulator sim;
    toggle_window(kBigWarningPanel);
    EXPECT_TRUE(sim.host().window_open(kBigWarningPanel));
    EXPECT_FALSE(sim.host().window_open(kOverheadPanel));
    toggle_window(kBigWarningPanel);
    EXPECT_FALSE(sim.host().window_open(kBigWarningPanel));
}

TEST(PanelWindows, open_and_close_events_are_followed_even_with_the_model_off) {
    Simulator sim;
    sim.model().set_enabled(false);
    send(key::panel_window_open, kOverheadPanel);
    EXPECT_TRUE(sim.host().window_open(kOverheadPanel));
    send(key::panel_window_open, kOverheadPanel);  // opening an open window leaves it open
    EXPECT_TRUE(sim.host().window_open(kOverheadPanel));
    send(key::panel_window_close, kOverheadPanel);
    EXPECT_FALSE(sim.host().window_open(kOverheadPanel));
    send(key::panel_window_close, kOverheadPanel);
    EXPECT_FALSE(sim.host().window_open(kOverheadPanel));
}

TEST(PanelWindows, a_fresh_simulator_starts_closed_again) {
    {
        Simulator sim;
        send(key::panel_window_open, kOverheadPanel);
    }
    Simulator sim;
    EXPECT_FALSE(sim.host().window_open(kOverheadPanel));
}

}  // namespace
}  // namespace tarvenol::host
