// tarvenol fuel_fuelused_t418: the FUEL USED reset button (works without power).
#include "fuel/fuel_used.h"

namespace {

using namespace tarvenol;

Background background{panel("FUEL USED RESET", 64)};

// The reset push button in the middle of the strip between the two counters.
constexpr std::array areas{area<&fuel::reset_fuel_used>("reset", Cursor::hand).at(271, 24, 32, 32)};

}  // namespace

// The two counters are listed here, with the button that resets them.
TARVENOL_GAUGE(fuel_fuelused, "tarvenol fuel_fuelused_t418", 287, &idle_callback, areas, fuel::fuel_used_vars(),
               &fuel::reset_fuel_used, background);
