// The stand-in simulator as a whole: the module linked into this program, loaded into a panel host,
// with the aircraft model answering its key events, the software mixer as its sound device, and
// optional observers (a key event log, the timeline, an audio recording) that cost nothing while
// they are not attached. One simulator exists at a time, as one module is loaded at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "host/aircraft_model.h"
#include "host/flight_model.h"
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

// Where the cockpit audio goes, one frame (kAudioSamplesPerFrame samples) at a time.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual void write(const std::int16_t* samples, std::size_t count) = 0;
};

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
    // The flight model: off unless switched on; on, it owns the aircraft's motion.
    FlightModel& flight() { return flight_; }

    // One frame: the engines and (with the flight model on) the aircraft move on, the clock advances, every gauge ticks in Linkage order (or
    // in the order given), the sounds play on for 1/18 s.
    void frame();
    void frame(const std::size_t* order, std::size_t count);
    long frames_run() const { return frames_; }

    // The pilot's own key event (keyboard, joystick), between frames: the aircraft answers it as it
    // answers the cockpit's; the cockpit does not see it.
    void pilot_key(std::uint32_t id, std::uint32_t value) { model_.key_event(id, value); }

    // A click on a gauge's click area, between frames (or the simulator's call again while it is
    // held). False if there is no such area.
    bool click(const GaugeInfo& gauge, std::size_t area_index, ClickKind kind = ClickKind::press);

    // Observers; null detaches.
    void set_key_log(std::function<void(const KeyEvent&)> log) { key_log_ = std::move(log); }
    void set_timeline(Timeline* timeline);
    void set_audio(AudioSink* sink) { audio_ = sink; }
    // Every sound request of the cockpit as the sound device gets it.
    void set_sound_log(std::function<void(const snd::mixer::SoundRequest&)> log) { sound_log_ = std::move(log); }

    // Play-once requests per sound since the last reset.
    std::uint32_t play_once_count(snd::SoundId sound) const { return play_once_[static_cast<std::size_t>(sound)]; }
    void reset_sound_counts() { play_once_.fill(0); }
    // The last frame whose gauges asked to play the sound once (frames count from 1); -1 if none.
    // Requests from clicks between frames are not counted here.
    long last_played(snd::SoundId sound) const { return last_played_[static_cast<std::size_t>(sound)]; }

private:
    static void on_sound(void* context, const snd::mixer::SoundRequest& request);
    void key_event(const KeyEvent& key);
    void after_frame();

    PanelHost host_;
    AircraftModel model_;
    FlightModel flight_;
    long frames_ = 0;
    bool in_frame_ = false;
    std::function<void(const KeyEvent&)> key_log_;
    std::function<void(const snd::mixer::SoundRequest&)> sound_log_;
    Timeline* timeline_ = nullptr;
    AudioSink* audio_ = nullptr;
    std::array<std::int16_t, kAudioSamplesPerFrame> audio_frame_{};
    std::array<std::uint32_t, snd::kSoundCount> play_once_{};
    std::array<long, snd::kSoundCount> last_played_ = never_played();
    static std::array<long, snd::kSoundCount> never_played() {
        std::array<long, snd::kSoundCount> a;
        a.fill(-1);
        return a;
    }
};

// The sound of that resource name ("CLICK" ... "BRAKESSND"), or kSoundCount.
snd::SoundId find_sound(std::string_view name);

}  // namespace tarvenol::host
