// The sound engine: one device, and sound buffers made from named waves (a raw-data resource of the
// module, or else a wave file of that name) that the gauges play, stop, attenuate and release.
#include <algorithm>
#include <cstring>

#include "sound/device.h"
#include "sound/platform.h"
#include "sound/sound.h"
#include "sound/wave.h"

namespace tarvenol::snd {

const char* const kSoundNames[kSoundCount] = {
    "CLICK",      "HI",      "LO",       "INNER",     "MIDDLE",      "OUTER",      "DONTSNK",
    "GLIDESLOPE", "WPULLUP", "SNKRATE",  "TERRAIN",   "TOOLOWFLAPS", "TOOLOWGEAR", "TOOLOWTERRAIN",
    "CLICLICLIC", "CLACKER", "GONGMONO", "GONGCONT",  "KLAXONCONT",  "KLAXONINT",  "RE",
    "REREP",      "SONNERIE", "WROOF",   "BRAKESSND",
};

SoundHandle handles[kSoundCount] = {};

namespace {

Device* chosen_device = nullptr;   // null: the platform's own
Device* device_in_use = nullptr;   // the device while open, else null
std::uintptr_t resource_module = 0;
Buffer* newest_buffer = nullptr;   // the buffers created on the open device, newest first

Device& selected_device() { return chosen_device != nullptr ? *chosen_device : platform_device(); }

void remember(Buffer* buffer) {
    buffer->next_created = newest_buffer;
    newest_buffer = buffer;
}

bool forget(Buffer* buffer) {
    for (Buffer** link = &newest_buffer; *link != nullptr; link = &(*link)->next_created) {
        if (*link == buffer) {
            *link = buffer->next_created;
            buffer->next_created = nullptr;
            return true;
        }
    }
    return false;
}

// Fills a new buffer with the samples: one lock of the whole size from offset 0, copying into the
// second part whatever did not fit the first.
bool fill(Buffer& buffer, const uint8_t* samples, uint32_t size) {
    if (samples == nullptr || size == 0) return false;
    LockedRegion region;
    if (!buffer.lock(0, size, region)) return false;
    if (region.first == nullptr || region.first_bytes == 0) {
        buffer.unlock(region);
        return false;
    }
    const uint32_t first = std::min(region.first_bytes, size);
    std::memcpy(region.first, samples, first);
    if (region.second != nullptr) std::memcpy(region.second, samples + first, std::min(region.second_bytes, size - first));
    buffer.unlock(region);
    return true;
}

SoundHandle make_buffer(const WaveImage& wave, const char* name) {
    BufferDesc desc;
    desc.bytes = wave.size;
    desc.format = &wave.format;
    desc.name = name;
    Buffer* buffer = device_in_use->create_buffer(desc);
    if (buffer == nullptr) return nullptr;
    if (!fill(*buffer, wave.samples, wave.size)) {
        buffer->release();
        return nullptr;
    }
    remember(buffer);
    return buffer;
}

SoundHandle make_from_file(const char* path) {
    MappedFile file = map_file(path);
    if (file.data == nullptr) return nullptr;
    WaveImage wave;
    SoundHandle sound = nullptr;
    if (parse_wave(file.data, file.size, wave) == WaveError::none) sound = make_buffer(wave, path);
    unmap_file(file);
    return sound;
}

void release_all_buffers() {
    while (newest_buffer != nullptr) {
        Buffer* buffer = newest_buffer;
        newest_buffer = buffer->next_created;
        for (SoundHandle& h : handles)
            if (h == buffer) h = nullptr;
        buffer->release();
    }
}

}  // namespace

void open_device(std::uintptr_t resource_handle) {
    // A second opening without a close first releases the earlier device and its buffers: left
    // alone, a sound looping on them (a horn, the bell) could no longer be stopped by anyone.
    close_device();
    resource_module = resource_handle;
    Device& device = selected_device();
    if (device.open()) device_in_use = &device;
}

// Buffers still alive go with their device, as DirectSound releases a device's buffers with it; the
// module's handles to them become null.
void close_device() {
    if (device_in_use == nullptr) return;
    release_all_buffers();
    device_in_use->close();
    device_in_use = nullptr;
}

SoundHandle create_sound(const char* name) {
    if (device_in_use == nullptr || name == nullptr) return nullptr;
    const Bytes resource = find_resource(resource_module, name);
    WaveImage wave;
    if (resource.data != nullptr && parse_wave(resource.data, resource.size, wave) == WaveError::none)
        return make_buffer(wave, name);
    return make_from_file(name);
}

void play(SoundHandle sound, int loop) {
    if (device_in_use == nullptr || sound == nullptr) return;
    sound->play(loop != 0);
}

void stop(SoundHandle sound) {
    if (device_in_use == nullptr || sound == nullptr) return;
    sound->stop();
}

void set_volume(SoundHandle sound, int32_t volume) {
    if (device_in_use == nullptr || sound == nullptr) return;
    sound->set_volume(std::clamp(volume, kVolumeMin, kVolumeMax));
}

void release_sound(SoundHandle& sound) {
    if (sound == nullptr) return;
    // A handle that is not among the open device's buffers was already released with its device.
    if (device_in_use != nullptr && forget(sound)) sound->release();
    sound = nullptr;
}

void install_sounds(std::uintptr_t resource_handle, const int16_t volumes[kSoundCount]) {
    open_device(resource_handle);
    for (int i = 0; i < kSoundCount; ++i) handles[i] = create_sound(kSoundNames[i]);
    if (volumes == nullptr) return;
    for (int i = 0; i < kSoundCount; ++i) set_volume(handles[i], volumes[i]);
}

void release_sounds() {
    for (int i = kSoundCount - 1; i >= 0; --i) release_sound(handles[i]);
    close_device();
}

void use_device(Device* device) {
    close_device();
    chosen_device = device;
}

bool device_open() { return device_in_use != nullptr; }

int live_sound_count() {
    int count = 0;
    for (const Buffer* b = newest_buffer; b != nullptr; b = b->next_created) ++count;
    return count;
}

}  // namespace tarvenol::snd
