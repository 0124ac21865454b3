#pragma once

#include <cstddef>
#include <string_view>

namespace quillet {

// Reads the code point that starts at text[at] of well-formed UTF-8 (as CodePage::AppendUtf8
// writes it) and moves at past it.
inline char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto b0 = static_cast<unsigned char>(text[at++]);
    if (b0 < 0x80) return b0;
    const int extra = b0 >= 0xF0 ? 3 : b0 >= 0xE0 ? 2 : 1;
    char32_t c = b0 & (0x3F >> extra);
    for (int i = 0; i < extra && at < text.size(); ++i) c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    return c;
}

// Characters, not bytes, of well-formed UTF-8.
inline std::size_t CodePointCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace quillet
