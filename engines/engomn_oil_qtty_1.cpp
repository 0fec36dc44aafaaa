// tarvenol engomn_oil_qtty_1_t418: engine 1 oil quantity, 0 to 20, with its reference marker.
#include "engines/eng_instruments.h"

TARVENOL_ENGOMN_OIL_QTTY_GAUGE(1);
