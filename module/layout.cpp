// The kit's layout: every element and click area that its gauge placed explicitly keeps its box;
// the others are laid out as a panel of that kind would be — switches and selectors in a row with
// their legends above, each light and flow bar under the switch it belongs to (by name), the
// other lights in a row, dials in a grid, drums, tapes and readouts in rows below — and each click
// area on the drawing of its control: a switch's area on the part of the lever of its position, a
// selector's down/up areas on the knob's left/right half, a button's area on its lens. An area
// that belongs to no drawn control gets a push button of its own in a last row.
// It also positions the simulator's element records and numbers the gauge's bitmaps.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "module/gauge.h"
#include "module/palette.h"
#include "module/units.h"

namespace tarvenol {
namespace {

constexpr int kMargin = 6;
constexpr int kTitleBand = 20;
constexpr int kLegendBand = 28;   // engraved legend and top position above a switch
constexpr int kMarkBand = 14;     // position legend below a switch
constexpr int kGap = 4;
constexpr int kMinCell = 48;
constexpr int kMaxCell = 88;
constexpr int kLeverW = 36, kLeverH = 56;
constexpr int kKnobSize = 52;
constexpr int kLightW = 60, kLightH = 24;
constexpr int kBarW = 36, kBarH = 24;
constexpr int kDialMax = 200, kDialMin = 60;
constexpr int kDrumW = 16, kDrumH = 26;
constexpr int kTapeW = 30, kTapeH = 100;
constexpr int kReadoutCharW = 12, kReadoutH = 24;
constexpr int kButtonW = 56, kButtonH = 26;
constexpr int kDefaultScaleTop = 100;
constexpr int kDefaultKnobPositions = 8;

using std::string_view;

string_view before_dot(string_view name) { return name.substr(0, name.find('.')); }
string_view after_dot(string_view name) {
    const auto dot = name.find('.');
    return dot == string_view::npos ? string_view{} : name.substr(dot + 1);
}
bool has_word(string_view name, string_view word) { return name.find(word) != string_view::npos; }

// A name without what it says about its kind: "tr_1_sw.on" -> "tr_1", "tr_1_off_light" -> "tr_1_off".
string_view stem(string_view name) {
    name = before_dot(name);
    for (string_view s : {"_sw", "_sel", "_light", "_lamp", "_bar", "_knob", "_needle", "_lt", "_images", "_button"})
        if (name.size() > s.size() && name.substr(name.size() - s.size()) == s) return name.substr(0, name.size() - s.size());
    return name;
}

// How many leading words ('_'-separated) two names share.
int common_words(string_view a, string_view b) {
    int words = 0;
    std::size_t i = 0;
    for (;; ++i) {
        const bool end_a = i == a.size() || a[i] == '_';
        const bool end_b = i == b.size() || b[i] == '_';
        if (end_a || end_b) {
            if (end_a && end_b) ++words;
            if (i == a.size() || i == b.size() || !(end_a && end_b)) break;
            continue;
        }
        if (a[i] != b[i]) break;
    }
    return words;
}
// Leading or trailing: "transf_1" shares two words with "ac_transf_1".
int shared_words(string_view a, string_view b) {
    int trailing = 0;
    std::size_t i = a.size(), j = b.size();
    while (i > 0 && j > 0) {
        const auto wa = a.rfind('_', i - 1), wb = b.rfind('_', j - 1);
        const std::size_t sa = wa == string_view::npos ? 0 : wa + 1, sb = wb == string_view::npos ? 0 : wb + 1;
        if (a.substr(sa, i - sa) != b.substr(sb, j - sb)) break;
        ++trailing;
        if (sa == 0 || sb == 0) break;
        i = sa - 1;
        j = sb - 1;
    }
    return std::max(common_words(a, b), trailing);
}
int word_count(string_view a) { return 1 + static_cast<int>(std::count(a.begin(), a.end(), '_')); }

Draw infer(const ElementLink& l) {
    const string_view name = l.name;
    switch (l.header->element_type) {
        case abi::ELEMENT_TYPE_STATIC_IMAGE: return Draw::panel;
        case abi::ELEMENT_TYPE_NEEDLE:
            if (has_word(name, "knob") || has_word(name, "sel")) return Draw::knob;
            return has_word(name, "marker") || has_word(name, "bug") ? Draw::bug : Draw::needle;
        case abi::ELEMENT_TYPE_STRING: return Draw::readout;
        case abi::ELEMENT_TYPE_SLIDER: return Draw::marker;
        case abi::ELEMENT_TYPE_MOVING_IMAGE: return has_word(name, "drum") ? Draw::drum : Draw::tape;
        case abi::ELEMENT_TYPE_ICON:
            if (l.bitmaps > 1) return Draw::knob;
            if (has_word(name, "bar") || has_word(name, "flow")) return Draw::bar_in;
            if (has_word(name, "flag") || has_word(name, "sign") || has_word(name, "plus") || has_word(name, "minus") ||
                has_word(name, "pointer"))
                return Draw::flag;
            if (has_word(name, "button")) return Draw::button;
            return Draw::light;
        default: return Draw::flag;
    }
}

Tone infer_tone(string_view name) {
    for (string_view w : {"fire", "warn", "alarm", "master", "pull_up", "overspeed"})
        if (has_word(name, w)) return Tone::warning;
    for (string_view w : {"avail", "_on", "engaged", "arm", "open", "valve", "_ok", "land"})
        if (has_word(name, w)) return Tone::advisory;
    return Tone::caution;
}

bool is_switch(Draw d) { return d == Draw::lever || d == Draw::knob; }
bool is_lamp(Draw d) {
    return d == Draw::light || d == Draw::button || d == Draw::bar_in || d == Draw::bar_cross || d == Draw::flag;
}

struct Control {
    std::size_t first, count;  // links[first .. first + count)
    Draw draw;
    string_view stem;
    Box box;
    int below;  // pixels already taken under it
};

class Layout {
public:
    Layout(ElementLink* const* links, std::size_t n, int width) : links_(links), n_(n), width_(width) {}

    Box run(const AreaDef* areas, std::size_t area_count, Box* area_boxes) {
        Look& bg = links_[0]->look;
        if (bg.draw == Draw::none) bg.draw = Draw::panel;
        y_ = kMargin + (bg.legend ? kTitleBand : 0);
        for (std::size_t i = 1; i < n_; ++i) {
            Look& l = links_[i]->look;
            if (l.draw == Draw::none) l.draw = infer(*links_[i]);
            if (is_lamp(l.draw) && l.tone == Tone::white && l.draw != Draw::bar_in && l.draw != Draw::bar_cross &&
                l.draw != Draw::flag)
                l.tone = infer_tone(links_[i]->name);
            if ((l.draw == Draw::needle || l.draw == Draw::bug) && l.lo == l.hi) l.hi = kDefaultScaleTop;
            if (l.draw == Draw::knob && l.lo == l.hi)
                l.hi = l.positions > 1 ? l.positions - 1
                                       : links_[i]->bitmaps > 1 ? links_[i]->bitmaps - 1 : kDefaultKnobPositions - 1;
            bottom_ = std::max(bottom_, l.box.empty() ? 0 : l.box.y + l.box.h);
        }
        // What the gauge leaves to the kit goes under what it placed itself.
        if (bottom_ > 0) y_ = std::max(y_, bottom_ + kGap);
        find_controls();
        place_switches();
        place_lamps();
        place_grid(Draw::needle);
        place_grid(Draw::bug);
        place_row(Draw::drum);
        place_row(Draw::tape);
        place_row(Draw::marker);
        place_row(Draw::readout);
        place_areas(areas, area_count, area_boxes);
        const int height = std::max({y_ + kMargin, bottom_ + kMargin, static_cast<int>(bg.box.h)});
        bg.box = at(0, 0, width_, height);
        return bg.box;
    }

private:
    void find_controls() {
        for (std::size_t i = 1; i < n_;) {
            const Look& l = links_[i]->look;
            std::size_t count = 1;
            if ((l.draw == Draw::lever || l.draw == Draw::knob) && l.positions > 1) count = std::min<std::size_t>(l.positions, n_ - i);
            controls_.push_back({i, count, l.draw, stem(links_[i]->name), l.box, 0});
            i += count;
        }
    }

    // Gives a control (all its links) a box.
    void give(Control& c, Box b) {
        c.box = b;
        for (std::size_t k = 0; k < c.count; ++k) links_[c.first + k]->look.box = b;
        bottom_ = std::max(bottom_, b.y + b.h);
    }

    // Cells of a row of `count` items, at least `min_cell` wide: the x of the centre of item i.
    struct Row {
        int per_row, cell, left;
    };
    Row row_of(std::size_t count, int min_cell, int max_cell) const {
        const int room = width_ - 2 * kMargin;
        int per_row = std::max(1, std::min(static_cast<int>(count), room / min_cell));
        int cell = std::min(max_cell, room / per_row);
        return {per_row, cell, kMargin + (room - per_row * cell) / 2};
    }

    void place_switches() {
        std::vector<Control*> todo;
        for (Control& c : controls_)
            if (is_switch(c.draw) && c.box.empty()) todo.push_back(&c);
        if (todo.empty()) return;
        const Row r = row_of(todo.size(), kMinCell, kMaxCell);
        int row_height = 0;
        for (std::size_t i = 0; i < todo.size(); ++i) {
            const int col = static_cast<int>(i) % r.per_row;
            if (i && col == 0) y_ += row_height;
            const int cx = r.left + col * r.cell + r.cell / 2;
            const bool lever = todo[i]->draw == Draw::lever;
            const int w = lever ? kLeverW : kKnobSize, h = lever ? kLeverH : kKnobSize;
            give(*todo[i], at(cx - w / 2, y_ + kLegendBand, w, h));
            row_height = kLegendBand + kLeverH + kMarkBand + kGap;
        }
        y_ += row_height;
    }

    // The switch a light or bar belongs to: the one whose name it shares most words with (all of
    // the switch's words, or at least two).
    Control* owner(string_view name) {
        Control* best = nullptr;
        int best_score = 0;
        for (Control& c : controls_) {
            if (!is_switch(c.draw)) continue;
            const int score = common_words(name, c.stem);
            if (score > best_score && (score >= 2 || score == word_count(c.stem))) {
                best = &c;
                best_score = score;
            }
        }
        return best;
    }

    static Box lamp_size(Draw d) {
        if (d == Draw::bar_in || d == Draw::bar_cross) return at(0, 0, kBarW, kBarH);
        return at(0, 0, kLightW, kLightH);
    }

    void place_lamps() {
        std::vector<Control*> loose;
        for (Control& c : controls_) {
            if (!is_lamp(c.draw) || !c.box.empty()) continue;
            // Both pictures of a flow bar share one place.
            const Look& l = links_[c.first]->look;
            if ((c.draw == Draw::bar_cross || l.position > 0) && c.first > 1 && links_[c.first - 1]->look.draw == Draw::bar_in) {
                give(c, links_[c.first - 1]->look.box);
                continue;
            }
            Control* sw = owner(c.stem);
            if (!sw) {
                loose.push_back(&c);
                continue;
            }
            const Box s = lamp_size(c.draw);
            const int top = sw->box.y + sw->box.h + kMarkBand + sw->below;
            give(c, at(sw->box.x + sw->box.w / 2 - s.w / 2, top, s.w, s.h));
            sw->below += s.h + kGap;
            y_ = std::max(y_, top + s.h + kGap);
        }
        if (loose.empty()) return;
        const Row r = row_of(loose.size(), kLightW + kGap, kLightW + 3 * kGap);
        int row_height = 0;
        for (std::size_t i = 0; i < loose.size(); ++i) {
            const int col = static_cast<int>(i) % r.per_row;
            if (i && col == 0) y_ += row_height;
            if (loose[i]->draw == Draw::bar_cross && i && loose[i - 1]->draw == Draw::bar_in) {
                give(*loose[i], loose[i - 1]->box);
                continue;
            }
            const Box s = lamp_size(loose[i]->draw);
            give(*loose[i], at(r.left + col * r.cell + (r.cell - s.w) / 2, y_, s.w, s.h));
            row_height = s.h + kGap;
        }
        y_ += row_height + kGap;
    }

    void place_grid(Draw kind) {
        std::vector<Control*> todo;
        for (Control& c : controls_)
            if (c.draw == kind && c.box.empty()) todo.push_back(&c);
        if (todo.empty()) return;
        const int room = width_ - 2 * kMargin;
        int cols = 1;
        while (cols * cols < static_cast<int>(todo.size())) ++cols;
        const int size = std::max(kDialMin, std::min(kDialMax, room / cols));
        cols = std::max(1, std::min(cols, room / size));
        const int left = kMargin + (room - cols * size) / 2;
        for (std::size_t i = 0; i < todo.size(); ++i) {
            const int col = static_cast<int>(i) % cols, row = static_cast<int>(i) / cols;
            give(*todo[i], at(left + col * size + kGap / 2, y_ + row * size + kGap / 2, size - kGap, size - kGap));
        }
        y_ += (static_cast<int>(todo.size() + cols - 1) / cols) * size;
    }

    // Drums side by side (a counter), tapes, markers and readouts in a row each.
    void place_row(Draw kind) {
        std::vector<Control*> todo;
        for (Control& c : controls_)
            if (c.draw == kind && c.box.empty()) todo.push_back(&c);
        if (todo.empty()) return;
        int x = kMargin, h = 0;
        for (Control* c : todo) {
            Box b{};
            switch (kind) {
                case Draw::drum: b = at(0, 0, kDrumW, kDrumH); break;
                case Draw::readout: {
                    const auto* rec = reinterpret_cast<const abi::ELEMENT_STRING*>(links_[c->first]->header);
                    // As wide as its characters need, but never wider than the gauge.
                    const int wanted = kReadoutCharW * std::max(1, int(rec->max_string_length)) + 2 * kGap;
                    b = at(0, 0, std::min(wanted, width_ - 2 * kMargin), kReadoutH);
                    break;
                }
                default: b = at(0, 0, kTapeW, kTapeH); break;
            }
            const int gap = kind == Draw::drum ? 0 : 2 * kGap;
            if (x + b.w > width_ - kMargin && x > kMargin) {
                x = kMargin;
                y_ += h + kGap;
            }
            give(*c, at(x, y_, b.w, b.h));
            x += b.w + gap;
            h = std::max(h, static_cast<int>(b.h));
        }
        y_ += h + 2 * kGap;
    }

    // The position of a lever whose picture is named with this suffix, or -1.
    int position_named(const Control& c, string_view suffix) const {
        if (!is_switch(c.draw) || c.count < 2 || suffix.empty()) return -1;
        for (std::size_t k = 0; k < c.count; ++k)
            if (after_dot(links_[c.first + k]->name) == suffix) return static_cast<int>(k);
        return -1;
    }

    Control* area_control(const AreaDef& a, int& position) {
        const string_view name = a.name, s = before_dot(name), suffix = after_dot(name);
        Control* best = nullptr;
        int best_score = -1;
        position = -1;
        // A switch with a position of the area's name, the one sharing most words; a position
        // another area already selects counts last (names that share no word go in order).
        constexpr int kTaken = 100;
        for (Control& c : controls_) {
            const int p = position_named(c, suffix);
            if (p < 0) continue;
            const bool taken = std::find(claimed_.begin(), claimed_.end(), std::make_pair(static_cast<const Control*>(&c), p)) != claimed_.end();
            const int score = shared_words(s, c.stem) - (taken ? kTaken : 0);
            if (score > best_score) {
                best = &c;
                best_score = score;
                position = p;
            }
        }
        if (best) {
            claimed_.emplace_back(best, position);
            return best;
        }
        // Otherwise the control sharing most words with it, switches before lamps.
        best_score = 0;
        for (int pass = 0; pass < 2 && !best; ++pass)
            for (Control& c : controls_) {
                if (pass == 0 ? !is_switch(c.draw) : !is_lamp(c.draw)) continue;
                const int score = shared_words(s, c.stem);
                if (score > best_score && (score >= 2 || score == word_count(c.stem) || score == word_count(s))) {
                    best = &c;
                    best_score = score;
                }
            }
        // A selector's areas named for the selector itself: the gauge's knob.
        if (!best && (s == "selector" || s == "knob"))
            for (Control& c : controls_)
                if (c.draw == Draw::knob) return &c;
        // On a gauge with a single switch, every other area is on it.
        if (!best && std::count_if(controls_.begin(), controls_.end(), [](const Control& c) { return is_switch(c.draw); }) == 1)
            for (Control& c : controls_)
                if (is_switch(c.draw)) return &c;
        return best;
    }

    void place_areas(const AreaDef* areas, std::size_t count, Box* boxes) {
        std::vector<std::size_t> loose;
        for (std::size_t i = 0; i < count; ++i) {
            const AreaDef& a = areas[i];
            boxes[i] = a.box;
            if (!a.box.empty()) continue;
            int position = -1;
            const Control* c = area_control(a, position);
            if (!c || c->box.empty()) {
                loose.push_back(i);
                continue;
            }
            const Box b = c->box;
            if (c->draw == Draw::lever && c->count > 1) {
                if (position < 0) position = a.cursor == Cursor::up ? int(c->count) - 1 : a.cursor == Cursor::down ? 0 : -1;
                if (position < 0) {
                    boxes[i] = b;
                } else {
                    // Position 0 at the bottom of the lever's travel.
                    const int slice = b.h / int(c->count);
                    boxes[i] = at(b.x, b.y + (int(c->count) - 1 - position) * slice, b.w, slice);
                }
            } else if (c->draw == Draw::knob && a.cursor != Cursor::hand) {
                boxes[i] = at(a.cursor == Cursor::down ? b.x : b.x + b.w / 2, b.y, b.w / 2, b.h);
            } else {
                boxes[i] = b;
            }
        }
        if (loose.empty()) return;
        const int button_w = std::min(kButtonW, width_ - 2 * kMargin);
        const Row r = row_of(loose.size(), button_w + kGap, button_w + 3 * kGap);
        y_ += kGap;
        for (std::size_t k = 0; k < loose.size(); ++k) {
            const int col = static_cast<int>(k) % r.per_row;
            if (k && col == 0) y_ += kButtonH + kGap;
            boxes[loose[k]] = at(r.left + col * r.cell + (r.cell - button_w) / 2, y_, button_w, kButtonH);
        }
        y_ += kButtonH + kGap;
    }

    ElementLink* const* links_;
    std::size_t n_;
    int width_;
    int y_ = 0;
    int bottom_ = 0;
    std::vector<Control> controls_;
    std::vector<std::pair<const Control*, int>> claimed_;
};


// What the simulator needs to draw a text window: a font on every Windows, bold, ANSI characters,
// centred on one line (the Win32 DrawText flags DT_CENTER | DT_VCENTER | DT_SINGLELINE).
constexpr char kReadoutFont[] = "Courier New";
static_assert(sizeof kReadoutFont <= sizeof abi::ELEMENT_STRING{}.font_name);
constexpr abi::SINT32 kReadoutFontWeight = 700;
constexpr abi::UINT8 kAnsiCharset = 0;
constexpr abi::UINT32 kDrawTextCentred = 0x0001 | 0x0004 | 0x0020;
// A needle's largest turn per update: a full turn, more than any scale spans, so no limit under any
// reading of the field.
constexpr abi::SINT32 kNeedleTurnUnlimited = 360;
// An attitude sphere's bank, degrees either way.
constexpr double kSphereBankRange = 180.0;

// The simulator turns a needle through its nonlinearity table: for each value in the table, the
// point on the gauge the needle then points at. The points lie on a circle about the pivot, close
// enough together (at most 45 degrees) that the simulator's interpolation between neighbours follows
// the scale, from the scale's low end to its high end.
void fill_needle_table(Needle& n) {
    const Look& l = n.link.look;
    const Box b = l.box;
    const int cx = b.x + b.w / 2, cy = b.y + b.h / 2;
    const double radius = std::max(8, std::min<int>(b.w, b.h) / 2);
    int entries = Needle::kTableSize;
    if (l.draw == Draw::knob) entries = std::clamp(static_cast<int>(l.hi - l.lo) + 1, 2, Needle::kTableSize);
    for (int k = 0; k < entries; ++k) {
        const double v = l.lo + (l.hi - l.lo) * k / (entries - 1);
        const double a = pointer_degrees(l, v) * kPi / 180.0;
        n.table[k].pt = {cx + static_cast<abi::PIXEL>(std::lround(std::cos(a) * radius)),
                         cy + static_cast<abi::PIXEL>(std::lround(std::sin(a) * radius))};
        n.table[k].value = v;
        n.table[k].degrees = 0.0;
    }
    n.rec.nonlinearity_table = n.table;
    n.rec.nonlinearity_table_size = static_cast<abi::UINT32>(entries);
}

// The simulator draws an element's bitmap with its top left at `position`; a needle turns about
// `position` (the dial's centre) and its bitmap about `ofs`. Moving images and sliders move by
// their value over the travel their drawing gives (module/look.h: drums 0..N positions, tapes and
// markers in pixels).
void place_record(ElementLink& l) {
    const Box b = l.look.box;
    abi::ELEMENT_HEADER& h = *l.header;
    switch (h.element_type) {
        case abi::ELEMENT_TYPE_NEEDLE: {
            const Pointer p = pointer_of(l.look);
            h.position = {b.x + b.w / 2, b.y + b.h / 2};
            h.ofs = {p.tail, p.width / 2};
            fill_needle_table(*reinterpret_cast<Needle*>(l.header));
            // The module turns its needles itself (one step a tick where the aircraft's rules say
            // so): the simulator must add no lag of its own.
            reinterpret_cast<abi::ELEMENT_NEEDLE*>(l.header)->max_degrees_per_tick = kNeedleTurnUnlimited;
            break;
        }
        case abi::ELEMENT_TYPE_MOVING_IMAGE: {
            // The record's position is the window's corner: the mask (module/gauge.h) is the window.
            h.position = {b.x, b.y};
            auto& m = *reinterpret_cast<abi::ELEMENT_MOVING_IMAGE*>(l.header);
            if (l.look.draw == Draw::drum) {
                m.min_y = 0.0;
                m.max_y = drum_positions(l.look);
            } else if (l.look.travel > 0.0) {  // a layer of a face: over its scale, on its axis
                if (m.update_x_cb && l.look.draw != Draw::sphere) {
                    m.min_x = l.look.lo;
                    m.max_x = l.look.hi;
                } else if (m.update_x_cb) {
                    // The sphere's bank: its strip is no wider than its window, so the simulator has
                    // nothing to slide sideways (the bank pointer shows bank there); the Linux picture
                    // turns the sphere by it.
                    m.min_x = -kSphereBankRange;
                    m.max_x = kSphereBankRange;
                }
                if (m.update_y_cb) {
                    m.min_y = l.look.lo;
                    m.max_y = l.look.hi;
                }
            } else {
                // A tape, bar or marker travels along each axis its callbacks drive.
                if (m.update_y_cb) {
                    m.min_y = -b.h;
                    m.max_y = b.h;
                }
                if (m.update_x_cb) {
                    m.min_x = -b.w;
                    m.max_x = b.w;
                }
            }
            break;
        }
        case abi::ELEMENT_TYPE_STRING: {
            // The simulator draws a text window itself, from these fields: as the pictures draw it,
            // engraving white centred on the dial face, in a fixed-pitch face every Windows has.
            h.position = {b.x, b.y};
            auto& t = *reinterpret_cast<abi::ELEMENT_STRING*>(l.header);
            t.img_size = {b.w, b.h};
            std::memset(t.font_name, 0, sizeof t.font_name);
            std::memcpy(t.font_name, kReadoutFont, sizeof kReadoutFont);
            t.font_weight = kReadoutFontWeight;
            t.font_charset = kAnsiCharset;
            t.char_height = std::max(1, static_cast<int>(std::lround(b.h * kReadoutTextHeight)));
            t.fg_color = palette::colorref(palette::kEngraving);
            t.bg_color = palette::colorref(palette::kDialFace);
            t.hilite_color = palette::colorref(palette::kCautionLit);
            t.draw_text_flags = kDrawTextCentred;
            break;
        }
        case abi::ELEMENT_TYPE_SLIDER: {
            h.position = {b.x, b.y};
            auto& s = *reinterpret_cast<abi::ELEMENT_SLIDER*>(l.header);
            s.scale_x = 1.0;  // a marker's value is its offset in pixels
            s.scale_y = 1.0;
            break;
        }
        default: h.position = {b.x, b.y}; break;
    }
}

}  // namespace

int face_card_radius(Box face) { return std::min(face.w, face.h) / 2 * 17 / 20; }
int face_sphere_radius(Box face) { return std::min(face.w, face.h) / 2 * 3 / 4; }

int needle_length(Box dial) { return std::min(dial.w, dial.h) * 2 / 5; }
int needle_tail(Box dial) { return std::max(2, needle_length(dial) / 5); }
int needle_width(Box dial) { return std::max(4, std::min(dial.w, dial.h) / 36) | 1; }

Pointer pointer_of(const Look& l) {
    const Box b = l.box;
    const int r = std::min(b.w, b.h) / 2;
    const int card = face_card_radius(b);
    switch (l.draw) {
        case Draw::card: return {card, card, 2 * card + 1};
        case Draw::bearing: return {card * 9 / 10, card * 9 / 10, std::max(9, r / 6) | 1};
        case Draw::course: return {card * 4 / 5, card * 4 / 5, std::max(9, r / 7) | 1};
        case Draw::bank_index: return {face_sphere_radius(b), 0, std::max(9, r / 9) | 1};
        case Draw::bug: return {std::max(6, r - 3), 0, std::max(7, r / 10) | 1};
        case Draw::knob: return {std::max(4, r * 2 / 3), 0, std::max(3, r / 8) | 1};
        default:
            if (l.style == kLetteredNeedle) return {needle_length(b), needle_tail(b), std::max(needle_width(b), 17) | 1};
            return {needle_length(b), needle_tail(b), needle_width(b)};
    }
}

double pointer_degrees(const Look& l, double v) {
    if (l.draw == Draw::knob) {
        const int n = std::max(2, static_cast<int>(l.hi - l.lo) + 1);
        const double spread = std::min(300.0, 40.0 * (n - 1));
        const double i = std::isfinite(v) ? std::clamp(v - l.lo, 0.0, double(n - 1)) : 0.0;
        return -90.0 - spread / 2 + i * spread / (n - 1);
    }
    const double kStart = l.arc_from, kSweep = l.arc;
    constexpr double kFullTurn = 360.0;
    const double span = l.hi - l.lo;
    if (l.all_round) {
        if (span == 0 || !std::isfinite(v)) return l.lo_at;
        double f = std::fmod((v - l.lo) / span, 1.0);
        if (f < 0) f += 1.0;
        return l.lo_at + (l.backwards ? -kFullTurn : kFullTurn) * f;
    }
    double f = 0.0;
    if (span != 0 && !std::isnan(v)) f = std::clamp((v - l.lo) / span, 0.0, 1.0);
    return kStart + kSweep * f;
}

Box lay_out(ElementLink* const* links, std::size_t count, const AreaDef* areas, std::size_t area_count,
            Box* area_boxes, abi::UINT32 width_mm, GaugeIndex index) {
    constexpr int kMinWidth = 40;
    const int width = std::max(kMinWidth, static_cast<int>(std::min<abi::UINT32>(width_mm, 2000)) * kPixelsPerMm);
    const Box size = Layout(links, count, width).run(areas, area_count, area_boxes);
    abi::ID id = kFirstBitmapId + static_cast<abi::ID>(index) * kBitmapIdsPerGauge;
    for (std::size_t i = 0; i < count; ++i) {
        ElementLink& l = *links[i];
        place_record(l);
        if (l.bitmaps > 0) {
            l.header->resource_id = id;
            id += bitmap_ids_taken(l);
        }
    }
    return size;
}

}  // namespace tarvenol
