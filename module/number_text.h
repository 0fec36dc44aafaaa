// A text field formatted again only when what it shows or the field's buffer changes: formatting a
// number is the dearest thing a frame does, and most readouts hold still.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "module/gauge.h"

namespace tarvenol {

class NumberText {
public:
    // Writes `value` with `format` (one conversion of that type) into the field, unless the field
    // already shows exactly this value in this format. Every write to the field must come through here.
    void show(char* text, std::size_t size, const char* format, double value) {
        if (!unchanged(text, size, format, std::bit_cast<std::uint64_t>(value))) format_text(text, size, format, value);
    }
    void show(char* text, std::size_t size, const char* format, int value) {
        if (!unchanged(text, size, format, static_cast<std::uint64_t>(static_cast<std::int64_t>(value))))
            format_text(text, size, format, value);
    }
    // A fixed text of the field's own, such as its blanks or the display test's eights.
    void show(char* text, std::size_t size, const char* literal) {
        if (!unchanged(text, size, literal, 0)) format_text(text, size, "%s", literal);
    }

private:
    // True when the field shows this already; otherwise remembers it as what the field is about to show.
    bool unchanged(char* text, std::size_t size, const char* format, std::uint64_t bits) {
        if (text && text == text_ && size == size_ && format == format_ && bits == bits_ && text[0] != '\0') return true;
        text_ = text;
        size_ = size;
        format_ = format;
        bits_ = bits;
        return false;
    }

    const char* text_ = nullptr;
    std::size_t size_ = 0;
    const char* format_ = nullptr;
    std::uint64_t bits_ = 0;
};

}  // namespace tarvenol
