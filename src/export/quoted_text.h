#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/byte_scan.h"

namespace quillet {

// Appends text between two quote characters, each quote inside doubled: how a CSV item, an
// SQL literal and a quoted SQL name keep a quote in the text from ending them early.
inline void AppendQuoted(std::string& out, std::string_view text, char quote) {
    out += quote;
    // Cells are short: a library search costs more to start than to run over them.
    const auto find = [quote](std::string_view rest) {
        const std::size_t at = FindFirst(
            rest, [quote](std::uint64_t word) { return BytesEqual(word, quote) != 0; }, [quote](char c) { return c == quote; });
        return at == rest.size() ? std::string_view::npos : at;
    };
    for (std::size_t at; (at = find(text)) != std::string_view::npos;) {
        out.append(text.substr(0, at + 1));
        out += quote;
        text.remove_prefix(at + 1);
    }
    out.append(text);
    out += quote;
}

}  // namespace quillet
