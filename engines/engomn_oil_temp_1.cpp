// tarvenol engomn_oil_temp_1_t418: engine 1 oil temperature, 0 to 250 degrees.
#include "engines/eng_instruments.h"

TARVENOL_ENGOMN_OIL_TEMP_GAUGE(1);
