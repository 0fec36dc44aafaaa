// One fuzz input played against a freshly loaded cockpit. The bytes are read as a program of
// operations: run a frame, run a frame with the gauges in a shuffled order, click an area of a
// gauge, set a simulator variable to an awkward value, switch the aircraft model, hold or release
// a clock, open or close a panel window.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvenol::fuzz {

// At most this many frames per input, so that every input runs in milliseconds.
constexpr int kMaxFramesPerInput = 48;

void run_frame_input(const std::uint8_t* data, std::size_t size);

}  // namespace tarvenol::fuzz
