// How an element looks and where it sits: the drawing kind, its colour, its legend and its box in
// the gauge's pixels (2 pixels per millimetre of the gauge's declared width). A gauge unit writes
// these beside its element and area declarations; an element declared without one gets the kit's
// automatic layout (module/layout.cpp), so a gauge always draws and its click areas sit on its
// drawings. The drawings themselves are made outside the module (host/draw.cpp): the module only
// carries the description and the bitmap resource ids.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvenol {

constexpr int kPixelsPerMm = 2;
// A digit drum's positions: 0..9 and 0 again at 10 (module/drums.h).
constexpr int kDrumPositions = 10;

enum class Draw : std::uint8_t {
    none,       // not given: the kit picks from the element's kind and name
    panel,      // the gauge's background: panel face, engraved legends, dial faces, switch bases
    lever,      // one position picture of a toggle switch or lever
    knob,       // a rotary selector: pointer over engraved positions (value = position index)
    light,      // an annunciator light, lit while shown
    button,     // a push button's lens, lit while shown
    bar_in,     // a flow bar drawn in line
    bar_cross,  // a flow bar drawn across the line
    flag,       // a warning flag or a sign that appears in a window
    needle,     // a needle over a dial (value in the dial's units)
    bug,        // a marker on a dial's rim, turned like a needle (value in the dial's units)
    drum,       // a digit drum (value = digit position, 0..10)
    tape,       // a vertical tape (value = offset in pixels)
    marker,     // a slider marker (value = offset in pixels)
    readout,    // a text window
    // The layers of a flight instrument's face, all about the centre of the face's box:
    card,       // a compass card turned so that the heading (value) stands under the lubber line
    bearing,    // a bearing pointer across a card, head and tail (value: the pointer's angle);
                // `style` 1 a single bar, 2 a double bar
    course,     // a course arrow with its tail across a card (value: course on the card)
    deviation,  // a course deviation bar riding on the course arrow (x: needle units)
    sphere,     // an attitude sphere in its round window (x: bank, y: pitch, degrees)
    bank_index, // the bank pointer turning with the sphere over the fixed bank scale (value: bank)
    fd_bar,     // a flight director command bar (value: 1..11, 6 centred); `style` 0 roll, 1 pitch,
                // 2 runway symbol
    pointer,    // a pointer sliding along a straight scale beside the face (value: needle units)
    symbol,     // what stays fixed over the moving layers of a face (aircraft symbol, lubber line)
    heading_tape,  // a standby compass's card seen through its window (value: 360 less the heading)
};

enum class Tone : std::uint8_t { white, warning, caution, advisory, blue, memo };

struct Box {
    std::int16_t x = 0, y = 0, w = 0, h = 0;
    constexpr bool empty() const { return w <= 0 || h <= 0; }
    constexpr bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// A line of a panel's flow diagram, engraved on the face between its flow bars and buses.
struct Line {
    std::int16_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct Look {
    Draw draw = Draw::none;
    Tone tone = Tone::white;
    const char* legend = nullptr;  // engraved above a switch, printed on a light, under a dial
    Box box{};                     // empty: laid out by the kit
    double lo = 0.0, hi = 0.0;     // a dial's scale, a knob's first and last position
    std::uint8_t position = 0;     // which position picture of a lever this is (0 = down)
    std::uint8_t positions = 0;    // how many positions its lever has
    const char* marks = nullptr;   // a knob's or lever's position legends, "OFF|ON" (else from the names);
                                   // a drum's faces in the order of its positions (else the digits 0..9)
    double band_lo = 0.0, band_hi = 0.0;  // a dial's green normal band (none when equal)
    const char* units = nullptr;   // a dial's units, printed under its centre
    const Line* lines = nullptr;   // the background's flow diagram
    std::uint8_t line_count = 0;
    bool all_round = false;        // a dial whose needle goes all the way round (a compass card, a
                                   // clock hand): lo at the top, hi a full turn on, beyond it round again
    bool backwards = false;        // all round, turning against the clock as the value rises (a card)
    double lo_at = -90.0;          // all round: where lo points, degrees clockwise from +x (the top)
    std::uint8_t style = 0;        // a variant of the drawing kind (a double bearing bar, a pitch bar)
    const char* turns_with = nullptr;  // the element whose angle this one turns with (a deviation bar
                                       // on its course arrow), drawn so by the hosts that can
    double travel = 0.0;           // a moving layer's pixels: at the end of its scale (bars, pointers,
                                   // the sphere at 90 degrees), per unit (tapes, a compass card)
    double arc_from = 135.0, arc = 270.0;  // a dial's scale: where lo points and how far round hi is
                                           // (degrees clockwise from +x: lower left, three quarters)

    // The same dial with a green normal band and its units.
    constexpr Look band(double lo_value, double hi_value) const {
        Look l = *this;
        l.band_lo = lo_value;
        l.band_hi = hi_value;
        return l;
    }
    constexpr Look in(const char* unit_text) const {
        Look l = *this;
        l.units = unit_text;
        return l;
    }
    // The same dial with a needle that goes all the way round.
    constexpr Look round_dial() const {
        Look l = *this;
        l.all_round = true;
        return l;
    }
    // All round against the clock (a compass card: the heading turns to the top).
    constexpr Look turning_back() const {
        Look l = round_dial();
        l.backwards = true;
        return l;
    }
    // All round with lo pointing at `degrees` (clockwise from +x: 0 right, 90 down).
    constexpr Look lo_pointing(double degrees) const {
        Look l = round_dial();
        l.lo_at = degrees;
        return l;
    }
    // A dial whose scale starts at `from` degrees and sweeps `degrees` clockwise.
    constexpr Look swept(double from, double degrees) const {
        Look l = *this;
        l.arc_from = from;
        l.arc = degrees;
        return l;
    }
    constexpr Look styled(std::uint8_t s) const {
        Look l = *this;
        l.style = s;
        return l;
    }
    constexpr Look riding(const char* element) const {
        Look l = *this;
        l.turns_with = element;
        return l;
    }
    constexpr Look moving(double pixels) const {
        Look l = *this;
        l.travel = pixels;
        return l;
    }
};

// A needle over a dial box: its length from the pivot, the tail behind the pivot, its width.
int needle_length(Box dial);
int needle_tail(Box dial);
int needle_width(Box dial);
// A face's compass card and attitude sphere, radius in pixels about the centre of its box.
int face_card_radius(Box face);
int face_sphere_radius(Box face);
// What turns about a dial's or knob's centre (a needle, a rim bug, a knob's pointer): its length
// from the pivot, its tail behind the pivot and its width, in pixels.
struct Pointer {
    int length, tail, width;
};
Pointer pointer_of(const Look& look);
// Where a dial's needle, a bug or a knob's pointer points at `value`, in degrees clockwise from
// the gauge's +x axis (screen coordinates: y down). A dial sweeps 270 degrees from lower left to
// lower right; a knob's positions sit 40 degrees apart (at most 300 in all) centred on the top.
// A value outside the scale (or not a number) points at the nearer end, except on a dial all
// round, where it goes round again (not a number: the top).
double pointer_degrees(const Look& look, double value);

constexpr Box at(int x, int y, int w, int h) {
    return Box{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::int16_t>(w),
               static_cast<std::int16_t>(h)};
}
constexpr Line line(int x1, int y1, int x2, int y2) {
    return Line{static_cast<std::int16_t>(x1), static_cast<std::int16_t>(y1), static_cast<std::int16_t>(x2),
                static_cast<std::int16_t>(y2)};
}
// A box of w x h centred on (cx, cy).
constexpr Box centred(int cx, int cy, int w, int h) { return at(cx - w / 2, cy - h / 2, w, h); }

// The panel's common parts, placed by their centre line: the centre of column i of n across a
// panel `width` pixels wide; a toggle switch, an annunciator light and a flow bar window of the
// cockpit's sizes.
constexpr int column(int i, int n, int width) { return width * (2 * i + 1) / (2 * n); }
constexpr int kSwitchW = 36, kSwitchH = 56;
constexpr int kLampW = 64, kLampH = 30;
constexpr int kBarSize = 30;
constexpr Box switch_box(int cx, int top) { return at(cx - kSwitchW / 2, top, kSwitchW, kSwitchH); }
constexpr Box lamp_box(int cx, int top, int w = kLampW, int h = kLampH) { return at(cx - w / 2, top, w, h); }
constexpr Box bar_box(int cx, int cy) { return centred(cx, cy, kBarSize, kBarSize); }

// The background: a panel face `height` pixels high (0: as its contents need), titled.
constexpr Look panel(const char* title = nullptr, int height = 0) {
    Look l{Draw::panel};
    l.legend = title;
    l.box = at(0, 0, 0, height);
    return l;
}
// The same with a flow diagram (an array of static storage duration).
template <std::size_t N>
constexpr Look panel(const char* title, int height, const Line (&lines)[N]) {
    Look l = panel(title, height);
    l.lines = lines;
    l.line_count = static_cast<std::uint8_t>(N);
    return l;
}
// A toggle switch or lever; `marks` overrides the position legends taken from the element names.
constexpr Look lever(const char* legend, Box box = {}, const char* marks = nullptr) {
    Look l{Draw::lever, Tone::white, legend, box};
    l.marks = marks;
    return l;
}
constexpr Look knob(const char* legend, Box box, int first, int last, const char* marks = nullptr) {
    Look l{Draw::knob, Tone::white, legend, box, double(first), double(last)};
    l.marks = marks;
    return l;
}
constexpr Look light(Tone tone, const char* legend, Box box = {}) { return Look{Draw::light, tone, legend, box}; }
constexpr Look button(Tone tone, const char* legend, Box box = {}) { return Look{Draw::button, tone, legend, box}; }
constexpr Look flag(const char* legend, Box box = {}) { return Look{Draw::flag, Tone::white, legend, box}; }
constexpr Look bar(Box box = {}) { return Look{Draw::bar_in, Tone::white, nullptr, box}; }
constexpr Look dial(const char* legend, double lo, double hi, Box box = {}) {
    return Look{Draw::needle, Tone::white, legend, box, lo, hi};
}
// A bug on the rim of the dial in `box`, on the same scale as the dial's needle.
constexpr Look bug(const char* legend, double lo, double hi, Box box) {
    return Look{Draw::bug, Tone::white, legend, box, lo, hi};
}
// The maximum pointer on a dial (a thin red needle left at the highest reading) and a target
// marker on its rim (amber), on the dial's scale and box.
inline constexpr std::uint8_t kMaximumPointer = 1, kTargetMarker = 1;
// One of two needles on one dial, its legend ("L", "R") on a disc near its tip.
inline constexpr std::uint8_t kLetteredNeedle = 2;
constexpr Look max_pointer(const char* legend, double lo, double hi, Box box) {
    return dial(legend, lo, hi, box).styled(kMaximumPointer);
}
constexpr Look target_marker(const char* legend, double lo, double hi, Box box) {
    return bug(legend, lo, hi, box).styled(kTargetMarker);
}
constexpr Look drum(Box box = {}) { return Look{Draw::drum, Tone::white, nullptr, box}; }
// A drum whose positions show `faces` in order ("00|25|50|75"), the first again after the last.
constexpr Look drum(const char* faces, Box box = {}) {
    Look l = drum(box);
    l.marks = faces;
    return l;
}
// The faces of a drum wound the other way round: position p shows the digit (10 - p) mod 10.
inline constexpr const char* kReversedDigits = "0|9|8|7|6|5|4|3|2|1";
// How many positions a drum has: one per face.
constexpr int drum_positions(const Look& look) {
    if (!look.marks) return kDrumPositions;
    int n = 1;
    for (const char* c = look.marks; *c; ++c) n += *c == '|';
    return n;
}
constexpr Look tape(const char* legend, Box box = {}) { return Look{Draw::tape, Tone::white, legend, box}; }
// A tape drawn as a bar down its window, (hi - value) x travel pixels long, against the detents
// its marks name with their pixels from the top ("UP@0|1@29|FULL@82").
inline constexpr std::uint8_t kExtensionBar = 1;
constexpr Look marker(const char* legend, Box box = {}) { return Look{Draw::marker, Tone::white, legend, box}; }
constexpr Look readout(Box box = {}) { return Look{Draw::readout, Tone::white, nullptr, box}; }
// A readout's characters stand this share of its window's height.
constexpr double kReadoutTextHeight = 0.6;

// The layers of one face: each takes the face's box, so that they all turn about its centre.
// A compass card (value: heading, degrees) turning the heading to the top.
constexpr Look card(Box face) { return Look{Draw::card, Tone::white, nullptr, face, 0.0, 360.0}.turning_back(); }
// A pointer across the card at an angle measured from the right, clockwise (a relative bearing less 90).
constexpr Look bearing_pointer(const char* legend, Box face, std::uint8_t bars) {
    return Look{Draw::bearing, Tone::white, legend, face, 0.0, 360.0}.lo_pointing(0.0).styled(bars);
}
// The course arrow (value: the course less the heading, degrees, clockwise from the top).
constexpr Look course_arrow(Box face) { return Look{Draw::course, Tone::white, nullptr, face, 0.0, 360.0}.round_dial(); }
// A bug on the rim of a card all round (value as a course arrow's).
constexpr Look rim_bug(const char* legend, Box face) { return bug(legend, 0.0, 360.0, face).round_dial(); }
// The deviation bar across the middle of the course arrow: `full_scale` needle units at the last
// dot, `pixels` from the arrow.
constexpr Look deviation_bar(Box face, double full_scale, double pixels) {
    Look l{Draw::deviation, Tone::white, nullptr, face, -full_scale, full_scale};
    return l.moving(pixels);
}
// The attitude sphere in the round window of `face`.
constexpr Look sphere(Box face, double pixels_per_degree) {
    return Look{Draw::sphere, Tone::white, nullptr, face, -90.0, 90.0}.moving(pixels_per_degree * 90.0);
}
// The bank pointer (value: bank, right positive): at the top level, 20 degrees left at 20 right.
constexpr Look bank_index(Box face) {
    Look l = Look{Draw::bank_index, Tone::white, nullptr, face, -180.0, 180.0}.turning_back();
    l.lo_at = 90.0;
    return l;
}
// A flight director bar on the face (1..11, 6 on the aircraft symbol), `travel` pixels at 1 and 11.
constexpr Look fd_bar(Box face, std::uint8_t kind, double pixels) {
    return Look{Draw::fd_bar, Tone::white, nullptr, face, 1.0, 11.0}.styled(kind).moving(pixels);
}
inline constexpr std::uint8_t kRollBar = 0, kPitchBar = 1, kRunwayBar = 2;
// What stays fixed over a face's moving layers: the aircraft symbol of an attitude sphere, the
// aircraft seen from above in the middle of an HSI. (A card's lubber line is engraved outside its rim.)
constexpr Look face_symbol(Box face, std::uint8_t kind) { return Look{Draw::symbol, Tone::white, nullptr, face}.styled(kind); }
inline constexpr std::uint8_t kAttitudeSymbol = 0, kPlanSymbol = 1, kLubberWire = 2;
// A standby compass card in its window, `pixels_per_degree` along the window (value: 360 less the heading).
constexpr Look compass_card(Box window, double pixels_per_degree) {
    return Look{Draw::heading_tape, Tone::white, nullptr, window, 0.0, 360.0}.moving(pixels_per_degree);
}
// A pointer on a straight scale in `box` (a glide slope), lo at the top, `pixels` from the middle.
constexpr Look scale_pointer(const char* legend, Box box, double lo, double hi, double pixels) {
    return Look{Draw::pointer, Tone::white, legend, box, lo, hi}.moving(pixels);
}

}  // namespace tarvenol
