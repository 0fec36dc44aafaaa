// tarvenol radio_snd_t418: the panel's background; its switches, lights and logic come with its system.
#include "module/gauge.h"

namespace {
tarvenol::Background background;
}  // namespace

TARVENOL_GAUGE(radio_snd, "tarvenol radio_snd_t418", 175, &tarvenol::idle_callback, tarvenol::no_areas, tarvenol::no_vars, nullptr, background);
