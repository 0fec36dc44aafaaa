// What changed, frame by frame: shared variables, shown and hidden elements, key events, sounds,
// panel windows and the clicks between frames. Printed readably and/or written as CSV. Attached
// only when asked for: it snapshots the whole cockpit after every frame. Many key events are sent
// every frame while a condition holds; the printed timeline shows such an event when it starts
// (or its value changes) and when it stops, and counts the repeats. The CSV lists every one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "host/panel_host.h"
#include "module/gauge.h"
#include "sound/mixer.h"

namespace tarvenol::host {

class Timeline {
public:
    // Either sink may be null.
    Timeline(std::FILE* text, std::FILE* csv);

    // The cockpit as it stands: changes are reported against it.
    void start(const PanelHost& host);
    void key(const KeyEvent& key);
    void sound(const snd::mixer::SoundRequest& request);
    void click(const GaugeInfo& gauge, std::size_t area_index);
    // Reports the frame that just ran (numbered from 1).
    void end_frame(long frame, const PanelHost& host);
    // Reports what happened after the last frame (clicks that no frame followed).
    void finish();

    struct Entry {
        std::string kind;  // click, key, sound, var, element, window
        std::string subject;
        std::string detail;
        std::string before;
        std::string after;
    };

private:
    void snapshot_vars(std::vector<double>& out) const;
    void snapshot_elements(std::vector<std::uint8_t>& out) const;
    void flush(long frame, bool after_last);
    void print_text(long frame, double seconds, bool after_last);

    std::FILE* text_;
    std::FILE* csv_;
    std::vector<double> vars_;
    std::vector<std::uint8_t> shown_;
    std::set<std::uint32_t> windows_;
    std::vector<Entry> pending_;
    std::vector<KeyEvent> frame_keys_;     // key events of the frame being reported
    std::vector<KeyEvent> previous_keys_;  // ... and of the frame before it
    long last_frame_ = 0;
};

}  // namespace tarvenol::host
