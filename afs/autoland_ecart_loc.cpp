// tarvenol autoland_ecart_loc_t418: the localizer deviation light of the approach: lit when the
// captured localizer is more than a dot and a half off in an autopilot approach above 15 ft.
#include "afs/annunciators.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

using namespace afs;

Background background{panel(nullptr, 40)};
Image loc_light{"loc_dev_light", light(Tone::warning, "LOC")};

void tick() {
    const auto& s = shared;
    const double deviation = read(sim::nav1_cdi);
    bool lit = false;
    if (s.batt_bus_powered == 1) {
        if (s.appr_mode >= kApprAp)
            lit = beyond(deviation, kLocLimit) && s.loc_captured == 1 && s.radio_alt_ft > kLocWatchAboveFt;
        else
            lit = s.ann_lt_test == 1;
    }
    loc_light.show(lit);
}

}  // namespace

TARVENOL_GAUGE(autoland_ecart_loc, "tarvenol autoland_ecart_loc_t418", 62, &tick_callback<&tick>, no_areas, no_vars,
               nullptr, background, loc_light);
