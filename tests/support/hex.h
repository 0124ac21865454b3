#pragma once

#include <string>
#include <string_view>

namespace quillet::testing {

// Bytes as upper-case hexadecimal pairs, by default separated by spaces: "09 00 04 00".
inline std::string Hex(std::string_view bytes, std::string_view separator = " ") {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += separator;
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

}  // namespace quillet::testing
