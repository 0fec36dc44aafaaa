// The pictures follow the live state: TR 1 OFF is drawn dark on a dead battery bus and lit amber
// once the batteries power it; every kind of drum shows the digits its instrument reads.
#include <cairo.h>

#include <algorithm>
#include <string>

#include "host/draw.h"
#include "host/pictures.h"
#include "module/cockpit_layout.h"
#include "module/module_state.h"
#include "power.h"
#include "testbed.h"

namespace tarvenol {
namespace {

struct Png {
    std::string bytes;
    std::size_t at = 0;
};
cairo_status_t read_png(void* closure, unsigned char* data, unsigned int length) {
    auto* p = static_cast<Png*>(closure);
    if (p->at + length > p->bytes.size()) return CAIRO_STATUS_READ_ERROR;
    p->bytes.copy(reinterpret_cast<char*>(data), length, p->at);
    p->at += length;
    return CAIRO_STATUS_SUCCESS;
}

// The colour of a pixel of a gauge's picture, 0xRRGGBB.
unsigned pixel(const std::string& png_bytes, int x, int y) {
    Png png{png_bytes};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(&read_png, &png);
    const auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    const unsigned v = reinterpret_cast<const std::uint32_t*>(row)[x] & 0xffffff;
    cairo_surface_destroy(s);
    return v;
}

TEST(Drawing, a_light_is_drawn_lit_while_shown_and_dark_while_hidden) {
    testing::TestBed bed;
    const GaugeInfo& dc = *find_gauge("tarvenol elec_dc_bus_t418");
    const ElementLink& light = *find_element(dc, "tr_1_off_light");
    const int x = light.look.box.x + 3, y = light.look.box.y + 3;  // inside the lens, off the legend

    ASSERT_FALSE(is_visible(*light.header));
    EXPECT_EQ(pixel(host::gauge_png(dc, bed.host()), x, y), 0x4d3510u);  // caution, dark
    bed.tick();
    ASSERT_TRUE(is_visible(*light.header));
    EXPECT_EQ(pixel(host::gauge_png(dc, bed.host()), x, y), 0xf2a516u);  // caution, lit
}

// The composed picture of a panel window has the window's declared size and each gauge drawn at its
// place: the TR 1 OFF light lit on the engineer's panel where the layout puts the DC panel.
TEST(Drawing, a_window_picture_draws_each_gauge_at_its_place_in_the_layout) {
    testing::TestBed bed;
    bed.tick();
    const GaugeInfo& dc = *find_gauge("tarvenol elec_dc_bus_t418");
    const ElementLink& light = *find_element(dc, "tr_1_off_light");
    ASSERT_TRUE(is_visible(*light.header));

    host::PictureBook book(::testing::TempDir() + "window_pictures");
    std::string error;
    ASSERT_TRUE(book.take("lit", bed.host(), 1, error)) << error;
    const auto& windows = book.pictures().front().windows;
    ASSERT_EQ(windows.size(), cockpit::windows().size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const cockpit::Window& declared = cockpit::windows()[i];
        ASSERT_EQ(windows[i].first, declared.id);
        Png png{windows[i].second};
        cairo_surface_t* s = cairo_image_surface_create_from_png_stream(&read_png, &png);
        EXPECT_EQ(cairo_image_surface_get_width(s), declared.w_mm * cockpit::kPixelsPerMm) << declared.title;
        EXPECT_EQ(cairo_image_surface_get_height(s), declared.h_mm * cockpit::kPixelsPerMm) << declared.title;
        cairo_surface_destroy(s);
    }
    const auto all = gauges();
    const cockpit::Place* place = cockpit::place_of(static_cast<int>(std::find(all.begin(), all.end(), &dc) - all.begin()));
    ASSERT_NE(place, nullptr);
    const auto engineer = std::find_if(windows.begin(), windows.end(), [&](const auto& w) { return w.first == place->window; });
    ASSERT_NE(engineer, windows.end());
    const int x = place->x_mm * cockpit::kPixelsPerMm + light.look.box.x + 3;
    const int y = place->y_mm * cockpit::kPixelsPerMm + light.look.box.y + 3;
    EXPECT_EQ(pixel(engineer->second, x, y), 0xf2a516u);  // caution, lit
}

// Drums wound either way round, drums of four and eight faces, and drums drawn as one image a face:
// each shows, in the middle of its window, the digit its instrument reads.
TEST(Drawing, every_drum_shows_the_digits_its_instrument_reads) {
    constexpr int kSettle = 60;  // frames enough for any drum to reach its digit
    testing::TestBed bed;
    testing::hold_buses(bed, true);
    bed.sim().set(sim::altitude_ft, 23470.0);
    bed.sim().set(sim::altitude_m, 23470.0 / 3.281);
    bed.sim().set(sim::nav1_freq_bcd, 0x1025);  // 110.25
    bed.sim().set(sim::transponder_code_bcd, 0x7612);
    bed.sim().set(sim::adf_freq_bcd, 0x1234);
    bed.sim().set(sim::nav1_signal, 1);
    bed.sim().set(sim::dme1_distance_nm, 123.4);
    bed.tick(kSettle);

    const struct {
        const char* gauge;
        const char* drum;
        const char* reads;
    } cases[] = {
        {"tarvenol alti_main_t418", "alti_10000_drum", "2"},  // wound backwards: 10 - n
        {"tarvenol alti_main_t418", "alti_1000_drum", "3"},
        {"tarvenol alti_main_t418", "alti_100_drum", "4"},
        {"tarvenol alti_main_t418", "alti_10_drum", "7"},
        {"tarvenol alti_sec_t418", "stby_10000_drum", "2"},
        {"tarvenol alti_sec_t418", "stby_1000_drum", "3"},
        {"tarvenol rmi_t418", "rmi_dme1_hundreds", "1"},  // one image a face
        {"tarvenol rmi_t418", "rmi_dme1_tens", "2"},
        {"tarvenol rmi_t418", "rmi_dme1_units", "3"},
        {"tarvenol rmi_t418", "rmi_dme1_tenths", "4"},
        {"tarvenol radio_nav_t418", "nav_1_tenths_drum", "2"},
        {"tarvenol radio_nav_t418", "nav_1_hundredths_drum", "50"},  // four faces: 00 25 50 75
        {"tarvenol radio_tsp_t418", "tsp_thousands_drum", "7"},     // eight faces: 0..7
        {"tarvenol radio_tsp_t418", "tsp_hundreds_drum", "6"},
        {"tarvenol radio_adf1_t418", "adf_thousands_drum", "1"},    // two faces
        {"tarvenol radio_adf1_t418", "adf_hundreds_drum", "2"},
    };
    for (const auto& c : cases) {
        const ElementLink& drum = *find_element(*find_gauge(c.gauge), c.drum);
        EXPECT_EQ(draw::drum_face(drum.look, bed.value(c.gauge, c.drum)), c.reads) << c.drum;
    }
}

}  // namespace
}  // namespace tarvenol
