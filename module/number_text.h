// A number shown in a text field, formatted again only when the number or the field's buffer
// changes: formatting a decimal is the dearest thing a frame does, and most readouts hold still.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "module/gauge.h"

namespace tarvenol {

class NumberText {
public:
    // Writes `value` with `format` (one double conversion) into the field, unless the field already
    // shows exactly this value in this format. Every write to the field must come through here.
    void show(char* text, std::size_t size, const char* format, double value) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
        if (text && text == text_ && size == size_ && format == format_ && bits == bits_ && text[0] != '\0') return;
        format_text(text, size, format, value);
        text_ = text;
        size_ = size;
        format_ = format;
        bits_ = bits;
    }

private:
    const char* text_ = nullptr;
    std::size_t size_ = 0;
    const char* format_ = nullptr;
    std::uint64_t bits_ = 0;
};

}  // namespace tarvenol
