#include "table/double_byte_page.h"

#include <iconv.h>

#include <cerrno>

namespace quillet {

namespace {

class Converter {
public:
    explicit Converter(const char* name) : cd_(::iconv_open("UTF-16LE", name)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (Works()) ::iconv_close(cd_);
    }

    bool Works() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The one character the bytes make as a whole; kLead when they are the start of one,
    // kUndefined when they are not one character.
    char16_t CharacterOf(const char* bytes, std::size_t length) {
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(bytes);
        std::size_t inLeft = length;
        unsigned char out[8];
        char* outAt = reinterpret_cast<char*>(out);
        std::size_t outLeft = sizeof out;
        const std::size_t done = ::iconv(cd_, &in, &inLeft, &outAt, &outLeft);
        if (done == static_cast<std::size_t>(-1)) return errno == EINVAL ? DoubleBytePage::kLead : DoubleBytePage::kUndefined;
        // Exactly one UTF-16 unit: these pages hold no character beyond U+FFFF.
        if (sizeof out - outLeft != 2) return DoubleBytePage::kUndefined;
        const auto c = static_cast<char16_t>(out[0] | (out[1] << 8));
        return c == DoubleBytePage::kLead ? DoubleBytePage::kUndefined : c;
    }

private:
    iconv_t cd_;
};

}  // namespace

DoubleBytePage::DoubleBytePage(const char* iconvName) : pairs_((256 - kFirstLead) * 256, kUndefined) {
    Converter converter(iconvName);
    for (unsigned b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        if (!converter.Works()) {
            single_[b] = b < 0x80 ? static_cast<char16_t>(b) : kUndefined;
            continue;
        }
        single_[b] = converter.CharacterOf(&byte, 1);
        if (single_[b] != kLead) continue;
        if (b < kFirstLead) {
            single_[b] = kUndefined;
            continue;
        }
        for (unsigned t = 0; t < 256; ++t) {
            const char pair[2] = {byte, static_cast<char>(t)};
            const char16_t c = converter.CharacterOf(pair, 2);
            pairs_[(b - kFirstLead) * 256 + t] = c == kLead ? kUndefined : c;
        }
    }
}

}  // namespace quillet
