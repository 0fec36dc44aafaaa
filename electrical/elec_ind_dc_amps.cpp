// tarvenol elec_ind_dc_amps_t418: the battery ammeter; its needle shows the battery current,
// negative while the batteries discharge.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr i32 kScaleMin = -300;
constexpr i32 kScaleMax = 300;

Background background{panel(nullptr, 150)};
Needle dc_amps_needle{"dc_amps_needle", [] { return clamp_back(shared.batt_current, kScaleMin, kScaleMax); },
       dial("BAT AMPS", kScaleMin, kScaleMax, centred(75, 75, 136, 136)).in("A")};

}  // namespace

TARVENOL_GAUGE(elec_ind_dc_amps, "tarvenol elec_ind_dc_amps_t418", 75, &idle_callback, no_areas, no_vars, nullptr,
               background, dc_amps_needle);
