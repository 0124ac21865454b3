#include <gtest/gtest.h>

#include <random>
#include <string>

#include "export/byte_scan.h"
#include "export/xml_text.h"

using namespace quillet;

namespace {

// Texts of every length up to a few words, mostly plain letters, with the bytes the scans look
// for (and their neighbours in value) scattered at every position.
std::string RandomText(std::mt19937& random) {
    const char rare[] = {'&', '<', '>', '"', '\r', '\n', '\t', '\0', '\x1F', ' ', '\x7F', '\x80',
                         '\xEF', '\xBF', '\xBE', '\xFF', '\\', '{', '}', '%', '=', '?', '\x01', '\x21'};
    std::string text;
    for (auto n = random() % 40; n > 0; --n) {
        text += random() % 6 == 0 ? rare[random() % std::size(rare)] : static_cast<char>('a' + random() % 26);
    }
    return text;
}

std::string XmlEscaped(const std::string& text, bool attribute) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '\r') out += "&#13;";
        else if (attribute && c == '"') out += "&quot;";
        else if (attribute && c == '\t') out += "&#9;";
        else if (attribute && c == '\n') out += "&#10;";
        else out += c;
    }
    return out;
}

std::string WithoutForbidden(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') continue;
        if (text.compare(i, 3, "\xEF\xBF\xBE") == 0 || text.compare(i, 3, "\xEF\xBF\xBF") == 0) {
            i += 2;
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace

TEST(ByteScan, FindsTheFirstSpecialByteAtEveryPosition) {
    std::mt19937 random(3);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = RandomText(random);
        const std::size_t any = text.find_first_of(std::string_view("&<>\"", 4));
        ASSERT_EQ((FindAny<'&', '<', '>', '"'>(text)), any == std::string::npos ? text.size() : any) << text;
        const std::size_t nul = text.find('\0');
        ASSERT_EQ(FindAny<'\0'>(text), nul == std::string::npos ? text.size() : nul);

        std::size_t below = 0;
        while (below < text.size() && static_cast<unsigned char>(text[below]) >= 0x20) ++below;
        ASSERT_EQ(FindFirst(
                      text, [](std::uint64_t word) { return BytesBelow(word, 0x20) != 0; },
                      [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
                  below);
    }
}

TEST(ByteScan, XmlEscapingAndForbiddenCharactersMatchTheCharacterByCharacterRule) {
    std::mt19937 random(4);
    for (int i = 0; i < 200000; ++i) {
        const std::string text = RandomText(random);
        std::string content = "kept";
        AppendXmlContent(content, text);
        ASSERT_EQ(content, "kept" + XmlEscaped(text, false)) << ::testing::PrintToString(text);
        std::string attribute = "kept";
        AppendXmlAttribute(attribute, text);
        ASSERT_EQ(attribute, "kept" + XmlEscaped(text, true)) << ::testing::PrintToString(text);
        std::string dropped = text;
        DropXmlForbidden(dropped);
        ASSERT_EQ(dropped, WithoutForbidden(text)) << ::testing::PrintToString(text);
    }
}
