// The hand-made fast paths against the plain rule they speed up, over many random inputs:
// cleaning, escaping and scanning cells, decoding code pages, reading and writing numbers,
// writing delimited rows.

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>

#include "export/byte_scan.h"
#include "export/export_frame.h"
#include "export/sql_column.h"
#include "export/sql_text.h"
#include "export/xml_text.h"
#include "support/exported_formats.h"
#include "table/cell_text.h"
#include "table/code_page_tables.h"
#include "table/numeric_reading.h"

using namespace quillet;
using namespace quillet::testing;

namespace {

// Mostly letters, with the bytes the scans look for (and their neighbours in value) anywhere.
std::string RandomText(std::mt19937& random, std::size_t longest = 40) {
    const char rare[] = {'&', '<', '>', '"', '\r', '\n', '\t', '\0', '\x1F', ' ', ' ', ' ', '\x7F', '\x80', '\xEF', '\xBF',
                         '\xBE', '\xFF', '\\', '{', '}', '\x01', '\x21', '\xC3', '\xA9', '\x8D'};
    std::string text;
    for (auto n = random() % longest; n > 0; --n) text += random() % 4 ? static_cast<char>('a' + random() % 26) : rare[random() % std::size(rare)];
    return text + std::string(random() % 3 ? 0 : random() % 9, ' ');
}

std::string Replaced(const std::string& text, const std::vector<std::pair<char, const char*>>& rules) {
    std::string out;
    for (char c : text) {
        const auto rule = std::find_if(rules.begin(), rules.end(), [c](const auto& r) { return r.first == c; });
        out += rule == rules.end() ? std::string(1, c) : rule->second;
    }
    return out;
}

}  // namespace

TEST(Properties, CleaningEscapingAndScanningCells) {
    std::mt19937 random(11);
    for (int i = 0; i < 100000; ++i) {
        const std::string text = RandomText(random);
        for (const CleanRule rule : {CleanRule{true, true}, CleanRule{false, true}, CleanRule{true, false}, kTrimOnly}) {
            std::string kept;
            for (char c : text) kept += (c == '\0' && rule.RemoveNul) || (c == '\r' && rule.RemoveCr) ? "" : std::string(1, c);
            kept.erase(0, std::min(kept.size(), kept.find_first_not_of(' ')));
            kept.erase(kept.find_last_not_of(' ') + 1);
            std::string scratch = "earlier content";
            ASSERT_EQ(CleanCellText(CellValue::OfText(text), '.', rule, scratch), kept) << ::testing::PrintToString(text);
        }
        std::string content = "kept", attribute = "kept";
        AppendXmlContent(content, text);
        AppendXmlAttribute(attribute, text);
        const std::vector<std::pair<char, const char*>> markup = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'\r', "&#13;"}};
        ASSERT_EQ(content, "kept" + Replaced(text, markup));
        auto attributeRules = markup;
        attributeRules.insert(attributeRules.end(), {{'"', "&quot;"}, {'\t', "&#9;"}, {'\n', "&#10;"}});
        ASSERT_EQ(attribute, "kept" + Replaced(text, attributeRules));
        std::string dropped = text, expected;
        DropXmlForbidden(dropped);
        for (std::size_t k = 0; k < text.size(); ++k) {
            const auto b = static_cast<unsigned char>(text[k]);
            if (text.compare(k, 2, "\xEF\xBF") == 0 && k + 2 < text.size() && (text[k + 2] == '\xBE' || text[k + 2] == '\xBF')) {
                k += 2;
            } else if (b >= 0x20 || b == '\t' || b == '\n' || b == '\r') {
                expected += text[k];
            }
        }
        ASSERT_EQ(dropped, expected) << ::testing::PrintToString(text);
        const std::size_t any = text.find_first_of(std::string_view("&<>\"", 4)), nul = text.find('\0');
        ASSERT_EQ((FindAny<'&', '<', '>', '"'>(text)), std::min(any, text.size()));
        ASSERT_EQ(FindAny<'\0'>(text), std::min(nul, text.size()));
        const auto below = std::find_if(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
        ASSERT_EQ(FindFirst(text, [](std::uint64_t w) { return BytesBelow(w, 0x20) != 0; }, [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
                  static_cast<std::size_t>(below - text.begin()));
    }
}

// UTF-8 from the runs-of-ASCII path against decoding character by character; every page keeps ASCII.
TEST(Properties, CodePagesDecodeAsCharacterByCharacter) {
    for (std::size_t i = 0; i < kCodePageTableCount; ++i) {
        for (char16_t b = 0; b < 0x80; ++b) ASSERT_EQ(kCodePageTables[i].Unicode[b], b) << kCodePageTables[i].Number;
    }
    std::mt19937 random(5);
    const std::string pieces[] = {"plain ascii text", "a", " ", "\xC3\xA9", "\xD0\x96", "\xF0\x9F\x98\x80", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xE2\x82", "\x80", "\xFF", "\xC3", "\x9D"};
    for (const int number : {1252, 437, 866, 1251, 65001, 932}) {
        const CodePage& page = *CodePage::ForNumber(number);
        for (int i = 0; i < 20000; ++i) {
            std::string bytes, reference;
            for (auto n = random() % 12; n > 0; --n) bytes += pieces[random() % std::size(pieces)];
            bytes += '.';  // not a whole field: the screen's decoding of a cut character stays out
            const std::u16string units = page.ToUtf16(bytes);
            for (std::size_t k = 0; k < units.size(); ++k) {
                char32_t c = units[k];
                if (c >= 0xD800 && c <= 0xDBFF && k + 1 < units.size()) c = 0x10000 + ((c - 0xD800) << 10) + (units[++k] - 0xDC00);
                AppendUtf8CodePoint(reference, c);
            }
            std::string out = "kept|", scratch = "earlier";
            page.AppendUtf8(out, bytes);
            ASSERT_EQ(out, "kept|" + reference) << number << " " << ::testing::PrintToString(bytes);
            ASSERT_EQ(page.AsUtf8(bytes, scratch), reference);
            ASSERT_EQ(page.ToUtf8(bytes), reference);
        }
    }
}

// Pages named by .cpg texts and language drivers, and what the screen shows of a field's bytes
// (tests/data/code_pages/choice.tsv).
TEST(Properties, CodePagesChosenAndShownAsTheTableSays) {
    for (const auto& row : DataRows(QUILLET_TEST_DATA "/code_pages/choice.tsv")) {
        SCOPED_TRACE(row.at(0) + " " + row.at(1));
        if (row[0] != "screen") {
            const CodePage* page = row[0] == "name" ? CodePage::ForName(row[1]) : CodePage::ForLanguageDriver(static_cast<std::uint8_t>(HexBytes(row[1])[0]));
            EXPECT_EQ(page == nullptr ? 0 : page->Number(), std::stoi(row.at(2)));
            continue;
        }
        const CodePage& page = *CodePage::ForNumber(std::stoi(row[1]));
        // The field's bytes, and after them the next field's: an A that would end any lead byte.
        const std::string stored = HexBytes(row.at(2)) + 'A';
        const std::string_view bytes(stored.data(), stored.size() - 1);
        std::string shown;
        for (const char16_t c : page.ToUtf16(bytes)) AppendUtf8CodePoint(shown, c);
        EXPECT_EQ(shown, row.at(3));
        EXPECT_EQ(page.WholeLength(bytes), std::stoul(row.at(4)));
    }
}

// Decimals of any length, blanks and signs read to the correctly rounded double; numbers are
// written in the 15-digit general form with either separator, and a stored decimal as the
// number it reads as.
TEST(Properties, NumbersReadAndWrittenAsTheLibraryDoes) {
    std::mt19937 random(20240501);
    for (int i = 0; i < 200000; ++i) {
        std::string text(random() % 3, ' '), compact;
        if (random() % 3 == 0) text += random() % 2 ? '-' : '+';
        const int length = 1 + static_cast<int>(random() % 26), point = static_cast<int>(random() % (length + 2)) - 1;
        // Zeros often, so that leading zeros, trailing decimal zeros and tiny values come up.
        for (int d = 0; d < length; ++d) text += (d == point ? "." : "") + std::string(1, static_cast<char>(random() % 3 ? '0' + random() % 10 : '0'));
        text += std::string(random() % 3, ' ');
        for (char c : text) compact += c == ' ' ? "" : std::string(1, c);
        const double want = std::strtod(compact.c_str(), nullptr);
        ASSERT_EQ(NumericReading(text), want) << '"' << text << '"';
        ASSERT_EQ(std::signbit(NumericReading(text)), std::signbit(want)) << '"' << text << '"';

        const double value = (random() % 2 ? -1.0 : 1.0) * (i % 2 ? std::pow(10.0, std::uniform_real_distribution<double>(-8, 17)(random))
                                                                 : std::floor(want * 1000) / std::pow(10.0, random() % 12));
        char general[64], formatted[kNumberTextCapacity];
        std::string expected(general, std::to_chars(general, general + 64, value == 0 ? 0.0 : value, std::chars_format::general, 15).ptr);
        const char separator = i % 3 ? '.' : ',';
        std::replace(expected.begin(), expected.end(), '.', separator);
        ASSERT_EQ(std::string(formatted, FormatNumber(formatted, value, separator)), expected) << value;
        // A field's stored decimal is written as the number it reads as.
        char stored[kNumberTextCapacity];
        for (const std::string& decimal : {text, std::string("0.0") + text.substr(text.find_first_not_of(" +-"))}) {
            if (const std::string_view text = StoredDecimalText(decimal, separator, stored); text.data() != nullptr) {
                ASSERT_EQ(text, std::string(formatted, FormatNumber(formatted, NumericReading(decimal), separator))) << decimal;
                // The SQL script writes it too, when its separator is the point.
                char sql[kSqlNumberCapacity];
                if (separator == '.') {
                    ASSERT_EQ(text, std::string_view(sql, FormatSqlNumber(sql, NumericReading(decimal)))) << decimal;
                }
            }
        }
    }
    for (const auto& row : DataRows(QUILLET_TEST_DATA "/numbers.tsv")) {
        EXPECT_EQ(NumericReading(TextBytes(row.at(0))), std::stod(row.at(1))) << row[0];
    }
    EXPECT_TRUE(std::isinf(NumericReading(std::string(500, '9'))));
    EXPECT_EQ(NumericReading(std::string(300, '1') + "e-299"), 1.1111111111111111);
    EXPECT_EQ(CellText(CellValue::OfTruth(true), '.') + CellText(CellValue::OfTruth(false), '.') + CellText(CellValue::Empty(), '.'), "TrueFalse");
}

// A numeric SQL type is widened to plain Numeric exactly when a written value would not fit it.
TEST(Properties, SqlNumericTypesWidenOnlyForValuesThatDoNotFit) {
    TempDir dir;
    std::mt19937 random(12);
    for (int round = 0; round < 40; ++round) {
        TableBuilder t;
        std::vector<std::string> cells;
        for (int f = 0; f < 120; ++f) {
            const int length = 10 + static_cast<int>(random() % 11), digits = 1 + static_cast<int>(random() % (length - 1));
            std::string text = random() % 4 ? "" : "-";
            for (int d = 0, point = static_cast<int>(random() % (digits + 1)); d < digits && static_cast<int>(text.size()) < length; ++d) {
                text += (d == point && d > 0 ? "." : "") + std::string(1, static_cast<char>('0' + (d ? random() % 10 : random() % 3)));
            }
            t.Field("F" + std::to_string(f), 'N', static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(random() % 12));
            cells.push_back(text.substr(0, static_cast<std::size_t>(length)));
        }
        const OpenTable table = OpenBuilt(t.Record(cells), dir);
        std::vector<int> fields(cells.size());
        std::iota(fields.begin(), fields.end(), 0);
        const std::vector<SqlColumn> columns = PlanSqlColumns(table, SettingsFor("to=sql", dir.Path()), fields);
        for (std::size_t f = 0; f < fields.size(); ++f) {
            const FieldDescriptor& d = table.FieldDescriptors[f];
            char text[kSqlNumberCapacity];
            const double value = table.Cell(0, static_cast<int>(f)).Number();
            const DecimalShape shape = ShapeOf(std::string_view(text, FormatSqlNumber(text, value) - text));
            const bool fits = value == 0 || (shape.FractionDigits <= d.Decimals && shape.IntegerDigits <= static_cast<int>(d.Length) - static_cast<int>(d.Decimals));
            const std::string bounded = "Numeric(" + std::to_string(d.Length) + "," + std::to_string(d.Decimals) + ")";
            ASSERT_EQ(columns[f].TypeText, fits ? bounded : "Numeric") << cells[f] << " in " << bounded;
        }
    }
}

// A delimited row reads its common cells straight from the record, whatever they hold: each item
// is still the cell's cleaned text, quoted with its quotes doubled or, unquoted, with its line
// breaks made blanks; null cells, the remains of a character cut by its field's end and bytes
// beyond ASCII converted to UTF-8 included.
TEST(Properties, DelimitedItemsAreTheCellsCleanedText) {
    TempDir dir;
    std::mt19937 random(14);
    TableBuilder t;
    t.Version(0x30).LanguageDriver(0x03);
    t.Field("T", 'C', 20, 0, 0x02).Field("N", 'N', 10, 2, 0x02).Field("L", 'L', 1, 0, 0x02).Field("D", 'D', 8);
    t.Field("_NullFlags", '0', 1, 0, 0x05);
    const char numberBytes[] = {'0', '0', '1', '9', '5', '.', '.', '-', '+', ' ', '"', 'x'};
    for (int r = 0; r < 3000; ++r) {
        std::string number;
        for (auto n = random() % 11; n > 0; --n) number += numberBytes[random() % std::size(numberBytes)];
        const std::string truth(1, "TtYyFfNn? x"[random() % 11]);
        t.Record({RandomText(random, 24), number, truth, RandomText(random, 8), std::string(1, static_cast<char>(random() % 8))});
    }
    OpenTable table = OpenBuilt(t, dir);
    ASSERT_EQ(ListedColumns(table), 4);
    for (const int page : {1252, 936, 65001}) {
        table.TableCodePage = CodePage::ForNumber(page);
        for (const std::string words : {"", "no-quotes", "to-utf8", "no-quotes to-utf8 delimiter=tab"}) {
            for (const char separator : {'.', ',', '"', '\n', '\xB7'}) {
                ExportSettings settings = SettingsFor("to=csv no-header row-end=lf " + words, dir.Path());
                settings.DecimalSeparator = separator;
                const bool quoted = settings.Delimited.QuoteItems;
                std::string expected, scratch, utf8;
                for (std::int64_t r = 0; r < table.RecordCount(); ++r) {
                    for (int f = 0; f < 4; ++f) {
                        std::string_view text = CleanCellText(WrittenCell(table, r, f), separator, {true, true}, scratch);
                        if (settings.Delimited.ToUtf8) text = table.TableCodePage->AsUtf8(text, utf8);
                        const std::string item(text);
                        expected += quoted ? '"' + Replaced(item, {{'"', "\"\""}}) + '"' : Replaced(item, {{'\n', " "}});
                        expected += f < 3 ? settings.Delimited.Delimiter : "\n";
                    }
                }
                ASSERT_EQ(Exported(table, settings), expected) << page << " " << words << " " << separator;
            }
        }
    }
}

// The plain way is taken for single-byte pages only: ASCII cells read as UTF-8 go the general
// way, and every text format must write them the same, whatever bytes they hold.
TEST(Properties, PlainCellsWriteWhatTheGeneralWayWrites) {
    TempDir dir;
    std::mt19937 random(15);
    TableBuilder t;
    t.LanguageDriver(0x03).Field("A", 'C', 12).Field("B", 'C', 30);
    for (int r = 0; r < 2000; ++r) {
        std::string a = RandomText(random, 12), b = RandomText(random, 30);
        for (std::string* text : {&a, &b}) {
            for (char& c : *text) c = static_cast<char>(c & 0x7F);
        }
        t.Record({a, b});
    }
    OpenTable table = OpenBuilt(t, dir);
    for (const std::string words : {"to=txt", "to=txt no-quotes", "to=csv to-utf8", "to=htm", "to=rtf", "to=xml", "to=sql"}) {
        const ExportSettings settings = SettingsFor(words, dir.Path());
        table.TableCodePage = CodePage::ForNumber(1252);
        const std::string plain = Exported(table, settings);
        table.TableCodePage = CodePage::ForNumber(65001);
        ASSERT_EQ(plain, Exported(table, settings)) << words;
    }
}
