// tarvenol eng_ind_egt_2_t418: engine 2 exhaust gas temperature, 0 to 1000 degrees, with its
// counter and maximum pointer (AC essential bus).
#include "engines/eng_instruments.h"

TARVENOL_ENG_PRIMARY_GAUGE(egt, 2, kEgt, read(sim::eng2_egt) / eng::kEgtRawPerDegree, shared.ac_ess_bus_powered == 1);
