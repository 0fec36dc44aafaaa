// tarvenol hp_lev_2_t418: engine 2's HP fuel shut-off lever, on the simulator's engine 2 mixture.
#include "engines/hp_lever.h"

TARVENOL_HP_LEVER_GAUGE(2);
