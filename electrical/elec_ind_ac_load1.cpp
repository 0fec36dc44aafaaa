// tarvenol elec_ind_ac_load1_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(elec_ind_ac_load1, "tarvenol elec_ind_ac_load1_t418", 75, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
