#include "host/scenario.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "host/aircraft_model.h"
#include "host/pictures.h"
#include "host/sim_tokens.h"
#include "host/simulator.h"
#include "host/text.h"
#include "host/timeline.h"
#include "module/module_state.h"
#include "sound/mixer.h"

namespace tarvenol::host {

namespace {

// --- Lines into words --------------------------------------------------------------------------

struct Word {
    std::string text;
    bool quoted = false;
};

// Blanks separate words, double quotes group a word with blanks, '#' outside quotes ends the line.
bool split_words(std::string_view line, std::vector<Word>& words, std::string& error) {
    words.clear();
    std::size_t i = 0;
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (i < line.size()) {
        if (blank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Word w;
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            if (close == std::string_view::npos) {
                error = "a closing double quote";
                return false;
            }
            w.text = std::string(line.substr(i + 1, close - i - 1));
            w.quoted = true;
            i = close + 1;
            if (i < line.size() && !blank(line[i]) && line[i] != '#') {
                error = "a blank after the closing double quote";
                return false;
            }
        } else {
            const std::size_t start = i;
            while (i < line.size() && !blank(line[i]) && line[i] != '#' && line[i] != '"') ++i;
            if (i < line.size() && line[i] == '"') {
                error = "a blank before the opening double quote";
                return false;
            }
            w.text = std::string(line.substr(start, i - start));
        }
        words.push_back(std::move(w));
    }
    return true;
}

// --- Commands ----------------------------------------------------------------------------------

enum class Op { eq, ne, lt, le, gt, ge };

const char* op_text(Op op) {
    switch (op) {
        case Op::eq: return "==";
        case Op::ne: return "!=";
        case Op::lt: return "<";
        case Op::le: return "<=";
        case Op::gt: return ">";
        case Op::ge: return ">=";
    }
    return "?";
}

bool parse_op(std::string_view s, Op& op) {
    if (s == "==") op = Op::eq;
    else if (s == "!=") op = Op::ne;
    else if (s == "<") op = Op::lt;
    else if (s == "<=") op = Op::le;
    else if (s == ">") op = Op::gt;
    else if (s == ">=") op = Op::ge;
    else return false;
    return true;
}

bool holds(double actual, Op op, double expected) {
    switch (op) {
        case Op::eq: return actual == expected;
        case Op::ne: return actual != expected;
        case Op::lt: return actual < expected;
        case Op::le: return actual <= expected;
        case Op::gt: return actual > expected;
        case Op::ge: return actual >= expected;
    }
    return false;
}

// A module variable (one element, or a whole array for print) or a simulator variable.
struct Target {
    const VarRef* var = nullptr;
    std::size_t index = 0;
    bool whole_array = false;
    const TokenInfo* token = nullptr;
    std::string text;  // as written
};

enum class Kind {
    model, sim, set, tick, hold, release, click, window,
    expect_value, expect_key, expect_nokey, expect_keycount, expect_sound, expect_window,
    expect_element_shown, expect_element_value, print, picture,
};

enum class SoundCheck { played, notplayed, looping, notlooping };

struct Command {
    Kind kind{};
    int line = 0;
    std::string source;  // the line as written, without its comment
    bool flag = false;   // model on, window open, element shown, key with a value
    double number = 0;   // sim/set value, expected value
    long long count = 0; // tick count, key count
    std::uint32_t id = 0;  // key event or window
    std::uint32_t key_value = 0;
    Op op = Op::eq;
    Target target;
    const GaugeInfo* gauge = nullptr;
    std::size_t area = 0;
    ElementLink* element = nullptr;
    snd::SoundId sound = snd::kSoundCount;
    SoundCheck sound_check = SoundCheck::played;
    std::vector<Target> prints;
};

struct Malformed {
    std::string what;
};

class Parser {
public:
    explicit Parser(const std::vector<Word>& words) : w_(words) {}

    Command parse() {
        Command c;
        const std::string& verb = w_[0].text;
        if (w_[0].quoted) fail("a command (model, sim, set, tick, hold, release, click, window, expect, print, picture)");
        if (verb == "model") {
            count(2, "model on|off");
            c.kind = Kind::model;
            c.flag = on_off(w_[1].text, "on", "off", "model on|off");
        } else if (verb == "sim") {
            count(3, "sim TOKEN VALUE");
            c.kind = Kind::sim;
            c.target.token = token(w_[1].text);
            c.target.text = w_[1].text;
            c.number = number(w_[2].text, "a number as VALUE");
        } else if (verb == "set") {
            count(3, "set NAME VALUE");
            c.kind = Kind::set;
            c.target = module_var(w_[1].text, false);
            c.number = number(w_[2].text, "a number as VALUE");
        } else if (verb == "tick") {
            if (w_.size() > 2) fail("tick [N]");
            c.kind = Kind::tick;
            c.count = 1;
            if (w_.size() == 2) {
                long long n = 0;
                if (!parse_integer(w_[1].text, n) || n < 0) fail("a frame count (a whole number, 0 or more) after tick");
                c.count = n;
            }
        } else if (verb == "hold" || verb == "release") {
            count(2, verb + " TOKEN (1, 557, 604 or 607)");
            c.kind = verb == "hold" ? Kind::hold : Kind::release;
            c.target.token = token(w_[1].text);
            const int t = c.target.token->token;
            if (t != token::tick_counter && t != token::time_of_day && t != token::clock_seconds_total &&
                t != token::simulation_time)
                fail("a clock variable the host advances (1, 557, 604 or 607), not " + w_[1].text);
        } else if (verb == "click") {
            count(3, "click \"GAUGE NAME\" AREA");
            c.kind = Kind::click;
            c.gauge = gauge(w_[1].text);
            if (!find_area(*c.gauge, w_[2].text, &c.area))
                fail("a click area of " + std::string(c.gauge->name) + " (see cockpit-sim areas \"" + c.gauge->name +
                     "\"), not " + w_[2].text);
        } else if (verb == "window") {
            count(3, "window ID open|closed");
            c.kind = Kind::window;
            c.id = window_id(w_[1].text);
            c.flag = on_off(w_[2].text, "open", "closed", "window ID open|closed");
        } else if (verb == "expect") {
            parse_expect(c);
        } else if (verb == "picture") {
            count(2, "picture NAME");
            c.kind = Kind::picture;
            c.target.text = picture_name(w_[1].text);
        } else if (verb == "print") {
            if (w_.size() < 2) fail("print NAME...");
            c.kind = Kind::print;
            for (std::size_t i = 1; i < w_.size(); ++i) c.prints.push_back(value_target(w_[i].text, true));
        } else {
            fail("a command (model, sim, set, tick, hold, release, click, window, expect, print, picture), not " + verb);
        }
        return c;
    }

private:
    [[noreturn]] void fail(const std::string& expected) const { throw Malformed{"expected " + expected}; }

    // A picture's name is also its folder: letters, digits, '-' and '_'.
    std::string picture_name(const std::string& s) const {
        const bool ok = !s.empty() && std::all_of(s.begin(), s.end(), [](char ch) {
            return std::isalnum(static_cast<unsigned char>(ch)) || ch == '-' || ch == '_';
        });
        if (!ok) fail("a picture name (letters, digits, - and _), not " + s);
        return s;
    }

    void count(std::size_t n, const std::string& form) const {
        if (w_.size() != n) fail(form);
    }

    bool on_off(const std::string& s, const char* yes, const char* no, const std::string& form) const {
        if (s == yes) return true;
        if (s == no) return false;
        fail(form);
    }

    double number(const std::string& s, const std::string& what) const {
        double v = 0;
        if (!parse_number(s, v)) fail(what + " (decimal or 0x hex), not " + s);
        return v;
    }

    const TokenInfo* token(const std::string& s) const {
        const TokenInfo* t = find_token(s);
        if (!t) fail("a simulator variable token or name (see cockpit-sim tokens), not " + s);
        return t;
    }

    const GaugeInfo* gauge(const std::string& s) const {
        const GaugeInfo* g = find_gauge(s);
        if (!g) fail("a gauge name (see cockpit-sim gauges), not \"" + s + "\"");
        return g;
    }

    std::uint32_t window_id(const std::string& s) const {
        long long id = 0;
        constexpr long long kMaxId = 0xFFFFFFFF;
        if (!parse_integer(s, id) || id < 0 || id > kMaxId) fail("a panel window id, not " + s);
        return static_cast<std::uint32_t>(id);
    }

    std::uint32_t key_id(const std::string& s) const {
        if (const KeyEventInfo* k = find_key_event(s)) return k->id;
        long long id = 0;
        constexpr long long kMaxId = 0xFFFFFFFF;
        if (!parse_integer(s, id) || id < 0 || id > kMaxId)
            fail("a key event id (e.g. 0x102C1) or name (see cockpit-sim keys), not " + s);
        return static_cast<std::uint32_t>(id);
    }

    // A 32-bit key value: negative values are their two's complement bits.
    std::uint32_t key_value(const std::string& s) const {
        long long v = 0;
        constexpr long long kLowest = -2147483648LL;
        constexpr long long kHighest = 0xFFFFFFFFLL;
        if (!parse_integer(s, v) || v < kLowest || v > kHighest) fail("a 32-bit key event value, not " + s);
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(v));
    }

    // NAME or NAME[i], a module variable.
    Target module_var(const std::string& s, bool allow_whole_array) const {
        Target t;
        t.text = s;
        std::string name = s;
        bool indexed = false;
        const std::size_t open = s.find('[');
        if (open != std::string::npos) {
            if (s.back() != ']' || open == 0) fail("NAME or NAME[i], not " + s);
            long long i = 0;
            if (!parse_integer(s.substr(open + 1, s.size() - open - 2), i) || i < 0)
                fail("an element index counting from 0 in " + s);
            name = s.substr(0, open);
            t.index = static_cast<std::size_t>(i);
            indexed = true;
        }
        t.var = find_var(name);
        if (!t.var) fail("a module variable (see cockpit-sim vars), not " + name);
        if (indexed && t.index >= t.var->count)
            fail("an index below " + std::to_string(t.var->count) + " for " + name + ", not " + std::to_string(t.index));
        if (!indexed && t.var->count > 1) {
            if (!allow_whole_array)
                fail(name + "[i]: " + name + " has " + std::to_string(t.var->count) + " elements");
            t.whole_array = true;
        }
        return t;
    }

    // A module variable or sim:TOKEN.
    Target value_target(const std::string& s, bool allow_whole_array) const {
        constexpr std::string_view kSimPrefix = "sim:";
        if (s.rfind(kSimPrefix, 0) == 0) {
            Target t;
            t.text = s;
            t.token = token(s.substr(kSimPrefix.size()));
            return t;
        }
        return module_var(s, allow_whole_array);
    }

    void parse_expect(Command& c) const {
        if (w_.size() < 2) fail("expect NAME OP VALUE, or expect key/nokey/keycount/sound/window/element ...");
        const std::string& what = w_[1].text;
        if (what == "key") {
            if (w_.size() != 3 && w_.size() != 4) fail("expect key ID [VALUE]");
            c.kind = Kind::expect_key;
            c.id = key_id(w_[2].text);
            if (w_.size() == 4) {
                c.flag = true;
                c.key_value = key_value(w_[3].text);
            }
        } else if (what == "nokey") {
            count(3, "expect nokey ID");
            c.kind = Kind::expect_nokey;
            c.id = key_id(w_[2].text);
        } else if (what == "keycount") {
            count(4, "expect keycount ID N");
            c.kind = Kind::expect_keycount;
            c.id = key_id(w_[2].text);
            if (!parse_integer(w_[3].text, c.count) || c.count < 0) fail("a count (0 or more), not " + w_[3].text);
        } else if (what == "sound") {
            count(4, "expect sound NAME played|notplayed|looping|notlooping");
            c.kind = Kind::expect_sound;
            c.sound = find_sound(w_[2].text);
            if (c.sound == snd::kSoundCount) fail("a sound name (CLICK, HI, ... BRAKESSND), not " + w_[2].text);
            const std::string& s = w_[3].text;
            if (s == "played") c.sound_check = SoundCheck::played;
            else if (s == "notplayed") c.sound_check = SoundCheck::notplayed;
            else if (s == "looping") c.sound_check = SoundCheck::looping;
            else if (s == "notlooping") c.sound_check = SoundCheck::notlooping;
            else fail("played, notplayed, looping or notlooping, not " + s);
        } else if (what == "window") {
            count(4, "expect window ID open|closed");
            c.kind = Kind::expect_window;
            c.id = window_id(w_[2].text);
            c.flag = on_off(w_[3].text, "open", "closed", "expect window ID open|closed");
        } else if (what == "element") {
            if (w_.size() < 5) fail("expect element \"GAUGE NAME\" ELEMENT shown|hidden, or ... value OP V");
            c.gauge = gauge(w_[2].text);
            c.element = find_element(*c.gauge, w_[3].text);
            if (!c.element)
                fail("an element of " + std::string(c.gauge->name) + " (see cockpit-sim elements \"" + c.gauge->name +
                     "\"), not " + w_[3].text);
            if (w_[4].text == "value") {
                count(7, "expect element \"GAUGE NAME\" ELEMENT value OP V");
                c.kind = Kind::expect_element_value;
                if (!parse_op(w_[5].text, c.op)) fail("one of == != < <= > >=, not " + w_[5].text);
                c.number = number(w_[6].text, "a number to compare with");
            } else {
                count(5, "expect element \"GAUGE NAME\" ELEMENT shown|hidden");
                c.kind = Kind::expect_element_shown;
                c.flag = on_off(w_[4].text, "shown", "hidden", "shown, hidden or value OP V");
            }
        } else {
            count(4, "expect NAME OP VALUE");
            c.kind = Kind::expect_value;
            c.target = value_target(what, false);
            if (!parse_op(w_[2].text, c.op)) fail("one of == != < <= > >=, not " + w_[2].text);
            c.number = number(w_[3].text, "a number to compare with");
        }
    }

    const std::vector<Word>& w_;
};

// --- Running -----------------------------------------------------------------------------------

class Runner {
public:
    Runner(const std::string& file, const ScenarioOptions& options, std::FILE* out, std::FILE* err)
        : file_(file), options_(options), out_(out), err_(err) {}

    int run(const std::vector<Command>& commands) {
        std::FILE* trace = nullptr;
        if (!options_.trace_path.empty()) {
            trace = std::fopen(options_.trace_path.c_str(), "wb");
            if (!trace) {
                std::fprintf(err_, "%s: cannot write the trace file %s\n", file_.c_str(), options_.trace_path.c_str());
                return kScenarioMalformed;
            }
        }
        // The viewer shows the timeline beside the pictures: without a trace file, one kept aside.
        if (!options_.pictures_dir.empty() && !trace) trace = std::tmpfile();
        if (!options_.pictures_dir.empty()) pictures_ = std::make_unique<PictureBook>(options_.pictures_dir);
        int result = kScenarioPassed;
        {
            Simulator sim;
            Timeline timeline(options_.quiet ? nullptr : out_, trace);
            const bool with_timeline = !options_.quiet || trace;
            if (with_timeline) sim.set_timeline(&timeline);
            sim.set_key_log(&keys_);
            std::vector<std::int16_t> audio;
            if (!options_.audio_path.empty()) sim.set_audio(&audio);

            for (const Command& c : commands) {
                if (!execute(sim, c)) {
                    result = picture_failed_ ? kScenarioMalformed : kScenarioExpectFailed;
                    break;
                }
            }
            if (with_timeline) timeline.finish();
            sim.set_timeline(nullptr);
            sim.set_key_log(nullptr);
            sim.set_audio(nullptr);
            if (!options_.audio_path.empty() &&
                !snd::mixer::write_wav(options_.audio_path.c_str(), audio.data(), audio.size(), kAudioRate)) {
                std::fprintf(err_, "%s: cannot write the audio file %s\n", file_.c_str(), options_.audio_path.c_str());
                if (result == kScenarioPassed) result = kScenarioMalformed;
            }
            if (result == kScenarioPassed && !options_.quiet)
                std::fprintf(out_, "%s: passed (%d expects, %ld frames)\n", file_.c_str(), expects_, sim.frames_run());
        }
        if (pictures_ && !pictures_->pictures().empty()) {
            std::string error;
            std::fflush(trace);
            if (pictures_->write_viewer(file_, trace, error)) {
                if (!options_.quiet)
                    std::fprintf(out_, "%s: pictures and viewer in %s/index.html\n", file_.c_str(), pictures_->dir().c_str());
            } else {
                std::fprintf(err_, "%s: %s\n", file_.c_str(), error.c_str());
                if (result == kScenarioPassed) result = kScenarioMalformed;
            }
        }
        if (trace) std::fclose(trace);
        return result;
    }

private:
    double read(Simulator& sim, const Target& t, std::size_t index) const {
        if (t.token) return read_sim(sim.vars(), *t.token);
        return read_var(*t.var, index);
    }

    std::string describe(Simulator& sim, const Target& t) const {
        if (t.token) {
            return "sim:" + std::to_string(t.token->token) + " (" + t.token->name + ") = " +
                   format_number(read(sim, t, 0));
        }
        if (!t.whole_array) return t.text + " = " + format_number(read(sim, t, t.index));
        std::string s = t.text + " = {";
        for (std::size_t i = 0; i < t.var->count; ++i) s += (i ? ", " : "") + format_number(read(sim, t, i));
        return s + "}";
    }

    void set_sim(Simulator& sim, const TokenInfo& token, double value) {
        store_sim(sim.vars(), token, value);
        // Hours, minutes and seconds are views of the time of day: setting one moves the time of day.
        if (token.token == token::clock_hours || token.token == token::clock_minutes ||
            token.token == token::clock_seconds) {
            SimVars& v = sim.vars();
            const double tod = v.f64(token::time_of_day);
            const double fraction = tod - std::floor(tod);
            v.set_f64(token::time_of_day, v.f64(token::clock_hours) * kSecondsPerHour +
                                              v.f64(token::clock_minutes) * kSecondsPerMinute +
                                              v.f64(token::clock_seconds) + (std::isfinite(fraction) ? fraction : 0.0));
        }
    }

    int key_count(std::uint32_t id, bool with_value, std::uint32_t value) const {
        int n = 0;
        for (const KeyEvent& k : keys_) n += k.id == id && (!with_value || k.value == value);
        return n;
    }

    std::string key_label(std::uint32_t id) const {
        const KeyEventInfo* k = find_key_event(id);
        return format_key_id(id) + (k ? std::string(" (") + k->name + ")" : "");
    }

    std::string values_sent(std::uint32_t id) const {
        std::string s;
        int shown = 0;
        constexpr int kMaxShown = 8;
        for (const KeyEvent& k : keys_) {
            if (k.id != id) continue;
            if (shown++ == kMaxShown) {
                s += ", ...";
                break;
            }
            s += (s.empty() ? "" : ", ") + std::to_string(k.value);
        }
        return s;
    }

    bool failed(const Command& c, const std::string& expected, const std::string& actual) {
        std::fprintf(err_, "%s:%d: expect failed: %s\n  expected: %s\n  actual:   %s\n", file_.c_str(), c.line,
                     c.source.c_str(), expected.c_str(), actual.c_str());
        return false;
    }

    // Runs one command; false when it is an expect that does not hold.
    bool execute(Simulator& sim, const Command& c) {
        switch (c.kind) {
            case Kind::model: sim.model().set_enabled(c.flag); return true;
            case Kind::sim: set_sim(sim, *c.target.token, c.number); return true;
            case Kind::set: write_var(*c.target.var, c.number, c.target.index); return true;
            case Kind::tick:
                keys_.clear();
                sim.reset_sound_counts();
                for (long long i = 0; i < c.count; ++i) sim.frame();
                return true;
            case Kind::hold: sim.host().hold(c.target.token->token); return true;
            case Kind::release: sim.host().release(c.target.token->token); return true;
            case Kind::click: sim.click(*c.gauge, c.area); return true;
            case Kind::window: sim.host().set_window(c.id, c.flag); return true;
            case Kind::picture: {
                if (!pictures_) return true;
                std::string error;
                if (pictures_->take(c.target.text, sim.host(), sim.frames_run(), error)) return true;
                std::fprintf(err_, "%s:%d: %s\n", file_.c_str(), c.line, error.c_str());
                picture_failed_ = true;
                return false;
            }
            case Kind::print:
                for (const Target& t : c.prints) std::fprintf(out_, "%s:%d: %s\n", file_.c_str(), c.line, describe(sim, t).c_str());
                return true;
            default: break;
        }
        ++expects_;
        switch (c.kind) {
            case Kind::expect_value: {
                const double actual = read(sim, c.target, c.target.index);
                if (holds(actual, c.op, c.number)) return true;
                return failed(c, c.target.text + " " + op_text(c.op) + " " + format_number(c.number), describe(sim, c.target));
            }
            case Kind::expect_key: {
                if (key_count(c.id, c.flag, c.key_value) > 0) return true;
                const std::string sent = values_sent(c.id);
                return failed(c,
                              "key event " + key_label(c.id) +
                                  (c.flag ? " with value " + std::to_string(c.key_value) : std::string()) +
                                  " sent during the last tick or the clicks since",
                              sent.empty() ? "not sent" : "sent with value " + sent);
            }
            case Kind::expect_nokey: {
                const int n = key_count(c.id, false, 0);
                if (n == 0) return true;
                return failed(c, "key event " + key_label(c.id) + " not sent",
                              "sent " + std::to_string(n) + " times, with value " + values_sent(c.id));
            }
            case Kind::expect_keycount: {
                const int n = key_count(c.id, false, 0);
                if (n == c.count) return true;
                return failed(c, "key event " + key_label(c.id) + " sent " + std::to_string(c.count) + " times",
                              "sent " + std::to_string(n) + " times");
            }
            case Kind::expect_sound: {
                const char* name = snd::kSoundNames[c.sound];
                const std::uint32_t played = sim.play_once_count(c.sound);
                const bool looping = snd::mixer::state(name).looping;
                bool ok = false;
                std::string expected = std::string(name) + " ";
                switch (c.sound_check) {
                    case SoundCheck::played: ok = played > 0; expected += "played once during the last tick or the clicks since"; break;
                    case SoundCheck::notplayed: ok = played == 0; expected += "not played during the last tick or the clicks since"; break;
                    case SoundCheck::looping: ok = looping; expected += "looping now"; break;
                    case SoundCheck::notlooping: ok = !looping; expected += "not looping now"; break;
                }
                if (ok) return true;
                return failed(c, expected,
                              std::to_string(played) + " play-once requests; " + (looping ? "looping" : "not looping"));
            }
            case Kind::expect_window: {
                const bool open = sim.host().window_open(c.id);
                if (open == c.flag) return true;
                return failed(c, "window " + std::to_string(c.id) + (c.flag ? " open" : " closed"), open ? "open" : "closed");
            }
            case Kind::expect_element_shown: {
                const bool shown = is_visible(*c.element->header);
                if (shown == c.flag) return true;
                return failed(c, std::string(c.element->name) + (c.flag ? " shown" : " hidden"), shown ? "shown" : "hidden");
            }
            case Kind::expect_element_value: {
                const double v = sim.host().element_value(c.element->header);
                if (holds(v, c.op, c.number)) return true;
                return failed(c, std::string(c.element->name) + " value " + op_text(c.op) + " " + format_number(c.number),
                              std::string(c.element->name) + " value = " + format_number(v));
            }
            default: return true;
        }
    }

    const std::string& file_;
    const ScenarioOptions& options_;
    std::FILE* out_;
    std::FILE* err_;
    std::vector<KeyEvent> keys_;
    int expects_ = 0;
    std::unique_ptr<PictureBook> pictures_;
    bool picture_failed_ = false;
};

std::string trimmed_source(std::string_view line) {
    // The command as written, without its comment and surrounding blanks.
    bool quoted = false;
    std::size_t end = line.size();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == '#' && !quoted) {
            end = i;
            break;
        }
    }
    std::string_view s = line.substr(0, end);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    return std::string(s);
}

}  // namespace

int run_scenario(std::string_view script, const std::string& file_name, const ScenarioOptions& options,
                 std::FILE* out, std::FILE* err) {
    std::vector<Command> commands;
    std::vector<Word> words;
    int line_number = 0;
    std::size_t at = 0;
    while (at <= script.size()) {
        const std::size_t end = std::min(script.find('\n', at), script.size());
        const std::string_view line = script.substr(at, end - at);
        at = end + 1;
        ++line_number;
        std::string error;
        if (!split_words(line, words, error)) {
            std::fprintf(err, "%s:%d: malformed line: expected %s\n", file_name.c_str(), line_number, error.c_str());
            return kScenarioMalformed;
        }
        if (words.empty()) continue;
        try {
            Command c = Parser(words).parse();
            c.line = line_number;
            c.source = trimmed_source(line);
            commands.push_back(std::move(c));
        } catch (const Malformed& m) {
            std::fprintf(err, "%s:%d: malformed line: %s\n  %s\n", file_name.c_str(), line_number, m.what.c_str(),
                         trimmed_source(line).c_str());
            return kScenarioMalformed;
        }
        if (end == script.size()) break;
    }
    return Runner(file_name, options, out, err).run(commands);
}

int run_scenario_file(const std::string& path, const ScenarioOptions& options, std::FILE* out, std::FILE* err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(err, "%s: cannot read the scenario file\n", path.c_str());
        return kScenarioMalformed;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return run_scenario(text.str(), path, options, out, err);
}

}  // namespace tarvenol::host
