// The simulator's panel interface as the gauge module sees it: the records the simulator reads
// (linkage, gauge headers, element lists, mouse rectangles), the simulator-variable record and the
// service table the simulator hands the module. Laid out exactly as the simulator expects them on
// 32-bit Windows: 4-byte packing, so 8-byte floating-point fields sit on 4-byte boundaries, and the
// simulator's calling convention on every function it calls or we call.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define FSAPI __stdcall
#else
#define FSAPI
#endif

#if defined(_WIN32)
#define TARVENOL_EXPORT __declspec(dllexport)
#else
#define TARVENOL_EXPORT __attribute__((visibility("default")))
#endif

namespace tarvenol::abi {

using UINT8 = std::uint8_t;
using SINT16 = std::int16_t;
using UINT16 = std::uint16_t;
using UINT32 = std::uint32_t;
using SINT32 = std::int32_t;
using VAR32 = std::uint32_t;
using FLAGS = int;
using FLAGS32 = std::uint32_t;
using ID = int;
using ID32 = std::uint32_t;
using BOOL = int;
using ENUM = int;
using ERR = std::uint32_t;
using FLOAT32 = float;
using FLOAT64 = double;
using PIXEL = std::int32_t;
using PVOID = void*;
using HANDLE32 = std::uint32_t;  // Win32 GDI handles, opaque to the module

struct PIXPOINT { PIXEL x; PIXEL y; };
struct PIXBOX { PIXEL x; PIXEL y; PIXEL size_x; PIXEL size_y; };

// The simulator's 32-bit records use 4-byte packing (literal 4: MinGW GCC ignores a macro in this
// pragma). A 64-bit build keeps natural alignment: its host is our own, and an 8-byte pointer on a
// 4-byte boundary would be a misaligned access there.
#if defined(__i386__) || defined(_M_IX86)
#pragma pack(push, 4)
#endif

// Owned by the simulator; the module never looks inside.
struct IMAGE;
struct IMAGE_SET { IMAGE* final; IMAGE* source; IMAGE* reserved1; IMAGE* reserved2; };

struct NONLINEARITY { PIXPOINT pt; FLOAT64 value; FLOAT64 degrees; };
struct FAILURE_RECORD { int key; int action; BOOL bInit; };

union UNIVERSAL_VAR {
    FLOAT64 n;
    BOOL b;
    ENUM e;
    FLAGS f;
    PVOID p;
    VAR32 d;
    VAR32 o;
};

struct MODULE_VAR;
using PMODULE_VAR_CB = FLOAT64(FSAPI*)(MODULE_VAR*);
using PFN_FLOAT64 = FLOAT64(FSAPI*)(FLOAT64);

struct MODULE_VAR {
    int id;  // the simulator's variable token
    PVOID var_ptr;
    int var_type;
    UNIVERSAL_VAR var_value;
    UNIVERSAL_VAR var_old;
};

struct GAUGEHDR;

enum ElementType : int {
    ELEMENT_TYPE_STATIC_IMAGE = 0,
    ELEMENT_TYPE_NEEDLE = 1,
    ELEMENT_TYPE_STRING = 2,
    ELEMENT_TYPE_SLIDER = 3,
    ELEMENT_TYPE_ICON = 4,
    ELEMENT_TYPE_MOVING_IMAGE = 5,
    ELEMENT_TYPE_SPRITE = 6,
};

constexpr FLAGS IMAGE_USE_TRANSPARENCY = 0x00000001;
constexpr FLAGS IMAGE_HIDDEN = 0x40000000;

struct ELEMENT_HEADER {
    int element_type;
    ID resource_id;
    PIXPOINT position;
    PIXPOINT previous_position;
    PIXPOINT ofs;
    GAUGEHDR* gauge_header;
    ELEMENT_HEADER* previous_element;
    ELEMENT_HEADER** next_element;  // null-terminated list of elements drawn over this one
    FAILURE_RECORD* failure_systems;
    FLAGS image_flags;
    FLAGS aircraft_special_instrumentation;
    FLAGS reserved;
};

struct ELEMENT_STATIC_IMAGE {
    ELEMENT_HEADER header;
    IMAGE_SET image_data;
    IMAGE* save_buffer;
    HANDLE32 hdc;
    HANDLE32 hbmp;
    HANDLE32 reserved1;
    IMAGE* reserved2;
};

struct ELEMENT_NEEDLE;
using PNEEDLE_UPDATE_CALLBACK = FLOAT64(FSAPI*)(ELEMENT_NEEDLE*);
struct ELEMENT_NEEDLE {
    ELEMENT_HEADER header;
    MODULE_VAR source_var;
    PMODULE_VAR_CB source_var_cb;
    PFN_FLOAT64 display_value_fn;
    PFN_FLOAT64 angle_fn;
    PFN_FLOAT64 lag_fn;
    PIXPOINT reference;
    NONLINEARITY* nonlinearity_table;
    UINT32 nonlinearity_table_size;
    SINT32 max_degrees_per_tick;
    FLOAT64 readout_goal;
    FLOAT64 theta_goal;
    FLOAT64 theta;
    PIXPOINT reference_old;
    PIXPOINT o0, o1, o2, o3;
    IMAGE_SET needle_data;
    IMAGE* texture_data;
    UINT32 texture_handle;
    IMAGE* save_buffer;
    PIXPOINT save_position;
    PNEEDLE_UPDATE_CALLBACK update_cb;
    PIXPOINT save_size;
};

struct SEQ_REC { SINT32 seq_id; SINT32 sel_str; SINT32 sel_end; };

struct ELEMENT_STRING;
using PSTRING_UPDATE_CALLBACK = FLOAT64(FSAPI*)(ELEMENT_STRING*);
struct ELEMENT_STRING {
    ELEMENT_HEADER header;
    MODULE_VAR source_var[3];
    FLOAT64 save_var[3];
    PMODULE_VAR_CB source_var_cb[3];
    PFN_FLOAT64 source_fn;
    char* string;  // text buffer supplied by the simulator
    char* string_old;
    PIXPOINT img_size;
    IMAGE* string_data;
    IMAGE* save_buffer;
    UINT32 fg_color;
    UINT32 bg_color;
    UINT32 hilite_color;
    HANDLE32 hdc;
    HANDLE32 hfont;
    HANDLE32 reserved1;
    HANDLE32 hbmp;
    HANDLE32 reserved2;
    HANDLE32 hbrush;
    HANDLE32 reserved3;
    char font_name[32];
    SINT32 font_weight;
    UINT8 font_charset;
    UINT32 draw_text_flags;
    UINT16 max_string_length;
    UINT16 char_width;
    SINT16 sel_str;
    SINT16 sel_end;
    SEQ_REC* seq;
    SINT32 save_global_seq;
    SINT32 char_height;
    PSTRING_UPDATE_CALLBACK update_cb;
    BOOL use_user_color;
    UINT32 user_color;
};

struct ELEMENT_SLIDER;
using PSLIDER_UPDATE_CALLBACK = FLOAT64(FSAPI*)(ELEMENT_SLIDER*);
struct ELEMENT_SLIDER {
    ELEMENT_HEADER header;
    MODULE_VAR source_var_x;
    PMODULE_VAR_CB source_var_x_cb;
    FLOAT64 scale_x;
    PFN_FLOAT64 lag_fn_x;
    MODULE_VAR source_var_y;
    PMODULE_VAR_CB source_var_y_cb;
    FLOAT64 scale_y;
    PFN_FLOAT64 lag_fn_y;
    IMAGE_SET slider_data;
    IMAGE* save_buffer;
    PSLIDER_UPDATE_CALLBACK update_x_cb;
    PSLIDER_UPDATE_CALLBACK update_y_cb;
    FLOAT64 previous_x;
    FLOAT64 previous_y;
};

struct ELEMENT_ICON;
using PICON_UPDATE_CALLBACK = FLOAT64(FSAPI*)(ELEMENT_ICON*);
enum IconSwitchType : SINT32 {
    ICON_SWITCH_TYPE_SET_CUR_ICON = 0,
    ICON_SWITCH_TYPE_SET_CUR_USING_RANGE = 1,
    ICON_SWITCH_TYPE_STEP_TO = 3,
    ICON_SWITCH_TYPE_STEP_TO_USING_RANGE = 4,
};
struct ELEMENT_ICON {
    ELEMENT_HEADER header;
    MODULE_VAR source_var;
    PMODULE_VAR_CB source_var_cb;
    SINT32 switch_type;
    SINT32 switch_count;
    FLOAT64 scale;
    SINT32 offset;
    SINT32 num_icons;
    SINT32 cur_icon;
    SINT32 dst_icon;
    IMAGE_SET* picon_data;
    IMAGE* save_buffer;
    PICON_UPDATE_CALLBACK update_cb;
    ID reserved1;
};

struct ELEMENT_MOVING_IMAGE;
using PMOVING_IMAGE_UPDATE_CALLBACK = FLOAT64(FSAPI*)(ELEMENT_MOVING_IMAGE*);
struct ELEMENT_MOVING_IMAGE {
    ELEMENT_HEADER header;
    MODULE_VAR source_var_x;
    PMODULE_VAR_CB source_var_x_cb;
    FLOAT64 min_x;
    FLOAT64 max_x;
    PFN_FLOAT64 lag_x;
    MODULE_VAR source_var_y;
    PMODULE_VAR_CB source_var_y_cb;
    FLOAT64 min_y;
    FLOAT64 max_y;
    PFN_FLOAT64 lag_y;
    FLOAT64 scale_x;
    FLOAT64 scale_y;
    FLOAT64 offset_x;
    FLOAT64 offset_y;
    PIXPOINT save_position;
    IMAGE_SET image_data;
    IMAGE_SET local_mask_data;
    IMAGE* mask_data;
    IMAGE* save_buffer;
    PMOVING_IMAGE_UPDATE_CALLBACK update_x_cb;
    PMOVING_IMAGE_UPDATE_CALLBACK update_y_cb;
    FLOAT64 previous_x;
    FLOAT64 previous_y;
};

// Mouse rectangles.
enum MouseRectType : int {
    MOUSE_RECT_EOL = 0,
    MOUSE_RECT_PARENT = 1,
    MOUSE_RECT_CHILD = 2,
    MOUSE_RECT_END_PARENT = 3,
    MOUSE_RECT_USER = 4,
};
enum CursorType : int {
    CURSOR_NONE = -1,
    CURSOR_NORMAL = 0,
    CURSOR_UPARROW = 1,
    CURSOR_DOWNARROW = 2,
    CURSOR_LEFTARROW = 3,
    CURSOR_RIGHTARROW = 4,
    CURSOR_HAND = 5,
};
constexpr FLAGS32 MOUSE_LEFTSINGLE = 0x20000000;
constexpr FLAGS32 MOUSE_DOWN_REPEAT = 0x00200000;

using PMOUSE_FUNCTION = BOOL(FSAPI*)(PIXPOINT* relative_point, FLAGS32 mouse_flags);

struct MOUSERECT {
    int rect_type;
    PIXBOX relative_box;
    int cursor;
    ID help_id;
    FLAGS mouse_flags;
    ID event_id;
    PMOUSE_FUNCTION mouse_function;
    PVOID api_data;
};

// Gauge header.
using PGAUGE_CALLBACK = void(FSAPI*)(GAUGEHDR* gauge, SINT32 service_id, UINT32 extra_data);
using QUERY_ROUTINE = void(FSAPI*)();
using INSTALL_ROUTINE = void(FSAPI*)(PVOID resource_file_handle);
using INITIALIZE_ROUTINE = void(FSAPI*)();
using UPDATE_ROUTINE = void(FSAPI*)();
using GENERATE_ROUTINE = void(FSAPI*)(UINT32 phase);
using DRAW_ROUTINE = void(FSAPI*)();
using KILL_ROUTINE = void(FSAPI*)();

constexpr UINT32 GAUGE_HEADER_VERSION_FS800 = 800;

struct GAUGEHDR {
    UINT32 gauge_header_version;
    const char* gauge_name;
    ELEMENT_HEADER** elements_list;
    QUERY_ROUTINE query_routine;
    INSTALL_ROUTINE install_routine;
    INITIALIZE_ROUTINE initialize_routine;
    UPDATE_ROUTINE update_routine;
    GENERATE_ROUTINE generate_routine;
    DRAW_ROUTINE draw_routine;
    KILL_ROUTINE kill_routine;
    PVOID reserved1;
    UINT32 size_x_mm;
    UINT32 size_y_mm;
    FLOAT32 x_adjust;
    FLOAT32 y_adjust;
    PVOID reserved2;
    PVOID reserved3;
    PIXPOINT position;
    PVOID reserved4;
    MOUSERECT* mouse_rect;
    PGAUGE_CALLBACK gauge_callback;
    UINT32 user_data;
    char* parameters;
    char* usage;
    SINT32 reserved5;
    PVOID reserved6;
    PIXPOINT size;
    FLOAT64 user_area[10];
    FLAGS32 flags;
    PVOID reserved7;
};

// Gauge callback service codes the module acts on.
constexpr SINT32 PANEL_SERVICE_PRE_INSTALL = 2;
constexpr SINT32 PANEL_SERVICE_PRE_UPDATE = 6;
constexpr SINT32 PANEL_SERVICE_PRE_KILL = 12;

// The simulator's service table; the first six fields are the linkage prefix.
using MODULE_ROUTINE = void(FSAPI*)();
struct PANELS {
    ID ModuleID;
    MODULE_ROUTINE ModuleInit;
    MODULE_ROUTINE ModuleDeinit;
    FLAGS32 ModuleFlags;
    UINT32 ModulePriority;
    UINT32 ModuleVersion;
    PVOID reserved1, reserved2, reserved3, reserved4, reserved5;
    BOOL(FSAPI* is_panel_window_visible_ident)(UINT32 panel_id);
    ENUM(FSAPI* tooltip_units_getset)(int action, ENUM type);
    PVOID reserved7, reserved8, reserved9, reserved10, reserved11, reserved12, reserved13,
        reserved14, reserved15, reserved16, reserved17;
    void(FSAPI* element_list_query)(ELEMENT_HEADER* element);
    void(FSAPI* element_list_install)(ELEMENT_HEADER* element, PVOID resource_file_handle);
    void(FSAPI* element_list_initialize)(ELEMENT_HEADER* element);
    void(FSAPI* element_list_update)(ELEMENT_HEADER* element);
    void(FSAPI* element_list_generate)(ELEMENT_HEADER* element, UINT32 phase);
    void(FSAPI* element_list_plot)(ELEMENT_HEADER* element);
    void(FSAPI* element_list_erase)(ELEMENT_HEADER* element);
    void(FSAPI* element_list_kill)(ELEMENT_HEADER* element);
    void(FSAPI* mouse_list_install)(MOUSERECT* rect, GAUGEHDR* gauge, PIXPOINT* size);
    void(FSAPI* mouse_list_register)(MOUSERECT* rect, GAUGEHDR* gauge);
    void(FSAPI* mouse_list_unregister)(MOUSERECT* rect, GAUGEHDR* gauge);
    BOOL(FSAPI* panel_window_toggle)(UINT32 panel_id);
    ERR(FSAPI* trigger_key_event)(ID32 event_id, UINT32 value);
    void(FSAPI* register_var_by_name)(PVOID var, int var_type, char* name);
    void(FSAPI* initialize_var)(MODULE_VAR* var);
    void(FSAPI* initialize_var_by_name)(MODULE_VAR* var, char* name);
    void(FSAPI* lookup_var)(MODULE_VAR* var);
    void(FSAPI* unregister_var_by_name)(char* name);
    void(FSAPI* unregister_all_named_vars)();
    PVOID reserved18, reserved19;
    BOOL(FSAPI* panel_window_close_ident)(UINT32 panel_id);
    BOOL(FSAPI* panel_window_open_ident)(UINT32 panel_id);
};

struct GAUGESIMPORT_ENTRY { ID fnID; PVOID fnptr; };
struct GAUGESIMPORT {
    GAUGESIMPORT_ENTRY PANELSentry;  // fnID 0x0F; fnptr written by the simulator
    GAUGESIMPORT_ENTRY nullentry;
};

constexpr ID PANELS_SERVICE_ID = 0x0F;
constexpr ID GAUGE_MODULE_ID = 0x13;
constexpr UINT32 MODULE_VERSION_FS2002 = 0x800;

// The gauge count is part of the type so that the exported record has its exact size.
template <std::size_t N>
struct GAUGESLINKAGE {
    ID ModuleID;
    MODULE_ROUTINE ModuleInit;
    MODULE_ROUTINE ModuleDeinit;
    FLAGS32 ModuleFlags;
    UINT32 ModulePriority;
    UINT32 ModuleVersion;
    GAUGEHDR* gauge_header_ptr[N + 1];  // null-terminated
};

#if defined(__i386__) || defined(_M_IX86)
#pragma pack(pop)
#endif

// The layout the simulator reads, pinned on the build it loads.
#if defined(_WIN32) && defined(__i386__)
static_assert(sizeof(PIXPOINT) == 8);
static_assert(sizeof(MODULE_VAR) == 28 && offsetof(MODULE_VAR, var_value) == 12 &&
              offsetof(MODULE_VAR, var_old) == 20);
static_assert(sizeof(ELEMENT_HEADER) == 60 && offsetof(ELEMENT_HEADER, gauge_header) == 32 &&
              offsetof(ELEMENT_HEADER, next_element) == 40 && offsetof(ELEMENT_HEADER, image_flags) == 48);
static_assert(sizeof(ELEMENT_STATIC_IMAGE) == 96);
static_assert(sizeof(ELEMENT_NEEDLE) == 236 && offsetof(ELEMENT_NEEDLE, source_var) == 60 &&
              offsetof(ELEMENT_NEEDLE, nonlinearity_table) == 112 &&
              offsetof(ELEMENT_NEEDLE, readout_goal) == 124 && offsetof(ELEMENT_NEEDLE, needle_data) == 188 &&
              offsetof(ELEMENT_NEEDLE, update_cb) == 224);
static_assert(sizeof(ELEMENT_STRING) == 324 && offsetof(ELEMENT_STRING, save_var) == 144 &&
              offsetof(ELEMENT_STRING, string) == 184 && offsetof(ELEMENT_STRING, font_name) == 248 &&
              offsetof(ELEMENT_STRING, draw_text_flags) == 288 &&
              offsetof(ELEMENT_STRING, max_string_length) == 292 && offsetof(ELEMENT_STRING, seq) == 300 &&
              offsetof(ELEMENT_STRING, update_cb) == 312);
static_assert(sizeof(ELEMENT_SLIDER) == 192 && offsetof(ELEMENT_SLIDER, scale_x) == 92 &&
              offsetof(ELEMENT_SLIDER, source_var_y) == 104 && offsetof(ELEMENT_SLIDER, update_x_cb) == 168 &&
              offsetof(ELEMENT_SLIDER, previous_x) == 176);
static_assert(sizeof(ELEMENT_ICON) == 140 && offsetof(ELEMENT_ICON, switch_type) == 92 &&
              offsetof(ELEMENT_ICON, scale) == 100 && offsetof(ELEMENT_ICON, offset) == 108 &&
              offsetof(ELEMENT_ICON, num_icons) == 112 && offsetof(ELEMENT_ICON, update_cb) == 132);
static_assert(sizeof(ELEMENT_MOVING_IMAGE) == 268 && offsetof(ELEMENT_MOVING_IMAGE, min_x) == 92 &&
              offsetof(ELEMENT_MOVING_IMAGE, source_var_y) == 112 &&
              offsetof(ELEMENT_MOVING_IMAGE, scale_x) == 164 &&
              offsetof(ELEMENT_MOVING_IMAGE, image_data) == 204 &&
              offsetof(ELEMENT_MOVING_IMAGE, update_x_cb) == 244 &&
              offsetof(ELEMENT_MOVING_IMAGE, previous_y) == 260);
static_assert(sizeof(MOUSERECT) == 44 && offsetof(MOUSERECT, relative_box) == 4 &&
              offsetof(MOUSERECT, cursor) == 20 && offsetof(MOUSERECT, mouse_flags) == 28 &&
              offsetof(MOUSERECT, mouse_function) == 36);
static_assert(sizeof(GAUGEHDR) == 204 && offsetof(GAUGEHDR, gauge_name) == 4 &&
              offsetof(GAUGEHDR, elements_list) == 8 && offsetof(GAUGEHDR, query_routine) == 12 &&
              offsetof(GAUGEHDR, kill_routine) == 36 && offsetof(GAUGEHDR, size_x_mm) == 44 &&
              offsetof(GAUGEHDR, size_y_mm) == 48 && offsetof(GAUGEHDR, position) == 68 &&
              offsetof(GAUGEHDR, mouse_rect) == 80 && offsetof(GAUGEHDR, gauge_callback) == 84 &&
              offsetof(GAUGEHDR, usage) == 96 && offsetof(GAUGEHDR, user_area) == 116 &&
              offsetof(GAUGEHDR, flags) == 196);
static_assert(offsetof(PANELS, reserved1) == 0x18 && offsetof(PANELS, element_list_query) == 0x60 &&
              offsetof(PANELS, element_list_kill) == 0x7C && offsetof(PANELS, panel_window_toggle) == 0x8C &&
              offsetof(PANELS, trigger_key_event) == 0x90 && offsetof(PANELS, lookup_var) == 0xA0 &&
              offsetof(PANELS, panel_window_open_ident) == 0xB8);
static_assert(sizeof(GAUGESIMPORT) == 16);
static_assert(offsetof(GAUGESLINKAGE<1>, ModuleVersion) == 20 &&
              offsetof(GAUGESLINKAGE<1>, gauge_header_ptr) == 24);
#endif

}  // namespace tarvenol::abi
