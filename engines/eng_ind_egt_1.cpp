// tarvenol eng_ind_egt_1_t418: engine 1 exhaust gas temperature, 0 to 1000 degrees, with its
// counter and maximum pointer (AC essential bus).
#include "engines/eng_instruments.h"

TARVENOL_ENG_PRIMARY_GAUGE(egt, 1, kEgt, read(sim::eng1_egt) / eng::kEgtRawPerDegree, shared.ac_ess_bus_powered == 1);
