#include "export/export_settings.h"

namespace quillet {

const char* ExtensionOf(OutputFormat format) {
    switch (format) {
    case OutputFormat::Text: return ".txt";
    case OutputFormat::CSV: return ".csv";
    case OutputFormat::HTML: return ".htm";
    case OutputFormat::RTF: return ".rtf";
    case OutputFormat::XML: return ".xml";
    case OutputFormat::Excel: return ".xls";
    case OutputFormat::SQL: return ".sql";
    case OutputFormat::Xlsx: return ".xlsx";
    case OutputFormat::Sqlite: return ".sqlite";
    }
    return "";
}

const char* LineEndText(LineEnd end) {
    return end == LineEnd::CRLF ? "\r\n" : "\n";
}

}  // namespace quillet
