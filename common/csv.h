#pragma once

// CSV cells as spreadsheets read them: RFC 4180 quoting, and text that cannot turn into a
// formula. Reports and recordings are opened in spreadsheets, and their text cells carry
// words from outside (a file name, a port, the driver's program name): a spreadsheet takes
// a cell that starts with =, +, -, @, a tab or a carriage return for a formula, so such a
// text cell starts with an apostrophe, which spreadsheets show as text. Numbers the product
// writes itself stay numbers.

#include <string>
#include <string_view>

namespace kivra::csv {

// A number or a word of our own: quoted only when it holds a comma, a quote or a line
// break.
std::string Field(std::string_view value);

// A text cell: an apostrophe before a formula's first character, then quoted as Field.
std::string TextField(std::string_view text);

}  // namespace kivra::csv
