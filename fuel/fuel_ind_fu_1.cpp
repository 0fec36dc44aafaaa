// tarvenol fuel_ind_fu_1_t418: fuel used by engine 1 since the last reset, kg.
#include "fuel/fuel_used.h"
#include "module/shared_state.h"

TARVENOL_FUEL_USED_GAUGE(fuel_ind_fu_1, "tarvenol fuel_ind_fu_1_t418", 1, eng1_fuel_flow_pph, fuel_used_1);
