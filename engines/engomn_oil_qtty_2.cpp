// tarvenol engomn_oil_qtty_2_t418: engine 2 oil quantity, 0 to 20, with its reference marker.
#include "engines/eng_instruments.h"

TARVENOL_ENGOMN_OIL_QTTY_GAUGE(2);
