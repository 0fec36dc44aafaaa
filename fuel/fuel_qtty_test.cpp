// tarvenol fuel_qtty_test_t418: the fuel quantity test button. A press with the DC bus powered runs
// every quantity indicator up to its test target and back down to the tank content.
#include "fuel/fuel_quantity.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

void press_test() {
    if (shared.dc_bus_powered != 1) return;
    for (auto& indicator : fuel::indicators) indicator.test_flag = 1;
}

Background background;

constexpr std::array areas{area<&press_test>("test", Cursor::hand)};

}  // namespace

// The indicators' own state is listed here, with the test that drives it.
TARVENOL_GAUGE(fuel_qtty_test, "tarvenol fuel_qtty_test_t418", 25, &idle_callback, areas, fuel::indicator_vars(),
               &fuel::reset_indicators, background);
