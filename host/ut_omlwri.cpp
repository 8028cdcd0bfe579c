// The OML writer.
#include <cstdio>
#include <cstring>

#include "host/kwoml.h"

namespace {

// Length of the valid UTF-8 sequence starting at s[i] (a byte >= 0x80), or 0
// when the bytes there are not one: a stray continuation byte, a truncated or
// overlong sequence, a surrogate or a code point above U+10FFFF.
std::size_t utf8Length(const std::string& s, std::size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t n;
  unsigned long cp;
  if (c >= 0xC2 && c <= 0xDF) { n = 2; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; cp = c & 0x07; }
  else return 0;
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    const unsigned char d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000)) return 0;  // overlong
  if (cp >= 0xD800 && cp <= 0xDFFF) return 0;                           // surrogate
  if (cp > 0x10FFFF) return 0;
  return n;
}

}  // namespace

KWOMLFile::KWOMLFile(const std::string& name) : name_(name) {}

bool KWOMLFile::isIdentifier(const char* s) {
  if (!s || !*s) return false;
  auto start = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!start(*s)) return false;
  for (++s; *s; ++s)
    if (!start(*s) && !(*s >= '0' && *s <= '9')) return false;
  return true;
}

void KWOMLFile::appendQuoted(std::string& out, const std::string& value) {
  out += '"';
  for (std::size_t i = 0; i < value.size();) {
    const unsigned char c = static_cast<unsigned char>(value[i]);
    if (c == '"') { out += "\\\""; ++i; continue; }
    if (c == '\\') { out += "\\\\"; ++i; continue; }
    if (c == '\n') { out += "\\n"; ++i; continue; }
    if (c == '\t') { out += "\\t"; ++i; continue; }
    if (c == '\r') { out += "\\r"; ++i; continue; }
    if (c >= 0x20 && c < 0x7f) { out += static_cast<char>(c); ++i; continue; }
    if (c >= 0x80) {
      if (std::size_t n = utf8Length(value, i)) {
        out.append(value, i, n);
        i += n;
        continue;
      }
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", static_cast<unsigned>(c));
    out += buf;
    ++i;
  }
  out += '"';
}

void KWOMLFile::breakWith(const std::string& what) {
  if (!broken_) problem_ = what;
  broken_ = true;
}

void KWOMLFile::indent() { text_.append(static_cast<std::size_t>(depth_) * 2, ' '); }

bool KWOMLFile::startLine(const char* name) {
  if (pendingSection_) breakWith("a line written between a section's name and its opening bracket");
  if (!isIdentifier(name)) {
    breakWith(std::string("'") + (name ? name : "(null)") + "' is not a name");
    return false;
  }
  indent();
  text_ += name;
  return true;
}

void KWOMLFile::writeBlancLine() {
  if (pendingSection_) breakWith("an empty line written between a section's name and its opening bracket");
  text_ += '\n';
}

void KWOMLFile::writeSectionStart(const char* name, long label) {
  if (!startLine(name)) return;
  if (label > 0) {
    text_ += ' ';
    text_ += std::to_string(label);
  }
  pendingSection_ = true;
}

void KWOMLFile::writeOpeningBracket() {
  if (!pendingSection_) {
    breakWith("an opening bracket without a section name");
    return;
  }
  pendingSection_ = false;
  text_ += " {\n";
  ++depth_;
}

void KWOMLFile::writeClosingBracket() {
  if (pendingSection_) breakWith("a closing bracket between a section's name and its opening bracket");
  if (depth_ == 0) {
    breakWith("a closing bracket without an open section");
    return;
  }
  --depth_;
  indent();
  text_ += "}\n";
}

void KWOMLFile::writeAttribute(const char* name, long value) {
  if (!startLine(name)) return;
  text_ += ' ';
  text_ += std::to_string(value);
  text_ += '\n';
}

void KWOMLFile::writeBoolAttribute(const char* name, int value) {
  if (!startLine(name)) return;
  text_ += value ? " true\n" : " false\n";
}

void KWOMLFile::writeStringAttribute(const char* name, const std::string& value) {
  if (!startLine(name)) return;
  text_ += ' ';
  appendQuoted(text_, value);
  text_ += '\n';
}

void KWOMLFile::writeComment(const std::string& text) {
  if (pendingSection_) breakWith("a comment written between a section's name and its opening bracket");
  // One comment line per line of text; a comment cannot end early.
  std::size_t b = 0;
  do {
    std::size_t e = text.find('\n', b);
    if (e == std::string::npos) e = text.size();
    indent();
    text_ += '#';
    if (e > b) {
      text_ += ' ';
      text_.append(text, b, e - b);
    }
    text_ += '\n';
    b = e + 1;
  } while (b <= text.size());
}
