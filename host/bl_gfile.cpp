// Reading and writing whole drawing graphs as OML graph files.
#include "host/kwgfile.h"

#include <istream>
#include <iterator>
#include <memory>
#include <ostream>
#include <unordered_map>

#include "host/kwdgraph.h"
#include "host/kwfactory.h"
#include "host/kwtailor.h"

namespace {

const char* const kStyleNames[KWNumberOfLayoutStyles] = {"", "hierarchic", "orthogonal", "symmetric", "circular",
                                                          "tree"};
const long kMaxWarnings = 100;
const int kSupportedVersion = 1;

void releaseFileState(const KWDGraph& g) {
  for (int s = 0; s < KWNumberOfLayoutStyles; ++s)
    if (KWGraphTailor* t = g.pPrivateTailor(static_cast<KWLayoutStyleEnum>(s))) t->releaseFileState();
}

/// Ends the layout styles' file state however the operation is left.
struct FileStateGuard {
  const KWDGraph& graph;
  explicit FileStateGuard(const KWDGraph& g) : graph(g) { releaseFileState(graph); }
  ~FileStateGuard() { releaseFileState(graph); }
};

std::string kindName(KWOMLValueKind k) {
  switch (k) {
    case KWOMLInteger: return "an integer";
    case KWOMLBoolean: return "true or false";
    case KWOMLString: return "a quoted string";
    default: return "a section";
  }
}

std::string quoteName(const std::string& n) { return "'" + n + "'"; }

bool fitsKeyword(int index, long v) {
  const KWOMLKeyword* k = KWOMLKeywords::byIndex(index);
  return k && v >= k->minValue && v <= k->maxValue;
}

// Graph, node and edge tailors read and write their settings through entry
// points of their own; these overloads let one piece of code serve all three.
int readSetting(KWGraphTailor* t, KWOMLSyntaxField* f, KWOMLSyntaxObject* section, KWOMLFile* file) {
  return t->readGraphTailor(f, section, file);
}
int readSetting(KWNodeTailor* t, KWOMLSyntaxField* f, KWOMLSyntaxObject* section, KWOMLFile* file) {
  return t->readNodeTailor(f, section, file);
}
int readSetting(KWEdgeTailor* t, KWOMLSyntaxField* f, KWOMLSyntaxObject* section, KWOMLFile* file) {
  return t->readEdgeTailor(f, section, file);
}

/// Writes a tailor's section: the tailor's own short form, or else the full one.
void writeSettings(KWGraphTailor* t, int compare, int all, KWOMLFile* file) {
  if (!t->checkWriteGraphTailor(compare, all, file)) t->writeFullGraphTailor(compare, all, file);
}
void writeSettings(KWNodeTailor* t, int compare, int all, KWOMLFile* file) {
  if (!t->checkWriteNodeTailor(compare, all, file)) t->writeFullNodeTailor(compare, all, file);
}
void writeSettings(KWEdgeTailor* t, int compare, int all, KWOMLFile* file) {
  if (!t->checkWriteEdgeTailor(compare, all, file)) t->writeFullEdgeTailor(compare, all, file);
}

/// How node and edge sections are called in messages.
struct SectionKind {
  const char* name;         // "node"
  const char* withArticle;  // "a node"
  const char* plural;       // "nodes"
};
const SectionKind kNodeSections = {"node", "a node", "nodes"};
const SectionKind kEdgeSections = {"edge", "an edge", "edges"};

// ---- reading -------------------------------------------------------------------------------

class GraphReader {
 public:
  GraphReader(const std::string& source, KWFileError& err, std::vector<std::string>* warnings,
              const KWOMLLimits& limits)
      : source_(source), err_(err), warnings_(warnings), limits_(limits), file_(source) {}

  bool read(KWOMLSyntaxObject& root, KWDGraph& fresh);
  /// After a read that succeeded: gives the graph's own settings, as the file
  /// names them, to target's tailors through their setters (so target hears
  /// of each value that changes, and keeps every setting the file leaves out).
  /// The read checked them already; nothing is warned twice.
  void readSettings(KWDGraph& target) {
    warnings_ = nullptr;
    if (graph_) readStyleSections(*graph_, target, "the graph");
  }

 private:
  /// The fields seen so far in one section, to refuse a field given twice.
  struct Seen {
    std::vector<const KWOMLSyntaxField*> fields;
  };

  bool fail(long line, long column, const std::string& message) { return err_.set(source_, line, column, message); }
  void warn(long line, long column, const std::string& message);
  bool unknownSection(const KWOMLSyntaxObject& o, const std::string& where) {
    return fail(o.line(), o.column(), "unknown section " + quoteName(o.name()) + " in " + where);
  }
  /// Refuses f, which is not a field allowed in where.
  bool notAField(const KWOMLSyntaxField& f, const std::string& where);
  /// Checks a field of a section: known, allowed there, of the right kind, in
  /// range and not given before.
  bool checkField(const KWOMLSyntaxField& f, const int* allowed, std::size_t count, const std::string& where,
                  Seen& seen);
  /// Checks every field of o with checkField.
  template <std::size_t N>
  bool checkFields(const KWOMLSyntaxObject& o, const int (&allowed)[N], const std::string& where);
  bool checkValue(const KWOMLSyntaxField& f, const std::string& where);
  /// Refuses f when a field of the same name was seen before; records it otherwise.
  bool firstTime(const KWOMLSyntaxField& f, const std::string& where, Seen& seen);
  bool noLabel(const KWOMLSyntaxObject& o);
  /// Checks the head of a node or edge section: an id label that no section
  /// of its kind used before, and room for one more under limit. Records the
  /// id's line in lines and names the section in where ("node 3").
  bool claimId(const KWOMLSyntaxObject& o, const SectionKind& kind, long limit, std::unordered_map<long, long>& lines,
               std::string& where);
  /// Reads one layout style's section into tailor; a section of a style the
  /// owner does not use (no tailor) is skipped with a warning.
  template <typename Tailor>
  bool readStyleSection(KWOMLSyntaxObject& section, Tailor* tailor, const char* ownerKind);
  /// Reads every layout-style section among o's sections into owner's tailors.
  template <typename Owner>
  bool readStyleSections(KWOMLSyntaxObject& o, const Owner& owner, const char* ownerKind);
  bool isStyleSection(const KWOMLSyntaxObject& o) const { return KWOMLKeywords::sectionStyle(o.typeIndex()) > 0; }
  bool readNode(KWOMLSyntaxObject& o, KWDGraph& g);
  bool readEdge(KWOMLSyntaxObject& o, KWDGraph& g);

  const std::string& source_;
  KWFileError& err_;
  std::vector<std::string>* warnings_;
  const KWOMLLimits& limits_;
  KWOMLFile file_;
  long warningCount_ = 0;
  long bends_ = 0;
  std::unordered_map<long, KWDNode*> nodes_;
  std::unordered_map<long, long> nodeLines_;
  std::unordered_map<long, long> edgeLines_;
  KWOMLSyntaxObject* graph_ = nullptr;  // the graph section of the last read
};

void GraphReader::warn(long line, long column, const std::string& message) {
  ++warningCount_;
  if (!warnings_) return;
  if (warningCount_ <= kMaxWarnings) {
    KWFileError w;
    w.set(source_, line, column, message);
    warnings_->push_back(w.text());
  } else if (warningCount_ == kMaxWarnings + 1) {
    warnings_->push_back(source_ + ": further warnings left out");
  }
}

bool GraphReader::checkValue(const KWOMLSyntaxField& f, const std::string& where) {
  const KWOMLKeyword* k = KWOMLKeywords::byIndex(f.nameIndex());
  if (!k) return fail(f.line(), f.column(), "unknown keyword " + quoteName(f.name()) + " in " + where);
  if (k->kind == KWOMLSection)
    return fail(f.line(), f.column(), quoteName(f.name()) + " names a section, not a field (expected '" +
                                          f.name() + " {')");
  if (f.kind() != k->kind)
    return fail(f.line(), f.valueColumn(), "expected " + kindName(k->kind) + " as the value of " +
                                               quoteName(f.name()) + ", found " + kindName(f.kind()));
  if (k->kind == KWOMLInteger && (f.intValue() < k->minValue || f.intValue() > k->maxValue))
    return fail(f.line(), f.valueColumn(), "the value " + std::to_string(f.intValue()) + " of " +
                                               quoteName(f.name()) + " is out of range (" +
                                               std::to_string(k->minValue) + " to " + std::to_string(k->maxValue) +
                                               ")");
  return true;
}

bool GraphReader::notAField(const KWOMLSyntaxField& f, const std::string& where) {
  if (f.nameIndex() < 0) return fail(f.line(), f.column(), "unknown keyword " + quoteName(f.name()) + " in " + where);
  return fail(f.line(), f.column(), quoteName(f.name()) + " is not a field of " + where);
}

bool GraphReader::firstTime(const KWOMLSyntaxField& f, const std::string& where, Seen& seen) {
  for (const KWOMLSyntaxField* s : seen.fields)
    if (s->nameIndex() == f.nameIndex())
      return fail(f.line(), f.column(), quoteName(f.name()) + " given twice in " + where + " (first at line " +
                                            std::to_string(s->line()) + ")");
  seen.fields.push_back(&f);
  return true;
}

bool GraphReader::checkField(const KWOMLSyntaxField& f, const int* allowed, std::size_t count,
                             const std::string& where, Seen& seen) {
  bool ok = false;
  for (std::size_t i = 0; i < count && !ok; ++i) ok = allowed[i] == f.nameIndex();
  if (!ok) return notAField(f, where);
  return checkValue(f, where) && firstTime(f, where, seen);
}

template <std::size_t N>
bool GraphReader::checkFields(const KWOMLSyntaxObject& o, const int (&allowed)[N], const std::string& where) {
  Seen seen;
  for (const KWOMLSyntaxField& f : o.fields())
    if (!checkField(f, allowed, N, where, seen)) return false;
  return true;
}

bool GraphReader::noLabel(const KWOMLSyntaxObject& o) {
  if (o.label() != 0)
    return fail(o.line(), o.column(), "a " + quoteName(o.name()) + " section has no label (expected '" + o.name() +
                                          " {')");
  return true;
}

bool GraphReader::claimId(const KWOMLSyntaxObject& o, const SectionKind& kind, long limit,
                          std::unordered_map<long, long>& lines, std::string& where) {
  const std::string name = kind.name;
  if (o.label() <= 0)
    return fail(o.line(), o.column(),
                std::string(kind.withArticle) + " needs its id as a label (expected '" + name + " 1 {')");
  where = name + " " + std::to_string(o.label());
  auto dup = lines.find(o.label());
  if (dup != lines.end())
    return fail(o.line(), o.column(), name + " id " + std::to_string(o.label()) + " used twice (first at line " +
                                          std::to_string(dup->second) + ")");
  if (static_cast<long>(lines.size()) >= limit)
    return fail(o.line(), o.column(), "more " + std::string(kind.plural) + " than the limit of " + std::to_string(limit));
  lines[o.label()] = o.line();
  return true;
}

template <typename Tailor>
bool GraphReader::readStyleSection(KWOMLSyntaxObject& section, Tailor* tailor, const char* ownerKind) {
  if (!noLabel(section)) return false;
  const int style = KWOMLKeywords::sectionStyle(section.typeIndex());
  const std::string where = "the " + quoteName(section.name()) + " section of " + ownerKind;
  if (!tailor) {
    // Another style's settings: the section is well-formed (the parser saw to
    // that) and is left out, as the graph does not use that style.
    warn(section.line(), section.column(),
         "section " + quoteName(section.name()) + " skipped: the graph does not use the " +
             std::string(kStyleNames[style]) + " layout style");
    return true;
  }
  if (!section.objects().empty()) return unknownSection(*section.objects().front(), where);
  Seen seen;
  for (KWOMLSyntaxField& f : section.fields()) {
    // A field this style does not know (from another version of it, say) is
    // left out with a warning; the rest of the file is still read. A known
    // setting with a value of the wrong kind or out of range is an error.
    if (f.nameIndex() < 0) {
      warn(f.line(), f.column(), "unknown keyword " + quoteName(f.name()) + " in " + where + " skipped");
      continue;
    }
    if (!checkValue(f, where) || !firstTime(f, where, seen)) return false;
    if (!readSetting(tailor, &f, &section, &file_))
      warn(f.line(), f.column(), quoteName(f.name()) + " is not a setting of " + where + "; skipped");
  }
  return true;
}

template <typename Owner>
bool GraphReader::readStyleSections(KWOMLSyntaxObject& o, const Owner& owner, const char* ownerKind) {
  for (const auto& sub : o.objects()) {
    if (!isStyleSection(*sub)) continue;
    KWLayoutStyleEnum style = static_cast<KWLayoutStyleEnum>(KWOMLKeywords::sectionStyle(sub->typeIndex()));
    if (!readStyleSection(*sub, owner.pPrivateTailor(style), ownerKind)) return false;
  }
  return true;
}

bool GraphReader::readNode(KWOMLSyntaxObject& o, KWDGraph& g) {
  static const int kAllowed[] = {KWOMLKeyName, KWOMLKeyX, KWOMLKeyY, KWOMLKeyWidth, KWOMLKeyHeight, KWOMLKeyDummy};
  std::string where;
  if (!claimId(o, kNodeSections, limits_.maxNodes, nodeLines_, where) || !checkFields(o, kAllowed, where))
    return false;
  for (const auto& sub : o.objects())
    if (!isStyleSection(*sub)) return unknownSection(*sub, where);
  auto value = [&o](int index) -> const KWOMLSyntaxField* { return o.findField(index); };
  KWDNode* n = g.newNode(value(KWOMLKeyX) ? value(KWOMLKeyX)->intValue() : 0,
                         value(KWOMLKeyY) ? value(KWOMLKeyY)->intValue() : 0,
                         value(KWOMLKeyWidth) ? value(KWOMLKeyWidth)->intValue() : 0,
                         value(KWOMLKeyHeight) ? value(KWOMLKeyHeight)->intValue() : 0,
                         value(KWOMLKeyName) ? value(KWOMLKeyName)->stringValue() : std::string());
  if (value(KWOMLKeyDummy) && value(KWOMLKeyDummy)->boolValue()) n->dummy(true);
  nodes_[o.label()] = n;
  return readStyleSections(o, *n, "a node");
}

bool GraphReader::readEdge(KWOMLSyntaxObject& o, KWDGraph& g) {
  static const int kAllowed[] = {KWOMLKeyName, KWOMLKeyFrom, KWOMLKeyTo, KWOMLKeyKeepsConnectors};
  static const int kBend[] = {KWOMLKeyX, KWOMLKeyY};
  static const int kConnector[] = {KWOMLKeyDx, KWOMLKeyDy};
  std::string where;
  if (!claimId(o, kEdgeSections, limits_.maxEdges, edgeLines_, where) || !checkFields(o, kAllowed, where))
    return false;
  KWDNode* ends[2] = {nullptr, nullptr};
  const int endKeys[2] = {KWOMLKeyFrom, KWOMLKeyTo};
  for (int i = 0; i < 2; ++i) {
    const KWOMLSyntaxField* f = o.findField(endKeys[i]);
    const char* what = i == 0 ? "from" : "to";
    if (!f) return fail(o.line(), o.column(), where + " needs '" + what + "' (the id of its " +
                                                  (i == 0 ? "source" : "target") + " node)");
    auto it = nodes_.find(f->intValue());
    if (it == nodes_.end())
      return fail(f->line(), f->valueColumn(), "no node with id " + std::to_string(f->intValue()) + " for '" +
                                                   what + "' of " + where);
    ends[i] = it->second;
  }
  // Check every sub-section before anything is built.
  bool fromConnector = false, toConnector = false;
  for (const auto& sub : o.objects()) {
    const std::string subWhere = "a " + quoteName(sub->name()) + " section of " + where;
    if (isStyleSection(*sub)) continue;
    const int t = sub->typeIndex();
    if (t != KWOMLKeyBend && t != KWOMLKeyFromConnector && t != KWOMLKeyToConnector)
      return unknownSection(*sub, where);
    if (!noLabel(*sub)) return false;
    if (!sub->objects().empty()) return unknownSection(*sub->objects().front(), subWhere);
    const bool bend = t == KWOMLKeyBend;
    if (!bend) {
      bool& once = t == KWOMLKeyFromConnector ? fromConnector : toConnector;
      if (once) return fail(sub->line(), sub->column(), quoteName(sub->name()) + " given twice in " + where);
      once = true;
    } else if (++bends_ > limits_.maxBends) {
      return fail(sub->line(), sub->column(), "more bends than the limit of " + std::to_string(limits_.maxBends));
    }
    if (!checkFields(*sub, bend ? kBend : kConnector, subWhere)) return false;
    for (int k : bend ? kBend : kConnector)
      if (!sub->findField(k))
        return fail(sub->line(), sub->column(), subWhere + " needs '" + KWOMLKeywords::byIndex(k)->name + "'");
  }
  const KWOMLSyntaxField* name = o.findField(KWOMLKeyName);
  KWDEdge* e = g.newEdge(ends[0], ends[1], name ? name->stringValue() : std::string());
  if (const KWOMLSyntaxField* k = o.findField(KWOMLKeyKeepsConnectors)) e->keepsConnectors(k->boolValue() != 0);
  for (const auto& sub : o.objects()) {
    const int t = sub->typeIndex();
    if (t == KWOMLKeyBend) {
      e->ntAppendBend(KWPoint(sub->findField(KWOMLKeyX)->intValue(), sub->findField(KWOMLKeyY)->intValue()));
    } else if (t == KWOMLKeyFromConnector || t == KWOMLKeyToConnector) {
      KWConnector* c = new KWConnector(sub->findField(KWOMLKeyDx)->intValue(), sub->findField(KWOMLKeyDy)->intValue(),
                                       true);
      if (t == KWOMLKeyFromConnector) e->pFromConnector(c);
      else e->pToConnector(c);
    }
  }
  return readStyleSections(o, *e, "an edge");
}

bool GraphReader::read(KWOMLSyntaxObject& root, KWDGraph& fresh) {
  const KWOMLSyntaxField* version = nullptr;
  for (const KWOMLSyntaxField& f : root.fields()) {
    if (f.nameIndex() != KWOMLKeyOml || version) {
      if (f.nameIndex() == KWOMLKeyOml)
        return fail(f.line(), f.column(), "'oml' given twice (first at line " + std::to_string(version->line()) + ")");
      return fail(f.line(), f.column(), "unknown field " + quoteName(f.name()) + " at the top level (expected 'oml' or 'graph')");
    }
    version = &f;
  }
  if (!version) return fail(1, 1, "not an OML graph file: expected 'oml 1' at the top level");
  if (version->kind() != KWOMLInteger || version->intValue() != kSupportedVersion)
    return fail(version->line(), version->valueColumn(),
                "unsupported OML version (this reader knows version " + std::to_string(kSupportedVersion) + ")");
  KWOMLSyntaxObject* graph = nullptr;
  for (const auto& o : root.objects()) {
    if (o->typeIndex() != KWOMLKeyGraph)
      return fail(o->line(), o->column(), "unknown section " + quoteName(o->name()) + " at the top level (expected 'graph')");
    if (graph) return fail(o->line(), o->column(), "a file holds one graph; another 'graph' section begins here");
    graph = o.get();
  }
  if (!graph) return fail(version->line(), version->column(), "no 'graph' section in the file");
  if (graph->line() < version->line())
    return fail(graph->line(), graph->column(), "expected 'oml 1' before the 'graph' section");
  if (!noLabel(*graph)) return false;
  if (!graph->fields().empty()) return notAField(graph->fields().front(), "the graph");
  for (const auto& o : graph->objects()) {
    const int t = o->typeIndex();
    if (t != KWOMLKeyNode && t != KWOMLKeyEdge && !isStyleSection(*o)) return unknownSection(*o, "the graph");
  }
  if (!readStyleSections(*graph, fresh, "the graph")) return false;
  graph_ = graph;
  for (const auto& o : graph->objects())
    if (o->typeIndex() == KWOMLKeyNode && !readNode(*o, fresh)) return false;
  for (const auto& o : graph->objects())
    if (o->typeIndex() == KWOMLKeyEdge && !readEdge(*o, fresh)) return false;
  return true;
}

// ---- writing -------------------------------------------------------------------------------

class GraphWriter {
 public:
  GraphWriter(const std::string& name, KWFileError& err, const KWOMLWriteOptions& o)
      : name_(name), err_(err), options_(o), file_(name) {
    file_.writeWithDefaults(o.writeWithDefaults);
  }
  bool write(const KWDGraph& g, std::string& out);

 private:
  bool fail(const std::string& m) { return err_.set(name_, 0, 0, m); }
  bool number(const char* key, int index, long v, const std::string& owner);
  /// Writes the settings of every layout style owner has a tailor for.
  template <typename Owner>
  void writeStyleSections(const Owner& owner);

  const std::string& name_;
  KWFileError& err_;
  const KWOMLWriteOptions& options_;
  KWOMLFile file_;
};

bool GraphWriter::number(const char* key, int index, long v, const std::string& owner) {
  if (!fitsKeyword(index, v)) {
    const KWOMLKeyword* k = KWOMLKeywords::byIndex(index);
    return fail(owner + ": " + key + " = " + std::to_string(v) + " is outside what a graph file holds (" +
                std::to_string(k->minValue) + " to " + std::to_string(k->maxValue) + ")");
  }
  file_.writeAttribute(key, v);
  return true;
}

template <typename Owner>
void GraphWriter::writeStyleSections(const Owner& owner) {
  for (int s = 1; s < KWNumberOfLayoutStyles; ++s)
    if (auto* t = owner.pPrivateTailor(static_cast<KWLayoutStyleEnum>(s)))
      writeSettings(t, options_.compareWithDefaults, options_.writeAll, &file_);
}

bool GraphWriter::write(const KWDGraph& g, std::string& out) {
  if (g.layoutRunning()) return fail("cannot write a graph while it is being laid out");
  file_.writeAttribute("oml", kSupportedVersion);
  file_.writeSectionStart("graph", 0);
  file_.writeOpeningBracket();
  writeStyleSections(g);
  std::unordered_map<const KWDNode*, long> ids;
  ids.reserve(static_cast<std::size_t>(g.numberOfNodes()));
  long id = 0;
  for (KWDNodeIter it(&g); it; ++it) {
    const KWDNode* n = it.pNode();
    ids[n] = ++id;
    const std::string owner = "node " + std::to_string(id);
    file_.writeSectionStart("node", id);
    file_.writeOpeningBracket();
    if (!n->name().empty()) file_.writeStringAttribute("name", n->name());
    if (!number("x", KWOMLKeyX, n->ntX(), owner) || !number("y", KWOMLKeyY, n->ntY(), owner) ||
        !number("width", KWOMLKeyWidth, n->ntWidth(), owner) ||
        !number("height", KWOMLKeyHeight, n->ntHeight(), owner))
      return false;
    if (n->isDummy()) file_.writeBoolAttribute("dummy", 1);
    writeStyleSections(*n);
    file_.writeClosingBracket();
  }
  id = 0;
  for (KWDEdgeIter it(&g); it; ++it) {
    const KWDEdge* e = it.pEdge();
    const std::string owner = "edge " + std::to_string(++id);
    auto from = ids.find(e->pFromNode());
    auto to = ids.find(e->pToNode());
    if (from == ids.end() || to == ids.end()) return fail(owner + " joins a node that is not in the graph");
    file_.writeSectionStart("edge", id);
    file_.writeOpeningBracket();
    if (!e->name().empty()) file_.writeStringAttribute("name", e->name());
    file_.writeAttribute("from", from->second);
    file_.writeAttribute("to", to->second);
    if (e->keepsConnectors()) file_.writeBoolAttribute("keepsConnectors", 1);
    for (const KWPoint& p : e->bendPoints()) {
      file_.writeSectionStart("bend", 0);
      file_.writeOpeningBracket();
      if (!number("x", KWOMLKeyX, p.x(), owner + ", a bend") || !number("y", KWOMLKeyY, p.y(), owner + ", a bend"))
        return false;
      file_.writeClosingBracket();
    }
    for (int side = 0; side < 2; ++side) {
      const KWConnector* con = side == 0 ? e->pFromConnector() : e->pToConnector();
      if (!con || !con->specified()) continue;
      file_.writeSectionStart(side == 0 ? "fromConnector" : "toConnector", 0);
      file_.writeOpeningBracket();
      if (!number("dx", KWOMLKeyDx, con->dx(), owner + ", a connector") ||
          !number("dy", KWOMLKeyDy, con->dy(), owner + ", a connector"))
        return false;
      file_.writeClosingBracket();
    }
    writeStyleSections(*e);
    file_.writeClosingBracket();
  }
  file_.writeClosingBracket();
  if (!file_.wellFormed())
    return fail("a layout style wrote a malformed section (" +
                (file_.problem().empty() ? std::string("sections left open") : file_.problem()) + ")");
  out = file_.contents();
  return true;
}

}  // namespace

// ---- the public operations ------------------------------------------------------------------

KWDGraph* kwNewGraphLike(const KWDGraph& target) {
  KWDGraph* g = new KWDGraph(target.pFactory());
  for (int s = 1; s < KWNumberOfLayoutStyles; ++s) {
    KWLayoutStyleEnum style = static_cast<KWLayoutStyleEnum>(s);
    if (target.hasLayoutStyle(style)) g->enableLayoutStyle(style);
  }
  return g;
}

void kwHandOverGraph(KWDGraph& source, KWDGraph& target) {
  if (&source == &target) return;
  while (KWDListCell* c = target.pEdgeList()->pFirstCell()) target.deleteEdge(target.castEdge(c));
  while (KWDListCell* c = target.pNodeList()->pFirstCell()) target.deleteNode(target.castNode(c));
  target.moveNodesAndEdges(&source, source.pNodeList(), source.pEdgeList());
}

bool readOMLGraphFromString(const std::string& text, const std::string& sourceName, KWDGraph& target,
                            KWFileError& err, std::vector<std::string>* warnings, const KWOMLLimits& limits) {
  err.clear();
  if (target.layoutRunning()) return err.set(sourceName, 0, 0, "cannot read into a graph while it is being laid out");
  KWOMLSyntaxObject root;
  if (!KWOMLParser::parse(text, sourceName, root, err, limits)) return false;
  std::unique_ptr<KWDGraph> fresh(kwNewGraphLike(target));
  std::vector<std::string> found;
  GraphReader reader(sourceName, err, warnings ? &found : nullptr, limits);
  {
    FileStateGuard guard(*fresh);
    if (!reader.read(root, *fresh)) return false;
  }
  FileStateGuard guard(target);
  kwHandOverGraph(*fresh, target);
  reader.readSettings(target);
  if (warnings) warnings->insert(warnings->end(), found.begin(), found.end());
  return true;
}

bool readOMLGraph(const std::string& path, KWDGraph& target, KWFileError& err, std::vector<std::string>* warnings,
                  const KWOMLLimits& limits) {
  std::string bytes;
  if (!kwReadWholeFile(path, bytes, limits.maxBytes, err)) return false;
  return readOMLGraphFromString(bytes, path, target, err, warnings, limits);
}

bool readOMLGraph(std::istream& in, const std::string& sourceName, KWDGraph& target, KWFileError& err,
                  std::vector<std::string>* warnings, const KWOMLLimits& limits) {
  std::string bytes;
  if (!kwReadWholeStream(in, sourceName, bytes, limits.maxBytes, err)) return false;
  return readOMLGraphFromString(bytes, sourceName, target, err, warnings, limits);
}

namespace {
/// The OML text of graph, with errors reported under name; the layout
/// styles' file state lasts just as long as the writing.
bool writeGraphText(const KWDGraph& graph, const std::string& name, std::string& text, KWFileError& err,
                    const KWOMLWriteOptions& options) {
  err.clear();
  FileStateGuard guard(graph);
  GraphWriter writer(name, err, options);
  return writer.write(graph, text);
}
}  // namespace

bool writeOMLGraphToString(const KWDGraph& graph, std::string& out, KWFileError& err,
                           const KWOMLWriteOptions& options) {
  return writeGraphText(graph, "<graph>", out, err, options);
}

bool writeOMLGraph(const KWDGraph& graph, const std::string& path, KWFileError& err,
                   const KWOMLWriteOptions& options) {
  std::string text;
  return writeGraphText(graph, path, text, err, options) && kwWriteFileAtomically(path, text, err);
}

bool writeOMLGraph(const KWDGraph& graph, std::ostream& out, const std::string& sourceName, KWFileError& err,
                   const KWOMLWriteOptions& options) {
  std::string text;
  if (!writeGraphText(graph, sourceName, text, err, options)) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (!out) return err.set(sourceName, 0, 0, "cannot write the output");
  return true;
}
