// The pictures follow the live state: TR 1 OFF is drawn dark on a dead battery bus and lit amber
// once the batteries power it.
#include <cairo.h>

#include <string>

#include "host/pictures.h"
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

}  // namespace
}  // namespace tarvenol
