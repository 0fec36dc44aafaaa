// The stand-in simulator as a whole: the module linked into this program, loaded into a panel host,
// with the aircraft model answering its key events, the software mixer as its sound device, and
// optional observers (a key event log, the timeline, an audio recording) that cost nothing while
// they are not attached. One simulator exists at a time, as one module is loaded at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "host/aircraft_model.h"
#include "host/panel_host.h"
#include "module/gauge.h"
#include "sound/mixer.h"
#include "sound/sound.h"

namespace tarvenol::host {

class Timeline;

// The cockpit audio is mixed at this rate, one frame's worth (1/18 s) after every frame.
constexpr std::uint32_t kAudioRate = 22050;
constexpr std::size_t kAudioSamplesPerFrame = 1225;
static_assert(kAudioSamplesPerFrame * 18 == kAudioRate);

class Simulator {
public:
    // A freshly loaded module (every module variable at its load value) in a blank simulator
    // (every variable 0), the aircraft model on.
    Simulator();
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    PanelHost& host() { return host_; }
    SimVars& vars() { return host_.vars(); }
    AircraftModel& model() { return model_; }

    // One frame: the aircraft moves on, the clock advances, every gauge ticks in Linkage order (or
    // in the order given), the sounds play on for 1/18 s.
    void frame();
    void frame(const std::size_t* order, std::size_t count);
    long frames_run() const { return frames_; }

    // A click on a gauge's click area, between frames. False if there is no such area.
    bool click(const GaugeInfo& gauge, std::size_t area_index);

    // Observers; null detaches.
    void set_key_log(std::vector<KeyEvent>* log) { key_log_ = log; }
    void set_timeline(Timeline* timeline);
    void set_audio(std::vector<std::int16_t>* samples) { audio_ = samples; }

    // Play-once requests per sound since the last reset.
    std::uint32_t play_once_count(snd::SoundId sound) const { return play_once_[static_cast<std::size_t>(sound)]; }
    void reset_sound_counts() { play_once_.fill(0); }

private:
    static void on_sound(void* context, const snd::mixer::SoundRequest& request);
    void key_event(const KeyEvent& key);
    void after_frame();

    PanelHost host_;
    AircraftModel model_;
    long frames_ = 0;
    std::vector<KeyEvent>* key_log_ = nullptr;
    Timeline* timeline_ = nullptr;
    std::vector<std::int16_t>* audio_ = nullptr;
    std::array<std::uint32_t, snd::kSoundCount> play_once_{};
};

// The sound of that resource name ("CLICK" ... "BRAKESSND"), or kSoundCount.
snd::SoundId find_sound(std::string_view name);

}  // namespace tarvenol::host
