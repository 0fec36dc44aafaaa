// How an element looks and where it sits: the drawing kind, its colour, its legend and its box in
// the gauge's pixels (2 pixels per millimetre of the gauge's declared width). A gauge unit writes
// these beside its element and area declarations; an element declared without one gets the kit's
// automatic layout (module/layout.cpp), so a gauge always draws and its click areas sit on its
// drawings. The drawings themselves are made outside the module (host/draw.cpp): the module only
// carries the description and the bitmap resource ids.
#pragma once

#include <cstdint>

namespace tarvenol {

constexpr int kPixelsPerMm = 2;

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
    drum,       // a digit drum (value = digit position, 0..10)
    tape,       // a vertical tape (value = offset in pixels)
    marker,     // a slider marker (value = offset in pixels)
    readout,    // a text window
};

enum class Tone : std::uint8_t { white, warning, caution, advisory, blue, memo };

struct Box {
    std::int16_t x = 0, y = 0, w = 0, h = 0;
    constexpr bool empty() const { return w <= 0 || h <= 0; }
    constexpr bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

struct Look {
    Draw draw = Draw::none;
    Tone tone = Tone::white;
    const char* legend = nullptr;  // engraved above a switch, printed on a light, under a dial
    Box box{};                     // empty: laid out by the kit
    double lo = 0.0, hi = 0.0;     // a dial's scale, a knob's first and last position
    std::uint8_t position = 0;     // which position picture of a lever this is (0 = down)
    std::uint8_t positions = 0;    // how many positions its lever has
    const char* marks = nullptr;   // a knob's or lever's position legends, "OFF|ON" (else from the names)
};

// A needle over a dial box: its length from the pivot, the tail behind the pivot, its width.
int needle_length(Box dial);
int needle_tail(Box dial);
int needle_width(Box dial);

constexpr Box at(int x, int y, int w, int h) {
    return Box{static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::int16_t>(w),
               static_cast<std::int16_t>(h)};
}

// The background: a panel face `height` pixels high (0: as its contents need), titled.
constexpr Look panel(const char* title = nullptr, int height = 0) {
    Look l{Draw::panel};
    l.legend = title;
    l.box = at(0, 0, 0, height);
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
constexpr Look drum(Box box = {}) { return Look{Draw::drum, Tone::white, nullptr, box}; }
constexpr Look tape(const char* legend, Box box = {}) { return Look{Draw::tape, Tone::white, legend, box}; }
constexpr Look marker(const char* legend, Box box = {}) { return Look{Draw::marker, Tone::white, legend, box}; }
constexpr Look readout(Box box = {}) { return Look{Draw::readout, Tone::white, nullptr, box}; }

}  // namespace tarvenol
