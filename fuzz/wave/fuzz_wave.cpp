// libFuzzer target: any bytes as a wave image, through the parser and the engine.
#include <cstddef>
#include <cstdint>

#include "wave_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    tarvenol::snd::fuzz::exercise_wave(data, size);
    return 0;
}
