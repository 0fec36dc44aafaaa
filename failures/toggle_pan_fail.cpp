// tarvenol toggle_pan_fail_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(toggle_pan_fail, "tarvenol toggle_pan_fail_t418", 201, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
