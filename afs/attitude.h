// The attitude sphere of an attitude indicator: it follows the simulator's pitch and bank while its
// gyro has power, topples a degree per tick to a rest attitude without it, and on power back slews
// a degree per tick to the real attitude until within two degrees, then follows it again.
#pragma once

#include <cmath>

#include "module/host_services.h"
#include "module/numbers.h"

namespace tarvenol::afs {

// Where an unpowered sphere comes to rest, degrees (nose up, banked right).
constexpr double kSphereRestPitch = 10.0;
constexpr double kSphereRestBank = 20.0;
constexpr double kSphereSlewPerTick = 1.0;
constexpr double kSphereCatchUp = 2.0;

// Moves v toward target by at most step; a target that is no number leaves it, a v that is none
// takes the target.
inline void slew_toward(double& v, double target, double step) {
    if (target != target) return;
    if (v != v || std::fabs(target - v) <= step) {
        v = target;
        return;
    }
    v += target > v ? step : -step;
}

inline void move_sphere(double& pitch, double& bank, u8& following, bool powered) {
    if (!powered) {
        following = 0;
        slew_toward(pitch, kSphereRestPitch, kSphereSlewPerTick);
        slew_toward(bank, kSphereRestBank, kSphereSlewPerTick);
        return;
    }
    const double real_pitch = read(sim::pitch_deg);
    const double real_bank = read(sim::bank_deg);
    if (following == 0) {
        slew_toward(pitch, real_pitch, kSphereSlewPerTick);
        slew_toward(bank, real_bank, kSphereSlewPerTick);
        following = std::fabs(real_pitch - pitch) <= kSphereCatchUp && std::fabs(real_bank - bank) <= kSphereCatchUp;
        if (following == 0) return;
    }
    if (real_pitch == real_pitch) pitch = real_pitch;
    if (real_bank == real_bank) bank = real_bank;
}

}  // namespace tarvenol::afs
