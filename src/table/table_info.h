#pragma once

#include <array>
#include <string>

#include "table/open_table.h"

namespace quillet {

// The information box: "File name: ", "Version: ", "Total records: " and "Last Update: "
// (day/month/year without leading zeros), without line ends. The desktop program and the
// command line both show these, so they live here once.
std::array<std::string, 4> InformationLines(const OpenTable& table);

// What a field type holds, in a word or two ("Character", "Memo", "Binary memo", ...), as the
// table's version reads it.
std::string FieldTypeName(const FieldDescriptor& field, std::uint8_t version);

// The four lines as the information box holds them, each ended by CR LF.
std::string InformationText(const OpenTable& table);

}  // namespace quillet
