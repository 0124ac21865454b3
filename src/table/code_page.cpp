#include "table/code_page.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>

#include "table/code_page_tables.h"

namespace quillet {

namespace {

const std::deque<CodePage>& AllPages() {
    static const std::deque<CodePage> pages = [] {
        std::deque<CodePage> list;
        for (std::size_t i = 0; i < kCodePageTableCount; ++i) {
            const CodePageTable& t = kCodePageTables[i];
            list.emplace_back(t.Number, t.Name, t.Unicode);
        }
        list.emplace_back(65001, "UTF-8", nullptr);
        return list;
    }();
    return pages;
}

const char16_t* Windows1252Table() {
    for (std::size_t i = 0; i < kCodePageTableCount; ++i) {
        if (kCodePageTables[i].Number == 1252) return kCodePageTables[i].Unicode;
    }
    return nullptr;
}

// Length of the valid UTF-8 sequence at the start of bytes, 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view bytes, char32_t& codePoint) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    std::size_t length;
    char32_t min;
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, codePoint = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, codePoint = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, codePoint = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if ((b & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (b & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

template <typename Emit>
void Decode(const char16_t* unicode, std::string_view bytes, Emit emit) {
    if (unicode != nullptr) {
        for (char c : bytes) emit(unicode[static_cast<unsigned char>(c)]);
        return;
    }
    static const char16_t* const latin = Windows1252Table();
    while (!bytes.empty()) {
        char32_t codePoint = 0;
        std::size_t length = Utf8SequenceLength(bytes, codePoint);
        if (length == 0) {
            codePoint = latin[static_cast<unsigned char>(bytes[0])];
            length = 1;
        }
        emit(codePoint);
        bytes.remove_prefix(length);
    }
}

// How many bytes at the start of bytes are ASCII, eight at a time.
std::size_t AsciiPrefixLength(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, sizeof word);
        if ((word & kHighBits) != 0) break;
    }
    while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) < 0x80) ++at;
    return at;
}

std::string Upper(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

void AppendUtf8CodePoint(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void CodePage::AppendUtf8(std::string& out, std::string_view bytes) const {
    // ASCII is the same in UTF-8 and in every page we carry (a test checks the tables), and it
    // is most of any table's text: each run of it goes in one append. A run of other bytes is
    // decoded as a whole, since a UTF-8 sequence holds no ASCII byte.
    while (!bytes.empty()) {
        const std::size_t ascii = AsciiPrefixLength(bytes);
        out.append(bytes.data(), ascii);
        bytes.remove_prefix(ascii);
        std::size_t other = 0;
        while (other < bytes.size() && static_cast<unsigned char>(bytes[other]) >= 0x80) ++other;
        Decode(unicode_, bytes.substr(0, other), [&out](char32_t c) { AppendUtf8CodePoint(out, c); });
        bytes.remove_prefix(other);
    }
}

std::string_view CodePage::AsUtf8(std::string_view bytes, std::string& scratch) const {
    if (AsciiPrefixLength(bytes) == bytes.size()) return bytes;
    scratch.clear();
    AppendUtf8(scratch, bytes);
    return scratch;
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size());
    AppendUtf8(out, bytes);
    return out;
}

std::u16string CodePage::ToUtf16(std::string_view bytes) const {
    std::u16string out;
    out.reserve(bytes.size());
    Decode(unicode_, bytes, [&out](char32_t c) {
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    });
    return out;
}

const CodePage& CodePage::Default() {
    static const CodePage& page = *ForNumber(1252);
    return page;
}

const CodePage* CodePage::ForNumber(int number) {
    for (const CodePage& page : AllPages()) {
        if (page.Number() == number) return &page;
    }
    return nullptr;
}

const CodePage* CodePage::ForLanguageDriver(std::uint8_t driver) {
    struct Entry {
        std::uint8_t Driver;
        int Page;
    };
    // The language driver ids of dBASE, FoxPro and Visual FoxPro. Multi-byte pages
    // (932, 936, 949, 950) are left out: we carry no table for them.
    static constexpr Entry kDrivers[] = {
        {0x01, 437},   {0x02, 850},   {0x03, 1252},  {0x04, 10000}, {0x08, 865},  {0x09, 437},  {0x0A, 850},
        {0x0B, 437},   {0x0D, 437},   {0x0E, 850},   {0x0F, 437},   {0x10, 850},  {0x11, 437},  {0x12, 850},
        {0x14, 850},   {0x15, 437},   {0x16, 850},   {0x17, 865},   {0x18, 437},  {0x19, 437},  {0x1A, 850},
        {0x1B, 437},   {0x1C, 863},   {0x1D, 850},   {0x1F, 852},   {0x22, 852},  {0x23, 852},  {0x24, 860},
        {0x25, 850},   {0x26, 866},   {0x37, 850},   {0x40, 852},   {0x50, 874},  {0x57, 1252}, {0x58, 1252},
        {0x59, 1252},  {0x64, 852},   {0x65, 866},   {0x66, 865},   {0x67, 861},  {0x6A, 737},  {0x6B, 857},
        {0x6C, 863},   {0x7C, 874},   {0x7D, 1255},  {0x7E, 1256},  {0x86, 737},  {0x87, 852},  {0x88, 857},
        {0x96, 10007}, {0x97, 10029}, {0x98, 10006}, {0xC8, 1250},  {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253},
        {0xCC, 1257},
    };
    for (const Entry& e : kDrivers) {
        if (e.Driver == driver) return ForNumber(e.Page);
    }
    return nullptr;
}

const CodePage* CodePage::ForCpgText(std::string_view text) {
    const std::string name = Upper(text);
    if (name == "UTF-8" || name == "UTF8" || name == "65001") return ForNumber(65001);
    std::string digits = name;
    for (const char* prefix : {"ANSI", "CP", "WINDOWS-", "IBM", "OEM"}) {
        if (digits.rfind(prefix, 0) == 0) {
            digits = digits.substr(std::char_traits<char>::length(prefix));
            break;
        }
    }
    if (!digits.empty() && digits.size() <= 5 && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return ForNumber(std::stoi(digits));
    }
    for (const CodePage& page : AllPages()) {
        if (Upper(page.Name()) == name) return &page;
    }
    if (name == "LATIN1" || name == "ISO8859-1" || name == "ISO88591") return ForNumber(28591);
    return nullptr;
}

}  // namespace quillet
