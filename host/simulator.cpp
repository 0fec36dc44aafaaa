#include "host/simulator.h"

#include <cstring>

#include "host/timeline.h"
#include "module/linkage.h"
#include "module/module_state.h"
#include "sound/device.h"

namespace tarvenol::host {

namespace {

// The module as loaded: its state back to what a fresh load holds, the mixer as its sound device.
abi::GAUGESIMPORT& fresh_module() {
    reset_module_state();
    snd::use_device(&snd::mixer::device());
    return ImportTable;
}

}  // namespace

snd::SoundId find_sound(std::string_view name) {
    for (int i = 0; i < snd::kSoundCount; ++i)
        if (name == snd::kSoundNames[i]) return static_cast<snd::SoundId>(i);
    return snd::kSoundCount;
}

Simulator::Simulator() : host_(fresh_module(), Linkage.gauge_header_ptr), model_(host_) {
    host_.on_key_event = [this](const KeyEvent& key) { key_event(key); };
    snd::mixer::set_observer(&Simulator::on_sound, this);
    host_.load();
}

Simulator::~Simulator() {
    timeline_ = nullptr;
    key_log_ = nullptr;
    audio_ = nullptr;
    host_.unload();
    host_.on_key_event = nullptr;
    snd::mixer::set_observer(nullptr, nullptr);
    snd::use_device(nullptr);
}

void Simulator::set_timeline(Timeline* timeline) {
    timeline_ = timeline;
    if (timeline_) timeline_->start(host_);
}

void Simulator::frame() {
    host_.clear_key_events();
    model_.step();
    flight_.step(model_);
    in_frame_ = true;
    host_.frame();
    in_frame_ = false;
    after_frame();
}

void Simulator::frame(const std::size_t* order, std::size_t count) {
    host_.clear_key_events();
    model_.step();
    flight_.step(model_);
    in_frame_ = true;
    host_.frame(order, count);
    in_frame_ = false;
    after_frame();
}

void Simulator::after_frame() {
    ++frames_;
    if (audio_) {
        snd::mixer::render(audio_frame_.data(), kAudioSamplesPerFrame, kAudioRate);
        audio_->write(audio_frame_.data(), kAudioSamplesPerFrame);
    } else {
        // The sounds play on even when nobody listens: a one-shot sound ends after its length.
        snd::mixer::render(nullptr, kAudioSamplesPerFrame, kAudioRate);
    }
    if (timeline_) timeline_->end_frame(frames_, host_);
}

bool Simulator::click(const GaugeInfo& gauge, std::size_t area_index, ClickKind kind) {
    if (area_index >= gauge.area_count) return false;
    if (timeline_ && kind == ClickKind::press) timeline_->click(gauge, area_index);
    return host_.click(*gauge.header, area_index, kind);
}

void Simulator::key_event(const KeyEvent& key) {
    model_.key_event(key.id, key.value);
    if (key_log_) key_log_(key);
    if (timeline_) timeline_->key(key);
}

void Simulator::on_sound(void* context, const snd::mixer::SoundRequest& request) {
    auto* self = static_cast<Simulator*>(context);
    if (request.kind == snd::mixer::RequestKind::play_once) {
        const snd::SoundId id = find_sound(request.name ? request.name : "");
        if (id != snd::kSoundCount) {
            ++self->play_once_[static_cast<std::size_t>(id)];
            if (self->in_frame_) self->last_played_[static_cast<std::size_t>(id)] = self->frames_ + 1;
        }
    }
    if (self->timeline_) self->timeline_->sound(request);
    if (self->sound_log_) self->sound_log_(request);
}

}  // namespace tarvenol::host
