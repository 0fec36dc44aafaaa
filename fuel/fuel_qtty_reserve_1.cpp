// tarvenol fuel_qtty_reserve_1_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(fuel_qtty_reserve_1, "tarvenol fuel_qtty_reserve_1_t418", 56, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
