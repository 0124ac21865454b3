#pragma once

// Reads an XML export back through xmllint: xmllint parses the file (a document it rejects
// fails the test) and prints its canonical form, whose few fixed shapes a small parser can
// take apart safely: no declaration, no comments, no empty-element tags, character data with
// only &amp; &lt; &gt; and &#xD;, attribute values in double quotes.

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_program.h"
#include "support/sheet.h"
#include "table/code_page.h"

namespace quillet::testing {

struct XmlElement {
    std::string Name;
    std::string Text;  // the character data directly inside, references resolved
    std::vector<XmlElement> Children;

    const XmlElement& Child(std::string_view name) const {
        for (const XmlElement& child : Children) {
            if (child.Name == name) return child;
        }
        throw std::runtime_error("<" + Name + "> has no <" + std::string(name) + ">");
    }
};

// Canonical character data up to the next tag, references resolved.
inline void AppendCanonicalText(std::string& out, std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '&') {
            out += text[i++];
            continue;
        }
        const std::size_t end = text.find(';', i);
        if (end == std::string_view::npos) throw std::runtime_error("unterminated reference");
        const std::string_view reference = text.substr(i + 1, end - i - 1);
        if (reference == "amp") {
            out += '&';
        } else if (reference == "lt") {
            out += '<';
        } else if (reference == "gt") {
            out += '>';
        } else if (reference.starts_with("#x")) {
            AppendUtf8CodePoint(out, static_cast<char32_t>(std::stoul(std::string(reference.substr(2)), nullptr, 16)));
        } else {
            throw std::runtime_error("unexpected reference &" + std::string(reference) + ";");
        }
        i = end + 1;
    }
}

// The element whose start tag begins at text[at]; at ends past its end tag.
inline XmlElement ParseCanonicalElement(std::string_view text, std::size_t& at) {
    XmlElement element;
    const std::size_t nameEnd = text.find_first_of(" >", at + 1);
    if (nameEnd == std::string_view::npos) throw std::runtime_error("unterminated start tag");
    element.Name = text.substr(at + 1, nameEnd - at - 1);
    at = nameEnd;
    for (bool quoted = false; at < text.size() && (quoted || text[at] != '>'); ++at) {
        if (text[at] == '"') quoted = !quoted;
    }
    ++at;
    while (at < text.size()) {
        if (text[at] != '<') {
            const std::size_t next = text.find('<', at);
            AppendCanonicalText(element.Text, text.substr(at, next - at));
            at = next;
        } else if (text.substr(at, 2) == "</") {
            const std::string end = "</" + element.Name + ">";
            if (text.substr(at, end.size()) != end) throw std::runtime_error("<" + element.Name + "> ends wrongly");
            at += end.size();
            return element;
        } else if (text.substr(at, 2) == "<?" || text.substr(at, 2) == "<!") {
            throw std::runtime_error("unexpected markup in canonical XML");
        } else {
            element.Children.push_back(ParseCanonicalElement(text, at));
        }
    }
    throw std::runtime_error("<" + element.Name + "> is never closed");
}

// Names from the structure section, rows from the records; every cell element must carry
// the name its column has in the structure.
inline Sheet ReadXml(const std::filesystem::path& file) {
    Sheet sheet;
    const ProgramRun run = RunProgram("xmllint --c14n " + ShellQuoted(file.string()));
    if (run.ExitCode != 0 || !run.Output.starts_with('<')) {
        ADD_FAILURE() << "xmllint rejects " << file << ": " << run.Output;
        return sheet;
    }
    try {
        std::size_t at = 0;
        const XmlElement root = ParseCanonicalElement(run.Output, at);
        if (root.Name != "Root") throw std::runtime_error("the root is <" + root.Name + ">");
        auto expect = [](const XmlElement& element, std::string_view name) {
            if (element.Name != name) throw std::runtime_error("<" + element.Name + "> where <" + std::string(name) + "> belongs");
        };
        for (const XmlElement& field : root.Child("Structure").Children) {
            expect(field, "Field");
            sheet.Names.push_back(field.Child("Field_Name").Text);
        }
        for (const XmlElement& record : root.Child("Records").Children) {
            expect(record, "Record");
            std::vector<std::string>& row = sheet.Rows.emplace_back();
            for (const XmlElement& cell : record.Children) {
                if (row.size() >= sheet.Names.size() || cell.Name != sheet.Names[row.size()]) {
                    throw std::runtime_error("cell <" + cell.Name + "> of record " + std::to_string(sheet.Rows.size()) +
                                             " is not the next column of the structure");
                }
                row.push_back(cell.Text);
            }
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << file << ": " << e.what() << "\n" << run.Output;
    }
    return sheet;
}

}  // namespace quillet::testing
