// The built tarvenol.gau carries a bitmap resource under every id an element shows.
#include <gtest/gtest.h>
#include <windows.h>

#include "module/module_state.h"

namespace tarvenol {
namespace {

TEST(BitmapResources, every_element_that_shows_a_bitmap_finds_it_in_the_module) {
    HMODULE gau = LoadLibraryExA("tarvenol.gau", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(gau, nullptr);
    int found = 0;
    for (const GaugeInfo* g : gauges())
        for (std::size_t i = 0; i < g->element_count; ++i) {
            const ElementLink& e = *g->elements[i];
            for (int k = 0; k < e.bitmaps; ++k) {
                const int id = e.header->resource_id + k;
                HRSRC r = FindResourceA(gau, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* bitmap */);
                EXPECT_NE(r, nullptr) << g->name << ": " << e.name << " bitmap " << id;
                found += r != nullptr && SizeofResource(gau, r) > sizeof(BITMAPINFOHEADER);
            }
        }
    EXPECT_GT(found, static_cast<int>(gauges().size()));  // a background per gauge and more
    FreeLibrary(gau);
}

}  // namespace
}  // namespace tarvenol
