// tarvenol hp_lev_1_t418: engine 1's HP fuel shut-off lever, on the simulator's engine 1 mixture.
#include "engines/hp_lever.h"

namespace {
constexpr int kEng1Mixture = 130;  // 0..16384
constexpr tarvenol::u32 kEng1MixtureRich = 0x101BF;
constexpr tarvenol::u32 kEng1MixtureLean = 0x101C3;
}  // namespace

TARVENOL_HP_LEVER_GAUGE(1, kEng1Mixture, kEng1MixtureRich, kEng1MixtureLean);
