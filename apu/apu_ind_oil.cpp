// tarvenol apu_ind_oil_t418: the APU oil quantity indicator.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u32 kOilScaleTop = 800;

Background background{panel(nullptr, 182)};
Needle oil_needle{"oil_needle", [] { return clamp_back(shared.apu_oil_qty, 0u, kOilScaleTop); },
       dial("APU OIL", 0, kOilScaleTop, centred(91, 91, 168, 168))};

}  // namespace

TARVENOL_GAUGE(apu_ind_oil, "tarvenol apu_ind_oil_t418", 91, &idle_callback, no_areas, no_vars, nullptr, background,
               oil_needle);
