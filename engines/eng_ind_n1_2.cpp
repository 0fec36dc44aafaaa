// tarvenol eng_ind_n1_2_t418: engine 2 N1, 0 to 120 %, with its counter, maximum pointer and the N1
// target marker; its knob sets the manual N1 target.
#include "engines/eng_instruments.h"

TARVENOL_ENG_N1_GAUGE(2);
