// tarvenol fuel_ind_qtty_a_right_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(fuel_ind_qtty_a_right, "tarvenol fuel_ind_qtty_a_right_t418", 61, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
