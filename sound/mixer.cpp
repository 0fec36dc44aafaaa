// The software mixer. Buffers and their sample data are allocated when a sound is created and freed
// when it is released; requests and mixing allocate nothing.
#include "sound/mixer.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace tarvenol::snd::mixer {

namespace {

constexpr double kVolumeHundredthsPerGainDecade = 2000.0;  // 20 dB per tenfold amplitude, in 1/100 dB
constexpr int kFractionBits = 32;                          // play positions: frames in 32.32 fixed point
constexpr uint64_t kOneFrame = uint64_t{1} << kFractionBits;
constexpr uint16_t kPcmBits8 = 8;
constexpr int kUnsigned8Midpoint = 128;
constexpr int kUnsigned8Scale = 256;  // 8-bit samples to the 16-bit range
constexpr double kSampleMax = 32767.0;
constexpr double kSampleMin = -32768.0;

Observer observer = nullptr;
void* observer_context = nullptr;
bool device_is_open = false;

class MixerBuffer;
MixerBuffer* newest_live = nullptr;
int live_count = 0;

class MixerBuffer final : public Buffer {
public:
    MixerBuffer(const BufferDesc& desc, std::unique_ptr<uint8_t[]> samples)
        : name_(desc.name != nullptr ? desc.name : ""), format_(*desc.format), data_(std::move(samples)),
          bytes_(desc.bytes), frames_(desc.bytes / desc.format->block_align) {}

    bool lock(uint32_t offset, uint32_t bytes, LockedRegion& region) override {
        region = LockedRegion{};
        if (offset >= bytes_ || bytes == 0 || bytes > bytes_) return false;
        region.first = data_.get() + offset;
        region.first_bytes = std::min(bytes, bytes_ - offset);
        if (bytes > region.first_bytes) {
            region.second = data_.get();
            region.second_bytes = bytes - region.first_bytes;
        }
        return true;
    }

    void unlock(const LockedRegion&) override {}

    void play(bool looping) override {
        playing_ = true;
        looping_ = looping;
        if (looping) ++loop_requests_; else ++play_once_requests_;
        tell(looping ? RequestKind::play_loop : RequestKind::play_once);
    }

    void stop() override {
        playing_ = false;
        tell(RequestKind::stop);
    }

    void set_volume(int32_t volume) override {
        if (volume < kVolumeMin || volume > kVolumeMax) return;  // refused, as the device refuses it
        volume_ = volume;
        gain_ = std::pow(10.0, volume / kVolumeHundredthsPerGainDecade);
        tell(RequestKind::volume);
    }

    void release() override {
        tell(RequestKind::release);
        for (MixerBuffer** link = &newest_live; *link != nullptr; link = &(*link)->next_live_) {
            if (*link == this) {
                *link = next_live_;
                --live_count;
                break;
            }
        }
        delete this;
    }

    void tell(RequestKind kind) const {
        if (observer != nullptr) observer(observer_context, SoundRequest{kind, name_.c_str(), volume_});
    }

    SoundState state() const {
        return SoundState{true, playing_, playing_ && looping_, volume_, play_once_requests_, loop_requests_};
    }

    const std::string& name() const { return name_; }
    MixerBuffer* next_live() const { return next_live_; }

    void link_live() {
        next_live_ = newest_live;
        newest_live = this;
        ++live_count;
    }

    // The current sample, folded to mono, in the 16-bit range.
    double sample_at(uint32_t frame) const {
        const uint8_t* at = data_.get() + static_cast<std::size_t>(frame) * format_.block_align;
        double sum = 0;
        for (uint16_t c = 0; c < format_.channels; ++c) {
            if (format_.bits_per_sample == kPcmBits8) {
                sum += (at[c] - kUnsigned8Midpoint) * kUnsigned8Scale;
            } else {
                int16_t s;
                std::memcpy(&s, at + c * sizeof s, sizeof s);
                sum += s;
            }
        }
        return sum / format_.channels;
    }

    double next_sample(uint64_t step) {
        const uint32_t frame = static_cast<uint32_t>(position_ >> kFractionBits);
        const double fraction = static_cast<double>(position_ & (kOneFrame - 1)) / static_cast<double>(kOneFrame);
        const uint32_t following = frame + 1 < frames_ ? frame + 1 : (looping_ ? 0 : frame);
        const double value = sample_at(frame) + (sample_at(following) - sample_at(frame)) * fraction;
        advance(step);
        return value * gain_;
    }

    // Moves the play position on; a one-shot play that runs out stops and rewinds to the start.
    void advance(uint64_t distance) {
        const uint64_t length = static_cast<uint64_t>(frames_) << kFractionBits;
        position_ += distance;
        if (position_ < length) return;
        if (looping_) {
            position_ %= length;
        } else {
            playing_ = false;
            position_ = 0;
        }
    }

    bool playing() const { return playing_; }
    uint32_t rate() const { return format_.samples_per_sec; }

private:
    std::string name_;
    WaveFormat format_;
    std::unique_ptr<uint8_t[]> data_;
    uint32_t bytes_;
    uint32_t frames_;
    uint64_t position_ = 0;
    bool playing_ = false;
    bool looping_ = false;
    int32_t volume_ = kVolumeMax;
    double gain_ = 1.0;
    uint32_t play_once_requests_ = 0;
    uint32_t loop_requests_ = 0;
    MixerBuffer* next_live_ = nullptr;
};

class MixerDevice final : public Device {
public:
    bool open() override {
        device_is_open = true;
        return true;
    }

    // Closing the device releases the buffers still made on it, as DirectSound does.
    void close() override {
        while (newest_live != nullptr) newest_live->release();
        device_is_open = false;
    }

    Buffer* create_buffer(const BufferDesc& desc) override {
        if (!device_is_open || desc.format == nullptr || buffer_problem(*desc.format, desc.bytes) != nullptr) return nullptr;
        std::unique_ptr<uint8_t[]> samples(new (std::nothrow) uint8_t[desc.bytes]());
        if (!samples) return nullptr;
        auto* buffer = new (std::nothrow) MixerBuffer(desc, std::move(samples));
        if (buffer == nullptr) return nullptr;
        buffer->link_live();
        buffer->tell(RequestKind::create);
        return buffer;
    }
};

MixerDevice mixer_device;

MixerBuffer* find(SoundHandle sound) {
    for (MixerBuffer* b = newest_live; b != nullptr; b = b->next_live())
        if (b == sound) return b;
    return nullptr;
}

// Little-endian fields of a wave file.
struct FieldWriter {
    uint8_t* at;
    void tag(const char (&t)[5]) {
        std::memcpy(at, t, sizeof t - 1);
        at += sizeof t - 1;
    }
    template <typename T>
    void put(T v) {
        for (std::size_t i = 0; i < sizeof v; ++i) *at++ = static_cast<uint8_t>(v >> (CHAR_BIT * i));
    }
};

}  // namespace

Device& device() { return mixer_device; }

SoundState state(const char* name) {
    if (name == nullptr) return {};
    for (MixerBuffer* b = newest_live; b != nullptr; b = b->next_live())
        if (b->name() == name) return b->state();
    return {};
}

SoundState state(SoundHandle sound) {
    const MixerBuffer* b = find(sound);
    return b != nullptr ? b->state() : SoundState{};
}

int live_buffers() { return live_count; }

void set_observer(Observer o, void* context) {
    observer = o;
    observer_context = context;
}

const char* request_name(RequestKind kind) {
    switch (kind) {
        case RequestKind::create: return "create";
        case RequestKind::play_once: return "play once";
        case RequestKind::play_loop: return "loop";
        case RequestKind::stop: return "stop";
        case RequestKind::volume: return "volume";
        case RequestKind::release: return "release";
    }
    return "?";
}

void render(int16_t* out, std::size_t frames, uint32_t rate) {
    if (rate == 0) return;
    const auto step = [rate](const MixerBuffer& b) { return (static_cast<uint64_t>(b.rate()) << kFractionBits) / rate; };
    if (out == nullptr) {
        // Only the positions move: in strides short enough that no distance overflows.
        constexpr std::size_t kStride = 1u << 16;
        for (std::size_t done = 0; done < frames; done += kStride) {
            const std::size_t n = std::min(kStride, frames - done);
            for (MixerBuffer* b = newest_live; b != nullptr; b = b->next_live())
                if (b->playing()) b->advance(step(*b) * n);
        }
        return;
    }
    for (std::size_t i = 0; i < frames; ++i) {
        double mix = 0;
        for (MixerBuffer* b = newest_live; b != nullptr; b = b->next_live())
            if (b->playing()) mix += b->next_sample(step(*b));
        out[i] = static_cast<int16_t>(std::lround(std::fmin(std::fmax(mix, kSampleMin), kSampleMax)));
    }
}

bool write_wav(const char* path, const int16_t* samples, std::size_t count, uint32_t rate) {
    constexpr uint16_t kMono = 1;
    constexpr uint16_t kBytesPerSample = sizeof(int16_t);
    constexpr uint32_t kChunkHeaderBytes = 8;    // tag and size
    constexpr uint32_t kFormatBytes = 16;        // PCM format record
    constexpr uint32_t kWaveTagBytes = 4;
    constexpr uint32_t kRiffOverhead = kWaveTagBytes + kChunkHeaderBytes + kFormatBytes + kChunkHeaderBytes;
    const uint64_t data_bytes = static_cast<uint64_t>(count) * kBytesPerSample;
    if (data_bytes + kRiffOverhead > UINT32_MAX) return false;

    uint8_t header[kChunkHeaderBytes + kRiffOverhead];
    FieldWriter w{header};
    w.tag("RIFF");
    w.put(static_cast<uint32_t>(data_bytes + kRiffOverhead));
    w.tag("WAVE");
    w.tag("fmt ");
    w.put(kFormatBytes);
    w.put(kWaveFormatPcm);
    w.put(kMono);
    w.put(rate);
    w.put(static_cast<uint32_t>(rate * kBytesPerSample));
    w.put(kBytesPerSample);
    w.put(static_cast<uint16_t>(kBytesPerSample * CHAR_BIT));
    w.tag("data");
    w.put(static_cast<uint32_t>(data_bytes));

    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(header, 1, sizeof header, f) == sizeof header;
    constexpr std::size_t kSamplesPerWrite = 2048;
    uint8_t block[kSamplesPerWrite * kBytesPerSample];
    for (std::size_t done = 0; ok && done < count;) {
        const std::size_t n = std::min(kSamplesPerWrite, count - done);
        FieldWriter b{block};
        for (std::size_t i = 0; i < n; ++i) b.put(static_cast<uint16_t>(samples[done + i]));
        ok = std::fwrite(block, 1, n * kBytesPerSample, f) == n * kBytesPerSample;
        done += n;
    }
    return std::fclose(f) == 0 && ok;
}

}  // namespace tarvenol::snd::mixer
