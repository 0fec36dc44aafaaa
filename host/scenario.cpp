#include "host/scenario.h"
#include "module/cockpit_layout.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <limits>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "host/aircraft_model.h"
#include "host/audio_file.h"
#include "host/invariants.h"
#include "host/pictures.h"
#include "host/sim_tokens.h"
#include "host/simulator.h"
#include "host/text.h"
#include "host/timeline.h"
#include "module/module_state.h"
#include "module/shared_state.h"
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

// Ctrl-C: set by the signal handler, read between frames.
volatile std::sig_atomic_t g_interrupt = 0;

// --- Commands ----------------------------------------------------------------------------------

enum class Op { eq, ne, lt, le, gt, ge, near, is_nan, not_nan };

const char* op_text(Op op) {
    switch (op) {
        case Op::eq: return "==";
        case Op::ne: return "!=";
        case Op::lt: return "<";
        case Op::le: return "<=";
        case Op::gt: return ">";
        case Op::ge: return ">=";
        case Op::near: return "~";
        case Op::is_nan: return "is";
        case Op::not_nan: return "is not";
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

// near: |actual - expected| <= tolerance.
bool holds(double actual, Op op, double expected, double tolerance = 0) {
    switch (op) {
        case Op::near: return std::fabs(actual - expected) <= tolerance;
        case Op::eq: return actual == expected;
        case Op::ne: return actual != expected;
        case Op::lt: return actual < expected;
        case Op::le: return actual <= expected;
        case Op::gt: return actual > expected;
        case Op::ge: return actual >= expected;
        case Op::is_nan: return std::isnan(actual);
        case Op::not_nan: return !std::isnan(actual);
    }
    return false;
}

// A module variable (one element, or a whole array for print) or a simulator variable.
struct Target {
    const VarRef* var = nullptr;
    std::size_t index = 0;
    bool whole_array = false;
    const TokenInfo* token = nullptr;
    const GaugeInfo* gauge = nullptr;  // an element's value: GAUGE NAME:ELEMENT
    ElementLink* element = nullptr;
    const FlightQuantity* flight = nullptr;  // flight:NAME
    std::string text;  // as written
};

enum class Kind {
    model, sim, set, tick, hold, release, click, window, flight, key,
    expect_value, expect_key, expect_nokey, expect_keycount, expect_sound, expect_window,
    expect_element_shown, expect_element_value, print, picture,
};

enum class SoundCheck { played, notplayed, looping, notlooping };

// What a flight command does.
enum class FlightOp { on, off, runway, approach, wind, report };

struct Command {
    Kind kind{};
    int line = 0;
    std::string source;  // the line as written, without its comment
    bool flag = false;   // model on, window open, element shown, key with a value
    double number = 0;   // sim/set value, expected value
    double tolerance = 0;  // expect ... ~ VALUE TOL
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
    FlightOp flight_op = FlightOp::on;
    std::vector<double> numbers;  // a flight command's figures
};

struct Malformed {
    std::string what;
};

struct VarLimits {
    bool whole;  // false: a double takes any value
    double lowest;
    double highest;
    const char* type;
};

VarLimits var_limits(VarType t) {
    switch (t) {
        case VarType::u8: return {true, 0, 255, "u8"};
        case VarType::i8: return {true, -128, 127, "i8"};
        case VarType::u16: return {true, 0, 65535, "u16"};
        case VarType::i16: return {true, -32768, 32767, "i16"};
        case VarType::u32: return {true, 0, 4294967295.0, "u32"};
        case VarType::i32: return {true, -2147483648.0, 2147483647.0, "i32"};
        case VarType::f64: return {false, 0, 0, "f64"};
    }
    return {false, 0, 0, "?"};
}

std::vector<std::string_view> module_var_names() {
    std::vector<std::string_view> names;
    for (const VarRef& v : shared_var_table()) names.push_back(v.name);
    for (const GaugeInfo* g : gauges())
        for (const VarRef& v : g->vars) names.push_back(v.name);
    return names;
}

class Parser {
public:
    explicit Parser(const std::vector<Word>& words) : w_(words) {}

    Command parse() {
        Command c;
        const std::string& verb = w_[0].text;
        if (w_[0].quoted) fail("a command (model, sim, set, tick, hold, release, click, window, expect, print)");
        if (verb == "model") {
            count(2, "model on|off");
            c.kind = Kind::model;
            c.flag = on_off(w_[1].text, "on", "off", "model on|off");
        } else if (verb == "sim") {
            count(3, "sim TOKEN VALUE");
            c.kind = Kind::sim;
            c.target.token = token(w_[1].text);
            c.target.text = w_[1].text;
            c.number = sim_value(*c.target.token, w_[2].text);
        } else if (verb == "set") {
            count(3, "set NAME VALUE");
            c.kind = Kind::set;
            c.target = module_var(w_[1].text, false);
            c.number = var_value(*c.target.var, w_[2].text);
        } else if (verb == "tick") {
            if (w_.size() > 2) fail("tick [N]");
            c.kind = Kind::tick;
            c.count = 1;
            if (w_.size() == 2) {
                long long n = 0;
                if (!parse_integer(w_[1].text, n) || n < 0 || n > kMaxTickFrames)
                    fail("a frame count from 0 to " + std::to_string(kMaxTickFrames) + " after tick, not " + w_[1].text);
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
            constexpr const char* kForm = "click \"GAUGE NAME\" AREA [hold N]";
            if (w_.size() != 3 && (w_.size() != 5 || w_[3].text != "hold")) fail(kForm);
            c.kind = Kind::click;
            if (w_.size() == 5) {
                // Held down for N frames: the simulator calls a repeating area's callback again each frame.
                long long n = 0;
                if (!parse_integer(w_[4].text, n) || n < 1 || n > kMaxTickFrames)
                    fail("a frame count from 1 to " + std::to_string(kMaxTickFrames) + " after hold, not " + w_[4].text);
                c.count = n;
            }
            c.gauge = gauge(w_[1].text);
            if (!find_area(*c.gauge, w_[2].text, &c.area)) {
                std::vector<std::string_view> names;
                for (std::size_t i = 0; i < c.gauge->area_count; ++i) names.push_back(c.gauge->areas[i].name);
                fail("a click area of " + std::string(c.gauge->name) + " (see cockpit-sim areas \"" + c.gauge->name +
                     "\"), not " + w_[2].text + did_you_mean(w_[2].text, names));
            }
        } else if (verb == "window") {
            count(3, "window ID open|closed");
            c.kind = Kind::window;
            c.id = window_id(w_[1].text);
            c.flag = on_off(w_[2].text, "open", "closed", "window ID open|closed");
        } else if (verb == "flight") {
            parse_flight(c);
        } else if (verb == "key") {
            // The pilot's own key or control, as the simulator takes it from its keyboard or joystick.
            if (w_.size() != 2 && w_.size() != 3) fail("key EVENT [VALUE]");
            c.kind = Kind::key;
            c.id = key_id(w_[1].text);
            if (!find_key_event(c.id)) fail("a key event the simulator knows (see cockpit-sim keys), not " + w_[1].text);
            if (w_.size() == 3) c.key_value = key_value(w_[2].text);
        } else if (verb == "expect") {
            parse_expect(c);
        } else if (verb == "print") {
            if (w_.size() < 2) fail("print NAME...");
            c.kind = Kind::print;
            for (std::size_t i = 1; i < w_.size(); ++i) c.prints.push_back(value_target(w_[i].text, true, true));
        } else if (verb == "picture") {
            count(2, "picture NAME");
            c.kind = Kind::picture;
            c.target.text = picture_name(w_[1].text);
        } else {
            fail("a command (model, sim, set, tick, hold, release, click, window, flight, key, expect, print, picture), not " +
                 verb +
                 did_you_mean(verb, {"model", "sim", "set", "tick", "hold", "release", "click", "window", "flight", "key",
                                     "expect", "print", "picture"}));
        }
        return c;
    }

    // As value_target, and a bare name that is no module variable may be a simulator variable's.
    Target watch_target(const std::string& s) const {
        const bool plain = s.rfind("sim:", 0) != 0 && s.find(':') == std::string::npos;
        if (plain && !find_var(s.substr(0, s.find('[')))) {
            if (const TokenInfo* t = find_token(s)) {
                Target target;
                target.text = s;
                target.token = t;
                return target;
            }
            std::vector<std::string_view> names = module_var_names();
            for (const TokenInfo& i : token_table()) names.push_back(i.name);
            fail("a module variable, a simulator variable or \"GAUGE NAME:ELEMENT\", not " + s + did_you_mean(s, names));
        }
        return value_target(s, false, true);
    }

private:
    [[noreturn]] void fail(const std::string& expected) const { throw Malformed{"expected " + expected}; }
    [[noreturn]] void refuse(const std::string& why) const { throw Malformed{why}; }

    // A picture's name is also its folder: letters, digits, '-' and '_'.
    std::string picture_name(const std::string& s) const {
        const bool ok = !s.empty() && std::all_of(s.begin(), s.end(), [](char ch) {
            return std::isalnum(static_cast<unsigned char>(ch)) || ch == '-' || ch == '_';
        });
        if (!ok) fail("a picture name (letters, digits, - and _), not " + s);
        return s;
    }

    // " (did you mean x?)" for a name nearly one of the candidates.
    static std::string did_you_mean(std::string_view word, const std::vector<std::string_view>& candidates) {
        const std::string near = nearest_name(word, candidates);
        return near.empty() ? std::string() : " (did you mean " + near + "?)";
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
        if (!parse_number(s, v)) fail(what + " (decimal or 0x hex, within the range of a double), not " + s);
        return v;
    }

    // A value the variable holds as written; anything it would have to change is refused.
    double var_value(const VarRef& var, const std::string& s) const {
        const double v = number(s, "a number as VALUE");
        const VarLimits limits = var_limits(var.type);
        if (!limits.whole) return v;
        if (!std::isfinite(v) || v != std::trunc(v) || v < limits.lowest || v > limits.highest)
            refuse(std::string(var.name) + " is " + limits.type + ", a whole number from " + format_number(limits.lowest) +
                 " to " + format_number(limits.highest) + ": not " + s);
        return v;
    }

    double sim_value(const TokenInfo& token, const std::string& s) const {
        const double v = number(s, "a number as VALUE");
        if (token.type == SimType::f64) return v;
        // A 32-bit integer: its bits, so flag words from 0x80000000 up go in whole.
        constexpr double kLowest = -2147483648.0;
        constexpr double kHighest = 4294967295.0;
        if (!std::isfinite(v) || v != std::trunc(v) || v < kLowest || v > kHighest)
            refuse(std::string(token.name) + " is read as INT32, a whole number from -2147483648 to 4294967295 (0xFFFFFFFF): not " + s);
        return v;
    }

    const TokenInfo* token(const std::string& s) const {
        const TokenInfo* t = find_token(s);
        if (!t) {
            std::vector<std::string_view> names;
            for (const TokenInfo& i : token_table()) names.push_back(i.name);
            fail("a simulator variable token or name (see cockpit-sim tokens), not " + s + did_you_mean(s, names));
        }
        return t;
    }

    const GaugeInfo* gauge(const std::string& s) const {
        const GaugeInfo* g = find_gauge(s);
        if (!g) fail("a gauge name (see cockpit-sim gauges), not \"" + s + "\"" + gauge_suggestion(s));
        return g;
    }

    ElementLink* element(const GaugeInfo& g, const std::string& s) const {
        ElementLink* e = find_element(g, s);
        if (!e) {
            std::vector<std::string_view> names;
            for (std::size_t i = 0; i < g.element_count; ++i) names.push_back(g.elements[i]->name);
            fail("an element of " + std::string(g.name) + " (see cockpit-sim elements \"" + g.name + "\"), not " + s +
                 did_you_mean(s, names));
        }
        return e;
    }

    std::uint32_t window_id(const std::string& s) const {
        long long id = 0;
        constexpr long long kMaxId = 0xFFFFFFFF;
        if (!parse_integer(s, id) || id < 0 || id > kMaxId) fail("a panel window id, not " + s);
        // Only the windows the cockpit has: a mistyped id would open or test nothing.
        if (!cockpit::find_window(static_cast<std::uint32_t>(id)) || id == cockpit::kMainPanel) {
            std::string ids;
            for (const cockpit::Window& w : cockpit::windows())
                if (w.id != cockpit::kMainPanel) ids += (ids.empty() ? "" : ", ") + std::to_string(w.id);
            fail("a panel window of the cockpit (" + ids + "), not " + s);
        }
        return static_cast<std::uint32_t>(id);
    }

    std::uint32_t key_id(const std::string& s) const {
        if (const KeyEventInfo* k = find_key_event(s)) return k->id;
        long long id = 0;
        constexpr long long kMaxId = 0xFFFFFFFF;
        if (!parse_integer(s, id) || id < 0 || id > kMaxId) {
            std::vector<std::string_view> names;
            for (const KeyEventInfo& k : key_event_table()) names.push_back(k.name);
            fail("a key event id (e.g. 0x102C1) or name (see cockpit-sim keys), not " + s + did_you_mean(s, names));
        }
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
        if (!t.var) fail("a module variable (see cockpit-sim vars), not " + name + did_you_mean(name, module_var_names()));
        if (indexed && t.index >= t.var->count)
            fail("an index below " + std::to_string(t.var->count) + " for " + name + ", not " + std::to_string(t.index));
        if (!indexed && t.var->count > 1) {
            if (!allow_whole_array)
                fail(name + "[i]: " + name + " has " + std::to_string(t.var->count) + " elements");
            t.whole_array = true;
        }
        return t;
    }

public:
    // A module variable, sim:TOKEN, or (where elements are allowed) GAUGE NAME:ELEMENT.
    Target value_target(const std::string& s, bool allow_whole_array, bool allow_element = false) const {
        constexpr std::string_view kSimPrefix = "sim:";
        constexpr std::string_view kFlightPrefix = "flight:";
        if (s.rfind(kFlightPrefix, 0) == 0) {
            Target t;
            t.text = s;
            const std::string name = s.substr(kFlightPrefix.size());
            t.flight = find_flight_quantity(name);
            if (!t.flight) {
                std::vector<std::string_view> names;
                for (const FlightQuantity& q : flight_quantities()) names.push_back(q.name);
                fail("a flight figure (README, \"Flying\"), not " + s + did_you_mean(name, names));
            }
            return t;
        }
        if (s.rfind(kSimPrefix, 0) == 0) {
            Target t;
            t.text = s;
            t.token = token(s.substr(kSimPrefix.size()));
            return t;
        }
        const std::size_t colon = s.rfind(':');
        if (allow_element && colon != std::string::npos) {
            Target t;
            t.text = s;
            t.gauge = gauge(s.substr(0, colon));
            t.element = element(*t.gauge, s.substr(colon + 1));
            return t;
        }
        return module_var(s, allow_whole_array);
    }

private:

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
            if (c.sound == snd::kSoundCount) {
                std::vector<std::string_view> names(std::begin(snd::kSoundNames), std::end(snd::kSoundNames));
                fail("a sound name (see cockpit-sim sounds), not " + w_[2].text + did_you_mean(w_[2].text, names));
            }
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
            c.element = element(*c.gauge, w_[3].text);
            if (w_[4].text == "value") {
                if (w_.size() < 7) fail("expect element \"GAUGE NAME\" ELEMENT value OP V");
                c.kind = Kind::expect_element_value;
                comparison(c, 5, "expect element \"GAUGE NAME\" ELEMENT value OP V (or ~ V TOL)");
            } else {
                count(5, "expect element \"GAUGE NAME\" ELEMENT shown|hidden");
                c.kind = Kind::expect_element_shown;
                c.flag = on_off(w_[4].text, "shown", "hidden", "shown, hidden or value OP V");
            }
        } else {
            if (w_.size() < 4) fail("expect NAME OP VALUE (or expect NAME ~ VALUE TOL)");
            c.kind = Kind::expect_value;
            c.target = value_target(what, false);
            comparison(c, 2, "expect NAME OP VALUE (or expect NAME ~ VALUE TOL)");
        }
    }

    // flight on|off|runway|report, flight approach BEFORE_M RIGHT_M HEIGHT_FT IAS_KT [HEADING_OFFSET],
    // flight wind FROM_DEG KNOTS.
    void parse_flight(Command& c) const {
        constexpr const char* kForms = "flight on|off|runway|report, flight approach BEFORE_M RIGHT_M HEIGHT_FT IAS_KT "
                                       "[HEADING_OFFSET_DEG] or flight wind FROM_DEG KNOTS";
        if (w_.size() < 2) fail(kForms);
        c.kind = Kind::flight;
        const std::string& op = w_[1].text;
        std::size_t figures = 0, optional = 0;
        if (op == "on") c.flight_op = FlightOp::on;
        else if (op == "off") c.flight_op = FlightOp::off;
        else if (op == "runway") c.flight_op = FlightOp::runway;
        else if (op == "report") c.flight_op = FlightOp::report;
        else if (op == "approach") c.flight_op = FlightOp::approach, figures = 4, optional = 1;
        else if (op == "wind") c.flight_op = FlightOp::wind, figures = 2;
        else fail(kForms);
        if (w_.size() < 2 + figures || w_.size() > 2 + figures + optional) fail(kForms);
        for (std::size_t i = 2; i < w_.size(); ++i) {
            const double n = number(w_[i].text, "a figure");
            if (!std::isfinite(n)) fail("a finite figure, not " + w_[i].text);
            c.numbers.push_back(n);
        }
        if (c.flight_op == FlightOp::approach && (c.numbers[2] < 0 || c.numbers[3] <= 0))
            fail("a height of 0 ft or more and a speed above 0 kt");
        if (c.flight_op == FlightOp::wind && c.numbers[1] < 0) fail("a wind of 0 kt or more");
    }

    // OP VALUE, ~ VALUE TOL, or is [not] nan, from word `at` to the end of the line.
    void comparison(Command& c, std::size_t at, const std::string& form) const {
        if (w_[at].text == "is") {
            const bool negated = w_.size() == at + 3 && w_[at + 1].text == "not";
            if (w_.size() != at + (negated ? 3 : 2) || w_.back().text != "nan") fail("is nan or is not nan after " + form);
            c.op = negated ? Op::not_nan : Op::is_nan;
            c.number = std::numeric_limits<double>::quiet_NaN();
            return;
        }
        if (w_[at].text == "~") {
            count(at + 3, form);
            c.op = Op::near;
            c.number = number(w_[at + 1].text, "a number to compare with");
            if (std::isnan(c.number)) fail("a number to compare with: nothing is near nan; to check for it write is nan");
            c.tolerance = number(w_[at + 2].text, "a tolerance");
            if (!(c.tolerance >= 0) || std::isinf(c.tolerance)) fail("a tolerance of 0 or more, not " + w_[at + 2].text);
            return;
        }
        count(at + 2, form);
        if (!parse_op(w_[at].text, c.op)) fail("one of == != < <= > >= ~, not " + w_[at].text);
        c.number = number(w_[at + 1].text, "a number to compare with");
        if (std::isnan(c.number))
            fail("a number to compare with: nan equals nothing, itself included, so " + w_[at].text +
                 " nan never holds; to check for it write is nan (or is not nan)");
    }

    const std::vector<Word>& w_;
};

// --- Running -----------------------------------------------------------------------------------

// The key events of the last tick command and the clicks since: per event, how often it was sent,
// the first values in order and which values were sent (up to a bound, so that a long tick stays
// small however many events its frames send).
class KeyLog {
public:
    static constexpr std::size_t kValuesInOrder = 8;
    static constexpr std::size_t kDistinctValues = 1024;

    void clear() { events_.clear(); }
    void add(const KeyEvent& k) {
        Event& e = events_[k.id];
        ++e.count;
        if (e.in_order.size() < kValuesInOrder) e.in_order.push_back(k.value);
        if (e.values.size() < kDistinctValues)
            e.values.insert(k.value);
        else if (!e.values.count(k.value))
            e.values_lost = true;
    }
    long long count(std::uint32_t id) const {
        auto it = events_.find(id);
        return it == events_.end() ? 0 : it->second.count;
    }
    bool sent_with(std::uint32_t id, std::uint32_t value) const {
        auto it = events_.find(id);
        return it != events_.end() && it->second.values.count(value);
    }
    bool values_lost(std::uint32_t id) const {
        auto it = events_.find(id);
        return it != events_.end() && it->second.values_lost;
    }
    std::string values_sent(std::uint32_t id) const {
        auto it = events_.find(id);
        if (it == events_.end()) return {};
        std::string s;
        for (std::uint32_t v : it->second.in_order) s += (s.empty() ? "" : ", ") + std::to_string(v);
        if (it->second.count > static_cast<long long>(it->second.in_order.size())) s += ", ...";
        return s;
    }

private:
    struct Event {
        long long count = 0;
        std::vector<std::uint32_t> in_order;
        std::set<std::uint32_t> values;
        bool values_lost = false;
    };
    std::map<std::uint32_t, Event> events_;
};

// Frames done, simulated time and rate, redrawn in place on a terminal.
class Progress {
public:
    Progress(bool on, std::FILE* err) : on_(on), err_(err), started_(Clock::now()), last_(started_) {}

    void update(long frames, long long tick_done, long long tick_total) {
        if (!on_) return;
        const auto now = Clock::now();
        constexpr auto kFirstAfter = std::chrono::seconds(1);
        constexpr auto kEvery = std::chrono::milliseconds(250);
        if (now - started_ < kFirstAfter || now - last_ < kEvery) return;
        last_ = now;
        const double wall = std::chrono::duration<double>(now - started_).count();
        const double simulated = static_cast<double>(frames) * kSecondsPerTick;
        std::fprintf(err_, "\r  frame %ld, %.0f s simulated, %.0f frames/s (this tick %lld of %lld)   ", frames, simulated,
                     static_cast<double>(frames) / wall, tick_done, tick_total);
        std::fflush(err_);
        drawn_ = true;
    }
    void clear() {
        if (!drawn_) return;
        std::fprintf(err_, "\r\033[K");
        std::fflush(err_);
        drawn_ = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    bool on_;
    std::FILE* err_;
    Clock::time_point started_;
    Clock::time_point last_;
    bool drawn_ = false;
};

class Runner {
    friend class tarvenol::host::ScenarioSession;

public:
    Runner(const std::string& file, const ScenarioOptions& options, std::FILE* out, std::FILE* err)
        : file_(file), options_(options), out_(out), err_(err), progress_(options.progress, err) {}

    int run(const std::vector<Command>& commands) {
        for (const std::string& w : options_.watch) {
            if (const std::string wrong = check_watch_name(w); !wrong.empty()) {
                std::fprintf(err_, "%s: --watch %s: %s\n", file_.c_str(), escape_control(w).c_str(), wrong.c_str());
                return kScenarioMalformed;
            }
        }
        // A recording that cannot fit a WAV file is refused before anything runs.
        long long total_frames = 0;
        for (const Command& c : commands)
            if (c.kind == Kind::tick || c.kind == Kind::click) total_frames += c.count;
        if (!options_.audio_path.empty() && static_cast<std::uint64_t>(total_frames) > WavStream::max_frames()) {
            std::fprintf(err_,
                         "%s: refused: --audio would record %lld frames; a WAV file holds at most %llu frames "
                         "(%.1f hours of simulated time)\n",
                         file_.c_str(), total_frames, static_cast<unsigned long long>(WavStream::max_frames()),
                         static_cast<double>(WavStream::max_frames()) * kSecondsPerTick / kSecondsPerHour);
            return kScenarioMalformed;
        }
        std::FILE* trace = nullptr;
        if (!options_.trace_path.empty()) {
            trace = std::fopen(options_.trace_path.c_str(), "w+b");  // read back by the viewer
            if (!trace) return io_error("cannot write the trace file " + options_.trace_path);
        }
        // The viewer shows the timeline beside the pictures: without a trace file, one kept aside.
        if (!options_.pictures_dir.empty() && !trace) trace = std::tmpfile();
        if (!options_.pictures_dir.empty()) {
            pictures_ = std::make_unique<PictureBook>(options_.pictures_dir);
            viewer_text_ = std::tmpfile();  // the printed timeline, cut at each picture for the viewer
        }
        WavStream audio;
        if (!options_.audio_path.empty() && !audio.open(options_.audio_path)) {
            if (trace) std::fclose(trace);
            return io_error("cannot write the audio file " + options_.audio_path);
        }
        int result = kScenarioPassed;
        std::string failure;
        {
            Simulator sim;
            Timeline timeline(options_.quiet ? nullptr : out_, trace, options_.full_first_frame);
            timeline.set_text_copy(viewer_text_);
            for (const std::string& w : options_.watch) add_watch(timeline, sim, w);
            const bool with_timeline = !options_.quiet || trace;
            if (with_timeline) sim.set_timeline(&timeline);
            sim.set_key_log([this](const KeyEvent& k) { keys_.add(k); });
            if (!options_.audio_path.empty()) sim.set_audio(&audio);

            for (const Command& c : commands) {
                if (g_interrupt) interrupted_ = true;
                if (interrupted_ || !execute(sim, c, trace)) {
                    result = interrupted_ ? kScenarioInterrupted : io_failed_ ? kScenarioIoError : kScenarioExpectFailed;
                    break;
                }
            }
            if (interrupted_) {
                progress_.clear();
                std::fflush(out_);
                std::fprintf(err_, "%s: interrupted at frame %ld\n", file_.c_str(), sim.frames_run());
            }
            progress_.clear();
            if (with_timeline) timeline.finish();
            sim.set_timeline(nullptr);
            sim.set_key_log(nullptr);
            sim.set_audio(nullptr);
            if (!options_.audio_path.empty() && !audio.close() && result != kScenarioIoError)
                result = io_error("cannot write the audio file " + options_.audio_path + describe_errno());
            if (result == kScenarioPassed && !options_.quiet)
                std::fprintf(out_, "%s: passed (%d expects, %ld frames)\n", file_.c_str(), expects_, sim.frames_run());
        }
        if (pictures_ && !pictures_->pictures().empty()) {
            std::string error;
            if (trace) std::fflush(trace);
            if (pictures_->write_viewer(file_, trace, viewer_text_, text_offsets_, error)) {
                if (!options_.quiet || options_.viewer_note)
                    std::fprintf(out_, "%s: pictures and viewer in %s/index.html\n", file_.c_str(), pictures_->dir().c_str());
            } else {
                std::fprintf(err_, "%s: %s\n", file_.c_str(), error.c_str());
                if (result == kScenarioPassed) result = kScenarioIoError;
            }
        }
        if (viewer_text_) std::fclose(viewer_text_);
        viewer_text_ = nullptr;
        if (trace) {
            const bool written = std::fflush(trace) == 0 && !std::ferror(trace);
            if (std::fclose(trace) != 0 || !written) {
                if (result != kScenarioIoError)
                    result = io_error("cannot write the trace file " + options_.trace_path + describe_errno());
            }
        }
        if (std::fflush(out_) != 0 || std::ferror(out_)) {
            if (result != kScenarioIoError) result = io_error("cannot write the output" + describe_errno());
        }
        // The failure again as the last line, where a reader of a long log looks first.
        if (result == kScenarioExpectFailed) std::fprintf(err_, "%s\n", last_failure_.c_str());
        return result;
    }

private:
    static std::string describe_errno() { return errno ? std::string(": ") + std::strerror(errno) : std::string(); }

    int io_error(const std::string& what) {
        std::fflush(out_);
        std::fprintf(err_, "%s: %s\n", file_.c_str(), what.c_str());
        return kScenarioIoError;
    }

    void add_watch(Timeline& timeline, Simulator& sim, const std::string& name) {
        std::vector<Word> words{Word{name, true}};
        const Target t = Parser(words).watch_target(name);
        timeline.watch(name, [this, &sim, t] { return read(sim, t, t.index); });
    }

    double read(Simulator& sim, const Target& t, std::size_t index) const {
        if (t.flight) return t.flight->get(sim.flight());
        if (t.token) return read_sim(sim.vars(), *t.token);
        if (t.element) return sim.host().element_value(t.element->header);
        return read_var(*t.var, index);
    }

    // NAME = value, as print shows it (readable) or a failure (full precision).
    std::string describe(Simulator& sim, const Target& t, bool full = false) const {
        const auto text = [full](double v) { return full ? format_number(v) : format_readable(v); };
        if (t.flight) return t.text + " = " + text(read(sim, t, 0));
        if (t.token) {
            return "sim:" + std::to_string(t.token->token) + " (" + t.token->name + ") = " + text(read(sim, t, 0));
        }
        if (t.element) {
            const abi::ELEMENT_HEADER* h = t.element->header;
            std::string s = t.text + " = " + text(read(sim, t, 0)) + (is_visible(*h) ? " (shown" : " (hidden");
            if (h->element_type == abi::ELEMENT_TYPE_STRING)
                s += ", text \"" + escape_control(sim.host().element_text(h)) + "\"";
            return s + ")";
        }
        if (!t.whole_array) return t.text + " = " + text(read(sim, t, t.index));
        std::string s = t.text + " = {";
        for (std::size_t i = 0; i < t.var->count; ++i) s += (i ? ", " : "") + text(read(sim, t, i));
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

    std::string key_label(std::uint32_t id) const {
        const KeyEventInfo* k = find_key_event(id);
        return format_key_id(id) + (k ? std::string(" (") + k->name + ")" : "");
    }

    bool failed(const Command& c, const std::string& expected, const std::string& actual) {
        // What the timeline printed so far comes first, when both streams go to one file.
        std::fflush(out_);
        std::fprintf(err_, "%s:%d: expect failed: %s\n  expected: %s\n  actual:   %s\n", file_.c_str(), c.line,
                     c.source.c_str(), expected.c_str(), actual.c_str());
        std::fflush(err_);
        last_failure_ = file_ + ":" + std::to_string(c.line) + ": failed: " + c.source;
        return false;
    }

    // Where a sound expected as played this time was played instead.
    std::string where_played(const Simulator& sim, snd::SoundId sound) const {
        const auto i = static_cast<std::size_t>(sound);
        const char* name = snd::kSoundNames[sound];
        if (click_played_before_tick_[i] > 0)
            return std::string("; ") + name + " was played by the click at line " +
                   std::to_string(click_played_before_tick_[i]) +
                   ", before the last tick (an expect sees the last tick command and the clicks since)";
        const long frame = sim.last_played(sound);
        if (frame > 0) return std::string("; ") + name + " was last played in frame " + std::to_string(frame);
        return std::string("; ") + name + " was not played in this run";
    }

    bool flight(Simulator& sim, const Command& c) {
        FlightModel& f = sim.flight();
        switch (c.flight_op) {
            case FlightOp::on: f.set_enabled(true); break;
            case FlightOp::off: f.set_enabled(false); break;
            case FlightOp::runway: f.place_on_runway(); break;
            case FlightOp::approach:
                if (const std::string refused = f.envelope_fault(sim.model(), c.numbers[3]); !refused.empty()) {
                    ++expects_;
                    return failed(c, "a placement inside the flight envelope", refused);
                }
                f.place_on_approach(c.numbers[0], c.numbers[1], c.numbers[2], c.numbers[3], c.numbers.size() > 4 ? c.numbers[4] : 0.0);
                break;
            case FlightOp::wind: f.set_wind(c.numbers[0], c.numbers[1]); break;
            case FlightOp::report:
                progress_.clear();
                print_flight_report(f, out_);
                // Anything but a landing within limits, stopped on the runway, fails the run.
                ++expects_;
                if (f.judgement().verdict != Verdict::landed) return failed(c, "a landing within limits, stopped on the runway", f.verdict_text());
                break;
        }
        return true;
    }

    bool tick(Simulator& sim, const Command& c, std::FILE* trace) {
        start_tick(sim);
        return run_frames(sim, c.count, trace, &c);
    }

    // A tick command begins: what expects look at (key events, sounds) starts afresh.
    void start_tick(Simulator& sim) {
        // Sounds played by clicks before this tick, for the message of a failing expect sound.
        click_played_before_tick_ = click_played_;
        click_played_.fill(0);
        keys_.clear();
        sim.reset_sound_counts();
    }

    // Frames of the tick command begun last; false when the output could not be written.
    // `c` is the tick command that runs them, when there is one (an invariant broken fails it).
    bool run_frames(Simulator& sim, long long count, std::FILE* trace, const Command* c = nullptr) {
        constexpr long long kCheckEvery = 256;  // frames between looks at the clock and the output
        std::optional<FrameInvariants> invariants;
        if (options_.invariants) invariants.emplace(sim.host());
        for (long long i = 0; i < count; ++i) {
            if (g_interrupt) {
                interrupted_ = true;
                return false;
            }
            if (invariants) invariants->before_frame();
            sim.frame();
            if (invariants) {
                if (const auto broken = invariants->after_frame(); !broken.empty()) {
                    progress_.clear();
                    const std::string expected = "every invariant of the cockpit holds after frame " + std::to_string(sim.frames_run());
                    if (c) return failed(*c, expected, host::describe(broken.front()));
                    std::fflush(out_);
                    std::fprintf(err_, "%s: %s\n  actual:   %s\n", file_.c_str(), expected.c_str(), host::describe(broken.front()).c_str());
                    return false;
                }
            }
            if ((i + 1) % kCheckEvery == 0) {
                progress_.update(sim.frames_run(), i + 1, count);
                // Output that cannot be written ends the run rather than running on unseen.
                if ((!options_.quiet && std::ferror(out_)) || (trace && std::ferror(trace))) {
                    progress_.clear();
                    io_failed_ = true;
                    io_error(std::string("cannot write ") + (trace && std::ferror(trace) ? "the trace file" : "the output") +
                             describe_errno());
                    return false;
                }
            }
        }
        return true;
    }

    // A click held down for c.count frames, as a tick command: the press, then after every frame the
    // simulator's repeat call while the area repeats (a plain area acts once, on the press).
    bool held_click(Simulator& sim, const Command& c, std::FILE* trace) {
        start_tick(sim);
        sim.click(*c.gauge, c.area);
        const bool repeats = sim.host().repeats(*c.gauge->header, c.area);
        for (long long i = 0; i < c.count; ++i) {
            if (!run_frames(sim, 1, trace, &c)) return false;
            if (repeats) sim.click(*c.gauge, c.area, ClickKind::repeat);
        }
        return true;
    }

    // Runs one command; false when it is an expect that does not hold (or the output failed).
    bool execute(Simulator& sim, const Command& c, std::FILE* trace) {
        switch (c.kind) {
            case Kind::model: sim.model().set_enabled(c.flag); return true;
            case Kind::sim: set_sim(sim, *c.target.token, c.number); return true;
            case Kind::set: write_var(*c.target.var, c.number, c.target.index); return true;
            case Kind::tick: return tick(sim, c, trace);
            case Kind::hold: sim.host().hold(c.target.token->token); return true;
            case Kind::release: sim.host().release(c.target.token->token); return true;
            case Kind::click: {
                if (c.count > 0) return held_click(sim, c, trace);
                std::array<std::uint32_t, snd::kSoundCount> before{};
                for (int i = 0; i < snd::kSoundCount; ++i) before[i] = sim.play_once_count(static_cast<snd::SoundId>(i));
                sim.click(*c.gauge, c.area);
                for (int i = 0; i < snd::kSoundCount; ++i)
                    if (sim.play_once_count(static_cast<snd::SoundId>(i)) != before[i]) click_played_[i] = c.line;
                return true;
            }
            case Kind::window: sim.host().set_window(c.id, c.flag); return true;
            case Kind::flight: return flight(sim, c);
            case Kind::key: sim.pilot_key(c.id, c.key_value); return true;
            case Kind::picture: {
                if (!pictures_) return true;
                std::string error;
                if (pictures_->take(c.target.text, sim.host(), sim.frames_run(), error)) {
                    text_offsets_.push_back(viewer_text_ ? std::ftell(viewer_text_) : 0);
                    return true;
                }
                std::fflush(out_);
                std::fprintf(err_, "%s:%d: %s\n", file_.c_str(), c.line, error.c_str());
                io_failed_ = true;
                return false;
            }
            case Kind::print:
                progress_.clear();
                for (const Target& t : c.prints) std::fprintf(out_, "%s:%d: %s\n", file_.c_str(), c.line, describe(sim, t).c_str());
                return true;
            default: break;
        }
        ++expects_;
        progress_.clear();
        switch (c.kind) {
            case Kind::expect_value: {
                const double actual = read(sim, c.target, c.target.index);
                if (holds(actual, c.op, c.number, c.tolerance)) return true;
                return failed(c, c.target.text + " " + comparison_text(c), describe(sim, c.target, true));
            }
            case Kind::expect_key: {
                if (c.flag ? keys_.sent_with(c.id, c.key_value) : keys_.count(c.id) > 0) return true;
                const std::string sent = keys_.values_sent(c.id);
                std::string actual = sent.empty() ? "not sent" : "sent with value " + sent;
                if (keys_.values_lost(c.id))
                    actual += " (more than " + std::to_string(KeyLog::kDistinctValues) + " different values: not all kept)";
                return failed(c,
                              "key event " + key_label(c.id) +
                                  (c.flag ? " with value " + std::to_string(c.key_value) : std::string()) +
                                  " sent during the last tick or the clicks since",
                              actual);
            }
            case Kind::expect_nokey: {
                const long long n = keys_.count(c.id);
                if (n == 0) return true;
                return failed(c, "key event " + key_label(c.id) + " not sent",
                              "sent " + std::to_string(n) + " times, with value " + keys_.values_sent(c.id));
            }
            case Kind::expect_keycount: {
                const long long n = keys_.count(c.id);
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
                std::string actual = std::to_string(played) + " play-once requests; " + (looping ? "looping" : "not looping");
                if (c.sound_check == SoundCheck::played) actual += where_played(sim, c.sound);
                return failed(c, expected, actual);
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
                if (holds(v, c.op, c.number, c.tolerance)) return true;
                return failed(c, std::string(c.element->name) + " value " + comparison_text(c),
                              std::string(c.element->name) + " value = " + format_number(v));
            }
            default: return true;
        }
    }

    static std::string comparison_text(const Command& c) {
        if (c.op == Op::near) return "within " + format_number(c.tolerance) + " of " + format_number(c.number);
        if (c.op == Op::is_nan) return "is nan";
        if (c.op == Op::not_nan) return "is not nan";
        return std::string(op_text(c.op)) + " " + format_number(c.number);
    }

    const std::string& file_;
    const ScenarioOptions& options_;
    std::FILE* out_;
    std::FILE* err_;
    Progress progress_;
    KeyLog keys_;
    std::array<int, snd::kSoundCount> click_played_{};             // line of the last click that played it, since the last tick
    std::array<int, snd::kSoundCount> click_played_before_tick_{};  // ... before the last tick
    std::string last_failure_;
    bool io_failed_ = false;
    bool interrupted_ = false;  // Ctrl-C: the run stopped at a frame boundary
    std::unique_ptr<PictureBook> pictures_;
    std::FILE* viewer_text_ = nullptr;  // the printed timeline kept for the viewer
    std::vector<long> text_offsets_;    // where it stood at each picture
    int expects_ = 0;
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
    return escape_control(s);
}

}  // namespace

std::string gauge_suggestion(std::string_view name) {
    std::vector<std::string_view> names;
    for (const GaugeInfo* g : gauges()) names.push_back(g->name);
    const std::string near = nearest_name(name, names);
    return near.empty() ? std::string() : " (did you mean \"" + near + "\"?)";
}

std::string check_watch_name(const std::string& name) {
    try {
        std::vector<Word> words{Word{name, true}};
        Parser(words).watch_target(name);
        return {};
    } catch (const Malformed& m) {
        return m.what;
    }
}

namespace {

// Every line is checked and every malformed one reported (up to a screenful) on err; the
// commands of a script without a malformed line. Line numbers count from first_line.
int parse_script(std::string_view script, const std::string& file_name, std::FILE* err, std::vector<Command>& commands,
                 int first_line = 1) {
    // A byte-order mark, as some editors write at the start of a UTF-8 file, is not part of the script.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (script.substr(0, kByteOrderMark.size()) == kByteOrderMark) script.remove_prefix(kByteOrderMark.size());

    constexpr int kMaxReported = 50;
    int malformed = 0;
    std::vector<Word> words;
    int line_number = first_line - 1;
    std::size_t at = 0;
    const auto report = [&](const std::string& what, std::string_view line) {
        if (++malformed <= kMaxReported)
            std::fprintf(err, "%s:%d: malformed line: %s\n  %s\n", file_name.c_str(), line_number,
                         escape_control(shorten_long_words(what)).c_str(), shorten_long_words(trimmed_source(line)).c_str());
    };
    while (at <= script.size()) {
        const std::size_t end = std::min(script.find('\n', at), script.size());
        const std::string_view line = script.substr(at, end - at);
        at = end + 1;
        ++line_number;
        std::string error;
        if (!split_words(line, words, error)) {
            report("expected " + error, line);
        } else if (!words.empty()) {
            try {
                Command c = Parser(words).parse();
                c.line = line_number;
                c.source = trimmed_source(line);
                commands.push_back(std::move(c));
            } catch (const Malformed& m) {
                report(m.what, line);
            }
        }
        if (end == script.size()) break;
    }
    if (malformed > kMaxReported)
        std::fprintf(err, "%s: ... and %d more malformed lines\n", file_name.c_str(), malformed - kMaxReported);
    return malformed;
}

}  // namespace

int run_scenario(std::string_view script, const std::string& file_name, const ScenarioOptions& options,
                 std::FILE* out, std::FILE* err) {
    std::vector<Command> commands;
    if (const int malformed = parse_script(script, file_name, err, commands); malformed > 0) {
        std::fprintf(err, "%s: %d malformed line%s; nothing ran\n", file_name.c_str(), malformed, malformed == 1 ? "" : "s");
        return kScenarioMalformed;
    }
    return Runner(file_name, options, out, err).run(commands);
}

void request_interrupt() { g_interrupt = 1; }

int run_scenario_file(const std::string& path, const ScenarioOptions& options, std::FILE* out, std::FILE* err) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        std::fprintf(err, "%s: cannot read the scenario file: %s\n", path.c_str(), std::strerror(errno));
        return kScenarioIoError;
    }
    if (S_ISDIR(info.st_mode)) {
        std::fprintf(err, "%s: is a directory, not a scenario file\n", path.c_str());
        return kScenarioMalformed;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::fprintf(err, "%s: cannot read the scenario file: %s\n", path.c_str(), std::strerror(errno));
        return kScenarioIoError;
    }
    // Read at most one byte beyond the limit: an endless device or a huge file is refused, not read.
    std::string text;
    char buffer[1 << 16];
    std::size_t n = 0;
    while (text.size() <= kMaxScenarioBytes && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    const bool read_error = std::ferror(f) != 0;
    std::fclose(f);
    if (read_error) {
        std::fprintf(err, "%s: cannot read the scenario file\n", path.c_str());
        return kScenarioIoError;
    }
    if (text.size() > kMaxScenarioBytes) {
        std::fprintf(err, "%s: refused: larger than %llu MB, not a scenario script\n", path.c_str(),
                     static_cast<unsigned long long>(kMaxScenarioBytes >> 20));
        return kScenarioMalformed;
    }
    // A picture, a program or any other binary file: said once, not reported line by line.
    if (text.find('\0') != std::string::npos) {
        std::fprintf(err, "%s: refused: not a text file (it holds NUL bytes), not a scenario script\n", path.c_str());
        return kScenarioMalformed;
    }
    return run_scenario(text, path, options, out, err);
}

}  // namespace tarvenol::host

namespace tarvenol::host {

// --- A session, a line at a time ---------------------------------------------------------------

struct ScenarioSession::State {
    State(std::string name_, std::FILE* out_, std::FILE* err_, std::FILE* csv_)
        : name(std::move(name_)), out(out_), err(err_), csv(csv_), timeline(out_, csv_), runner(name, options, out_, err_) {
        sim.set_timeline(&timeline);
        sim.set_key_log([this](const KeyEvent& k) { runner.keys_.add(k); });
    }
    ~State() {
        finish();
        sim.set_timeline(nullptr);
        sim.set_key_log(nullptr);
    }
    void finish() { timeline.finish(); }

    // Runs one parsed command and keeps it for the recording.
    int execute(const Command& c) {
        if (pending > 0) advance(pending);
        open_run = false;
        if (c.kind == Kind::tick) {
            runner.start_tick(sim);
            pending = tick_frames = c.count;
            lines.push_back(c.source);
            return kScenarioPassed;
        }
        if (runner.execute(sim, c, csv)) {
            lines.push_back(c.source);
            return kScenarioPassed;
        }
        // An expect that did not hold changed nothing: the replay goes on past it.
        lines.push_back("# " + c.source + "   (did not hold at frame " + std::to_string(sim.frames_run()) + ")");
        return runner.io_failed_ ? kScenarioIoError : kScenarioExpectFailed;
    }

    // The running tick command ends at the frames it ran; the frames it had left.
    long long cut_tick() {
        const long long rest = pending;
        if (rest > 0) {
            lines.back() = "tick " + std::to_string(tick_frames - rest);
            pending = 0;
        }
        return rest;
    }
    // Frames as a tick command of their own (what was left of one cut short).
    void resume_tick(long long frames) {
        if (frames <= 0) return;
        open_run = false;
        runner.start_tick(sim);
        pending = tick_frames = frames;
        lines.push_back("tick " + std::to_string(frames));
    }

    bool advance(long long max_frames) {
        if (max_frames <= 0) return true;
        if (pending > 0) {
            const long long n = std::min(pending, max_frames);
            pending -= n;
            return runner.run_frames(sim, n, csv);
        }
        if (!open_run) {
            // Frames as time passes after a command: a tick command of their own.
            runner.start_tick(sim);
            lines.emplace_back();
            open_frames = 0;
            open_run = true;
        }
        open_frames += max_frames;
        lines.back() = "tick " + std::to_string(open_frames);
        return runner.run_frames(sim, max_frames, csv);
    }

    std::string name;
    std::FILE* out;
    std::FILE* err;
    std::FILE* csv;
    ScenarioOptions options;  // a live session: no pictures, audio or progress
    Simulator sim;
    Timeline timeline;
    Runner runner;
    std::vector<std::string> lines;  // what was done, as scenario lines
    long long pending = 0;           // frames of the last tick command still to run
    long long tick_frames = 0;       // frames of the last tick command in all
    bool open_run = false;           // frames as time passes are being added to the last line
    long long open_frames = 0;
    int line_number = 0;
};

ScenarioSession::ScenarioSession(std::string name, std::FILE* out, std::FILE* err, std::FILE* csv)
    : state_(std::make_unique<State>(std::move(name), out, err, csv)) {}

ScenarioSession::~ScenarioSession() = default;

int ScenarioSession::run_script(std::string_view script, const std::string& file_name) {
    std::vector<Command> commands;
    if (const int malformed = parse_script(script, file_name, state_->err, commands); malformed > 0) {
        std::fprintf(state_->err, "%s: %d malformed line%s; nothing ran\n", file_name.c_str(), malformed,
                     malformed == 1 ? "" : "s");
        return kScenarioMalformed;
    }
    for (const Command& c : commands) {
        const int result = state_->execute(c);
        if (result != kScenarioPassed) return result;
        if (state_->pending > 0 && !state_->advance(state_->pending)) return kScenarioIoError;
    }
    return kScenarioPassed;
}

int ScenarioSession::run_line(std::string_view line) {
    State& s = *state_;
    ++s.line_number;
    // One line, never several: a line break ends it.
    line = line.substr(0, line.find('\n'));
    std::vector<Command> commands;
    if (parse_script(line, s.name, s.err, commands, s.line_number) > 0) return kScenarioMalformed;
    if (commands.empty()) return kScenarioPassed;
    return s.execute(commands.front());
}

long long ScenarioSession::pending_frames() const { return state_->pending; }

long long ScenarioSession::tick_frames() const { return state_->tick_frames; }

long long ScenarioSession::cut_tick() { return state_->cut_tick(); }

void ScenarioSession::resume_tick(long long frames) { state_->resume_tick(frames); }

void ScenarioSession::set_pictures_dir(const std::string& dir) {
    state_->runner.pictures_ = dir.empty() ? nullptr : std::make_unique<PictureBook>(dir);
}

bool ScenarioSession::advance(long long max_frames) { return state_->advance(max_frames); }

std::string ScenarioSession::recorded() const {
    std::string text = "# What was done in the live cockpit (cockpit-sim serve), as a scenario; frames run 18 to the second.\n";
    for (const std::string& l : state_->lines) text += l + "\n";
    return text;
}

bool ScenarioSession::read(const std::string& name, double& value, std::string& error) {
    try {
        std::vector<Word> words{Word{name, true}};
        const Target t = Parser(words).watch_target(name);
        value = state_->runner.read(state_->sim, t, t.index);
        return true;
    } catch (const Malformed& m) {
        error = m.what;
        return false;
    }
}

Simulator& ScenarioSession::simulator() { return state_->sim; }

void ScenarioSession::finish() { state_->finish(); }

}  // namespace tarvenol::host
