// tarvenol engomn_fuel_press_2_t418: engine 2 fuel pressure, 0 to 160.
#include "engines/eng_instruments.h"

TARVENOL_ENGOMN_FUEL_PRESS_GAUGE(2);
