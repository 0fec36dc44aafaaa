// tarvenol map_lt_t418: the map light, a picture with nothing to switch.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(map_lt, "tarvenol map_lt_t418", 120, &tarvenol::idle_callback, tarvenol::no_areas,
               tarvenol::no_vars, nullptr, background);
