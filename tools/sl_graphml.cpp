#include "sl_graphml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <unordered_map>

#include "sl_text.h"

namespace kwslay {

namespace {

struct DocFree {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct CtxtFree {
  void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};

// The first error of a parse: libxml2 reports every later consequence as well
// (an unclosed tag is followed by "premature end of data"), and the first one
// is the one that tells what is wrong.
struct FirstError {
  bool set = false;
  long line = 0;
  long column = 0;
  std::string message;
  bool entity = false;  // the document declares an entity
  long entityLine = 0;
};

// GraphML needs no entities of its own. A declaration is refused and the
// parse stopped, so no entity can pull in a file or expand to gigabytes
// ("billion laughs"); the five predefined entities and character
// references still work.
void refuseEntityDecl(void* data, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(data);
  auto* first = ctxt ? static_cast<FirstError*>(ctxt->_private) : nullptr;
  if (first && !first->entity) {
    first->entity = true;
    first->entityLine = ctxt->input ? ctxt->input->line : 0;
  }
  if (ctxt) xmlStopParser(ctxt);
}
void refuseUnparsedEntityDecl(void* data, const xmlChar* name, const xmlChar* publicId, const xmlChar* systemId,
                              const xmlChar*) {
  refuseEntityDecl(data, name, 0, publicId, systemId, nullptr);
}

void keepFirstError(void* data, xmlErrorPtr e) {
  auto* ctxt = static_cast<xmlParserCtxtPtr>(data);
  auto* first = ctxt ? static_cast<FirstError*>(ctxt->_private) : nullptr;
  if (!first || first->set || !e || e->level < XML_ERR_ERROR) return;
  first->set = true;
  first->line = e->line;
  first->column = e->int2;
  first->message = e->message ? e->message : "";
}

struct Key {
  std::string domain;  // "node", "edge", "graph", "all", ...
  std::string name;    // attr.name
  std::string defaultValue;
  bool hasDefault = false;
};

std::string localName(const xmlNode* n) { return n && n->name ? reinterpret_cast<const char*>(n->name) : ""; }

bool isElement(const xmlNode* n, const char* name) {
  return n && n->type == XML_ELEMENT_NODE && localName(n) == name;
}

std::string prop(const xmlNode* n, const char* name, bool* present = nullptr) {
  xmlChar* v = xmlGetProp(const_cast<xmlNode*>(n), reinterpret_cast<const xmlChar*>(name));
  if (present) *present = v != nullptr;
  std::string s = v ? reinterpret_cast<const char*>(v) : "";
  xmlFree(v);
  return s;
}

std::string content(const xmlNode* n) {
  xmlChar* v = xmlNodeGetContent(n);
  std::string s = v ? reinterpret_cast<const char*>(v) : "";
  xmlFree(v);
  return s;
}

std::string trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

class Reader {
 public:
  Reader(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings)
      : file_(file), text_(text), g_(g), settings_(settings) {}

  void read(const xmlNode* root) {
    if (!isElement(root, "graphml")) fail(root, "the document is not GraphML (no <graphml> element)");
    const xmlNode* graph = nullptr;
    for (const xmlNode* c = root->children; c; c = c->next) {
      if (isElement(c, "key")) readKey(c);
      else if (isElement(c, "graph") && !graph) graph = c;
    }
    if (!graph) fail(root, "no <graph> element");
    g_.name = prop(graph, "id");
    g_.directed = prop(graph, "edgedefault") != "undirected";
    readGraphData(graph);
    collect(graph);
    for (const xmlNode* n : nodes_) readNode(n);
    for (const xmlNode* e : edges_) readEdge(e);
  }

 private:
  [[noreturn]] void fail(const xmlNode* at, const std::string& message) const {
    long line = at ? static_cast<long>(xmlGetLineNo(const_cast<xmlNode*>(at))) : 0;
    if (line < 0) line = 0;
    long column = at ? columnOf(text_, line, "<" + std::string(at->ns && at->ns->prefix ? reinterpret_cast<const char*>(at->ns->prefix) + std::string(":") : "") + localName(at)) : 0;
    throw InputError(file_, line, column, message);
  }

  void readKey(const xmlNode* k) {
    Key key;
    std::string id = prop(k, "id");
    if (id.empty()) fail(k, "<key> without id");
    key.domain = prop(k, "for");
    if (key.domain.empty()) key.domain = "all";
    key.name = prop(k, "attr.name");
    for (const xmlNode* c = k->children; c; c = c->next)
      if (isElement(c, "default")) {
        key.defaultValue = trim(content(c));
        key.hasDefault = true;
      }
    keys_[id] = key;
  }

  // The values of one element's data by attr.name, defaults of its domain first.
  std::map<std::string, std::pair<std::string, const xmlNode*>> dataOf(const xmlNode* el, const char* domain) {
    std::map<std::string, std::pair<std::string, const xmlNode*>> values;
    for (const auto& k : keys_)
      if (k.second.hasDefault && (k.second.domain == domain || k.second.domain == "all"))
        values[k.second.name] = std::make_pair(k.second.defaultValue, el);
    for (const xmlNode* c = el->children; c; c = c->next) {
      if (!isElement(c, "data")) continue;
      auto k = keys_.find(prop(c, "key"));
      if (k == keys_.end()) fail(c, "<data> refers to the undeclared key \"" + prop(c, "key") + "\"");
      values[k->second.name] = std::make_pair(trim(content(c)), c);
    }
    return values;
  }

  void readGraphData(const xmlNode* graph) {
    for (const auto& d : dataOf(graph, "graph")) {
      const SettingInfo* s = findSetting(d.first);
      if (!s) continue;
      SettingValue v;
      std::string expected;
      if (!parseSettingValue(*s, d.second.first, v, &expected))
        fail(d.second.second, "graph data " + d.first + " \"" + d.second.first + "\" is not " + expected);
      if (settings_) settings_->push_back(v);
    }
  }

  // Nodes and edges of the graph and of the graphs nested in its nodes, in
  // document order. The nesting is walked with a stack of its own, so no
  // file can make this recurse deeply.
  void collect(const xmlNode* graph) {
    std::vector<const xmlNode*> pending{graph->children};
    while (!pending.empty()) {
      const xmlNode* c = pending.back();
      if (!c) {
        pending.pop_back();
        continue;
      }
      pending.back() = c->next;
      if (isElement(c, "node")) {
        nodes_.push_back(c);
        for (const xmlNode* sub = c->children; sub; sub = sub->next)
          if (isElement(sub, "graph")) pending.push_back(sub->children);
      } else if (isElement(c, "edge")) {
        edges_.push_back(c);
      } else if (isElement(c, "hyperedge")) {
        fail(c, "hyperedges are not supported");
      }
      if (nodes_.size() > static_cast<size_t>(kMaxNodes))
        fail(c, "more nodes than the limit of " + std::to_string(kMaxNodes));
      if (edges_.size() > static_cast<size_t>(kMaxEdges))
        fail(c, "more edges than the limit of " + std::to_string(kMaxEdges));
    }
  }

  double number(const std::pair<std::string, const xmlNode*>& d, const std::string& what, bool size) {
    const char* s = d.first.c_str();
    char* end = nullptr;
    errno = 0;
    double v = std::strtod(s, &end);
    if (d.first.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v) || std::fabs(v) > kMaxCoordinate ||
        (size && v < 0.0))
      fail(d.second, what + " \"" + d.first + "\" is not " + (size ? "a size" : "a coordinate"));
    return v;
  }

  void readNode(const xmlNode* n) {
    bool present = false;
    std::string id = prop(n, "id", &present);
    if (!present) fail(n, "<node> without id");
    if (index_.count(id)) fail(n, "node id \"" + id + "\" is used twice");
    auto data = dataOf(n, "node");
    double w = kDefaultNodeWidth, h = kDefaultNodeHeight, x = 0.0, y = 0.0;
    bool hasX = false, hasY = false, constrained = false;
    auto it = data.find("width");
    if (it != data.end()) w = number(it->second, "node \"" + id + "\": width", true);
    if ((it = data.find("height")) != data.end()) h = number(it->second, "node \"" + id + "\": height", true);
    if ((it = data.find("x")) != data.end()) { x = number(it->second, "node \"" + id + "\": x", false); hasX = true; }
    if ((it = data.find("y")) != data.end()) { y = number(it->second, "node \"" + id + "\": y", false); hasY = true; }
    for (const char* flag : {"pin", "constrained"}) {
      if ((it = data.find(flag)) == data.end()) continue;
      if (!parseFlag(it->second.first, constrained))
        fail(it->second.second, "node \"" + id + "\": " + flag + " \"" + it->second.first + "\" is not true or false");
    }
    KWDNode* dn = g_.addNode(id, std::lround(x), std::lround(y), std::lround(w), std::lround(h), hasX && hasY);
    if (constrained) nodeConstrained(*dn, true);
    index_[id] = dn;
  }

  void readEdge(const xmlNode* e) {
    std::string source = prop(e, "source"), target = prop(e, "target");
    auto from = index_.find(source);
    if (from == index_.end()) fail(e, "edge source \"" + source + "\" is not a node");
    auto to = index_.find(target);
    if (to == index_.end()) fail(e, "edge target \"" + target + "\" is not a node");
    KWDEdge* de = g_.addEdge(from->second, to->second, prop(e, "id"));
    auto data = dataOf(e, "edge");
    auto it = data.find("bends");
    if (it == data.end()) return;
    const std::string& list = it->second.first;
    size_t i = 0;
    while (i < list.size()) {
      while (i < list.size() && (list[i] == ' ' || list[i] == '\t' || list[i] == '\n' || list[i] == '\r')) ++i;
      if (i >= list.size()) break;
      size_t j = list.find_first_of(" \t\r\n", i);
      if (j == std::string::npos) j = list.size();
      std::string token = list.substr(i, j - i);
      i = j;
      size_t comma = token.find(',');
      if (comma == std::string::npos) fail(it->second.second, "edge bends \"" + list + "\" are not \"x,y x,y ...\"");
      double x = number(std::make_pair(token.substr(0, comma), it->second.second), "edge bend", false);
      double y = number(std::make_pair(token.substr(comma + 1), it->second.second), "edge bend", false);
      de->ntAppendBend(KWPoint(std::lround(x), std::lround(y)));
    }
  }

  const std::string& file_;
  const std::string& text_;
  ToolGraph& g_;
  std::vector<SettingValue>* settings_;
  std::map<std::string, Key> keys_;
  std::vector<const xmlNode*> nodes_;
  std::vector<const xmlNode*> edges_;
  std::unordered_map<std::string, KWDNode*> index_;
};

std::string keyLine(const std::string& id, const char* domain, const std::string& name, const char* type) {
  return "  <key id=\"" + xmlEscape(id) + "\" for=\"" + domain + "\" attr.name=\"" + xmlEscape(name) +
         "\" attr.type=\"" + type + "\"/>\n";
}

std::string data(const std::string& key, const std::string& value) {
  return "<data key=\"" + xmlEscape(key) + "\">" + xmlEscape(value) + "</data>";
}

}  // namespace

void readGraphML(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings) {
  if (text.size() > static_cast<size_t>(INT_MAX)) throw InputError(file, 0, 0, "file too large");
  std::unique_ptr<xmlParserCtxt, CtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt || !ctxt->sax) throw InputError(file, 0, 0, "out of memory");
  FirstError first;
  ctxt->_private = &first;
  ctxt->sax->serror = keepFirstError;
  ctxt->sax->entityDecl = refuseEntityDecl;
  ctxt->sax->unparsedEntityDecl = refuseUnparsedEntityDecl;
  // No network, no external DTD, no entity substitution.
  std::unique_ptr<xmlDoc, DocFree> doc(xmlCtxtReadMemory(ctxt.get(), text.data(), static_cast<int>(text.size()),
                                                         file.c_str(), nullptr,
                                                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
  if (first.entity)
    throw InputError(file, first.entityLine, 0,
                     "entity declarations are not accepted (GraphML needs none; they could read other files "
                     "or expand without bound)");
  if (!doc || !ctxt->wellFormed) {
    if (first.set) throw InputError(file, first.line, first.column, trim(first.message));
    const xmlError* err = xmlCtxtGetLastError(ctxt.get());
    std::string message = err && err->message ? trim(err->message) : "not well-formed XML";
    throw InputError(file, err ? err->line : 0, err ? err->int2 : 0, message);
  }
  Reader(file, text, g, settings).read(xmlDocGetRootElement(doc.get()));
}

std::string writeGraphML(const ToolGraph& g) {
  OutputIds ids = outputIds(g);
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n";
  std::vector<SettingText> settings = allSettings(g.graph());
  for (const SettingText& s : settings) {
    const SettingInfo* info = findSetting(s.first);
    const char* type = info->kind == SettingKind::Real ? "double" : info->kind == SettingKind::Integer ? "int" : "boolean";
    out += keyLine("g_" + s.first, "graph", s.first, type);
  }
  out += keyLine("x", "node", "x", "double");
  out += keyLine("y", "node", "y", "double");
  out += keyLine("width", "node", "width", "double");
  out += keyLine("height", "node", "height", "double");
  out += keyLine("constrained", "node", "constrained", "boolean");
  out += keyLine("bends", "edge", "bends", "string");
  out += "  <graph id=\"" + xmlEscape(g.name.empty() ? "G" : g.name) + "\" edgedefault=\"" +
         (g.directed ? "directed" : "undirected") + "\">\n";
  for (const SettingText& s : settings) out += "    " + data("g_" + s.first, s.second) + "\n";
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    const KWDNode* n = g.nodes()[i];
    out += "    <node id=\"" + xmlEscape(ids.node[i]) + "\">" + data("x", std::to_string(n->ntX())) +
           data("y", std::to_string(n->ntY())) + data("width", std::to_string(n->ntWidth())) +
           data("height", std::to_string(n->ntHeight())) +
           data("constrained", nodeConstrained(*n) ? "true" : "false") + "</node>\n";
  }
  std::unordered_map<const KWDNode*, size_t> index = g.nodeIndex();
  for (size_t i = 0; i < g.edges().size(); ++i) {
    const KWDEdge* e = g.edges()[i];
    out += "    <edge id=\"" + xmlEscape(ids.edge[i]) + "\" source=\"" + xmlEscape(ids.node[index[e->pFromNode()]]) +
           "\" target=\"" + xmlEscape(ids.node[index[e->pToNode()]]) + "\"";
    std::vector<KWPoint> bends = e->bendPoints();
    if (bends.empty()) {
      out += "/>\n";
      continue;
    }
    std::string list;
    for (const KWPoint& b : bends) list += (list.empty() ? "" : " ") + std::to_string(b.x()) + "," + std::to_string(b.y());
    out += ">" + data("bends", list) + "</edge>\n";
  }
  out += "  </graph>\n</graphml>\n";
  return out;
}

}  // namespace kwslay
