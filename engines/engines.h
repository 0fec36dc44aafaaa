// Engine variables of the simulator that several engine panels read.
#pragma once

namespace tarvenol::eng {

constexpr int kEng1N1 = 624;
constexpr int kEng2N1 = 643;
constexpr int kEng1N2 = 625;
constexpr int kEng2N2 = 644;

}  // namespace tarvenol::eng
