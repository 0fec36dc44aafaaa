// tarvenol rev_voy_left_t418: engine 1 reverser annunciator, R.UNLK and REV.
#include "engines/eng_instruments.h"

TARVENOL_REV_VOY_GAUGE(left, 1);
