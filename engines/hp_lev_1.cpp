// tarvenol hp_lev_1_t418: engine 1's HP fuel shut-off lever, on the simulator's engine 1 mixture
// (variable 130, 0..16384; rich 0x101BF, lean 0x101C3).
#include "engines/hp_lever.h"

TARVENOL_HP_LEVER_GAUGE(1, 130, 0x101BF, 0x101C3);
