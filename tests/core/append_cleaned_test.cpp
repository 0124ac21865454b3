#include <gtest/gtest.h>

#include <random>
#include <string>

#include "export/export_frame.h"

using namespace quillet;

namespace {

// The rule as stated: NULs out, then CRs out, then leading and trailing spaces off.
std::string Reference(const std::string& text, CleanRule rule) {
    std::string kept;
    for (char c : text) {
        if ((c == '\0' && rule.RemoveNul) || (c == '\r' && rule.RemoveCr)) continue;
        kept += c;
    }
    const auto first = kept.find_first_not_of(' ');
    return first == std::string::npos ? "" : kept.substr(first, kept.find_last_not_of(' ') - first + 1);
}

}  // namespace

TEST(CleanCellText, EveryMixOfSpacesNulsAndCarriageReturnsFollowsTheRule) {
    std::mt19937 random(11);
    const char alphabet[] = {' ', ' ', ' ', ' ', ' ', ' ', '\0', '\r', 'a', '\n', '\x8D', '\x0C'};
    for (int i = 0; i < 100000; ++i) {
        std::string text;
        for (auto n = random() % 41; n > 0; --n) text += alphabet[random() % sizeof alphabet];
        if (random() % 2) text += std::string(random() % 21, ' ');  // padding as text fields have it
        for (const CleanRule rule : {CleanRule{true, true}, CleanRule{false, true}, CleanRule{true, false}}) {
            std::string out = "earlier content";
            CleanCellText(out, CellValue::OfText(text), '.', rule);
            ASSERT_EQ(out, Reference(text, rule)) << testing::PrintToString(text);
        }
    }
}
