#include "table/code_page.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "table/code_page_tables.h"

using namespace quillet;

namespace {

// UTF-8 by way of the character-by-character decoding that ToUtf16 does.
std::string Reference(const CodePage& page, const std::string& bytes) {
    const std::u16string units = page.ToUtf16(bytes);
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        AppendUtf8CodePoint(out, c);
    }
    return out;
}

}  // namespace

// AppendUtf8 copies runs of ASCII as they are, which holds only while every page keeps them.
TEST(CodePage, EveryPageKeepsAsciiAsItIs) {
    for (std::size_t i = 0; i < kCodePageTableCount; ++i) {
        for (char16_t b = 0; b < 0x80; ++b) ASSERT_EQ(kCodePageTables[i].Unicode[b], b) << kCodePageTables[i].Number;
    }
}

TEST(CodePage, Utf8OfAsciiRunsAndOtherBytesMatchesTheDecodingCharacterByCharacter) {
    std::mt19937 random(5);
    // ASCII, Latin-1 and Cyrillic letters in UTF-8, a four-byte character, stray and cut sequences.
    const std::string pieces[] = {"plain ascii text", "a",    " ",    "\xC3\xA9", "\xD0\x96", "\xF0\x9F\x98\x80",
                                  "\xE2\x82",         "\x80", "\xFF", "\xC3",     "12345678", "\x9D"};
    for (const int number : {1252, 437, 866, 1251, 65001, 932}) {
        const CodePage& page = *CodePage::ForNumber(number);
        for (int i = 0; i < 20000; ++i) {
            std::string bytes;
            for (auto n = random() % 12; n > 0; --n) bytes += pieces[random() % std::size(pieces)];
            bytes += '.';  // not a whole field: the screen's decoding of a cut character stays out
            std::string out = "kept|";
            page.AppendUtf8(out, bytes);
            ASSERT_EQ(out, "kept|" + Reference(page, bytes)) << number << " " << ::testing::PrintToString(bytes);
            std::string scratch = "earlier";
            ASSERT_EQ(page.AsUtf8(bytes, scratch), out.substr(5));
        }
    }
}
