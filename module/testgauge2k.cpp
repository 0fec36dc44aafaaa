// testgauge2k: the developers' diagnostic gauge. Four text fields show automatic-flight values
// with six decimals; a click anywhere toggles a hold flag that switches the first field to the
// audio panel's volume step counter and freezes the other three on what they showed last.
#include "module/gauge.h"
#include "module/number_text.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

#define TESTGAUGE_STATE(X)                 \
    X(u8, testgauge_hold, 0)               \
    X(f64, testgauge_shown_ias_trend, 0.0) \
    X(f64, testgauge_shown_ias_zone, 0.0)  \
    X(f64, testgauge_shown_ias_error, 0.0)
TARVENOL_PRIVATE_STATE(TESTGAUGE_STATE)

constexpr int kFieldChars = 31;
constexpr const char* kNumberFormat = "%1.6f";

double show(NumberText& field, char* text, std::size_t size, double value) {
    field.show(text, size, kNumberFormat, value);
    return value;
}
NumberText shown_1, shown_2, shown_3, shown_4;

// Live unless held; while held, the value shown last.
double follow(double live, f64& shown) {
    if (st.testgauge_hold == 0) shown = live;
    return shown;
}

Background background;
Text field_1{"field_1", kFieldChars, [](char* t, std::size_t n) {
                 return show(shown_1, t, n, st.testgauge_hold ? shared.snd_master_vol_pos : shared.ap_vs_ref);
             }};
Text field_2{"field_2", kFieldChars,
             [](char* t, std::size_t n) { return show(shown_2, t, n, follow(shared.ias_trend, st.testgauge_shown_ias_trend)); }};
Text field_3{"field_3", kFieldChars,
             [](char* t, std::size_t n) { return show(shown_3, t, n, follow(shared.ias_zone, st.testgauge_shown_ias_zone)); }};
Text field_4{"field_4", kFieldChars,
             [](char* t, std::size_t n) { return show(shown_4, t, n, follow(shared.ias_error, st.testgauge_shown_ias_error)); }};
Image marker{"marker"};  // never shown

constexpr std::array areas{
    area<[] { st.testgauge_hold = st.testgauge_hold ? 0 : 1; }>("hold", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(testgauge2k, "testgauge2k", 36, &idle_callback, areas, st_table, &reset_private_state,
               background, field_1, field_2, field_3, field_4, marker);
