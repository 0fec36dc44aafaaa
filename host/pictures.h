// Pictures of the cockpit as the stand-in host shows it: one PNG per gauge and one composed picture
// per panel window (the main panel and every panel window, open or not), drawn from the live element state, and
// the viewer page of a run (host/viewer.cpp). Also the cockpit's layout (module/cockpit_layout.h) in
// pixels, and the sample panel configuration (resources/panel.cfg) written from it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "module/cockpit_layout.h"
#include "module/gauge.h"

namespace tarvenol::host {

class PanelHost;

constexpr std::uint32_t kMainPanel = cockpit::kMainPanel;
// The panel windows of the cockpit, main panel first.
const std::vector<std::uint32_t>& panel_windows();
const char* window_title(std::uint32_t window);

struct Placement {
    const GaugeInfo* gauge;
    int x, y;
};
// The gauges of a window at their places, in pixels; the window's size in w, h.
std::vector<Placement> arrange(std::uint32_t window, int& w, int& h);

// The sample panel configuration: every gauge on its window at its place.
std::string panel_configuration();

// One picture taken during a run: its name, the frame, and each window's composed PNG.
struct Picture {
    std::string name;
    long frame = 0;
    double seconds = 0;
    std::vector<std::pair<std::uint32_t, std::string>> windows;  // window id, PNG bytes
};

class PictureBook {
public:
    explicit PictureBook(std::string dir) : dir_(std::move(dir)) {}
    // Writes DIR/NAME/<gauge>.png for every gauge and DIR/NAME/window_<id>.png for the main panel and
    // every panel window; false (with a message) when a file cannot be written.
    bool take(const std::string& name, PanelHost& host, long frame, std::string& error);
    // Writes DIR/index.html: the pictures (the files beside it), each with the printed timeline of
    // its stretch of the run beside it (timeline_text up to text_offsets[i] for picture i) and, on
    // demand, the raw events of the CSV trace.
    bool write_viewer(const std::string& title, std::FILE* trace_csv, std::FILE* timeline_text,
                      const std::vector<long>& text_offsets, std::string& error) const;
    const std::vector<Picture>& pictures() const { return pictures_; }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
    std::vector<Picture> pictures_;
};

// One row of the CSV trace (frame,time_s,kind,subject,detail,before,after), quotes undone.
std::vector<std::string> csv_row(const std::string& line);

// A gauge as drawn now, as PNG bytes.
std::string gauge_png(const GaugeInfo& gauge, PanelHost& host);
// What a gauge's drawing depends on, taken at one moment (cheap), and the gauge drawn from it later
// (anywhere, while the simulation runs on): each element's shown bit, value and text.
struct ElementShot {
    bool shown = true;
    double value = 0.0;
    std::string text;
    double y = 0.0;        // a moving image's second value
    double turn = 0.0;     // the angle of the layer it rides on, when `turned`
    bool turned = false;
};
std::vector<ElementShot> snapshot(const GaugeInfo& gauge, PanelHost& host);
std::string gauge_png(const GaugeInfo& gauge, const std::vector<ElementShot>& shot);
// Whether this build draws pictures (it needs cairo).
bool pictures_supported();

}  // namespace tarvenol::host
