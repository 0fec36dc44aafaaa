// The host's pictures, drawn with cairo (host/draw.cpp) from the live element state.
#include <cairo.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/campaign.h"
#include "host/draw.h"
#include "host/panel_host.h"
#include "host/pictures.h"
#include "module/module_state.h"

namespace tarvenol::host {
namespace {

draw::ElementState state_of(const GaugeInfo& g, const ElementLink& e, PanelHost& host) {
    draw::ElementState s;
    s.shown = is_visible(*e.header);
    s.value = host.element_value(e.header);
    s.y = host.element_y_value(e.header);
    s.text = host.element_text(e.header);
    if (!s.text) s.text = "";
    // A layer riding on another (a deviation bar on its course arrow) turns with it.
    if (e.look.turns_with)
        for (std::size_t i = 0; i < g.element_count; ++i)
            if (std::strcmp(g.elements[i]->name, e.look.turns_with) == 0) {
                s.turn = pointer_degrees(g.elements[i]->look, host.element_value(g.elements[i]->header));
                s.turned = true;
            }
    return s;
}

void draw_gauge(cairo_t* cr, const GaugeInfo& g, PanelHost& host) {
    draw::background(cr, g);
    for (std::size_t i = 1; i < g.element_count; ++i) draw::element(cr, *g.elements[i], state_of(g, *g.elements[i], host));
}

cairo_status_t append(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

std::string png_of(cairo_surface_t* s) {
    std::string bytes;
    cairo_surface_write_to_png_stream(s, &append, &bytes);
    return bytes;
}

bool write_file(const std::string& path, const std::string& bytes, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
        if (f) std::fclose(f);
        error = "cannot write " + path;
        return false;
    }
    if (std::fclose(f) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool make_dir(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0777) == 0 || errno == EEXIST) return true;
    error = "cannot create the folder " + path + ": " + std::strerror(errno);
    return false;
}

std::string file_name(const GaugeInfo& g) {
    std::string n = g.name;
    const auto blank = n.find(' ');
    if (blank != std::string::npos) n.erase(0, blank + 1);
    for (char& c : n)
        if (c == ' ' || c == '/' || c == '\\') c = '_';
    return n;
}

}  // namespace

bool pictures_supported() { return true; }

std::vector<ElementShot> snapshot(const GaugeInfo& g, PanelHost& host) {
    std::vector<ElementShot> shot(g.element_count);
    for (std::size_t i = 1; i < g.element_count; ++i) {
        const draw::ElementState s = state_of(g, *g.elements[i], host);
        shot[i] = {s.shown, s.value, s.text, s.y, s.turn, s.turned};
    }
    return shot;
}

std::string gauge_png(const GaugeInfo& g, const std::vector<ElementShot>& shot) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, g.size->w, g.size->h);
    cairo_t* cr = cairo_create(s);
    draw::background(cr, g);
    for (std::size_t i = 1; i < g.element_count && i < shot.size(); ++i)
        draw::element(cr, *g.elements[i],
                      {shot[i].shown, shot[i].value, shot[i].text.c_str(), shot[i].y, shot[i].turn, shot[i].turned});
    cairo_destroy(cr);
    std::string png = png_of(s);
    cairo_surface_destroy(s);
    return png;
}

std::string gauge_png(const GaugeInfo& g, PanelHost& host) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, g.size->w, g.size->h);
    cairo_t* cr = cairo_create(s);
    draw_gauge(cr, g, host);
    cairo_destroy(cr);
    std::string png = png_of(s);
    cairo_surface_destroy(s);
    return png;
}

bool PictureBook::take(const std::string& name, PanelHost& host, long frame, std::string& error) {
    const std::string folder = dir_ + "/" + name;
    if (!make_dir(dir_, error) || !make_dir(folder, error)) return false;
    for (const GaugeInfo* g : gauges())
        if (!write_file(folder + "/" + file_name(*g) + ".png", gauge_png(*g, host), error)) return false;
    Picture p;
    p.name = name;
    p.frame = frame;
    // Every window, open or not, so that a run shows panels whose windows it never opens.
    for (std::uint32_t window : panel_windows()) {
        int w = 0, h = 0;
        const auto placed = arrange(window, w, h);
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(w, 1), std::max(h, 1));
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0.12, 0.13, 0.14);
        cairo_paint(cr);
        for (const Placement& pl : placed) {
            cairo_save(cr);
            cairo_translate(cr, pl.x, pl.y);
            cairo_rectangle(cr, 0, 0, pl.gauge->size->w, pl.gauge->size->h);
            cairo_clip(cr);
            draw_gauge(cr, *pl.gauge, host);
            cairo_restore(cr);
        }
        cairo_destroy(cr);
        std::string png = png_of(s);
        cairo_surface_destroy(s);
        if (!write_file(folder + "/window_" + std::to_string(window) + ".png", png, error)) return false;
        p.windows.emplace_back(window, std::move(png));
    }
    pictures_.push_back(std::move(p));
    return true;
}

}  // namespace tarvenol::host

// --- The autoland campaign's touchdown dispersion ---------------------------------------------------

namespace tarvenol::host {

namespace {

cairo_surface_t* draw_dispersion(const std::vector<ApproachResult>& results) {
    using namespace autoland_criteria;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kDispersionWidth, kDispersionHeight);
    cairo_t* cr = cairo_create(s);
    const auto at = [](double past, double right) { return dispersion_point(past, right); };
    cairo_set_source_rgb(cr, 0.93, 0.95, 0.90);
    cairo_paint(cr);
    // The runway, its centreline, and the box the criteria allow the aircraft's centre (the
    // outboard gear's limit less half the track).
    const NavWorld& w = builtin_nav_world();
    const PlotPoint far = at(1e9, 0.0), end = at(w.runway.length_m, w.runway.width_m / 2.0), start = at(0.0, -w.runway.width_m / 2.0);
    cairo_set_source_rgb(cr, 0.35, 0.35, 0.38);
    cairo_rectangle(cr, start.x, start.y, std::min(end.x, static_cast<double>(kDispersionWidth)) - start.x, end.y - start.y);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 1.0);
    const double dashes[] = {8.0, 6.0};
    cairo_set_dash(cr, dashes, 2, 0);
    cairo_move_to(cr, at(0.0, 0.0).x, at(0.0, 0.0).y);
    cairo_line_to(cr, std::min(far.x, static_cast<double>(kDispersionWidth)), at(0.0, 0.0).y);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    const double box = kOutboardGearM - kMainGearHalfTrackM;
    const PlotPoint b0 = at(kEarliestM, -box), b1 = at(kLatestM, box);
    cairo_set_source_rgb(cr, 0.2, 0.6, 1.0);
    cairo_set_line_width(cr, 2.0);
    cairo_rectangle(cr, b0.x, b0.y, b1.x - b0.x, b1.y - b0.y);
    cairo_stroke(cr);
    // Every touchdown: green within all three criteria, amber outside one, red judged a fault.
    for (const ApproachResult& r : results) {
        const TouchdownReport& t = r.touchdown;
        if (!t.landed) continue;
        const bool within = t.past_threshold_m >= kEarliestM && t.past_threshold_m <= kLatestM &&
                            std::fabs(t.right_of_centreline_m) + kMainGearHalfTrackM <= kOutboardGearM && t.sink_fpm <= kMaxSinkFpm;
        if (r.judgement.verdict != Verdict::landed) cairo_set_source_rgb(cr, 0.85, 0.1, 0.1);
        else if (within) cairo_set_source_rgb(cr, 0.1, 0.7, 0.2);
        else cairo_set_source_rgb(cr, 0.95, 0.6, 0.1);
        const PlotPoint p = at(t.past_threshold_m, t.right_of_centreline_m);
        cairo_arc(cr, std::clamp(p.x, 2.0, kDispersionWidth - 2.0), std::clamp(p.y, 2.0, kDispersionHeight - 2.0), 3.0, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    // The scale every 200 m along and 20 m across, and the labels.
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 12.0);
    cairo_set_line_width(cr, 1.0);
    char label[160];
    const double bottom = at(0.0, 60.0).y;
    for (double m = 0.0; m <= 1800.0; m += 200.0) {
        cairo_move_to(cr, at(m, 0.0).x, bottom + 4);
        cairo_line_to(cr, at(m, 0.0).x, bottom + 10);
        cairo_stroke(cr);
        std::snprintf(label, sizeof label, "%.0f", m);
        cairo_move_to(cr, at(m, 0.0).x - 10, bottom + 24);
        cairo_show_text(cr, label);
    }
    std::snprintf(label, sizeof label, "metres past the threshold of runway %s, %.0f m by %.0f m (%zu approaches)",
                  w.runway.name.c_str(), w.runway.length_m, w.runway.width_m, results.size());
    cairo_move_to(cr, start.x, kDispersionHeight - 8);
    cairo_show_text(cr, label);
    cairo_move_to(cr, 50, 20);
    cairo_show_text(cr, "Touchdowns: green within the criteria, amber outside one, red judged a fault. "
                        "Blue: 61-823 m past the threshold, centre within 16 m (outboard gear within 21 m)");
    for (double m = -40.0; m <= 40.0; m += 20.0) {
        std::snprintf(label, sizeof label, m < 0 ? "%.0f L" : m > 0 ? "%.0f R" : "0", std::fabs(m));
        cairo_move_to(cr, 8, at(0.0, m).y + 4);
        cairo_show_text(cr, label);
    }
    cairo_destroy(cr);
    cairo_surface_flush(s);
    return s;
}

}  // namespace

bool write_dispersion_png(const std::vector<ApproachResult>& results, const std::string& path, std::string& error) {
    cairo_surface_t* s = draw_dispersion(results);
    const cairo_status_t status = cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool dispersion_image(const std::vector<ApproachResult>& results, std::vector<std::uint32_t>& pixels, int& width, int& height) {
    cairo_surface_t* s = draw_dispersion(results);
    width = cairo_image_surface_get_width(s);
    height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) pixels[static_cast<std::size_t>(y) * width + x] = row[x] & 0xFFFFFF;
    }
    cairo_surface_destroy(s);
    return true;
}

}  // namespace tarvenol::host
