// tarvenol eng_ind_egt_1_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(eng_ind_egt_1, "tarvenol eng_ind_egt_1_t418", 169, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
