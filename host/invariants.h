// What the cockpit must never hold or show, checked between frames by the frame fuzzer and by tests:
//  - every shared variable and every gauge's named variable within the values its meaning allows
//    (its declared range: a flag 0/1, an interval, a list of positions or codes, a number);
//  - every element's value within what its drawing can show: an image index within its images, a
//    needle or bug within its dial's scale, a knob within its positions, a drum on 0..10, a marker
//    or tape at a number, a text window without "nan" or "inf";
//  - no horn, gong or bell looping once its request is gone, unless a rule keeps it (no chime is
//    started or stopped without the battery bus; a higher chime leaves a lower one's loop as it was);
//  - no key event whose identifier is not in the simulator vocabulary.
#pragma once

#include <string>
#include <vector>

#include "host/panel_host.h"
#include "module/shared_state.h"

namespace tarvenol::host {

struct Violation {
    enum class Kind { variable, element, sound, key_event };
    Kind kind;
    std::string where;  // "shared hyd_blue_press", "gauge element", "sound KLAXONCONT", "key event"
    double value;       // what it held or showed (for a sound: 1, looping)
    std::string allowed;  // what would have been right
};

// "shared hyd_blue_press[0] = 4294967281, allowed 0..3000"
std::string describe(const Violation& v);
const char* kind_name(Violation::Kind kind);

// The module's variables as they stand: the shared state and every gauge's named private state.
void check_variables(std::vector<Violation>& out);
// The value every shown element of every gauge got at its last update.
void check_elements(const PanelHost& host, std::vector<Violation>& out);
// The key events the host recorded since they were last cleared.
void check_key_events(const PanelHost& host, std::vector<Violation>& out);

// Every invariant around one frame. A request may be written after the aural dispatcher has run in
// the same frame (the host chooses the gauge order), so a loop is judged against the conditions
// both before and after the frame: it is a fault only if neither could have kept it.
class FrameInvariants {
public:
    explicit FrameInvariants(PanelHost& host) : host_(host) {}

    // Remembers the conditions the next frame starts from (after any clicks) and judges the key
    // events the clicks sent.
    void before_frame();
    // Checks everything after the frame and clears the host's key events; empty when all hold.
    std::vector<Violation> after_frame();

    // The conditions a looping sound depends on, as they stand.
    struct Conditions {
        SharedState shared;
        double gear_position = 0.0;
        double flap_position = 0.0;
        u8 fire_3 = 0;
        u8 gong_cont_2 = 0;
    };

private:
    PanelHost& host_;
    Conditions start_{};
    bool started_ = false;
    std::vector<Violation> pending_;
};

// Looping sounds whose request is gone in both `before` and `after`, and no rule keeps them.
void check_looping_sounds(const FrameInvariants::Conditions& before, const FrameInvariants::Conditions& after,
                          std::vector<Violation>& out);
FrameInvariants::Conditions current_conditions(PanelHost& host);

}  // namespace tarvenol::host
