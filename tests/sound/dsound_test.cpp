// The cockpit sounds on DirectSound 8, run under wine: with no audio device the device cannot be
// created, every sound is absent and every request does nothing; with ALSA's null device as the
// output the 25 sounds become real static DirectSound buffers filled from the program's resources.
// Each suite runs in the environment its name gives (see CMakeLists.txt).
#include <gtest/gtest.h>

#include <windows.h>
#include <dsound.h>

#include <cstring>

#include "sound/device.h"
#include "sound/platform.h"
#include "sound/sound.h"
#include "sound/wave.h"
#include "sound/win32/dsound_device.h"

namespace tarvenol::snd {
namespace {

std::uintptr_t own_module() { return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr)); }

void install() { install_sounds(own_module(), kInitialVolumes.data()); }

class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override { use_device(nullptr); }
    void TearDown() override { release_sounds(); }
};

// --- No audio device ------------------------------------------------------------------------------

using NoAudioDevice = DirectSoundTest;

TEST_F(NoAudioDevice, direct_sound_cannot_be_created) {
    IDirectSound8* device = nullptr;
    EXPECT_TRUE(FAILED(DirectSoundCreate8(nullptr, &device, nullptr)));
    EXPECT_EQ(device, nullptr);
}

TEST_F(NoAudioDevice, every_sound_is_absent_though_the_module_carries_it) {
    install();
    EXPECT_FALSE(device_open());
    EXPECT_EQ(live_sound_count(), 0);
    for (int i = 0; i < kSoundCount; ++i) {
        EXPECT_EQ(handles[i], nullptr) << kSoundNames[i];
        EXPECT_NE(find_resource(own_module(), kSoundNames[i]).data, nullptr) << kSoundNames[i];
    }
}

TEST_F(NoAudioDevice, every_request_does_nothing_and_the_life_cycle_repeats) {
    for (int round = 0; round < 2; ++round) {
        install();
        for (int i = 0; i < kSoundCount; ++i) {
            const auto id = static_cast<SoundId>(i);
            play_once(id);
            play_loop(id);
            set_volume(id, -500);
            stop(id);
        }
        release_sounds();
        EXPECT_FALSE(device_open());
        EXPECT_EQ(live_sound_count(), 0);
    }
}

// --- ALSA's null device ---------------------------------------------------------------------------

using NullAudioDevice = DirectSoundTest;

IDirectSoundBuffer* native(SoundId id) { return dsound_buffer(handles[id]); }

DWORD status_of(SoundId id) {
    DWORD status = 0;
    native(id)->GetStatus(&status);
    return status;
}

LONG volume_of(SoundId id) {
    LONG volume = 1;
    native(id)->GetVolume(&volume);
    return volume;
}

TEST_F(NullAudioDevice, the_25_sounds_are_static_buffers_holding_their_waves_at_their_volumes) {
    install();
    ASSERT_TRUE(device_open());
    EXPECT_EQ(live_sound_count(), kSoundCount);
    for (int i = 0; i < kSoundCount; ++i) {
        const auto id = static_cast<SoundId>(i);
        ASSERT_NE(native(id), nullptr) << kSoundNames[i];
        const Bytes resource = find_resource(own_module(), kSoundNames[i]);
        WaveImage wave;
        ASSERT_EQ(parse_wave(resource.data, resource.size, wave), WaveError::none) << kSoundNames[i];

        DSBCAPS caps{};
        caps.dwSize = sizeof caps;
        ASSERT_TRUE(SUCCEEDED(native(id)->GetCaps(&caps)));
        EXPECT_EQ(caps.dwFlags & kStaticBufferFlags, kStaticBufferFlags) << kSoundNames[i];
        EXPECT_EQ(caps.dwBufferBytes, wave.size) << kSoundNames[i];
        EXPECT_EQ(volume_of(id), kInitialVolumes[i]) << kSoundNames[i];

        void* first = nullptr;
        void* second = nullptr;
        DWORD first_bytes = 0, second_bytes = 0;
        ASSERT_TRUE(SUCCEEDED(native(id)->Lock(0, wave.size, &first, &first_bytes, &second, &second_bytes, 0)));
        ASSERT_EQ(first_bytes, wave.size);
        EXPECT_EQ(std::memcmp(first, wave.samples, wave.size), 0) << kSoundNames[i];
        native(id)->Unlock(first, first_bytes, second, second_bytes);
    }
}

TEST_F(NullAudioDevice, volumes_are_clamped_before_they_reach_the_buffer) {
    install();
    set_volume(CLICK, 300);
    EXPECT_EQ(volume_of(CLICK), 0);
    set_volume(CLICK, -12000);
    EXPECT_EQ(volume_of(CLICK), -10000);
}

TEST_F(NullAudioDevice, a_horn_loops_until_stopped_and_a_chime_plays_once) {
    install();
    play_loop(KLAXONCONT);
    EXPECT_EQ(status_of(KLAXONCONT) & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), DWORD(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
    stop(KLAXONCONT);
    EXPECT_EQ(status_of(KLAXONCONT) & DSBSTATUS_PLAYING, 0u);
    play_once(HI);
    EXPECT_EQ(status_of(HI) & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), DWORD(DSBSTATUS_PLAYING));
}

TEST_F(NullAudioDevice, install_kill_install_leaves_no_buffer_behind) {
    install();
    play_loop(SONNERIE);
    release_sounds();
    EXPECT_EQ(live_sound_count(), 0);
    EXPECT_FALSE(device_open());
    install();
    EXPECT_EQ(live_sound_count(), kSoundCount);
    install();
    EXPECT_EQ(live_sound_count(), kSoundCount) << "a second installation releases the first sounds";
}

}  // namespace
}  // namespace tarvenol::snd
