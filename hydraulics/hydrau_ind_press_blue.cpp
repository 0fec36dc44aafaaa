// tarvenol hydrau_ind_press_blue_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(hydrau_ind_press_blue, "tarvenol hydrau_ind_press_blue_t418", 53, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
