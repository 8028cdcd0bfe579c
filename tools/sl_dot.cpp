#include "sl_dot.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sl_options.h"
#include "sl_shape.h"
#include "sl_text.h"


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

// Graphviz's overlap attribute: true (also yes or a non-zero number) keeps
// overlaps, which here means the layout's positions as they are; false (no, 0)
// and every named removal method (scale, prism, voronoi, ...) remove them,
// which here is always done by the same pass. Answers 1 remove, 0 keep, -1 for
// a value that is none of these.
int dotOverlap(std::string v) {
  for (char& c : v) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (v == "true" || v == "yes") return 0;
  if (v == "false" || v == "no") return 1;
  if (std::all_of(v.begin(), v.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
    return std::all_of(v.begin(), v.end(), [](char c) { return c == '0'; }) ? 1 : 0;
  static const char* const methods[] = {"scale", "scalexy", "prism", "voronoi", "compress", "vpsc", "ipsep",
                                        "ortho", "orthoxy", "orthoyx", "portho", "porthoxy", "porthoyx",
                                        "ortho_yx", "portho_yx"};
  std::string name = v;
  if (name.compare(0, 5, "prism") == 0 && name.find_first_not_of("0123456789", 5) == std::string::npos) name = "prism";
  for (const char* m : methods)
    if (name == m) return 1;
  return -1;
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

// Which ends of an edge get an arrow: dir (forward by default in a directed
// graph, none in an undirected one) with arrowhead or arrowtail "none"
// taking its arrow away.
struct ArrowEnds {
  bool head = false;
  bool tail = false;
};

ArrowEnds arrowEnds(Agedge_t* e, bool directed) {
  std::string dir = attr(e, "dir");
  if (dir.empty()) dir = directed ? "forward" : "none";
  ArrowEnds a;
  a.head = (dir == "forward" || dir == "both") && attr(e, "arrowhead") != "none";
  a.tail = (dir == "back" || dir == "both") && attr(e, "arrowtail") != "none";
  return a;
}

// Graphviz's arrow heads are 10 points long times arrowsize.
double arrowLength(Agedge_t* e) {
  std::string size = attr(e, "arrowsize");
  double scale = size.empty() ? 1.0 : std::strtod(size.c_str(), nullptr);
  if (!std::isfinite(scale) || scale <= 0.0 || scale > 100.0) scale = 1.0;
  return 10.0 * scale;
}

Pt lerp(Pt a, Pt b, double t) { return Pt{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

// Cuts the start of the cubic p[0..3] back so that it begins `length` from
// where it began (half its chord at most), keeping the rest of the curve as
// it was. False when the piece has no length.
bool shortenStart(Pt* p, double length) {
  double chord = std::hypot(p[3].x - p[0].x, p[3].y - p[0].y);
  if (chord <= 0.0) return false;
  double want = std::min(length, chord / 2.0);
  auto at = [p](double t) {
    Pt q0 = lerp(p[0], p[1], t), q1 = lerp(p[1], p[2], t), q2 = lerp(p[2], p[3], t);
    return lerp(lerp(q0, q1, t), lerp(q1, q2, t), t);
  };
  // The curve's distance from its start grows along it for the pieces drawn
  // here (straight lines, gentle fans and loops); bisect for the parameter.
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < 50; ++i) {
    double mid = (lo + hi) / 2.0;
    Pt m = at(mid);
    if (std::hypot(m.x - p[0].x, m.y - p[0].y) < want) lo = mid;
    else hi = mid;
  }
  double t = hi;
  Pt q0 = lerp(p[0], p[1], t), q1 = lerp(p[1], p[2], t), q2 = lerp(p[2], p[3], t);
  Pt r1 = lerp(q1, q2, t);
  p[0] = lerp(lerp(q0, q1, t), r1, t);
  p[1] = r1;
  p[2] = q2;
  return true;
}

// The same at the head end of a spline (its last cubic).
bool shortenEnd(std::vector<Pt>& pts, double length) {
  size_t n = pts.size();
  Pt piece[4] = {pts[n - 1], pts[n - 2], pts[n - 3], pts[n - 4]};
  if (!shortenStart(piece, length)) return false;
  for (int i = 0; i < 4; ++i) pts[n - 1 - static_cast<size_t>(i)] = piece[i];
  return true;
}

void set(void* obj, const char* name, const std::string& value) {
  agsafeset(obj, const_cast<char*>(name), const_cast<char*>(value.c_str()), const_cast<char*>(""));
}

struct Box {
  double left = HUGE_VAL, bottom = HUGE_VAL, right = -HUGE_VAL, top = -HUGE_VAL;
  bool empty() const { return left > right; }
  void cover(const Box& b) {
    if (b.empty()) return;
    left = std::min(left, b.left);
    bottom = std::min(bottom, b.bottom);
    right = std::max(right, b.right);
    top = std::max(top, b.top);
  }
};

// Space around a cluster's contents, and the room its label takes above them
// (a line of the label's font size, 14 points unless it says otherwise).
constexpr double kClusterMargin = 8.0;

// Sets bb on every cluster at or below sub (innermost first, each around its
// nodes and inner clusters) and answers the box of what sub holds.
Box clusterBoxes(Agraph_t* sub, const std::unordered_map<Agnode_t*, const KWDNode*>& nodeOf) {
  Box box;
  for (Agraph_t* inner = agfstsubg(sub); inner; inner = agnxtsubg(inner)) box.cover(clusterBoxes(inner, nodeOf));
  for (Agnode_t* n = agfstnode(sub); n; n = agnxtnode(sub, n)) {
    auto it = nodeOf.find(agidnode(agroot(sub), AGID(n), 0));
    if (it == nodeOf.end()) continue;
    const KWDNode* dn = it->second;
    double x = static_cast<double>(dn->ntX()), y = static_cast<double>(dn->ntY());
    double hw = static_cast<double>(dn->ntWidth()) / 2.0, hh = static_cast<double>(dn->ntHeight()) / 2.0;
    box.cover(Box{x - hw, y - hh, x + hw, y + hh});
  }
  const char* name = agnameof(sub);
  if (box.empty() || !name || std::strncmp(name, "cluster", 7) != 0) return box;
  box.left -= kClusterMargin;
  box.bottom -= kClusterMargin;
  box.right += kClusterMargin;
  box.top += kClusterMargin;
  if (!attr(sub, "label").empty()) {
    std::string size = attr(sub, "fontsize");
    double points = size.empty() ? 14.0 : std::strtod(size.c_str(), nullptr);
    if (!std::isfinite(points) || points <= 0.0 || points > 1000.0) points = 14.0;
    box.top += points * 1.5;
  }
  set(sub, "bb", numberText(box.left) + "," + numberText(box.bottom) + "," + numberText(box.right) + "," +
                     numberText(box.top));
  return box;
}

}  // namespace

namespace {
// Turns a cgraph graph read from text into g, which takes it over.
void fromCgraph(const std::string& file, const std::string& text, std::unique_ptr<DotSource> src, ToolGraph& g,
                std::vector<SettingValue>* settings) {
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
    if (std::string(sym->name) == "overlap") {
      std::string value = agxget(ag, sym);
      if (value.empty()) continue;
      g.overlap = dotOverlap(value);
      if (g.overlap < 0)
        throw valueError(file, text, sym->name, value,
                         "graph attribute overlap \"" + value + "\" is not a boolean or an overlap removal method");
      continue;
    }
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

}  // namespace

namespace {
// cgraph reads a text up to its first NUL: one there is refused where it is.
void refuseNul(const std::string& file, const std::string& text) {
  size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    long line = 0, column = 0;
    lineAndColumn(text, nul, line, column);
    throw InputError(file, line, column, "NUL character in DOT text");
  }
}

// The warnings cgraph gave while reading, with their file and line, capped.
void passWarnings(const std::string& file, const std::string& text, const CgraphErrors& errors,
                  std::vector<std::string>* warnings) {
  if (!warnings) return;
  for (const CgraphReport& r : errors.reports)
    if (!r.error) warnings->push_back(locatedWarning(file, text, r.text));
  if (errors.collected.warnings > kMaxDotWarnings)
    warnings->push_back(file + ": " + std::to_string(errors.collected.warnings - kMaxDotWarnings) +
                        " more warnings like these");
}
}  // namespace

void readDotWarning(const std::string& file, const std::string& text, ToolGraph& g,
                    std::vector<SettingValue>* settings, std::vector<std::string>* warnings) {
  refuseNul(file, text);
  auto src = std::make_unique<DotSource>();
  {
    CgraphErrors errors;
    std::string name = file;  // cgraph keeps the pointer while it parses
    agsetfile(&name[0]);
    agreadline(1);
    // A node's label is its name unless it says otherwise, as in Graphviz:
    // with that default declared before the read, label="" is a value of
    // its own that DOT output writes back, not the default.
    agattr(nullptr, AGNODE, const_cast<char*>("label"), const_cast<char*>("\\N"));
    src->graph = agmemread(text.c_str());
    // The scanner keeps what follows the first graph (or the rest of a text
    // it gave up on) for the next read; this read ends here.
    aglexbad();
    // cgraph may hand back the part of the graph it read before an error
    // (a parser stack exhausted by deep nesting, say): that is no graph either.
    if (agerrors() > 0) throw syntaxError(file, text, errors.last());
    if (!src->graph) throw InputError(file, 0, 0, "no graph in the file");
    passWarnings(file, text, errors, warnings);
  }
  fromCgraph(file, text, std::move(src), g, settings);
}

void readDot(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings) {
  readDotWarning(file, text, g, settings, nullptr);
}

void readDotGraphs(const std::string& file, const std::string& text, KWFactory& factory,
                   std::vector<std::unique_ptr<ToolGraph>>& graphs, std::vector<std::vector<SettingValue>>* settings,
                   std::vector<std::string>* warnings) {
  refuseNul(file, text);
  std::vector<std::unique_ptr<DotSource>> sources;
  {
    CgraphErrors errors;
    // A node's label is its name unless it says otherwise, as in Graphviz:
    // with that default declared before the read, label="" is a value of
    // its own that DOT output writes back, not the default. (Declared before
    // the line count is set: declaring it touches the scanner's count.)
    agattr(nullptr, AGNODE, const_cast<char*>("label"), const_cast<char*>("\\N"));
    std::string name = file;  // cgraph keeps the pointer while it parses
    agsetfile(&name[0]);
    agreadline(1);
    // One stream for all the graphs: the scanner goes on where the last one
    // ended, its line count with it.
    std::string copy = text;
    std::FILE* in = fmemopen(&copy[0], copy.size(), "r");
    if (!in && !copy.empty()) throw InputError(file, 0, 0, "cannot read the text: " + std::string(std::strerror(errno)));
    while (in) {
      auto src = std::make_unique<DotSource>();
      src->graph = agread(in, nullptr);
      if (!src->graph || agerrors() > 0) break;
      sources.push_back(std::move(src));
      if (static_cast<long>(sources.size()) > kMaxNodes) break;
    }
    if (in) std::fclose(in);
    aglexbad();
    if (agerrors() > 0) throw syntaxError(file, text, errors.last());
    if (sources.empty()) throw InputError(file, 0, 0, "no graph in the file");
    if (static_cast<long>(sources.size()) > kMaxNodes)
      throw InputError(file, 0, 0, "more graphs than the limit of " + std::to_string(kMaxNodes));
    passWarnings(file, text, errors, warnings);
  }
  for (std::unique_ptr<DotSource>& src : sources) {
    graphs.push_back(std::make_unique<ToolGraph>(factory));
    std::vector<SettingValue> s;
    fromCgraph(file, text, std::move(src), *graphs.back(), &s);
    if (settings) settings->push_back(s);
  }
}

std::unique_ptr<DotSource> newDotSource(const ToolGraph& g) {
  OutputIds ids = outputIds(g, true);
  auto fresh = std::make_unique<DotSource>();
  fresh->fileNames = false;
  std::string name = g.name.empty() || !dotQuotable(g.name) ? "G" : g.name;
  fresh->graph = agopen(&name[0], g.directed ? Agdirected : Agundirected, nullptr);
  // Our nodes are rectangles.
  agattr(fresh->graph, AGNODE, const_cast<char*>("shape"), const_cast<char*>("box"));
  for (size_t i = 0; i < g.nodes().size(); ++i) fresh->nodes.push_back(agnode(fresh->graph, &ids.node[i][0], 1));
  std::unordered_map<const KWDNode*, size_t> index = g.nodeIndex();
  for (size_t i = 0; i < g.edges().size(); ++i) {
    const KWDEdge* e = g.edges()[i];
    Agedge_t* ae = agedge(fresh->graph, fresh->nodes[index[e->pFromNode()]], fresh->nodes[index[e->pToNode()]], nullptr, 1);
    if (!e->name().empty()) set(ae, "id", ids.edge[i]);
    fresh->edges.push_back(ae);
  }
  return fresh;
}

std::string writeDot(const ToolGraph& g) {
  // A graph of our own when the input was not DOT.
  std::unique_ptr<DotSource> fresh;
  const DotSource* src = g.dot.get();
  if (!src) {
    fresh = newDotSource(g);
    src = fresh.get();
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
  Box bounds{static_cast<double>(b.left()), static_cast<double>(b.bottom()), static_cast<double>(b.right()),
             static_cast<double>(b.top())};
  bool pinDeclared = agattr(ag, AGNODE, const_cast<char*>("pin"), nullptr) != nullptr;
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    const KWDNode* n = g.nodes()[i];
    Agnode_t* an = src->nodes[i];
    set(an, "pos", numberText(static_cast<double>(n->ntX())) + "," + numberText(static_cast<double>(n->ntY())));
    // The size the node is drawn at, as Graphviz writes it after a layout:
    // at least what its label needs, so the picture keeps the layout's room.
    long gap = g.outlineGap.empty() ? 0 : g.outlineGap[i];
    set(an, "width", inchText(std::max(n->ntWidth() - gap, 1L)));
    set(an, "height", inchText(std::max(n->ntHeight() - gap, 1L)));
    if (nodeConstrained(*n)) set(an, "pin", "true");
    else if (pinDeclared) set(an, "pin", "false");
  }
  std::vector<EdgeShape> shapes = edgeShapes(g);
  for (size_t i = 0; i < g.edges().size(); ++i) {
    Agedge_t* ae = src->edges[i];
    std::vector<Pt> pts = splinePoints(shapes[i]);
    ArrowEnds ends = arrowEnds(ae, g.directed);
    double length = arrowLength(ae);
    // The spline stops short of each arrow head, whose tip is at the node.
    // Graphviz reads the tail's arrow end first: "s,x,y e,x,y points".
    std::string pos;
    if (ends.tail) {
      Pt tip = pts.front();
      if (shortenStart(&pts[0], length)) pos = "s," + point(tip);
    }
    if (ends.head) {
      Pt tip = pts.back();
      if (shortenEnd(pts, length)) pos += (pos.empty() ? "e," : " e,") + point(tip);
    }
    for (const Pt& p : pts) pos += (pos.empty() ? "" : " ") + point(p);
    set(ae, "pos", pos);
  }

  // Clusters get the box around their nodes, which a renderer that keeps
  // positions draws as it is; the graph's box holds everything.
  std::unordered_map<Agnode_t*, const KWDNode*> nodeOf;
  for (size_t i = 0; i < g.nodes().size(); ++i) nodeOf[src->nodes[i]] = g.nodes()[i];
  for (Agraph_t* sub = agfstsubg(ag); sub; sub = agnxtsubg(sub)) bounds.cover(clusterBoxes(sub, nodeOf));
  for (const EdgeShape& shape : shapes)
    for (const Pt& p : splinePoints(shape)) bounds.cover(Box{p.x, p.y, p.x, p.y});
  set(ag, "bb", numberText(std::floor(bounds.left)) + "," + numberText(std::floor(bounds.bottom)) + "," +
                    numberText(std::ceil(bounds.right)) + "," + numberText(std::ceil(bounds.top)));

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
