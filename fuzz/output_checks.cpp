#include "fuzz/output_checks.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <sqlite3.h>

#include <cstring>
#include <string_view>

#include "fuzz/require.h"

namespace quillet::fuzzing {

namespace {

void Silent(void*, const char*, ...) {}

std::size_t ElementChildren(xmlNodePtr node, const char* name, xmlNodePtr* first = nullptr) {
    std::size_t count = 0;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (name != nullptr && std::strcmp(reinterpret_cast<const char*>(child->name), name) != 0) continue;
        if (count++ == 0 && first != nullptr) *first = child;
    }
    return count;
}

void CheckXml(const std::string& bytes, const ExpectedShape& shape) {
    static const bool quiet = [] {
        xmlSetGenericErrorFunc(nullptr, Silent);
        return true;
    }();
    (void)quiet;
    xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "export.xml", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE);
    Require(doc != nullptr, "XML that libxml2 cannot parse");
    xmlNodePtr root = xmlDocGetRootElement(doc);
    xmlNodePtr records = nullptr;
    Require(root != nullptr && ElementChildren(root, "Records", &records) == 1, "XML without one Records element");
    const std::size_t count = ElementChildren(records, nullptr);
    Require(count == static_cast<std::size_t>(shape.Records), "XML record count",
            std::to_string(count) + " of " + std::to_string(shape.Records));
    for (xmlNodePtr record = records->children; record != nullptr; record = record->next) {
        if (record->type != XML_ELEMENT_NODE) continue;
        Require(ElementChildren(record, nullptr) == shape.Columns, "XML cells per record");
    }
    xmlFreeDoc(doc);
}

void CheckSql(const std::string& bytes, const ExpectedShape& shape) {
    Require(bytes.find('\0') == std::string::npos, "a NUL in the SQL script");
    sqlite3* db = nullptr;
    Require(sqlite3_open(":memory:", &db) == SQLITE_OK, "an SQLite database");
    char* error = nullptr;
    if (sqlite3_exec(db, bytes.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        Require(false, "SQL that SQLite refuses:", error != nullptr ? error : "");
    }
    sqlite3_stmt* names = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &names, nullptr);
    Require(sqlite3_step(names) == SQLITE_ROW, "SQL without a table");
    std::string select = "SELECT * FROM \"";
    for (const char* p = reinterpret_cast<const char*>(sqlite3_column_text(names, 0)); *p != '\0'; ++p) {
        select += *p;
        if (*p == '"') select += '"';
    }
    select += '"';
    Require(sqlite3_step(names) == SQLITE_DONE, "SQL with more than one table");
    sqlite3_finalize(names);

    sqlite3_stmt* rows = nullptr;
    Require(sqlite3_prepare_v2(db, select.c_str(), -1, &rows, nullptr) == SQLITE_OK, "the SQL table cannot be read");
    Require(static_cast<std::size_t>(sqlite3_column_count(rows)) == shape.Columns, "SQL column count");
    std::int64_t count = 0;
    while (sqlite3_step(rows) == SQLITE_ROW) ++count;
    Require(count == shape.Records, "SQL row count", std::to_string(count) + " of " + std::to_string(shape.Records));
    sqlite3_finalize(rows);
    sqlite3_close(db);
}

// Every item quoted, "," between items, CR LF after each row.
void CheckQuotedCsv(std::string_view bytes, const ExpectedShape& shape, bool header) {
    const std::size_t fieldsPerRow = shape.Columns == 0 ? 0 : shape.Columns + (shape.LastColumnSkipped ? 1 : 0);
    std::int64_t rows = 0;
    auto rowEnd = [&] { return bytes.starts_with("\r\n"); };
    while (!bytes.empty()) {
        std::size_t fields = 0;
        if (!rowEnd()) {
            for (;;) {
                if (bytes.starts_with('"')) {
                    bytes.remove_prefix(1);
                    for (;;) {
                        const std::size_t quote = bytes.find('"');
                        Require(quote != std::string_view::npos, "CSV item without its closing quote");
                        bytes.remove_prefix(quote + 1);
                        if (!bytes.starts_with('"')) break;
                        bytes.remove_prefix(1);
                    }
                }
                ++fields;
                if (!bytes.starts_with(',')) break;
                bytes.remove_prefix(1);
            }
        }
        Require(rowEnd(), "CSV row not ended by CR LF after its last item");
        bytes.remove_prefix(2);
        Require(fields == fieldsPerRow, "CSV items per row", std::to_string(fields) + " of " + std::to_string(fieldsPerRow));
        ++rows;
    }
    Require(rows == shape.Records + (header ? 1 : 0), "CSV row count");
}

void CheckHtml(std::string_view bytes, const ExpectedShape& shape, bool header) {
    std::int64_t rows = 0;
    for (std::size_t at = 0; (at = bytes.find("<TR>", at)) != std::string_view::npos; at += 4) ++rows;
    // The page's own title row comes first.
    Require(rows == 1 + shape.Records + (header ? 1 : 0), "HTML row count");
}

void CheckRtf(std::string_view bytes) {
    std::int64_t depth = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\') {
            ++i;
        } else if (bytes[i] == '{') {
            ++depth;
        } else if (bytes[i] == '}') {
            Require(--depth >= 0, "RTF group closed that was not open");
        }
    }
    Require(depth == 0, "RTF groups left open");
}

void CheckWorksheet(std::string_view bytes) {
    auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    std::size_t at = 0;
    unsigned first = 0;
    unsigned last = 0;
    while (at < bytes.size()) {
        Require(bytes.size() - at >= 4, "worksheet record cut in its head");
        last = u16(at);
        if (at == 0) first = last;
        const std::size_t length = u16(at + 2);
        Require(bytes.size() - at - 4 >= length, "worksheet record longer than the file");
        at += 4 + length;
    }
    Require(first == 0x0009 && last == 0x000A, "worksheet without BOF first and EOF last");
}

}  // namespace

void CheckExport(OutputFormat format, const std::string& bytes, const ExpectedShape& shape, const ExportSettings& settings) {
    switch (format) {
    case OutputFormat::Text:
    case OutputFormat::CSV:
        if (settings.Delimited.QuoteItems && settings.Delimited.Delimiter == "," && settings.Delimited.RowEnd == LineEnd::CRLF) {
            CheckQuotedCsv(bytes, shape, settings.Delimited.IncludeHeader);
        }
        return;
    case OutputFormat::HTML: return CheckHtml(bytes, shape, settings.Html.IncludeHeader);
    case OutputFormat::RTF: return CheckRtf(bytes);
    case OutputFormat::XML: return CheckXml(bytes, shape);
    case OutputFormat::Excel: return CheckWorksheet(bytes);
    case OutputFormat::SQL: return CheckSql(bytes, shape);
    }
}

}  // namespace quillet::fuzzing
