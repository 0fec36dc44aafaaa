// tarvenol engomn_oil_temp_2_t418: engine 2 oil temperature, 0 to 250 degrees.
#include "engines/eng_instruments.h"

TARVENOL_ENGOMN_OIL_TEMP_GAUGE(2);
