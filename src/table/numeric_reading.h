#pragma once

#include <string_view>

namespace quillet {

// The number at the start of a field's text, read the way dBASE-era BASIC reads it:
// blanks, tabs and line feeds anywhere are ignored; an optional sign, digits with at most
// one "." and an optional exponent (E or D, either case); &H and &O prefixes for hexadecimal
// and octal whole numbers. Reading stops at the first character that does not fit; a text
// that does not begin with a number reads as 0.
double NumericReading(std::string_view text);

}  // namespace quillet
