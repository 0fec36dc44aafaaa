// The software mixer: a sound device without sound hardware. It keeps static buffers as DirectSound
// does (volume in hundredths of a decibel applied as the gain 10^(volume/2000), one-shot and looping
// play from the current position, stop keeping the position, a one-shot play that ends rewinds to
// the start), tells an observer of every request made on its buffers, and mixes what plays into mono
// 16-bit samples so that a run of the cockpit can be listened to afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/device.h"
#include "sound/sound.h"

namespace tarvenol::snd::mixer {

// The mixer as a device for the engine (see use_device).
Device& device();

// The state of one sound buffer.
struct SoundState {
    bool exists = false;
    bool playing = false;
    bool looping = false;
    int32_t volume = 0;             // hundredths of a decibel, as last set
    uint32_t play_once_requests = 0;  // since the buffer was created
    uint32_t loop_requests = 0;
};

// The newest live buffer made from that resource name or file path (compared exactly), or a
// state whose exists is false.
SoundState state(const char* name);
SoundState state(SoundHandle sound);

// Buffers created and not yet released.
int live_buffers();

// Every request made on a mixer buffer, in the order made.
enum class RequestKind { create, play_once, play_loop, stop, volume, release };
struct SoundRequest {
    RequestKind kind;
    const char* name;  // resource name or file path of the sound
    int32_t volume;    // for a volume request: the volume applied
};
using Observer = void (*)(void* context, const SoundRequest& request);
void set_observer(Observer observer, void* context);  // null: nobody is told
const char* request_name(RequestKind kind);          // "create", "play once", ...

// Advances every playing buffer by frames at the output rate and, when out is not null, writes the
// mix of them there as mono 16-bit samples (stereo sounds are folded to mono, the sum is clipped).
void render(int16_t* out, std::size_t frames, uint32_t rate);

// Writes mono 16-bit samples as a PCM wave file; false if the file could not be written whole.
bool write_wav(const char* path, const int16_t* samples, std::size_t count, uint32_t rate);

}  // namespace tarvenol::snd::mixer
