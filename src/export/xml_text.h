#pragma once

#include <string>
#include <string_view>

namespace quillet {

// The word the structure section gives a field type.
const char* XmlTypeWord(char type);

// Appends name (UTF-8) as a valid XML element name: characters a name cannot hold become "_",
// and "_" goes in front when the first character cannot start a name. Valid names stay as
// they are. ":" counts as invalid, since a namespace-aware reader would take it as a prefix.
void AppendXmlName(std::string& out, std::string_view name);

// Removes, in place, the characters XML 1.0 cannot carry at all (NUL, the C0 controls other
// than TAB, LF and CR, U+FFFE and U+FFFF) from UTF-8 text.
void DropXmlForbidden(std::string& text);

// Appends UTF-8 text as element content: "&", "<" and ">" as entities, CR as a character
// reference so that a reader's line-end normalisation cannot turn it into LF.
void AppendXmlContent(std::string& out, std::string_view text);

// Appends UTF-8 text as a double-quoted attribute value: as content, plus the double quote,
// TAB and LF as references (a reader would turn them into blanks otherwise).
void AppendXmlAttribute(std::string& out, std::string_view text);

}  // namespace quillet
