// The OML parser and the syntax tree it builds.
#include <climits>
#include <cstdio>
#include <string>

#include "host/kwoml.h"

// ---- KWFileError --------------------------------------------------------------

std::string KWFileError::text() const {
  std::string s = file.empty() ? std::string("<input>") : file;
  if (line > 0) {
    s += ':' + std::to_string(line);
    if (column > 0) s += ':' + std::to_string(column);
  }
  s += ": ";
  s += message;
  return s;
}

bool KWFileError::set(const std::string& f, long l, long c, const std::string& m) {
  file = f;
  line = l;
  column = c;
  message = m;
  return false;
}

// ---- syntax tree ----------------------------------------------------------------

KWOMLSyntaxField KWOMLSyntaxField::integer(const std::string& name, long value, long line, long column) {
  KWOMLSyntaxField f;
  f.name_ = name;
  f.nameIndex_ = KWOMLKeywords::indexOf(name);
  f.kind_ = KWOMLInteger;
  f.int_ = value;
  f.line_ = line;
  f.column_ = column;
  return f;
}

KWOMLSyntaxField KWOMLSyntaxField::boolean(const std::string& name, int value, long line, long column) {
  KWOMLSyntaxField f = integer(name, value ? 1 : 0, line, column);
  f.kind_ = KWOMLBoolean;
  return f;
}

KWOMLSyntaxField KWOMLSyntaxField::string(const std::string& name, const std::string& value, long line,
                                          long column) {
  KWOMLSyntaxField f = integer(name, 0, line, column);
  f.kind_ = KWOMLString;
  f.text_ = value;
  return f;
}

KWOMLSyntaxObject::KWOMLSyntaxObject(const std::string& name, long label, long line, long column)
    : name_(name), label_(label), line_(line), column_(column),
      typeIndex_(name.empty() ? -1 : KWOMLKeywords::indexOf(name)) {}

const KWOMLSyntaxField* KWOMLSyntaxObject::findField(int index) const {
  for (const KWOMLSyntaxField& f : fields_)
    if (f.nameIndex() == index) return &f;
  return nullptr;
}

KWOMLSyntaxObject* KWOMLSyntaxObject::addObject(std::unique_ptr<KWOMLSyntaxObject> o) {
  objects_.push_back(std::move(o));
  return objects_.back().get();
}

// ---- the parser ---------------------------------------------------------------------

namespace {

bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool isIdentStart(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isIdentChar(unsigned char c) { return isIdentStart(c) || (c >= '0' && c <= '9'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int hexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// How a byte is named in a message.
std::string describe(unsigned char c) {
  if (c >= 0x21 && c <= 0x7e) return std::string("'") + static_cast<char>(c) + "'";
  if (c == ' ') return "a space";
  char buf[16];
  std::snprintf(buf, sizeof buf, "byte 0x%02X", static_cast<unsigned>(c));
  return buf;
}

// One line being scanned: the bytes [0, end) of the line starting at base.
struct Line {
  const char* s;
  std::size_t end;
  std::size_t pos;
  long number;

  unsigned char at() const { return pos < end ? static_cast<unsigned char>(s[pos]) : 0; }
  bool atEnd() const { return pos >= end; }
  void skipSpace() { while (pos < end && isSpace(static_cast<unsigned char>(s[pos]))) ++pos; }
  // Whether nothing but spaces and a comment is left.
  bool restIsEmpty() {
    skipSpace();
    return atEnd() || s[pos] == '#';
  }
  long column() const { return static_cast<long>(pos) + 1; }
  std::string found() const { return atEnd() ? "the end of the line" : describe(at()); }
};

// Reads an optionally signed decimal integer. Answers null on success.
const char* readInteger(Line& ln, long& value) {
  bool negative = false;
  if (ln.at() == '-' || ln.at() == '+') {
    negative = ln.at() == '-';
    ++ln.pos;
  }
  if (!isDigit(ln.at())) return "expected a digit";
  // Accumulate as a negative number so that LONG_MIN is representable.
  long v = 0;
  while (isDigit(ln.at())) {
    int d = ln.at() - '0';
    if (v < (LONG_MIN + d) / 10) return "number out of range";
    v = v * 10 - d;
    ++ln.pos;
  }
  if (!negative) {
    if (v == LONG_MIN) return "number out of range";
    v = -v;
  }
  if (isIdentChar(ln.at())) return "expected a digit or the end of the number";
  value = v;
  return nullptr;
}

}  // namespace

const char* KWOMLParser::readQuoted(const char* s, std::size_t size, std::size_t& pos, std::string& out) {
  out.clear();
  if (pos >= size || s[pos] != '"') return "expected '\"'";
  ++pos;
  while (pos < size) {
    unsigned char c = static_cast<unsigned char>(s[pos]);
    if (c == '"') {
      ++pos;
      return nullptr;
    }
    if (c == '\n') return "unterminated string: expected '\"' before the end of the line";
    if (c < 0x20 || c == 0x7f) return "control character in a string (write it as \\xHH)";
    if (c != '\\') {
      out += static_cast<char>(c);
      ++pos;
      continue;
    }
    if (pos + 1 >= size || s[pos + 1] == '\n')
      return "unterminated string: expected '\"' before the end of the line";
    unsigned char e = static_cast<unsigned char>(s[pos + 1]);
    switch (e) {
      case '"': out += '"'; pos += 2; break;
      case '\\': out += '\\'; pos += 2; break;
      case 'n': out += '\n'; pos += 2; break;
      case 't': out += '\t'; pos += 2; break;
      case 'r': out += '\r'; pos += 2; break;
      case 'x': {
        int hi = pos + 2 < size ? hexValue(static_cast<unsigned char>(s[pos + 2])) : -1;
        int lo = pos + 3 < size ? hexValue(static_cast<unsigned char>(s[pos + 3])) : -1;
        if (hi < 0 || lo < 0) return "expected two hexadecimal digits after \\x";
        out += static_cast<char>(hi * 16 + lo);
        pos += 4;
        break;
      }
      default:
        return "unknown escape in a string (known: \\\" \\\\ \\n \\t \\r \\xHH)";
    }
  }
  return "unterminated string: expected '\"' before the end of the line";
}

bool KWOMLParser::parse(const char* data, std::size_t size, const std::string& sourceName,
                        KWOMLSyntaxObject& root, KWFileError& err, const KWOMLLimits& limits) {
  err.clear();
  if (!data) size = 0;
  if (limits.maxBytes >= 0 && size > static_cast<std::size_t>(limits.maxBytes))
    return err.set(sourceName, 0, 0,
                   "file is larger than the limit of " + std::to_string(limits.maxBytes) + " bytes");
  std::vector<KWOMLSyntaxObject*> open;  // the sections open now; root is not among them
  std::size_t start = 0;
  // A byte order mark at the very beginning is allowed and skipped.
  if (size >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
      static_cast<unsigned char>(data[1]) == 0xBB && static_cast<unsigned char>(data[2]) == 0xBF)
    start = 3;
  long lineNumber = 0;
  std::string text;
  while (start < size) {
    ++lineNumber;
    std::size_t nl = start;
    while (nl < size && data[nl] != '\n') ++nl;
    Line ln{data + start, nl - start, 0, lineNumber};
    start = nl + 1;
    if (static_cast<long>(ln.end) > limits.maxLineLength)
      return err.set(sourceName, lineNumber, limits.maxLineLength + 1,
                     "line longer than the limit of " + std::to_string(limits.maxLineLength) + " bytes");
    KWOMLSyntaxObject* current = open.empty() ? &root : open.back();

    if (ln.restIsEmpty()) continue;
    if (ln.at() == '}') {
      long col = ln.column();
      ++ln.pos;
      if (!ln.restIsEmpty())
        return err.set(sourceName, lineNumber, ln.column(),
                       "expected the end of the line after '}', found " + ln.found());
      if (open.empty())
        return err.set(sourceName, lineNumber, col, "'}' without an open section");
      open.back()->endLine(lineNumber);
      open.pop_back();
      continue;
    }
    if (!isIdentStart(ln.at()))
      return err.set(sourceName, lineNumber, ln.column(),
                     "expected a field or section name, '}' or a comment, found " + ln.found());
    long nameColumn = ln.column();
    std::size_t nameStart = ln.pos;
    while (isIdentChar(ln.at())) ++ln.pos;
    std::string name(ln.s + nameStart, ln.pos - nameStart);
    ln.skipSpace();

    long label = 0;
    bool hasLabel = false;
    KWOMLSyntaxField field;
    if (ln.at() != '{') {
      if (ln.atEnd() || ln.at() == '#')
        return err.set(sourceName, lineNumber, ln.column(),
                       "expected a value or '{' after '" + name + "', found the end of the line");
      field.name_ = name;
      field.nameIndex_ = KWOMLKeywords::indexOf(name);
      field.line_ = lineNumber;
      field.column_ = nameColumn;
      field.valueColumn_ = ln.column();
      unsigned char c = ln.at();
      if (c == '"') {
        std::size_t p = ln.pos;
        if (const char* why = readQuoted(ln.s, ln.end, p, text)) {
          ln.pos = p < ln.end ? p : ln.end;
          return err.set(sourceName, lineNumber, ln.column(), why);
        }
        ln.pos = p;
        field.kind_ = KWOMLString;
        field.text_ = text;
      } else if (c == '-' || c == '+' || isDigit(c)) {
        long v = 0;
        if (const char* why = readInteger(ln, v))
          return err.set(sourceName, lineNumber, ln.column(), std::string(why) + " in the value of '" + name + "'");
        field.kind_ = KWOMLInteger;
        field.int_ = v;
        ln.skipSpace();
        if (ln.at() == '{') {
          if (v < 1 || v > INT_MAX)
            return err.set(sourceName, lineNumber, field.valueColumn_,
                           "a section label must be an integer from 1 to 2147483647");
          hasLabel = true;
          label = v;
        }
      } else if (isIdentStart(c)) {
        std::size_t ws = ln.pos;
        while (isIdentChar(ln.at())) ++ln.pos;
        std::string word(ln.s + ws, ln.pos - ws);
        if (word != "true" && word != "false") {
          ln.pos = ws;
          return err.set(sourceName, lineNumber, ln.column(),
                         "expected a value (an integer, true, false or a quoted string) after '" + name +
                             "', found '" + word + "'");
        }
        field.kind_ = KWOMLBoolean;
        field.int_ = word == "true" ? 1 : 0;
      } else {
        return err.set(sourceName, lineNumber, ln.column(),
                       "expected a value (an integer, true, false or a quoted string) or '{' after '" + name +
                           "', found " + ln.found());
      }
      if (!hasLabel) {
        if (!ln.restIsEmpty())
          return err.set(sourceName, lineNumber, ln.column(),
                         "expected the end of the line after the value of '" + name + "', found " + ln.found());
        current->addField(field);
        continue;
      }
    }
    // A section: ln is at '{'.
    ++ln.pos;
    if (!ln.restIsEmpty())
      return err.set(sourceName, lineNumber, ln.column(),
                     "expected the end of the line after '{', found " + ln.found());
    if (static_cast<long>(open.size()) >= limits.maxDepth)
      return err.set(sourceName, lineNumber, nameColumn,
                     "sections nested deeper than the limit of " + std::to_string(limits.maxDepth));
    open.push_back(current->addObject(
        std::unique_ptr<KWOMLSyntaxObject>(new KWOMLSyntaxObject(name, hasLabel ? label : 0, lineNumber, nameColumn))));
  }
  if (!open.empty()) {
    // A file ending with a line end has its end on the line after the last one.
    long endLine = (size > 0 && data[size - 1] == '\n') ? lineNumber + 1 : lineNumber;
    long endColumn = 1;
    if (size > 0 && data[size - 1] != '\n') {
      std::size_t b = size;
      while (b > 0 && data[b - 1] != '\n') --b;
      endColumn = static_cast<long>(size - b) + 1;
    }
    KWOMLSyntaxObject* o = open.back();
    return err.set(sourceName, endLine, endColumn,
                   "unexpected end of file: section '" + o->name() + "' opened at line " +
                       std::to_string(o->line()) + " is not closed (expected '}')");
  }
  return true;
}
