// tarvenol elec_ind_ac_load2_t418: the load meter of generator 2, percent; at TEST it
// shows the test load.
#include "electrical/electrical.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

Background background{panel(nullptr, 150)};
Needle gen_2_load_needle{"gen_2_load_needle", [] { return elec::load_meter_reading(shared.gen_2_load, shared.gen_2_ctl_sw); },
       dial("GEN 2 LOAD", elec::kLoadMeterMin, elec::kLoadMeterMax, centred(75, 75, 136, 136)).in("%")};

}  // namespace

TARVENOL_GAUGE(elec_ind_ac_load2, "tarvenol elec_ind_ac_load2_t418", 75, &idle_callback, no_areas, no_vars,
               nullptr, background, gen_2_load_needle);
