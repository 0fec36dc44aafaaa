// render_bitmaps OUTDIR: draws every gauge's background and every element's pictures as the
// Win32 module carries them — 8-bit palettised Windows bitmaps, pure black (palette entry 0)
// transparent, artwork black drawn as near-black — into OUTDIR/<resource id>.bmp, and writes OUTDIR/bitmaps.rc naming each one by
// the resource id its element declares. Runs on the build machine; the .gau never links cairo.
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/draw.h"
#include "module/module_state.h"

namespace {

using namespace tarvenol;

constexpr std::uint8_t kNearBlack = 8;  // drawn black, kept opaque
constexpr int kOpaqueFrom = 128;        // alpha below this is the transparent colour

void put16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(x & 255);
    v.push_back((x >> 8) & 255);
}
void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    put16(v, x & 0xffff);
    put16(v, x >> 16);
}

// A pixel of the surface as the module shows it: transparent (pure black) where the drawing is
// mostly transparent, else its colour un-premultiplied, drawn black kept as near-black.
std::uint32_t shown_colour(std::uint32_t px) {
    const int a = px >> 24;
    if (a < kOpaqueFrom) return 0;
    int r = (px >> 16) & 255, g = (px >> 8) & 255, b = px & 255;
    r = std::min(255, r * 255 / a);
    g = std::min(255, g * 255 / a);
    b = std::min(255, b * 255 / a);
    if (r == 0 && g == 0 && b == 0) r = g = b = kNearBlack;
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

// An 8-bit palette for one bitmap: entry 0 is the transparent pure black; the other 255 are the
// drawing's most used colours (counted on a 5-bit-per-channel grid, each bin by its mean colour),
// every pixel mapped to the nearest entry. The artwork's flat colours all get an entry of their own.
struct Palette {
    std::vector<std::uint32_t> colours{0};
    std::vector<std::uint8_t> index_of_bin = std::vector<std::uint8_t>(1 << 15, 0);
};
constexpr int kPaletteSize = 256;
int bin_of(std::uint32_t c) { return int((c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31)); }
int distance(std::uint32_t a, std::uint32_t b) {
    const int dr = int(a >> 16 & 255) - int(b >> 16 & 255), dg = int(a >> 8 & 255) - int(b >> 8 & 255),
              db = int(a & 255) - int(b & 255);
    return dr * dr + dg * dg + db * db;
}

Palette palette_of(const std::vector<std::uint32_t>& pixels) {
    struct Bin {
        std::uint64_t count = 0, r = 0, g = 0, b = 0;
    };
    std::vector<Bin> bins(1 << 15);
    for (std::uint32_t c : pixels) {
        if (c == 0) continue;
        Bin& bin = bins[bin_of(c)];
        ++bin.count;
        bin.r += c >> 16 & 255;
        bin.g += c >> 8 & 255;
        bin.b += c & 255;
    }
    std::vector<int> used;
    for (int i = 0; i < int(bins.size()); ++i)
        if (bins[i].count) used.push_back(i);
    std::sort(used.begin(), used.end(), [&](int a, int b) { return bins[a].count > bins[b].count; });
    Palette p;
    for (int i : used) {
        if (int(p.colours.size()) == kPaletteSize) break;
        const Bin& bin = bins[i];
        std::uint32_t c = static_cast<std::uint32_t>((bin.r / bin.count) << 16 | (bin.g / bin.count) << 8 | (bin.b / bin.count));
        if (c == 0) c = kNearBlack << 16 | kNearBlack << 8 | kNearBlack;
        p.colours.push_back(c);
    }
    for (int i : used) {
        const Bin& bin = bins[i];
        const std::uint32_t c = static_cast<std::uint32_t>((bin.r / bin.count) << 16 | (bin.g / bin.count) << 8 | (bin.b / bin.count));
        int best = 1;
        for (int k = 2; k < int(p.colours.size()); ++k)
            if (distance(p.colours[k], c) < distance(p.colours[best], c)) best = k;
        p.index_of_bin[i] = static_cast<std::uint8_t>(best);
    }
    return p;
}

// The surface as a bottom-up 8-bit palettised BMP (uncompressed).
std::vector<std::uint8_t> bmp_of(cairo_surface_t* s) {
    cairo_surface_flush(s);
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* p = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) pixels[static_cast<std::size_t>(y) * w + x] = shown_colour(p[x]);
    }
    const Palette pal = palette_of(pixels);
    constexpr std::uint32_t kHeaders = 14 + 40 + 4 * kPaletteSize;
    const std::uint32_t row = (static_cast<std::uint32_t>(w) + 3) & ~3u;
    std::vector<std::uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    put32(v, kHeaders + row * h);
    put32(v, 0);
    put32(v, kHeaders);
    put32(v, 40);
    put32(v, w);
    put32(v, h);
    put16(v, 1);
    put16(v, 8);
    put32(v, 0);  // uncompressed
    put32(v, row * h);
    put32(v, 2835);
    put32(v, 2835);
    put32(v, kPaletteSize);
    put32(v, 0);
    for (int i = 0; i < kPaletteSize; ++i) {
        const std::uint32_t c = i < int(pal.colours.size()) ? pal.colours[i] : 0;
        v.push_back(static_cast<std::uint8_t>(c & 255));
        v.push_back(static_cast<std::uint8_t>(c >> 8 & 255));
        v.push_back(static_cast<std::uint8_t>(c >> 16 & 255));
        v.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = pixels[static_cast<std::size_t>(y) * w + x];
            v.push_back(c == 0 ? 0 : pal.index_of_bin[bin_of(c)]);
        }
        for (std::uint32_t pad = w; pad < row; ++pad) v.push_back(0);
    }
    return v;
}

bool write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

template <class Draw>
std::vector<std::uint8_t> render(Box size, Draw&& draw) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max<int>(1, size.w), std::max<int>(1, size.h));
    cairo_t* cr = cairo_create(s);
    draw(cr);
    cairo_destroy(cr);
    auto bytes = bmp_of(s);
    cairo_surface_destroy(s);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_bitmaps OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::string rc = "// Generated by render_bitmaps: every element's bitmaps by resource id.\n";
    int count = 0;
    for (const GaugeInfo* g : gauges()) {
        for (std::size_t i = 0; i < g->element_count; ++i) {
            const ElementLink& e = *g->elements[i];
            auto emit = [&](int id, const std::vector<std::uint8_t>& bytes) {
                const std::string file = dir + "/" + std::to_string(id) + ".bmp";
                if (!write(file, bytes)) {
                    std::fprintf(stderr, "render_bitmaps: cannot write %s\n", file.c_str());
                    return false;
                }
                rc += std::to_string(id) + " BITMAP \"" + file + "\"\n";
                ++count;
                return true;
            };
            for (int image = 0; image < e.bitmaps; ++image) {
                const auto bytes = i == 0 ? render(*g->size, [g](cairo_t* cr) { draw::background(cr, *g); })
                                          : render(draw::bitmap_size(e), [&](cairo_t* cr) { draw::bitmap(cr, e, image); });
                if (!emit(bitmap_id(e, image), bytes)) return 1;
            }
            // A moving image's mask: its window, opaque where the strip shows.
            if (has_mask(e) && e.bitmaps > 0 && !emit(mask_id(e), render(e.look.box, [&](cairo_t* cr) {
                    cairo_set_source_rgb(cr, 1, 1, 1);
                    cairo_paint(cr);
                })))
                return 1;
        }
    }
    std::vector<std::uint8_t> text(rc.begin(), rc.end());
    if (!write(dir + "/bitmaps.rc", text)) {
        std::fprintf(stderr, "render_bitmaps: cannot write %s/bitmaps.rc\n", dir.c_str());
        return 1;
    }
    std::printf("render_bitmaps: %d bitmaps in %s\n", count, dir.c_str());
    return 0;
}
