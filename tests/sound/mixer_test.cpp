// The software mixer: what a played sound sounds like in the mix (volume, one-shot and looping play,
// stop, rates, channels), what it reports, and the wave file of a run.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "sound/device.h"
#include "sound/mixer.h"
#include "sound/platform.h"
#include "sound/sound.h"
#include "sound/wave.h"
#include "sound_test_support.h"
#include "wave_builder.h"

namespace tarvenol::snd {
namespace {

using mixer::RequestKind;
using test::RequestLog;
using test::WaveBuilder;

class Mixer : public ::testing::Test {
protected:
    void SetUp() override {
        use_device(&mixer::device());
        open_device(test::own_module());
    }
    void TearDown() override {
        for (SoundHandle& h : made_) release_sound(h);
        close_device();
        use_device(nullptr);
        use_resource_table(nullptr, 0);
    }

    // A sound made from a wave carried as the only resource of the module.
    SoundHandle sound_of(const std::vector<uint8_t>& wave, const char* name = "TEST") {
        waves_.push_back(wave);
        entries_.push_back({name, nullptr, 0});
        for (std::size_t i = 0; i < entries_.size(); ++i) entries_[i] = {entries_[i].name, waves_[i].data(), waves_[i].size()};
        use_resource_table(entries_.data(), entries_.size());
        made_.push_back(create_sound(name));
        return made_.back();
    }

    std::vector<int16_t> render(std::size_t frames, uint32_t rate = test::kTestRate) {
        std::vector<int16_t> out(frames);
        mixer::render(out.data(), frames, rate);
        return out;
    }

    std::vector<std::vector<uint8_t>> waves_;
    std::vector<ResourceEntry> entries_;
    std::vector<SoundHandle> made_;
};

std::vector<int16_t> constant(std::size_t n, int16_t v) { return std::vector<int16_t>(n, v); }

TEST_F(Mixer, volume_in_hundredths_of_a_decibel_scales_the_amplitude) {
    SoundHandle s = sound_of(test::mono_wave(constant(64, 10000)));
    play(s, 1);
    EXPECT_EQ(render(1)[0], 10000);
    set_volume(s, -2000);
    EXPECT_EQ(render(1)[0], 1000);
    set_volume(s, -600);
    EXPECT_NEAR(render(1)[0], 10000 * std::pow(10.0, -0.3), 1.0);
    set_volume(s, kVolumeMin);
    EXPECT_EQ(render(1)[0], 0);
}

TEST_F(Mixer, a_one_shot_play_ends_rewinds_and_starts_again_from_the_top) {
    const std::vector<int16_t> ramp = {100, 200, 300, 400};
    SoundHandle s = sound_of(test::mono_wave(ramp));
    play(s, 0);
    const auto out = render(6);
    EXPECT_EQ(out, (std::vector<int16_t>{100, 200, 300, 400, 0, 0}));
    EXPECT_FALSE(mixer::state(s).playing);
    play(s, 0);
    EXPECT_EQ(render(1)[0], 100);
}

TEST_F(Mixer, a_looping_play_wraps_to_the_start_until_stopped) {
    const std::vector<int16_t> ramp = {100, 200, 300};
    SoundHandle s = sound_of(test::mono_wave(ramp));
    play(s, 1);
    EXPECT_EQ(render(7), (std::vector<int16_t>{100, 200, 300, 100, 200, 300, 100}));
    stop(s);
    EXPECT_EQ(render(2), (std::vector<int16_t>{0, 0}));
    EXPECT_FALSE(mixer::state(s).playing);
}

TEST_F(Mixer, stop_keeps_the_position_for_the_next_play) {
    const std::vector<int16_t> ramp = {100, 200, 300, 400, 500};
    SoundHandle s = sound_of(test::mono_wave(ramp));
    play(s, 0);
    render(2);
    stop(s);
    play(s, 1);
    EXPECT_EQ(render(4), (std::vector<int16_t>{300, 400, 500, 100}));
}

TEST_F(Mixer, a_play_request_on_a_playing_sound_counts_but_does_not_restart_it) {
    const std::vector<int16_t> ramp = {100, 200, 300, 400};
    SoundHandle s = sound_of(test::mono_wave(ramp));
    play(s, 0);
    render(2);
    play(s, 0);
    EXPECT_EQ(render(1)[0], 300);
    EXPECT_EQ(mixer::state(s).play_once_requests, 2u);
}

TEST_F(Mixer, sounds_add_up_and_the_sum_is_clipped) {
    SoundHandle a = sound_of(test::mono_wave(constant(8, 20000)), "A");
    SoundHandle b = sound_of(test::mono_wave(constant(8, -5000)), "B");
    play(a, 1);
    play(b, 1);
    EXPECT_EQ(render(1)[0], 15000);
    SoundHandle c = sound_of(test::mono_wave(constant(8, 20000)), "C");
    play(c, 1);
    EXPECT_EQ(render(1)[0], 32767);
}

TEST_F(Mixer, stereo_is_folded_to_mono_and_8_bit_samples_are_centred) {
    SoundHandle stereo = sound_of(WaveBuilder().format(2, test::kTestRate, 16).data(test::pcm16({10000, 2000, 10000, 2000})).bytes(), "ST");
    play(stereo, 1);
    EXPECT_EQ(render(1)[0], 6000);
    stop(stereo);
    SoundHandle eight = sound_of(WaveBuilder().format(1, test::kTestRate, 8).data({192, 192, 64, 64}).bytes(), "E");
    play(eight, 0);
    EXPECT_EQ(render(4), (std::vector<int16_t>{16384, 16384, -16384, -16384}));
}

TEST_F(Mixer, a_sound_at_half_the_output_rate_lasts_twice_as_many_output_samples) {
    SoundHandle s = sound_of(test::mono_wave({0, 1000, 2000, 3000}, test::kTestRate / 2));
    play(s, 0);
    const auto out = render(9);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 500) << "between two samples the mixer interpolates";
    EXPECT_EQ(out[2], 1000);
    EXPECT_EQ(out[6], 3000);
    EXPECT_EQ(out[8], 0) << "ended after eight output samples";
}

TEST_F(Mixer, rendering_without_output_still_moves_the_sounds_on) {
    SoundHandle once = sound_of(test::mono_wave(constant(100, 1000)), "ONCE");
    SoundHandle loop = sound_of(test::mono_wave({100, 200, 300}), "LOOP");
    play(once, 0);
    play(loop, 1);
    mixer::render(nullptr, 101, test::kTestRate);
    EXPECT_FALSE(mixer::state(once).playing);
    EXPECT_TRUE(mixer::state(loop).playing);
    stop(once);
    EXPECT_EQ(render(1)[0], 300) << "101 samples into a loop of 3";
}

TEST_F(Mixer, the_observer_is_told_every_request_with_the_sound_name) {
    RequestLog log;
    SoundHandle s = sound_of(test::mono_wave(constant(8, 1)), "CLACKER");
    set_volume(s, -300);
    play(s, 0);
    play(s, 1);
    stop(s);
    release_sound(made_.back());
    const std::vector<test::Request> expected = {
        {RequestKind::create, "CLACKER", 0},      {RequestKind::volume, "CLACKER", -300},
        {RequestKind::play_once, "CLACKER", -300}, {RequestKind::play_loop, "CLACKER", -300},
        {RequestKind::stop, "CLACKER", -300},      {RequestKind::release, "CLACKER", -300},
    };
    EXPECT_EQ(log.requests, expected);
    EXPECT_STREQ(mixer::request_name(RequestKind::play_once), "play once");
}

TEST_F(Mixer, a_released_sound_no_longer_exists) {
    sound_of(test::mono_wave(constant(8, 1)), "GONE");
    EXPECT_TRUE(mixer::state("GONE").exists);
    EXPECT_EQ(mixer::live_buffers(), 1);
    release_sound(made_.back());
    EXPECT_FALSE(mixer::state("GONE").exists);
    EXPECT_EQ(mixer::live_buffers(), 0);
}

TEST_F(Mixer, a_wave_the_mixer_cannot_play_gives_no_buffer) {
    EXPECT_EQ(sound_of(WaveBuilder().format(1, test::kTestRate, 24).data(std::vector<uint8_t>(12, 0)).bytes()), nullptr);
    EXPECT_EQ(sound_of(WaveBuilder().format(1, test::kTestRate, 16, 3).data(std::vector<uint8_t>(12, 0)).bytes()), nullptr);
    EXPECT_EQ(mixer::live_buffers(), 0);
}

TEST_F(Mixer, no_buffer_is_made_while_the_device_is_closed) {
    close_device();
    BufferDesc desc;
    const WaveFormat format{kWaveFormatPcm, 1, test::kTestRate, test::kTestRate * 2, 2, 16};
    desc.format = &format;
    desc.bytes = 64;
    EXPECT_EQ(mixer::device().create_buffer(desc), nullptr);
}

TEST_F(Mixer, a_lock_that_runs_past_the_end_wraps_into_a_second_part) {
    Device& device = mixer::device();
    const WaveFormat format{kWaveFormatPcm, 1, test::kTestRate, test::kTestRate * 2, 2, 16};
    BufferDesc desc;
    desc.format = &format;
    desc.bytes = 16;
    Buffer* buffer = device.create_buffer(desc);
    ASSERT_NE(buffer, nullptr);
    LockedRegion region;
    ASSERT_TRUE(buffer->lock(12, 8, region));
    EXPECT_EQ(region.first_bytes, 4u);
    EXPECT_EQ(region.second_bytes, 4u);
    EXPECT_EQ(static_cast<uint8_t*>(region.first) - static_cast<uint8_t*>(region.second), 12);
    EXPECT_FALSE(buffer->lock(16, 4, region)) << "offset past the end";
    EXPECT_FALSE(buffer->lock(0, 17, region)) << "more than the buffer";
    buffer->release();
}

TEST_F(Mixer, a_run_is_written_as_a_wave_file_that_reads_back) {
    SoundHandle s = sound_of(test::mono_wave({1000, -1000, 2000, -2000, 3000}));
    play(s, 0);
    const auto mix = render(7);
    const auto path = (std::filesystem::temp_directory_path() / "tarvenol-sound-run.wav").string();
    ASSERT_TRUE(mixer::write_wav(path.c_str(), mix.data(), mix.size(), test::kTestRate));
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::filesystem::remove(path);
    WaveImage wave;
    ASSERT_EQ(parse_wave(bytes.data(), bytes.size(), wave), WaveError::none);
    EXPECT_EQ(buffer_problem(wave.format, wave.size), nullptr);
    EXPECT_EQ(wave.format.channels, 1);
    EXPECT_EQ(wave.format.samples_per_sec, test::kTestRate);
    EXPECT_EQ(std::vector<uint8_t>(wave.samples, wave.samples + wave.size), test::pcm16(mix));
    uint32_t riff_length;
    std::memcpy(&riff_length, bytes.data() + 4, sizeof riff_length);
    EXPECT_EQ(std::size_t(riff_length) + 8, bytes.size()) << "the RIFF length counts the whole file after it";
    EXPECT_FALSE(mixer::write_wav((std::filesystem::temp_directory_path() / "no-such-folder" / "x.wav").string().c_str(),
                                  mix.data(), mix.size(), test::kTestRate));
}

}  // namespace
}  // namespace tarvenol::snd
