// tarvenol fuel_ind_fu_2_t418: fuel used by engine 2 since the last reset, kg.
#include "fuel/fuel_used.h"
#include "module/shared_state.h"

TARVENOL_FUEL_USED_GAUGE(fuel_ind_fu_2, "tarvenol fuel_ind_fu_2_t418", 2, eng2_fuel_flow_pph, fuel_used_2);
