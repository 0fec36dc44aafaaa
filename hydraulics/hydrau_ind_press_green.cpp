// tarvenol hydrau_ind_press_green_t418: the green system pressure indicator, 0 to 4000 psi.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr u32 kScaleTopPsi = 4000;

Background background{panel(nullptr, 106)};
Needle pressure{"pressure_needle", [] { return clamp_back(shared.hyd_green_press, 0u, kScaleTopPsi); },
       dial("GREEN", 0, kScaleTopPsi, centred(53, 53, 100, 100)).band(2800, 3200).in("PSI")};

}  // namespace

TARVENOL_GAUGE(hydrau_ind_press_green, "tarvenol hydrau_ind_press_green_t418", 53, &idle_callback, no_areas, no_vars,
               nullptr, background, pressure);
