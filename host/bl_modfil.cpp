// Legacy model files.
#include "host/kwmodfil.h"

#include <strings.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "host/kwbgraph.h"
#include "host/kwdgraph.h"
#include "host/kwgfile.h"

// ---- KWModelFile -----------------------------------------------------------------------------

KWModelFile::KWModelFile(const std::string& name, KWDGraph* graph) : name_(name), graph_(graph) {}

void KWModelFile::currentLine(Part part, long line, const std::string& keyWord) {
  part_ = part;
  line_ = line;
  key_.set("// " + keyWord);
}

int KWModelFile::readTrueOrFalse(const char* value) const {
  if (!value) return 0;
  while (*value == ' ' || *value == '\t') ++value;
  if (*value == '-' || *value == '+' || (*value >= '0' && *value <= '9')) return std::strtol(value, nullptr, 10) != 0;
  std::size_t n = 0;
  while (std::isalpha(static_cast<unsigned char>(value[n]))) ++n;
  auto is = [value, n](const char* word) { return std::strlen(word) == n && strncasecmp(value, word, n) == 0; };
  return (is("true") || is("yes") || is("on")) ? 1 : 0;
}

// ---- KWModelFileExtension ----------------------------------------------------------------------

int KWModelFileExtension::readCurrentLine(const char* value) {
  if (!file_) return 0;
  switch (file_->currentPart()) {
    case KWModelFile::KWModelTailoringPart: return readTailoring(value);
    case KWModelFile::KWModelExpertPart: return readExpert(value);
    case KWModelFile::KWModelDerivedPart: return readDerivedSpecific(value);
    case KWModelFile::KWModelNodePart: return readNode(value);
    case KWModelFile::KWModelEdgePart: return readEdge(value);
    default: return 0;
  }
}

int KWModelFileExtension::readExpert(const char*) { return 0; }
int KWModelFileExtension::readTailoring(const char*) { return 0; }
int KWModelFileExtension::readDerivedSpecific(const char*) { return 0; }
int KWModelFileExtension::readNode(const char*) { return 0; }
int KWModelFileExtension::readEdge(const char*) { return 0; }

// ---- the reader ------------------------------------------------------------------------------------

namespace {

const long kCoordinate = 1000000000L;
const long kMaxWarnings = 100;

enum RecordKind { kSlash, kModel, kGraph, kExpert, kDerived, kNode, kEdge, kBend, kConnector };

struct Token {
  std::string text;
  long column;
};

struct Record {
  RecordKind kind;
  long line;
  long column;
  std::vector<Token> args;
  std::string key;    // double-slash lines: the key word
  std::string value;  // double-slash lines: the value text
  long numbers[4] = {0, 0, 0, 0};
  bool flag = false;  // node: dummy; connector: the target side
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

class ModelParser {
 public:
  ModelParser(const std::string& source, KWFileError& err, const KWOMLLimits& limits)
      : source_(source), err_(err), limits_(limits) {}
  bool parse(const std::string& text, std::vector<Record>& records);

 private:
  bool fail(long line, long column, const std::string& m) { return err_.set(source_, line, column, m); }
  bool tokenize(const char* s, std::size_t end, std::size_t pos, long line, std::vector<Token>& out);
  bool number(const Record& r, std::size_t i, long lo, long hi, const char* what, long& v);
  bool check(Record& r);

  const std::string& source_;
  KWFileError& err_;
  const KWOMLLimits& limits_;
  bool haveModel_ = false;
  bool haveGraph_ = false;
  RecordKind last_ = kModel;  // the last record that starts a part
  bool connector_[2] = {false, false};
  long nodes_ = 0, edges_ = 0, bends_ = 0;
  std::unordered_map<std::string, long> names_;
};

bool ModelParser::tokenize(const char* s, std::size_t end, std::size_t pos, long line, std::vector<Token>& out) {
  while (true) {
    while (pos < end && isBlank(s[pos])) ++pos;
    if (pos >= end || s[pos] == '#') return true;
    Token t;
    t.column = static_cast<long>(pos) + 1;
    if (s[pos] == '"') {
      std::size_t p = pos;
      if (const char* why = KWOMLParser::readQuoted(s, end, p, t.text))
        return fail(line, static_cast<long>(p < end ? p : end) + 1, why);
      pos = p;
      if (pos < end && !isBlank(s[pos]))
        return fail(line, static_cast<long>(pos) + 1, "expected a space after the quoted name");
    } else {
      std::size_t b = pos;
      while (pos < end && !isBlank(s[pos])) {
        unsigned char c = static_cast<unsigned char>(s[pos]);
        if (c < 0x20 || c == 0x7f)
          return fail(line, static_cast<long>(pos) + 1, "control character in a record (quote the name and write it as \\xHH)");
        ++pos;
      }
      t.text.assign(s + b, pos - b);
    }
    out.push_back(t);
  }
}

bool ModelParser::number(const Record& r, std::size_t i, long lo, long hi, const char* what, long& v) {
  const Token& t = r.args[i];
  const char* p = t.text.c_str();
  if (*p == '+' || *p == '-') ++p;
  bool digits = *p != '\0';
  for (; *p; ++p) digits = digits && *p >= '0' && *p <= '9';
  if (!digits)
    return fail(r.line, t.column, std::string("expected an integer for ") + what + ", found '" + t.text + "'");
  errno = 0;
  long x = std::strtol(t.text.c_str(), nullptr, 10);
  if (errno == ERANGE || x < lo || x > hi)
    return fail(r.line, t.column, std::string("the ") + what + " " + t.text + " is out of range (" +
                                      std::to_string(lo) + " to " + std::to_string(hi) + ")");
  v = x;
  return true;
}

bool ModelParser::check(Record& r) {
  auto count = [&](std::size_t lo, std::size_t hi, const char* usage) {
    if (r.args.size() >= lo && r.args.size() <= hi) return true;
    long col = r.args.size() > hi ? r.args[hi].column : r.column;
    return fail(r.line, col, std::string(r.args.size() > hi ? "too many values" : "too few values") +
                                 " (expected '" + usage + "')");
  };
  if (r.kind != kModel && !haveModel_) return fail(r.line, r.column, "not a model file: expected 'model 1' first");
  if (r.kind != kModel && r.kind != kGraph && r.kind != kSlash && !haveGraph_)
    return fail(r.line, r.column, "expected the 'graph' record before this one");
  switch (r.kind) {
    case kSlash:
      if (!haveGraph_) return fail(r.line, r.column, "a '//' line must follow a graph, expert, derived, node or edge record");
      return true;
    case kModel:
      if (haveModel_) return fail(r.line, r.column, "'model' given twice");
      if (!count(1, 1, "model 1") || !number(r, 0, 0, LONG_MAX, "version", r.numbers[0])) return false;
      if (r.numbers[0] != 1) return fail(r.line, r.args[0].column, "unsupported model file version (this reader knows version 1)");
      haveModel_ = true;
      return true;
    case kGraph:
      if (haveGraph_) return fail(r.line, r.column, "a model file holds one graph; 'graph' given twice");
      if (!count(0, 0, "graph")) return false;
      haveGraph_ = true;
      last_ = kGraph;
      return true;
    case kExpert:
    case kDerived:
      if (!count(0, 0, r.kind == kExpert ? "expert" : "derived")) return false;
      last_ = r.kind;
      return true;
    case kNode: {
      if (!count(5, 6, "node NAME X Y WIDTH HEIGHT [dummy]")) return false;
      if (++nodes_ > limits_.maxNodes)
        return fail(r.line, r.column, "more nodes than the limit of " + std::to_string(limits_.maxNodes));
      if (!number(r, 1, -kCoordinate, kCoordinate, "x coordinate", r.numbers[0]) ||
          !number(r, 2, -kCoordinate, kCoordinate, "y coordinate", r.numbers[1]) ||
          !number(r, 3, 0, kCoordinate, "width", r.numbers[2]) ||
          !number(r, 4, 0, kCoordinate, "height", r.numbers[3]))
        return false;
      if (r.args.size() == 6) {
        if (r.args[5].text != "dummy")
          return fail(r.line, r.args[5].column, "expected 'dummy' or the end of the line, found '" + r.args[5].text + "'");
        r.flag = true;
      }
      auto it = names_.find(r.args[0].text);
      if (it != names_.end())
        return fail(r.line, r.args[0].column, "node name '" + r.args[0].text + "' used twice (first at line " +
                                                  std::to_string(it->second) + ")");
      names_.emplace(r.args[0].text, r.line);
      last_ = kNode;
      return true;
    }
    case kEdge:
      if (!count(3, 3, "edge NAME FROM TO")) return false;
      if (++edges_ > limits_.maxEdges)
        return fail(r.line, r.column, "more edges than the limit of " + std::to_string(limits_.maxEdges));
      for (std::size_t i = 1; i < 3; ++i)
        if (!names_.count(r.args[i].text))
          return fail(r.line, r.args[i].column, "no node named '" + r.args[i].text + "' before this line");
      connector_[0] = connector_[1] = false;
      last_ = kEdge;
      return true;
    case kBend:
      if (last_ != kEdge) return fail(r.line, r.column, "a 'bend' record must follow an edge record");
      if (!count(2, 2, "bend X Y")) return false;
      if (++bends_ > limits_.maxBends)
        return fail(r.line, r.column, "more bends than the limit of " + std::to_string(limits_.maxBends));
      return number(r, 0, -kCoordinate, kCoordinate, "x coordinate", r.numbers[0]) &&
             number(r, 1, -kCoordinate, kCoordinate, "y coordinate", r.numbers[1]);
    case kConnector: {
      if (last_ != kEdge) return fail(r.line, r.column, "a 'connector' record must follow an edge record");
      if (!count(3, 3, "connector from|to DX DY")) return false;
      if (r.args[0].text != "from" && r.args[0].text != "to")
        return fail(r.line, r.args[0].column, "expected 'from' or 'to', found '" + r.args[0].text + "'");
      r.flag = r.args[0].text == "to";
      if (connector_[r.flag ? 1 : 0]) return fail(r.line, r.column, "this edge's '" + r.args[0].text + "' connector is given twice");
      connector_[r.flag ? 1 : 0] = true;
      return number(r, 1, -kCoordinate, kCoordinate, "x offset", r.numbers[0]) &&
             number(r, 2, -kCoordinate, kCoordinate, "y offset", r.numbers[1]);
    }
  }
  return true;
}

bool ModelParser::parse(const std::string& text, std::vector<Record>& records) {
  err_.clear();
  if (static_cast<long>(text.size()) > limits_.maxBytes)
    return fail(0, 0, "file is larger than the limit of " + std::to_string(limits_.maxBytes) + " bytes");
  const char* data = text.data();
  const std::size_t size = text.size();
  std::size_t start = 0;
  if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) start = 3;
  long lineNumber = 0;
  while (start < size) {
    ++lineNumber;
    std::size_t nl = start;
    while (nl < size && data[nl] != '\n') ++nl;
    const char* s = data + start;
    const std::size_t end = nl - start;
    start = nl + 1;
    if (static_cast<long>(end) > limits_.maxLineLength)
      return fail(lineNumber, limits_.maxLineLength + 1,
                  "line longer than the limit of " + std::to_string(limits_.maxLineLength) + " bytes");
    std::size_t pos = 0;
    while (pos < end && isBlank(s[pos])) ++pos;
    if (pos >= end || s[pos] == '#') continue;
    Record r;
    r.line = lineNumber;
    r.column = static_cast<long>(pos) + 1;
    if (end - pos >= 2 && s[pos] == '/' && s[pos + 1] == '/') {
      r.kind = kSlash;
      pos += 2;
      while (pos < end && isBlank(s[pos])) ++pos;
      std::size_t k = pos;
      while (pos < end && !isBlank(s[pos])) ++pos;
      if (pos == k) return fail(lineNumber, static_cast<long>(k) + 1, "expected a key after '//'");
      r.key.assign(s + k, pos - k);
      while (pos < end && isBlank(s[pos])) ++pos;
      std::size_t e = end;
      while (e > pos && isBlank(s[e - 1])) --e;
      r.value.assign(s + pos, e - pos);
      // The value text reaches the styles as a C string: it cannot hold a zero byte.
      if (r.value.find('\0') != std::string::npos)
        return fail(lineNumber, static_cast<long>(pos + r.value.find('\0')) + 1, "zero byte in a value text");
    } else {
      std::size_t k = pos;
      while (pos < end && !isBlank(s[pos])) ++pos;
      const std::string word(s + k, pos - k);
      static const struct { const char* name; RecordKind kind; } kWords[] = {
          {"model", kModel}, {"graph", kGraph}, {"expert", kExpert}, {"derived", kDerived},
          {"node", kNode},   {"edge", kEdge},   {"bend", kBend},     {"connector", kConnector}};
      bool known = false;
      for (const auto& w : kWords)
        if (word == w.name) {
          r.kind = w.kind;
          known = true;
        }
      if (!known)
        return fail(lineNumber, r.column,
                    "unknown record '" + word +
                        "' (expected model, graph, expert, derived, node, edge, bend, connector or a '//' line)");
      if (!tokenize(s, end, pos, lineNumber, r.args)) return false;
    }
    if (!check(r)) return false;
    records.push_back(std::move(r));
  }
  if (!haveModel_) return fail(1, 1, "not a model file: expected 'model 1' first");
  if (!haveGraph_) return fail(lineNumber + 1, 1, "unexpected end of file: no 'graph' record");
  return true;
}

/// Hands the double-slash lines to the styles' extensions and, when building,
/// creates the graph's nodes and edges.
class ModelApplier {
 public:
  ModelApplier(const std::string& source, KWDGraph& graph, std::vector<std::string>* warnings)
      : source_(source), file_(source, &graph), warnings_(warnings) {
    for (int s = 1; s < KWNumberOfLayoutStyles; ++s) {
      KWBGraph* b = KWBGraph::of(&graph, static_cast<KWLayoutStyleEnum>(s));
      if (KWModelFileExtension* x = b ? b->newModelFileExtension(&file_) : nullptr)
        extensions_.emplace_back(x);
    }
  }
  /// What one pass over the records applies: the drawing (nodes, edges, bends,
  /// connectors and the lines under them) or the graph-level setting lines.
  enum Pass { kDrawing, kSettings };
  void run(const std::vector<Record>& records, Pass pass);

 private:
  void warn(const Record& r, const std::string& m);

  const std::string& source_;
  KWModelFile file_;
  std::vector<std::string>* warnings_;
  std::vector<std::unique_ptr<KWModelFileExtension>> extensions_;
  long warningCount_ = 0;
};

void ModelApplier::warn(const Record& r, const std::string& m) {
  ++warningCount_;
  if (!warnings_) return;
  if (warningCount_ <= kMaxWarnings) {
    KWFileError w;
    w.set(source_, r.line, r.column, m);
    warnings_->push_back(w.text());
  } else if (warningCount_ == kMaxWarnings + 1) {
    warnings_->push_back(source_ + ": further warnings left out");
  }
}

void ModelApplier::run(const std::vector<Record>& records, Pass pass) {
  const bool build = pass == kDrawing;
  KWDGraph& g = *file_.pGraph();
  std::unordered_map<std::string, KWDNode*> byName;
  KWModelFile::Part part = KWModelFile::KWModelNoPart;
  for (const Record& r : records) {
    switch (r.kind) {
      case kModel: break;
      case kGraph: part = KWModelFile::KWModelTailoringPart; break;
      case kExpert: part = KWModelFile::KWModelExpertPart; break;
      case kDerived: part = KWModelFile::KWModelDerivedPart; break;
      case kNode:
        part = KWModelFile::KWModelNodePart;
        if (build) {
          KWDNode* n = g.newNode(r.numbers[0], r.numbers[1], r.numbers[2], r.numbers[3], r.args[0].text);
          if (r.flag) n->dummy(true);
          byName[r.args[0].text] = n;
          file_.pLastNode(n);
        }
        break;
      case kEdge:
        part = KWModelFile::KWModelEdgePart;
        if (build) file_.pLastEdge(g.newEdge(byName[r.args[1].text], byName[r.args[2].text], r.args[0].text));
        break;
      case kBend:
        if (build) file_.pLastEdge()->ntAppendBend(KWPoint(r.numbers[0], r.numbers[1]));
        break;
      case kConnector:
        if (build) {
          KWConnector* c = new KWConnector(r.numbers[0], r.numbers[1], true);
          if (r.flag) file_.pLastEdge()->pToConnector(c);
          else file_.pLastEdge()->pFromConnector(c);
        }
        break;
      case kSlash: {
        const bool graphLevel = part == KWModelFile::KWModelTailoringPart || part == KWModelFile::KWModelExpertPart ||
                                part == KWModelFile::KWModelDerivedPart;
        if (build == graphLevel) break;
        file_.currentLine(part, r.line, r.key);
        int taken = 0;
        for (std::size_t i = 0; i < extensions_.size() && !taken; ++i)
          taken = extensions_[i]->readCurrentLine(r.value.c_str());
        if (!taken) warn(r, "'// " + r.key + "' is not a setting of any layout style of the graph; line ignored");
        break;
      }
    }
  }
  file_.currentLine(KWModelFile::KWModelNoPart, 0, std::string());
}

}  // namespace

bool readModelFileFromString(const std::string& text, const std::string& sourceName, KWDGraph& target,
                             KWFileError& err, std::vector<std::string>* warnings, const KWOMLLimits& limits) {
  err.clear();
  if (target.layoutRunning()) return err.set(sourceName, 0, 0, "cannot read into a graph while it is being laid out");
  std::vector<Record> records;
  ModelParser parser(sourceName, err, limits);
  if (!parser.parse(text, records)) return false;
  std::unique_ptr<KWDGraph> fresh(kwNewGraphLike(target));
  {
    ModelApplier applier(sourceName, *fresh, warnings);
    applier.run(records, ModelApplier::kDrawing);
  }
  kwHandOverGraph(*fresh, target);
  // The settings go to target's own tailors through their setters: target
  // keeps what the file leaves out and hears of each value that changes.
  ModelApplier settings(sourceName, target, warnings);
  settings.run(records, ModelApplier::kSettings);
  return true;
}

bool readModelFile(const std::string& path, KWDGraph& target, KWFileError& err, std::vector<std::string>* warnings,
                   const KWOMLLimits& limits) {
  std::string bytes;
  if (!kwReadWholeFile(path, bytes, limits.maxBytes, err)) return false;
  return readModelFileFromString(bytes, path, target, err, warnings, limits);
}

bool applyModelFileTailoringFromString(const std::string& text, const std::string& sourceName, KWDGraph& target,
                                       KWFileError& err, std::vector<std::string>* warnings,
                                       const KWOMLLimits& limits) {
  err.clear();
  if (target.layoutRunning()) return err.set(sourceName, 0, 0, "cannot change settings while the graph is being laid out");
  std::vector<Record> records;
  ModelParser parser(sourceName, err, limits);
  if (!parser.parse(text, records)) return false;
  ModelApplier applier(sourceName, target, warnings);
  applier.run(records, ModelApplier::kSettings);
  return true;
}

bool applyModelFileTailoring(const std::string& path, KWDGraph& target, KWFileError& err,
                             std::vector<std::string>* warnings, const KWOMLLimits& limits) {
  std::string bytes;
  if (!kwReadWholeFile(path, bytes, limits.maxBytes, err)) return false;
  return applyModelFileTailoringFromString(bytes, path, target, err, warnings, limits);
}
