// tarvenol fuel_ind_qtty_m_right_t418: right auxiliary tank quantity, 5 drums up to 15000 kg.
#include "fuel/fuel_quantity.h"
#include "module/shared_state.h"

TARVENOL_FUEL_QUANTITY_GAUGE(fuel_ind_qtty_m_right, "tarvenol fuel_ind_qtty_m_right_t418", "R AUX TANK", 61, tarvenol::fuel::right_aux, tank_right_aux_level, tank_right_aux_capacity_gal, fuel_qty_right_aux,
                             fuel_ind_qtty_m_right_drum_10000, fuel_ind_qtty_m_right_drum_1000, fuel_ind_qtty_m_right_drum_100, fuel_ind_qtty_m_right_drum_10, fuel_ind_qtty_m_right_drum_1);
