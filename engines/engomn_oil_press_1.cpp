// tarvenol engomn_oil_press_1_t418: engine 1 oil pressure, 0 to 160, and its OIL PRESS warning.
#include "engines/eng_instruments.h"

TARVENOL_ENGOMN_OIL_PRESS_GAUGE(1);
