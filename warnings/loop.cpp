// tarvenol loop_t418: a plain picture beside the master warning panels; it has no behaviour.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(loop, "tarvenol loop_t418", 187, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
