// tarvenol eng_ind_n2_1_t418: engine 1 N2, 0 to 120 %, with its counter and maximum pointer (AC bus 1).
#include "engines/eng_instruments.h"

TARVENOL_ENG_PRIMARY_GAUGE(n2, 1, kN2, read(sim::eng1_n2_pct), shared.ac_bus_1_powered == 1);
