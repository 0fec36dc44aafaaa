// tarvenol fd_bars_sw_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(fd_bars_sw, "tarvenol fd_bars_sw_t418", 92, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
