// tarvenol ga_light_t418: the go-around light, lit while the automatic flight system flies a
// go-around.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

Background background{panel(nullptr, 40)};
Image ga_light{"ga_light", light(Tone::advisory, "G/A")};

void tick() {
    const auto& s = shared;
    ga_light.show(s.batt_bus_powered == 1 && (s.afs_go_around == 1 || s.ann_lt_test == 1));
}

}  // namespace

TARVENOL_GAUGE(ga_light, "tarvenol ga_light_t418", 35, &tick_callback<&tick>, no_areas, no_vars, nullptr, background,
               ga_light);
