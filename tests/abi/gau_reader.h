// A reader of a gauge module as the simulator's panel system meets it: loaded by Windows, found
// through its exported Linkage record, every record read at the byte offsets of the simulator's own
// layout (4-byte packed, i686) and every bitmap from the module's resources. It knows nothing of how
// the module is written: no declaration of ours is used, only what the simulator's interface fixes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gau {

// Element kinds as the simulator numbers them.
enum Kind : std::int32_t { kStatic = 0, kNeedle = 1, kString = 2, kSlider = 3, kIcon = 4, kMoving = 5, kSprite = 6 };
// Mouse rectangle kinds and the flag of an area called again while held.
constexpr std::int32_t kRectEol = 0, kRectChild = 2;
constexpr std::uint32_t kDownRepeat = 0x00200000;
// The module puts a moving image's mask where the simulator finds a sprite's: three ids on.
constexpr int kMaskIdStep = 3;

struct Size {
    int w = 0, h = 0;
};

struct Element {
    std::int32_t kind = -1;
    std::int32_t resource_id = 0;
    int x = 0, y = 0;  // position in the gauge
    // Strings: their box, font, height and colours.
    Size text_box;
    std::string font;
    int char_height = 0;
    std::uint32_t fg = 0, bg = 0;
    // Needles: their largest turn a tick and how far their scale turns (degrees, from the table).
    int max_degrees_per_tick = 0;
    double table_sweep = 0.0;
    // Moving images: each axis with its callback and its range.
    bool x_callback = false, y_callback = false;
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    Size picture;  // the bitmap at resource_id (none: 0 x 0)
    Size mask;     // a moving image's mask at resource_id + kMaskIdStep (none: 0 x 0)
};

struct Area {
    int x = 0, y = 0, w = 0, h = 0;
    std::uint32_t flags = 0;
};

struct Gauge {
    std::string name;
    std::uint32_t size_x_mm = 0;
    std::vector<Element> elements;  // in drawing order, the background first
    std::vector<Area> areas;        // child rectangles
};

struct Module {
    bool loaded = false;
    std::vector<Gauge> gauges;
    std::vector<int> bitmap_ids;  // every BITMAP resource the module carries
};

// Loads the module at `path` and reads all of the above; `loaded` false when it cannot be loaded.
Module read_module(const char* path);

}  // namespace gau
