// tarvenol autoland_ecart_gs_t418: the glide-slope deviation light of a coupled approach: lit when
// the tracked glide slope is too far off — a tighter limit above 250 ft, a wider one below.
#include "afs/annunciators.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace afs;

Background background{panel(nullptr, 40)};
Image gs_light{"gs_dev_light", light(Tone::warning, "G/S")};

bool glide_slope_off() {
    const double deviation = read(sim::nav1_gsi);
    const double agl_ft = height_above_ground_ft();
    return (beyond(deviation, kGsLimitHigh) && agl_ft > kGsLowToFt) ||
           (beyond(deviation, kGsLimitLow) && agl_ft > kGsLowFromFt && agl_ft <= kGsLowToFt);
}

void tick() {
    const auto& s = shared;
    bool lit = false;
    if (s.batt_bus_powered == 1) {
        if (s.appr_mode >= kApprAp && s.appr_coupled == 1)
            lit = s.gs_captured == kGsSecondCapture && glide_slope_off();
        else
            lit = s.ann_lt_test == 1;
    }
    gs_light.show(lit);
}

}  // namespace

TARVENOL_GAUGE(autoland_ecart_gs, "tarvenol autoland_ecart_gs_t418", 32, &tick_callback<&tick>, no_areas, no_vars,
               nullptr, background, gs_light);
