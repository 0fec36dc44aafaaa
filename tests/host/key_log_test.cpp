// The panel host's key event log stays bounded when nobody clears it, and counts what it drops.
#include <gtest/gtest.h>

#include "host/aircraft_model.h"
#include "host/simulator.h"
#include "module/host_services.h"

namespace tarvenol::host {
namespace {

TEST(KeyLog, a_log_never_cleared_keeps_the_first_events_and_counts_the_rest) {
    Simulator sim;
    sim.model().set_enabled(false);
    sim.host().clear_key_events();
    constexpr std::size_t kBeyond = 3;
    for (std::size_t i = 0; i < PanelHost::kKeyEventsKept + kBeyond; ++i) send(key::master_battery_toggle, static_cast<u32>(i));
    ASSERT_EQ(sim.host().key_events().size(), PanelHost::kKeyEventsKept);
    EXPECT_EQ(sim.host().key_events().back().value, PanelHost::kKeyEventsKept - 1);
    EXPECT_EQ(sim.host().key_events_dropped(), kBeyond);
    sim.frame();  // a frame starts a new log
    EXPECT_EQ(sim.host().key_events_dropped(), 0u);
    EXPECT_LT(sim.host().key_events().size(), PanelHost::kKeyEventsKept);
}

}  // namespace
}  // namespace tarvenol::host
