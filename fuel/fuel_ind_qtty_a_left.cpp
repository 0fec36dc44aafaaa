// tarvenol fuel_ind_qtty_a_left_t418: left main tank quantity, 4 drums up to 4500 kg.
#include "fuel/fuel_quantity.h"
#include "module/shared_state.h"

TARVENOL_FUEL_QUANTITY_GAUGE(fuel_ind_qtty_a_left, "tarvenol fuel_ind_qtty_a_left_t418", "L MAIN TANK", 61, tarvenol::fuel::left_main, tank_left_main_level, tank_left_main_capacity_gal, fuel_qty_left_main,
                             fuel_ind_qtty_a_left_drum_1000, fuel_ind_qtty_a_left_drum_100, fuel_ind_qtty_a_left_drum_10, fuel_ind_qtty_a_left_drum_1);
