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
#include <unordered_set>

#include "sl_dot.h"
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
  bool kept = false;   // not interpreted: written back as it came
};

// The node and edge data the reader interprets; keys with other names are kept.
bool interpreted(const Key& k) {
  const bool node = k.domain == "node" || k.domain == "all";
  const bool edge = k.domain == "edge" || k.domain == "all";
  const bool graph = k.domain == "graph" || k.domain == "all";
  for (const char* n : {"x", "y", "width", "height", "pin", "constrained"})
    if (node && k.name == n) return true;
  if (edge && k.name == "bends") return true;
  return graph && findSetting(k.name) != nullptr;
}

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

// The contents of an element as XML text.
std::string innerXml(const xmlNode* n) {
  std::unique_ptr<xmlBuffer, void (*)(xmlBuffer*)> buf(xmlBufferCreate(), xmlBufferFree);
  if (!buf) throw std::bad_alloc();
  for (xmlNode* c = n->children; c; c = c->next) xmlNodeDump(buf.get(), n->doc, c, 0, 0);
  return std::string(reinterpret_cast<const char*>(xmlBufferContent(buf.get())),
                     static_cast<size_t>(xmlBufferLength(buf.get())));
}

// The attributes of an element but its id, as XML text (" name=\"value\"...").
std::string attributesXml(const xmlNode* n) {
  std::string out;
  for (const xmlAttr* a = n->properties; a; a = a->next) {
    std::string name = reinterpret_cast<const char*>(a->name);
    if (!a->ns && name == "id") continue;
    if (a->ns && a->ns->prefix) name = reinterpret_cast<const char*>(a->ns->prefix) + (":" + name);
    xmlChar* v = xmlNodeListGetString(n->doc, a->children, 1);
    out += " " + name + "=\"" + xmlEscape(v ? reinterpret_cast<const char*>(v) : "") + "\"";
    xmlFree(v);
  }
  return out;
}

// Walks the nodes below first's parent from first on, in document order, with
// a stack of its own, so that no file can make the walk recurse deeply.
// visit(c, down) may add child lists to walk into next (down.push_back); it
// answers false to end the walk.
template <typename Visit>
void walkBelow(const xmlNode* first, Visit visit) {
  std::vector<const xmlNode*> pending{first};
  while (!pending.empty()) {
    const xmlNode* c = pending.back();
    if (!c) {
      pending.pop_back();
      continue;
    }
    pending.back() = c->next;
    if (!visit(c, pending)) return;
  }
}

// The first element named name below n (any namespace), in document order.
const xmlNode* findBelow(const xmlNode* n, const char* name) {
  const xmlNode* found = nullptr;
  walkBelow(n->children, [&](const xmlNode* c, std::vector<const xmlNode*>& down) {
    if (isElement(c, name)) found = c;
    else if (c->type == XML_ELEMENT_NODE) down.push_back(c->children);
    return found == nullptr;
  });
  return found;
}

// The text directly inside an element (a yEd label holds its model elements as well).
std::string ownText(const xmlNode* n) {
  std::string s;
  for (const xmlNode* c = n->children; c; c = c->next)
    if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
      s += reinterpret_cast<const char*>(c->content);
  return trim(s);
}

// A label as a DOT label value: a backslash stays a backslash and a line
// break is one (DOT labels give both a meaning of their own).
std::string dotLabel(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\\') out += "\\\\";
    else if (c == '\n') out += "\\n";
    else if (c != '\r') out += c;
  }
  return out;
}

using Attributes = std::vector<std::pair<std::string, std::string>>;

// yEd's shape names and Graphviz's.
const char* dotShape(const std::string& yed, bool* rounded) {
  *rounded = yed == "roundrectangle";
  static const std::pair<const char*, const char*> shapes[] = {
      {"rectangle", "box"},       {"roundrectangle", "box"}, {"ellipse", "ellipse"},
      {"diamond", "diamond"},     {"hexagon", "hexagon"},    {"octagon", "octagon"},
      {"triangle", "triangle"},   {"parallelogram", "parallelogram"}, {"trapezoid", "trapezium"},
      {"trapezoid2", "invtrapezium"}};
  for (const auto& s : shapes)
    if (yed == s.first) return s.second;
  return nullptr;
}

// Graphviz's style for a yEd line type.
const char* dotLineStyle(const std::string& yed) {
  if (yed == "dashed" || yed == "dashed_dotted") return "dashed";
  if (yed == "dotted") return "dotted";
  return nullptr;
}

class Reader {
 public:
  Reader(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings,
         std::vector<std::string>* warnings)
      : file_(file), text_(text), g_(g), settings_(settings), warnings_(warnings),
        kept_(std::make_unique<GraphMLSource>()) {}

  void read(const xmlNode* root) {
    if (!isElement(root, "graphml")) fail(root, "the document is not GraphML (no <graphml> element)");
    const xmlNode* graph = nullptr;
    for (const xmlNode* c = root->children; c; c = c->next)
      if (isElement(c, "graph") && !graph) graph = c;
    if (!graph) fail(root, "no <graph> element");
    readKeys(root);
    for (const xmlNs* ns = root->nsDef; ns; ns = ns->next)
      if (ns->prefix && ns->href)
        kept_->namespaces += " xmlns:" + std::string(reinterpret_cast<const char*>(ns->prefix)) + "=\"" +
                             xmlEscape(reinterpret_cast<const char*>(ns->href)) + "\"";
    kept_->document = keptData(root);
    g_.name = prop(graph, "id");
    g_.directed = prop(graph, "edgedefault") != "undirected";
    readGraphData(graph);
    kept_->graph = keptData(graph);
    collect(graph);
    for (const xmlNode* n : nodes_) readNode(n);
    for (const xmlNode* e : edges_) readEdge(e);
    attachAttributes();
    g_.graphml = std::move(kept_);
  }

 private:
  [[noreturn]] void fail(const xmlNode* at, const std::string& message) const {
    long line = at ? static_cast<long>(xmlGetLineNo(const_cast<xmlNode*>(at))) : 0;
    if (line < 0) line = 0;
    long column = at ? columnOf(text_, line, "<" + std::string(at->ns && at->ns->prefix ? reinterpret_cast<const char*>(at->ns->prefix) + std::string(":") : "") + localName(at)) : 0;
    throw InputError(file_, line, column, message);
  }

  long lineOf(const xmlNode* at) const {
    long line = at ? static_cast<long>(xmlGetLineNo(const_cast<xmlNode*>(at))) : 0;
    return line < 0 ? 0 : line;
  }

  void warn(const xmlNode* at, const std::string& message) const {
    if (warnings_) warnings_->push_back(InputError(file_, lineOf(at), 0, message).what());
  }

  // Every <key> of the document, in <graphml> or in a <graph> at any depth
  // (the contents of <data> and <key> are not GraphML structure and are not
  // searched).
  void readKeys(const xmlNode* root) {
    walkBelow(root->children, [this](const xmlNode* c, std::vector<const xmlNode*>& down) {
      if (isElement(c, "key")) readKey(c);
      else if (c->type == XML_ELEMENT_NODE && !isElement(c, "data")) down.push_back(c->children);
      return true;
    });
  }

  void readKey(const xmlNode* k) {
    Key key;
    std::string id = prop(k, "id");
    if (id.empty()) fail(k, "<key> without id");
    if (keys_.count(id)) {
      warn(k, "key \"" + id + "\" is declared again; the first declaration is used");
      return;
    }
    key.domain = prop(k, "for");
    if (key.domain.empty()) key.domain = "all";
    key.name = prop(k, "attr.name");
    for (const xmlNode* c = k->children; c; c = c->next)
      if (isElement(c, "default")) {
        key.defaultValue = trim(content(c));
        key.hasDefault = true;
      }
    key.kept = !interpreted(key);
    if (key.kept) kept_->keys.push_back(GraphMLSource::Key{id, attributesXml(k), innerXml(k)});
    keys_[id] = key;
  }

  // The data of el whose keys are kept, as XML text.
  GraphMLSource::Data keptData(const xmlNode* el) const {
    GraphMLSource::Data data;
    for (const xmlNode* c = el->children; c; c = c->next) {
      if (!isElement(c, "data")) continue;
      auto k = keys_.find(prop(c, "key"));
      if (k != keys_.end() && k->second.kept) data.emplace_back(k->first, innerXml(c));
    }
    return data;
  }

  // The values of one element's data by attr.name, defaults of its domain
  // first. A <data> whose key is not declared is left out with a warning.
  std::map<std::string, std::pair<std::string, const xmlNode*>> dataOf(const xmlNode* el, const char* domain) {
    std::map<std::string, std::pair<std::string, const xmlNode*>> values;
    for (const auto& k : keys_)
      if (k.second.hasDefault && (k.second.domain == domain || k.second.domain == "all"))
        values[k.second.name] = std::make_pair(k.second.defaultValue, el);
    for (const xmlNode* c = el->children; c; c = c->next) {
      if (!isElement(c, "data")) continue;
      auto k = keys_.find(prop(c, "key"));
      if (k == keys_.end()) {
        warn(c, "<data> refers to the undeclared key \"" + prop(c, "key") + "\"; it is left out");
        continue;
      }
      if (!k->second.name.empty()) values[k->second.name] = std::make_pair(trim(content(c)), c);
    }
    return values;
  }

  // The first yEd graphics element named name in el's data.
  static const xmlNode* yed(const xmlNode* el, const char* name) {
    for (const xmlNode* c = el->children; c; c = c->next)
      if (isElement(c, "data"))
        if (const xmlNode* found = findBelow(c, name)) return found;
    return nullptr;
  }

  // The drawing attributes of a node, from the common keys and yEd's graphics;
  // *w and *h become the yEd size where the data gives none.
  Attributes nodeAttributes(const xmlNode* n, const std::map<std::string, std::pair<std::string, const xmlNode*>>& data,
                            const std::string& id, double* w, double* h) {
    Attributes a;
    std::string label;
    bool hasLabel = false;
    auto it = data.find("label");
    if (it != data.end()) {
      label = it->second.first;
      hasLabel = true;
    } else if (const xmlNode* l = yed(n, "NodeLabel")) {
      label = ownText(l);
      hasLabel = true;
    } else if ((it = data.find("name")) != data.end()) {
      label = it->second.first;
      hasLabel = true;
    }
    if (hasLabel) a.emplace_back("label", dotLabel(label));
    if (const xmlNode* geo = yed(n, "Geometry")) {
      bool has = false;
      std::string v = prop(geo, "width", &has);
      if (has && !data.count("width")) *w = number(std::make_pair(v, geo), "node \"" + id + "\": yEd width", true);
      v = prop(geo, "height", &has);
      if (has && !data.count("height")) *h = number(std::make_pair(v, geo), "node \"" + id + "\": yEd height", true);
    }
    std::string style;
    auto addStyle = [&style](const char* s) { style += (style.empty() ? "" : ",") + std::string(s); };
    if (const xmlNode* fill = yed(n, "Fill")) {
      std::string color = prop(fill, "color");
      if (!color.empty() && prop(fill, "transparent") != "true") {
        a.emplace_back("fillcolor", color);
        addStyle("filled");
      }
    }
    if (const xmlNode* border = yed(n, "BorderStyle")) {
      std::string color = prop(border, "color"), width = prop(border, "width");
      if (!color.empty()) a.emplace_back("color", color);
      if (!width.empty()) a.emplace_back("penwidth", width);
      if (const char* line = dotLineStyle(prop(border, "type"))) addStyle(line);
    }
    if (const xmlNode* shape = yed(n, "Shape")) {
      bool rounded = false;
      if (const char* s = dotShape(prop(shape, "type"), &rounded)) a.emplace_back("shape", s);
      if (rounded) addStyle("rounded");
    }
    if (!style.empty()) a.emplace_back("style", style);
    return a;
  }

  Attributes edgeAttributes(const xmlNode* e, const std::map<std::string, std::pair<std::string, const xmlNode*>>& data) {
    Attributes a;
    auto it = data.find("label");
    if (it != data.end()) a.emplace_back("label", dotLabel(it->second.first));
    else if (const xmlNode* l = yed(e, "EdgeLabel")) a.emplace_back("label", dotLabel(ownText(l)));
    if (const xmlNode* line = yed(e, "LineStyle")) {
      std::string color = prop(line, "color"), width = prop(line, "width");
      if (!color.empty()) a.emplace_back("color", color);
      if (!width.empty()) a.emplace_back("penwidth", width);
      if (const char* s = dotLineStyle(prop(line, "type"))) a.emplace_back("style", s);
    }
    if (const xmlNode* arrows = yed(e, "Arrows")) {
      const bool atSource = prop(arrows, "source") != "none" && !prop(arrows, "source").empty();
      const bool atTarget = prop(arrows, "target") != "none" && !prop(arrows, "target").empty();
      a.emplace_back("dir", atSource && atTarget ? "both" : atSource ? "back" : atTarget ? "forward" : "none");
    }
    return a;
  }

  // The drawing attributes set on a cgraph graph attached to the graph, as
  // a DOT file would have them.
  void attachAttributes() {
    bool any = !graphAttributes_.empty();
    for (const Attributes& a : nodeAttributes_) any = any || !a.empty();
    for (const Attributes& a : edgeAttributes_) any = any || !a.empty();
    if (!any) return;
    g_.dot = newDotSource(g_);
    auto set = [](void* obj, const std::string& name, const std::string& value) {
      agsafeset(obj, const_cast<char*>(name.c_str()), const_cast<char*>(value.c_str()), const_cast<char*>(""));
    };
    for (const auto& a : graphAttributes_) set(g_.dot->graph, a.first, a.second);
    for (size_t i = 0; i < nodeAttributes_.size(); ++i)
      for (const auto& a : nodeAttributes_[i]) set(g_.dot->nodes[i], a.first, a.second);
    for (size_t i = 0; i < edgeAttributes_.size(); ++i)
      for (const auto& a : edgeAttributes_[i]) set(g_.dot->edges[i], a.first, a.second);
  }

  void readGraphData(const xmlNode* graph) {
    auto data = dataOf(graph, "graph");
    auto label = data.find("label");
    if (label != data.end()) graphAttributes_.emplace_back("label", dotLabel(label->second.first));
    for (const auto& d : data) {
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
    walkBelow(graph->children, [this](const xmlNode* c, std::vector<const xmlNode*>& down) {
      if (isElement(c, "node")) {
        nodes_.push_back(c);
        for (const xmlNode* sub = c->children; sub; sub = sub->next)
          if (isElement(sub, "graph")) down.push_back(sub->children);
      } else if (isElement(c, "edge")) {
        edges_.push_back(c);
      } else if (isElement(c, "hyperedge")) {
        fail(c, "hyperedges are not supported");
      }
      if (nodes_.size() > static_cast<size_t>(kMaxNodes))
        fail(c, "more nodes than the limit of " + std::to_string(kMaxNodes));
      if (edges_.size() > static_cast<size_t>(kMaxEdges))
        fail(c, "more edges than the limit of " + std::to_string(kMaxEdges));
      return true;
    });
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
    nodeAttributes_.push_back(nodeAttributes(n, data, id, &w, &h));
    kept_->nodes.push_back(keptData(n));
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
    edgeAttributes_.push_back(edgeAttributes(e, data));
    kept_->edges.push_back(keptData(e));
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
  std::vector<std::string>* warnings_;
  std::unique_ptr<GraphMLSource> kept_;
  Attributes graphAttributes_;
  std::vector<Attributes> nodeAttributes_;
  std::vector<Attributes> edgeAttributes_;
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
  readGraphMLWarning(file, text, g, settings, nullptr);
}

void readGraphMLWarning(const std::string& file, const std::string& text, ToolGraph& g,
                        std::vector<SettingValue>* settings, std::vector<std::string>* warnings) {
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
  Reader(file, text, g, settings, warnings).read(xmlDocGetRootElement(doc.get()));
}

std::string writeGraphML(const ToolGraph& g) {
  OutputIds ids = outputIds(g);
  const GraphMLSource* kept = g.graphml.get();
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\"" + (kept ? kept->namespaces : std::string()) + ">\n";
  std::vector<SettingText> settings = allSettings(g.graph());
  // Kept keys are written first, renamed where their id is one of ours.
  std::unordered_map<std::string, std::string> keptIds;
  if (kept) {
    std::unordered_set<std::string> taken{"x", "y", "width", "height", "constrained", "bends"};
    for (const SettingText& s : settings) taken.insert("g_" + s.first);
    for (const GraphMLSource::Key& k : kept->keys) taken.insert(k.id);
    for (const GraphMLSource::Key& k : kept->keys) {
      std::string id = k.id;
      if (id == "x" || id == "y" || id == "width" || id == "height" || id == "constrained" || id == "bends" ||
          (id.compare(0, 2, "g_") == 0 && findSetting(id.substr(2))))
        for (long n = 1; !taken.insert(id = k.id + "_" + std::to_string(n)).second; ++n) {
        }
      keptIds[k.id] = id;
      out += "  <key id=\"" + xmlEscape(id) + "\"" + k.attributes + (k.body.empty() ? "/>\n" : ">" + k.body + "</key>\n");
    }
  }
  auto keptData = [&keptIds](const GraphMLSource::Data& data) {
    std::string s;
    for (const auto& d : data) s += "<data key=\"" + xmlEscape(keptIds[d.first]) + "\">" + d.second + "</data>";
    return s;
  };
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
  if (kept && !kept->graph.empty()) out += "    " + keptData(kept->graph) + "\n";
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    const KWDNode* n = g.nodes()[i];
    out += "    <node id=\"" + xmlEscape(ids.node[i]) + "\">" + data("x", std::to_string(n->ntX())) +
           data("y", std::to_string(n->ntY())) + data("width", std::to_string(n->ntWidth())) +
           data("height", std::to_string(n->ntHeight())) +
           data("constrained", nodeConstrained(*n) ? "true" : "false") +
           (kept && i < kept->nodes.size() ? keptData(kept->nodes[i]) : std::string()) + "</node>\n";
  }
  std::unordered_map<const KWDNode*, size_t> index = g.nodeIndex();
  for (size_t i = 0; i < g.edges().size(); ++i) {
    const KWDEdge* e = g.edges()[i];
    out += "    <edge id=\"" + xmlEscape(ids.edge[i]) + "\" source=\"" + xmlEscape(ids.node[index[e->pFromNode()]]) +
           "\" target=\"" + xmlEscape(ids.node[index[e->pToNode()]]) + "\"";
    std::vector<KWPoint> bends = e->bendPoints();
    std::string extra = kept && i < kept->edges.size() ? keptData(kept->edges[i]) : std::string();
    if (bends.empty() && extra.empty()) {
      out += "/>\n";
      continue;
    }
    std::string list;
    for (const KWPoint& b : bends) list += (list.empty() ? "" : " ") + std::to_string(b.x()) + "," + std::to_string(b.y());
    out += ">" + (bends.empty() ? std::string() : data("bends", list)) + extra + "</edge>\n";
  }
  out += "  </graph>\n";
  if (kept && !kept->document.empty()) out += "  " + keptData(kept->document) + "\n";
  out += "</graphml>\n";
  return out;
}

}  // namespace kwslay
