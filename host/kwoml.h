// OML graph files: the keyword table, the syntax tree a file is parsed into,
// the parser and the writer.
//
// The text format (docs/oml-format.md has the full description):
//
//   # a comment runs to the end of the line
//   oml 1
//   graph {
//     node 1 {
//       name "a \"quoted\" name"
//       x -40
//       slayout {
//         constrained true
//       }
//     }
//   }
//
// A file is a sequence of lines. A field is a name and one value on a line of
// its own; a value is an integer, true or false, or a quoted string. A section
// is a name, an optional positive integer label and "{" at the end of the
// line, then its fields and sections, then "}" on a line of its own. Names are
// identifiers. Strings hold arbitrary bytes: quote, backslash, control
// characters and bytes that are not part of valid UTF-8 are written as escapes
// (\" \\ \n \t \r \xHH) and read back to the same bytes.
//
// Parsing never recurses: sections are nested with an explicit stack whose
// depth is limited, and lines, file size and numbers are range-checked, so no
// input can make the parser crash or run out of stack.
#ifndef KWOML_H
#define KWOML_H

#include <cstddef>
#include <memory>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/kwobject.h"

/// Where a file operation failed, and why.
struct KWFileError {
  std::string file;     ///< the file name (or the name given for a text)
  long line = 0;        ///< 1-based; 0 when the error is not tied to a place
  long column = 0;      ///< 1-based byte column; 0 when not tied to a place
  std::string message;  ///< what went wrong, or what was expected

  /// "file:line:column: message", leaving out what is not known.
  std::string text() const;
  void clear() { *this = KWFileError(); }
  /// Fills in the error and answers false, for "return err.set(...)".
  bool set(const std::string& f, long l, long c, const std::string& m);
};

/// What an OML keyword names.
enum KWOMLValueKind {
  KWOMLNoValue = 0,
  KWOMLInteger = 1,
  KWOMLBoolean = 2,
  KWOMLString = 3,
  KWOMLSection = 4
};

/// The indices of the keyword table. The indices of the layout styles'
/// settings are fixed by the file format; the others are this reader's own.
enum KWOMLKeywordIndex {
  KWOMLKeyUnknown = -1,
  KWOMLKeyOml = 1,
  KWOMLKeyGraph = 2,
  KWOMLKeyNode = 3,
  KWOMLKeyEdge = 4,
  KWOMLKeyName = 5,
  KWOMLKeyX = 6,
  KWOMLKeyY = 7,
  KWOMLKeyWidth = 8,
  KWOMLKeyHeight = 9,
  KWOMLKeyDummy = 10,
  KWOMLKeyFrom = 11,
  KWOMLKeyTo = 12,
  KWOMLKeyBend = 13,
  KWOMLKeyFromConnector = 14,
  KWOMLKeyToConnector = 15,
  KWOMLKeyDx = 16,
  KWOMLKeyDy = 17,
  KWOMLKeyKeepsConnectors = 18,
  KWOMLKeyHLayout = 21,  ///< hierarchic style section
  KWOMLKeyOLayout = 22,  ///< orthogonal style section
  KWOMLKeySLayout = 23,  ///< symmetric style section
  KWOMLKeyCLayout = 24,  ///< circular style section
  KWOMLKeyTLayout = 25,  ///< tree style section
  KWOMLKeyIncrementalWithinComponentLayout = 159,
  KWOMLKeyIncrementalDisconnectedNodesLayout = 160,
  KWOMLKeyIncrementalComponentsLayout = 161,
  KWOMLKeyNodeSpacing = 238,
  KWOMLKeyRandomSeed = 239,
  KWOMLKeyRouteEdges = 240,
  KWOMLKeyConstrained = 241
};

/// One entry of the keyword table.
struct KWOMLKeyword {
  const char* name;
  int index;
  KWOMLValueKind kind;  ///< the kind of value a field of this name holds, or KWOMLSection
  long minValue;        ///< integer fields: the smallest value accepted
  long maxValue;        ///< integer fields: the largest value accepted
  int style;            ///< style sections: the KWLayoutStyleEnum value they belong to, else 0
};

/// The keyword table: the names an OML file may use and their indices.
class KWOMLKeywords {
 public:
  /// The index of name, or -1 when it is not a keyword.
  static int indexOf(const char* name, std::size_t length);
  static int indexOf(const std::string& name) { return indexOf(name.data(), name.size()); }
  /// The entry with this index, or null.
  static const KWOMLKeyword* byIndex(int index);
  /// The layout style whose section this keyword names, or 0.
  static int sectionStyle(int index);
  /// The keyword index of the section of a layout style, or -1.
  static int styleSectionIndex(int style);
  /// Every entry, in ascending index order.
  static const KWOMLKeyword* entries(std::size_t& count);
};

/// A field of an OML file: a name and its value, and where it was read.
class KWOMLSyntaxField {
 public:
  KWOMLSyntaxField() = default;
  static KWOMLSyntaxField integer(const std::string& name, long value, long line = 0, long column = 0);
  static KWOMLSyntaxField boolean(const std::string& name, int value, long line = 0, long column = 0);
  static KWOMLSyntaxField string(const std::string& name, const std::string& value, long line = 0,
                                 long column = 0);

  /// The keyword index of the field's name, -1 when the name is not a keyword.
  int nameIndex() const { return nameIndex_; }
  const std::string& name() const { return name_; }
  /// The kind of the value as written: KWOMLInteger, KWOMLBoolean or KWOMLString.
  KWOMLValueKind kind() const { return kind_; }
  /// The integer value (0 when the value is not an integer).
  long intValue() const { return kind_ == KWOMLInteger ? int_ : 0; }
  /// 1 for true, 0 for false (0 when the value is not a boolean).
  int boolValue() const { return kind_ == KWOMLBoolean && int_ ? 1 : 0; }
  /// The bytes of a string value (empty when the value is not a string).
  const std::string& stringValue() const { return text_; }
  long line() const { return line_; }
  long column() const { return column_; }
  long valueColumn() const { return valueColumn_; }

 private:
  friend class KWOMLParser;
  std::string name_;
  std::string text_;
  long int_ = 0;
  long line_ = 0;
  long column_ = 0;
  long valueColumn_ = 0;
  int nameIndex_ = -1;
  KWOMLValueKind kind_ = KWOMLNoValue;
};

/// A section of an OML file: its name, label, fields and nested sections, in
/// the order of the file. The root object of a parsed file has an empty name
/// and holds the top-level items.
class KWOMLSyntaxObject {
 public:
  explicit KWOMLSyntaxObject(const std::string& name = std::string(), long label = 0, long line = 0,
                             long column = 0);
  KWOMLSyntaxObject(const KWOMLSyntaxObject&) = delete;
  KWOMLSyntaxObject& operator=(const KWOMLSyntaxObject&) = delete;

  /// The keyword index of the section's name, -1 when the name is not a keyword.
  int typeIndex() const { return typeIndex_; }
  const std::string& name() const { return name_; }
  /// The section's label (0 when it has none).
  long label() const { return label_; }
  long line() const { return line_; }
  long column() const { return column_; }
  /// The line of the closing bracket.
  long endLine() const { return endLine_; }

  const std::vector<KWOMLSyntaxField>& fields() const { return fields_; }
  std::vector<KWOMLSyntaxField>& fields() { return fields_; }
  const std::vector<std::unique_ptr<KWOMLSyntaxObject>>& objects() const { return objects_; }
  /// The first field with this keyword index, or null.
  const KWOMLSyntaxField* findField(int index) const;

  void addField(const KWOMLSyntaxField& f) { fields_.push_back(f); }
  KWOMLSyntaxObject* addObject(std::unique_ptr<KWOMLSyntaxObject> o);
  void endLine(long l) { endLine_ = l; }

 private:
  std::string name_;
  long label_;
  long line_;
  long column_;
  long endLine_ = 0;
  int typeIndex_;
  std::vector<KWOMLSyntaxField> fields_;
  std::vector<std::unique_ptr<KWOMLSyntaxObject>> objects_;
};

/// Limits that keep reading bounded whatever the input.
struct KWOMLLimits {
  long maxBytes = 512L * 1024 * 1024;  ///< size of the whole file
  long maxLineLength = 65536;          ///< bytes in one line, line end excluded
  int maxDepth = 16;                   ///< sections open at once
  long maxNodes = 1000000;
  long maxEdges = 4000000;
  long maxBends = 4000000;             ///< over all edges
};

/// Turns OML text into a syntax tree.
class KWOMLParser {
 public:
  /// Parses size bytes at data. On success fills root (which must be empty)
  /// with the top-level items and answers true; otherwise answers false with
  /// err naming sourceName, the line, the column and what was expected.
  static bool parse(const char* data, std::size_t size, const std::string& sourceName,
                    KWOMLSyntaxObject& root, KWFileError& err,
                    const KWOMLLimits& limits = KWOMLLimits());
  static bool parse(const std::string& text, const std::string& sourceName, KWOMLSyntaxObject& root,
                    KWFileError& err, const KWOMLLimits& limits = KWOMLLimits()) {
    return parse(text.data(), text.size(), sourceName, root, err, limits);
  }

  /// Reads a quoted string starting at s[pos] (which must be '"'). On success
  /// stores the bytes in out, sets pos behind the closing quote and answers
  /// null; otherwise answers what is wrong and sets pos at the offending byte.
  static const char* readQuoted(const char* s, std::size_t size, std::size_t& pos, std::string& out);
};

/// An OML file being written or read. While writing, it collects the text in
/// memory; the caller decides where it goes (see writeFileAtomically). Layout
/// styles reach it through their graph-file extensions.
class KWOMLFile : public KWObject {
 public:
  explicit KWOMLFile(const std::string& name = std::string());
  KWOMLFile(const KWOMLFile&) = delete;
  KWOMLFile& operator=(const KWOMLFile&) = delete;

  const std::string& name() const { return name_; }
  /// Whether values equal to the defaults are to be written anyway.
  int writeWithDefaults() const { return writeWithDefaults_; }
  void writeWithDefaults(int on) { writeWithDefaults_ = on ? 1 : 0; }

  // Writing. Every line is indented by two spaces per open section.
  void writeBlancLine();
  /// Starts a section: its name and, when label is positive, the label.
  /// writeOpeningBracket must follow.
  void writeSectionStart(const char* name, long label);
  void writeOpeningBracket();
  void writeClosingBracket();
  void writeAttribute(const char* name, long value);
  void writeBoolAttribute(const char* name, int value);
  void writeStringAttribute(const char* name, const std::string& value);
  void writeComment(const std::string& text);

  /// The text written so far.
  const std::string& contents() const { return text_; }
  /// Sections open now.
  int depth() const { return depth_; }
  /// False once a write broke the structure (a bracket without its section,
  /// a field inside an unfinished section start, a name that is not an
  /// identifier) or while sections are still open.
  bool wellFormed() const { return !broken_ && depth_ == 0 && !pendingSection_; }
  /// What broke the structure first (empty when nothing did).
  const std::string& problem() const { return problem_; }

  /// Appends value to out as a quoted string that reads back to the same bytes.
  static void appendQuoted(std::string& out, const std::string& value);
  /// Whether s is an identifier: a letter or '_', then letters, digits or '_'.
  static bool isIdentifier(const char* s);

 private:
  void indent();
  bool startLine(const char* name);
  void breakWith(const std::string& what);
  std::string name_;
  std::string text_;
  int depth_ = 0;
  bool pendingSection_ = false;
  bool broken_ = false;
  int writeWithDefaults_ = 0;
  std::string problem_;
};

/// Reads a whole file into bytes. Fails, with err set, when the file cannot be
/// opened or read or is longer than maxBytes.
bool kwReadWholeFile(const std::string& path, std::string& bytes, long maxBytes, KWFileError& err);
/// Reads a whole stream into bytes, the same way; name is what err calls it.
bool kwReadWholeStream(std::istream& in, const std::string& name, std::string& bytes, long maxBytes,
                       KWFileError& err);

/// Writes bytes to path through a temporary file in the same directory, which
/// is flushed to disk and renamed over path only when complete. On failure the
/// temporary file is removed, an existing file at path is left as it was, and
/// err says what went wrong. A symbolic link is followed and the file behind
/// it replaced; a directory is an error; an existing device, named pipe or
/// socket is not replaced but opened (connected to) and written in place.
bool kwWriteFileAtomically(const std::string& path, const std::string& bytes, KWFileError& err);

#endif
