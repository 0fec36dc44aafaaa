// The sound device as the engine sees it: a device that makes static sound buffers, and buffers that
// are filled through Lock/Unlock and then played, stopped, attenuated and released. DirectSound 8
// supplies it on Windows (win32/), the software mixer (mixer.h) everywhere.
#pragma once

#include <cstdint>

#include "sound/sound.h"
#include "sound/wave.h"

namespace tarvenol::snd {

// Creation flags of every cockpit sound buffer: a static buffer with volume, pan and frequency
// control and accurate play position (DSBCAPS_STATIC | CTRLVOLUME | CTRLPAN | CTRLFREQUENCY |
// GETCURRENTPOSITION2).
inline constexpr uint32_t kStaticBufferFlags = 0x100E2;

struct BufferDesc {
    uint32_t flags = kStaticBufferFlags;
    uint32_t bytes = 0;
    const WaveFormat* format = nullptr;
    const char* name = nullptr;  // the resource name or file path the sound was made from
};

// The parts of a buffer that a lock hands out: the second is there when the locked range wraps
// past the end of the buffer.
struct LockedRegion {
    void* first = nullptr;
    uint32_t first_bytes = 0;
    void* second = nullptr;
    uint32_t second_bytes = 0;
};

// One sound buffer of a device. The engine keeps the buffers it created in a list (next_created)
// so that closing the device can release whatever is left.
struct Buffer {
    virtual bool lock(uint32_t offset, uint32_t bytes, LockedRegion& region) = 0;
    virtual void unlock(const LockedRegion& region) = 0;
    virtual void play(bool looping) = 0;  // from the current position
    virtual void stop() = 0;              // keeps the position
    virtual void set_volume(int32_t volume) = 0;
    virtual void release() = 0;           // destroys the buffer

    Buffer* next_created = nullptr;

protected:
    ~Buffer() = default;
};

struct Device {
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual Buffer* create_buffer(const BufferDesc& desc) = 0;

protected:
    ~Device() = default;
};

// The device of this operating system: DirectSound 8 on Windows, the software mixer elsewhere.
Device& platform_device();

// Makes the engine use another device from the next open (null: the platform's own). A device
// that is open is closed first, releasing its buffers.
void use_device(Device* device);

// Whether the engine's device is open, and how many buffers it has created and not yet released.
bool device_open();
int live_sound_count();

}  // namespace tarvenol::snd
