#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "table/code_page.h"

namespace quillet {

// How a table's text bytes become the text of worksheet cells, and which code page the sheet's
// CODEPAGE record names. Worksheet readers know the DOS, Windows and Mac code pages and the
// double-byte pages 932, 936, 949 and 950: a table in one of those keeps its bytes. A table in
// UTF-8, ISO 8859 or KOI8-R is re-encoded into the Windows code page that holds most of the
// characters its written texts use; a character that page lacks becomes "?". Either way a byte
// the code page leaves undefined becomes "?", since readers refuse to decode it, and a
// character cut by the end of its field is left out. Unwritten() counts the "?" written.
class ExcelTextEncoding {
public:
    // For a table whose code page readers know.
    explicit ExcelTextEncoding(const CodePage& source);
    // For a re-encoded table: texts are the texts that will be written, counted to pick the page.
    template <typename ForEachText>
    ExcelTextEncoding(const CodePage& source, ForEachText&& forEachText);

    static bool ReadersKnow(const CodePage& page);

    int SheetCodePage() const { return target_->Number(); }
    // The characters written "?" so far, since the sheet's page has no place for them.
    std::int64_t Unwritten() const { return unwritten_; }

    // The bytes to write for a text of the table; valid until the next call.
    std::string_view Encode(std::string_view tableBytes);

private:
    void CountCharacters(std::string_view tableBytes);
    void UseTarget(const CodePage& target);
    void ChooseTarget();
    std::string_view EncodeDoubleByte(std::string_view tableBytes);

    const CodePage* source_;
    const CodePage* target_ = nullptr;
    // A single-byte source's byte as the sheet writes it.
    std::array<char, 256> byteMap_{};
    // A UTF-8 source's character below U+10000 as the sheet writes it; 0 where the page lacks it.
    std::vector<std::uint8_t> fromUnicode_;
    // How often each character beyond ASCII occurs in the texts, while choosing the page.
    std::vector<std::uint32_t> counts_;
    std::string utf8_;
    std::string out_;
    std::int64_t unwritten_ = 0;
};

template <typename ForEachText>
ExcelTextEncoding::ExcelTextEncoding(const CodePage& source, ForEachText&& forEachText) : source_(&source) {
    counts_.assign(0x10000, 0);
    forEachText([this](std::string_view text) { CountCharacters(text); });
    ChooseTarget();
    counts_ = {};
}

}  // namespace quillet
