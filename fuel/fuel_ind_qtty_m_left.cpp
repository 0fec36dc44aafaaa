// tarvenol fuel_ind_qtty_m_left_t418: left auxiliary tank quantity, 5 drums up to 15000 kg.
#include "fuel/fuel_quantity.h"
#include "module/shared_state.h"

TARVENOL_FUEL_QUANTITY_GAUGE(fuel_ind_qtty_m_left, "tarvenol fuel_ind_qtty_m_left_t418", "L AUX TANK", 61, tarvenol::fuel::left_aux, tank_left_aux_level, tank_left_aux_capacity_gal, fuel_qty_left_aux,
                             fuel_ind_qtty_m_left_drum_10000, fuel_ind_qtty_m_left_drum_1000, fuel_ind_qtty_m_left_drum_100, fuel_ind_qtty_m_left_drum_10, fuel_ind_qtty_m_left_drum_1);
