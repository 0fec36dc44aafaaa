#include "gau_reader.h"

#include <windows.h>

#include <cmath>
#include <cstring>

namespace gau {
namespace {

using Byte = const unsigned char;

template <class T>
T at(const void* base, int offset) {
    T v;
    std::memcpy(&v, static_cast<Byte*>(base) + offset, sizeof v);
    return v;
}
const void* pointer_at(const void* base, int offset) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(at<std::uint32_t>(base, offset)));
}

// Record layouts (offsets in bytes) of the simulator's interface.
namespace linkage {
constexpr int kGauges = 24;  // open-ended array of gauge header pointers, ended by 0
}
namespace header {
constexpr int kName = 4, kElements = 8, kSizeMm = 44, kMouseRects = 80;
}
namespace element {
constexpr int kType = 0, kResource = 4, kPosition = 8, kNext = 40;
}
namespace needle {
constexpr int kTable = 112, kTableSize = 116, kMaxDegrees = 120, kEntrySize = 24;
}
namespace text {
constexpr int kImgSize = 192, kFg = 208, kBg = 212, kFont = 248, kFontLength = 32, kCharHeight = 308;
}
namespace moving {
constexpr int kMinX = 92, kMaxX = 100, kMinY = 144, kMaxY = 152, kUpdateX = 244, kUpdateY = 248;
}
namespace mouse {
constexpr int kType = 0, kBox = 4, kFlags = 28, kSize = 44;
}
constexpr int kMaxGauges = 1000, kMaxElements = 1000, kMaxAreas = 1000;
constexpr double kPi = 3.14159265358979323846;

Size bitmap_size(HMODULE m, int id) {
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    if (!r) return {};
    HGLOBAL g = LoadResource(m, r);
    const void* info = g ? LockResource(g) : nullptr;
    if (!info || SizeofResource(m, r) < 12) return {};
    return {at<std::int32_t>(info, 4), std::abs(at<std::int32_t>(info, 8))};
}

// How far a needle's table turns from its first point to its last about the pivot, degrees.
double sweep(const void* table, std::uint32_t entries, int px, int py) {
    double total = 0.0, last = 0.0;
    for (std::uint32_t k = 0; k < entries; ++k) {
        const void* e = static_cast<Byte*>(table) + k * needle::kEntrySize;
        const double a = std::atan2(at<std::int32_t>(e, 4) - py, at<std::int32_t>(e, 0) - px) * 180.0 / kPi;
        if (k > 0) {
            double d = a - last;
            while (d > 180.0) d -= 360.0;
            while (d < -180.0) d += 360.0;
            total += std::fabs(d);
        }
        last = a;
    }
    return total;
}

Element read_element(HMODULE m, const void* e) {
    Element out;
    out.kind = at<std::int32_t>(e, element::kType);
    out.resource_id = at<std::int32_t>(e, element::kResource);
    out.x = at<std::int32_t>(e, element::kPosition);
    out.y = at<std::int32_t>(e, element::kPosition + 4);
    if (out.kind != kString) out.picture = bitmap_size(m, out.resource_id);
    switch (out.kind) {
        case kNeedle: {
            out.max_degrees_per_tick = at<std::int32_t>(e, needle::kMaxDegrees);
            if (const void* table = pointer_at(e, needle::kTable))
                out.table_sweep = sweep(table, at<std::uint32_t>(e, needle::kTableSize), out.x, out.y);
            break;
        }
        case kString: {
            out.text_box = {at<std::int32_t>(e, text::kImgSize), at<std::int32_t>(e, text::kImgSize + 4)};
            char font[text::kFontLength + 1] = {};
            std::memcpy(font, static_cast<Byte*>(e) + text::kFont, text::kFontLength);
            out.font = font;
            out.char_height = at<std::int32_t>(e, text::kCharHeight);
            out.fg = at<std::uint32_t>(e, text::kFg);
            out.bg = at<std::uint32_t>(e, text::kBg);
            break;
        }
        case kMoving: {
            out.min_x = at<double>(e, moving::kMinX);
            out.max_x = at<double>(e, moving::kMaxX);
            out.min_y = at<double>(e, moving::kMinY);
            out.max_y = at<double>(e, moving::kMaxY);
            out.x_callback = pointer_at(e, moving::kUpdateX) != nullptr;
            out.y_callback = pointer_at(e, moving::kUpdateY) != nullptr;
            out.mask = bitmap_size(m, out.resource_id + kMaskIdStep);
            break;
        }
        default: break;
    }
    return out;
}

// The element tree in drawing order: an element, then the list drawn over it.
void walk(HMODULE m, const void* e, std::vector<Element>& out) {
    if (!e || out.size() >= static_cast<std::size_t>(kMaxElements)) return;
    out.push_back(read_element(m, e));
    const void* list = pointer_at(e, element::kNext);
    for (int i = 0; list && i < kMaxElements; ++i) {
        const void* next = pointer_at(list, 4 * i);
        if (!next) break;
        walk(m, next, out);
    }
}

BOOL CALLBACK collect_id(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(ids)->push_back(static_cast<int>(reinterpret_cast<std::uintptr_t>(name)));
    return TRUE;
}

}  // namespace

Module read_module(const char* path) {
    Module out;
    HMODULE m = LoadLibraryA(path);
    if (!m) return out;
    const void* link = reinterpret_cast<const void*>(GetProcAddress(m, "Linkage"));
    if (!link) return out;
    out.loaded = true;
    for (int g = 0; g < kMaxGauges; ++g) {
        const void* hdr = pointer_at(link, linkage::kGauges + 4 * g);
        if (!hdr) break;
        Gauge gauge;
        if (const char* name = static_cast<const char*>(pointer_at(hdr, header::kName))) gauge.name = name;
        gauge.size_x_mm = at<std::uint32_t>(hdr, header::kSizeMm);
        if (const void* list = pointer_at(hdr, header::kElements)) walk(m, pointer_at(list, 0), gauge.elements);
        if (const void* rects = pointer_at(hdr, header::kMouseRects)) {
            for (int i = 0; i < kMaxAreas; ++i) {
                const void* r = static_cast<Byte*>(rects) + i * mouse::kSize;
                const std::int32_t type = at<std::int32_t>(r, mouse::kType);
                if (type == kRectEol) break;
                if (type != kRectChild) continue;
                gauge.areas.push_back({at<std::int32_t>(r, mouse::kBox), at<std::int32_t>(r, mouse::kBox + 4),
                                       at<std::int32_t>(r, mouse::kBox + 8), at<std::int32_t>(r, mouse::kBox + 12),
                                       at<std::uint32_t>(r, mouse::kFlags)});
            }
        }
        out.gauges.push_back(std::move(gauge));
    }
    EnumResourceNamesA(m, MAKEINTRESOURCEA(2), &collect_id, reinterpret_cast<LONG_PTR>(&out.bitmap_ids));
    return out;
}

}  // namespace gau
