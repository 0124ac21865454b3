#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace quillet {

// Finding the few bytes a format must treat specially (quotes, markup, control characters) in
// text that mostly holds none, eight bytes at a time instead of one.

inline constexpr std::uint64_t kEveryByte = 0x0101010101010101u;

inline std::uint64_t Load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Nonzero exactly when some byte of word is zero.
inline std::uint64_t ZeroBytes(std::uint64_t word) { return (word - kEveryByte) & ~word & (kEveryByte * 0x80); }

// Nonzero exactly when some byte of word is c.
inline std::uint64_t BytesEqual(std::uint64_t word, char c) {
    return ZeroBytes(word ^ (kEveryByte * static_cast<unsigned char>(c)));
}

// Nonzero exactly when some byte of word is below limit (at most 0x80).
inline std::uint64_t BytesBelow(std::uint64_t word, unsigned char limit) {
    return (word - kEveryByte * limit) & ~word & (kEveryByte * 0x80);
}

// The position of the first byte of text for which is(byte) holds, or text.size().
// mayHold(word) tells whether eight bytes may hold one; words it rules out are skipped whole.
template <typename MayHold, typename Is>
std::size_t FindFirst(std::string_view text, MayHold&& mayHold, Is&& is) {
    const char* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (;;) {
        while (i + 8 <= n && !mayHold(Load8(p + i))) i += 8;
        // Fewer than eight bytes left: the last eight of the text hold them, and the bytes before
        // them were looked at already. Most cells end so, and most of them hold none.
        if (i + 8 > n && n >= 8 && !mayHold(Load8(p + n - 8))) return n;
        const std::size_t end = i + 8 <= n ? i + 8 : n;
        for (; i < end; ++i) {
            if (is(p[i])) return i;
        }
        if (i == n) return n;
    }
}

// The position of the first of the bytes Special in text, or text.size().
template <char... Special>
std::size_t FindAny(std::string_view text) {
    return FindFirst(
        text, [](std::uint64_t word) { return (BytesEqual(word, Special) | ...) != 0; },
        [](char c) { return ((c == Special) || ...); });
}

// Whether text holds none of the bytes Special (there may be none), and, where asked, no control byte (below 0x20)
// and no byte beyond ASCII.
template <char... Special>
bool HoldsNone(std::string_view text, bool controls, bool beyondAscii) {
    // Limits rather than branches: no byte is below 0, none is 0x100 or more.
    const unsigned char below = controls ? 0x20 : 0;
    const unsigned top = beyondAscii ? 0x80 : 0x100;
    const std::uint64_t high = beyondAscii ? kEveryByte * 0x80 : 0;
    const auto mayHold = [below, high](std::uint64_t word) {
        return (BytesEqual(word, Special) | ... | (BytesBelow(word, below) | (word & high))) != 0;
    };
    const auto is = [below, top](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return ((c == Special) || ... || (byte < below || byte >= top));
    };
    return FindFirst(text, mayHold, is) == text.size();
}

// Appends text with each of the bytes Special replaced by escape(byte); the runs between them go
// in one append each.
template <char... Special, typename Escape>
void AppendEscaped(std::string& out, std::string_view text, Escape&& escape) {
    for (std::size_t at; (at = FindAny<Special...>(text)) != text.size();) {
        out.append(text.substr(0, at));
        out.append(escape(text[at]));
        text.remove_prefix(at + 1);
    }
    out.append(text);
}

}  // namespace quillet
