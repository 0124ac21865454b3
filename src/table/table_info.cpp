#include "table/table_info.h"

namespace quillet {

std::array<std::string, 4> InformationLines(const OpenTable& table) {
    const LastUpdateDate& date = table.LastUpdate;
    return {
        "File name: " + table.SourcePath,
        "Version: " + table.VersionText,
        "Total records: " + std::to_string(table.RecordCount()),
        "Last Update: " + std::to_string(date.Day) + "/" + std::to_string(date.Month) + "/" + std::to_string(date.Year),
    };
}

std::string InformationText(const OpenTable& table) {
    std::string text;
    for (const std::string& line : InformationLines(table)) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace quillet
