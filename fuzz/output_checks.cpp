#include "fuzz/output_checks.h"

#include <libxml/parser.h>
#include <sqlite3.h>

#include <algorithm>
#include <string_view>

namespace quillet::fuzzing {

namespace {

std::size_t Elements(xmlNodePtr node, xmlNodePtr* last = nullptr) {
    std::size_t count = 0;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && ++count && last != nullptr) *last = child;
    }
    return count;
}

void IgnoreXmlError(void*, const char*, ...) {}

// Root holds Structure and Records; every record one element per selected column.
void CheckXml(const std::string& bytes, const ExpectedShape& shape) {
    static const bool quiet = (xmlSetGenericErrorFunc(nullptr, IgnoreXmlError), true);
    (void)quiet;
    xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "export.xml", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
    Require(doc != nullptr, "XML that libxml2 cannot parse");
    xmlNodePtr records = nullptr;
    Require(Elements(xmlDocGetRootElement(doc), &records) == 2, "XML root without Structure and Records");
    Require(Elements(records) == static_cast<std::size_t>(shape.Records), "XML record count");
    for (xmlNodePtr record = records->children; record != nullptr; record = record->next) {
        Require(record->type != XML_ELEMENT_NODE || Elements(record) == shape.Columns, "XML cells per record");
    }
    xmlFreeDoc(doc);
}

// The SQL script runs in SQLite and the database file opens there as it is; either gives one
// table of the selected columns and written records.
void CheckDatabase(const std::string& bytes, const ExpectedShape& shape, bool script) {
    const char* what = script ? "SQL" : "SQLite database";
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    if (script) {
        Require(bytes.find('\0') == std::string::npos, "a NUL in the SQL script");
        char* error = nullptr;
        Require(sqlite3_exec(db, bytes.c_str(), nullptr, nullptr, &error) == SQLITE_OK, "SQL that SQLite refuses:", error ? error : "");
    } else {
        auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), copy);
        Require(sqlite3_deserialize(db, "main", copy, static_cast<sqlite3_int64>(bytes.size()), static_cast<sqlite3_int64>(bytes.size()),
                                    SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) == SQLITE_OK,
                "a database SQLite cannot load");
    }
    std::string count;
    const auto first = [](void* out, int, char** values, char**) { *static_cast<std::string*>(out) = values[0]; return 0; };
    Require(sqlite3_exec(db, "select name from sqlite_master where type = 'table'", first, &count, nullptr) == SQLITE_OK,
            "a database without a table:", what);
    std::string name = "\"";
    for (char c : count) name += c == '"' ? "\"\"" : std::string(1, c);
    sqlite3_exec(db, ("select count(*) from " + name + "\"").c_str(), first, &count, nullptr);
    Require(count == std::to_string(shape.Records), "row count of the", std::string(what) + ": " + count);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db, ("select * from " + name + "\"").c_str(), -1, &rows, nullptr);
    Require(static_cast<std::size_t>(sqlite3_column_count(rows)) == shape.Columns, "column count of the", what);
    sqlite3_finalize(rows);
    sqlite3_close(db);
}

// RFC 4180: every item quoted, "," between items, CR LF after each row.
void CheckQuotedCsv(std::string_view bytes, const ExpectedShape& shape, bool header) {
    const std::size_t items = shape.Columns == 0 ? 0 : shape.Columns + shape.LastColumnSkipped;
    std::int64_t rows = 0;
    for (; !bytes.empty(); ++rows) {
        // A delimiter always has an item after it: the empty one a skipped last column leaves.
        // A record of no selected column is an empty row.
        std::size_t fields = 0;
        for (bool more = !bytes.starts_with("\r\n"); more;) {
            if (bytes.starts_with('"')) {
                do {
                    const std::size_t quote = bytes.find('"', 1);
                    Require(quote != std::string_view::npos, "CSV item without its closing quote");
                    bytes.remove_prefix(quote + 1);
                } while (bytes.starts_with('"'));
            }
            ++fields;
            more = bytes.starts_with(',');
            if (more) bytes.remove_prefix(1);
        }
        Require(bytes.starts_with("\r\n") && fields == items, "CSV row", std::to_string(fields) + " of " + std::to_string(items));
        bytes.remove_prefix(2);
    }
    Require(rows == shape.Records + header, "CSV row count");
}

}  // namespace

void CheckExport(OutputFormat format, const std::string& bytes, const ExpectedShape& shape, const ExportSettings& settings) {
    std::int64_t depth = 0, rows = 0;
    std::size_t at = 0;
    switch (format) {
    case OutputFormat::Text:
    case OutputFormat::CSV:
        if (settings.Delimited.QuoteItems && settings.Delimited.Delimiter == "," && settings.Delimited.RowEnd == LineEnd::CRLF) {
            CheckQuotedCsv(bytes, shape, settings.Delimited.IncludeHeader);
        }
        return;
    case OutputFormat::HTML:  // the page's own title row, the header, a row per record
        for (; (at = bytes.find("<TR>", at)) != std::string::npos; at += 4) ++rows;
        return Require(rows == 1 + shape.Records + settings.Html.IncludeHeader, "HTML row count");
    case OutputFormat::RTF:
        for (; at < bytes.size(); ++at) {
            if (bytes[at] == '\\') {
                ++at;  // an escaped character, a brace among them, is text
                continue;
            }
            depth += bytes[at] == '{' ? 1 : bytes[at] == '}' ? -1 : 0;
            Require(depth >= 0, "RTF group closed that was not open");
        }
        return Require(depth == 0, "RTF groups left open");
    case OutputFormat::XML: return CheckXml(bytes, shape);
    case OutputFormat::Excel:  // a chain of records from BOF to EOF
        for (; at + 4 <= bytes.size(); at += 4 + (static_cast<unsigned char>(bytes[at + 2]) | static_cast<unsigned char>(bytes[at + 3]) << 8)) {
            rows = static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
            Require(at > 0 || rows == 0x0009, "worksheet without BOF first");
        }
        return Require(at == bytes.size() && rows == 0x000A, "worksheet record chain or EOF");
    case OutputFormat::SQL: return CheckDatabase(bytes, shape, true);
    case OutputFormat::Xlsx:  // a zip archive: a local file header first, the end of the directory last
        return Require(bytes.starts_with("PK\x03\x04") && bytes.size() >= 22 && bytes.compare(bytes.size() - 22, 4, "PK\x05\x06") == 0,
                       "workbook that is not a whole zip archive");
    case OutputFormat::Sqlite: return CheckDatabase(bytes, shape, false);
    }
}

}  // namespace quillet::fuzzing
