// tarvenol n1_calc_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(n1_calc, "tarvenol n1_calc_t418", 128, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
