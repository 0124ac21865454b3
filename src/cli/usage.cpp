#include "cli/usage.h"

namespace quillet::cli {

namespace {

constexpr std::string_view kSynopsis =
    "usage: quillet-cli info TABLE.dbf...\n"
    "       quillet-cli convert TABLE.dbf... --to txt|csv|htm|rtf|xml|xls|sql|xlsx|sqlite [options]\n";

constexpr std::string_view kManual = R"(NAME
    quillet-cli - show and convert dBASE/FoxPro tables (.dbf) without a window

SYNOPSIS
    quillet-cli info TABLE.dbf... [--encoding NAME]
    quillet-cli convert TABLE.dbf... --to txt|csv|htm|rtf|xml|xls|sql|xlsx|sqlite [options]
    quillet-cli --help | --version

DESCRIPTION
    The command-line side of Quillet. It reads tables and writes files with the same
    code as the desktop program: for the same settings both write byte-identical files.
    Options take their value as the next argument or after "=" (--to=csv). Tables and
    options may come in any order; "--" ends the options.

COMMANDS
    info TABLE.dbf...
        For each table, the four lines of the desktop program's information box
        (file name, version, total records, last update), the code page the texts
        are read in and where it came from (a .cpg file beside the table, the
        header's language byte, the default Windows-1252, or --encoding), the memo
        file read for its memo fields, then one line per field: name, type letter,
        what the type holds, length, decimals. Memos that cannot be read (a missing
        memo file, a damaged one) are shown empty and said on standard error; the
        exit status stays 0.

    convert TABLE.dbf... --to FORMAT [options]
        Writes each table to one file named after the table (up to the first "."
        of its name) with the format's extension: .txt .csv .htm .rtf .xml .xls .sql
        .xlsx .sqlite.
        An existing file of that name is replaced, but never by a half-written one,
        never by the table being converted (a table named sales.csv is not converted
        to CSV beside itself) and never twice in one call (of two tables whose files
        would have the same name, the later one fails). The path of each file written
        is printed on standard output; what the format could not keep (such as texts
        cut to a worksheet cell's length) is said on standard error. A file marked
        read-only is refused; a symbolic link is written through to its file.

OPTIONS
    --to txt|csv|htm|rtf|xml|xls|sql|xlsx|sqlite
        The output format. Required.
    --out DIR
        The destination folder. Default: each table's own folder.
    --records all|deleted|live
        Which records to take: every record, only deleted ones, or only live ones.
        Default: all.
    --columns NAME,NAME...
        The columns to take, named as "info" lists them (letter case does not
        matter). They are written in the table's order. Default: every column.
    --delimiter ,|;|:|space|tab
        Text and CSV: what stands between items. Default: ",".
    --row-end crlf|lf
        Text and CSV: how a row ends. Default: crlf.
    --no-header
        Text, CSV, HTML and RTF: no header row of column names.
    --no-quotes
        Text and CSV: items without quotes.
    --to-utf8
        Text and CSV: texts converted to UTF-8. Default: the bytes as the table
        stores them.
    --encoding NAME
        Info and convert: read the tables' texts in this code page, whatever they
        declare: a number (866, 1251, 932, 65001), cpN, windows-N, ibmN, or a name
        such as utf-8, koi8-r, big5, shift_jis, gbk (letter case does not matter).
        HTML, XML and SQL are written in UTF-8; RTF in the table's Windows code page,
        other characters as Unicode; an Excel worksheet in the table's code page
        where worksheet readers know it, else in the Windows code page that holds
        most of its characters, the others written "?" and counted on standard
        error.
    --jobs N
        Convert: how many tables are converted at the same time (1 to 1024).
        Default: as many as the machine has cores. With 1, each table is also
        formatted on one core only (a single table otherwise takes two).
        Whatever the number, the paths and messages come out in the order of the
        tables given, and a table that fails does not stop the others.
    --text-color RRGGBB
    --back-color RRGGBB
        HTML: the text and background colours as six hexadecimal digits.
        Default: 000000 and FFFFFF.
    -h, --help
        This text.
    --version
        The program's version.

    Options of one format are ignored by the others. Numbers are written with the
    decimal separator of the locale (LC_NUMERIC), as in the desktop program.

    When standard error is a terminal, a long conversion shows a progress line there:
    records of the table being converted, or tables done when several are converted
    at the same time.

EXIT STATUS
    0   every table was shown or converted
    1   at least one table could not be read or written; the others were still done
    2   a usage error: an unknown option or value (an unknown --encoding lists the
        names it takes), a missing --to, no table, or a column name that a table
        does not have
    Every message names the file and the reason, on standard error.

EXAMPLES
    quillet-cli info samples/customers.dbf
    quillet-cli convert samples/customers.dbf --to csv --out /tmp
    quillet-cli convert *.dbf --to htm --records live --columns NAME,CITY --no-header
)";

}  // namespace

std::string_view ManualText() { return kManual; }

std::string_view SynopsisText() { return kSynopsis; }

}  // namespace quillet::cli
