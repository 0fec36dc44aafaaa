// tarvenol hp_lev_2_t418: engine 2's HP fuel shut-off lever, on the simulator's engine 2 mixture.
#include "engines/hp_lever.h"

namespace {
constexpr int kEng2Mixture = 165;  // 0..16384
constexpr tarvenol::u32 kEng2MixtureRich = 0x101C4;
constexpr tarvenol::u32 kEng2MixtureLean = 0x101C8;
}  // namespace

TARVENOL_HP_LEVER_GAUGE(2, kEng2Mixture, kEng2MixtureRich, kEng2MixtureLean);
