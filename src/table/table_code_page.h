#pragma once

#include <cstdint>
#include <string>

namespace quillet {

class CodePage;
struct OpenTable;

// Where a table's code page came from, for the information to show.
enum class CodePageSource : std::uint8_t { Default, HeaderByte, CpgFile, UserChoice };

// Gives table the code page its file declares: a .cpg file beside path (when path is not
// empty), else the header's language driver byte, else Windows-1252.
void UseDeclaredCodePage(OpenTable& table, const std::string& path);

// The user's choice; it holds for this table, whose bytes stay as they are.
void UseChosenCodePage(OpenTable& table, const CodePage& page);

// "Code page: 866 (IBM866), from the header byte 0x65", and so on for each source.
std::string CodePageLine(const OpenTable& table);

}  // namespace quillet
