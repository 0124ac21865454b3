#pragma once

#include <string>
#include <string_view>

namespace quillet::testing {

// Bytes as upper-case hexadecimal pairs separated by spaces: "09 00 04 00".
inline std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

}  // namespace quillet::testing
