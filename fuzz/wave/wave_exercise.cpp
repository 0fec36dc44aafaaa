// The bytes are carried as the module's only resource, so the engine takes them the way it takes the
// cockpit sounds; the name is that of a file that does not exist, so the file-path fallback finds
// nothing.
#include "wave_exercise.h"

#include <cstdlib>

#include "sound/device.h"
#include "sound/mixer.h"
#include "sound/platform.h"
#include "sound/sound.h"
#include "sound/wave.h"

namespace tarvenol::snd::fuzz {

namespace {
constexpr const char* kName = "tarvenol-no-such-folder/FUZZED.WAV";
constexpr std::size_t kFramesPlayed = 64;
constexpr uint32_t kOutputRate = 22050;
}  // namespace

bool exercise_wave(const uint8_t* data, std::size_t size) {
    WaveInfo info;
    const bool loadable = describe_wave(data, size, info, nullptr);

    if (!device_open()) {
        use_device(&mixer::device());
        open_device(0);
    }
    const ResourceEntry entry{kName, data, size};
    use_resource_table(&entry, 1);
    SoundHandle sound = create_sound(kName);
    use_resource_table(nullptr, 0);
    // What a user is told of a wave must be what the engine does with it.
    if ((sound != nullptr) != loadable) std::abort();
    if (sound == nullptr) return false;

    int16_t out[kFramesPlayed];
    set_volume(sound, kVolumeMin / 2);
    play(sound, 1);
    mixer::render(out, kFramesPlayed, kOutputRate);
    stop(sound);
    release_sound(sound);
    return true;
}

}  // namespace tarvenol::snd::fuzz
