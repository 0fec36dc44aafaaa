// tarvenol eng_ind_ff_1_t418: engine 1 fuel flow, 0 to 10000 kg/h, with its counter (AC bus 1).
#include "engines/eng_instruments.h"

TARVENOL_ENG_PRIMARY_GAUGE(ff, 1, kFuelFlow, read(sim::eng1_fuel_flow_pph) * eng::kKgPerPound,
                           shared.ac_bus_1_powered == 1);
