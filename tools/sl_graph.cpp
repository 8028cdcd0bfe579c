#include "sl_graph.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "sl_dot.h"
#include "sl_graphml.h"
#include "sl_render.h"
#include "sl_text.h"

namespace kwslay {

namespace {
std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

std::string located(const std::string& file, long line, long column, const std::string& message) {
  std::string s = file.empty() ? std::string("<input>") : file;
  if (line > 0) {
    s += ":" + std::to_string(line);
    if (column > 0) s += ":" + std::to_string(column);
  }
  return s + ": " + message;
}
}  // namespace

Format formatFromName(const std::string& name) {
  std::string n = lower(name);
  if (n == "oml") return Format::Oml;
  if (n == "model") return Format::Model;
  if (n == "dot" || n == "gv") return Format::Dot;
  if (n == "graphml") return Format::GraphML;
  if (n == "svg") return Format::Svg;
  if (n == "json") return Format::Json;
  if (canRender(n)) return Format::Picture;
  return Format::None;
}

Format formatFromPath(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return Format::None;
  std::string ext = lower(path.substr(dot + 1));
  if (ext == "mdl") return Format::Model;
  if (ext == "model") return Format::Model;
  return formatFromName(ext);
}

const char* formatName(Format f) {
  switch (f) {
    case Format::Oml: return "oml";
    case Format::Model: return "model";
    case Format::Dot: return "dot";
    case Format::GraphML: return "graphml";
    case Format::Svg: return "svg";
    case Format::Json: return "json";
    case Format::Picture: return "picture";
    case Format::None: break;
  }
  return "none";
}

InputError::InputError(const std::string& file, long line, long column, const std::string& message)
    : std::runtime_error(located(file, line, column, message)),
      file_(file), line_(line), column_(column), message_(message) {}

ToolGraph::ToolGraph(KWFactory& factory) : graph_(factory.newDGraph(KWSymmetricLayoutStyle)) {}

// The DOT graph is closed after the drawing graph is gone; neither refers to the other.
ToolGraph::~ToolGraph() = default;

KWDNode* ToolGraph::addNode(const std::string& nodeName, long x, long y, long w, long h, bool hasPos) {
  KWDNode* n = graph_->newNode(x, y, w, h, nodeName);
  nodes_.push_back(n);
  hasPosition_.push_back(hasPos);
  return n;
}

KWDEdge* ToolGraph::addEdge(KWDNode* from, KWDNode* to, const std::string& edgeName) {
  KWDEdge* e = graph_->newEdge(from, to, edgeName);
  edges_.push_back(e);
  return e;
}

void ToolGraph::adoptContents(bool havePositions) {
  nodes_.clear();
  edges_.clear();
  hasPosition_.clear();
  for (KWDNodeIter it(graph_.get()); it; ++it) {
    nodes_.push_back(it.pNode());
    hasPosition_.push_back(havePositions);
  }
  for (KWDEdgeIter it(graph_.get()); it; ++it) edges_.push_back(it.pEdge());
}

std::unordered_map<const KWDNode*, size_t> ToolGraph::nodeIndex() const {
  std::unordered_map<const KWDNode*, size_t> m;
  for (size_t i = 0; i < nodes_.size(); ++i) m.emplace(nodes_[i], i);
  return m;
}

namespace {
// Gives every object its name when that is free, otherwise prefix<index>,
// with a suffix added until the identifier is unique.
std::vector<std::string> uniqueIds(const std::vector<std::string>& names, const char* prefix) {
  std::unordered_set<std::string> taken;
  std::vector<std::string> ids(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    if (!names[i].empty() && taken.insert(names[i]).second) ids[i] = names[i];
  for (size_t i = 0; i < names.size(); ++i) {
    if (!ids[i].empty()) continue;
    std::string base = prefix + std::to_string(i);
    std::string id = base;
    for (long k = 1; !taken.insert(id).second; ++k) id = base + "_" + std::to_string(k);
    ids[i] = id;
  }
  return ids;
}
}  // namespace

bool dotQuotable(const std::string& s) {
  // cgraph also keeps names that start with '%' for its anonymous objects.
  if (!s.empty() && s[0] == '%') return false;
  return (s.empty() || s.back() != '\\') && s.find("\\\n") == std::string::npos &&
         s.find("\\\"") == std::string::npos && s.find('\0') == std::string::npos;
}

OutputIds outputIds(const ToolGraph& g, bool forDot) {
  std::vector<std::string> nodeNames, edgeNames;
  // Identifiers are unique as written: two names that differ only in bytes
  // the formats cannot hold would otherwise come out alike.
  auto usable = [forDot](const std::string& s) {
    std::string c = cleanText(s);
    return !forDot || dotQuotable(c) ? c : std::string();
  };
  for (const KWDNode* n : g.nodes()) nodeNames.push_back(usable(n->name()));
  for (const KWDEdge* e : g.edges()) edgeNames.push_back(usable(e->name()));
  OutputIds ids;
  ids.node = uniqueIds(nodeNames, "n");
  ids.edge = uniqueIds(edgeNames, "e");
  return ids;
}

KWRect drawingBounds(const ToolGraph& g) {
  KWRect r;
  g.graph().ntBoundingRect(r);
  return r;
}

}  // namespace kwslay
