// tarvenol eng_ind_ff_2_t418: engine 2 fuel flow, 0 to 10000 kg/h, with its counter (AC bus 2).
#include "engines/eng_instruments.h"

TARVENOL_ENG_PRIMARY_GAUGE(ff, 2, kFuelFlow, read(sim::eng2_fuel_flow_pph) * eng::kKgPerPound,
                           shared.ac_bus_2_powered == 1);
