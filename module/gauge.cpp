#include "module/gauge.h"

#include <cstdarg>
#include <cstdio>
#include <type_traits>

namespace tarvenol {

abi::ELEMENT_HEADER element_header(abi::ElementType type, abi::FLAGS flags) {
    abi::ELEMENT_HEADER h{};
    h.element_type = type;
    h.image_flags = flags;
    return h;
}

namespace {

// Every element wrapper starts with its simulator record, so the record's address is the wrapper's.
template <class Wrapper, class Record>
Wrapper& owner(Record* record) {
    static_assert(std::is_standard_layout_v<Wrapper>);
    return *reinterpret_cast<Wrapper*>(record);
}

template <class Wrapper>
ElementLink make_link(const char* name, Wrapper& w, abi::FLAGS flags, Look look, int bitmaps = 1) {
    return ElementLink{name, &w.rec.header, {nullptr, nullptr}, flags, look, bitmaps};
}

abi::FLOAT64 FSAPI icon_value(abi::ELEMENT_ICON* e) {
    return guarded_value([e] { return owner<IconSet>(e).value(); });
}
abi::FLOAT64 FSAPI needle_value(abi::ELEMENT_NEEDLE* e) {
    return guarded_value([e] { return owner<Needle>(e).value(); });
}
abi::FLOAT64 FSAPI slider_x(abi::ELEMENT_SLIDER* e) {
    return guarded_value([e] { return owner<Slider>(e).x(); });
}
abi::FLOAT64 FSAPI slider_y(abi::ELEMENT_SLIDER* e) {
    return guarded_value([e] { return owner<Slider>(e).y(); });
}
abi::FLOAT64 FSAPI moving_x(abi::ELEMENT_MOVING_IMAGE* e) {
    return guarded_value([e] { return owner<MovingImage>(e).x(); });
}
abi::FLOAT64 FSAPI moving_y(abi::ELEMENT_MOVING_IMAGE* e) {
    return guarded_value([e] { return owner<MovingImage>(e).y(); });
}
abi::FLOAT64 FSAPI text_value(abi::ELEMENT_STRING* e) {
    return guarded_value([e] { return owner<Text>(e).format(e->string, text_buffer_size(*e)); });
}

// Until the layout numbers it (module/layout.cpp).
constexpr abi::ID kImageResource = 1;

}  // namespace

Background::Background(Look look, const char* name) : rec{}, link{} {
    rec.header = element_header(abi::ELEMENT_TYPE_STATIC_IMAGE, kFlagsShown);
    rec.header.resource_id = kImageResource;
    link = make_link(name, *this, kFlagsShown, look);
}

Image::Image(const char* name, Look look) : rec{}, link{} {
    rec.header = element_header(abi::ELEMENT_TYPE_ICON, kFlagsHidden);
    rec.header.resource_id = kImageResource;
    rec.switch_type = abi::ICON_SWITCH_TYPE_SET_CUR_ICON;
    rec.num_icons = 1;
    link = make_link(name, *this, kFlagsHidden, look);
}

IconSet::IconSet(const char* name, int image_count, ValueFn value_fn, Look look) : rec{}, link{}, value(value_fn) {
    rec.header = element_header(abi::ELEMENT_TYPE_ICON, kFlagsShown);
    rec.header.resource_id = kImageResource;
    rec.switch_type = abi::ICON_SWITCH_TYPE_SET_CUR_ICON;
    rec.num_icons = image_count;
    rec.update_cb = &icon_value;
    link = make_link(name, *this, kFlagsShown, look, image_count > 0 ? image_count : 1);
}

Needle::Needle(const char* name, ValueFn value_fn, Look look) : rec{}, link{}, value(value_fn), table{} {
    rec.header = element_header(abi::ELEMENT_TYPE_NEEDLE, kFlagsShown);
    rec.header.resource_id = kImageResource;
    rec.update_cb = &needle_value;
    link = make_link(name, *this, kFlagsShown, look);
}

Slider::Slider(const char* name, ValueFn x_fn, ValueFn y_fn, Look look) : rec{}, link{}, x(x_fn), y(y_fn) {
    rec.header = element_header(abi::ELEMENT_TYPE_SLIDER, kFlagsShown);
    rec.header.resource_id = kImageResource;
    rec.scale_x = 1.0;
    rec.scale_y = 1.0;
    if (x) rec.update_x_cb = &slider_x;
    if (y) rec.update_y_cb = &slider_y;
    link = make_link(name, *this, kFlagsShown, look);
}

MovingImage::MovingImage(const char* name, ValueFn x_fn, ValueFn y_fn, Look look) : rec{}, link{}, x(x_fn), y(y_fn) {
    rec.header = element_header(abi::ELEMENT_TYPE_MOVING_IMAGE, kFlagsShown);
    rec.header.resource_id = kImageResource;
    if (x) rec.update_x_cb = &moving_x;
    if (y) rec.update_y_cb = &moving_y;
    link = make_link(name, *this, kFlagsShown, look);
}

Text::Text(const char* name, int max_chars, TextFn format_fn, Look look) : rec{}, link{}, format(format_fn) {
    rec.header = element_header(abi::ELEMENT_TYPE_STRING, kFlagsShown);
    rec.header.resource_id = -1;  // text elements have no bitmap
    rec.max_string_length = static_cast<abi::UINT16>(max_chars);
    rec.update_cb = &text_value;
    link = make_link(name, *this, kFlagsShown, look, 0);
}

void link_elements(abi::GAUGEHDR& header, ElementLink* const* links, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        ElementLink& l = *links[i];
        l.header->gauge_header = &header;
        l.next[0] = i + 1 < count ? links[i + 1]->header : nullptr;
        l.header->next_element = l.next[0] ? l.next : nullptr;
    }
}

void build_mouse_list(abi::MOUSERECT* rects, const AreaDef* areas, std::size_t count, Box size) {
    // One parent covering the gauge, a child per area (placed by the layout), then the ends.
    rects[0] = abi::MOUSERECT{abi::MOUSE_RECT_PARENT, {0, 0, size.w, size.h}, abi::CURSOR_NONE, 0, 0, 0, nullptr, nullptr};
    for (std::size_t i = 0; i < count; ++i) {
        const AreaDef& a = areas[i];
        abi::FLAGS32 flags = abi::MOUSE_LEFTSINGLE;
        if (a.repeat == Repeat::while_held) flags |= abi::MOUSE_DOWN_REPEAT;
        rects[i + 1] = abi::MOUSERECT{abi::MOUSE_RECT_CHILD, {},
                                      static_cast<int>(a.cursor), 0, static_cast<abi::FLAGS>(flags), 0,
                                      a.function, nullptr};
    }
    rects[count + 1] = abi::MOUSERECT{abi::MOUSE_RECT_END_PARENT, {}, abi::CURSOR_NONE, 0, 0, 0, nullptr, nullptr};
    rects[count + 2] = abi::MOUSERECT{abi::MOUSE_RECT_EOL, {}, abi::CURSOR_NONE, 0, 0, 0, nullptr, nullptr};
}

void element_query(abi::ELEMENT_HEADER* first) {
    if (auto* p = panels(); p && p->element_list_query) p->element_list_query(first);
}
void element_install(abi::ELEMENT_HEADER* first, abi::PVOID resource) {
    if (auto* p = panels(); p && p->element_list_install) p->element_list_install(first, resource);
}
void element_initialize(abi::ELEMENT_HEADER* first) {
    if (auto* p = panels(); p && p->element_list_initialize) p->element_list_initialize(first);
}
void element_update(abi::ELEMENT_HEADER* first) {
    if (auto* p = panels(); p && p->element_list_update) p->element_list_update(first);
}
void element_generate(abi::ELEMENT_HEADER* first, abi::UINT32 phase) {
    if (auto* p = panels(); p && p->element_list_generate) p->element_list_generate(first, phase);
}
void element_plot(abi::ELEMENT_HEADER* first) {
    if (auto* p = panels(); p && p->element_list_plot) p->element_list_plot(first);
}
void element_kill(abi::ELEMENT_HEADER* first) {
    if (auto* p = panels(); p && p->element_list_kill) p->element_list_kill(first);
}

void format_text(char* text, std::size_t size, const char* format, ...) {
    if (!text || size == 0) return;
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(text, size, format, args);
    va_end(args);
}

void FSAPI idle_callback(abi::GAUGEHDR*, abi::SINT32, abi::UINT32) {}

}  // namespace tarvenol
