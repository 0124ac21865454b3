#pragma once

// Readers of the line-based formats: delimited text and CSV (written with quotes), HTML, RTF.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "export/document_templates.h"
#include "support/files.h"
#include "support/sheet.h"

namespace quillet::testing {

inline std::vector<std::string> SplitLines(std::string_view bytes, std::string_view end = "\r\n") {
    std::vector<std::string> lines;
    for (std::size_t at; (at = bytes.find(end)) != std::string_view::npos; bytes.remove_prefix(at + end.size())) {
        lines.emplace_back(bytes.substr(0, at));
    }
    if (!bytes.empty()) lines.emplace_back(bytes);
    return lines;
}

// Comma-separated items, each in double quotes with inner quotes doubled.
inline std::vector<std::string> QuotedItems(std::string_view line) {
    std::vector<std::string> items;
    std::size_t i = 0;
    while (i < line.size()) {
        std::string item;
        ++i;  // opening quote
        while (i < line.size()) {
            if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                item += '"';
                i += 2;
            } else if (line[i] == '"') {
                ++i;
                break;
            } else {
                item += line[i++];
            }
        }
        items.push_back(item);
        if (i < line.size() && line[i] == ',') ++i;
    }
    return items;
}

inline Sheet ReadDelimited(const std::filesystem::path& file) {
    Sheet sheet;
    const std::vector<std::string> lines = SplitLines(ReadFileBytes(file));
    if (lines.empty()) return sheet;
    sheet.Names = QuotedItems(lines.front());
    for (std::size_t i = 1; i < lines.size(); ++i) sheet.Rows.push_back(QuotedItems(lines[i]));
    return sheet;
}

inline std::string HtmlUnescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        for (const auto& [entity, c] : {std::pair<std::string_view, char>{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'},
                                        {"&quot;", '"'}, {"<br>", '\n'}}) {
            if (text.substr(i).starts_with(entity)) {
                out += c;
                i += entity.size();
                replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// The texts between each open and close tag of a row line.
inline std::vector<std::string> HtmlCells(std::string_view line, std::string_view open, std::string_view close) {
    std::vector<std::string> cells;
    for (std::size_t at; (at = line.find(open)) != std::string_view::npos;) {
        line.remove_prefix(at + open.size());
        const std::size_t end = line.find(close);
        const std::string_view text = line.substr(0, end);
        cells.push_back(text == "&nbsp" ? std::string() : HtmlUnescaped(text));
        line.remove_prefix(end + close.size());
    }
    return cells;
}

inline Sheet ReadHtml(const std::filesystem::path& file) {
    Sheet sheet;
    for (const std::string& line : SplitLines(ReadFileBytes(file))) {
        if (!line.starts_with("<TR>")) continue;
        if (line.ends_with("</TR>")) {
            sheet.Names = HtmlCells(line, "<TH>", "</TH>");
        } else {
            sheet.Rows.push_back(HtmlCells(line, "<TD>", "</TD>"));
        }
    }
    return sheet;
}

inline std::string RtfUnescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i).starts_with("\\line ")) {
            out += '\n';
            i += 5;
            continue;
        }
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

// A row's cells are the lines ending in "\cell " of the group that follows its \cellx lines.
inline Sheet ReadRtf(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> rows;
    bool inCells = false;
    std::string previous;
    for (const std::string& line : SplitLines(ReadFileBytes(file))) {
        if (line == "{" && (previous == RtfRowDefinition || previous.starts_with("\\cellx"))) {
            inCells = true;
            rows.emplace_back();
        } else if (line == "}") {
            inCells = false;
        } else if (inCells && line.ends_with("\\cell ")) {
            const std::string_view text = std::string_view(line).substr(0, line.size() - 6);
            rows.back().push_back(text == " " ? std::string() : RtfUnescaped(text));
        }
        previous = line;
    }
    Sheet sheet;
    if (!rows.empty()) {
        sheet.Names = rows.front();
        sheet.Rows.assign(rows.begin() + 1, rows.end());
    }
    return sheet;
}

}  // namespace quillet::testing
