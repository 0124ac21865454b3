#pragma once

#include <QString>
#include <string_view>

#include "table/code_page.h"

namespace quillet {

// Table bytes as text on screen, read through the table's code page.
inline QString Decoded(const CodePage& page, std::string_view bytes) {
    return QString::fromStdU16String(page.ToUtf16(bytes));
}

}  // namespace quillet
