#pragma once

#include <cstddef>

namespace quillet {

struct CodePageTable {
    int Number;
    const char* Name;
    const char16_t* Unicode;  // 256 entries, one per byte
};

extern const CodePageTable kCodePageTables[];
extern const std::size_t kCodePageTableCount;

}  // namespace quillet
