#include "cli/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace quillet::cli {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

[[noreturn]] void Refuse(const std::string& message) { throw UsageError(message); }

OutputFormat FormatNamed(const std::string& value) {
    static constexpr std::pair<std::string_view, OutputFormat> kFormats[] = {
        {"txt", OutputFormat::Text}, {"csv", OutputFormat::CSV},   {"htm", OutputFormat::HTML},
        {"rtf", OutputFormat::RTF},  {"xml", OutputFormat::XML},   {"xls", OutputFormat::Excel},
        {"sql", OutputFormat::SQL},  {"xlsx", OutputFormat::Xlsx}, {"sqlite", OutputFormat::Sqlite},
    };
    const std::string name = Lower(value);
    for (const auto& [text, format] : kFormats) {
        if (name == text) return format;
    }
    Refuse("--to \"" + value + "\" is not a format; use one of txt, csv, htm, rtf, xml, xls, sql, xlsx, sqlite");
}

RecordFilter FilterNamed(const std::string& value) {
    const std::string name = Lower(value);
    if (name == "all") return RecordFilter::AllRecords;
    if (name == "deleted") return RecordFilter::OnlyDeleted;
    if (name == "live") return RecordFilter::SkipDeleted;
    Refuse("--records \"" + value + "\" is not a choice; use all, deleted or live");
}

std::string DelimiterNamed(const std::string& value) {
    if (value == "," || value == ";" || value == ":") return value;
    const std::string name = Lower(value);
    if (name == "space") return " ";
    if (name == "tab") return "\t";
    Refuse("--delimiter \"" + value + "\" is not a choice; use , ; : space or tab");
}

LineEnd RowEndNamed(const std::string& value) {
    const std::string name = Lower(value);
    if (name == "crlf") return LineEnd::CRLF;
    if (name == "lf") return LineEnd::LF;
    Refuse("--row-end \"" + value + "\" is not a choice; use crlf or lf");
}

// Six hexadecimal digits, stored upper-case as the colour dialog stores them.
std::string ColorNamed(const std::string& option, const std::string& value) {
    std::string digits = value;
    if (!digits.empty() && digits.front() == '#') digits.erase(0, 1);
    const bool hex = digits.size() == 6 &&
                     std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
    if (!hex) Refuse(option + " \"" + value + "\" is not a colour; give six hexadecimal digits RRGGBB, such as FF0000");
    std::transform(digits.begin(), digits.end(), digits.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return digits;
}

std::vector<std::string> ColumnNames(const std::string& value) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = value.find(',', start);
        std::string name = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto first = name.find_first_not_of(' ');
        name = first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(' ') - first + 1);
        if (name.empty()) Refuse("--columns \"" + value + "\" holds an empty column name; give NAME,NAME...");
        names.push_back(name);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return names;
}

const CodePage& CodePageNamed(const std::string& value) {
    if (const CodePage* page = CodePage::ForName(value)) return *page;
    Refuse("--encoding \"" + value + "\" is not a code page we know; use one of " + CodePage::AcceptedNames());
}

unsigned JobsNamed(const std::string& value) {
    unsigned jobs = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), jobs);
    if (error != std::errc() || end != value.data() + value.size() || jobs == 0 || jobs > 1024) {
        Refuse("--jobs \"" + value + "\" is not a number of tables at once; use 1 to 1024");
    }
    return jobs;
}

bool TakesValue(const std::string& option) {
    static constexpr std::string_view kWithValue[] = {"--to",         "--out",        "--records",  "--columns",
                                                      "--delimiter",  "--row-end",    "--encoding", "--text-color",
                                                      "--back-color", "--jobs"};
    return std::find(std::begin(kWithValue), std::end(kWithValue), option) != std::end(kWithValue);
}

bool IsFlag(const std::string& option) {
    return option == "--no-header" || option == "--no-quotes" || option == "--to-utf8";
}

void Apply(Invocation& invocation, const std::string& option, const std::string& value) {
    ExportSettings& s = invocation.Settings;
    if (option == "--to") {
        s.OutputFormat = FormatNamed(value);
    } else if (option == "--out") {
        if (value.empty()) Refuse("--out needs a folder");
        invocation.OutFolder = value;
    } else if (option == "--records") {
        s.RecordFilter = FilterNamed(value);
    } else if (option == "--columns") {
        invocation.Columns = ColumnNames(value);
    } else if (option == "--delimiter") {
        s.Delimited.Delimiter = DelimiterNamed(value);
    } else if (option == "--row-end") {
        s.Delimited.RowEnd = RowEndNamed(value);
    } else if (option == "--text-color") {
        s.Html.TextColor = ColorNamed(option, value);
    } else if (option == "--back-color") {
        s.Html.BackColor = ColorNamed(option, value);
    } else if (option == "--no-header") {
        s.Delimited.IncludeHeader = false;
        s.Html.IncludeHeader = false;
        s.Rtf.IncludeHeader = false;
    } else if (option == "--encoding") {
        invocation.Encoding = &CodePageNamed(value);
    } else if (option == "--to-utf8") {
        s.Delimited.ToUtf8 = true;
    } else if (option == "--no-quotes") {
        s.Delimited.QuoteItems = false;
    } else if (option == "--jobs") {
        invocation.Jobs = JobsNamed(value);
    }
}

}  // namespace

Invocation ParseCommandLine(const std::vector<std::string>& arguments) {
    Invocation invocation;
    if (arguments.empty()) Refuse("no command given; use info or convert");

    const std::string& command = arguments.front();
    if (command == "--help" || command == "-h" || command == "help") return invocation;
    if (command == "--version") {
        invocation.Command = Command::Version;
        return invocation;
    }
    if (command == "info") {
        invocation.Command = Command::Info;
    } else if (command == "convert") {
        invocation.Command = Command::Convert;
    } else {
        Refuse("\"" + command + "\" is not a command; use info or convert");
    }

    bool formatGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument.front() != '-') {
            invocation.Tables.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            invocation.Command = Command::Help;
            return invocation;
        }

        const std::size_t equals = argument.find('=');
        const std::string option = argument.substr(0, equals);
        const bool known = TakesValue(option) || IsFlag(option);
        if (!known) Refuse("unknown option \"" + option + "\"");
        if (invocation.Command == Command::Info && option != "--encoding") {
            Refuse(option + " is an option of convert; info takes only tables and --encoding");
        }

        std::string value;
        if (TakesValue(option)) {
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                Refuse(option + " needs a value");
            }
        } else if (equals != std::string::npos) {
            Refuse(option + " takes no value");
        }
        Apply(invocation, option, value);
        formatGiven = formatGiven || option == "--to";
    }

    if (invocation.Tables.empty()) Refuse("no table given");
    if (invocation.Command == Command::Convert && !formatGiven) {
        Refuse("missing --to FORMAT; use one of txt, csv, htm, rtf, xml, xls, sql, xlsx, sqlite");
    }
    return invocation;
}

}  // namespace quillet::cli
