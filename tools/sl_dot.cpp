#include "sl_dot.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sl_options.h"
#include "sl_shape.h"
#include "sl_text.h"

// Discards what cgraph's scanner still holds of a text it stopped reading,
// so that nothing is left behind for the next read (exported by libcgraph,
// though not declared in its public header).
extern "C" void aglexbad(void);

namespace kwslay {

namespace {

// What cgraph reports while it reads, through its user handler: each report
// arrives as its level ("Warning" or "Error"), ": " and the message, and a
// continuation as more text. cgraph keeps one handler for the whole process,
// so the reports go to a collector that exists only while a read runs.
struct CgraphReport {
  bool error = false;
  std::string text;
};

// At most this many warnings are kept (a file can hold millions of the same
// complaint); the rest are only counted.
const long kMaxDotWarnings = 100;

struct CgraphReports {
  std::vector<CgraphReport> reports;
  long warnings = 0;
  bool dropping = false;  // the pieces of a warning that is only counted
};

CgraphReports* collector = nullptr;

int collect(char* piece) {
  if (!collector || !piece) return 0;
  std::string p = piece;
  if (p == "Warning" || p == "Error") {
    const bool error = p == "Error";
    collector->dropping = !error && ++collector->warnings > kMaxDotWarnings;
    if (!collector->dropping) collector->reports.push_back(CgraphReport{error, std::string()});
  } else if (!collector->dropping) {
    if (collector->reports.empty()) collector->reports.push_back(CgraphReport{});
    CgraphReport& r = collector->reports.back();
    if (!(r.text.empty() && p == ": ")) r.text += p;
  }
  return 0;
}

struct CgraphErrors {
  CgraphReports collected;
  const std::vector<CgraphReport>& reports = collected.reports;
  agerrlevel_t level;
  agusererrf handler;
  CgraphErrors() {
    level = agseterr(AGWARN);
    handler = agseterrf(collect);
    collector = &collected;
    agreseterrors();
  }
  ~CgraphErrors() {
    collector = nullptr;
    agseterrf(handler);
    agseterr(level);
    agsetfile(const_cast<char*>("<input>"));
  }
  static std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
  }
  /// The last error reported.
  std::string last() const {
    for (auto r = reports.rbegin(); r != reports.rend(); ++r)
      if (r->error) return trimmed(r->text);
    return std::string();
  }
};

// Turns a warning of cgraph's scanner, "WHAT in line N of FILE REST", into
// "FILE:N:COLUMN: WHAT REST", the column found from a quoted token in it.
std::string locatedWarning(const std::string& file, const std::string& text, const std::string& message) {
  std::string m = CgraphErrors::trimmed(message);
  long line = 0;
  size_t at = m.find(" in line ");
  if (at != std::string::npos) {
    char* end = nullptr;
    line = std::strtol(m.c_str() + at + 9, &end, 10);
    size_t after = static_cast<size_t>(end - m.c_str());
    std::string of = " of " + file;
    if (m.compare(after, of.size(), of) == 0) after += of.size();
    m = m.substr(0, at) + m.substr(after);
  }
  long column = 0;
  size_t q = m.find('\'');
  size_t q2 = q == std::string::npos ? q : m.find('\'', q + 1);
  if (line > 0 && q2 != std::string::npos) column = columnOf(text, line, m.substr(q + 1, q2 - q - 1));
  std::string place = file;
  if (line > 0) place += ":" + std::to_string(line);
  if (column > 0) place += ":" + std::to_string(column);
  return place + ": " + m;
}

// Turns "FILE: syntax error in line N near 'TOKEN'" (or another complaint of
// the parser, such as "memory exhausted", in that form) into a located error.
InputError syntaxError(const std::string& file, const std::string& text, const std::string& message) {
  long line = 0;
  std::string what = message;
  size_t at = message.find(" in line ");
  if (at != std::string::npos) {
    line = std::strtol(message.c_str() + at + 9, nullptr, 10);
    size_t from = message.compare(0, file.size() + 2, file + ": ") == 0 ? file.size() + 2 : 0;
    what = message.substr(from, at - from);
    if (what == "memory exhausted") what = "nested too deeply for the DOT parser (its stack is exhausted)";
    size_t near = message.find(" near '", at);
    if (near != std::string::npos) {
      std::string token = message.substr(near + 7);
      if (!token.empty() && token.back() == '\'') token.pop_back();
      what += " near '" + token + "'";
      return InputError(file, line, columnOf(text, line, token), what);
    }
  } else if (message.compare(0, file.size() + 2, file + ": ") == 0) {
    what = message.substr(file.size() + 2);
  }
  return InputError(file, line, 0, what.empty() ? "not a DOT graph" : what);
}

// The value of an attribute, or "" when it is not declared or not set.
std::string attr(void* obj, const char* name) {
  char* v = agget(obj, const_cast<char*>(name));
  return v ? v : "";
}

// Where in the file an attribute's value is written, for error messages.
InputError valueError(const std::string& file, const std::string& text, const std::string& name,
                      const std::string& value, const std::string& message) {
  long line = 0, column = 0;
  findAttribute(text, name, value, line, column);
  return InputError(file, line, column, message);
}

bool parseNumber(const char*& s, double& v) {
  while (*s == ' ' || *s == '\t') ++s;
  char* end = nullptr;
  errno = 0;
  v = std::strtod(s, &end);
  if (end == s || errno == ERANGE || !std::isfinite(v)) return false;
  s = end;
  while (*s == ' ' || *s == '\t') ++s;
  return true;
}

// "x,y", "x,y,z", optionally followed by "!" (the node is pinned).
bool parsePos(const std::string& text, double& x, double& y, bool& pinned) {
  const char* s = text.c_str();
  double z = 0.0;
  if (!parseNumber(s, x) || *s++ != ',' || !parseNumber(s, y)) return false;
  if (*s == ',') {
    ++s;
    if (!parseNumber(s, z)) return false;
  }
  pinned = *s == '!';
  if (pinned) ++s;
  while (*s == ' ' || *s == '\t') ++s;
  return *s == '\0';
}

bool parsePoint(const std::string& token, double& x, double& y) {
  const char* s = token.c_str();
  if (!parseNumber(s, x) || *s++ != ',' || !parseNumber(s, y)) return false;
  return *s == '\0';
}

long toUnits(double v) { return static_cast<long>(std::llround(v)); }

bool withinRange(double v) { return std::fabs(v) <= kMaxCoordinate; }

// Reads the bends of an edge from its pos: the points on the curve between
// the end points of a cubic B-spline ("[s,x,y] [e,x,y] p0 p1 ... p3k").
bool parseEdgePos(const std::string& text, std::vector<KWPoint>& bends) {
  std::vector<std::pair<double, double>> pts;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == ';')) ++i;
    if (i >= text.size()) break;
    size_t j = i;
    while (j < text.size() && text[j] != ' ' && text[j] != '\t' && text[j] != '\n' && text[j] != ';') ++j;
    std::string token = text.substr(i, j - i);
    i = j;
    if (token.size() > 2 && (token[0] == 's' || token[0] == 'e') && token[1] == ',') continue;
    double x = 0.0, y = 0.0;
    if (!parsePoint(token, x, y) || !withinRange(x) || !withinRange(y)) return false;
    pts.emplace_back(x, y);
  }
  bends.clear();
  if (pts.size() < 2) return true;
  bool spline = pts.size() % 3 == 1;
  for (size_t k = 1; k + 1 < pts.size(); ++k)
    if (!spline || k % 3 == 0) bends.emplace_back(toUnits(pts[k].first), toUnits(pts[k].second));
  return true;
}

double inches(const std::string& file, const std::string& text, const std::string& nodeName,
              const char* attrName, const std::string& value, long fallback) {
  if (value.empty()) return static_cast<double>(fallback);
  const char* s = value.c_str();
  double v = 0.0;
  if (!parseNumber(s, v) || *s != '\0' || v < 0.0 || !withinRange(v * 72.0))
    throw valueError(file, text, attrName, value,
                     "node \"" + nodeName + "\": " + attrName + " \"" + value +
                         "\" is not a size in inches");
  return v * 72.0;
}

std::string point(Pt p) { return numberText(p.x) + "," + numberText(p.y); }

std::string inchText(long units) {
  char buf[64];
  std::snprintf(buf, sizeof(buf), "%.6g", static_cast<double>(units) / 72.0);
  return buf;
}

void set(void* obj, const char* name, const std::string& value) {
  agsafeset(obj, const_cast<char*>(name), const_cast<char*>(value.c_str()), const_cast<char*>(""));
}

}  // namespace

void readDotWarning(const std::string& file, const std::string& text, ToolGraph& g,
                    std::vector<SettingValue>* settings, std::vector<std::string>* warnings) {
  size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    long line = 0, column = 0;
    lineAndColumn(text, nul, line, column);
    throw InputError(file, line, column, "NUL character in DOT text");
  }
  auto src = std::make_unique<DotSource>();
  {
    CgraphErrors errors;
    std::string name = file;  // cgraph keeps the pointer while it parses
    agsetfile(&name[0]);
    agreadline(1);
    src->graph = agmemread(text.c_str());
    // The scanner keeps what follows the first graph (or the rest of a text
    // it gave up on) for the next read; this read ends here.
    aglexbad();
    // cgraph may hand back the part of the graph it read before an error
    // (a parser stack exhausted by deep nesting, say): that is no graph either.
    if (agerrors() > 0) throw syntaxError(file, text, errors.last());
    if (!src->graph) throw InputError(file, 0, 0, "no graph in the file");
    if (warnings)
      for (const CgraphReport& r : errors.reports)
        if (!r.error) warnings->push_back(locatedWarning(file, text, r.text));
    if (warnings && errors.collected.warnings > kMaxDotWarnings)
      warnings->push_back(file + ": " + std::to_string(errors.collected.warnings - kMaxDotWarnings) +
                          " more warnings like these");
  }
  Agraph_t* ag = src->graph;
  if (agnnodes(ag) > kMaxNodes)
    throw InputError(file, 0, 0, "more nodes than the limit of " + std::to_string(kMaxNodes));
  if (agnedges(ag) > kMaxEdges)
    throw InputError(file, 0, 0, "more edges than the limit of " + std::to_string(kMaxEdges));
  g.directed = agisdirected(ag) != 0;
  // cgraph names an anonymous graph "%<number>"; such a name is not the user's.
  g.name = agnameof(ag) && agnameof(ag)[0] != '%' ? agnameof(ag) : "";

  // The run's time limit, in seconds.
  if (const std::string limit = attr(ag, "kwslay_time_limit"); !limit.empty())
    if (!parseSeconds(limit, g.timeLimitMs))
      throw valueError(file, text, "kwslay_time_limit", limit,
                       "graph attribute kwslay_time_limit \"" + limit + "\" is not a number of seconds above 0");
  // Graph attributes named like a setting.
  for (Agsym_t* sym = agnxtattr(ag, AGRAPH, nullptr); sym; sym = agnxtattr(ag, AGRAPH, sym)) {
    const SettingInfo* s = findSetting(sym->name);
    if (!s) continue;
    std::string value = agxget(ag, sym);
    if (value.empty()) continue;
    SettingValue v;
    std::string expected;
    if (!parseSettingValue(*s, value, v, &expected))
      throw valueError(file, text, sym->name, value,
                       std::string("graph attribute ") + sym->name + " \"" + value + "\" is not " + expected);
    if (settings) settings->push_back(v);
  }

  std::vector<bool> pinned;
  for (Agnode_t* n = agfstnode(ag); n; n = agnxtnode(ag, n)) {
    std::string name = agnameof(n);
    double w = inches(file, text, name, "width", attr(n, "width"), kDefaultNodeWidth);
    double h = inches(file, text, name, "height", attr(n, "height"), kDefaultNodeHeight);
    std::string pos = attr(n, "pos");
    double x = 0.0, y = 0.0;
    bool posPinned = false;
    if (!pos.empty() && !parsePos(pos, x, y, posPinned))
      throw valueError(file, text, "pos", pos, "node \"" + name + "\": pos \"" + pos + "\" is not \"x,y\"");
    if (!withinRange(x) || !withinRange(y))
      throw valueError(file, text, "pos", pos, "node \"" + name + "\": pos \"" + pos + "\" is out of range");
    std::string pin = attr(n, "pin");
    bool pinOn = false;
    if (!pin.empty() && !parseFlag(pin, pinOn))
      throw valueError(file, text, "pin", pin, "node \"" + name + "\": pin \"" + pin + "\" is not true or false");
    g.addNode(name, toUnits(x), toUnits(y), toUnits(w), toUnits(h), !pos.empty());
    src->nodes.push_back(n);
    pinned.push_back(pinOn || posPinned);
  }
  for (size_t i = 0; i < pinned.size(); ++i)
    if (pinned[i]) nodeConstrained(*g.nodes()[i], true);

  // Edges in the order the file gives them.
  std::vector<Agedge_t*> edges;
  for (Agnode_t* n = agfstnode(ag); n; n = agnxtnode(ag, n))
    for (Agedge_t* e = agfstout(ag, n); e; e = agnxtout(ag, e)) edges.push_back(e);
  std::sort(edges.begin(), edges.end(), [](Agedge_t* a, Agedge_t* b) { return AGSEQ(a) < AGSEQ(b); });
  std::unordered_map<Agnode_t*, KWDNode*> nodeOf;
  for (size_t i = 0; i < src->nodes.size(); ++i) nodeOf[src->nodes[i]] = g.nodes()[i];
  for (Agedge_t* e : edges) {
    std::string name = attr(e, "id");
    if (name.empty() && agnameof(e) && agnameof(e)[0] != '%') name = agnameof(e);
    KWDEdge* de = g.addEdge(nodeOf[agtail(e)], nodeOf[aghead(e)], name);
    std::string pos = attr(e, "pos");
    std::vector<KWPoint> bends;
    if (!pos.empty() && !parseEdgePos(pos, bends))
      throw valueError(file, text, "pos", pos,
                       "edge " + std::string(agnameof(agtail(e))) + (g.directed ? " -> " : " -- ") +
                           agnameof(aghead(e)) + ": pos \"" + pos + "\" is not a list of points");
    for (const KWPoint& b : bends) de->ntAppendBend(b);
    src->edges.push_back(e);
  }
  g.dot = std::move(src);
}

void readDot(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings) {
  readDotWarning(file, text, g, settings, nullptr);
}

std::string writeDot(const ToolGraph& g) {
  OutputIds ids = outputIds(g, true);
  // A graph of our own when the input was not DOT.
  DotSource fresh;
  const DotSource* src = g.dot.get();
  if (!src) {
    std::string name = g.name.empty() || !dotQuotable(g.name) ? "G" : g.name;
    fresh.graph = agopen(&name[0], g.directed ? Agdirected : Agundirected, nullptr);
    // Our nodes are rectangles.
    agattr(fresh.graph, AGNODE, const_cast<char*>("shape"), const_cast<char*>("box"));
    for (size_t i = 0; i < g.nodes().size(); ++i) fresh.nodes.push_back(agnode(fresh.graph, &ids.node[i][0], 1));
    std::unordered_map<const KWDNode*, size_t> index = g.nodeIndex();
    for (size_t i = 0; i < g.edges().size(); ++i) {
      const KWDEdge* e = g.edges()[i];
      Agedge_t* ae = agedge(fresh.graph, fresh.nodes[index[e->pFromNode()]], fresh.nodes[index[e->pToNode()]], nullptr, 1);
      if (!e->name().empty()) set(ae, "id", ids.edge[i]);
      fresh.edges.push_back(ae);
    }
    src = &fresh;
  }
  Agraph_t* ag = src->graph;

  // Settings: those the file named keep their attribute, now with the value
  // in force; others are added when they differ from the defaults.
  std::vector<SettingText> changed = changedSettings(g.graph());
  for (const SettingText& s : allSettings(g.graph())) {
    bool declared = agattr(ag, AGRAPH, const_cast<char*>(s.first.c_str()), nullptr) != nullptr;
    bool differs = std::find(changed.begin(), changed.end(), s) != changed.end();
    if (declared || differs) set(ag, s.first.c_str(), s.second);
  }

  KWRect b = drawingBounds(g);
  set(ag, "bb", numberText(static_cast<double>(b.left())) + "," + numberText(static_cast<double>(b.bottom())) + "," +
                    numberText(static_cast<double>(b.right())) + "," + numberText(static_cast<double>(b.top())));
  bool pinDeclared = agattr(ag, AGNODE, const_cast<char*>("pin"), nullptr) != nullptr;
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    const KWDNode* n = g.nodes()[i];
    Agnode_t* an = src->nodes[i];
    set(an, "pos", numberText(static_cast<double>(n->ntX())) + "," + numberText(static_cast<double>(n->ntY())));
    set(an, "width", inchText(n->ntWidth()));
    set(an, "height", inchText(n->ntHeight()));
    if (nodeConstrained(*n)) set(an, "pin", "true");
    else if (pinDeclared) set(an, "pin", "false");
  }
  std::vector<EdgeShape> shapes = edgeShapes(g);
  for (size_t i = 0; i < g.edges().size(); ++i) {
    std::vector<Pt> pts = splinePoints(shapes[i]);
    std::string pos;
    if (g.directed && !shapes[i].loop) {
      // The spline stops short of the arrow head, which ends at the border.
      Pt tip = pts.back();
      Pt& last = pts.back();
      const Pt& before = pts[pts.size() - 2];
      double dx = tip.x - before.x, dy = tip.y - before.y;
      double len = std::sqrt(dx * dx + dy * dy);
      double arrow = std::min(10.0, len / 2.0);
      if (len > 0.0) {
        last.x = tip.x - dx / len * arrow;
        last.y = tip.y - dy / len * arrow;
        pts[pts.size() - 2].x = last.x - dx / len * std::min(arrow, len / 4.0);
        pts[pts.size() - 2].y = last.y - dy / len * std::min(arrow, len / 4.0);
        pos = "e," + point(tip);
      }
    }
    for (const Pt& p : pts) pos += (pos.empty() ? "" : " ") + point(p);
    set(src->edges[i], "pos", pos);
  }

  char* buf = nullptr;
  size_t size = 0;
  FILE* mem = open_memstream(&buf, &size);
  if (!mem) throw WriteError("out of memory while writing DOT");
  agwrite(ag, mem);
  std::fclose(mem);
  std::string out(buf, size);
  std::free(buf);
  return out;
}

}  // namespace kwslay
