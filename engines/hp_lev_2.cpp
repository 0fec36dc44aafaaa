// tarvenol hp_lev_2_t418: engine 2's HP fuel shut-off lever, on the simulator's engine 2 mixture
// (variable 165, 0..16384; rich 0x101C4, lean 0x101C8).
#include "engines/hp_lever.h"

TARVENOL_HP_LEVER_GAUGE(2, 165, 0x101C4, 0x101C8);
