// The gauge-building kit. A gauge unit declares its elements (in drawing order), its click areas,
// its private state and its tick; TARVENOL_GAUGE turns them into the simulator's records: the
// element chain, the mouse rectangle list, the gauge header with the seven generic routines bound
// to this gauge's own element list, and the gauge callback. Element callbacks and mouse callbacks
// reach the gauge code through trampolines that never let an exception out to the simulator.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <tuple>
#include <type_traits>
#include <utility>

#include "module/gauge_list.h"
#include "module/host_services.h"
#include "module/look.h"
#include "module/panel_abi.h"
#include "module/var_table.h"
#include "sound/sound.h"

namespace tarvenol {

// Runs gauge code called from the simulator; an exception must never unwind into its frames.
template <class F>
inline void guarded(F&& f) noexcept {
    try {
        f();
    } catch (...) {
    }
}
template <class F>
inline double guarded_value(F&& f) noexcept {
    try {
        return f();
    } catch (...) {
        return 0.0;
    }
}

// --- Elements ----------------------------------------------------------------------------------

// What every element carries beside its simulator record: a stable lowercase name for the host
// and the tests, the list of the element drawn over it, its image flags at load, how it looks and
// where it sits, and how many bitmaps it shows (consecutive resource ids from its resource_id).
struct ElementLink {
    const char* name;
    abi::ELEMENT_HEADER* header;
    abi::ELEMENT_HEADER* next[2];
    abi::FLAGS initial_flags;
    Look look;
    int bitmaps;
};

constexpr abi::FLAGS kFlagsShown = abi::IMAGE_USE_TRANSPARENCY;
constexpr abi::FLAGS kFlagsHidden = abi::IMAGE_USE_TRANSPARENCY | abi::IMAGE_HIDDEN;

abi::ELEMENT_HEADER element_header(abi::ElementType type, abi::FLAGS flags);

// The gauge's background picture (element 0).
struct Background {
    abi::ELEMENT_STATIC_IMAGE rec;
    ElementLink link;
    explicit Background(Look look = {}, const char* name = "background");
};

// A light, a flow bar or one position image of a switch: shown while its condition holds.
struct Image {
    abi::ELEMENT_ICON rec;
    ElementLink link;
    explicit Image(const char* name, Look look = {});
    void show(bool visible) { set_visible(rec.header, visible); }
    bool shown() const { return is_visible(rec.header); }
};

// N lights or bars drawn side by side, each shown from its own condition.
template <std::size_t N>
struct Lights {
    std::array<Image, N> images;
    template <class... Names>
    explicit Lights(Names... names) : images{Image(names)...} {
        static_assert(sizeof...(Names) == N, "one name per image");
    }
    // Lights in a row inside `row.box` (split evenly), legends from their names.
    template <class... Names>
    explicit Lights(Look row, Names... names) : images{Image(names, row)...} {
        static_assert(sizeof...(Names) == N, "one name per image");
        if (!row.box.empty())
            for (std::size_t i = 0; i < N; ++i) {
                Box& b = images[i].link.look.box;
                b.w = static_cast<std::int16_t>(row.box.w / N);
                b.x = static_cast<std::int16_t>(row.box.x + b.w * i);
                images[i].link.look.legend = nullptr;
            }
    }
    // Lights each with its own look, in order.
    template <class... Names>
    explicit Lights(const std::array<Look, N>& looks, Names... names) : images{Image(names)...} {
        static_assert(sizeof...(Names) == N, "one name per image");
        for (std::size_t i = 0; i < N; ++i) images[i].link.look = looks[i];
    }
    Image& operator[](std::size_t i) { return images[i]; }
    static constexpr std::size_t kLinkCount = N;
    void append_links(ElementLink**& out) {
        for (auto& image : images) *out++ = &image.link;
    }
};

// The N position images of a switch or selector; exactly one is shown.
template <std::size_t N>
struct SwitchImages : Lights<N> {
    // Drawn as one lever (or `look`'s kind) with N positions, position 0 down.
    template <class... Names>
    explicit SwitchImages(Names... names) : SwitchImages(lever(nullptr), names...) {}
    template <class... Names>
    explicit SwitchImages(Look look, Names... names) : Lights<N>(names...) {
        if (look.draw == Draw::none) look.draw = Draw::lever;
        for (std::size_t i = 0; i < N; ++i) {
            look.position = static_cast<std::uint8_t>(i);
            look.positions = static_cast<std::uint8_t>(N);
            this->images[i].link.look = look;
        }
    }
    // Shows the image of `position`; a position outside 0..N-1 shows none.
    void show(int position) {
        for (std::size_t i = 0; i < N; ++i) this->images[i].show(static_cast<int>(i) == position);
    }
};

// The value an element shows; element callbacks compute it when the simulator draws.
using ValueFn = double (*)();
using TextFn = double (*)(char* text, std::size_t size);

// The simulator supplies a text element's buffer, sized for its character count.
inline std::size_t text_buffer_size(const abi::ELEMENT_STRING& e) {
    return e.string ? std::size_t{e.max_string_length} + 1 : 0;
}

// One of several images, chosen by the value (an image index).
struct IconSet {
    abi::ELEMENT_ICON rec;
    ElementLink link;
    ValueFn value;
    IconSet(const char* name, int image_count, ValueFn value, Look look = {});
    void show(bool visible) { set_visible(rec.header, visible); }
};

struct Needle {
    static constexpr int kTableSize = 10;  // a 270-degree dial in 30-degree steps, a knob of 10 positions
    abi::ELEMENT_NEEDLE rec;
    ElementLink link;
    ValueFn value;
    abi::NONLINEARITY table[kTableSize];  // filled by the layout from the dial's scale
    Needle(const char* name, ValueFn value, Look look = {});
    void show(bool visible) { set_visible(rec.header, visible); }
};

struct Slider {
    abi::ELEMENT_SLIDER rec;
    ElementLink link;
    ValueFn x;
    ValueFn y;
    Slider(const char* name, ValueFn x, ValueFn y, Look look = {});
    void show(bool visible) { set_visible(rec.header, visible); }
};

struct MovingImage {
    abi::ELEMENT_MOVING_IMAGE rec;
    ElementLink link;
    ValueFn x;
    ValueFn y;
    MovingImage(const char* name, ValueFn x, ValueFn y, Look look = {});
    void show(bool visible) { set_visible(rec.header, visible); }
};

// A text field; its function formats into the simulator's buffer (bounded) and returns a value.
struct Text {
    abi::ELEMENT_STRING rec;
    ElementLink link;
    TextFn format;
    Text(const char* name, int max_chars, TextFn format, Look look = {});
    void show(bool visible) { set_visible(rec.header, visible); }
};

// Bounded formatting into a text element's buffer (nothing when the simulator gave none).
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
void format_text(char* text, std::size_t size, const char* format, ...);

// An element declaration is one element (with a `link`) or a group of elements that says how many
// links it holds (kLinkCount) and appends them in drawing order (append_links).
template <class E>
concept ElementGroup = requires(E& e, ElementLink**& out) {
    E::kLinkCount;
    e.append_links(out);
};
template <class E>
constexpr std::size_t link_count() {
    if constexpr (ElementGroup<E>)
        return E::kLinkCount;
    else
        return 1;
}

template <class... E>
std::array<ElementLink*, (link_count<E>() + ...)> collect_links(E&... elements) {
    std::array<ElementLink*, (link_count<E>() + ...)> links{};
    ElementLink** out = links.data();
    auto append = [&out](auto& e) {
        if constexpr (ElementGroup<std::remove_reference_t<decltype(e)>>)
            e.append_links(out);
        else
            *out++ = &e.link;
    };
    (append(elements), ...);
    return links;
}

// --- Click areas -------------------------------------------------------------------------------

enum class Cursor : int { up = abi::CURSOR_UPARROW, down = abi::CURSOR_DOWNARROW, hand = abi::CURSOR_HAND };
// Knobs and levers that wind a value keep acting while the button is held.
enum class Repeat : bool { no = false, while_held = true };

struct AreaDef {
    const char* name;
    Cursor cursor;
    Repeat repeat;
    abi::PMOUSE_FUNCTION function;
    Box box{};  // empty: on the drawing of its control, as the kit lays it out
    // The same area at an explicit place in the gauge's pixels.
    constexpr AreaDef at(int x, int y, int w, int h) const {
        AreaDef a = *this;
        a.box = tarvenol::at(x, y, w, h);
        return a;
    }
};

template <auto Action>
abi::BOOL FSAPI mouse_trampoline(abi::PIXPOINT*, abi::FLAGS32) {
    guarded(Action);
    return 0;
}

// A click area named `name` that runs Action (a function or capture-less lambda) on a click.
template <auto Action>
constexpr AreaDef area(const char* name, Cursor cursor, Repeat repeat = Repeat::no) {
    return {name, cursor, repeat, &mouse_trampoline<Action>};
}

// The switch pattern: a click that changes the stored position plays CLICK once, then stores it.
template <class T>
void set_switch(T& position, int selected) {
    if (position != static_cast<T>(selected)) snd::play_once(snd::CLICK);
    position = static_cast<T>(selected);
}
// Rotary selectors step by one within their range, silently.
template <class T>
void step_up(T& position, int last) {
    if (position < static_cast<T>(last)) position = static_cast<T>(position + 1);
}
template <class T>
void step_down(T& position, int first) {
    if (position > static_cast<T>(first)) position = static_cast<T>(position - 1);
}

// --- Gauges ------------------------------------------------------------------------------------

// What the stand-in host and the tests know of a gauge beyond its header.
struct GaugeInfo {
    const char* name;
    abi::GAUGEHDR* header;
    ElementLink* const* elements;
    std::size_t element_count;
    const AreaDef* areas;  // areas[i] is child rectangle i of the mouse list
    std::size_t area_count;
    VarTableView vars;     // the gauge's private variables by name
    void (*reset)();       // back to the private state at load
    const abi::MOUSERECT* rects;  // the mouse list: rects[i + 1] is area i's rectangle
    const Box* size;       // the gauge's picture, pixels (its background)
};

// Bitmap resources. Gauge g's elements take ids from kFirstBitmapId + g * kBitmapIdsPerGauge on, in
// drawing order: picture k of an element at its resource_id + k * kIconIdStep, and a moving image's
// mask (the fixed window it is seen through) at its resource_id + kMaskIdStep. The simulator also
// looks at id + kHighResolutionIdOffset for a high-resolution version of bitmap id, so no two ids of
// the module may lie that far apart: a gauge keeps within kBitmapIdsInUse ids (two gauges on, the
// next gauge's ids start 400 further; the 500 apart would need 100 ids in one gauge).
constexpr abi::ID kFirstBitmapId = 1000;
constexpr abi::ID kBitmapIdsPerGauge = 200;
constexpr abi::ID kHighResolutionIdOffset = 500;
constexpr abi::ID kBitmapIdsInUse = kHighResolutionIdOffset - 2 * kBitmapIdsPerGauge;
// Which of the simulator's readings these follow is not settled: consecutive pictures for icons,
// the mask three ids on as sprites have it. Each is this one number.
constexpr abi::ID kIconIdStep = 1;
constexpr abi::ID kMaskIdStep = 3;

// The resource id of an element's picture k, and of a moving image's mask.
inline abi::ID bitmap_id(const ElementLink& e, int picture) { return e.header->resource_id + picture * kIconIdStep; }
inline bool has_mask(const ElementLink& e) { return e.header->element_type == abi::ELEMENT_TYPE_MOVING_IMAGE; }
inline abi::ID mask_id(const ElementLink& e) { return e.header->resource_id + kMaskIdStep; }
// How many ids the element's pictures (and mask) take from its resource_id on.
inline abi::ID bitmap_ids_taken(const ElementLink& e) {
    if (e.bitmaps <= 0) return 0;
    const abi::ID pictures = (e.bitmaps - 1) * kIconIdStep + 1;
    return has_mask(e) ? std::max(pictures, kMaskIdStep + 1) : pictures;
}

// Linkage position of every gauge, for its resource ids.
enum class GaugeIndex : int {
#define TARVENOL_GAUGE_INDEX(ident) ident,
    TARVENOL_GAUGE_LIST(TARVENOL_GAUGE_INDEX)
#undef TARVENOL_GAUGE_INDEX
};

inline constexpr std::array<AreaDef, 0> no_areas{};
inline constexpr VarTableView no_vars{nullptr, 0};

void link_elements(abi::GAUGEHDR& header, ElementLink* const* links, std::size_t count);
void build_mouse_list(abi::MOUSERECT* rects, const AreaDef* areas, std::size_t count, Box size);
// Gives every element and area without an explicit box its place (module/layout.cpp), positions the
// simulator records and numbers the bitmaps; returns the gauge's size in pixels.
Box lay_out(ElementLink* const* links, std::size_t count, const AreaDef* areas, std::size_t area_count,
            Box* area_boxes, abi::UINT32 width_mm, GaugeIndex index);

template <std::size_t NE, std::size_t NA>
struct GaugeDef {
    std::array<ElementLink*, NE> elements;
    abi::ELEMENT_HEADER* first[2];
    abi::MOUSERECT rects[NA + 3];
    Box size;
    GaugeDef(abi::GAUGEHDR& header, abi::UINT32 width_mm, GaugeIndex index, const std::array<ElementLink*, NE>& links,
             const AreaDef* areas)
        : elements(links), first{links[0]->header, nullptr}, rects{}, size{} {
        link_elements(header, elements.data(), NE);
        Box boxes[NA + 1];
        size = lay_out(elements.data(), NE, areas, NA, boxes, width_mm, index);
        build_mouse_list(rects, areas, NA, size);
        for (std::size_t i = 0; i < NA; ++i)
            rects[i + 1].relative_box = {boxes[i].x, boxes[i].y, boxes[i].w, boxes[i].h};
    }
};

// The seven generic routines, each forwarding to the host's element-list service of the same
// role with this gauge's first element.
void element_query(abi::ELEMENT_HEADER* first);
void element_install(abi::ELEMENT_HEADER* first, abi::PVOID resource);
void element_initialize(abi::ELEMENT_HEADER* first);
void element_update(abi::ELEMENT_HEADER* first);
void element_generate(abi::ELEMENT_HEADER* first, abi::UINT32 phase);
void element_plot(abi::ELEMENT_HEADER* first);
void element_kill(abi::ELEMENT_HEADER* first);

template <auto& Def> void FSAPI gauge_query() { element_query(Def.first[0]); }
template <auto& Def> void FSAPI gauge_install(abi::PVOID resource) { element_install(Def.first[0], resource); }
template <auto& Def> void FSAPI gauge_initialize() { element_initialize(Def.first[0]); }
template <auto& Def> void FSAPI gauge_update() { element_update(Def.first[0]); }
template <auto& Def> void FSAPI gauge_generate(abi::UINT32 phase) { element_generate(Def.first[0], phase); }
template <auto& Def> void FSAPI gauge_draw() { element_plot(Def.first[0]); }
template <auto& Def> void FSAPI gauge_kill() { element_kill(Def.first[0]); }

template <auto& Def>
constexpr abi::GAUGEHDR make_header(const char* name, abi::UINT32 width_mm, abi::PGAUGE_CALLBACK callback) {
    abi::GAUGEHDR h{};
    h.gauge_header_version = abi::GAUGE_HEADER_VERSION_FS800;
    h.gauge_name = name;
    h.elements_list = const_cast<abi::ELEMENT_HEADER**>(Def.first);
    h.query_routine = &gauge_query<Def>;
    h.install_routine = &gauge_install<Def>;
    h.initialize_routine = &gauge_initialize<Def>;
    h.update_routine = &gauge_update<Def>;
    h.generate_routine = &gauge_generate<Def>;
    h.draw_routine = &gauge_draw<Def>;
    h.kill_routine = &gauge_kill<Def>;
    h.size_x_mm = width_mm;
    h.mouse_rect = const_cast<abi::MOUSERECT*>(Def.rects);
    h.gauge_callback = callback;
    return h;
}

// Gauge callbacks: all per-tick work happens on the pre-update service; every other service code
// changes nothing.
template <void (*Tick)()>
void FSAPI tick_callback(abi::GAUGEHDR*, abi::SINT32 service, abi::UINT32) {
    if (service == abi::PANEL_SERVICE_PRE_UPDATE) guarded(Tick);
}
// For the one gauge that also acts on installation (with the module's resource handle) and kill.
template <void (*Install)(abi::UINT32), void (*Tick)(), void (*Kill)()>
void FSAPI lifecycle_callback(abi::GAUGEHDR*, abi::SINT32 service, abi::UINT32 extra) {
    if (service == abi::PANEL_SERVICE_PRE_INSTALL) guarded([extra] { Install(extra); });
    if (service == abi::PANEL_SERVICE_PRE_UPDATE) guarded(Tick);
    if (service == abi::PANEL_SERVICE_PRE_KILL) guarded(Kill);
}
// A gauge with no per-tick work.
void FSAPI idle_callback(abi::GAUGEHDR*, abi::SINT32, abi::UINT32);

}  // namespace tarvenol

// Defines gauge `ident`: its header `gauge_hdr_<ident>` (listed in Linkage) and its host info
// `gauge_info_<ident>`. AREAS is an array of AreaDef; VARS/RESET the private state (no_vars,
// nullptr when it has none); the trailing arguments are its elements in drawing order, background first.
#define TARVENOL_GAUGE(ident, name, width_mm, callback, AREAS, VARS, RESET, ...)                        \
    extern ::tarvenol::abi::GAUGEHDR gauge_hdr_##ident;                                               \
    namespace {                                                                                       \
    ::tarvenol::GaugeDef<std::tuple_size_v<decltype(::tarvenol::collect_links(__VA_ARGS__))>,          \
                         std::size(AREAS)>                                                            \
        ident##_def(gauge_hdr_##ident, width_mm, ::tarvenol::GaugeIndex::ident,                         \
                    ::tarvenol::collect_links(__VA_ARGS__), std::data(AREAS));                        \
    }                                                                                                 \
    ::tarvenol::abi::GAUGEHDR gauge_hdr_##ident =                                                     \
        ::tarvenol::make_header<ident##_def>(name, width_mm, callback);                               \
    extern const ::tarvenol::GaugeInfo gauge_info_##ident;                                            \
    const ::tarvenol::GaugeInfo gauge_info_##ident = {                                                \
        name, &gauge_hdr_##ident, ident##_def.elements.data(), ident##_def.elements.size(),           \
        std::data(AREAS), std::size(AREAS), VARS, RESET, ident##_def.rects, &ident##_def.size}
