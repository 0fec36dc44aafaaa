// tarvenol fuel_ind_qtty_a_right_t418: right main tank quantity, 4 drums up to 4500 kg.
#include "fuel/fuel_quantity.h"
#include "module/shared_state.h"

TARVENOL_FUEL_QUANTITY_GAUGE(fuel_ind_qtty_a_right, "tarvenol fuel_ind_qtty_a_right_t418", "R MAIN TANK", 61, tarvenol::fuel::right_main, tank_right_main_level, tank_right_main_capacity_gal, fuel_qty_right_main,
                             fuel_ind_qtty_a_right_drum_1000, fuel_ind_qtty_a_right_drum_100, fuel_ind_qtty_a_right_drum_10, fuel_ind_qtty_a_right_drum_1);
