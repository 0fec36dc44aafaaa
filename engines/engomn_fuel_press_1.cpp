// tarvenol engomn_fuel_press_1_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(engomn_fuel_press_1, "tarvenol engomn_fuel_press_1_t418", 91, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
