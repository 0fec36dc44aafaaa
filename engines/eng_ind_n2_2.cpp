// tarvenol eng_ind_n2_2_t418: engine 2 N2, 0 to 120 %, with its counter and maximum pointer (AC bus 2).
#include "engines/eng_instruments.h"

TARVENOL_ENG_PRIMARY_GAUGE(n2, 2, kN2, read(sim::eng2_n2_pct), shared.ac_bus_2_powered == 1);
