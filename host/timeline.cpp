#include "host/timeline.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/aircraft_model.h"
#include "host/text.h"
#include "module/module_state.h"
#include "module/shared_state.h"

namespace tarvenol::host {

namespace {

bool contains(const std::vector<KeyEvent>& keys, const KeyEvent& k) {
    for (const KeyEvent& o : keys)
        if (o.id == k.id && o.value == k.value) return true;
    return false;
}

bool contains_id(const std::vector<KeyEvent>& keys, std::uint32_t id) {
    for (const KeyEvent& o : keys)
        if (o.id == id) return true;
    return false;
}

// A key event value as sent (unsigned), with its signed reading when that differs (-2523 for a trim
// position sent as 4294964773).
std::string key_value_text(const std::string& value) {
    const unsigned long v = std::stoul(value);
    constexpr unsigned long kSignBit = 0x80000000UL;
    if (v < kSignBit) return value;
    return value + " (" + std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(v))) + ")";
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string csv_field(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) return s;
    std::string quoted = "\"";
    for (char c : s) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string var_name(const VarRef& ref, std::size_t i) {
    if (ref.count == 1) return ref.name;
    return std::string(ref.name) + "[" + std::to_string(i) + "]";
}

}  // namespace

Timeline::Timeline(std::FILE* text, std::FILE* csv, bool full_first_frame)
    : text_(text), csv_(csv), full_first_frame_(full_first_frame) {
    if (csv_) std::fprintf(csv_, "frame,time_s,kind,subject,detail,before,after\n");
}

void Timeline::watch(std::string label, std::function<double()> read) {
    watched_.push_back({std::move(label), std::move(read), 0.0});
}

void Timeline::start(const PanelHost& host) {
    snapshot_vars(vars_);
    shown_values_.clear();
    value_labels_.clear();
    waiting_.clear();
    for (double v : vars_) shown_values_.push_back({format_readable(v), {}, -1});
    for (const VarRef& v : shared_var_table())
        for (std::size_t i = 0; i < v.count; ++i) value_labels_.push_back(var_name(v, i));
    snapshot_elements(shown_);
    windows_ = host.open_windows();
    for (Watched& w : watched_) {
        w.value = w.read();
        shown_values_.push_back({format_readable(w.value), {}, -1});
        value_labels_.push_back(w.label);
    }
    last_frame_ = 0;
}

void Timeline::snapshot_vars(std::vector<double>& out) const {
    out.clear();
    for (const VarRef& v : shared_var_table())
        for (std::size_t i = 0; i < v.count; ++i) out.push_back(read_var(v, i));
}

void Timeline::snapshot_elements(std::vector<std::uint8_t>& out) const {
    out.clear();
    for (const GaugeInfo* g : gauges())
        for (std::size_t i = 0; i < g->element_count; ++i) out.push_back(is_visible(*g->elements[i]->header) ? 1 : 0);
}

void Timeline::key(const KeyEvent& key) {
    const KeyEventInfo* info = find_key_event(key.id);
    Entry e{"key", format_key_id(key.id), info ? info->name : "", "", std::to_string(key.value)};
    e.repeat = contains(previous_keys_, key);
    pending_.push_back(std::move(e));
    frame_keys_.push_back(key);
}

void Timeline::sound(const snd::mixer::SoundRequest& request) {
    using snd::mixer::RequestKind;
    if (request.kind == RequestKind::create || request.kind == RequestKind::release) return;
    const std::string name = request.name ? request.name : "";
    Entry e{"sound", name, snd::mixer::request_name(request.kind), "",
            request.kind == RequestKind::volume ? std::to_string(request.volume) : ""};
    if (request.kind == RequestKind::play_once) {
        // Played again every frame: shown when it starts.
        e.repeat = std::find(previous_plays_.begin(), previous_plays_.end(), name) != previous_plays_.end();
        frame_plays_.push_back(name);
    } else {
        // Loop, stop and volume are states: shown when they change.
        const std::string key = name + (request.kind == RequestKind::volume ? "/volume" : "/playing");
        const std::string state = e.detail + " " + e.after;
        auto it = sound_state_.find(key);
        e.repeat = it != sound_state_.end() && it->second == state;
        sound_state_[key] = state;
    }
    pending_.push_back(std::move(e));
}

void Timeline::click(const GaugeInfo& gauge, std::size_t area_index) {
    pending_.push_back({"click", gauge.name, gauge.areas[area_index].name, "", ""});
}

void Timeline::end_frame(long frame, const PanelHost& host) {
    std::vector<double> vars;
    snapshot_vars(vars);
    std::size_t at = 0;
    for (const VarRef& v : shared_var_table()) {
        for (std::size_t i = 0; i < v.count; ++i, ++at) {
            if (at < vars_.size() && !same_bits(vars_[at], vars[at]))
                pending_.push_back({"var", var_name(v, i), "", format_number(vars_[at]), format_number(vars[at]), false, at});
        }
    }
    vars_.swap(vars);

    std::vector<std::uint8_t> shown;
    snapshot_elements(shown);
    at = 0;
    for (const GaugeInfo* g : gauges()) {
        for (std::size_t i = 0; i < g->element_count; ++i, ++at) {
            if (at < shown_.size() && shown_[at] != shown[at])
                pending_.push_back({"element", g->name, g->elements[i]->name, shown_[at] ? "shown" : "hidden",
                                    shown[at] ? "shown" : "hidden"});
        }
    }
    shown_.swap(shown);

    const std::set<std::uint32_t>& windows = host.open_windows();
    for (std::uint32_t id : windows)
        if (!windows_.count(id)) pending_.push_back({"window", std::to_string(id), "", "closed", "open"});
    for (std::uint32_t id : windows_)
        if (!windows.count(id)) pending_.push_back({"window", std::to_string(id), "", "open", "closed"});
    windows_ = windows;

    for (std::size_t i = 0; i < watched_.size(); ++i) {
        Watched& w = watched_[i];
        const double v = w.read();
        if (!same_bits(v, w.value))
            pending_.push_back({"watch", w.label, "", format_number(w.value), format_number(v), false, i});
        w.value = v;
    }

    flush(frame, false);
    last_frame_ = frame;
}

void Timeline::finish() {
    if (!pending_.empty() || !waiting_.empty()) flush(last_frame_, true);
}

void Timeline::flush(long frame, bool after_last) {
    const double seconds = static_cast<double>(frame) * kSecondsPerTick;
    if (text_ || text_copy_) print_text(frame, seconds, after_last);
    if (csv_) {
        for (const Entry& e : pending_)
            std::fprintf(csv_, "%ld,%s,%s,%s,%s,%s,%s\n", frame, format_number(seconds).c_str(), e.kind.c_str(),
                         csv_field(e.subject).c_str(), csv_field(e.detail).c_str(), csv_field(e.before).c_str(),
                         csv_field(e.after).c_str());
    }
    pending_.clear();
    if (!after_last) {
        previous_keys_.swap(frame_keys_);
        frame_keys_.clear();
        previous_plays_.swap(frame_plays_);
        frame_plays_.clear();
    }
}

void Timeline::print_text(long frame, double seconds, bool after_last) {
    // The first frame: every gauge sets its elements and sends its first key events and sound
    // requests; those are counted, the rest is listed.
    const bool summarise = frame == 1 && !after_last && !full_first_frame_;
    std::vector<const Entry*> listed;
    std::vector<const Entry*> summarised;
    for (const Entry& e : pending_) {
        if (e.repeat && !after_last) continue;
        if (summarise && (e.kind == "element" || e.kind == "key" || e.kind == "sound")) {
            summarised.push_back(&e);
            continue;
        }
        listed.push_back(&e);
    }
    std::vector<KeyEvent> stopped;
    if (!after_last)
        for (const KeyEvent& k : previous_keys_)
            if (!contains_id(frame_keys_, k.id) && !contains_id(stopped, k.id)) stopped.push_back(k);

    std::vector<std::string> lines;
    for (const KeyEvent& k : stopped) {
        const KeyEventInfo* info = find_key_event(k.id);
        char line[128];
        std::snprintf(line, sizeof line, "  key     %-8s %-32s stopped", format_key_id(k.id).c_str(), info ? info->name : "");
        lines.push_back(line);
    }
    for (const Entry* p : listed) {
        const Entry& e = *p;
        std::string line;
        if (e.kind == "var" || e.kind == "watch") {
            double after = 0;
            parse_number(e.after, after);
            const std::size_t slot = e.kind == "var" ? e.slot : vars_.size() + e.slot;
            line = value_line(slot, e.subject, e.kind, format_readable(after), frame);
            if (line.empty()) continue;        } else if (e.kind == "key") {
            char buffer[256];
            std::snprintf(buffer, sizeof buffer, "  key     %-8s %-32s value %s", e.subject.c_str(), e.detail.c_str(),
                          key_value_text(e.after).c_str());
            line = buffer;
        } else if (e.kind == "sound") {
            line = "  sound   " + e.subject + std::string(e.subject.size() < 12 ? 12 - e.subject.size() : 0, ' ') + " " +
                   e.detail + (e.after.empty() ? "" : " " + e.after);
        } else if (e.kind == "element") {
            line = "  element \"" + e.subject + "\" " + e.detail + " " + e.after;
        } else if (e.kind == "window") {
            line = "  window  " + e.subject + " " + e.after;
        } else if (e.kind == "click") {
            line = "  click   \"" + e.subject + "\" " + e.detail;
        }
        lines.push_back(std::move(line));
    }
    // Changes held back that are now due: the value has settled (it did not change in this frame).
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        const std::size_t slot = *it++;
        Shown& v = shown_values_[slot];
        if (!after_last && v.changed_frame == frame) continue;
        char buffer[256];
        std::snprintf(buffer, sizeof buffer, "  %-7s %-32s %s -> %s", slot < vars_.size() ? "var" : "watch",
                      value_labels_[slot].c_str(), v.text.c_str(), v.waiting.c_str());
        lines.push_back(buffer);
        v.text = v.waiting;
        v.waiting.clear();
        v.printed_frame = frame;
        waiting_.erase(slot);
    }
    if (lines.empty() && summarised.empty()) return;

    char heading[64];
    if (after_last)
        std::snprintf(heading, sizeof heading, "after frame %ld", frame);
    else
        std::snprintf(heading, sizeof heading, "frame %ld  %.3f s", frame, seconds);
    say(heading);
    if (!summarised.empty()) print_summary(summarised);
    for (const std::string& l : lines) say(l);
}

void Timeline::say(const std::string& line) {
    for (std::FILE* f : {text_, text_copy_})
        if (f) std::fprintf(f, "%s\n", line.c_str());
}

std::string Timeline::value_line(std::size_t slot, const std::string& label, const std::string& kind,
                                 const std::string& now, long frame) {
    Shown& v = shown_values_[slot];
    const bool moving = v.changed_frame == frame - 1;
    v.changed_frame = frame;
    // A value that moved less than its printed digits is not a change to a reader.
    if (v.text == now) {
        if (!v.waiting.empty()) waiting_.erase(slot);
        v.waiting.clear();
        return {};
    }
    if (moving && v.printed_frame >= 0 && frame - v.printed_frame < kValueLineEvery) {
        v.waiting = now;
        waiting_.insert(slot);
        return {};
    }
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, "  %-7s %-32s %s -> %s", kind.c_str(), label.c_str(), v.text.c_str(), now.c_str());
    v.text = now;
    v.waiting.clear();
    waiting_.erase(slot);
    v.printed_frame = frame;
    return buffer;
}

void Timeline::print_summary(const std::vector<const Entry*>& summarised) {
    int shown = 0, hidden = 0, keys = 0, sounds = 0;
    for (const Entry* e : summarised) {
        if (e->kind == "element") (e->after == "shown" ? shown : hidden)++;
        else if (e->kind == "key") ++keys;
        else ++sounds;
    }
    char line[256];
    std::snprintf(line, sizeof line,
                  "  (the gauges' first tick: %d elements shown and %d hidden, %d key event%s sent, %d sound request%s;"
                  " --initial lists them)",
                  shown, hidden, keys, keys == 1 ? "" : "s", sounds, sounds == 1 ? "" : "s");
    say(line);
}

}  // namespace tarvenol::host
