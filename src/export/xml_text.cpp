#include "export/xml_text.h"

#include "export/byte_scan.h"
#include "export/utf8_scan.h"

namespace quillet {

namespace {

// U+FFFD, which stands for bytes that are no character, is left out although XML 1.0's fifth
// edition allows it: readers that follow the earlier editions (expat, so Python) refuse it.
bool IsNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFC) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The reference that stands for a character content or an attribute value cannot hold as it is.
std::string_view EscapeOf(char c) {
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '\r': return "&#13;";
    case '"': return "&quot;";
    case '\t': return "&#9;";
    default: return "&#10;";
    }
}

bool IsForbidden(unsigned char b) { return b < 0x20 && b != '\t' && b != '\n' && b != '\r'; }

}  // namespace

const char* XmlTypeWord(char type) {
    switch (type) {
    case 'C':
    case 'D':
    case 'V': return "CHARACTER";
    case 'N':
    case 'F':
    case 'I':
    case 'Y':
    case 'B':
    case 'O':
    case '+': return "NUMERIC";
    case 'L': return "BOOLEAN";
    case 'M': return "TEXT";
    case 'T':
    case '@': return "DATETIME";
    case 'G':
    case 'P':
    case 'W':
    case 'Q': return "BINARY";
    default: return "UNKNOWN";
    }
}

void AppendXmlName(std::string& out, std::string_view name) {
    std::size_t at = 0;
    bool first = true;
    while (at < name.size()) {
        const std::size_t start = at;
        const char32_t c = NextCodePoint(name, at);
        if (!IsNameChar(c)) {
            out += '_';
        } else {
            if (first && !IsNameStart(c)) out += '_';
            out.append(name.substr(start, at - start));
        }
        first = false;
    }
    if (first) out += '_';
}

void DropXmlForbidden(std::string& text) {
    // Text seldom holds one: nothing moves until the first (or the first byte EF, which may
    // start U+FFFE or U+FFFF).
    std::size_t i = FindFirst(
        text, [](std::uint64_t word) { return (BytesBelow(word, 0x20) | BytesEqual(word, '\xEF')) != 0; },
        [](char c) { return IsForbidden(static_cast<unsigned char>(c)) || c == '\xEF'; });
    std::size_t kept = i;
    for (; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (IsForbidden(b)) continue;
        // U+FFFE and U+FFFF: EF BF BE and EF BF BF.
        if (b == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF &&
            (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
            i += 2;
            continue;
        }
        text[kept++] = text[i];
    }
    text.resize(kept);
}

void AppendXmlContent(std::string& out, std::string_view text) {
    AppendEscaped<'&', '<', '>', '\r'>(out, text, EscapeOf);
}

void AppendXmlAttribute(std::string& out, std::string_view text) {
    AppendEscaped<'&', '<', '>', '\r', '"', '\t', '\n'>(out, text, EscapeOf);
}

}  // namespace quillet
