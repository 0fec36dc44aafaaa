// tarvenol elec_sel_ind_dc_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(elec_sel_ind_dc, "tarvenol elec_sel_ind_dc_t418", 120, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
