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

std::string FieldTypeName(const FieldDescriptor& field, std::uint8_t version) {
    const bool visualFoxPro = version == 0x30 || version == 0x31 || version == 0x32;
    switch (field.Type) {
    case 'C': return "Character";
    case 'D': return "Date";
    case 'N': return "Numeric";
    case 'F': return "Float";
    case 'L': return "Logical";
    case 'I': return "Integer";
    case '+': return "Autoincrement";
    case 'O': return "Double";
    case 'Y': return "Currency";
    case 'T': return "DateTime";
    case '@': return "Timestamp";
    case 'M': return "Memo";
    case 'B': return visualFoxPro && field.Length == 8 ? "Double" : "Binary memo";
    case 'G': return "General memo";
    case 'P': return "Picture memo";
    case 'W': return "Blob memo";
    case 'V': return "Varchar";
    case 'Q': return "Varbinary";
    case '0': return "Null flags";
    default: return "Unknown";
    }
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
