#include "export/xml_text.h"

#include "export/utf8_scan.h"

namespace quillet {

namespace {

bool IsNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r': out += "&#13;"; break;
        case '"':
            if (attribute) {
                out += "&quot;";
            } else {
                out += c;
            }
            break;
        case '\t':
            if (attribute) {
                out += "&#9;";
            } else {
                out += c;
            }
            break;
        case '\n':
            if (attribute) {
                out += "&#10;";
            } else {
                out += c;
            }
            break;
        default: out += c;
        }
    }
}

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
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') continue;
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

void AppendXmlContent(std::string& out, std::string_view text) { AppendEscaped(out, text, false); }

void AppendXmlAttribute(std::string& out, std::string_view text) { AppendEscaped(out, text, true); }

}  // namespace quillet
