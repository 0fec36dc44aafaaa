#include "host/timeline.h"

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

Timeline::Timeline(std::FILE* text, std::FILE* csv) : text_(text), csv_(csv) {
    if (csv_) std::fprintf(csv_, "frame,time_s,kind,subject,detail,before,after\n");
}

void Timeline::start(const PanelHost& host) {
    snapshot_vars(vars_);
    snapshot_elements(shown_);
    windows_ = host.open_windows();
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
    pending_.push_back({"key", format_key_id(key.id), info ? info->name : "", "", std::to_string(key.value)});
    frame_keys_.push_back(key);
}

void Timeline::sound(const snd::mixer::SoundRequest& request) {
    using snd::mixer::RequestKind;
    if (request.kind == RequestKind::create || request.kind == RequestKind::release) return;
    pending_.push_back({"sound", request.name ? request.name : "", snd::mixer::request_name(request.kind), "",
                        request.kind == RequestKind::volume ? std::to_string(request.volume) : ""});
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
                pending_.push_back({"var", var_name(v, i), "", format_number(vars_[at]), format_number(vars[at])});
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

    flush(frame, false);
    last_frame_ = frame;
}

void Timeline::finish() {
    if (!pending_.empty()) flush(last_frame_, true);
}

void Timeline::flush(long frame, bool after_last) {
    const double seconds = static_cast<double>(frame) * kSecondsPerTick;
    if (text_) print_text(frame, seconds, after_last);
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
    }
}

void Timeline::print_text(long frame, double seconds, bool after_last) {
    // Key events repeated from the frame before are counted, not listed; one that stopped is.
    int repeated = 0;
    std::vector<const Entry*> shown;
    std::size_t key_at = 0;
    for (const Entry& e : pending_) {
        if (e.kind == "key" && !after_last && key_at < frame_keys_.size() && contains(previous_keys_, frame_keys_[key_at++]))
            ++repeated;
        else
            shown.push_back(&e);
    }
    std::vector<KeyEvent> stopped;
    if (!after_last)
        for (const KeyEvent& k : previous_keys_)
            if (!contains_id(frame_keys_, k.id) && !contains_id(stopped, k.id)) stopped.push_back(k);
    if (shown.empty() && stopped.empty()) return;

    if (after_last)
        std::fprintf(text_, "after frame %ld\n", frame);
    else
        std::fprintf(text_, "frame %ld  %.3f s\n", frame, seconds);
    for (const KeyEvent& k : stopped) {
        const KeyEventInfo* info = find_key_event(k.id);
        std::fprintf(text_, "  key     %-8s %-32s stopped\n", format_key_id(k.id).c_str(), info ? info->name : "");
    }
    for (const Entry* p : shown) {
        const Entry& e = *p;
        if (e.kind == "key")
            std::fprintf(text_, "  key     %-8s %-32s value %s\n", e.subject.c_str(), e.detail.c_str(), key_value_text(e.after).c_str());
        else if (e.kind == "sound")
            std::fprintf(text_, "  sound   %-12s %s%s%s\n", e.subject.c_str(), e.detail.c_str(), e.after.empty() ? "" : " ",
                         e.after.c_str());
        else if (e.kind == "var")
            std::fprintf(text_, "  var     %-32s %s -> %s\n", e.subject.c_str(), e.before.c_str(), e.after.c_str());
        else if (e.kind == "element")
            std::fprintf(text_, "  element \"%s\" %s %s\n", e.subject.c_str(), e.detail.c_str(), e.after.c_str());
        else if (e.kind == "window")
            std::fprintf(text_, "  window  %s %s\n", e.subject.c_str(), e.after.c_str());
        else if (e.kind == "click")
            std::fprintf(text_, "  click   \"%s\" %s\n", e.subject.c_str(), e.detail.c_str());
    }
    if (repeated > 0)
        std::fprintf(text_, "  (%d key event%s repeated from the frame before)\n", repeated, repeated == 1 ? "" : "s");
}

}  // namespace tarvenol::host
