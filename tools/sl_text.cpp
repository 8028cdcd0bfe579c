#include "sl_text.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <sstream>


#include "host/kwoml.h"
#include "sl_graph.h"

namespace kwslay {

namespace {
const char* const kReplacement = "\xEF\xBF\xBD";

// Length of the valid UTF-8 sequence at s[i] and its code point, or 0.
size_t utf8Sequence(const std::string& s, size_t i, unsigned long& cp) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t len;
  unsigned long min;
  if (c < 0x80) { cp = c; return 1; }
  if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
  else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
  else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
  else return 0;
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

// Characters XML 1.0 forbids in a document: most control characters and the
// two non-characters U+FFFE and U+FFFF.
bool forbiddenInXml(unsigned long cp) {
  return (cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r') || cp == 0xFFFE || cp == 0xFFFF;
}

// s rewritten one character at a time: every byte that does not start a valid
// UTF-8 sequence becomes U+FFFD, and every valid character cp is handed to
// put(out, cp), which either appends its replacement to out and answers true,
// or answers false to keep the character's bytes as they are.
template <typename Put>
std::string mapCharacters(const std::string& s, Put put) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned long cp = 0;
    size_t len = utf8Sequence(s, i, cp);
    if (len == 0) {
      out += kReplacement;
      ++i;
      continue;
    }
    if (!put(out, cp)) out.append(s, i, len);
    i += len;
  }
  return out;
}
}  // namespace

std::string validUtf8(const std::string& s) {
  return mapCharacters(s, [](std::string&, unsigned long) { return false; });
}

std::string cleanText(const std::string& s) {
  return mapCharacters(s, [](std::string& out, unsigned long cp) {
    if (!forbiddenInXml(cp)) return false;
    out += kReplacement;
    return true;
  });
}

std::string xmlEscape(const std::string& s) {
  return mapCharacters(s, [](std::string& out, unsigned long cp) {
    switch (cp) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      default:
        if (!forbiddenInXml(cp)) return false;
        out += kReplacement;
    }
    return true;
  });
}

std::string jsonEscape(const std::string& s) {
  return mapCharacters(s, [](std::string& out, unsigned long cp) {
    switch (cp) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default: {
        if (cp >= 0x20) return false;
        char buf[8];
        std::snprintf(buf, sizeof(buf), "\\u%04lx", cp);
        out += buf;
      }
    }
    return true;
  });
}

std::string numberText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%.2f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

void lineAndColumn(const std::string& text, size_t offset, long& line, long& column) {
  line = 1;
  column = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') { ++line; column = 1; }
    else ++column;
  }
}

namespace {
// Offset of the first character of the given 1-based line, npos when the text is shorter.
size_t lineStart(const std::string& text, long line) {
  size_t pos = 0;
  for (long l = 1; l < line; ++l) {
    pos = text.find('\n', pos);
    if (pos == std::string::npos) return pos;
    ++pos;
  }
  return pos;
}

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}
}  // namespace

long columnOf(const std::string& text, long line, const std::string& token) {
  if (line <= 0 || token.empty()) return 0;
  size_t start = lineStart(text, line);
  if (start == std::string::npos) return 0;
  size_t end = text.find('\n', start);
  if (end == std::string::npos) end = text.size();
  size_t at = text.find(token, start);
  if (at == std::string::npos || at + token.size() > end) return 0;
  return static_cast<long>(at - start) + 1;
}

bool findAttribute(const std::string& text, const std::string& name, const std::string& value, long& line,
                   long& column) {
  line = column = 0;
  if (name.empty()) return false;
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
    if (at > 0 && isNameChar(text[at - 1])) continue;
    size_t i = at + name.size();
    if (i < text.size() && isNameChar(text[i])) continue;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size() || text[i] != '=') continue;
    ++i;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    size_t v = i;
    if (i < text.size() && text[i] == '"') ++i;
    if (text.compare(i, value.size(), value) != 0) continue;
    lineAndColumn(text, v, line, column);
    return true;
  }
  return false;
}

std::string readInput(const std::string& path) {
  std::string text;
  KWFileError err;
  const bool ok = path == "-" ? kwReadWholeStream(std::cin, "<stdin>", text, kMaxInputBytes, err)
                              : kwReadWholeFile(path, text, kMaxInputBytes, err);
  if (!ok) throw InputError(err.file, 0, 0, err.message);
  return text;
}

}  // namespace kwslay
