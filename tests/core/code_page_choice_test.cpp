#include <gtest/gtest.h>

#include <string>

#include "table/code_page.h"

using namespace quillet;

// The screen shows a character cut by its field's end as U+FFFD; bytes a page leaves
// undefined, and pairs that are no character, are U+FFFD too.
TEST(CodePageChoice, TheScreenShowsCutAndUndefinedPiecesAsReplacementCharacters) {
    const struct {
        int Page;
        std::string Bytes;
        std::u16string Screen;
        std::size_t WholeLength;
    } cases[] = {
        {932, "\x93\xfa\x96\x7b\x8c", u"日本\uFFFD", 4},
        {932, "\x95\x5c\x83\x5c", u"表ソ", 4},
        {950, "\xa4\xa4\xa4", u"中\uFFFD", 2},
        {936, "\x81\x20\xb1\xb1", u"\uFFFD 北", 4},
        {949, "\xc7\xd1", u"한", 2},
        {65001, "ab\xe6\x97", u"ab\uFFFD", 2},
        {65001, "\xe9 ", u"é ", 2},
        {1253, "\xc1\xaa", u"Α\uFFFD", 2},
        {874, "\xa1\xfc", u"ก\uFFFD", 2},
    };
    for (const auto& c : cases) {
        const CodePage& page = *CodePage::ForNumber(c.Page);
        EXPECT_EQ(page.ToUtf16(c.Bytes), c.Screen) << c.Page;
        EXPECT_EQ(page.WholeLength(c.Bytes), c.WholeLength) << c.Page;
    }
}

TEST(CodePageChoice, NamesAndLanguageDriversFindTheirPages) {
    const std::pair<const char*, int> names[] = {
        {"cp866", 866},  {"866", 866},      {"Windows-1251", 1251}, {"utf-8", 65001}, {"UTF8", 65001},
        {"BIG5", 950},   {"shift_jis", 932}, {"ANSI 1250", 1250},   {"koi8-r", 20866}, {"GB2312", 936},
        {"ibm437", 437}, {"latin1", 28591}, {"klingon", 0},        {"1", 0},
    };
    for (const auto& [name, number] : names) {
        const CodePage* page = CodePage::ForName(name);
        EXPECT_EQ(page == nullptr ? 0 : page->Number(), number) << name;
    }
    const std::pair<int, int> drivers[] = {{0x13, 932}, {0x4D, 936}, {0x4E, 949}, {0x4F, 950}, {0x78, 950},
                                           {0x79, 949}, {0x7A, 936}, {0x7B, 932}, {0x26, 866}, {0x00, 0}};
    for (const auto& [driver, number] : drivers) {
        const CodePage* page = CodePage::ForLanguageDriver(static_cast<std::uint8_t>(driver));
        EXPECT_EQ(page == nullptr ? 0 : page->Number(), number) << driver;
    }
}
