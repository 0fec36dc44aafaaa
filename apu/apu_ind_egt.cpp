// tarvenol apu_ind_egt_t418: the APU exhaust gas temperature indicator, 0 to 700 degrees.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kEgtScaleTop = 700.0;

Background background{panel(nullptr, 182)};
Needle egt_needle{"egt_needle", [] { return clamp_back(shared.apu_egt, 0.0, kEgtScaleTop); },
       dial("APU EGT", 0.0, kEgtScaleTop, centred(91, 91, 168, 168)).in("DEG C")};

}  // namespace

TARVENOL_GAUGE(apu_ind_egt, "tarvenol apu_ind_egt_t418", 91, &idle_callback, no_areas, no_vars, nullptr, background,
               egt_needle);
