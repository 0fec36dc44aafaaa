// tarvenol rev_voy_right_t418: engine 2 reverser annunciator, R.UNLK and REV.
#include "engines/eng_instruments.h"

TARVENOL_REV_VOY_GAUGE(right, 2);
