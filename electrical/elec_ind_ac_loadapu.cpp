// tarvenol elec_ind_ac_loadapu_t418: the load meter of the APU generator, percent; at TEST it
// shows the test load.
#include "electrical/electrical.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

Background background{panel(nullptr, 150)};
Needle apu_gen_load_needle{"apu_gen_load_needle", [] { return elec::load_meter_reading(shared.apu_gen_load, shared.apu_gen_ctl_sw); },
       dial("APU GEN LOAD", elec::kLoadMeterMin, elec::kLoadMeterMax, centred(75, 75, 136, 136)).in("%")};

}  // namespace

TARVENOL_GAUGE(elec_ind_ac_loadapu, "tarvenol elec_ind_ac_loadapu_t418", 75, &idle_callback, no_areas, no_vars,
               nullptr, background, apu_gen_load_needle);
