#pragma once

#include <string_view>

namespace quillet {

// The fixed texts of the HTML page and the RTF document. Placeholders (TEXTCOLOR, BGCOLOR,
// ITEM) are filled by plain substitution in the template only, never in what was inserted.

// Two lines: the head (the page is UTF-8, whatever the table's code page) and body start tag,
// then the table start tag with an empty title row.
inline constexpr std::string_view HtmlPageHead =
    "<head><meta charset=\"utf-8\"><title></title></head><body text=\"#TEXTCOLOR\" bgcolor=\"#BGCOLOR\">\r\n"
    "<TABLE BORDER><TR> <TH COLSPAN=1 > <B></B> </TH></TR>";
inline constexpr std::string_view HtmlHeaderCell = "<TH>ITEM</TH>";
inline constexpr std::string_view HtmlDataCell = "<TD>ITEM</TD>";
inline constexpr std::string_view HtmlEmptyCell = "<TD>&nbsp</TD>";
inline constexpr std::string_view HtmlPageEnd = "</TABLE></body>";

// Opens the document group (closed by the file's last "}"), declares code page 1252, and
// carries a font table of 18 fonts and a colour table of 16 colours plus the automatic one.
inline constexpr std::string_view RtfHead =
    R"({\rtf1\adeflang1025\ansi\ansicpg1252\uc1\adeff0\deff0\stshfdbch0\stshfloch0\stshfhich0\stshfbi0\deflang1033\deflangfe1033)"
    R"({\fonttbl{\f0\froman\fcharset0\fprq2{\*\panose 02020603050405020304}Times New Roman;}{\f2\fmodern\fcharset0\fprq1{\*\panose 02070309020205020404}Courier New;}{\f37\froman\fcharset238\fprq2 Times New Roman CE;})"
    R"({\f38\froman\fcharset204\fprq2 Times New Roman Cyr;}{\f40\froman\fcharset161\fprq2 Times New Roman Greek;}{\f41\froman\fcharset162\fprq2 Times New Roman Tur;}{\f42\fbidi \froman\fcharset177\fprq2 Times New Roman (Hebrew);})"
    R"({\f43\fbidi \froman\fcharset178\fprq2 Times New Roman (Arabic);}{\f44\froman\fcharset186\fprq2 Times New Roman Baltic;}{\f45\froman\fcharset163\fprq2 Times New Roman (Vietnamese);}{\f57\fmodern\fcharset238\fprq1 Courier New CE;})"
    R"({\f58\fmodern\fcharset204\fprq1 Courier New Cyr;}{\f60\fmodern\fcharset161\fprq1 Courier New Greek;}{\f61\fmodern\fcharset162\fprq1 Courier New Tur;}{\f62\fbidi \fmodern\fcharset177\fprq1 Courier New (Hebrew);})"
    R"({\f63\fbidi \fmodern\fcharset178\fprq1 Courier New (Arabic);}{\f64\fmodern\fcharset186\fprq1 Courier New Baltic;}{\f65\fmodern\fcharset163\fprq1 Courier New (Vietnamese);}}{\colortbl;\red0\green0\blue0;\red0\green0\blue255;\red0\green255\blue255;)"
    R"(\red0\green255\blue0;\red255\green0\blue255;\red255\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;\red0\green0\blue128;\red0\green128\blue128;\red0\green128\blue0;\red128\green0\blue128;\red128\green0\blue0;\red128\green128\blue0;)"
    R"(\red128\green128\blue128;\red192\green192\blue192;})";

// A table row's definition: new row, columns fitted to their contents, inside a table.
inline constexpr std::string_view RtfRowDefinition = R"(\trowd\trautofit1\intbl)";

}  // namespace quillet
