#include "sl_render.h"

#include <graphviz/gvc.h>
#include <graphviz/types.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "sl_dot.h"
#include "sl_text.h"

namespace kwslay {

namespace {

Agraph_t* readForRenderer(const ToolGraph& g, const std::string& dot);

// The renderer context with its plugins loaded, made once for the whole run
// and freed when the program ends: Graphviz's text measurement keeps font data
// past gvFreeContext, and a context made after another was freed reads that
// freed memory. Every measurement and picture of a run uses this one.
GVC_t* sharedContext() {
  static struct Holder {
    GVC_t* gvc = gvContext();
    ~Holder() { gvFreeContext(gvc); }
  } holder;
  return holder.gvc;
}

// The shared renderer context, with the renderer's complaints silenced while
// it is used, and a graph read from DOT text released however the caller leaves.
struct Renderer {
  GVC_t* gvc;
  Renderer() : gvc(sharedContext()) {
    // The renderer's complaints (a font not found, say) are not ours to print.
    agseterr(AGMAX);
  }
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;
};

struct ReadGraph {
  Agraph_t* g;
  ReadGraph(const ToolGraph& tg, const std::string& text) : g(readForRenderer(tg, text)) {}
  ~ReadGraph() { if (g) agclose(g); }
  ReadGraph(const ReadGraph&) = delete;
  ReadGraph& operator=(const ReadGraph&) = delete;
};

// value as text the renderer can hold, in the graph `to`; HTML labels stay
// HTML.
void setClean(Agraph_t* to, void* obj, Agsym_t* sym, char* value) {
  std::string clean = cleanText(value ? value : "");
  if (value && aghtmlstr(value)) {
    // agxset shares the string already held, HTML mark and all.
    char* html = agstrdup_html(to, &clean[0]);
    agxset(obj, sym, html);
    agstrfree(to, html);
  } else {
    agxset(obj, sym, &clean[0]);
  }
}

void copyAttributes(Agraph_t* from, void* a, Agraph_t* to, void* b, int kind) {
  for (Agsym_t* sym = agnxtattr(from, kind, nullptr); sym; sym = agnxtattr(from, kind, sym)) {
    char* v = agxget(a, sym);
    if (v && v != sym->defval && std::strcmp(v, sym->defval ? sym->defval : "") != 0)
      setClean(to, b, agattr(to, kind, sym->name, nullptr), v);
  }
}

struct Copy {
  Agraph_t* from;
  Agraph_t* to;
  std::unordered_map<Agnode_t*, Agnode_t*> node;
  std::unordered_map<Agedge_t*, Agedge_t*> edge;

  void subgraphs(Agraph_t* a, Agraph_t* b) {
    for (Agraph_t* sa = agfstsubg(a); sa; sa = agnxtsubg(sa)) {
      std::string name = cleanText(agnameof(sa) ? agnameof(sa) : "");
      Agraph_t* sb = agsubg(b, name[0] == '%' ? nullptr : &name[0], 1);
      if (!sb) continue;
      copyAttributes(from, sa, to, sb, AGRAPH);
      for (Agnode_t* n = agfstnode(sa); n; n = agnxtnode(sa, n)) {
        agsubnode(sb, node[agidnode(from, AGID(n), 0)], 1);
        for (Agedge_t* e = agfstout(sa, n); e; e = agnxtout(sa, e)) {
          auto it = edge.find(agidedge(from, agtail(e), aghead(e), AGID(e), 0));
          if (it != edge.end()) agsubedge(sb, it->second, 1);
        }
      }
      subgraphs(sa, sb);
    }
  }
};

// The graph read from the DOT text of g, with every name and attribute value
// as text the renderer's outputs can hold: byte sequences that are not UTF-8
// and control characters become U+FFFD, and nodes take the identifiers the
// other outputs give them (unique however alike their names come out).
// cgraph cannot rename a node safely, so such a graph is copied.
Agraph_t* readForRenderer(const ToolGraph& g, const std::string& dot) {
  Agraph_t* ag = agmemread(dot.c_str());
  aglexbad();  // the next file read starts afresh, at its own line 1
  if (!ag) return nullptr;
  OutputIds ids = outputIds(g, true);
  std::vector<Agnode_t*> nodes;
  bool same = cleanText(dot) == dot;
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    std::string name = g.dot ? agnameof(g.dot->nodes[i]) : ids.node[i];
    nodes.push_back(agnode(ag, &name[0], 0));
    if (!nodes.back() || name != ids.node[i]) same = false;
  }
  if (same) return ag;

  std::string name = cleanText(agnameof(ag) ? agnameof(ag) : "");
  Copy c{ag, agopen(name[0] == '%' ? nullptr : &name[0], ag->desc, nullptr), {}, {}};
  for (int kind : {AGRAPH, AGNODE, AGEDGE})
    for (Agsym_t* sym = agnxtattr(ag, kind, nullptr); sym; sym = agnxtattr(ag, kind, sym)) {
      std::string def = cleanText(sym->defval ? sym->defval : "");
      agattr(c.to, kind, sym->name, &def[0]);
    }
  copyAttributes(ag, ag, c.to, c.to, AGRAPH);
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (!nodes[i]) continue;
    Agnode_t* n = agnode(c.to, &ids.node[i][0], 1);
    c.node[nodes[i]] = n;
    copyAttributes(ag, nodes[i], c.to, n, AGNODE);
  }
  for (Agnode_t* n = agfstnode(ag); n; n = agnxtnode(ag, n))
    for (Agedge_t* e = agfstout(ag, n); e; e = agnxtout(ag, e)) {
      auto t = c.node.find(agtail(e)), h = c.node.find(aghead(e));
      if (t == c.node.end() || h == c.node.end()) continue;
      std::string key = cleanText(agnameof(e) ? agnameof(e) : "");
      Agedge_t* copy = agedge(c.to, t->second, h->second, key.empty() || key[0] == '%' ? nullptr : &key[0], 1);
      c.edge[e] = copy;
      copyAttributes(ag, e, c.to, copy, AGEDGE);
    }
  c.subgraphs(ag, c.to);
  agclose(ag);
  return c.to;
}

// Graphviz shapes whose outline is an ellipse: edges end on the ellipse.
bool roundShape(const std::string& shape) {
  static const char* const kRound[] = {"ellipse", "oval", "circle", "doublecircle", "Mcircle", "point", ""};
  for (const char* r : kRound)
    if (shape == r) return true;
  return false;
}

}  // namespace

std::vector<std::string> renderFormats() {
  Renderer r;
  int count = 0;
  char** list = gvPluginList(r.gvc, "device", &count, nullptr);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    // Entries read "name" or "name:plugin"; keep the names, once each.
    std::string name = list[i];
    name = name.substr(0, name.find(':'));
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    std::free(list[i]);
  }
  std::free(list);
  // Formats that are not pictures: DOT, JSON and the like are written by
  // kwslay itself, and an interactive window is no file.
  static const char* const kNotPictures[] = {"canon", "dot", "gv", "xdot", "xdot1.2", "xdot1.4", "json", "json0",
                                              "dot_json", "xdot_json", "plain", "plain-ext", "x11", "xlib",
                                              "gtk", "vrml", "imap_np", "cmapx_np"};
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& n) {
                               for (const char* x : kNotPictures)
                                 if (n == x) return true;
                               return false;
                             }),
              names.end());
  std::sort(names.begin(), names.end());
  return names;
}

bool canRender(const std::string& format) {
  static const std::vector<std::string> formats = renderFormats();
  return std::find(formats.begin(), formats.end(), format) != formats.end();
}

std::string renderPicture(const ToolGraph& g, const std::string& format) {
  std::string dot = writeDot(g);
  Renderer r;
  ReadGraph rg(g, dot);
  if (!rg.g) throw WriteError("the renderer cannot read the drawing's DOT text");
  // "nop2": every node and edge keeps the position and path it has.
  if (gvLayout(r.gvc, rg.g, "nop2") != 0) throw WriteError("the renderer refused the drawing");
  char* data = nullptr;
  unsigned int length = 0;
  int rc = gvRenderData(r.gvc, rg.g, format.c_str(), &data, &length);
  std::string out = rc == 0 && data ? std::string(data, length) : std::string();
  if (data) gvFreeRenderData(data);
  gvFreeLayout(r.gvc, rg.g);
  if (rc != 0) throw WriteError("the renderer cannot write " + format);
  return out;
}

void measureNodes(ToolGraph& g) {
  if (g.nodes().empty()) return;
  std::string dot = writeDot(g);
  Renderer r;
  ReadGraph rg(g, dot);
  if (!rg.g) return;
  // Only the nodes matter; without edges the placement does no routing.
  std::vector<Agedge_t*> edges;
  for (Agnode_t* n = agfstnode(rg.g); n; n = agnxtnode(rg.g, n))
    for (Agedge_t* e = agfstout(rg.g, n); e; e = agnxtout(rg.g, e)) edges.push_back(e);
  for (Agedge_t* e : edges) agdelete(rg.g, e);
  if (gvLayout(r.gvc, rg.g, "nop") != 0) return;
  OutputIds ids = outputIds(g, true);
  g.round.assign(g.nodes().size(), false);
  g.outlineGap.assign(g.nodes().size(), 0);
  for (size_t i = 0; i < g.nodes().size(); ++i) {
    Agnode_t* n = agnode(rg.g, &ids.node[i][0], 0);
    if (!n) continue;
    KWDNode* dn = g.nodes()[i];
    // Up to whole drawing units, so the layout never gives a node less room
    // than its drawing takes. The measured size becomes the node's own size,
    // the one a run gives back after shrinking nodes for the descent.
    long w = static_cast<long>(std::ceil(ND_width(n) * 72.0 - 1e-3));
    long h = static_cast<long>(std::ceil(ND_height(n) * 72.0 - 1e-3));
    dn->size(std::max(w, 1L), std::max(h, 1L));
    // Outlines after the first are drawn 4 points apart around it, outside
    // the width and height asked for.
    g.outlineGap[i] = 0;
    if (ND_shape(n) && ND_shape(n)->polygon && ND_shape_info(n)) {
      int peripheries = static_cast<polygon_t*>(ND_shape_info(n))->peripheries;
      if (peripheries > 1) g.outlineGap[i] = 8L * (peripheries - 1);
    }
    char* shape = agget(n, const_cast<char*>("shape"));
    g.round[i] = roundShape(shape ? shape : "ellipse");
  }
  gvFreeLayout(r.gvc, rg.g);
}

}  // namespace kwslay
