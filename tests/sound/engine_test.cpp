// The sound engine through the requests the gauges make: the life cycle of the 25 sounds, volumes,
// absent sounds and a closed device, where a sound's wave comes from, and how a buffer is filled.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "sound/device.h"
#include "sound/mixer.h"
#include "sound/platform.h"
#include "sound/sound.h"
#include "sound_test_support.h"
#include "wave_builder.h"

namespace tarvenol::snd {
namespace {

using mixer::RequestKind;
using test::own_module;
using test::RequestLog;

// A device that keeps every buffer it hands out (released ones too) and records what was done
// with it; its lock can refuse or hand the buffer out in two parts.
class RecordingDevice final : public Device {
public:
    struct Recorded final : Buffer {
        std::vector<uint8_t> first, second;
        bool refuse_lock = false;
        uint32_t split = 0;  // 0: one part
        int plays = 0, loops = 0, stops = 0, unlocks = 0;
        int32_t volume = 0;
        bool released = false;

        bool lock(uint32_t, uint32_t bytes, LockedRegion& region) override {
            if (refuse_lock) return false;
            const uint32_t first_bytes = split != 0 && split < bytes ? split : bytes;
            first.assign(first_bytes, 0);
            second.assign(bytes - first_bytes, 0);
            region = {first.data(), first_bytes, second.empty() ? nullptr : second.data(), uint32_t(second.size())};
            return true;
        }
        void unlock(const LockedRegion&) override { ++unlocks; }
        void play(bool looping) override { ++(looping ? loops : plays); }
        void stop() override { ++stops; }
        void set_volume(int32_t v) override { volume = v; }
        void release() override { released = true; }

        std::vector<uint8_t> contents() const {
            std::vector<uint8_t> all = first;
            all.insert(all.end(), second.begin(), second.end());
            return all;
        }
    };

    bool opens = true;
    bool refuse_buffers = false;
    bool refuse_locks = false;
    uint32_t split = 0;
    bool is_open = false;
    std::vector<BufferDesc> descs;  // as given; the format they point to lives only during the call
    std::vector<WaveFormat> formats;
    std::vector<std::unique_ptr<Recorded>> buffers;

    bool open() override { return is_open = opens; }
    void close() override { is_open = false; }
    Buffer* create_buffer(const BufferDesc& desc) override {
        descs.push_back(desc);
        formats.push_back(*desc.format);
        if (refuse_buffers) return nullptr;
        buffers.push_back(std::make_unique<Recorded>());
        buffers.back()->refuse_lock = refuse_locks;
        buffers.back()->split = split;
        return buffers.back().get();
    }
    Recorded& last() { return *buffers.back(); }
};

const std::vector<int16_t> kRamp = {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000};

class EngineTest : public ::testing::Test {
protected:
    void TearDown() override {
        release_sounds();
        use_device(nullptr);
        use_resource_table(nullptr, 0);
    }

    // The module's resources are replaced by one resource, "TONE".
    void carry_tone(const std::vector<uint8_t>& wave) {
        tone_wave_ = wave;
        tone_entry_ = {"TONE", tone_wave_.data(), tone_wave_.size()};
        use_resource_table(&tone_entry_, 1);
    }

    std::vector<uint8_t> tone_wave_;
    ResourceEntry tone_entry_{};
};

// --- The 25 sounds through the software mixer -----------------------------------------------------

class CockpitSounds : public EngineTest {
protected:
    void SetUp() override { use_device(&mixer::device()); }
    void install() { install_sounds(own_module(), kInitialVolumes.data()); }
};

TEST_F(CockpitSounds, installation_creates_every_sound_from_the_module_at_its_volume) {
    install();
    EXPECT_EQ(mixer::live_buffers(), kSoundCount);
    for (int i = 0; i < kSoundCount; ++i) {
        ASSERT_NE(handles[i], nullptr) << kSoundNames[i];
        const mixer::SoundState s = mixer::state(kSoundNames[i]);
        EXPECT_TRUE(s.exists) << kSoundNames[i];
        EXPECT_EQ(s.volume, kInitialVolumes[i]) << kSoundNames[i];
        EXPECT_FALSE(s.playing) << kSoundNames[i];
    }
}

TEST_F(CockpitSounds, sounds_are_created_in_load_order_and_released_in_reverse) {
    RequestLog log;
    install();
    release_sounds();
    const std::vector<std::string> load_order(kSoundNames, kSoundNames + kSoundCount);
    EXPECT_EQ(log.names_of(RequestKind::create), load_order);
    const std::vector<std::string> reverse(load_order.rbegin(), load_order.rend());
    EXPECT_EQ(log.names_of(RequestKind::release), reverse);
}

TEST_F(CockpitSounds, installation_applies_the_volume_table_it_is_given) {
    std::array<int16_t, kSoundCount> volumes = kInitialVolumes;
    volumes[KLAXONINT] = -4200;
    volumes[CLICK] = 500;
    install_sounds(own_module(), volumes.data());
    EXPECT_EQ(mixer::state(handles[KLAXONINT]).volume, -4200);
    EXPECT_EQ(mixer::state(handles[CLICK]).volume, kVolumeMax);
}

TEST_F(CockpitSounds, install_kill_install_leaves_no_buffer_behind) {
    install();
    release_sounds();
    EXPECT_EQ(mixer::live_buffers(), 0);
    EXPECT_EQ(live_sound_count(), 0);
    EXPECT_FALSE(device_open());
    for (SoundHandle h : handles) EXPECT_EQ(h, nullptr);
    install();
    EXPECT_EQ(mixer::live_buffers(), kSoundCount);
    release_sounds();
    EXPECT_EQ(mixer::live_buffers(), 0);
}

TEST_F(CockpitSounds, a_second_installation_without_a_kill_silences_and_releases_the_first_sounds) {
    install();
    play_loop(KLAXONCONT);
    RequestLog log;
    install();
    EXPECT_EQ(mixer::live_buffers(), kSoundCount);
    EXPECT_EQ(log.names_of(RequestKind::release).size(), std::size_t(kSoundCount));
    EXPECT_FALSE(mixer::state("KLAXONCONT").playing);
}

TEST_F(CockpitSounds, volumes_are_clamped_to_full_level_and_silence) {
    install();
    set_volume(CLICK, 300);
    EXPECT_EQ(mixer::state(handles[CLICK]).volume, 0);
    set_volume(CLICK, -12000);
    EXPECT_EQ(mixer::state(handles[CLICK]).volume, -10000);
    set_volume(CLICK, -2500);
    EXPECT_EQ(mixer::state(handles[CLICK]).volume, -2500);
}

TEST_F(CockpitSounds, play_once_loop_and_stop_reach_the_sound) {
    install();
    play_once(GONGMONO);
    play_once(GONGMONO);
    play_loop(SONNERIE);
    EXPECT_EQ(mixer::state("GONGMONO").play_once_requests, 2u);
    EXPECT_TRUE(mixer::state("GONGMONO").playing);
    EXPECT_FALSE(mixer::state("GONGMONO").looping);
    EXPECT_EQ(mixer::state("SONNERIE").loop_requests, 1u);
    EXPECT_TRUE(mixer::state("SONNERIE").looping);
    stop(SONNERIE);
    EXPECT_FALSE(mixer::state("SONNERIE").playing);
    EXPECT_FALSE(mixer::state("SONNERIE").looping);
}

TEST_F(CockpitSounds, after_the_device_is_closed_every_request_does_nothing) {
    install();
    close_device();
    RequestLog log;
    for (int i = 0; i < kSoundCount; ++i) {
        const auto id = static_cast<SoundId>(i);
        play_once(id);
        play_loop(id);
        stop(id);
        set_volume(id, -100);
    }
    release_sounds();
    EXPECT_TRUE(log.requests.empty());
    EXPECT_EQ(mixer::live_buffers(), 0);
}

TEST_F(CockpitSounds, an_absent_sound_makes_every_request_a_no_op) {
    static const auto damaged = test::WaveBuilder().format().chunk("data", {1, 2}, 100).bytes();
    const ResourceEntry only_damaged[] = {{"CLICK", damaged.data(), damaged.size()}};
    use_resource_table(only_damaged, 1);
    install();
    EXPECT_EQ(handles[CLICK], nullptr);
    EXPECT_EQ(mixer::live_buffers(), 0);
    RequestLog log;
    play_once(CLICK);
    play_loop(CLICK);
    stop(CLICK);
    set_volume(CLICK, -100);
    release_sound(handles[CLICK]);
    EXPECT_TRUE(log.requests.empty());
}

TEST_F(CockpitSounds, playing_again_continues_from_where_the_sound_stopped) {
    carry_tone(test::mono_wave(kRamp));
    open_device(own_module());
    SoundHandle tone = create_sound("TONE");
    ASSERT_NE(tone, nullptr);
    int16_t out[3];
    play(tone, 0);
    mixer::render(out, 3, test::kTestRate);
    stop(tone);
    play(tone, 0);
    mixer::render(out, 1, test::kTestRate);
    EXPECT_EQ(out[0], kRamp[3]);
}

// --- Where a sound's wave comes from ------------------------------------------------------------

class SoundSources : public EngineTest {
protected:
    void SetUp() override {
        use_device(&mixer::device());
        open_device(own_module());
    }
};

TEST_F(SoundSources, a_name_that_is_no_resource_is_loaded_as_a_wave_file) {
    test::ScratchFile file("as-file.wav", test::mono_wave(kRamp));
    SoundHandle sound = create_sound(file.path().c_str());
    ASSERT_NE(sound, nullptr);
    EXPECT_TRUE(mixer::state(file.path().c_str()).exists);
}

TEST_F(SoundSources, a_resource_that_does_not_parse_gives_way_to_the_file_of_that_name) {
    test::ScratchFile file("fallback.wav", test::mono_wave(kRamp));
    const std::string path = file.path();
    static const std::vector<uint8_t> garbage(64, 0x5A);
    const ResourceEntry table[] = {{path.c_str(), garbage.data(), garbage.size()}};
    use_resource_table(table, 1);
    EXPECT_NE(create_sound(path.c_str()), nullptr);
}

TEST_F(SoundSources, a_resource_that_parses_is_used_before_a_file_of_that_name) {
    const std::vector<int16_t> other = {-7000, -7000, -7000, -7000};
    test::ScratchFile file("shadowed.wav", test::mono_wave(other));
    const std::string path = file.path();
    const auto wave = test::mono_wave(kRamp);
    const ResourceEntry table[] = {{path.c_str(), wave.data(), wave.size()}};
    use_resource_table(table, 1);
    SoundHandle sound = create_sound(path.c_str());
    ASSERT_NE(sound, nullptr);
    int16_t out[1];
    play(sound, 0);
    mixer::render(out, 1, test::kTestRate);
    EXPECT_EQ(out[0], kRamp[0]);
}

TEST_F(SoundSources, missing_and_damaged_files_give_an_absent_sound) {
    EXPECT_EQ(create_sound("no-such-sound.wav"), nullptr);
    test::ScratchFile empty("empty.wav", {});
    EXPECT_EQ(create_sound(empty.path().c_str()), nullptr);
    auto cut = test::mono_wave(kRamp);
    cut.resize(cut.size() - 3);
    test::ScratchFile truncated("truncated.wav", cut);
    EXPECT_EQ(create_sound(truncated.path().c_str()), nullptr);
    EXPECT_EQ(create_sound(std::filesystem::temp_directory_path().string().c_str()), nullptr) << "a folder";
    EXPECT_EQ(mixer::live_buffers(), 0);
}

#ifdef __linux__
// Whether a file is mapped into this process.
bool is_mapped(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.find(path) != std::string::npos) return true;
    return false;
}

TEST_F(SoundSources, a_wave_file_is_unmapped_whether_it_loads_or_not) {
    test::ScratchFile good("mapped-good.wav", test::mono_wave(kRamp));
    auto damaged_bytes = test::mono_wave(kRamp);
    damaged_bytes[20] = 7;  // not PCM: parses, but no buffer takes it
    test::ScratchFile damaged("mapped-damaged.wav", damaged_bytes);
    test::ScratchFile garbage("mapped-garbage.wav", std::vector<uint8_t>(100, 1));
    EXPECT_NE(create_sound(good.path().c_str()), nullptr);
    EXPECT_EQ(create_sound(damaged.path().c_str()), nullptr);
    EXPECT_EQ(create_sound(garbage.path().c_str()), nullptr);
    EXPECT_FALSE(is_mapped(good.path()));
    EXPECT_FALSE(is_mapped(damaged.path()));
    EXPECT_FALSE(is_mapped(garbage.path()));
}
#endif

TEST_F(SoundSources, resource_names_are_found_regardless_of_case_as_windows_finds_them) {
    const Bytes upper = find_resource(own_module(), "WPULLUP");
    const Bytes lower = find_resource(own_module(), "wpullup");
    ASSERT_NE(upper.data, nullptr);
    EXPECT_EQ(lower.data, upper.data);
    EXPECT_EQ(lower.size, upper.size);
    EXPECT_EQ(find_resource(own_module(), "WPULLUPX").data, nullptr);
}

TEST_F(SoundSources, every_cockpit_sound_is_short_mono_16_bit_pcm) {
    std::size_t total = 0;
    for (const char* name : kSoundNames) {
        const Bytes resource = find_resource(own_module(), name);
        WaveInfo info;
        const char* why = nullptr;
        ASSERT_TRUE(describe_wave(resource.data, resource.size, info, &why)) << name << ": " << why;
        EXPECT_EQ(info.channels, 1) << name;
        EXPECT_EQ(info.bits_per_sample, 16) << name;
        EXPECT_LT(info.duration_seconds, 2.0) << name;
        total += resource.size;
    }
    EXPECT_LT(total, std::size_t{1} << 20) << "the sounds together stay within a megabyte";
}

// --- Buffers on a device that records what is done with them ------------------------------------

class BufferFilling : public EngineTest {
protected:
    void SetUp() override {
        use_device(&device);
        carry_tone(test::mono_wave(kRamp));
    }
    RecordingDevice device;
};

TEST_F(BufferFilling, a_buffer_is_a_static_buffer_of_the_wave_size_and_format) {
    open_device(own_module());
    ASSERT_NE(create_sound("TONE"), nullptr);
    ASSERT_EQ(device.descs.size(), 1u);
    EXPECT_EQ(device.descs[0].flags, kStaticBufferFlags);
    EXPECT_EQ(device.descs[0].bytes, kRamp.size() * sizeof(int16_t));
    EXPECT_EQ(device.formats[0].samples_per_sec, test::kTestRate);
    EXPECT_EQ(device.formats[0].bits_per_sample, 16);
    EXPECT_EQ(device.last().contents(), test::pcm16(kRamp));
    EXPECT_EQ(device.last().unlocks, 1);
}

TEST_F(BufferFilling, a_lock_handed_out_in_two_parts_is_filled_across_both) {
    device.split = 5;
    open_device(own_module());
    ASSERT_NE(create_sound("TONE"), nullptr);
    EXPECT_EQ(device.last().first.size(), 5u);
    EXPECT_EQ(device.last().contents(), test::pcm16(kRamp));
}

TEST_F(BufferFilling, a_buffer_that_cannot_be_locked_is_released_and_the_sound_is_absent) {
    device.refuse_locks = true;
    open_device(own_module());
    EXPECT_EQ(create_sound("TONE"), nullptr);
    EXPECT_TRUE(device.last().released);
    EXPECT_EQ(live_sound_count(), 0);
}

TEST_F(BufferFilling, a_buffer_the_device_refuses_makes_the_sound_absent) {
    device.refuse_buffers = true;
    open_device(own_module());
    EXPECT_EQ(create_sound("TONE"), nullptr);
    EXPECT_EQ(live_sound_count(), 0);
}

TEST_F(BufferFilling, without_a_device_every_sound_is_absent) {
    device.opens = false;
    install_sounds(own_module(), kInitialVolumes.data());
    EXPECT_FALSE(device_open());
    EXPECT_TRUE(device.descs.empty());
    for (SoundHandle h : handles) EXPECT_EQ(h, nullptr);
    EXPECT_EQ(create_sound("TONE"), nullptr);
}

TEST_F(BufferFilling, a_kept_handle_reaches_nothing_once_the_device_is_closed) {
    open_device(own_module());
    SoundHandle kept = create_sound("TONE");
    ASSERT_NE(kept, nullptr);
    close_device();
    EXPECT_TRUE(device.last().released) << "closing the device releases what is left on it";
    play(kept, 1);
    stop(kept);
    set_volume(kept, -500);
    EXPECT_EQ(device.last().loops + device.last().stops, 0);
    EXPECT_EQ(device.last().volume, 0);
    release_sound(kept);
    EXPECT_EQ(kept, nullptr);
}

TEST_F(BufferFilling, releasing_a_sound_empties_its_handle_and_a_second_release_is_harmless) {
    open_device(own_module());
    SoundHandle sound = create_sound("TONE");
    SoundHandle copy = sound;
    release_sound(sound);
    EXPECT_EQ(sound, nullptr);
    EXPECT_TRUE(device.last().released);
    device.last().released = false;
    release_sound(copy);
    EXPECT_FALSE(device.last().released) << "a buffer is released once";
    EXPECT_EQ(copy, nullptr);
}

TEST_F(BufferFilling, the_loop_flag_chooses_looping_or_one_shot_play) {
    open_device(own_module());
    SoundHandle sound = create_sound("TONE");
    play(sound, 0);
    play(sound, 1);
    play(sound, 1);
    EXPECT_EQ(device.last().plays, 1);
    EXPECT_EQ(device.last().loops, 2);
}

}  // namespace
}  // namespace tarvenol::snd
