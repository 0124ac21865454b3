#include "table/table_code_page.h"

#include <sys/stat.h>

#include <cstdio>

#include "table/open_table.h"

namespace quillet {

namespace {

// The page a .cpg file beside the table names; nullptr without one or with one we cannot read.
const CodePage* CodePageFromCpg(const std::string& path) {
    const auto dot = path.find_last_of('.');
    const auto slash = path.find_last_of('/');
    const std::string stem = (dot == std::string::npos || (slash != std::string::npos && dot < slash)) ? path : path.substr(0, dot);
    for (const char* extension : {".cpg", ".CPG", ".Cpg"}) {
        // Only a plain file: opening a named pipe would wait for a writer.
        struct stat info {};
        if (::stat((stem + extension).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        std::FILE* file = std::fopen((stem + extension).c_str(), "rb");
        if (file == nullptr) continue;
        char text[64];
        const std::size_t got = std::fread(text, 1, sizeof(text), file);
        std::fclose(file);
        if (got < sizeof(text)) return CodePage::ForName(std::string_view(text, got));
        return nullptr;
    }
    return nullptr;
}

}  // namespace

void UseDeclaredCodePage(OpenTable& table, const std::string& path) {
    if (const CodePage* page = path.empty() ? nullptr : CodePageFromCpg(path)) {
        table.TableCodePage = page;
        table.TableCodePageSource = CodePageSource::CpgFile;
    } else if (const CodePage* byHeader = CodePage::ForLanguageDriver(table.Header.Reserved[17])) {
        table.TableCodePage = byHeader;
        table.TableCodePageSource = CodePageSource::HeaderByte;
    } else {
        table.TableCodePage = &CodePage::Default();
        table.TableCodePageSource = CodePageSource::Default;
    }
}

void UseChosenCodePage(OpenTable& table, const CodePage& page) {
    table.TableCodePage = &page;
    table.TableCodePageSource = CodePageSource::UserChoice;
}

std::string CodePageLine(const OpenTable& table) {
    const CodePage& page = *table.TableCodePage;
    std::string line = "Code page: " + std::to_string(page.Number()) + " (" + page.Name() + "), ";
    switch (table.TableCodePageSource) {
    case CodePageSource::Default: return line + "the default";
    case CodePageSource::CpgFile: return line + "from the .cpg file";
    case CodePageSource::UserChoice: return line + "chosen by the user";
    case CodePageSource::HeaderByte: break;
    }
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", table.Header.Reserved[17]);
    return line + "from the header byte " + byte;
}

}  // namespace quillet
