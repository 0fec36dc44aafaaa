// The cockpit's drawings, one per element kind, made with cairo from each element's declaration
// (module/look.h) and its live state: the panel face with its engraved legends, dial faces and
// switch bases (the background), and over it the levers, lights, flow bars, needles, drums,
// tapes, markers and readouts. Used for the host's pictures and, at build time, for the module's
// bitmaps (tools/render_bitmaps).
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "module/gauge.h"

namespace tarvenol::draw {

// What the simulator would show of an element now.
struct ElementState {
    bool shown = true;
    double value = 0.0;        // icon index, needle reading, drum position, slider offset
    const char* text = "";     // a readout's text
    double y = 0.0;            // a moving image's second value (an attitude sphere's pitch)
    double turn = 0.0;         // degrees: the angle of the layer it rides on (Look::turns_with)
    bool turned = false;       // whether `turn` is known
};

// The panel face and everything on it that never moves.
void background(cairo_t* cr, const GaugeInfo& gauge);
// One element at its place, in its state (nothing while hidden).
void element(cairo_t* cr, const ElementLink& e, const ElementState& state);

// An element's own bitmap, as the module carries it: `image` picks one of its pictures (a
// selector's position). Size in pixels; the drawing's origin is the bitmap's top left.
Box bitmap_size(const ElementLink& e);
void bitmap(cairo_t* cr, const ElementLink& e, int image);

// The face a drum at `position` shows in the middle of its window (the nearer one while it rolls).
std::string drum_face(const Look& look, double position);

// Every text the drawings print from now on, as its box in the gauge's pixels (drum faces rolling
// out of their window left out), until called again with nullptr: for the check that no legend
// overlaps another.
struct TextBox {
    double x, y, w, h;
    std::string text;
};
void record_texts(std::vector<TextBox>* into);

// A legend as the panel prints it: the declared one, else the element's name in capitals.
std::string legend(const ElementLink& e);

}  // namespace tarvenol::draw
