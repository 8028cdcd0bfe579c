// Text helpers: escaping names for each output format, and finding places in
// an input text for error messages.
#ifndef KWSLAY_SL_TEXT_H
#define KWSLAY_SL_TEXT_H

#include <string>

namespace kwslay {

/// s with every byte sequence that is not UTF-8 replaced by U+FFFD.
std::string validUtf8(const std::string& s);
/// s as text that every output format holds as it is: byte sequences that
/// are not UTF-8 and the characters XML 1.0 forbids (most control
/// characters) replaced by U+FFFD. xmlEscape of such text reads back to it.
std::string cleanText(const std::string& s);
/// Character data or an attribute value for XML (SVG, GraphML): & < > " ' as
/// references, characters XML 1.0 forbids (most control characters) as U+FFFD.
std::string xmlEscape(const std::string& s);
/// The contents of a JSON string (without the quotes).
std::string jsonEscape(const std::string& s);

/// A coordinate as short text: an integer, or at most two decimals.
std::string numberText(double v);

/// 1-based line and column (in bytes) of offset in text.
void lineAndColumn(const std::string& text, size_t offset, long& line, long& column);
/// 1-based column of the first occurrence of token in the given line of text, 0 if none.
long columnOf(const std::string& text, long line, const std::string& token);
/// Finds "name = value" (value possibly quoted) in text and answers the
/// position of the value; false (line and column 0) when it is not found.
bool findAttribute(const std::string& text, const std::string& name, const std::string& value, long& line,
                   long& column);

/// The whole contents of a file, or of standard input for "-". Throws
/// InputError when it cannot be read.
std::string readInput(const std::string& path);

}  // namespace kwslay

#endif
