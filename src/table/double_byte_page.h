#pragma once

#include <array>
#include <vector>

namespace quillet {

// The characters of a double-byte code page (932, 936, 949, 950) as the system's converter
// (iconv) has them, asked once for every byte and every pair of bytes. Looking them up
// afterwards is quick and needs no converter state, so any thread may decode.
class DoubleBytePage {
public:
    // A byte that starts a pair.
    static constexpr char16_t kLead = 0xFFFF;
    static constexpr char16_t kUndefined = 0xFFFD;

    // Without a converter of that name on the system, every byte beyond ASCII is undefined.
    explicit DoubleBytePage(const char* iconvName);

    // The character of a byte alone, kLead, or kUndefined.
    char16_t Single(unsigned char byte) const { return single_[byte]; }
    // The character of a lead byte and the byte after it; kUndefined when the pair is none.
    char16_t Pair(unsigned char lead, unsigned char trail) const {
        return pairs_[static_cast<std::size_t>(lead - kFirstLead) * 256 + trail];
    }

private:
    // Every lead byte of these pages lies above ASCII.
    static constexpr unsigned kFirstLead = 0x80;

    std::array<char16_t, 256> single_{};
    std::vector<char16_t> pairs_;
};

}  // namespace quillet
