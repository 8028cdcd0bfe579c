#include "cli_support.h"
#include "tests/support/engine_access.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>

extern char** environ;

namespace clitest {

TempDir::TempDir() {
  const char* base = std::getenv("TMPDIR");
  std::string tmpl = std::string(base && *base ? base : "/tmp") + "/kwslay-test-XXXXXX";
  if (!mkdtemp(&tmpl[0])) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::files() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream f(path, std::ios::binary);
  f << text;
  if (!f) throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

Result kwslay(const std::vector<std::string>& args, const std::string& cwd, const std::string& stdinText) {
  TempDir io;
  writeFile(io / "in", stdinText);
  std::vector<std::string> all{KWSLAY_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, (io / "in").c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, (io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, (io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&fa, cwd.c_str());
  pid_t pid = 0;
  Result r;
  int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return r;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = readFile(io / "out");
  r.err = readFile(io / "err");
  return r;
}

Result kwslayOk(const std::vector<std::string>& args, const std::string& cwd, const std::string& stdinText) {
  Result r = kwslay(args, cwd, stdinText);
  std::string cmd;
  for (const std::string& a : args) cmd += " " + a;
  EXPECT_EQ(r.status, 0) << "kwslay" << cmd << "\n" << r.err;
  return r;
}

// ---- graph families ------------------------------------------------------------

namespace {
// The nodes v of a family built in f, named prefix0, prefix1, ..., and its edges.
Graph named(const std::string& name, const std::string& prefix, const kwtest::Fixture& f,
            const std::vector<KWDNode*>& v) {
  Graph g{name, {}, {}};
  std::map<const KWDNode*, size_t> index;
  for (const KWDNode* n : v) {
    index[n] = g.nodes.size();
    g.nodes.push_back(prefix + std::to_string(g.nodes.size()));
  }
  for (KWDEdgeIter it(f.g()); it; ++it)
    g.edges.emplace_back(index[it.pEdge()->pFromNode()], index[it.pEdge()->pToNode()]);
  return g;
}
}  // namespace

Graph grid(int rows, int cols) {
  kwtest::Fixture f;
  return named("grid" + std::to_string(rows) + "x" + std::to_string(cols), "g", f, kwtest::grid(f, rows, cols));
}

Graph cycle(int n) {
  kwtest::Fixture f;
  return named("cycle" + std::to_string(n), "c", f, kwtest::cycle(f, n));
}

Graph randomGraph(int n, unsigned seed) {
  kwtest::Fixture f;
  return named("random" + std::to_string(n) + "_" + std::to_string(seed), "v", f, kwtest::sparse(f, n, seed));
}

std::string toDot(const Graph& g, const std::string& graphAttributes) {
  std::string s = "digraph \"" + g.name + "\" {\n" + graphAttributes;
  for (const std::string& n : g.nodes) s += "  \"" + n + "\";\n";
  for (const auto& e : g.edges) s += "  \"" + g.nodes[e.first] + "\" -> \"" + g.nodes[e.second] + "\";\n";
  return s + "}\n";
}

std::string toGraphML(const Graph& g) {
  std::string s =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
      "  <graph id=\"" + g.name + "\" edgedefault=\"directed\">\n";
  for (const std::string& n : g.nodes) s += "    <node id=\"" + n + "\"/>\n";
  for (const auto& e : g.edges)
    s += "    <edge source=\"" + g.nodes[e.first] + "\" target=\"" + g.nodes[e.second] + "\"/>\n";
  return s + "  </graph>\n</graphml>\n";
}

std::string toModel(const Graph& g, const std::vector<std::string>& tailoringLines) {
  std::string s = "model 1\ngraph\n";
  for (const std::string& l : tailoringLines) s += l + "\n";
  for (const std::string& n : g.nodes) s += "node " + n + " 0 0 54 36\n";
  for (size_t i = 0; i < g.edges.size(); ++i)
    s += "edge e" + std::to_string(i) + " " + g.nodes[g.edges[i].first] + " " + g.nodes[g.edges[i].second] + "\n";
  return s;
}

nlohmann::json parseJson(const std::string& text) {
  return nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
}

Cgraph::Cgraph(const std::string& text) : g_(nullptr) {
  agseterr(AGMAX);
  g_ = agmemread(text.c_str());
}

Cgraph::~Cgraph() {
  if (g_) agclose(g_);
}

namespace {
void collect(xmlNode* n, const char* element, std::vector<std::string>& out) {
  for (; n; n = n->next) {
    if (n->type == XML_ELEMENT_NODE && std::string(reinterpret_cast<const char*>(n->name)) == element) {
      xmlChar* c = xmlNodeGetContent(n);
      out.push_back(c ? reinterpret_cast<const char*>(c) : "");
      xmlFree(c);
    }
    collect(n->children, element, out);
  }
}

// Parses xml quietly and hands its root to visit; tells in wellFormed whether it parsed.
void withXmlRoot(const std::string& xml, bool* wellFormed, const std::function<void(xmlNode*)>& visit) {
  xmlDoc* doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "output.xml", nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (wellFormed) *wellFormed = doc != nullptr;
  if (!doc) return;
  visit(xmlDocGetRootElement(doc));
  xmlFreeDoc(doc);
}
}  // namespace

std::vector<std::string> xmlTexts(const std::string& xml, const char* element, bool* wellFormed) {
  std::vector<std::string> out;
  withXmlRoot(xml, wellFormed, [&](xmlNode* root) { collect(root, element, out); });
  return out;
}

namespace {
std::string prop(xmlNode* n, const char* name) {
  xmlChar* v = xmlGetProp(n, reinterpret_cast<const xmlChar*>(name));
  std::string s = v ? reinterpret_cast<const char*>(v) : "";
  xmlFree(v);
  return s;
}

double number(xmlNode* n, const char* name) { return std::atof(prop(n, name).c_str()); }

SvgBox pointsBox(const std::string& points) {
  SvgBox b{1e300, 1e300, -1e300, -1e300};
  double x = 0, y = 0;
  for (const char* p = points.c_str(); std::sscanf(p, "%lf,%lf", &x, &y) == 2;) {
    b = SvgBox{std::min(b.left, x), std::min(b.top, y), std::max(b.right, x), std::max(b.bottom, y)};
    p = std::strchr(p, ' ');
    if (!p) break;
    ++p;
  }
  return b;
}

SvgBox ellipseBox(xmlNode* d) {
  return SvgBox{number(d, "cx") - number(d, "rx"), number(d, "cy") - number(d, "ry"), number(d, "cx") + number(d, "rx"),
                number(d, "cy") + number(d, "ry")};
}

void items(xmlNode* n, std::vector<SvgItem>& out) {
  for (; n; n = n->next) {
    if (n->type != XML_ELEMENT_NODE) continue;
    std::string name = reinterpret_cast<const char*>(n->name);
    std::string cls = name == "g" ? prop(n, "class") : "";
    if (cls == "node" || cls == "edge") {
      SvgItem it;
      it.cls = cls;
      for (xmlNode* c = n->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        std::string e = reinterpret_cast<const char*>(c->name);
        // Anchors (URL attributes) wrap the drawing one level down.
        for (xmlNode* d = e == "a" || e == "g" ? c->children : c; d; d = e == "a" || e == "g" ? d->next : nullptr) {
          if (d->type != XML_ELEMENT_NODE) continue;
          std::string de = reinterpret_cast<const char*>(d->name);
          xmlChar* content = xmlNodeGetContent(d);
          std::string text = content ? reinterpret_cast<const char*>(content) : "";
          xmlFree(content);
          if (de == "title") it.title = text;
          else if ((de == "ellipse" || de == "polygon") && cls != "edge") {
            SvgBox b = de == "ellipse" ? ellipseBox(d) : pointsBox(prop(d, "points"));
            it.shape = !it.hasShape ? b
                                    : SvgBox{std::min(it.shape.left, b.left), std::min(it.shape.top, b.top),
                                             std::max(it.shape.right, b.right), std::max(it.shape.bottom, b.bottom)};
            it.hasShape = true;
          } else if (de == "path" && it.path.empty()) {
            it.path = prop(d, "d");
          } else if ((de == "polygon" || de == "ellipse") && !it.path.empty()) {
            it.arrows.push_back(de == "ellipse" ? ellipseBox(d) : pointsBox(prop(d, "points")));
          }
        }
      }
      out.push_back(it);
      continue;
    }
    items(n->children, out);
  }
}
}  // namespace

std::vector<SvgItem> svgItems(const std::string& svg, const std::string& cls) {
  std::vector<SvgItem> all, out;
  withXmlRoot(svg, nullptr, [&](xmlNode* root) { items(root, all); });
  for (const SvgItem& it : all)
    if (it.cls == cls) out.push_back(it);
  return out;
}

}  // namespace clitest
