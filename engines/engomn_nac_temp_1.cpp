// tarvenol engomn_nac_temp_1_t418: engine 1 nacelle temperature, 0 to 300 degrees.
#include "engines/eng_instruments.h"

TARVENOL_ENGOMN_NAC_TEMP_GAUGE(1);
