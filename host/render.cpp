// The host's pictures, drawn with cairo (host/draw.cpp) from the live element state.
#include <cairo.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

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
