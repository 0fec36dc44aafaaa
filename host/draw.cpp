#include "host/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "module/units.h"

namespace tarvenol::draw {
namespace {


struct Rgb {
    double r, g, b;
};
constexpr Rgb hex(unsigned v) { return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0}; }

// The palette of the cockpit's artwork.
constexpr Rgb kFace = hex(0x4a5258), kShadow = hex(0x2e3438), kHighlight = hex(0x6a747b);
constexpr Rgb kUnlitLegend = hex(0x8c8c88);  // an unlit annunciator's legend, readable on its dark lens
constexpr Rgb kWhite = hex(0xf2f2ee), kBlackFace = hex(0x101214), kNormalBand = hex(0x35d05a);
struct Lamp {
    Rgb lit, dark;
};
Lamp lamp_colours(Tone t) {
    switch (t) {
        case Tone::warning: return {hex(0xe0281e), hex(0x4a1512)};
        case Tone::advisory: return {hex(0x35d05a), hex(0x103a1c)};
        case Tone::blue: return {hex(0x4aa8ff), hex(0x14304a)};
        case Tone::memo: return {hex(0xf0f0f0), hex(0x3a3a3a)};
        case Tone::white: return {hex(0xf0f0f0), hex(0x3a3a3a)};
        case Tone::caution:
        default: return {hex(0xf2a516), hex(0x4d3510)};
    }
}

void colour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }
void rect(cairo_t* cr, double x, double y, double w, double h) { cairo_rectangle(cr, x, y, w, h); }
void circle(cairo_t* cr, double x, double y, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
}

enum class Font { legend, mono };
constexpr double kSmallestText = 7.0;  // legible on a 2-pixel-per-millimetre panel
std::vector<TextBox>* g_texts = nullptr;  // where the texts drawn are told, while a check asks
bool g_texts_paused = false;              // drum faces rolling outside their window, moving cards
// Texts drawn while one stands are not legends (the letters of a turning card, a rolling drum).
struct NotLegends {
    bool was = g_texts_paused;
    NotLegends() { g_texts_paused = true; }
    ~NotLegends() { g_texts_paused = was; }
};
struct Rect {
    double x = 0, y = 0, w = 0, h = 0;
    bool meets(const Rect& o, double gap = 1.0) const {
        return w > 0 && o.w > 0 && x < o.x + o.w + gap && o.x < x + w + gap && y < o.y + o.h + gap && o.y < y + h + gap;
    }
};
// The extents of a text at `size` shrunk to fit max_w (the font and size left set on cr).
cairo_text_extents_t measure(cairo_t* cr, const std::string& s, double size, double max_w, Font f) {
    cairo_select_font_face(cr, f == Font::mono ? "DejaVu Sans Mono" : "DejaVu Sans Condensed", CAIRO_FONT_SLANT_NORMAL,
                           CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.c_str(), &ext);
    if (max_w > 0 && ext.width > max_w) {
        cairo_set_font_size(cr, std::max(kSmallestText, size * max_w / ext.width));
        cairo_text_extents(cr, s.c_str(), &ext);
    }
    return ext;
}
Rect text_box(cairo_t* cr, const std::string& s, double cx, double cy, double size, double max_w, Font f = Font::legend) {
    if (s.empty()) return {};
    const cairo_text_extents_t ext = measure(cr, s, size, max_w, f);
    return {cx - ext.width / 2, cy - ext.height / 2, ext.width, ext.height};
}
// Text centred on (cx, cy), shrunk to fit max_w; where it went.
Rect text(cairo_t* cr, const std::string& s, double cx, double cy, double size, double max_w, Font f = Font::legend) {
    if (s.empty()) return {};
    const cairo_text_extents_t ext = measure(cr, s, size, max_w, f);
    cairo_move_to(cr, cx - ext.width / 2 - ext.x_bearing, cy - ext.height / 2 - ext.y_bearing);
    cairo_show_text(cr, s.c_str());
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    const bool upright = m.xy == 0 && m.yx == 0;  // card letters turn with their card: not legends
    if (g_texts && !g_texts_paused && upright && s.find_first_not_of(' ') != std::string::npos) {
        double x0 = cx - ext.width / 2, y0 = cy - ext.height / 2, x1 = x0 + ext.width, y1 = y0 + ext.height;
        cairo_user_to_device(cr, &x0, &y0);
        cairo_user_to_device(cr, &x1, &y1);
        g_texts->push_back({std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0), s});
    }
    return {cx - ext.width / 2, cy - ext.height / 2, ext.width, ext.height};
}

std::string capitals(std::string_view s) {
    std::string out;
    for (char c : s) out += c == '_' ? ' ' : static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return out;
}
std::string_view strip(std::string_view name, std::initializer_list<std::string_view> suffixes) {
    name = name.substr(0, name.find('.'));
    for (std::string_view s : suffixes)
        if (name.size() > s.size() && name.substr(name.size() - s.size()) == s) return name.substr(0, name.size() - s.size());
    return name;
}

// The legends of a lever's or knob's positions: declared ("OFF|ON"), else the pictures' names.
std::vector<std::string> marks(const ElementLink* const* group, int count, const Look& look) {
    std::vector<std::string> out;
    if (look.marks) {
        std::string_view m = look.marks;
        while (!m.empty()) {
            const auto bar = m.find('|');
            out.push_back(std::string(m.substr(0, bar)));
            if (bar == std::string_view::npos) break;
            m.remove_prefix(bar + 1);
        }
        return out;
    }
    for (int i = 0; i < count && group; ++i) {
        std::string_view n = group[i]->name;
        const auto dot = n.find('.');
        out.push_back(dot == std::string_view::npos ? std::string() : capitals(n.substr(dot + 1)));
    }
    return out;
}

// --- Shapes ---------------------------------------------------------------------------------------

void screw(cairo_t* cr, double x, double y) {
    colour(cr, kShadow);
    circle(cr, x, y, 4);
    cairo_fill(cr);
    colour(cr, kHighlight);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, x - 3, y);
    cairo_line_to(cr, x + 3, y);
    cairo_stroke(cr);
}

void lever_base(cairo_t* cr, Box b) {
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) * 0.42;
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, 1, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.45, 0.48, 0.5);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.17, 0.19, 0.2);
    cairo_set_source(cr, p);
    circle(cr, cx, cy, r);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A lever at position p of n (0 = down): its stem from the base's centre to its ball.
void lever_at(cairo_t* cr, Box b, int p, int n) {
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0;
    const double travel = b.h / 2.0 - std::max(4.0, b.w * 0.16);
    const double t = n > 1 ? 1.0 - 2.0 * p / (n - 1) : 0.0;  // +1 down .. -1 up
    const double tip = cy + t * travel, w = std::max(4.0, b.w * 0.22);
    colour(cr, hex(0xb8bcbe));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, w);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, tip);
    cairo_stroke(cr);
    colour(cr, kWhite);
    circle(cr, cx, tip, w * 0.75);
    cairo_fill(cr);
}

double radians(const Look& l, double v) { return pointer_degrees(l, v) * kPi / 180.0; }
double knob_angle(const Look& l, double v) { return radians(l, v); }

// A knob's body: a ribbed skirt and a dark cap (the pointer turns over it).
void knob_body(cairo_t* cr, Box b) {
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) / 2.0;
    colour(cr, kShadow);
    circle(cr, cx, cy, r * 0.72);
    cairo_fill(cr);
    colour(cr, hex(0x202426));
    circle(cr, cx, cy, r * 0.62);
    cairo_fill(cr);
}

// A pointer (a knob's line, a dial's bug) with its pivot at the origin, pointing along +x.
void pointer_shape(cairo_t* cr, const Look& l) {
    const Pointer p = pointer_of(l);
    colour(cr, l.draw == Draw::bug && l.style == kTargetMarker ? hex(0xf2a516) : kWhite);
    if (l.draw == Draw::bug) {
        const double w = p.width, tip = p.length;
        cairo_move_to(cr, tip - w, 0);
        cairo_line_to(cr, tip, -w / 2);
        cairo_line_to(cr, tip, w / 2);
        cairo_close_path(cr);
        cairo_fill(cr);
        return;
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, p.width);
    cairo_move_to(cr, p.width, 0);
    cairo_line_to(cr, p.length - p.width / 2.0, 0);
    cairo_stroke(cr);
}

void knob_at(cairo_t* cr, const Look& l, double v) {
    const Box b = l.box;
    cairo_save(cr);
    cairo_translate(cr, b.x + b.w / 2.0, b.y + b.h / 2.0);
    cairo_rotate(cr, knob_angle(l, v));
    pointer_shape(cr, l);
    cairo_restore(cr);
}

double text_width(cairo_t* cr, const std::string& s, double size) {
    cairo_select_font_face(cr, "DejaVu Sans Condensed", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, s.c_str(), &ext);
    return ext.width;
}

// A legend printed inside a box: one line while it fits at a readable size, else split at the
// space that balances two lines.
void boxed_legend(cairo_t* cr, const std::string& legend, Box b) {
    const double w = b.w - 6, one_line = std::min(13.0, b.h * 0.5);
    if (legend.empty()) return;
    const auto blank = legend.find(' ');
    if (blank == std::string::npos || text_width(cr, legend, one_line) <= w || b.h < 20) {
        text(cr, legend, b.x + b.w / 2.0, b.y + b.h / 2.0, one_line, w);
        return;
    }
    std::size_t best = blank;
    for (std::size_t at = blank; at != std::string::npos; at = legend.find(' ', at + 1))
        if (std::abs(double(legend.size()) / 2 - at) < std::abs(double(legend.size()) / 2 - best)) best = at;
    const double size = std::min(12.0, b.h * 0.36);
    text(cr, legend.substr(0, best), b.x + b.w / 2.0, b.y + b.h * 0.31, size, w);
    text(cr, legend.substr(best + 1), b.x + b.w / 2.0, b.y + b.h * 0.71, size, w);
}

void lens(cairo_t* cr, Box b, Rgb fill, Rgb ink, const std::string& legend) {
    colour(cr, kShadow);
    rect(cr, b.x, b.y, b.w, b.h);
    cairo_fill(cr);
    colour(cr, fill);
    rect(cr, b.x + 2, b.y + 2, b.w - 4, b.h - 4);
    cairo_fill(cr);
    colour(cr, ink);
    boxed_legend(cr, legend, b);
}

// A flow bar's window sits in its flow line: a box taller than wide is on a vertical line.
bool on_vertical_line(Box b) { return b.h > b.w; }

void bar_window(cairo_t* cr, Box b) {
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) / 2.0 - 1;
    colour(cr, kShadow);
    circle(cr, cx, cy, r);
    cairo_fill(cr);
    colour(cr, kBlackFace);
    circle(cr, cx, cy, r - 2);
    cairo_fill(cr);
}
void bar_at(cairo_t* cr, Box b, bool in_line) {
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) / 2.0 - 4;
    const bool horizontal = in_line != on_vertical_line(b);
    const double half_w = std::max(2.0, r * 0.28);
    colour(cr, kWhite);
    if (horizontal)
        rect(cr, cx - r, cy - half_w, 2 * r, 2 * half_w);
    else
        rect(cr, cx - half_w, cy - r, 2 * half_w, 2 * r);
    cairo_fill(cr);
}

// The flow diagram engraved on the panel face, under the flow bar windows.
void flow_lines(cairo_t* cr, const Look& bg) {
    if (!bg.lines) return;
    colour(cr, kWhite);
    cairo_set_line_width(cr, 3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    for (int i = 0; i < bg.line_count; ++i) {
        const Line& l = bg.lines[i];
        cairo_move_to(cr, l.x1 + 0.5, l.y1 + 0.5);
        cairo_line_to(cr, l.x2 + 0.5, l.y2 + 0.5);
    }
    cairo_stroke(cr);
}

double dial_angle(const Look& l, double v) { return radians(l, v); }

// A step for the scale's numbers: 1, 2 or 5 times a power of ten, 4 to 10 numbers.
double scale_step(double span) {
    double step = std::pow(10.0, std::floor(std::log10(std::max(span, 1e-9))));
    while (span / step > 8) step *= 2;
    while (span / step < 4) step /= 2;
    return step;
}

// A dial's legend and units under its centre, or where they meet none of the dial's numbers and
// none of the windows, flags and drums set in the dial: over the centre, lower down, smaller.
void dial_legends(cairo_t* cr, const GaugeInfo& g, const ElementLink& e, std::vector<Rect> taken, const std::string& units) {
    const Box b = e.look.box;
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) / 2.0;
    for (std::size_t i = 1; i < g.element_count; ++i) {
        const Look& o = g.elements[i]->look;
        if (o.box.empty() || o.draw == Draw::needle || o.draw == Draw::bug || &o == &e.look) continue;
        const Rect ob{double(o.box.x), double(o.box.y), double(o.box.w), double(o.box.h)};
        if (ob.meets(Rect{b.x + 0.0, b.y + 0.0, b.w + 0.0, b.h + 0.0}, 0)) taken.push_back(ob);
    }
    const std::string name = e.look.style == kLetteredNeedle ? std::string() : legend(e);  // on the needles
    const double sizes[] = {std::max(8.0, r * 0.14), std::max(7.0, r * 0.1)};
    const double rows[] = {0.3, -0.3, 0.16, -0.18, 0.44, -0.44};
    for (double size : sizes)
        for (double row : rows) {
            const double y = cy + r * row, uy = y + size * 1.25;
            const Rect lb = text_box(cr, name, cx, y, size, r * 0.9);
            const Rect ub = text_box(cr, units, cx, uy, size * 0.8, r * 0.9);
            bool free = true;
            for (const Rect& t : taken) free = free && !lb.meets(t, 4) && !ub.meets(t, 4);
            if (!free) continue;
            colour(cr, kWhite);
            text(cr, name, cx, y, size, r * 0.9);
            text(cr, units, cx, uy, size * 0.8, r * 0.9);
            return;
        }
}

void dial_face(cairo_t* cr, const GaugeInfo& g, const ElementLink& e) {
    const Look& l = e.look;
    const Box b = l.box;
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) / 2.0;
    colour(cr, kShadow);
    circle(cr, cx, cy, r);
    cairo_fill(cr);
    colour(cr, kBlackFace);
    circle(cr, cx, cy, r - std::max(2.0, r * 0.08));
    cairo_fill(cr);
    const double span = l.hi - l.lo;
    if (!(span > 0)) return;
    // All round, the numbers share the circle evenly: twelve where the scale divides by twelve (a
    // compass card every 30 degrees, a seconds hand every 5), else ten.
    constexpr double kRoundNumbers = 12.0, kRoundNumbersElse = 10.0;
    const double round_step = span / (std::fmod(span, kRoundNumbers) == 0.0 ? kRoundNumbers : kRoundNumbersElse);
    double step = l.all_round ? round_step : scale_step(span);
    const double ro = r * 0.86;
    const int named_count = l.marks ? static_cast<int>(marks(nullptr, 0, l).size()) : 0;
    if (named_count > 1) step = span / (l.all_round ? named_count : named_count - 1);  // the named numbers evenly
    const bool thousands = std::max(std::abs(l.lo), std::abs(l.hi)) >= 1000;  // numbers in thousands
    if (l.band_hi > l.band_lo) {  // the normal band, just inside the scale marks
        colour(cr, kNormalBand);
        cairo_set_line_width(cr, std::max(3.0, r * 0.07));
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, ro * 0.97, dial_angle(l, l.band_lo), dial_angle(l, l.band_hi));
        cairo_stroke(cr);
    }
    colour(cr, kWhite);
    std::vector<Rect> numbers;
    std::vector<std::string> named;  // the scale's own numbers, where the look gives them ("0|1|...|9")
    if (l.marks) named = marks(nullptr, 0, l);
    int major_count = 0;
    for (int k = 0; k <= static_cast<int>(std::round(span / step * 2)); ++k) {
        const double v = l.lo + k * step / 2;
        if (v > l.hi + 1e-9 || (l.all_round && v > l.hi - 1e-9)) break;  // all round: the last is the first
        const double a = dial_angle(l, v), major = k % 2 == 0;
        cairo_set_line_width(cr, major ? std::max(1.5, r * 0.04) : 1.0);
        cairo_move_to(cr, cx + std::cos(a) * ro, cy + std::sin(a) * ro);
        cairo_line_to(cr, cx + std::cos(a) * ro * (major ? 0.82 : 0.9), cy + std::sin(a) * ro * (major ? 0.82 : 0.9));
        cairo_stroke(cr);
        if (major) {
            char num[32];
            std::snprintf(num, sizeof num, "%g", thousands ? v / 1000 : v);
            std::string shown = num;
            if (!named.empty()) shown = major_count < int(named.size()) ? named[std::size_t(major_count)] : "";
            ++major_count;
            // A number that would touch the last one printed is left out (a small dial of many).
            const double nx = cx + std::cos(a) * ro * 0.64, ny = cy + std::sin(a) * ro * 0.64, size = std::max(8.0, r * 0.17);
            const Rect nb = text_box(cr, shown, nx, ny, size, r * 0.5);
            bool free = true;
            for (const Rect& o : numbers) free = free && !nb.meets(o);
            if (free) numbers.push_back(text(cr, shown, nx, ny, size, r * 0.5));
        }
    }
    std::string units = l.units ? l.units : "";
    if (thousands) units += units.empty() ? "x1000" : " x1000";
    dial_legends(cr, g, e, numbers, units);
}

void needle_shape(cairo_t* cr, double length, double tail, double width, std::uint8_t style = 0) {
    if (style == kMaximumPointer) {  // thin and red, without a counterweight
        colour(cr, hex(0xe0281e));
        cairo_move_to(cr, 0, -width / 4);
        cairo_line_to(cr, length, 0);
        cairo_line_to(cr, 0, width / 4);
        cairo_close_path(cr);
        cairo_fill(cr);
        return;
    }
    colour(cr, kWhite);
    cairo_move_to(cr, -tail, -width / 2);
    cairo_line_to(cr, length * 0.85, -width / 4);
    cairo_line_to(cr, length, 0);
    cairo_line_to(cr, length * 0.85, width / 4);
    cairo_line_to(cr, -tail, width / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
    colour(cr, hex(0x5a6066));
    circle(cr, 0, 0, width * 0.7);
    cairo_fill(cr);
}

// A lettered needle's legend on a disc near its tip (the needle along +x from the origin).
void needle_letter(cairo_t* cr, const ElementLink& e, double turned = 0.0) {
    const double r = pointer_of(e.look).width / 2.0, x = needle_length(e.look.box) * 0.62;
    colour(cr, kWhite);
    circle(cr, x, 0, r);
    cairo_fill(cr);
    colour(cr, kBlackFace);
    cairo_save(cr);
    cairo_translate(cr, x, 0);
    cairo_rotate(cr, -turned);  // upright on the dial
    const NotLegends on_a_needle;
    text(cr, legend(e), 0, 0, r * 1.4, r * 1.6);
    cairo_restore(cr);
}

// The faces of a drum, one per position: declared on its look, else the digits 0..9.
std::vector<std::string> drum_faces(const Look& look) {
    if (look.marks) return marks(nullptr, 0, look);
    std::vector<std::string> digits;
    for (int d = 0; d < kDrumPositions; ++d) digits.push_back(std::to_string(d));
    return digits;
}

// A drum position onto 0 <= p < positions (the last face rolls on into the first).
double drum_turn(double v, int positions) {
    if (!std::isfinite(v)) return 0.0;
    v = std::fmod(v, double(positions));
    return v < 0 ? v + positions : v;
}

// The faces of a drum at position v, rolling vertically in its window.
void drum_digits(cairo_t* cr, Box b, const Look& look, double v) {
    const auto faces = drum_faces(look);
    const int n = static_cast<int>(faces.size());
    v = drum_turn(v, n);
    cairo_save(cr);
    rect(cr, b.x, b.y, b.w, b.h);
    cairo_clip(cr);
    colour(cr, kWhite);
    const int d = static_cast<int>(std::floor(v));
    const double frac = v - d;
    for (int k = -1; k <= 1; ++k) {
        const double y = b.y + b.h / 2.0 + (k - frac) * b.h;
        const bool was = g_texts_paused;
        g_texts_paused = was || k != 0;
        text(cr, faces[static_cast<std::size_t>(((d + k) % n + n) % n)], b.x + b.w / 2.0, y, b.h * 0.62, b.w - 2,
             Font::mono);
        g_texts_paused = was;
    }
    cairo_restore(cr);
}

void window(cairo_t* cr, Box b) {
    colour(cr, kBlackFace);
    rect(cr, b.x, b.y, b.w, b.h);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);  // the shade at the window's edges
    cairo_set_line_width(cr, 1);
    rect(cr, b.x + 0.5, b.y + 0.5, b.w - 1, b.h - 1);
    cairo_stroke(cr);
}

// An extension bar down its window; its detents' legends engraved at the window's left.
void extension_bar_at(cairo_t* cr, const Look& l, Box b, double v) {
    if (!std::isfinite(v)) v = l.hi;
    const double len = std::clamp((l.hi - v) * l.travel, 0.0, double(b.h - 4));
    colour(cr, kWhite);
    rect(cr, b.x + b.w * 0.3, b.y + 2, b.w * 0.4, len);
    cairo_fill(cr);
}
void extension_detents(cairo_t* cr, const Look& l, Box b) {
    if (!l.marks) return;
    for (const std::string& m : marks(nullptr, 0, l)) {
        const auto atsign = m.find('@');
        if (atsign == std::string::npos) continue;
        const double y = b.y + 2 + std::atof(m.c_str() + atsign + 1);
        colour(cr, kWhite);
        cairo_set_line_width(cr, 1.5);
        cairo_move_to(cr, b.x - 6, y);
        cairo_line_to(cr, b.x - 1, y);
        cairo_stroke(cr);
        text(cr, m.substr(0, atsign), b.x - 16, y, 8, 20);
    }
    if (l.legend) text(cr, l.legend, b.x + b.w / 2.0, b.y + b.h + 8, 10, b.w + 20);
}

// A numbered tape (travel: pixels per unit of its scale lo..hi): the reading at the index across
// the middle of the window, a mark every unit, a number every five.
void numbered_tape_at(cairo_t* cr, const Look& l, Box b, double v, bool index = true) {
    if (!std::isfinite(v)) v = l.lo;
    const double ppu = l.travel, mid = b.y + b.h / 2.0;
    cairo_save(cr);
    rect(cr, b.x, b.y, b.w, b.h);
    cairo_clip(cr);
    colour(cr, kWhite);
    const NotLegends rolling;
    for (int u = static_cast<int>(std::ceil(l.lo)); u <= static_cast<int>(std::floor(l.hi)); ++u) {
        const double y = mid - (u - v) * ppu;  // higher readings above
        if (y < b.y - 10 || y > b.y + b.h + 10) continue;
        const bool five = u % 5 == 0;
        cairo_set_line_width(cr, five ? 2.0 : 1.0);
        cairo_move_to(cr, b.x + b.w * (five ? 0.55 : 0.7), y);
        cairo_line_to(cr, b.x + b.w, y);
        cairo_stroke(cr);
        if (five) text(cr, std::to_string(u), b.x + b.w * 0.28, y, std::min(12.0, b.w * 0.34), b.w * 0.5);
    }
    cairo_restore(cr);
    if (!index) return;
    colour(cr, hex(0xf2a516));  // the fixed index, amber
    cairo_move_to(cr, b.x, mid - 5);
    cairo_line_to(cr, b.x + 7, mid);
    cairo_line_to(cr, b.x, mid + 5);
    cairo_close_path(cr);
    cairo_fill(cr);
    rect(cr, b.x + b.w - 2, mid - 1.5, 2, 3);
    cairo_fill(cr);
}

void tape_at(cairo_t* cr, Box b, double offset) {
    if (!std::isfinite(offset)) offset = 0;
    cairo_save(cr);
    rect(cr, b.x, b.y, b.w, b.h);
    cairo_clip(cr);
    colour(cr, kWhite);
    cairo_set_line_width(cr, 1.5);
    constexpr int kTick = 10;
    const double shift = std::fmod(offset, double(kTick));
    for (double y = b.y - kTick + shift; y < b.y + b.h + kTick; y += kTick) {
        cairo_move_to(cr, b.x + b.w * 0.55, y);
        cairo_line_to(cr, b.x + b.w, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void marker_at(cairo_t* cr, Box b, double offset) {
    if (!std::isfinite(offset)) offset = 0;
    const double y = b.y + std::clamp(offset, 0.0, double(b.h - 1));
    colour(cr, kWhite);
    cairo_move_to(cr, b.x, y - 5);
    cairo_line_to(cr, b.x + b.w * 0.6, y);
    cairo_line_to(cr, b.x, y + 5);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// The pictures of a lever, from element e (one of them) back to its first.
int lever_group(const GaugeInfo& g, const ElementLink& e, const ElementLink* const*& first) {
    for (std::size_t i = 0; i < g.element_count; ++i)
        if (g.elements[i] == &e) {
            first = g.elements + i - e.look.position;
            return e.look.positions;
        }
    first = nullptr;
    return 0;
}

// Another element of the same kind drawn earlier in the same box (needles sharing one dial).
bool drawn_before(const GaugeInfo& g, std::size_t i) {
    const Look& l = g.elements[i]->look;
    for (std::size_t k = 1; k < i; ++k) {
        const Look& o = g.elements[k]->look;
        if (o.draw == l.draw && o.box.x == l.box.x && o.box.y == l.box.y && o.box.w == l.box.w && o.box.h == l.box.h)
            return true;
    }
    return false;
}

bool same_box(Box a, Box b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }
bool is_face_layer(Draw d);
// Another layer of the same face drawn earlier.
bool face_before(const GaugeInfo& g, std::size_t i) {
    for (std::size_t k = 1; k < i; ++k)
        if (is_face_layer(g.elements[k]->look.draw) && same_box(g.elements[k]->look.box, g.elements[i]->look.box))
            return true;
    return false;
}

bool inside(Box outer, Box inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}


// --- Faces of the flight instruments ---------------------------------------------------------------
// Every layer of a face is declared with the face's box and turns or slides about its centre.

constexpr Rgb kSky = hex(0x2f6db5), kGround = hex(0x7a4e26), kAmber = hex(0xf2a516);
constexpr Rgb kDirector = hex(0xe040d0), kCourse = hex(0xf2d23a), kHeadingBug = hex(0xf27a16);

struct Face {
    double cx, cy, r;
};
Face face_of(Box b) { return {b.x + b.w / 2.0, b.y + b.h / 2.0, std::min(b.w, b.h) / 2.0}; }
double deg(double d) { return d * kPi / 180.0; }

bool is_face_layer(Draw d) {
    switch (d) {
        case Draw::card:
        case Draw::bearing:
        case Draw::course:
        case Draw::deviation:
        case Draw::sphere:
        case Draw::bank_index:
        case Draw::fd_bar:
        case Draw::symbol: return true;
        default: return false;
    }
}

// The bezel and the black face behind the layers.
void face_disc(cairo_t* cr, Box b) {
    const Face f = face_of(b);
    colour(cr, kShadow);
    circle(cr, f.cx, f.cy, f.r);
    cairo_fill(cr);
    colour(cr, kBlackFace);
    circle(cr, f.cx, f.cy, f.r - std::max(3.0, f.r * 0.05));
    cairo_fill(cr);
}

// The bank scale engraved round the top of the sphere's window: marks at 10, 20, 30, 45 and 60
// degrees each side, the zero index a triangle.
void bank_scale(cairo_t* cr, Box b) {
    const Face f = face_of(b);
    const double rs = face_sphere_radius(b);
    colour(cr, kWhite);
    for (double a : {-60.0, -45.0, -30.0, -20.0, -10.0, 10.0, 20.0, 30.0, 45.0, 60.0}) {
        const bool major = a == 30.0 || a == -30.0 || a == 60.0 || a == -60.0;
        const double t = deg(-90.0 + a), r1 = rs + 3, r2 = rs + (major ? f.r * 0.14 : f.r * 0.08);
        cairo_set_line_width(cr, major ? 3.0 : 2.0);
        cairo_move_to(cr, f.cx + std::cos(t) * r1, f.cy + std::sin(t) * r1);
        cairo_line_to(cr, f.cx + std::cos(t) * r2, f.cy + std::sin(t) * r2);
        cairo_stroke(cr);
    }
    const double w = f.r * 0.06, top = f.cy - rs - 3;
    cairo_move_to(cr, f.cx, top);
    cairo_line_to(cr, f.cx - w, top - 1.6 * w);
    cairo_line_to(cr, f.cx + w, top - 1.6 * w);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// The compass rose with its north along `up` of the current axes (ticks every 5 degrees, numbers every
// 30, the cardinal points as letters); the middle is left open, the face shows through.
void rose(cairo_t* cr, double rc) {
    const NotLegends letters;
    colour(cr, kWhite);
    for (int d = 0; d < 360; d += 5) {
        const double t = deg(d - 90.0), inner = rc * (d % 10 == 0 ? 0.88 : 0.93);
        cairo_set_line_width(cr, d % 10 == 0 ? 2.0 : 1.2);
        cairo_move_to(cr, std::cos(t) * inner, std::sin(t) * inner);
        cairo_line_to(cr, std::cos(t) * rc, std::sin(t) * rc);
        cairo_stroke(cr);
    }
    static const char* const kNames[] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
    for (int k = 0; k < 12; ++k) {
        cairo_save(cr);
        cairo_rotate(cr, deg(30.0 * k));
        text(cr, kNames[k], 0, -rc * 0.74, std::max(9.0, rc * (k % 3 == 0 ? 0.15 : 0.12)), rc * 0.4);
        cairo_restore(cr);
    }
}

// A bearing pointer along +x: the head at `length`, the tail to `tail` behind the pivot; one bar
// or two.
void bearing_shape(cairo_t* cr, const Pointer& p, int bars) {
    const double w = p.width, head = p.length - 1.4 * w;
    colour(cr, kWhite);
    cairo_set_line_width(cr, bars == 2 ? 2.0 : std::max(3.0, w * 0.2));
    for (double side : bars == 2 ? std::initializer_list<double>{-w * 0.22, w * 0.22} : std::initializer_list<double>{0.0}) {
        cairo_move_to(cr, -p.tail, side);
        cairo_line_to(cr, head, side);
    }
    cairo_stroke(cr);
    cairo_move_to(cr, p.length, 0);
    cairo_line_to(cr, head, -w / 2);
    cairo_line_to(cr, head, w / 2);
    cairo_close_path(cr);
    if (bars == 2) {
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
}

// The course arrow along +x: its head segment and its tail segment, the deviation bar's room
// between them, the deviation dots across it `travel` pixels out at full scale.
void course_shape(cairo_t* cr, const Pointer& p, double travel) {
    const double w = p.width, gap = p.length * 0.38;
    colour(cr, kCourse);
    rect(cr, gap, -w * 0.18, p.length - 1.2 * w - gap, w * 0.36);
    rect(cr, -p.tail, -w * 0.18, p.tail - gap, w * 0.36);
    cairo_fill(cr);
    cairo_move_to(cr, p.length, 0);
    cairo_line_to(cr, p.length - 1.3 * w, -w / 2);
    cairo_line_to(cr, p.length - 1.3 * w, w / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
    colour(cr, kWhite);
    for (double d : {-1.0, -0.5, 0.5, 1.0}) {
        circle(cr, 0, d * travel, std::max(2.5, w * 0.22));
        cairo_fill(cr);
    }
}

// The deviation bar, in the course arrow's axes (+x along the arrow), `offset` pixels to its right.
void deviation_shape(cairo_t* cr, const Look& l, double offset) {
    const double len = face_card_radius(l.box) * 0.8 * 0.36, w = std::max(4.0, l.box.w / 80.0);
    colour(cr, kCourse);
    rect(cr, -len, offset - w / 2, 2 * len, w);
    cairo_fill(cr);
}
double deviation_offset(const Look& l, double v) {
    if (!std::isfinite(v) || l.hi <= l.lo) return 0.0;
    const double full = (l.hi - l.lo) / 2;
    return std::clamp((v - (l.lo + l.hi) / 2) / full, -1.0, 1.0) * l.travel;
}

constexpr double kLadderStep = 5.0;  // a rung every 5 degrees, numbered every 10

// The attitude sphere's picture about the horizon at the origin: sky above (y < 0), ground below,
// the horizon line and the pitch ladder, `ppd` pixels per degree of pitch, `half` pixels wide each side.
void sphere_picture(cairo_t* cr, double ppd, double half, double top, double bottom) {
    const NotLegends ladder;
    colour(cr, kSky);
    rect(cr, -half, top, 2 * half, -top);
    cairo_fill(cr);
    colour(cr, kGround);
    rect(cr, -half, 0, 2 * half, bottom);
    cairo_fill(cr);
    colour(cr, kWhite);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, -half, 0);
    cairo_line_to(cr, half, 0);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
    for (double p = kLadderStep; p <= 90.0; p += kLadderStep)
        for (double sign : {1.0, -1.0}) {
            const double y = -sign * p * ppd;
            if (y < top || y > bottom) continue;
            const bool ten = std::fmod(p, 2 * kLadderStep) == 0.0;
            const double w = half * (ten ? 0.28 : 0.12);
            cairo_move_to(cr, -w, y);
            cairo_line_to(cr, w, y);
            cairo_stroke(cr);
            if (ten) {
                char num[8];
                std::snprintf(num, sizeof num, "%d", static_cast<int>(p));
                for (double side : {-1.0, 1.0}) text(cr, num, side * (w + half * 0.12), y, std::max(8.0, half * 0.09), half * 0.2);
            }
        }
}
double sphere_ppd(const Look& l) { return l.travel / 90.0; }

void sphere_at(cairo_t* cr, const Look& l, double bank, double pitch) {
    const Face f = face_of(l.box);
    const double rs = face_sphere_radius(l.box);
    if (!std::isfinite(bank)) bank = 0;
    if (!std::isfinite(pitch)) pitch = 0;
    pitch = std::clamp(pitch, l.lo, l.hi);
    cairo_save(cr);
    circle(cr, f.cx, f.cy, rs);
    cairo_clip(cr);
    cairo_translate(cr, f.cx, f.cy);
    cairo_rotate(cr, deg(-bank));  // banked right, the horizon turns the other way
    const double ppd = sphere_ppd(l), shift = pitch * ppd;  // nose up, the horizon below the centre
    cairo_translate(cr, 0, shift);
    sphere_picture(cr, ppd, rs * 1.5, -rs * 1.5 - shift, rs * 1.5 - shift);
    cairo_restore(cr);
}

// The bank pointer along +x, its tip at the sphere's rim pointing out at the scale.
void bank_index_shape(cairo_t* cr, const Pointer& p) {
    const double w = p.width;
    colour(cr, kAmber);
    cairo_move_to(cr, p.length, 0);
    cairo_line_to(cr, p.length - 1.4 * w, -w / 2);
    cairo_line_to(cr, p.length - 1.4 * w, w / 2);
    cairo_close_path(cr);
    cairo_fill_preserve(cr);
    colour(cr, kBlackFace);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A flight director bar on the sphere (or the runway symbol under it), clipped to the window.
void fd_bar_at(cairo_t* cr, const Look& l, double v) {
    const Face f = face_of(l.box);
    const double rs = face_sphere_radius(l.box);
    if (!std::isfinite(v)) return;
    const double d = (v - (l.lo + l.hi) / 2) / ((l.hi - l.lo) / 2) * l.travel;
    const double w = std::max(4.0, rs * 0.035), len = rs * 0.62;
    cairo_save(cr);
    circle(cr, f.cx, f.cy, rs);
    cairo_clip(cr);
    colour(cr, kDirector);
    switch (l.style) {
        case kRollBar: rect(cr, f.cx + d - w / 2, f.cy - len, w, 2 * len); break;
        case kPitchBar: rect(cr, f.cx - len, f.cy + d - w / 2, 2 * len, w); break;
        default: {  // the runway symbol rising from the bottom of the window
            const double y = f.cy + rs * 0.72, rw = rs * 0.16;
            rect(cr, f.cx + d - rw / 2, y, rw, w * 1.6);
            rect(cr, f.cx + d - w / 4, y + w * 1.6, w / 2, rs);
            break;
        }
    }
    cairo_fill(cr);
    cairo_restore(cr);
}

// The aircraft symbol of an attitude sphere: two wings and a centre dot, amber outlined in black.
void attitude_symbol(cairo_t* cr, const Face& f, double rs) {
    const double t = std::max(4.0, rs * 0.05), span = rs * 0.5, inner = rs * 0.16, drop = rs * 0.1;
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(cr, f.cx + side * span, f.cy);
        cairo_line_to(cr, f.cx + side * inner, f.cy);
        cairo_line_to(cr, f.cx + side * inner, f.cy + drop);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    colour(cr, kBlackFace);
    cairo_set_line_width(cr, t + 3);
    cairo_stroke_preserve(cr);
    colour(cr, kAmber);
    cairo_set_line_width(cr, t);
    cairo_stroke(cr);
    rect(cr, f.cx - t, f.cy - t, 2 * t, 2 * t);
    cairo_fill_preserve(cr);
    colour(cr, kBlackFace);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// A small aircraft seen from above, amber, at the centre of a navigation display.
void plan_symbol(cairo_t* cr, const Face& f, double size) {
    colour(cr, kAmber);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, std::max(3.0, size * 0.12));
    cairo_move_to(cr, f.cx, f.cy - size * 0.6);
    cairo_line_to(cr, f.cx, f.cy + size * 0.6);
    cairo_move_to(cr, f.cx - size * 0.6, f.cy - size * 0.1);
    cairo_line_to(cr, f.cx + size * 0.6, f.cy - size * 0.1);
    cairo_move_to(cr, f.cx - size * 0.25, f.cy + size * 0.5);
    cairo_line_to(cr, f.cx + size * 0.25, f.cy + size * 0.5);
    cairo_stroke(cr);
}

// The lubber line: an amber triangle over the top of the card, pointing at it.
void lubber_line(cairo_t* cr, Box b) {
    const Face f = face_of(b);
    const double rc = face_card_radius(b), w = std::max(6.0, f.r * 0.06), top = f.cy - rc - 2;
    colour(cr, kAmber);
    cairo_move_to(cr, f.cx, top + w * 0.4);
    cairo_line_to(cr, f.cx - w, top - w * 1.2);
    cairo_line_to(cr, f.cx + w, top - w * 1.2);
    cairo_close_path(cr);
    cairo_fill(cr);
    colour(cr, kWhite);  // the fixed index marks every 45 degrees round the card
    for (int k = 1; k < 8; ++k) {
        const double t = deg(-90.0 + 45.0 * k);
        cairo_set_line_width(cr, 3);
        cairo_move_to(cr, f.cx + std::cos(t) * (rc + 2), f.cy + std::sin(t) * (rc + 2));
        cairo_line_to(cr, f.cx + std::cos(t) * (f.r - 4), f.cy + std::sin(t) * (f.r - 4));
        cairo_stroke(cr);
    }
}

// A standby compass's card through its window: read from behind, the headings rise to the left.
void heading_tape_at(cairo_t* cr, const Look& l, double v, Box window) {
    const double heading = std::isfinite(v) ? l.hi - v : 0.0, ppd = l.travel;
    const double cx = window.x + window.w / 2.0, top = window.y;
    cairo_save(cr);
    rect(cr, window.x, window.y, window.w, window.h);
    cairo_clip(cr);
    colour(cr, kBlackFace);
    cairo_paint(cr);
    colour(cr, kWhite);
    const NotLegends card;
    static const char* const kNames[] = {"N", "3", "6", "E", "12", "15", "S", "21", "24", "W", "30", "33"};
    const int first = static_cast<int>(std::floor((heading - window.w / ppd) / 5.0)) * 5;
    for (int d = first; d <= heading + window.w / ppd; d += 5) {
        const double x = cx - (d - heading) * ppd;
        const int n = ((d % 360) + 360) % 360;
        cairo_set_line_width(cr, n % 10 == 0 ? 2.0 : 1.0);
        cairo_move_to(cr, x, top + window.h * 0.62);
        cairo_line_to(cr, x, top + window.h * (n % 10 == 0 ? 0.9 : 0.8));
        cairo_stroke(cr);
        if (n % 30 == 0) text(cr, kNames[n / 30], x, top + window.h * 0.32, window.h * 0.36, 30);
    }
    cairo_restore(cr);
}

void symbol_at(cairo_t* cr, const Look& l) {
    const Face f = face_of(l.box);
    if (l.style == kLubberWire) {
        colour(cr, kAmber);
        rect(cr, f.cx - 1.5, l.box.y + 2, 3, l.box.h - 4);
        cairo_fill(cr);
        return;
    }
    switch (l.style) {
        case kAttitudeSymbol: attitude_symbol(cr, f, face_sphere_radius(l.box)); break;
        default: plan_symbol(cr, f, face_card_radius(l.box) * 0.22); break;
    }
}

// A pointer on a straight vertical scale: the scale (dots, centre bar) is engraved on the face,
// the pointer a triangle from the side.
double scale_offset(const Look& l, double v) {
    if (!std::isfinite(v) || l.hi <= l.lo) return 0.0;
    return std::clamp((v - (l.lo + l.hi) / 2) / ((l.hi - l.lo) / 2), -1.0, 1.0) * l.travel;
}
void pointer_scale(cairo_t* cr, const ElementLink& e) {
    const Look& l = e.look;
    const Box b = l.box;
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0;
    colour(cr, kWhite);
    for (double d : {-1.0, -0.5, 0.5, 1.0}) {
        circle(cr, cx, cy + d * l.travel, 3.5);
        cairo_fill(cr);
    }
    rect(cr, cx - b.w * 0.3, cy - 1, b.w * 0.6, 2);
    cairo_fill(cr);
    if (l.legend) text(cr, l.legend, cx, b.y + 6, 10, b.w + 8);
}
void pointer_at(cairo_t* cr, const Look& l, double v) {
    const Box b = l.box;
    const double cx = b.x + b.w / 2.0, y = b.y + b.h / 2.0 + scale_offset(l, v), w = std::max(8.0, b.w * 0.4);
    colour(cr, kAmber);
    cairo_move_to(cr, cx - w * 0.6, y);
    cairo_line_to(cr, cx + w * 0.6, y - w * 0.55);
    cairo_line_to(cr, cx + w * 0.6, y + w * 0.55);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A bug on a card's rim, turned like a needle (along +x, the rim at `length`): the heading bug a
// notched block, the drift marker a small white triangle inside the rim.
void rim_bug_shape(cairo_t* cr, const Look& l) {
    const Pointer p = pointer_of(l);
    const double w = p.width;
    if (l.style == 1) {  // inside the card's marks, pointing out at the track on the card
        const double tip = face_card_radius(l.box) * 0.86;
        colour(cr, kWhite);
        cairo_move_to(cr, tip, 0);
        cairo_line_to(cr, tip - w * 1.1, -w * 0.4);
        cairo_line_to(cr, tip - w * 1.1, w * 0.4);
        cairo_close_path(cr);
        cairo_fill(cr);
        return;
    }
    colour(cr, kHeadingBug);
    cairo_move_to(cr, p.length, -w);
    cairo_line_to(cr, p.length - w * 0.9, -w);
    cairo_line_to(cr, p.length - w * 0.9, w);
    cairo_line_to(cr, p.length, w);
    cairo_line_to(cr, p.length, w * 0.35);
    cairo_line_to(cr, p.length - w * 0.45, 0);
    cairo_line_to(cr, p.length, -w * 0.35);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A layer that turns about its face's centre, drawn along +x at the origin.
void turning_shape(cairo_t* cr, const Look& l) {
    const Pointer p = pointer_of(l);
    switch (l.draw) {
        case Draw::card:
            cairo_rotate(cr, kPi / 2);  // the rose's north along +x
            rose(cr, p.length);
            break;
        case Draw::bearing: bearing_shape(cr, p, l.style); break;
        case Draw::course: course_shape(cr, p, l.travel); break;
        case Draw::bank_index: bank_index_shape(cr, p); break;
        default: break;
    }
}
void turning_at(cairo_t* cr, const Look& l, double v) {
    const Face f = face_of(l.box);
    cairo_save(cr);
    cairo_translate(cr, f.cx, f.cy);
    cairo_rotate(cr, deg(pointer_degrees(l, v)));
    turning_shape(cr, l);
    cairo_restore(cr);
}
}  // namespace

void record_texts(std::vector<TextBox>* into) { g_texts = into; }

std::string drum_face(const Look& look, double position) {
    const auto faces = drum_faces(look);
    const double v = drum_turn(position, static_cast<int>(faces.size()));
    return faces[static_cast<std::size_t>(std::lround(v)) % faces.size()];
}

std::string legend(const ElementLink& e) {
    if (e.look.legend) return e.look.legend;
    switch (e.look.draw) {
        case Draw::light:
        case Draw::button:
        case Draw::flag: return capitals(strip(e.name, {"_light", "_lamp", "_lt", "_flag"}));
        case Draw::lever:
        case Draw::knob: return capitals(strip(e.name, {"_sw", "_sel", "_knob", "_lever"}));
        default: return {};  // a needle's or bug's name is no legend: its dial carries the legends
    }
}

void background(cairo_t* cr, const GaugeInfo& g) {
    const Box s = *g.size;
    colour(cr, kShadow);
    rect(cr, 0, 0, s.w, s.h);
    cairo_fill(cr);
    colour(cr, kFace);
    rect(cr, 2, 2, s.w - 4, s.h - 4);
    cairo_fill(cr);
    colour(cr, kHighlight);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 2.5, s.h - 3);
    cairo_line_to(cr, 2.5, 2.5);
    cairo_line_to(cr, s.w - 3, 2.5);
    cairo_stroke(cr);
    if (s.w >= 60 && s.h >= 60) {
        for (double x : {10.0, s.w - 10.0})
            for (double y : {10.0, s.h - 10.0}) screw(cr, x, y);
    }
    const Look& bg = g.elements[0]->look;
    colour(cr, kWhite);
    if (bg.legend) text(cr, bg.legend, s.w / 2.0, 14, 13, s.w - 40);
    flow_lines(cr, bg);

    // Dial faces first: drums and windows sit on them.
    for (std::size_t i = 1; i < g.element_count; ++i)
        if (g.elements[i]->look.draw == Draw::needle && !drawn_before(g, i)) dial_face(cr, g, *g.elements[i]);
    // The faces of the flight instruments, once each, under all their layers.
    for (std::size_t i = 1; i < g.element_count; ++i) {
        const Look& l = g.elements[i]->look;
        if (l.draw == Draw::pointer) pointer_scale(cr, *g.elements[i]);
        if (!is_face_layer(l.draw) || face_before(g, i)) continue;
        face_disc(cr, l.box);
        for (std::size_t k = i; k < g.element_count; ++k) {
            const Look& layer = g.elements[k]->look;
            if (!same_box(layer.box, l.box)) continue;
            if (layer.draw == Draw::sphere) bank_scale(cr, l.box);
            if (layer.draw == Draw::card) lubber_line(cr, l.box);  // outside the card's rim: never covered
        }
    }
    for (std::size_t i = 1; i < g.element_count; ++i) {
        const ElementLink& e = *g.elements[i];
        const Box b = e.look.box;
        switch (e.look.draw) {
            case Draw::lever: {
                if (e.look.position != 0) break;  // once per lever
                lever_base(cr, b);
                const ElementLink* const* first = nullptr;
                const int n = lever_group(g, e, first);
                const auto m = marks(first, n, e.look);
                colour(cr, kWhite);
                const double cell = b.w + 30;
                text(cr, legend(e), b.x + b.w / 2.0, b.y - 18, 11, cell);
                if (!m.empty()) {
                    text(cr, m.back(), b.x + b.w / 2.0, b.y - 5, 8, cell);
                    text(cr, m.front(), b.x + b.w / 2.0, b.y + b.h + 7, 8, cell);
                }
                if (m.size() > 2)
                    for (std::size_t k = 1; k + 1 < m.size(); ++k) {  // beside the lever, on the side with room
                        const double side = b.x + b.w + 30 <= s.w ? b.x + b.w + 14 : b.x - 14;
                        text(cr, m[k], side, b.y + b.h * (1.0 - double(k) / (m.size() - 1)), 7, 28);
                    }
                break;
            }
            case Draw::knob: {
                if (drawn_before(g, i)) break;  // once per selector
                knob_body(cr, b);
                colour(cr, kWhite);
                const ElementLink* const* first = nullptr;
                const int pictures = e.look.positions ? lever_group(g, e, first) : 0;
                const auto m = marks(first, pictures, e.look);
                const int n = std::max(2, static_cast<int>(e.look.hi - e.look.lo) + 1);
                const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0, r = std::min(b.w, b.h) * 0.46;
                double lowest = b.y + b.h;  // the legend goes under the knob and its lowest mark
                for (int k = 0; k < n; ++k) {
                    const double a = knob_angle(e.look, e.look.lo + k);
                    cairo_set_line_width(cr, 1.5);
                    cairo_move_to(cr, cx + std::cos(a) * r * 0.8, cy + std::sin(a) * r * 0.8);
                    cairo_line_to(cr, cx + std::cos(a) * r, cy + std::sin(a) * r);
                    cairo_stroke(cr);
                    if (k < static_cast<int>(m.size())) {
                        const Rect t = text(cr, m[k], cx + std::cos(a) * r * 1.35, cy + std::sin(a) * r * 1.35, 7, 30);
                        if (t.w > 0) lowest = std::max(lowest, t.y + t.h);
                    }
                }
                text(cr, legend(e), b.x + b.w / 2.0, lowest + 7, 10, b.w + 40);
                break;
            }
            case Draw::light:
            case Draw::button: {
                // Several messages of one window: dark, it reads none of them.
                bool shared_window = false, drawn = false;
                for (std::size_t k = 1; k < g.element_count; ++k) {
                    const Look& o = g.elements[k]->look;
                    if (k == i || (o.draw != Draw::light && o.draw != Draw::button) || !same_box(o.box, b)) continue;
                    shared_window = true;
                    drawn = drawn || k < i;
                }
                if (drawn) break;
                const Lamp c = lamp_colours(e.look.tone);
                // Unlit, the legend stays readable, engraved grey on the dark lens.
                lens(cr, b, c.dark, kUnlitLegend, shared_window ? std::string() : legend(e));
                break;
            }
            case Draw::bar_in: bar_window(cr, b); break;
            case Draw::needle: break;
            case Draw::drum:
                window(cr, b);
                if (e.look.legend) {  // under the window of this drum and the drums beside it
                    int right = b.x + b.w;
                    for (std::size_t k = i + 1; k < g.element_count; ++k) {
                        const Box n = g.elements[k]->look.box;
                        if (g.elements[k]->look.draw != Draw::drum || n.y != b.y || n.x > right + 2) break;
                        right = n.x + n.w;
                    }
                    colour(cr, kWhite);
                    text(cr, e.look.legend, (b.x + right) / 2.0, b.y + b.h + 7, 9, right - b.x + 16);
                }
                break;
            case Draw::tape:
                window(cr, b);
                if (e.look.style == kExtensionBar) extension_detents(cr, e.look, b);
                break;
            case Draw::heading_tape:
            case Draw::readout: window(cr, b); break;
            case Draw::marker:
                colour(cr, kShadow);
                rect(cr, b.x, b.y, b.w, b.h);
                cairo_fill(cr);
                break;
            default: break;
        }
    }
    // A click area on no drawn control is a push button of its own.
    for (std::size_t a = 0; a < g.area_count; ++a) {
        const abi::PIXBOX& r = g.rects[a + 1].relative_box;
        const Box ab = at(r.x, r.y, r.size_x, r.size_y);
        bool on_drawing = false;
        for (std::size_t i = 1; i < g.element_count && !on_drawing; ++i) {
            const Box eb = g.elements[i]->look.box;
            on_drawing = inside(eb, ab) || inside(ab, eb);
        }
        if (on_drawing) continue;
        for (std::size_t k = 0; k < a && !on_drawing; ++k) {  // the same button as an earlier area
            const abi::PIXBOX& o = g.rects[k + 1].relative_box;
            on_drawing = o.x == r.x && o.y == r.y && o.size_x == r.size_x && o.size_y == r.size_y;
        }
        if (on_drawing) continue;
        // A down area and the up area beside it, of one name, are the two halves of a knob.
        const std::string_view name_a = g.areas[a].name, stem_a = name_a.substr(0, name_a.find('.'));
        if (a + 1 < g.area_count && g.areas[a].cursor == Cursor::down && g.areas[a + 1].cursor == Cursor::up) {
            const abi::PIXBOX& up = g.rects[a + 2].relative_box;
            const std::string_view name_b = g.areas[a + 1].name;
            if (name_b.substr(0, name_b.find('.')) == stem_a && up.y == r.y && up.size_y == r.size_y && up.x == r.x + r.size_x) {
                const Box knob = at(r.x, r.y, r.size_x + up.size_x, r.size_y);
                knob_body(cr, knob);
                colour(cr, kWhite);
                const double cx = knob.x + knob.w / 2.0, cy = knob.y + knob.h / 2.0, k = std::min(knob.w, knob.h) * 0.22;
                cairo_set_line_width(cr, 2);  // its grip
                cairo_move_to(cr, cx - k, cy);
                cairo_line_to(cr, cx + k, cy);
                cairo_stroke(cr);
                ++a;  // a knob is a knob: its areas' names are not engraved on the panel
                continue;
            }
        }
        lens(cr, ab, hex(0x2a2f33), kWhite, std::string());  // a plain button: its area's name is not a legend
    }
}

void element(cairo_t* cr, const ElementLink& e, const ElementState& s) {
    if (!s.shown) return;
    const Look& l = e.look;
    const Box b = l.box;
    switch (l.draw) {
        case Draw::lever: lever_at(cr, b, l.position, l.positions); break;
        case Draw::knob: knob_at(cr, l, l.positions ? l.lo + l.position : s.value); break;
        case Draw::light:
        case Draw::button: {
            const Lamp c = lamp_colours(l.tone);
            lens(cr, b, c.lit, c.dark, legend(e));
            break;
        }
        case Draw::bar_in: bar_at(cr, b, true); break;
        case Draw::bar_cross: bar_at(cr, b, false); break;
        case Draw::flag:
            colour(cr, hex(0xe0281e));
            rect(cr, b.x, b.y, b.w, b.h);
            cairo_fill(cr);
            if (l.legend && !*l.legend) {  // a striped flag over a window, without a word
                cairo_save(cr);
                rect(cr, b.x, b.y, b.w, b.h);
                cairo_clip(cr);
                colour(cr, kWhite);
                cairo_set_line_width(cr, 3);
                for (int d = -b.h; d < b.w; d += 8) {
                    cairo_move_to(cr, b.x + d, b.y + b.h);
                    cairo_line_to(cr, b.x + d + b.h, b.y);
                }
                cairo_stroke(cr);
                cairo_restore(cr);
            }
            colour(cr, kWhite);
            text(cr, legend(e), b.x + b.w / 2.0, b.y + b.h / 2.0, std::max(7.0, b.h * 0.45), b.w - 4);
            break;
        case Draw::needle: {
            cairo_save(cr);
            cairo_translate(cr, b.x + b.w / 2.0, b.y + b.h / 2.0);
            cairo_rotate(cr, dial_angle(l, s.value));
            needle_shape(cr, needle_length(b), needle_tail(b), needle_width(b), l.style);
            if (l.style == kLetteredNeedle) needle_letter(cr, e, dial_angle(l, s.value));
            cairo_restore(cr);
            break;
        }
        case Draw::bug:
            if (!l.all_round) {
                knob_at(cr, l, s.value);
                break;
            }
            cairo_save(cr);
            cairo_translate(cr, b.x + b.w / 2.0, b.y + b.h / 2.0);
            cairo_rotate(cr, deg(pointer_degrees(l, s.value)));
            rim_bug_shape(cr, l);
            cairo_restore(cr);
            break;
        case Draw::card:
        case Draw::bearing:
        case Draw::course:
        case Draw::bank_index: turning_at(cr, l, s.value); break;
        case Draw::deviation:
            cairo_save(cr);
            cairo_translate(cr, b.x + b.w / 2.0, b.y + b.h / 2.0);
            cairo_rotate(cr, deg(s.turned ? s.turn : -90.0));  // without its arrow: as on a course straight up
            deviation_shape(cr, l, deviation_offset(l, s.value));
            cairo_restore(cr);
            break;
        case Draw::sphere: sphere_at(cr, l, s.value, s.y); break;
        case Draw::fd_bar: fd_bar_at(cr, l, s.value); break;
        case Draw::pointer: pointer_at(cr, l, s.value); break;
        case Draw::symbol: symbol_at(cr, l); break;
        case Draw::heading_tape: heading_tape_at(cr, l, s.value, b); break;
        case Draw::drum: drum_digits(cr, b, l, s.value); break;
        case Draw::tape:
            if (l.style == kExtensionBar)
                extension_bar_at(cr, l, b, s.value);
            else if (l.travel > 0.0)
                numbered_tape_at(cr, l, b, s.value);
            else
                tape_at(cr, b, s.value);
            break;
        case Draw::marker: marker_at(cr, b, s.value); break;
        case Draw::readout:
            colour(cr, kWhite);
            text(cr, s.text ? s.text : "", b.x + b.w / 2.0, b.y + b.h / 2.0, b.h * kReadoutTextHeight, b.w - 4, Font::mono);
            break;
        default: break;
    }
}

Box bitmap_size(const ElementLink& e) {
    const Box b = e.look.box;
    switch (e.look.draw) {
        case Draw::needle: return at(0, 0, needle_tail(b) + needle_length(b), pointer_of(e.look).width);
        case Draw::bug:
        case Draw::knob:
        case Draw::card:
        case Draw::bearing:
        case Draw::course:
        case Draw::bank_index:
            if (e.header->element_type == abi::ELEMENT_TYPE_NEEDLE) {
                const Pointer p = pointer_of(e.look);
                return at(0, 0, p.tail + p.length, p.width);
            }
            return at(0, 0, std::max<int>(1, b.w), std::max<int>(1, b.h));
        case Draw::sphere: {  // the sphere from nose down to nose up, its window's height above and below
            const int rs = face_sphere_radius(b);
            return at(0, 0, 2 * rs, 2 * rs + 2 * static_cast<int>(std::ceil(e.look.travel)));
        }
        case Draw::drum:
            if (e.header->element_type == abi::ELEMENT_TYPE_ICON) return at(0, 0, b.w, b.h);  // one face an image
            return at(0, 0, b.w, b.h * (drum_positions(e.look) + 1));  // every face, and the first again
        case Draw::tape:
            if (e.look.style == kExtensionBar) return at(0, 0, b.w, b.h);
            if (e.look.travel > 0.0) return at(0, 0, b.w, b.h + static_cast<int>(std::ceil((e.look.hi - e.look.lo) * e.look.travel)));
            return at(0, 0, b.w, b.h * 3);
        case Draw::heading_tape: return at(0, 0, b.w + static_cast<int>(std::ceil(e.look.travel * (e.look.hi - e.look.lo))), b.h);
        default: return at(0, 0, std::max<int>(1, b.w), std::max<int>(1, b.h));
    }
}

void bitmap(cairo_t* cr, const ElementLink& e, int image) {
    const Box b = e.look.box;
    cairo_save(cr);
    switch (e.look.draw) {
        case Draw::needle:
            cairo_translate(cr, needle_tail(b), pointer_of(e.look).width / 2.0);
            needle_shape(cr, needle_length(b), needle_tail(b), needle_width(b), e.look.style);
            if (e.look.style == kLetteredNeedle) needle_letter(cr, e);
            break;
        case Draw::card:
        case Draw::bearing:
        case Draw::course:
        case Draw::bank_index: {  // turned by the simulator about the face's centre
            const Pointer p = pointer_of(e.look);
            cairo_translate(cr, p.tail, p.width / 2.0);
            turning_shape(cr, e.look);
            break;
        }
        case Draw::heading_tape: {  // the whole card, north at the left end and again at the right
            const Box sz = bitmap_size(e);
            heading_tape_at(cr, e.look, e.look.lo, at(-b.w / 2, 0, sz.w + b.w, b.h));
            break;
        }
        case Draw::sphere: {
            const Box sz = bitmap_size(e);
            cairo_translate(cr, sz.w / 2.0, sz.h / 2.0);
            sphere_picture(cr, sphere_ppd(e.look), sz.w / 2.0, -sz.h / 2.0, sz.h / 2.0);
            break;
        }
        case Draw::bug:
        case Draw::knob:
            if (e.header->element_type == abi::ELEMENT_TYPE_NEEDLE) {  // turned by the simulator
                const Pointer p = pointer_of(e.look);
                cairo_translate(cr, p.tail, p.width / 2.0);
                if (e.look.draw == Draw::bug && e.look.all_round)
                    rim_bug_shape(cr, e.look);
                else
                    pointer_shape(cr, e.look);
                break;
            }
            cairo_translate(cr, -b.x, -b.y);
            knob_at(cr, e.look, e.look.lo + image);
            break;
        case Draw::drum: {
            colour(cr, kBlackFace);
            cairo_paint(cr);
            colour(cr, kWhite);
            const auto faces = drum_faces(e.look);
            const std::size_t n = faces.size();
            auto face = [&](std::size_t d, double y) { text(cr, faces[d % n], b.w / 2.0, y, b.h * 0.62, b.w - 2, Font::mono); };
            if (e.header->element_type == abi::ELEMENT_TYPE_ICON) {
                face(static_cast<std::size_t>(image), b.h * 0.5);  // an image a face
            } else {
                for (std::size_t d = 0; d <= n; ++d) face(d, b.h * (double(n - d) + 0.5));  // a strip, the first again on top
            }
            break;
        }
        default: {
            cairo_translate(cr, -b.x, -b.y);
            ElementState s;
            s.value = e.look.draw == Draw::knob ? e.look.lo + image : 0.0;
            if (e.look.travel > 0.0) s.value = (e.look.lo + e.look.hi) / 2;  // a sliding layer at its middle
            s.text = "";
            if (e.look.draw == Draw::tape && e.look.style == kExtensionBar) {  // fully out, seen through its window
                extension_bar_at(cr, e.look, b, e.look.lo);
            } else if (e.look.draw == Draw::tape && e.look.travel > 0.0) {  // the whole scale, lo at the bottom
                const Box sz = bitmap_size(e);
                numbered_tape_at(cr, e.look, at(b.x, b.y, sz.w, sz.h), (e.look.lo + e.look.hi) / 2, false);
            } else if (e.look.draw == Draw::tape) {
                tape_at(cr, at(b.x, b.y, b.w, b.h * 3), 0);
            } else {
                element(cr, e, s);
            }
        }
    }
    cairo_restore(cr);
}

}  // namespace tarvenol::draw
