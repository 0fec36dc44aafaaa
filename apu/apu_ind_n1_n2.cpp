// tarvenol apu_ind_n1_n2_t418: APU N1 and N2 on one dial scaled 0 to 120 %.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kSpeedScaleTop = 120.0;

Background background{panel(nullptr, 356)};
Needle n1_needle{"n1_needle", [] { return clamp_back(shared.apu_n1_pct, 0.0, kSpeedScaleTop); },
       dial("APU N1", 0.0, kSpeedScaleTop, centred(91, 91, 168, 168)).in("%")};
Needle n2_needle{"n2_needle", [] { return clamp_back(shared.apu_n_pct, 0.0, kSpeedScaleTop); },
       dial("APU N2", 0.0, kSpeedScaleTop, centred(91, 265, 168, 168)).in("%")};

}  // namespace

TARVENOL_GAUGE(apu_ind_n1_n2, "tarvenol apu_ind_n1_n2_t418", 91, &idle_callback, no_areas, no_vars, nullptr,
               background, n1_needle, n2_needle);
