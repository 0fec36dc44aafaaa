// tarvenol compass_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(compass, "tarvenol compass_t418", 75, nullptr, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
