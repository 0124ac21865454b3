#pragma once

#include <array>
#include <string>

#include "table/open_table.h"

namespace quillet {

// The information box: "File name: ", "Version: ", "Total records: " and "Last Update: "
// (day/month/year without leading zeros), without line ends. The desktop program and the
// command line both show these, so they live here once.
std::array<std::string, 4> InformationLines(const OpenTable& table);

// The four lines as the information box holds them, each ended by CR LF.
std::string InformationText(const OpenTable& table);

}  // namespace quillet
