// tarvenol hp_lev_1_t418: engine 1's HP fuel shut-off lever, on the simulator's engine 1 mixture.
#include "engines/hp_lever.h"

TARVENOL_HP_LEVER_GAUGE(1);
