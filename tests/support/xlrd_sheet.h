#pragma once

// Reads a worksheet file back with python3-xlrd, the real reader the .xls tests trust:
//
//   XlrdSheet(path) == "encoding cp1252\n1 1 text NAME\n2 1 number 12.0\n"
//
// One line for the encoding xlrd decoded the texts with, then one line per cell that holds
// something, rows and columns counted from 1: "row column text|number value" (texts in UTF-8
// with backslash, LF and CR written \\, \n and \r; numbers as Python's repr). A file xlrd
// cannot read gives "xlrd failed:" and its reason.

#include <array>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace quillet::testing {

inline std::string XlrdSheet(const std::filesystem::path& file) {
    static const char* const kScript = R"PY(
import sys, xlrd
try:
    book = xlrd.open_workbook(sys.argv[1], logfile=sys.stderr)
    out = ["encoding " + str(book.encoding)]
    for sheet in book.sheets():
        for r in range(sheet.nrows):
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype == xlrd.XL_CELL_TEXT:
                    text = cell.value.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r")
                    out.append("%d %d text %s" % (r + 1, c + 1, text))
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    out.append("%d %d number %r" % (r + 1, c + 1, cell.value))
                elif cell.ctype != xlrd.XL_CELL_EMPTY:
                    out.append("%d %d type%d %r" % (r + 1, c + 1, cell.ctype, cell.value))
    sys.stdout.buffer.write(("\n".join(out) + "\n").encode("utf-8"))
except Exception as e:
    sys.stdout.buffer.write(("xlrd failed: %s: %s\n" % (type(e).__name__, e)).encode("utf-8"))
)PY";
    std::string script = (std::filesystem::temp_directory_path() / "quillet-xlrd-XXXXXX").string();
    const int fd = ::mkstemp(script.data());
    if (fd < 0) return "xlrd failed: cannot write the reading script";
    const std::string_view text(kScript);
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!written) return "xlrd failed: cannot write the reading script";
    const std::string command = "/usr/bin/python3 '" + script + "' '" + file.string() + "'";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return "xlrd failed: cannot start /usr/bin/python3";
    std::array<char, 4096> buffer;
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    std::filesystem::remove(script);
    if (status != 0 && output.empty()) return "xlrd failed: /usr/bin/python3 did not run";
    return output;
}

}  // namespace quillet::testing
