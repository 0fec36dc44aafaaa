#include "module/module_state.h"

#include "module/shared_state.h"
#include "sound/sound.h"

namespace tarvenol {

const GaugeInfo* find_gauge(std::string_view name) {
    for (const GaugeInfo* g : gauges())
        if (name == g->name) return g;
    return nullptr;
}

const AreaDef* find_area(const GaugeInfo& gauge, std::string_view area, std::size_t* index) {
    for (std::size_t i = 0; i < gauge.area_count; ++i) {
        if (area == gauge.areas[i].name) {
            if (index) *index = i;
            return &gauge.areas[i];
        }
    }
    return nullptr;
}

ElementLink* find_element(const GaugeInfo& gauge, std::string_view element) {
    for (std::size_t i = 0; i < gauge.element_count; ++i)
        if (element == gauge.elements[i]->name) return gauge.elements[i];
    return nullptr;
}

const VarRef* find_var(std::string_view name) {
    for (const VarRef& v : shared_var_table())
        if (name == v.name) return &v;
    for (const GaugeInfo* g : gauges())
        for (const VarRef& v : g->vars)
            if (name == v.name) return &v;
    return nullptr;
}

void reset_module_state() {
    snd::release_sounds();
    shared = SharedState{};
    for (const GaugeInfo* g : gauges()) {
        if (g->reset) g->reset();
        for (std::size_t i = 0; i < g->element_count; ++i)
            g->elements[i]->header->image_flags = g->elements[i]->initial_flags;
    }
}

}  // namespace tarvenol
