// What changed, frame by frame: shared variables, shown and hidden elements, key events, sounds,
// panel windows, the clicks between frames, and any simulator variable, module variable or element
// value the user chose to watch. Printed for people and/or written as CSV. Attached only when
// asked for: it snapshots the whole cockpit after every frame.
//
// The printed timeline tells changes only. A key event or a play-once sound requested again every
// frame is shown when it starts (or its value changes) and a key event also when it stops; a
// looping or stopped sound, or its volume, when it changes; a value when it changes as an
// instrument would show it (6 significant digits), and one that changes frame after frame (a
// quantity as fuel burns, a pressure as it builds) at most once per simulated second and where it
// settles. A frame
// in which nothing changed prints nothing.
// The first frame, where every gauge sets its elements and sends its first key events, is
// summarised in counts unless the whole of it is asked for. The CSV lists every request, every key
// event and every change in full precision.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/panel_host.h"
#include "module/gauge.h"
#include "sound/mixer.h"

namespace tarvenol::host {

class Timeline {
public:
    // Either sink may be null. full_first_frame lists the first frame as any other.
    Timeline(std::FILE* text, std::FILE* csv, bool full_first_frame = false);

    // A second sink of the printed timeline (the run's viewer keeps it beside its pictures), written
    // whether or not the first is there.
    void set_text_copy(std::FILE* copy) { text_copy_ = copy; }

    // A value to follow (before start): label as printed, and how to read it after a frame.
    void watch(std::string label, std::function<double()> read);

    // The cockpit as it stands: changes are reported against it.
    void start(const PanelHost& host);
    void key(const KeyEvent& key);
    void sound(const snd::mixer::SoundRequest& request);
    void click(const GaugeInfo& gauge, std::size_t area_index);
    // Reports the frame that just ran (numbered from 1).
    void end_frame(long frame, const PanelHost& host);
    // Reports what happened after the last frame (clicks that no frame followed).
    void finish();

    // A value that keeps changing is printed at most this often (frames).
    static constexpr long kValueLineEvery = 18;

    struct Entry {
        std::string kind;  // click, key, sound, var, element, window, watch
        std::string subject;
        std::string detail;
        std::string before;
        std::string after;
        bool repeat = false;  // a key event or sound request as in the frame before
        std::size_t slot = 0;  // var: its place in the snapshot; watch: its place in the watch list
    };

private:
    struct Watched {
        std::string label;
        std::function<double()> read;
        double value;
    };
    // A value as the printed timeline follows it: shared variables first, then watched values.
    struct Shown {
        std::string text;        // as last printed
        std::string waiting;     // a change not yet printed (less than a second after the last)
        long printed_frame = -1; // the frame of the last printed change
        long changed_frame = -1; // the last frame it changed in at all
    };
    std::string value_line(std::size_t slot, const std::string& label, const std::string& kind, const std::string& now,
                           long frame);

    void snapshot_vars(std::vector<double>& out) const;
    void snapshot_elements(std::vector<std::uint8_t>& out) const;
    void flush(long frame, bool after_last);
    void print_text(long frame, double seconds, bool after_last);
    void print_summary(const std::vector<const Entry*>& summarised);

    // The printed timeline, to each text sink there is.
    void say(const std::string& line);

    std::FILE* text_;
    std::FILE* text_copy_ = nullptr;
    std::FILE* csv_;
    bool full_first_frame_;
    std::vector<double> vars_;
    std::vector<Shown> shown_values_;
    std::vector<std::string> value_labels_;
    std::set<std::size_t> waiting_;  // slots with a change not yet printed
    std::vector<std::uint8_t> shown_;
    std::set<std::uint32_t> windows_;
    std::vector<Watched> watched_;
    std::vector<Entry> pending_;
    std::vector<KeyEvent> frame_keys_;     // key events of the frame being reported
    std::vector<KeyEvent> previous_keys_;  // ... and of the frame before it
    std::vector<std::string> frame_plays_;     // sounds asked to play once in this frame
    std::vector<std::string> previous_plays_;  // ... and in the frame before it
    std::map<std::string, std::string> sound_state_;  // per sound: the last loop/stop and volume told
    long last_frame_ = 0;
};

}  // namespace tarvenol::host
