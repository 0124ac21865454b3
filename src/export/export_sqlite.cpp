#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/sql_column.h"
#include "export/sql_text.h"
#include "export/typed_cell.h"

namespace quillet {

namespace {

// The column type of a field: numbers as the database's numbers, dates and times as ISO text.
const char* ColumnType(const OpenTable& table, int field) {
    const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(field)];
    switch (d.Type) {
    case 'N':
    case 'F': return d.Decimals == 0 ? "INTEGER" : "REAL";
    case 'I':
    case '+': return "INTEGER";
    case 'Y': return "NUMERIC";
    case 'O': return "REAL";
    // A double in Visual FoxPro, a binary memo in dBASE 7.
    case 'B': return d.Length == 8 ? "REAL" : "BLOB";
    case 'L': return "BOOLEAN";
    case 'G':
    case 'P':
    case 'W':
    case 'Q': return "BLOB";
    default: return "TEXT";
    }
}

// The open database and its one statement, closed on every way out.
class Database {
public:
    explicit Database(const OutputFile& file) : file_(file) {
        if (sqlite3_open_v2(file.TemporaryPath().c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) Fail();
    }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database() {
        sqlite3_finalize(insert_);
        sqlite3_close(db_);
    }

    void Run(const std::string& sql) {
        errno = 0;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail();
    }
    sqlite3_stmt* Prepare(const std::string& sql) {
        if (sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size() + 1), &insert_, nullptr) != SQLITE_OK) Fail();
        return insert_;
    }
    void Check(int result) {
        if (result != SQLITE_OK) Fail();
    }
    void Step(sqlite3_stmt* statement) {
        errno = 0;
        if (sqlite3_step(statement) != SQLITE_DONE) Fail();
        Check(sqlite3_reset(statement));
    }
    void Close() {
        sqlite3_finalize(insert_);
        insert_ = nullptr;
        const int closed = sqlite3_close(db_);
        db_ = nullptr;
        if (closed != SQLITE_OK) file_.Fail(sqlite3_errstr(closed));
    }

private:
    [[noreturn]] void Fail() const {
        const int failedCall = errno;
        if (db_ == nullptr) file_.Fail("the database could not be opened");
        // The system's reason is what the user can act on; SQLite does not always keep it (a write
        // the file-size limit cuts short), the failed call does.
        int system = sqlite3_system_errno(db_);
        if (system == 0 && (sqlite3_extended_errcode(db_) & 0xFF) == SQLITE_IOERR) system = failedCall;
        file_.Fail(system != 0 ? std::strerror(system) : sqlite3_errmsg(db_));
    }

    const OutputFile& file_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
};

}  // namespace

ExportResult ExportSqlite(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    const std::vector<int> fields = SelectedColumns(table);
    // A table without columns cannot be created.
    if (fields.empty()) throw ExportError("Select at least one column to export.");
    const std::vector<std::string> names = SqlColumnNames(table, fields);
    std::string tableName;
    AppendSqlName(tableName, CodePage::ForNumber(65001)->ToUtf8(table.TableBaseName));

    OutputFile file(OutputPath(table, settings, OutputFormat::Sqlite), settings.Committer);
    Database db(file);
    // The file is a temporary one until it is complete: a journal would guard nothing.
    db.Run("PRAGMA page_size=65536; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE");
    std::string create = "CREATE TABLE " + tableName + " (";
    std::string insert = "INSERT INTO " + tableName + " VALUES (";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        create += (i > 0 ? ", " : "") + names[i] + " " + ColumnType(table, fields[i]);
        insert += i > 0 ? ", ?" : "?";
    }
    db.Run(create + ")");
    db.Run("BEGIN");
    sqlite3_stmt* statement = db.Prepare(insert + ")");

    // Texts stay bound until the row is stepped: each column keeps its own buffers.
    std::vector<std::string> cleaned(fields.size()), utf8(fields.size()), iso(fields.size());
    ForEachWrittenRecord(table, settings, progress, [&](std::int64_t record) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const int at = static_cast<int>(i) + 1;
            const TypedCell cell = TypedCellOf(table, record, fields[i], cleaned[i]);
            switch (cell.Kind) {
            case TypedKind::Empty: db.Check(sqlite3_bind_null(statement, at)); break;
            case TypedKind::Integer: db.Check(sqlite3_bind_int64(statement, at, cell.Integer)); break;
            case TypedKind::Real: db.Check(sqlite3_bind_double(statement, at, cell.Real)); break;
            case TypedKind::Truth: db.Check(sqlite3_bind_int(statement, at, cell.Truth ? 1 : 0)); break;
            case TypedKind::Text: {
                const std::string_view text = table.TableCodePage->AsUtf8(cell.Text, utf8[i]);
                // An empty text without storage would be bound as NULL.
                db.Check(sqlite3_bind_text(statement, at, text.empty() ? "" : text.data(), static_cast<int>(text.size()),
                                           SQLITE_STATIC));
                break;
            }
            case TypedKind::Date:
            case TypedKind::DateTime:
                iso[i] = IsoText(cell.When, cell.Kind == TypedKind::DateTime);
                db.Check(sqlite3_bind_text(statement, at, iso[i].data(), static_cast<int>(iso[i].size()), SQLITE_STATIC));
                break;
            }
        }
        db.Step(statement);
    });
    db.Run("COMMIT");
    db.Close();
    file.Commit();
    return {};
}

}  // namespace quillet
