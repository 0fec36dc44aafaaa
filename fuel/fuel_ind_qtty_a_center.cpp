// tarvenol fuel_ind_qtty_a_center_t418: center tank quantity, 5 drums up to 15000 kg.
#include "fuel/fuel_quantity.h"
#include "module/shared_state.h"

TARVENOL_FUEL_QUANTITY_GAUGE(fuel_ind_qtty_a_center, "tarvenol fuel_ind_qtty_a_center_t418", "CTR TANK", 61, tarvenol::fuel::center, tank_center_level, tank_center_capacity_gal, fuel_qty_center,
                             fuel_ind_qtty_a_center_drum_10000, fuel_ind_qtty_a_center_drum_1000, fuel_ind_qtty_a_center_drum_100, fuel_ind_qtty_a_center_drum_10, fuel_ind_qtty_a_center_drum_1);
