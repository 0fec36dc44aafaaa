// One input for the wave parser: what the fuzzer and the corpus replay both run.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvenol::snd::fuzz {

// Reads the bytes as a wave (parse, description) and, when they describe a playable wave, makes a
// sound of them through the engine as the module would, plays it into the mixer and releases it.
// Returns whether a sound was made.
bool exercise_wave(const uint8_t* data, std::size_t size);

}  // namespace tarvenol::snd::fuzz
