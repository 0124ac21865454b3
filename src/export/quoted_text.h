#pragma once

#include <string>
#include <string_view>

namespace quillet {

// Appends text between two quote characters, each quote inside doubled: how a CSV item, an
// SQL literal and a quoted SQL name keep a quote in the text from ending them early.
inline void AppendQuoted(std::string& out, std::string_view text, char quote) {
    out += quote;
    for (std::size_t at; (at = text.find(quote)) != std::string_view::npos;) {
        out.append(text.substr(0, at + 1));
        out += quote;
        text.remove_prefix(at + 1);
    }
    out.append(text);
    out += quote;
}

}  // namespace quillet
