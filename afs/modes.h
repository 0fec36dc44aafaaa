// The automatic flight system's mode codes and the NAV 1 station as the mode logic, the flight
// director and the control laws read them.
#pragma once

#include "module/host_services.h"
#include "module/numbers.h"

namespace tarvenol::afs {

// Approach mode codes (appr_mode).
constexpr u8 kApprFd = 10;     // approach with glide slope, flight directors only
constexpr u8 kLocFd = 11;      // localizer only, flight directors only
constexpr u8 kApprAp = 20;     // approach with glide slope, autopilot or both channels
constexpr u8 kLocAp = 21;      // localizer only, autopilot or both channels
constexpr u8 kLand = 30;       // LAND
constexpr u8 kLandDual = 40;   // LAND with both autopilots
constexpr u8 kLandLast = 41;   // the LAND button cancels codes kLand..kLandLast

// Lateral and vertical codes for the flight directors (fd_lat_code, fd_vert_code).
constexpr u8 kLatTakeoff = 1;
constexpr u8 kLatHeading = 2;
constexpr u8 kLatNav = 3;
constexpr u8 kLatLocalizer = 4;
constexpr u8 kVertBasicPitch = 1;
constexpr u8 kVertIas = 2;
constexpr u8 kVertAltCapture = 3;
constexpr u8 kVertAltHold = 4;
constexpr u8 kVertApproach = 5;

// Radio navigation lateral modes (nav_mode) and altitude modes (alt_mode).
constexpr u8 kNavVor = 1;
constexpr u8 kNavGps = 2;
constexpr u8 kAltArmed = 1;
constexpr u8 kAltCapture = 2;
constexpr u8 kAltChange = 25;
constexpr u8 kAltTransition = 26;
constexpr u8 kAltHoldSelected = 3;
constexpr u8 kAltHoldPresent = 4;

// Simulator failure flags.
constexpr i32 kFailed = 1;

// NAV 1 station flag bits.
constexpr u32 kGlideSlopeBit = 0x40;
constexpr u32 kLocalizerBit = 0x80;

inline u32 nav_station_flags() { return static_cast<u32>(read(sim::nav1_flags)); }
inline bool attitude_failed() {
    return read(sim::fail_attitude) == kFailed || read(sim::fail_attitude_2) == kFailed;
}

}  // namespace tarvenol::afs
