#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

class DoubleBytePage;

// A table's text encoding. Table bytes are kept as stored; a CodePage turns them into
// Unicode only where text must leave the byte world (the list on screen, XML, SQL, ...).
// Single-byte pages map each byte to one character (U+FFFD where the page leaves the byte
// undefined); double-byte pages (932, 936, 949, 950) take their characters from the system's
// converter; UTF-8 tables are decoded as UTF-8, invalid sequences byte by byte as Windows-1252.
//
// A field is cut by bytes, so its last character may have lost its last bytes. Outputs leave
// such a piece out (WholeLength says where the whole characters end); ToUtf16, the decoding
// of a whole field for the screen, shows it as U+FFFD. Elsewhere a byte or pair that is no
// character is U+FFFD (in UTF-8 text: the byte read as Windows-1252).
class CodePage {
public:
    enum class Kind : std::uint8_t { SingleByte, DoubleByte, Utf8 };

    // A single-byte page from its table of 256 characters.
    CodePage(int number, const char* name, const char16_t* unicode);
    // A double-byte page through the system converter's name for it, or UTF-8 (iconvName null).
    CodePage(int number, const char* name, Kind kind, const char* iconvName);
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;
    ~CodePage();

    int Number() const { return number_; }
    const char* Name() const { return name_; }
    Kind PageKind() const { return kind_; }
    bool IsUtf8() const { return kind_ == Kind::Utf8; }
    bool IsSingleByte() const { return kind_ == Kind::SingleByte; }

    // How many bytes at the start of bytes hold whole characters: all of them, unless the last
    // character was cut by the end of its field.
    std::size_t WholeLength(std::string_view bytes) const {
        return kind_ == Kind::SingleByte ? bytes.size() : MultiByteWholeLength(bytes);
    }

    // Calls visit(character, bytes) for each character of text in turn, with the bytes that
    // make it.
    void ForEachCharacter(std::string_view text, const std::function<void(char32_t, std::string_view)>& visit) const;

    void AppendUtf8(std::string& out, std::string_view bytes) const;
    // The bytes as UTF-8: the bytes themselves when they are all ASCII (which every page keeps
    // as it is), else their conversion, written over scratch.
    std::string_view AsUtf8(std::string_view bytes, std::string& scratch) const;
    std::string ToUtf8(std::string_view bytes) const;
    std::u16string ToUtf16(std::string_view bytes) const;

    // Windows-1252, the code page of tables that declare none.
    static const CodePage& Default();
    // A code page by its Windows number (65001 for UTF-8); nullptr when we know no such page.
    static const CodePage* ForNumber(int number);
    // Every page we know, by number: what a user may choose from.
    static std::vector<const CodePage*> All();
    // The code page a header's language driver byte names; nullptr for 0 or an unknown byte.
    static const CodePage* ForLanguageDriver(std::uint8_t driver);
    // A code page by a name people and .cpg files give it, case ignored: "UTF-8", "1252",
    // "ANSI 1250", "cp866", "windows-1251", "IBM437", "ISO-8859-1", "Big5", "Shift_JIS", ...
    static const CodePage* ForName(std::string_view text);
    // The names ForName takes, for a message: every number and name, and the prefixes.
    static std::string AcceptedNames();

private:
    template <typename Emit>
    void Decode(std::string_view bytes, bool showCutPiece, Emit&& emit) const;
    std::size_t MultiByteWholeLength(std::string_view bytes) const;
    const DoubleBytePage& Pairs() const;

    int number_;
    const char* name_;
    Kind kind_;
    const char16_t* unicode_ = nullptr;
    const char* iconvName_ = nullptr;
    mutable std::once_flag pairsBuilt_;
    mutable std::unique_ptr<DoubleBytePage> pairs_;
};

void AppendUtf8CodePoint(std::string& out, char32_t codePoint);

}  // namespace quillet
