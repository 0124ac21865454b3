#include "export/excel_text_encoding.h"

namespace quillet {

namespace {

// The Windows code pages a re-encoded table may get, Western first so that it wins a tie.
constexpr int kCandidates[] = {1252, 1250, 1251, 1253, 1254, 1257, 1255, 1256, 1258, 874};

constexpr char kMissing = '?';
constexpr char32_t kUndefined = 0xFFFD;

// The only single bytes beyond ASCII that the double-byte pages share with the readers'
// decoders: the system's converter gives 0x80 a character in 936 and 950, xlrd's does not.
bool IsHalfWidthKatakana(char32_t c) { return c >= 0xFF61 && c <= 0xFF9F; }

char16_t CharacterOf(const CodePage& page, unsigned char byte) {
    const char text = static_cast<char>(byte);
    return page.ToUtf16(std::string_view(&text, 1)).front();
}

// Each character of a single-byte page beyond ASCII mapped back to its byte; 0 where it has none.
std::vector<std::uint8_t> FromUnicode(const CodePage& page) {
    std::vector<std::uint8_t> bytes(0x10000, 0);
    for (int b = 0x80; b < 0x100; ++b) {
        const char16_t c = CharacterOf(page, static_cast<unsigned char>(b));
        if (c != kUndefined && bytes[c] == 0) bytes[c] = static_cast<std::uint8_t>(b);
    }
    return bytes;
}

// Calls visit for each character of valid UTF-8.
template <typename Visit>
void ForEachCodePoint(std::string_view utf8, Visit visit) {
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = b0 < 0x80 ? 1 : b0 < 0xE0 ? 2 : b0 < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? b0 : length == 2 ? b0 & 0x1F : length == 3 ? b0 & 0x0F : b0 & 0x07;
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        visit(c);
        i += length;
    }
}

}  // namespace

ExcelTextEncoding::ExcelTextEncoding(const CodePage& source) : source_(&source) { UseTarget(source); }

bool ExcelTextEncoding::ReadersKnow(const CodePage& page) {
    const int n = page.Number();
    return page.PageKind() == CodePage::Kind::DoubleByte ||
           (page.IsSingleByte() && ((n >= 300 && n <= 1999) || (n >= 10000 && n <= 10081)));
}

void ExcelTextEncoding::CountCharacters(std::string_view tableBytes) {
    utf8_.clear();
    source_->AppendUtf8(utf8_, tableBytes);
    ForEachCodePoint(utf8_, [this](char32_t c) {
        if (c >= 0x80 && c < 0x10000) ++counts_[c];
    });
}

void ExcelTextEncoding::ChooseTarget() {
    const CodePage* best = nullptr;
    std::uint64_t bestHeld = 0;
    for (int number : kCandidates) {
        const CodePage* page = CodePage::ForNumber(number);
        if (page == nullptr) continue;
        const std::vector<std::uint8_t> bytes = FromUnicode(*page);
        std::uint64_t held = 0;
        for (std::size_t c = 0x80; c < counts_.size(); ++c) {
            if (bytes[c] != 0) held += counts_[c];
        }
        if (best == nullptr || held > bestHeld) best = page, bestHeld = held;
    }
    UseTarget(best != nullptr ? *best : CodePage::Default());
}

void ExcelTextEncoding::UseTarget(const CodePage& target) {
    target_ = &target;
    if (!source_->IsSingleByte() && source_ == target_) return;
    if (source_->IsUtf8()) {
        fromUnicode_ = FromUnicode(target);
        return;
    }
    const std::vector<std::uint8_t> bytes = source_ == target_ ? std::vector<std::uint8_t>() : FromUnicode(target);
    for (int b = 0; b < 0x100; ++b) {
        char& to = byteMap_[static_cast<std::size_t>(b)];
        if (b < 0x80) {
            to = static_cast<char>(b);
            continue;
        }
        const char16_t c = CharacterOf(*source_, static_cast<unsigned char>(b));
        if (source_ == target_) {
            to = c == kUndefined ? kMissing : static_cast<char>(b);
        } else {
            to = bytes[c] != 0 ? static_cast<char>(bytes[c]) : kMissing;
        }
    }
}

std::string_view ExcelTextEncoding::EncodeDoubleByte(std::string_view tableBytes) {
    out_.clear();
    source_->ForEachCharacter(tableBytes, [this](char32_t c, std::string_view bytes) {
        if (c == kUndefined || (bytes.size() == 1 && c >= 0x80 && !IsHalfWidthKatakana(c))) {
            out_ += kMissing;
            ++unwritten_;
        } else {
            out_.append(bytes);
        }
    });
    return out_;
}

std::string_view ExcelTextEncoding::Encode(std::string_view tableBytes) {
    std::size_t i = 0;
    while (i < tableBytes.size() && static_cast<unsigned char>(tableBytes[i]) < 0x80) ++i;
    if (i == tableBytes.size()) return tableBytes;
    if (source_->PageKind() == CodePage::Kind::DoubleByte) return EncodeDoubleByte(tableBytes);
    if (source_->IsUtf8()) {
        utf8_.clear();
        source_->AppendUtf8(utf8_, tableBytes);
        out_.clear();
        ForEachCodePoint(utf8_, [this](char32_t c) {
            if (c < 0x80) {
                out_ += static_cast<char>(c);
            } else {
                const std::uint8_t b = c < 0x10000 ? fromUnicode_[c] : 0;
                out_ += b != 0 ? static_cast<char>(b) : kMissing;
                unwritten_ += b == 0;
            }
        });
        return out_;
    }
    out_.assign(tableBytes);
    for (; i < out_.size(); ++i) {
        const char written = byteMap_[static_cast<unsigned char>(out_[i])];
        unwritten_ += written == kMissing && out_[i] != kMissing;
        out_[i] = written;
    }
    return out_;
}

}  // namespace quillet
