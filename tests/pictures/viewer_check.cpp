// viewer_check COCKPIT_SIM SCENARIO WORKDIR: runs the scenario with --pictures, opens the viewer
// page in headless Chromium at the DC panel's window for the picture "dark" and for "lit", and
// checks the screenshots: amber TR OFF lights appear only in "lit". Exit 77 (skip) without Chromium.
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kSkipped = 77;
constexpr unsigned kLitCaution = 0xf2a516;
constexpr int kTolerance = 12;
constexpr int kLitPixelsAtLeast = 300;  // three lit TR OFF lights and more
constexpr int kDarkPixelsAtMost = 20;

int run(const std::string& command) {
    std::printf("+ %s\n", command.c_str());
    std::fflush(stdout);
    return std::system(command.c_str());
}

int count_lit(const std::string& png) {
    cairo_surface_t* s = cairo_image_surface_create_from_png(png.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) return -1;
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    int n = 0;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const unsigned*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x) {
            const unsigned p = row[x];
            const int dr = int((p >> 16) & 255) - int(kLitCaution >> 16), dg = int((p >> 8) & 255) - int((kLitCaution >> 8) & 255),
                      db = int(p & 255) - int(kLitCaution & 255);
            n += std::abs(dr) <= kTolerance && std::abs(dg) <= kTolerance && std::abs(db) <= kTolerance;
        }
    }
    cairo_surface_destroy(s);
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    if (run("command -v chromium >/dev/null 2>&1") != 0) {
        std::printf("chromium is not installed: skipped\n");
        return kSkipped;
    }
    const std::string sim = argv[1], scenario = argv[2], work = argv[3];
    if (run("rm -rf '" + work + "' && mkdir -p '" + work + "'") != 0) return 1;
    if (run("'" + sim + "' run '" + scenario + "' --quiet --pictures '" + work + "/pictures'") != 0) return 1;
    int lit[2] = {0, 0};
    const char* names[2] = {"dark", "lit"};
    for (int i = 0; i < 2; ++i) {
        const std::string shot = work + "/" + names[i] + ".png";
        const std::string profile = work + "/profile-" + names[i];
        if (run("timeout 90 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
                "--disable-background-networking --disable-component-update --disable-sync --hide-scrollbars "
                "--user-data-dir='" + profile + "' --window-size=1400,1100 --screenshot='" + shot + "' 'file://" + work +
                "/pictures/index.html#" + names[i] + "@10060' >/dev/null 2>&1") != 0)
            return 1;
        lit[i] = count_lit(shot);
        std::printf("%s: %d pixels of a lit caution light\n", names[i], lit[i]);
    }
    if (lit[0] < 0 || lit[1] < 0) return 1;
    return lit[1] >= kLitPixelsAtLeast && lit[0] <= kDarkPixelsAtMost ? 0 : 1;
}
