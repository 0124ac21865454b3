#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// A table's text encoding. Table bytes are kept as stored; a CodePage turns them into
// Unicode only where text must leave the byte world (the list on screen, XML, SQL).
// Single-byte pages map each byte to one character; UTF-8 tables (declared by a .cpg file)
// are decoded as UTF-8, invalid sequences byte by byte as Windows-1252.
class CodePage {
public:
    int Number() const { return number_; }
    const char* Name() const { return name_; }
    bool IsUtf8() const { return unicode_ == nullptr; }

    void AppendUtf8(std::string& out, std::string_view bytes) const;
    // The bytes as UTF-8: the bytes themselves when they are all ASCII (which every page keeps
    // as it is), else their conversion, written over scratch.
    std::string_view AsUtf8(std::string_view bytes, std::string& scratch) const;
    std::string ToUtf8(std::string_view bytes) const;
    std::u16string ToUtf16(std::string_view bytes) const;

    // Windows-1252, the code page of tables that declare none.
    static const CodePage& Default();
    // A code page by its Windows number (65001 for UTF-8); nullptr when we carry no table for it.
    static const CodePage* ForNumber(int number);
    // The code page a header's language driver byte names; nullptr for 0 or an unknown byte.
    static const CodePage* ForLanguageDriver(std::uint8_t driver);
    // The code page a .cpg file names ("UTF-8", "1252", "ANSI 1250", "ISO-8859-1", ...).
    static const CodePage* ForCpgText(std::string_view text);

    CodePage(int number, const char* name, const char16_t* unicode) : number_(number), name_(name), unicode_(unicode) {}

private:
    int number_;
    const char* name_;
    const char16_t* unicode_;
};

void AppendUtf8CodePoint(std::string& out, char32_t codePoint);

}  // namespace quillet
