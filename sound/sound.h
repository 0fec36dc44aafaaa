// The cockpit's own sounds: one sound device, 25 named wave sounds carried in the module, and the
// operations the gauges use on them (play once, loop, stop, volume). The ground proximity warning
// gauge opens the device and creates the sounds at its installation and releases them at its kill.
#pragma once

#include <array>
#include <cstdint>

namespace tarvenol::snd {

// The 25 sounds in load order; the value is the index into the handle and volume tables.
enum SoundId : int {
    CLICK, HI, LO, INNER, MIDDLE, OUTER,
    DONTSNK, GLIDESLOPE, WPULLUP, SNKRATE, TERRAIN, TOOLOWFLAPS, TOOLOWGEAR, TOOLOWTERRAIN,
    CLICLICLIC, CLACKER, GONGMONO, GONGCONT, KLAXONCONT, KLAXONINT, RE, REREP, SONNERIE, WROOF,
    BRAKESSND,
    kSoundCount
};

// Resource names, exactly as carried in the module ("CLICK" ... "BRAKESSND"), in load order.
extern const char* const kSoundNames[kSoundCount];

// Volume of each sound at load, hundredths of a decibel (0 full level, negative attenuated); the
// shared volume table starts from these and the audio panel changes it at run time.
inline constexpr std::array<int16_t, kSoundCount> kInitialVolumes = {
    -2000, -3100, -3100, -2000, -2000, -2000,                  // CLICK, HI, LO, INNER, MIDDLE, OUTER
    -1000, -1000, -1000, -1000, -1000, -1000, -1000, -1000,    // the eight ground proximity callouts
    -1800, -2000, -1500, -1200, -1300, -1000, -1400, -2300,    // CLICLICLIC .. REREP
    -1500, -1500, -1500,                                       // SONNERIE, WROOF, BRAKESSND
};

constexpr int32_t kVolumeMax = 0;
constexpr int32_t kVolumeMin = -10000;

// An opaque sound buffer of the active back end; null while the sound does not exist.
struct Buffer;
using SoundHandle = Buffer*;

// Engine operations. Every request on a null handle or a closed device does nothing.
void open_device(std::uintptr_t resource_handle);
void close_device();
SoundHandle create_sound(const char* name);
void play(SoundHandle sound, int loop);
void stop(SoundHandle sound);
void set_volume(SoundHandle sound, int32_t volume);  // clamped to kVolumeMin..kVolumeMax
void release_sound(SoundHandle& sound);

// The module-wide handle of each of the 25 sounds.
extern SoundHandle handles[kSoundCount];

// Life cycle owned by the ground proximity warning gauge: open the device, create the 25 sounds in
// load order and apply their volumes (service 2); release them in reverse order and close (service 12).
void install_sounds(std::uintptr_t resource_handle, const int16_t volumes[kSoundCount]);
void release_sounds();

// What the gauges call.
inline void play_once(SoundId id) { play(handles[id], 0); }
inline void play_loop(SoundId id) { play(handles[id], 1); }
inline void stop(SoundId id) { stop(handles[id]); }
inline void set_volume(SoundId id, int32_t volume) { set_volume(handles[id], volume); }

}  // namespace tarvenol::snd
