// The windows of the fuel panel's drum counters (tank quantities and fuel used): a row of five
// drums in kilograms, 10000 kg on the left down to units on the right, under the counter's title.
#pragma once

#include "module/look.h"

namespace tarvenol::fuel {

constexpr int kDrumW = 22, kDrumH = 34, kDrumTop = 26, kCounterH = 76, kDrumCount = 5;

// The window of the drum `place` digits left of the units drum on a counter `width` pixels wide.
constexpr Box counter_drum(int place, int width) {
    return at((width - kDrumCount * kDrumW) / 2 + (kDrumCount - 1 - place) * kDrumW, kDrumTop, kDrumW, kDrumH);
}
constexpr int kCounterWidth = 122;  // the 61 mm counters

}  // namespace tarvenol::fuel
