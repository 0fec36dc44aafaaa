// The sound device on Windows: DirectSound 8 on the default output, at the normal cooperative level
// of the active window, with one static secondary buffer per sound.
#include "sound/win32/dsound_device.h"

#include <cstring>
#include <new>

#include "sound/device.h"

namespace tarvenol::snd {

static_assert(kStaticBufferFlags == (DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN |
                                     DSBCAPS_CTRLFREQUENCY | DSBCAPS_GETCURRENTPOSITION2));
static_assert(kVolumeMin == DSBVOLUME_MIN && kVolumeMax == DSBVOLUME_MAX);

namespace {

class DsBuffer final : public Buffer {
public:
    explicit DsBuffer(IDirectSoundBuffer* native) : native_(native) {}

    bool lock(uint32_t offset, uint32_t bytes, LockedRegion& region) override {
        region = LockedRegion{};
        DWORD first_bytes = 0, second_bytes = 0;
        if (FAILED(native_->Lock(offset, bytes, &region.first, &first_bytes, &region.second, &second_bytes, 0))) {
            region = LockedRegion{};
            return false;
        }
        region.first_bytes = first_bytes;
        region.second_bytes = second_bytes;
        return true;
    }

    void unlock(const LockedRegion& region) override {
        native_->Unlock(region.first, region.first_bytes, region.second, region.second_bytes);
    }

    void play(bool looping) override { native_->Play(0, 0, looping ? DSBPLAY_LOOPING : 0); }
    void stop() override { native_->Stop(); }
    void set_volume(int32_t volume) override { native_->SetVolume(volume); }

    void release() override {
        native_->Release();
        delete this;
    }

    IDirectSoundBuffer* native() const { return native_; }

private:
    IDirectSoundBuffer* native_;
};

// The device's view of a wave format: WAVEFORMATEX and, behind it, the extension bytes.
union FormatRecord {
    WAVEFORMATEX base;
    unsigned char bytes[sizeof(WaveFormat)];
};

class DsDevice final : public Device {
public:
    bool open() override {
        if (FAILED(DirectSoundCreate8(nullptr, &device_, nullptr))) {
            device_ = nullptr;
            return false;
        }
        device_->SetCooperativeLevel(GetActiveWindow(), DSSCL_NORMAL);
        return true;
    }

    void close() override {
        if (device_ != nullptr) device_->Release();
        device_ = nullptr;
    }

    Buffer* create_buffer(const BufferDesc& desc) override {
        if (device_ == nullptr || desc.format == nullptr) return nullptr;
        const WaveFormat& f = *desc.format;
        FormatRecord format{};
        format.base.wFormatTag = f.format_tag;
        format.base.nChannels = f.channels;
        format.base.nSamplesPerSec = f.samples_per_sec;
        format.base.nAvgBytesPerSec = f.avg_bytes_per_sec;
        format.base.nBlockAlign = f.block_align;
        format.base.wBitsPerSample = f.bits_per_sample;
        format.base.cbSize = f.extra_size;
        std::memcpy(format.bytes + sizeof(WAVEFORMATEX), f.extra, sizeof f.extra);

        DSBUFFERDESC d{};
        d.dwSize = sizeof d;
        d.dwFlags = desc.flags;
        d.dwBufferBytes = desc.bytes;
        d.lpwfxFormat = &format.base;
        IDirectSoundBuffer* native = nullptr;
        if (FAILED(device_->CreateSoundBuffer(&d, &native, nullptr)) || native == nullptr) return nullptr;
        auto* buffer = new (std::nothrow) DsBuffer(native);
        if (buffer == nullptr) native->Release();
        return buffer;
    }

private:
    IDirectSound8* device_ = nullptr;
};

DsDevice dsound_device;

}  // namespace

static_assert(sizeof(WAVEFORMATEX) + sizeof(WaveFormat::extra) == sizeof(WaveFormat),
              "the format record has room for WAVEFORMATEX and its extension bytes");

Device& platform_device() { return dsound_device; }

IDirectSoundBuffer* dsound_buffer(SoundHandle sound) {
    const auto* buffer = dynamic_cast<const DsBuffer*>(sound);
    return buffer != nullptr ? buffer->native() : nullptr;
}

}  // namespace tarvenol::snd
