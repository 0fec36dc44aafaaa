#include "host/invariants.h"

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string_view>

#include "module/look.h"
#include "module/module_state.h"
#include "module/sim_vocabulary.h"
#include "sound/mixer.h"
#include "sound/sound.h"
#include "warnings/master_warning.h"

namespace tarvenol::host {

namespace {

std::string number(double v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string range_text(const Range& r) {
    switch (r.kind) {
        case Range::Kind::any: return "any";
        case Range::Kind::finite: return "a finite number";
        case Range::Kind::within: return number(r.lo) + ".." + number(r.hi);
        case Range::Kind::one_of: {
            std::string s = "one of ";
            for (int i = 0; i < r.value_count; ++i) s += (i ? ", " : "") + std::to_string(r.values[i]);
            return s;
        }
    }
    return "?";
}

void check_table(const char* owner, VarTableView table, std::vector<Violation>& out) {
    for (const VarRef& ref : table) {
        if (ref.range.kind == Range::Kind::any) continue;
        for (std::size_t i = 0; i < ref.count; ++i) {
            const double v = read_var(ref, i);
            if (ref.range.allows(v)) continue;
            std::string where = std::string(owner) + " " + ref.name;
            if (ref.count > 1) where.append("[").append(std::to_string(i)).append("]");
            out.push_back({Violation::Kind::variable, std::move(where), v, range_text(ref.range)});
        }
    }
}

bool finite(double v) { return std::isfinite(v); }

// What the drawing of an element can show, from its kind and look; false when it shows `v`.
struct Shows {
    bool ok;
    std::string allowed;
};

Shows dial_shows(double lo, double hi, double v) {
    const double a = std::min(lo, hi), b = std::max(lo, hi);
    return {v >= a && v <= b, number(a) + ".." + number(b)};
}

// Text a display must never print: a number that is none ("nan", "inf", "-nan", "infinity" in any
// case, not inside a word).
bool shows_no_number(const char* text) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    for (const char* at = text; *at; ++at) {
        if (at != text && letter(at[-1])) continue;
        for (const char* word : {"nan", "inf"}) {
            std::size_t n = 0;
            while (word[n] && at[n] && lower(at[n]) == word[n]) ++n;
            if (word[n]) continue;
            const char* end = at + n;
            if (lower(end[0]) == 'i' && lower(end[1]) == 'n' && lower(end[2]) == 'i' && lower(end[3]) == 't' &&
                lower(end[4]) == 'y')
                end += 5;
            if (!letter(*end)) return true;
        }
    }
    return false;
}

constexpr std::string_view kDiagnosticGauge = "testgauge2k";

Shows element_shows(const PanelHost& host, const ElementLink& link, double v, bool diagnostic) {
    const abi::ELEMENT_HEADER& h = *link.header;
    const Look& look = link.look;
    switch (h.element_type) {
        case abi::ELEMENT_TYPE_ICON: {
            const auto& icon = reinterpret_cast<const abi::ELEMENT_ICON&>(h);
            if (!icon.update_cb) return {true, ""};  // a light or switch picture: shown or hidden
            return {v >= 0.0 && v <= icon.num_icons - 1.0, "an image index 0.." + std::to_string(icon.num_icons - 1)};
        }
        case abi::ELEMENT_TYPE_NEEDLE:
            switch (look.draw) {
                case Draw::drum: return dial_shows(0.0, drum_positions(look), v);
                case Draw::needle:
                case Draw::bug:
                case Draw::knob:
                    // A needle all round its dial shows any number: beyond the scale is a turn further on.
                    if (look.lo != look.hi && !look.all_round) return dial_shows(look.lo, look.hi, v);
                    break;
                default: break;
            }
            return {finite(v), "a finite number"};
        case abi::ELEMENT_TYPE_SLIDER:
        case abi::ELEMENT_TYPE_MOVING_IMAGE:
            if (look.draw == Draw::drum) return dial_shows(0.0, drum_positions(look), v);
            return {finite(v), "a finite number"};
        case abi::ELEMENT_TYPE_STRING:
            // The developers' diagnostic gauge prints the values as they stand, "nan" included.
            if (diagnostic) return {true, ""};
            return {!shows_no_number(host.element_text(&h)), "a text without nan or inf"};
        default: return {true, ""};
    }
}

bool looping(snd::SoundId id) {
    if (!snd::handles[id]) return false;
    const snd::mixer::SoundState s = snd::mixer::state(snd::handles[id]);
    return s.exists && s.playing && s.looping;
}

// A condition that may have held when the dispatcher ran: it held before the frame or after it.
// Each part of a compound condition is judged this way, since its writers may tick on either side.
struct Either {
    const FrameInvariants::Conditions& a;
    const FrameInvariants::Conditions& b;
    template <class F>
    bool operator()(F f) const {
        return f(a) || f(b);
    }
};
using C = FrameInvariants::Conditions;

bool no_battery_bus(const Either& e) { return e([](const C& c) { return c.shared.batt_bus_powered != 1; }); }
bool fire(const Either& e) {
    return e([](const C& c) { return c.shared.eng_1_fire == 1; }) || e([](const C& c) { return c.shared.eng_2_fire == 1; }) ||
           e([](const C& c) { return c.fire_3 == 1; });
}
bool continuous_gong(const Either& e) {
    return e([](const C& c) { return c.shared.mw_var868_high == 1; }) || e([](const C& c) { return c.gong_cont_2 == 1; });
}
bool configuration(const Either& e) {
    return e([](const C& c) { return c.shared.mw_surf_config == 1; }) ||
           e([](const C& c) { return c.shared.mw_lo_spd_ail_config == 1; }) ||
           e([](const C& c) { return c.shared.mw_flaps_config == 1; });
}
bool not_cancelled(const Either& e) { return e([](const C& c) { return c.shared.aural_cancel != 1; }); }

struct LoopRule {
    snd::SoundId sound;
    const char* request;  // what may keep it looping
    bool (*may_loop)(const Either&);
};

const LoopRule kLoopRules[] = {
    {snd::CLACKER, "clacker_req 1", [](const Either& e) { return e([](const C& c) { return c.shared.clacker_req == 1; }); }},
    {snd::REREP, "alt_alert_cont 1 with gpws_alert 0",
     [](const Either& e) {
         return e([](const C& c) { return c.shared.alt_alert_cont == 1; }) && e([](const C& c) { return c.shared.gpws_alert == 0; });
     }},
    {snd::KLAXONCONT, "gear short of down with flaps beyond the third step, no aural cancel",
     [](const Either& e) {
         return e([](const C& c) { return c.gear_position < mw::kGearDownRaw; }) &&
                e([](const C& c) {
                    return c.flap_position > static_cast<int>(c.shared.flap_step_3_raw) + mw::kGearHornFlapMargin;
                }) &&
                not_cancelled(e);
     }},
    {snd::SONNERIE, "a fire condition without aural cancel, or no battery bus",
     [](const Either& e) { return no_battery_bus(e) || (fire(e) && not_cancelled(e)); }},
    {snd::GONGCONT, "a continuous-gong condition or a fire, or no battery bus",
     [](const Either& e) { return no_battery_bus(e) || fire(e) || continuous_gong(e); }},
    {snd::KLAXONINT, "a configuration condition, a continuous gong or a fire, or no battery bus",
     [](const Either& e) { return no_battery_bus(e) || fire(e) || continuous_gong(e) || configuration(e); }},
};

}  // namespace

const char* kind_name(Violation::Kind kind) {
    switch (kind) {
        case Violation::Kind::variable: return "variable";
        case Violation::Kind::element: return "element";
        case Violation::Kind::sound: return "sound";
        case Violation::Kind::key_event: return "key event";
    }
    return "?";
}

std::string describe(const Violation& v) {
    return std::string(kind_name(v.kind)) + ": " + v.where + " = " + number(v.value) + ", allowed " + v.allowed;
}

void check_variables(std::vector<Violation>& out) {
    check_table("shared", shared_var_table(), out);
    for (const GaugeInfo* g : gauges()) check_table(g->name, g->vars, out);
}

void check_elements(const PanelHost& host, std::vector<Violation>& out) {
    for (const GaugeInfo* g : gauges()) {
        const bool diagnostic = std::string_view(g->name) == kDiagnosticGauge;
        for (std::size_t i = 0; i < g->element_count; ++i) {
            const ElementLink& link = *g->elements[i];
            if (!is_visible(*link.header)) continue;  // a hidden element shows nothing
            const double v = host.element_value(link.header);
            const Shows shows = element_shows(host, link, v, diagnostic);
            if (!shows.ok)
                out.push_back({Violation::Kind::element, std::string(g->name) + " " + link.name, v, shows.allowed});
        }
    }
}

void check_key_events(const PanelHost& host, std::vector<Violation>& out) {
    for (const KeyEvent& k : host.key_events()) {
        const bool known = std::any_of(key::kEvents.begin(), key::kEvents.end(),
                                       [&k](const key::KeyInfo& info) { return info.id == k.id; });
        if (known) continue;
        char where[64];
        std::snprintf(where, sizeof where, "key event 0x%" PRIX32 " (value %" PRIu32 ")", k.id, k.value);
        out.push_back({Violation::Kind::key_event, where, static_cast<double>(k.id), "an event of the vocabulary"});
    }
}

FrameInvariants::Conditions current_conditions(PanelHost& host) {
    FrameInvariants::Conditions c;
    c.shared = shared;
    c.gear_position = host.vars().get(sim::gear_nose_pos);
    c.flap_position = host.vars().get(sim::flap_pos);
    c.fire_3 = mw::state.fire_3;
    c.gong_cont_2 = mw::state.gong_cont_2;
    return c;
}

void check_looping_sounds(const FrameInvariants::Conditions& before, const FrameInvariants::Conditions& after,
                          std::vector<Violation>& out) {
    const Either either{before, after};
    for (const LoopRule& rule : kLoopRules) {
        if (!looping(rule.sound) || rule.may_loop(either)) continue;
        out.push_back({Violation::Kind::sound, std::string("sound ") + snd::kSoundNames[rule.sound] + " looping", 1.0,
                       std::string("only with ") + rule.request});
    }
}

void FrameInvariants::before_frame() {
    // Key events sent by clicks since the last frame; the frame clears them.
    check_key_events(host_, pending_);
    host_.clear_key_events();
    start_ = current_conditions(host_);
    started_ = true;
}

std::vector<Violation> FrameInvariants::after_frame() {
    std::vector<Violation> out = std::move(pending_);
    pending_.clear();
    check_variables(out);
    check_elements(host_, out);
    check_key_events(host_, out);
    host_.clear_key_events();
    const Conditions end = current_conditions(host_);
    check_looping_sounds(started_ ? start_ : end, end, out);
    started_ = false;
    return out;
}

}  // namespace tarvenol::host
