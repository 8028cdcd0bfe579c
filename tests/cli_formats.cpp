// kwslay end to end: every input format to every output format, round trips
// through DOT, OML and GraphML, pictures, GraphML's own attributes and several
// graphs per run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

#include "cli_support.h"

using nlohmann::json;
using namespace clitest;

namespace {

// Writes g in the given input format into dir; OML is made from DOT by kwslay.
std::string inputFile(const TempDir& dir, const Graph& g, const std::string& format) {
  std::string path = dir / (g.name + "." + (format == "model" ? "mdl" : format));
  if (format == "dot") writeFile(path, toDot(g));
  else if (format == "graphml") writeFile(path, toGraphML(g));
  else if (format == "model") writeFile(path, toModel(g));
  else if (format == "oml") {
    writeFile(dir / (g.name + ".src.dot"), toDot(g));
    kwslayOk({"convert", dir / (g.name + ".src.dot"), "-o", path});
  }
  return path;
}

std::multiset<std::pair<std::string, std::string>> edgeEnds(const json& j) {
  std::multiset<std::pair<std::string, std::string>> s;
  for (const json& e : j["edges"]) s.emplace(e["source"].get<std::string>(), e["target"].get<std::string>());
  return s;
}

std::multiset<std::pair<std::string, std::string>> edgeEnds(const Graph& g) {
  std::multiset<std::pair<std::string, std::string>> s;
  for (const auto& e : g.edges) s.emplace(g.nodes[e.first], g.nodes[e.second]);
  return s;
}

// What every layout result must satisfy, whatever the graph.
void expectLayoutInvariants(const Graph& g, const json& j) {
  ASSERT_TRUE(j.is_object());
  ASSERT_EQ(j["nodes"].size(), g.nodes.size());
  ASSERT_EQ(j["edges"].size(), g.edges.size());
  std::set<std::string> ids, names(g.nodes.begin(), g.nodes.end());
  long left = j["bounds"]["left"], bottom = j["bounds"]["bottom"];
  long right = left + j["bounds"]["width"].get<long>(), top = bottom + j["bounds"]["height"].get<long>();
  for (const json& n : j["nodes"]) {
    ids.insert(n["id"].get<std::string>());
    long x = n["x"], y = n["y"], w = n["width"], h = n["height"];
    EXPECT_LE(left, x - w / 2);
    EXPECT_GE(right, x + w / 2);
    EXPECT_LE(bottom, y - h / 2);
    EXPECT_GE(top, y + h / 2);
  }
  EXPECT_EQ(ids, names);
  EXPECT_EQ(edgeEnds(j), edgeEnds(g));
}

// Checks an output of g in the given format, reading it with the library of that format.
void expectOutputOf(const Graph& g, const std::string& format, const std::string& path, const TempDir& dir) {
  std::string text = readFile(path);
  ASSERT_FALSE(text.empty());
  if (format == "json") {
    expectLayoutInvariants(g, parseJson(text));
  } else if (format == "svg") {
    bool ok = false;
    std::vector<std::string> labels = xmlTexts(text, "text", &ok);
    ASSERT_TRUE(ok) << "SVG is not well-formed";
    EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()), std::set<std::string>(g.nodes.begin(), g.nodes.end()));
    EXPECT_EQ(svgItems(text, "node").size(), g.nodes.size());
    std::vector<SvgItem> edges = svgItems(text, "edge");
    ASSERT_EQ(edges.size(), g.edges.size());
    for (const SvgItem& e : edges) EXPECT_FALSE(e.path.empty()) << e.title << " is not drawn";
  } else if (format == "dot") {
    Cgraph cg(text);
    ASSERT_NE(cg.get(), nullptr);
    EXPECT_EQ(agnnodes(cg.get()), static_cast<int>(g.nodes.size()));
    EXPECT_EQ(agnedges(cg.get()), static_cast<int>(g.edges.size()));
  } else {
    // OML and GraphML: read back by kwslay itself.
    kwslayOk({"convert", path, "-o", dir / "check.json"});
    expectLayoutInvariants(g, parseJson(readFile(dir / "check.json")));
  }
}

const char* const kInputs[] = {"dot", "graphml", "oml", "model"};
const char* const kOutputs[] = {"json", "svg", "dot", "oml", "graphml"};

}  // namespace

// Every input format to JSON over the graph families, and for one family
// (the cycle) to every output format, each read back with its own library.
TEST(KwslayFormats, EveryInputFormatToEveryOutputFormatOverGraphFamilies) {
  TempDir dir;
  for (const Graph& g : {grid(3, 4), cycle(7)})
    for (const char* in : kInputs) {
      std::string input = inputFile(dir, g, in);
      for (const char* out : kOutputs) {
        if (g.name != cycle(7).name && std::string(out) != "json") continue;
        SCOPED_TRACE(g.name + ": " + in + " -> " + out);
        std::string output = dir / (std::string("out_") + in + "." + out);
        kwslayOk({"layout", input, "-o", output, "--seed", "4"});
        expectOutputOf(g, out, output, dir);
      }
    }
}

TEST(KwslayFormats, FormatFlagsStandardInputAndOutput) {
  TempDir dir;
  Graph g = grid(2, 3);
  writeFile(dir / "graph.txt", toGraphML(g));
  Result r = kwslayOk({"layout", dir / "graph.txt", "--from", "graphml", "-o", dir / "out.data", "--to", "dot"});
  expectOutputOf(g, "dot", dir / "out.data", dir);
  r = kwslayOk({"layout", "-", "--from", "dot"}, "", toDot(g));
  expectLayoutInvariants(g, parseJson(r.out));
  r = kwslayOk({"layout", "-", "--from", "dot", "-o", "-", "--to", "svg"}, "", toDot(g));
  EXPECT_EQ(svgItems(r.out, "node").size(), g.nodes.size());
}

TEST(KwslayInvariants, RouteEdgesBendsTheEdgeThatWouldCrossANode) {
  TempDir dir;
  // Three pinned nodes in a row: the straight edge a-b runs through c.
  writeFile(dir / "r.dot",
            "graph { a [pos=\"0,0\", pin=true]; c [pos=\"200,0\", pin=true]; b [pos=\"400,0\", pin=true];"
            " a -- b; a -- c; c -- b; }");
  EXPECT_TRUE(parseJson(kwslayOk({"layout", dir / "r.dot"}).out)["edges"][0]["bends"].empty());
  EXPECT_FALSE(parseJson(kwslayOk({"layout", dir / "r.dot", "--route-edges"}).out)["edges"][0]["bends"].empty());
}

namespace {
// Nodes by id, edges as a sorted list of (source, target, bends).
std::map<std::string, json> nodesById(const json& j) {
  std::map<std::string, json> m;
  for (const json& n : j["nodes"]) m[n["id"]] = n;
  return m;
}

std::vector<std::tuple<std::string, std::string, std::string>> edgeList(const json& j) {
  std::vector<std::tuple<std::string, std::string, std::string>> v;
  for (const json& e : j["edges"]) v.emplace_back(e["source"], e["target"], e["bends"].dump());
  std::sort(v.begin(), v.end());
  return v;
}

void expectSameDrawing(const json& a, const json& b) {
  EXPECT_EQ(nodesById(a), nodesById(b));
  EXPECT_EQ(edgeList(a), edgeList(b));
  EXPECT_EQ(a["bounds"], b["bounds"]);
}
}  // namespace

// Nodes sized from their labels keep that size through a run that shrinks the
// nodes for the descent: the run gives back the measured size, not the input's.
TEST(KwslayLayout, LabelSizedNodesKeepTheirSizeWithShrinkage) {
  TempDir dir;
  writeFile(dir / "l.dot", "graph { a [label=\"a rather long label\"]; a -- b -- c; }");
  for (const char* shrink : {"shrinkagePerMil=0", "shrinkagePerMil=500"}) {
    kwslayOk({"layout", dir / "l.dot", "-o", dir / "l.json", "--set", shrink});
    EXPECT_GT(nodesById(parseJson(readFile(dir / "l.json")))["a"]["width"].get<long>(), 100) << shrink;
  }
}

TEST(KwslayRoundTrip, OutputsReadBackToTheSameDrawing) {
  TempDir dir;
  Graph g = randomGraph(10, 11);
  // A pinned node given in inches, a multi-edge, a loop and a setting take part as well.
  std::string dot = toDot(g, "  nodeSpacing=40;\n");
  dot.insert(dot.rfind('}'), "  v3 [pin=true, pos=\"10,20\", width=2];\n  v1 -> v2;\n  v1 -> v2;\n  v4 -> v4;\n");
  writeFile(dir / "g.dot", dot);
  Result r = kwslayOk({"layout", dir / "g.dot", "-o", dir / "ref.json", "--seed", "9"});
  json ref = parseJson(readFile(dir / "ref.json"));
  EXPECT_EQ(ref["edges"].size(), g.edges.size() + 3);
  EXPECT_EQ(nodesById(ref)["v3"]["width"], 144);
  for (const char* format : {"dot", "oml", "graphml"}) {
    SCOPED_TRACE(format);
    std::string out = dir / (std::string("out.") + format);
    r = kwslayOk({"layout", dir / "g.dot", "-o", out, "--seed", "9"});
    r = kwslayOk({"convert", out, "-o", dir / "back.json"});
    expectSameDrawing(ref, parseJson(readFile(dir / "back.json")));
  }
  // OML to OML keeps the bytes, the settings with them.
  kwslayOk({"convert", dir / "out.oml", "-o", dir / "again.oml"});
  EXPECT_EQ(readFile(dir / "out.oml"), readFile(dir / "again.oml"));
  EXPECT_NE(readFile(dir / "out.oml").find("nodeSpacing 40"), std::string::npos);
}

// ---- pictures -------------------------------------------------------------------

namespace {
// What a shell command prints, and whether it succeeded.
std::string commandOutput(const std::string& command, bool* ok = nullptr) {
  std::string out;
  FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  int status = pclose(p);
  if (ok) *ok = status == 0;
  return out;
}

double centreDistance(const SvgBox& a, const SvgBox& b) {
  return std::hypot((a.left + a.right - b.left - b.right) / 2, (a.top + a.bottom - b.top - b.bottom) / 2);
}

std::map<std::string, SvgItem> nodesByTitle(const std::string& svg) {
  std::map<std::string, SvgItem> m;
  for (const SvgItem& n : svgItems(svg, "node")) m[n.title] = n;
  return m;
}

// Whether the arrow heads of every dir=back edge (with a tail arrow) of the
// DOT graph sit at its tail in the SVG; edges are matched in order by title.
void expectBackArrowsAtTail(const std::string& dot, const std::string& svg) {
  Cgraph cg(dot);
  ASSERT_NE(cg.get(), nullptr);
  std::map<std::string, SvgItem> nodes = nodesByTitle(svg);
  std::multimap<std::string, SvgItem> edges;
  for (const SvgItem& e : svgItems(svg, "edge")) edges.emplace(e.title, e);
  for (Agnode_t* n = agfstnode(cg.get()); n; n = agnxtnode(cg.get(), n))
    for (Agedge_t* e = agfstout(cg.get(), n); e; e = agnxtout(cg.get(), e)) {
      char* dir = agget(e, const_cast<char*>("dir"));
      char* tailArrow = agget(e, const_cast<char*>("arrowtail"));
      if (!dir || std::string(dir) != "back" || (tailArrow && std::string(tailArrow) == "none")) continue;
      std::string tail = agnameof(agtail(e)), head = agnameof(aghead(e));
      auto range = edges.equal_range(tail + (agisdirected(cg.get()) ? "->" : "--") + head);
      ASSERT_NE(range.first, range.second) << tail << " -> " << head << " is not drawn";
      const SvgItem& drawn = range.first->second;
      ASSERT_FALSE(drawn.arrows.empty()) << tail << " -> " << head << " has no arrow";
      for (const SvgBox& a : drawn.arrows)
        EXPECT_LT(centreDistance(a, nodes[tail].shape), centreDistance(a, nodes[head].shape))
            << tail << " -> " << head << ": the arrow is not at the tail";
      edges.erase(range.first);
    }
}
}  // namespace

// PNG, PDF and SVG, chosen by -T, -TFMT and the extension, are files of
// their kind by their first bytes.
TEST(KwslayPictures, EveryPictureFormatIsAValidFileOfItsKind) {
  TempDir dir;
  writeFile(dir / "g.dot", toDot(randomGraph(8, 2)));
  struct Case {
    std::vector<std::string> flags;
    std::string file, magic;
  };
  const Case cases[] = {
      {{"-T", "png"}, "a.out", "\x89PNG\r\n\x1a\n"}, {{"-Tpdf"}, "b.out", "%PDF-"}, {{}, "c.svg", "<?xml"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<std::string> args{"layout", dir / "g.dot", "-o", dir / c.file};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    kwslayOk(args);
    std::string bytes = readFile(dir / c.file);
    EXPECT_EQ(bytes.compare(0, c.magic.size(), c.magic), 0);
  }
}

// Graphviz's example graphs (tests/data/graphviz): label texts and edge
// labels are drawn, dir=back arrows sit at the tail, no label is wider than
// the node the layout made for it, and neato -n2 of the DOT output draws the
// nodes where and as large as our SVG does.
TEST(KwslayPictures, GraphvizExamplesAreDrawnAsGraphvizDrawsThem) {
  TempDir dir;
  // A node's label is its name unless it says otherwise, as Graphviz reads it.
  agattr(nullptr, AGNODE, const_cast<char*>("label"), const_cast<char*>("\\N"));
  for (const char* name : {"fsm", "oldarrows", "clust4", "states"}) {
    SCOPED_TRACE(name);
    const std::string input = std::string(KW_SOURCE_DIR) + "/tests/data/graphviz/" + name + ".gv";
    const std::string dot = readFile(input);
    for (const char* out : {"out.svg", "out.dot", "out.json"})
      kwslayOk({"layout", input, "-o", dir / out, "--seed", "3"});
    const std::string svg = readFile(dir / "out.svg");
    std::vector<std::string> texts = xmlTexts(svg, "text", nullptr);
    std::multiset<std::string> drawn(texts.begin(), texts.end());
    Cgraph cg(dot);
    ASSERT_NE(cg.get(), nullptr);
    for (Agnode_t* n = agfstnode(cg.get()); n; n = agnxtnode(cg.get(), n)) {
      char* raw = agget(n, const_cast<char*>("label"));
      char* shape = agget(n, const_cast<char*>("shape"));
      std::string label = raw == nullptr || std::string(raw) == "\\N" ? agnameof(n) : raw;
      // Plain one-line labels; HTML and record labels are drawn in pieces.
      bool plain = !(raw && aghtmlstr(raw)) && !label.empty() && label.find('\\') == std::string::npos &&
                   !(shape && std::string(shape).find("record") != std::string::npos);
      if (plain) {
        EXPECT_GT(drawn.count(label), 0u) << "node " << agnameof(n) << ": label not drawn";
      }
      for (Agedge_t* e = agfstout(cg.get(), n); e; e = agnxtout(cg.get(), e)) {
        char* el = agget(e, const_cast<char*>("label"));
        if (el && *el && !aghtmlstr(el)) {
          EXPECT_GT(drawn.count(el), 0u) << "edge label " << el << " not drawn";
        }
      }
    }
    expectBackArrowsAtTail(dot, svg);
    // Graphviz's own drawing of the DOT output: where its nodes are, how
    // large, and how wide each label's text is.
    bool ok = false;
    std::string again = commandOutput("neato -n2 -Tsvg " + dir / "out.dot", &ok);
    ASSERT_TRUE(ok);
    std::map<std::string, SvgItem> ours = nodesByTitle(svg), theirs = nodesByTitle(again);
    ASSERT_EQ(ours.size(), theirs.size());
    for (const auto& [title, n] : ours) {
      const SvgBox &a = n.shape, &b = theirs[title].shape;
      EXPECT_NEAR(a.left, b.left, 0.01) << title;
      EXPECT_NEAR(a.top, b.top, 0.01) << title;
      EXPECT_NEAR(a.width(), b.width(), 0.01) << title;
      EXPECT_NEAR(a.height(), b.height(), 0.01) << title;
    }
    std::map<std::string, json> laid = nodesById(parseJson(readFile(dir / "out.json")));
    for (const auto& [title, n] : ours) {
      EXPECT_LE(n.shape.width(), laid[title]["width"].get<double>() + 0.01) << title << " is drawn wider than laid out";
    }
    Cgraph xdot(commandOutput("neato -n2 -Txdot " + dir / "out.dot"));
    ASSERT_NE(xdot.get(), nullptr);
    for (Agnode_t* n = agfstnode(xdot.get()); n; n = agnxtnode(xdot.get(), n)) {
      // Text operations read "T x y justification width length -text".
      std::string ops = agget(n, const_cast<char*>("_ldraw_")) ? agget(n, const_cast<char*>("_ldraw_")) : "";
      for (size_t at = ops.find("T "); at != std::string::npos; at = ops.find(" T ", at + 1)) {
        double width = 0;
        if (std::sscanf(ops.c_str() + at + (ops[at] == ' ' ? 1 : 0), "T %*f %*f %*d %lf", &width) != 1) continue;
        EXPECT_LE(width, laid[agnameof(n)]["width"].get<double>()) << agnameof(n) << ": label wider than its node";
      }
    }
  }
}

namespace {
// How often each <data key="..."> occurs in a GraphML text.
std::map<std::string, long> dataKeyCounts(const std::string& xml) {
  std::map<std::string, long> counts;
  const std::string tag = "<data key=\"";
  for (size_t at = xml.find(tag); at != std::string::npos; at = xml.find(tag, at + 1)) {
    size_t from = at + tag.size();
    ++counts[xml.substr(from, xml.find('"', from) - from)];
  }
  return counts;
}
}  // namespace

// Labels from the common keys (one declared in <graph> as well) and yEd's
// sizes, fills, line styles and arrows reach the DOT attributes the drawing
// uses; a <data> with an undeclared key is one warning naming the key, the
// file and the line.
TEST(KwslayFormats, GraphMLDrawingAttributesAndUndeclaredKeys) {
  TempDir dir;
  writeFile(dir / "keys.graphml",
            "<graphml><key id=\"l\" for=\"all\" attr.name=\"label\"/><key id=\"nm\" for=\"node\" attr.name=\"name\"/>\n"
            "<graph edgedefault=\"directed\"><key id=\"c\" for=\"node\" attr.name=\"label\"/>\n"
            "<node id=\"a\"><data key=\"l\">Alpha\nline</data><data key=\"nm\">ignored</data></node>\n"
            "<node id=\"b\"><data key=\"nm\">Beta</data></node>\n<node id=\"c\"><data key=\"c\">Gamma</data>"
            "<data key=\"zz\">1</data></node><edge source=\"a\" target=\"b\"><data key=\"l\">a to b</data></edge>"
            "</graph></graphml>");
  const std::string yed = std::string(KW_SOURCE_DIR) + "/tests/data/graphml/";
  const struct {
    std::string file;
    bool nodeAttr;
    const char* name;  // node name, or the edge's tail
    const char* attr;
    const char* value;
  } cases[] = {
      {dir / "keys.graphml", true, "a", "label", "Alpha\\nline"},
      {dir / "keys.graphml", true, "b", "label", "Beta"},
      {dir / "keys.graphml", true, "c", "label", "Gamma"},
      {dir / "keys.graphml", false, "a", "label", "a to b"},
      {yed + "nx_0556.graphml", true, "n0", "fillcolor", "#FFCC00"},
      {yed + "nx_0556.graphml", true, "n2", "width", "1.11111"},  // 80 points
      {yed + "nx_0556.graphml", false, "n0", "dir", "forward"},
      {yed + "nx_0778.graphml", true, "n1", "style", "filled,dashed,rounded"},
  };
  std::map<std::string, std::string> dots;
  for (const auto& c : cases) {
    if (!dots.count(c.file)) {
      Result r = kwslayOk({"layout", c.file, "-o", dir / "out.dot"});
      if (c.file == dir / "keys.graphml") {
        EXPECT_EQ(r.err, "kwslay: warning: " + dir / "keys.graphml:6: <data> refers to the undeclared key \"zz\"; "
                         "it is left out\n");
      }
      dots[c.file] = readFile(dir / "out.dot");
    }
    Cgraph g(dots[c.file]);
    ASSERT_NE(g.get(), nullptr);
    Agnode_t* n = agnode(g.get(), const_cast<char*>(c.name), 0);
    ASSERT_NE(n, nullptr) << c.file << " " << c.name;
    void* obj = c.nodeAttr ? static_cast<void*>(n) : static_cast<void*>(agfstout(g.get(), n));
    ASSERT_NE(obj, nullptr);
    const char* v = agget(obj, const_cast<char*>(c.attr));
    EXPECT_STREQ(v ? v : "(none)", c.value) << c.file << " " << c.name << " " << c.attr;
  }
}

// Keys kwslay does not interpret come back in GraphML output with their data
// and defaults, also when read again; a key whose id is one kwslay writes is
// renamed, its data with it.
TEST(KwslayFormats, GraphMLKeepsUnknownKeys) {
  TempDir dir;
  writeFile(dir / "clash.graphml",
            "<graphml><key id=\"x\" for=\"node\" attr.name=\"colour\"/><key id=\"w\" for=\"edge\" attr.name=\"weight\">"
            "<default>2.5</default></key><graph><node id=\"a\"><data key=\"x\">red</data></node><node id=\"b\"/>"
            "<edge source=\"a\" target=\"b\"><data key=\"w\">7</data></edge></graph></graphml>");
  kwslayOk({"layout", dir / "clash.graphml", "-o", dir / "out.graphml"});
  const std::string out = readFile(dir / "out.graphml");
  std::map<std::string, long> after = dataKeyCounts(out);
  EXPECT_EQ(after["x"], 2);  // kwslay's x, and the colour renamed
  EXPECT_EQ(after["x_1"], 1);
  EXPECT_EQ(after["w"], 1);
  EXPECT_NE(out.find("<key id=\"x_1\" for=\"node\" attr.name=\"colour\"/>"), std::string::npos) << out;
  EXPECT_NE(out.find("<default>2.5</default>"), std::string::npos) << out;
  kwslayOk({"convert", dir / "out.graphml", "-o", dir / "again.graphml"});
  EXPECT_EQ(dataKeyCounts(readFile(dir / "again.graphml")), after);
}

// Every graph of a DOT file is laid out: DOT output holds all of them (an
// undirected one stays undirected), other formats get one file per graph,
// numbered; -O writes each output next to its input.
TEST(KwslayFormats, SeveralGraphsAndInputs) {
  TempDir dir;
  writeFile(dir / "two.dot", "graph B { c -- d -- e }\ndigraph A { a -> b }\n");
  writeFile(dir / "one.gv", toDot(cycle(4)));
  Result r = kwslayOk({"layout", dir / "two.dot", "-o", dir / "out.json"});
  EXPECT_EQ(parseJson(readFile(dir / "out.json"))["nodes"].size(), 3u);
  EXPECT_EQ(parseJson(readFile(dir / "out.1.json"))["nodes"].size(), 2u);

  // Both graphs in one DOT file, read back graph by graph.
  r = kwslayOk({"layout", dir / "two.dot", dir / "one.gv", "-o", dir / "all.dot"});
  EXPECT_FALSE(agisdirected(Cgraph(readFile(dir / "all.dot")).get()));
  r = kwslayOk({"convert", dir / "all.dot", "-o", dir / "back.json"});
  const size_t sizes[] = {3, 2, 4};
  for (size_t i = 0; i < 3; ++i) {
    json j = parseJson(readFile(dir / (i == 0 ? std::string("back.json") : "back." + std::to_string(i) + ".json")));
    EXPECT_EQ(j["nodes"].size(), sizes[i]) << i;
    for (const json& n : j["nodes"]) EXPECT_TRUE(n["x"] != 0 || n["y"] != 0) << "graph " << i << " has no layout";
  }

  r = kwslayOk({"layout", dir / "two.dot", dir / "one.gv", "-O", "--to", "svg"});
  for (const char* f : {"two.dot.svg", "two.dot.1.svg", "one.gv.svg"}) EXPECT_FALSE(readFile(dir / f).empty()) << f;
}

// What cannot be written as asked is refused before anything is written,
// naming the file and the way to write it.
TEST(KwslayFormats, SeveralGraphsRefusals) {
  TempDir dir;
  writeFile(dir / "two.dot", "digraph A { a -> b }\ndigraph B { c -> d }\n");
  writeFile(dir / "bad.dot", "digraph { a -> }\n");
  const struct {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"layout", dir / "two.dot"}, 2, "two.dot holds 2 graphs"},
      {{"layout", dir / "two.dot", dir / "two.dot", "-o", dir / "x.json"}, 2, "2 input files: -O"},
      {{"layout", dir / "two.dot", "-O", "-o", dir / "x.json", "--to", "json"}, 2, "-O and -o"},
      {{"layout", dir / "two.dot", "-O"}, 2, "-O needs the output format"},
      {{"layout", dir / "two.dot", dir / "bad.dot", "-O", "--to", "json"}, 1, "bad.dot:1"},
  };
  for (const auto& c : cases) {
    Result r = kwslay(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"bad.dot", "two.dot"})) << c.message;
  }
}
