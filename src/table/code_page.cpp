#include "table/code_page.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>

#include "table/code_page_tables.h"
#include "table/double_byte_page.h"

namespace quillet {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }

const std::deque<CodePage>& AllPages() {
    static const std::deque<CodePage> pages = [] {
        std::deque<CodePage> list;
        for (std::size_t i = 0; i < kCodePageTableCount; ++i) {
            const CodePageTable& t = kCodePageTables[i];
            list.emplace_back(t.Number, t.Name, t.Unicode);
        }
        list.emplace_back(932, "Shift_JIS", CodePage::Kind::DoubleByte, "CP932");
        list.emplace_back(936, "GBK", CodePage::Kind::DoubleByte, "CP936");
        list.emplace_back(949, "EUC-KR", CodePage::Kind::DoubleByte, "CP949");
        list.emplace_back(950, "Big5", CodePage::Kind::DoubleByte, "CP950");
        list.emplace_back(65001, "UTF-8", CodePage::Kind::Utf8, nullptr);
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
    const auto b0 = Byte(bytes[0]);
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
        const auto b = Byte(bytes[i]);
        if ((b & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (b & 0x3F);
    }
    if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

// Whether bytes are the start of a UTF-8 sequence that the end of the text cut short.
bool IsCutUtf8Sequence(std::string_view bytes) {
    const auto b0 = Byte(bytes[0]);
    const std::size_t length = (b0 >= 0xC2 && b0 <= 0xDF) ? 2 : (b0 >= 0xE0 && b0 <= 0xEF) ? 3 : (b0 >= 0xF0 && b0 <= 0xF4) ? 4 : 0;
    if (bytes.size() >= length) return false;
    return std::all_of(bytes.begin() + 1, bytes.end(), [](char c) { return (Byte(c) & 0xC0) == 0x80; });
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
    while (at < bytes.size() && Byte(bytes[at]) < 0x80) ++at;
    return at;
}

std::string Upper(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (!std::isspace(Byte(c))) out += static_cast<char>(std::toupper(Byte(c)));
    }
    return out;
}

}  // namespace

CodePage::CodePage(int number, const char* name, const char16_t* unicode)
    : number_(number), name_(name), kind_(Kind::SingleByte), unicode_(unicode) {}

CodePage::CodePage(int number, const char* name, Kind kind, const char* iconvName)
    : number_(number), name_(name), kind_(kind), iconvName_(iconvName) {}

CodePage::~CodePage() = default;

const DoubleBytePage& CodePage::Pairs() const {
    std::call_once(pairsBuilt_, [this] { pairs_ = std::make_unique<DoubleBytePage>(iconvName_); });
    return *pairs_;
}

// emit(character, bytes it took). showCutPiece: bytes are a whole field, and a UTF-8 sequence
// cut short at their end is the remains of a character, one U+FFFD.
template <typename Emit>
void CodePage::Decode(std::string_view bytes, bool showCutPiece, Emit&& emit) const {
    switch (kind_) {
    case Kind::SingleByte:
        for (char c : bytes) emit(unicode_[Byte(c)], 1);
        return;
    case Kind::DoubleByte: {
        const DoubleBytePage& page = Pairs();
        for (std::size_t i = 0; i < bytes.size();) {
            const char16_t single = page.Single(Byte(bytes[i]));
            if (single != DoubleBytePage::kLead) {
                emit(single, 1);
                ++i;
            } else if (const char16_t pair = i + 1 < bytes.size() ? page.Pair(Byte(bytes[i]), Byte(bytes[i + 1])) : DoubleBytePage::kUndefined;
                       pair != DoubleBytePage::kUndefined) {
                emit(pair, 2);
                i += 2;
            } else {
                emit(kReplacement, 1);
                ++i;
            }
        }
        return;
    }
    case Kind::Utf8: {
        static const char16_t* const latin = Windows1252Table();
        while (!bytes.empty()) {
            char32_t codePoint = 0;
            std::size_t length = Utf8SequenceLength(bytes, codePoint);
            if (length == 0) {
                if (showCutPiece && IsCutUtf8Sequence(bytes)) {
                    emit(kReplacement, bytes.size());
                    return;
                }
                codePoint = latin[Byte(bytes[0])];
                length = 1;
            }
            emit(codePoint, length);
            bytes.remove_prefix(length);
        }
        return;
    }
    }
}

std::size_t CodePage::MultiByteWholeLength(std::string_view bytes) const {
    if (kind_ == Kind::Utf8) {
        std::size_t start = bytes.size();
        while (start > 0 && bytes.size() - start < 4 && (Byte(bytes[start - 1]) & 0xC0) == 0x80) --start;
        if (start == 0) return bytes.size();
        --start;
        return IsCutUtf8Sequence(bytes.substr(start)) ? start : bytes.size();
    }
    const DoubleBytePage& page = Pairs();
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (page.Single(Byte(bytes[i])) != DoubleBytePage::kLead) {
            ++i;
        } else if (i + 1 == bytes.size()) {
            return i;
        } else {
            i += page.Pair(Byte(bytes[i]), Byte(bytes[i + 1])) != DoubleBytePage::kUndefined ? 2 : 1;
        }
    }
    return bytes.size();
}

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
    const auto append = [&out](char32_t c, std::size_t) { AppendUtf8CodePoint(out, c); };
    // ASCII is the same in UTF-8 and in every page (a test checks them), and it is most of any
    // table's text: each run of it goes in one append. A run of other bytes is decoded as a
    // whole, since a UTF-8 sequence or a single-byte character holds no ASCII byte; the second
    // byte of a double-byte character may be ASCII, so there the rest is decoded in one go.
    while (!bytes.empty()) {
        const std::size_t ascii = AsciiPrefixLength(bytes);
        out.append(bytes.data(), ascii);
        bytes.remove_prefix(ascii);
        if (kind_ == Kind::DoubleByte) {
            Decode(bytes, false, append);
            return;
        }
        std::size_t other = 0;
        while (other < bytes.size() && Byte(bytes[other]) >= 0x80) ++other;
        Decode(bytes.substr(0, other), false, append);
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
    Decode(bytes, true, [&out](char32_t c, std::size_t) {
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

void CodePage::ForEachCharacter(std::string_view text, const std::function<void(char32_t, std::string_view)>& visit) const {
    const char* at = text.data();
    Decode(text, false, [&](char32_t c, std::size_t length) {
        visit(c, std::string_view(at, length));
        at += length;
    });
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

std::vector<const CodePage*> CodePage::All() {
    std::vector<const CodePage*> pages;
    for (const CodePage& page : AllPages()) pages.push_back(&page);
    std::sort(pages.begin(), pages.end(), [](const CodePage* a, const CodePage* b) { return a->Number() < b->Number(); });
    return pages;
}

const CodePage* CodePage::ForLanguageDriver(std::uint8_t driver) {
    struct Entry {
        std::uint8_t Driver;
        int Page;
    };
    // The language driver ids of dBASE, FoxPro and Visual FoxPro.
    static constexpr Entry kDrivers[] = {
        {0x01, 437},   {0x02, 850},   {0x03, 1252},  {0x04, 10000}, {0x08, 865},  {0x09, 437},  {0x0A, 850},
        {0x0B, 437},   {0x0D, 437},   {0x0E, 850},   {0x0F, 437},   {0x10, 850},  {0x11, 437},  {0x12, 850},
        {0x13, 932},   {0x14, 850},   {0x15, 437},   {0x16, 850},   {0x17, 865},  {0x18, 437},  {0x19, 437},
        {0x1A, 850},   {0x1B, 437},   {0x1C, 863},   {0x1D, 850},   {0x1F, 852},  {0x22, 852},  {0x23, 852},
        {0x24, 860},   {0x25, 850},   {0x26, 866},   {0x37, 850},   {0x40, 852},  {0x4D, 936},  {0x4E, 949},
        {0x4F, 950},   {0x50, 874},   {0x57, 1252},  {0x58, 1252},  {0x59, 1252}, {0x64, 852},  {0x65, 866},
        {0x66, 865},   {0x67, 861},   {0x6A, 737},   {0x6B, 857},   {0x6C, 863},  {0x78, 950},  {0x79, 949},
        {0x7A, 936},   {0x7B, 932},   {0x7C, 874},   {0x7D, 1255},  {0x7E, 1256}, {0x86, 737},  {0x87, 852},
        {0x88, 857},   {0x96, 10007}, {0x97, 10029}, {0x98, 10006}, {0xC8, 1250}, {0xC9, 1251}, {0xCA, 1254},
        {0xCB, 1253},  {0xCC, 1257},
    };
    for (const Entry& e : kDrivers) {
        if (e.Driver == driver) return ForNumber(e.Page);
    }
    return nullptr;
}

namespace {

// Other names in use for our pages, upper case without blanks.
struct Alias {
    const char* Name;
    int Page;
};
constexpr Alias kAliases[] = {
    {"UTF8", 65001},       {"LATIN1", 28591},      {"ISO8859-1", 28591}, {"ISO88591", 28591}, {"SJIS", 932},
    {"SHIFT-JIS", 932},    {"MS932", 932},         {"WINDOWS-31J", 932}, {"GB2312", 936},     {"UHC", 949},
    {"KS_C_5601-1987", 949}, {"BIG-5", 950},
};

constexpr const char* kNumberPrefixes[] = {"ANSI", "CP", "WINDOWS-", "IBM", "OEM"};

}  // namespace

const CodePage* CodePage::ForName(std::string_view text) {
    const std::string name = Upper(text);
    std::string digits = name;
    for (const char* prefix : kNumberPrefixes) {
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
    for (const Alias& alias : kAliases) {
        if (alias.Name == name) return ForNumber(alias.Page);
    }
    return nullptr;
}

std::string CodePage::AcceptedNames() {
    std::string numbers, names;
    for (const CodePage& page : AllPages()) {
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(page.Number());
        names += std::string(", ") + page.Name();
    }
    return numbers + " (also as cpN, windows-N or ibmN)" + names;
}

}  // namespace quillet
