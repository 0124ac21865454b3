#include "table/numeric_reading.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

namespace quillet {

namespace {

bool Ignored(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Walks the text skipping ignored characters.
struct Cursor {
    std::string_view text;
    std::size_t at = 0;

    char Peek() {
        while (at < text.size() && Ignored(text[at])) ++at;
        return at < text.size() ? text[at] : '\0';
    }
    void Next() { ++at; }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

double ReadRadix(Cursor& in, int radix) {
    std::uint64_t value = 0;
    for (;;) {
        const char c = in.Peek();
        int digit;
        if (IsDigit(c)) {
            digit = c - '0';
        } else if (radix == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (radix == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            break;
        }
        if (digit >= radix) break;
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
        in.Next();
    }
    return static_cast<double>(value);
}

// The common case of a numeric field: blanks, an optional sign, at most 15 digits with at most
// one point. The mantissa (below 2^53) and the power of ten (at most 10^15) are both exact
// doubles, so one division rounds correctly, to the same double that from_chars gives.
// False when the text needs the full reading.
bool ReadPlainDecimal(std::string_view text, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::uint64_t mantissa = 0;
    int count = 0;  // digits so far; 15 of them stay below 2^53
    int decimals = 0;
    bool negative = false;
    bool started = false;  // a sign, a digit or the point was seen
    bool point = false;
    for (const char c : text) {
        if (IsDigit(c)) {
            if (++count > 15) return false;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            decimals += point;
            started = true;
        } else if (Ignored(c)) {
            continue;
        } else if (c == '.' && !point) {
            point = started = true;
        } else if ((c == '+' || c == '-') && !started) {
            negative = c == '-';
            started = true;
        } else if (c == 'E' || c == 'e' || c == 'D' || c == 'd' || c == '&') {
            return false;
        } else {
            break;
        }
    }
    if (count == 0) {
        value = 0;
        return true;
    }
    value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    if (negative) value = -value;
    return true;
}

}  // namespace

double NumericReading(std::string_view text) {
    if (double value; ReadPlainDecimal(text, value)) return value;
    Cursor in{text};
    // The number's characters, compacted, for from_chars. Longer mantissas than this
    // carry no more precision a double could hold; the rest of their digits only count.
    char buffer[400];
    std::size_t length = 0;
    auto put = [&](char c) {
        if (length < sizeof(buffer)) buffer[length++] = c;
    };

    char c = in.Peek();
    if (c == '&') {
        in.Next();
        const char prefix = in.Peek();
        if (prefix == 'H' || prefix == 'h') {
            in.Next();
            return ReadRadix(in, 16);
        }
        if (prefix == 'O' || prefix == 'o') {
            in.Next();
            return ReadRadix(in, 8);
        }
        return 0;
    }

    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        in.Next();
        c = in.Peek();
    }

    std::size_t digits = 0;
    bool point = false;
    std::int64_t dropped = 0;  // integer digits beyond the buffer, as a power of ten
    for (;; c = in.Peek()) {
        if (IsDigit(c)) {
            if (length + 8 < sizeof(buffer)) {
                put(c);
            } else if (!point) {
                ++dropped;
            }
            ++digits;
            in.Next();
        } else if (c == '.' && !point) {
            point = true;
            put('.');
            in.Next();
        } else {
            break;
        }
    }
    if (digits == 0) return 0;

    std::int64_t exponent = dropped;
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
        Cursor look = in;
        look.Next();
        char s = look.Peek();
        bool expNegative = false;
        if (s == '+' || s == '-') {
            expNegative = s == '-';
            look.Next();
            s = look.Peek();
        }
        if (IsDigit(s)) {
            std::int64_t value = 0;
            while (IsDigit(s = look.Peek())) {
                if (value < 100000) value = value * 10 + (s - '0');
                look.Next();
            }
            exponent += expNegative ? -value : value;
        }
    }
    if (exponent != 0) {
        put('e');
        char expText[24];
        const auto end = std::to_chars(expText, expText + sizeof(expText), exponent).ptr;
        for (const char* p = expText; p != end; ++p) put(*p);
    }

    double value = 0;
    const auto result = std::from_chars(buffer, buffer + length, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace quillet
