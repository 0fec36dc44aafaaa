// tarvenol elec_ind_ac_load1_t418: the load meter of generator 1, percent; at TEST it
// shows the test load.
#include "electrical/electrical.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

Background background{panel(nullptr, 150)};
Needle gen_1_load_needle{"gen_1_load_needle", [] { return elec::load_meter_reading(shared.gen_1_load, shared.gen_1_ctl_sw); },
       dial("GEN 1 LOAD", elec::kLoadMeterMin, elec::kLoadMeterMax, centred(75, 75, 136, 136)).in("%")};

}  // namespace

TARVENOL_GAUGE(elec_ind_ac_load1, "tarvenol elec_ind_ac_load1_t418", 75, &idle_callback, no_areas, no_vars,
               nullptr, background, gen_1_load_needle);
