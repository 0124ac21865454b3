#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <future>
#include <string>
#include <vector>

#include "export/export_frame.h"
#include "export/exporters.h"
#include "export/output_file.h"
#include "export/typed_cell.h"
#include "export/xml_text.h"

namespace quillet {

namespace {

// Excel's own limits: the rows below the header, the columns, a cell's text in UTF-16 units.
constexpr std::int64_t kMaxRecords = 1048575;
constexpr std::size_t kMaxColumns = 16384;
constexpr std::size_t kMaxCellText = 32767;
// Excel holds numbers as doubles, exact to 15 significant digits.
constexpr int kExactDigits = 15;

std::int64_t WrittenRecords(const OpenTable& table, const ExportSettings& settings) {
    std::int64_t written = 0;
    ForEachWrittenRecord(table, settings, {}, [&](std::int64_t) { ++written; });
    return written;
}

void CheckSheetSize(std::int64_t records, std::size_t columns, const std::string& path) {
    const auto refuse = [&](const std::string& what) {
        throw ExportError("Cannot write \"" + path + "\": an Excel workbook sheet holds at most " + what +
                          ". Export the table as CSV instead.");
    };
    if (columns > kMaxColumns) {
        refuse(std::to_string(kMaxColumns) + " columns, and " + std::to_string(columns) + " are selected");
    }
    if (records > kMaxRecords) {
        refuse(std::to_string(kMaxRecords) + " records below its header, and " + std::to_string(records) +
               " are to be written");
    }
}

// The table's name as Excel takes a sheet's: at most 31 characters, none of []:*?/\, no
// apostrophe at either end.
std::string SheetName(const OpenTable& table) {
    const std::string name = CodePage::ForNumber(65001)->ToUtf8(table.TableBaseName);
    std::string sheet;
    int characters = 0;
    for (char c : name) {
        const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        if (starts && ++characters > 31) break;
        sheet += std::string_view("[]:*?/\\").find(c) != std::string_view::npos ? '_' : c;
    }
    while (!sheet.empty() && sheet.back() == '\'') sheet.pop_back();
    while (!sheet.empty() && sheet.front() == '\'') sheet.erase(0, 1);
    return sheet.empty() ? "Sheet1" : sheet;
}

// Cuts UTF-8 text to Excel's cell limit, counted in UTF-16 units; tells whether it cut.
bool CutToCellLimit(std::string& text) {
    if (text.size() <= kMaxCellText) return false;
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) == 0x80) continue;
        units += byte >= 0xF0 ? 2 : 1;
        if (units > kMaxCellText) {
            text.resize(i);
            return true;
        }
    }
    return false;
}

// A table text as a cell holds it: UTF-8 without the characters XML cannot carry, cut to the
// cell limit. Tells whether it cut.
bool WorkbookText(std::string& utf8, const CodePage& page, std::string_view tableText) {
    utf8.clear();
    page.AppendUtf8(utf8, tableText);
    DropXmlForbidden(utf8);
    return CutToCellLimit(utf8);
}

lxw_datetime ExcelTime(const CivilTime& when) {
    return {when.Year, when.Month, when.Day, when.Hour, when.Minute, static_cast<double>(when.Second)};
}

// The formats cells take from their field: currency shows its four decimals.
struct Formats {
    lxw_format* Header;
    lxw_format* Date;
    lxw_format* DateTime;
    lxw_format* Currency;
};

class Workbook {
public:
    Workbook(const OutputFile& file, const std::string& folder) : folder_(folder) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        // Beside the output rather than in a /tmp that may be small or kept in memory.
        options.tmpdir = folder_.data();
        book_ = workbook_new_opt(file.TemporaryPath().c_str(), &options);
        if (book_ == nullptr) file.Fail("the workbook could not be started");
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;
    ~Workbook() {
        if (book_ != nullptr) lxw_workbook_free(book_);
    }
    lxw_workbook* operator->() const { return book_; }
    lxw_workbook* Get() const { return book_; }

    // The library writes the rows to a temporary file without checking the writes, so a full
    // disk would give a workbook missing rows, reported as success: the file's error state
    // tells, once its buffer is flushed.
    void CheckRowsWritten(const OutputFile& file, lxw_worksheet* sheet) const {
        FILE* rows = sheet->optimize_tmpfile;
        errno = 0;
        if (rows != nullptr && (std::fflush(rows) != 0 || std::ferror(rows) != 0)) {
            file.Fail(errno != 0 ? std::strerror(errno) : "the rows could not be written");
        }
    }

    void Close(const OutputFile& file) {
        errno = 0;
        const lxw_error error = workbook_close(book_);
        const int system = errno;
        book_ = nullptr;
        if (error == LXW_NO_ERROR) return;
        // The system's reason is what the user can act on; else the library's own.
        file.Fail(system != 0 ? std::strerror(system) : lxw_strerror(error));
    }

private:
    std::string folder_;
    lxw_workbook* book_ = nullptr;
};

// The workbook's creation time is the table's last update (noon UTC), so that the same table
// always gives the same bytes; 1980-01-01, the first date a zip file holds, when it has none.
std::time_t CreationTime(const LastUpdateDate& update) {
    const bool known = update.Year >= 1980 && update.Month >= 1 && update.Month <= 12 && update.Day >= 1 && update.Day <= 31;
    // Days from 1970-01-01 to the date (proleptic Gregorian).
    const int y = known ? update.Year - (update.Month <= 2) : 1979;
    const int m = known ? update.Month : 1, d = known ? update.Day : 1;
    const int era = y / 400, yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
    return static_cast<std::time_t>(days * 86400 + 12 * 3600);
}

lxw_format* NewFormat(lxw_workbook* book, const char* numberFormat) {
    lxw_format* format = workbook_add_format(book);
    if (numberFormat != nullptr) format_set_num_format(format, numberFormat);
    return format;
}

// A cell made ready for the library: what it needs is worked out here, away from the thread
// that calls it, so that the two share the work.
struct ReadyCell {
    enum class Kind : std::uint8_t { Skip, Text, Number, Currency, Truth, Date, DateTime } Kind = Kind::Skip;
    std::uint32_t TextEnd = 0;  // Text: the end of its bytes (NUL included) in the block's texts
    double Number = 0;
    lxw_datetime When{};
};

// The cells of a run of records, a row's worth after another.
struct ReadyBlock {
    std::vector<ReadyCell> Cells;
    std::string Texts;  // each cell text with its NUL, one after another
    std::int64_t Rows = 0;
    std::int64_t CutTexts = 0;
    std::int64_t End = 0;  // the record after the block's last
};

// Makes the cells of the records from first on, before last, up to a block's worth of written rows.
ReadyBlock PrepareBlock(const OpenTable& table, const ExportSettings& settings, const std::vector<int>& columns,
                        std::int64_t first, std::int64_t last) {
    constexpr std::int64_t kBlockRows = 4096;
    ReadyBlock block;
    block.Cells.reserve(static_cast<std::size_t>(kBlockRows) * columns.size());
    std::string scratch, utf8;
    const auto text = [&](ReadyCell& ready, std::string_view tableText) {
        block.CutTexts += WorkbookText(utf8, *table.TableCodePage, tableText);
        ready.Kind = ReadyCell::Kind::Text;
        block.Texts.append(utf8).push_back('\0');
        ready.TextEnd = static_cast<std::uint32_t>(block.Texts.size());
    };
    const auto plainText = [&](ReadyCell& ready, std::string_view ascii) {
        ready.Kind = ReadyCell::Kind::Text;
        block.Texts.append(ascii).push_back('\0');
        ready.TextEnd = static_cast<std::uint32_t>(block.Texts.size());
    };
    std::int64_t record = first;
    for (; record < last && block.Rows < kBlockRows; ++record) {
        if (!RecordPasses(settings.RecordFilter, table.IsDeleted(record))) continue;
        ++block.Rows;
        for (const int field : columns) {
            ReadyCell& ready = block.Cells.emplace_back();
            const TypedCell cell = TypedCellOf(table, record, field, scratch);
            switch (cell.Kind) {
            case TypedKind::Empty: break;
            case TypedKind::Text:
                if (!cell.Text.empty()) text(ready, cell.Text);
                break;
            case TypedKind::Integer:
            case TypedKind::Real:
                if (SignificantDigits(cell.Text) > kExactDigits) {
                    plainText(ready, cell.Text);
                } else {
                    const bool currency = table.FieldDescriptors[static_cast<std::size_t>(field)].Type == 'Y';
                    ready.Kind = currency ? ReadyCell::Kind::Currency : ReadyCell::Kind::Number;
                    ready.Number = cell.Real;
                }
                break;
            case TypedKind::Truth:
                ready.Kind = ReadyCell::Kind::Truth;
                ready.Number = cell.Truth;
                break;
            case TypedKind::Date:
            case TypedKind::DateTime: {
                const bool withTime = cell.Kind == TypedKind::DateTime;
                if (cell.When.Year < 1900) {
                    // Before Excel's first day: the date as text, so that it is not lost.
                    plainText(ready, IsoText(cell.When, withTime));
                } else {
                    ready.Kind = withTime ? ReadyCell::Kind::DateTime : ReadyCell::Kind::Date;
                    ready.When = ExcelTime(cell.When);
                }
                break;
            }
            }
        }
    }
    block.End = record;
    return block;
}

}  // namespace

ExportResult ExportXlsx(const OpenTable& table, const ExportSettings& settings, const ExportProgress& progress) {
    const std::string path = OutputPath(table, settings, OutputFormat::Xlsx);
    const std::vector<int> columns = SelectedColumns(table);
    // A sheet without columns would hold no trace of its records.
    if (columns.empty()) throw ExportError("Select at least one column to export.");
    const std::int64_t records = WrittenRecords(table, settings);
    CheckSheetSize(records, columns.size(), path);

    OutputFile file(path, settings.Committer);
    const std::string folder = settings.SaveFolder.empty() ? "." : settings.SaveFolder;
    Workbook book(file, folder);
    lxw_worksheet* sheet = workbook_add_worksheet(book.Get(), SheetName(table).c_str());
    const Formats formats{NewFormat(book.Get(), nullptr), NewFormat(book.Get(), "yyyy-mm-dd"),
                          NewFormat(book.Get(), "yyyy-mm-dd hh:mm:ss"), NewFormat(book.Get(), "0.0000")};
    format_set_bold(formats.Header);
    lxw_doc_properties properties{};
    properties.created = CreationTime(table.LastUpdate);
    workbook_set_properties(book.Get(), &properties);

    std::string name;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        WorkbookText(name, *table.TableCodePage, table.FieldNames[static_cast<std::size_t>(columns[c])]);
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), name.c_str(), formats.Header);
    }
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_autofilter(sheet, 0, 0, static_cast<lxw_row_t>(records), static_cast<lxw_col_t>(columns.size() - 1));

    // The next block is made ready on another thread while this one hands the current one to
    // the library, which takes most of the time.
    std::int64_t cut = 0;
    lxw_row_t row = 0;
    const std::int64_t count = table.RecordCount();
    // A window's blocks are all made before the next window is held: a future left unread
    // waits for its block when it goes.
    ForEachWindow(table, [&](std::int64_t first, std::int64_t end) {
        const auto prepare = [&](std::int64_t from) { return PrepareBlock(table, settings, columns, from, end); };
        std::future<ReadyBlock> next = std::async(std::launch::async, prepare, first);
        for (;;) {
            ReadyBlock block = next.get();
            const bool final = block.End >= end;
            if (!final) next = std::async(std::launch::async, prepare, block.End);
            cut += block.CutTexts;
            const ReadyCell* ready = block.Cells.data();
            std::uint32_t textStart = 0;
            for (std::int64_t r = 0; r < block.Rows; ++r) {
                ++row;
                for (std::size_t c = 0; c < columns.size(); ++c, ++ready) {
                    const auto column = static_cast<lxw_col_t>(c);
                    switch (ready->Kind) {
                    case ReadyCell::Kind::Skip: break;
                    case ReadyCell::Kind::Text:
                        worksheet_write_string(sheet, row, column, block.Texts.data() + textStart, nullptr);
                        textStart = ready->TextEnd;
                        break;
                    case ReadyCell::Kind::Number: worksheet_write_number(sheet, row, column, ready->Number, nullptr); break;
                    case ReadyCell::Kind::Currency: worksheet_write_number(sheet, row, column, ready->Number, formats.Currency); break;
                    case ReadyCell::Kind::Truth: worksheet_write_boolean(sheet, row, column, ready->Number != 0, nullptr); break;
                    case ReadyCell::Kind::Date:
                    case ReadyCell::Kind::DateTime: {
                        lxw_datetime when = ready->When;
                        worksheet_write_datetime(sheet, row, column, &when,
                                                 ready->Kind == ReadyCell::Kind::DateTime ? formats.DateTime : formats.Date);
                        break;
                    }
                    }
                }
            }
            if (progress) progress(block.End, count);
            if (final) break;
        }
    });
    book.CheckRowsWritten(file, sheet);
    book.Close(file);
    file.Commit();
    return CutNote(path, cut, kMaxCellText);
}

}  // namespace quillet
