// Support for the end-to-end tests of kwslay: running the built program,
// temporary directories, graph families written in every input format, and
// reading the outputs back with the libraries that read those formats.
#ifndef KWSLAY_CLI_SUPPORT_H
#define KWSLAY_CLI_SUPPORT_H

#include <graphviz/cgraph.h>

#include <nlohmann/json.hpp>

#include <string>
#include <utility>
#include <vector>

namespace clitest {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

/// A directory that is removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  /// The names of the files in the directory, sorted.
  std::vector<std::string> files() const;

 private:
  std::string path_;
};

/// Runs the built kwslay with args in directory cwd (empty: the current one),
/// with stdinText as its standard input.
Result kwslay(const std::vector<std::string>& args, const std::string& cwd = std::string(),
              const std::string& stdinText = std::string());

/// kwslay as above, failing the test unless it exits with status 0.
Result kwslayOk(const std::vector<std::string>& args, const std::string& cwd = std::string(),
                const std::string& stdinText = std::string());

void writeFile(const std::string& path, const std::string& text);
std::string readFile(const std::string& path);

/// An abstract graph: node names and edges between them (by index).
struct Graph {
  std::string name;
  std::vector<std::string> nodes;
  std::vector<std::pair<size_t, size_t>> edges;
};

/// Families of tests/support as named graphs.
Graph grid(int rows, int cols);
Graph cycle(int n);
/// A connected sparse random graph of n nodes, the same for the same seed.
Graph randomGraph(int n, unsigned seed);

std::string toDot(const Graph& g, const std::string& graphAttributes = std::string());
std::string toGraphML(const Graph& g);
std::string toModel(const Graph& g, const std::vector<std::string>& tailoringLines = {});

/// Parses JSON output (fails the test on a parse error by answering null).
nlohmann::json parseJson(const std::string& text);

/// A DOT text read with cgraph, closed when destroyed.
class Cgraph {
 public:
  explicit Cgraph(const std::string& text);
  ~Cgraph();
  Cgraph(const Cgraph&) = delete;
  Cgraph& operator=(const Cgraph&) = delete;
  Agraph_t* get() const { return g_; }

 private:
  Agraph_t* g_;
};

/// The character data of every element named element in an XML text (empty
/// when the text is not well-formed XML; wellFormed tells).
std::vector<std::string> xmlTexts(const std::string& xml, const char* element, bool* wellFormed);

/// A box in SVG coordinates (y grows downwards).
struct SvgBox {
  double left = 0, top = 0, right = 0, bottom = 0;
  double width() const { return right - left; }
  double height() const { return bottom - top; }
};

/// A node or edge group of a Graphviz SVG: its title (the node's name,
/// "tail->head" for an edge), the box around its outlines
/// (ellipses and polygons), its first path's d and the boxes of the polygons
/// and ellipses after that path (arrow heads).
struct SvgItem {
  std::string cls, title;
  SvgBox shape;
  bool hasShape = false;
  std::string path;
  std::vector<SvgBox> arrows;
};
/// The groups of one class ("node", "edge") of an SVG written by Graphviz.
std::vector<SvgItem> svgItems(const std::string& svg, const std::string& cls);

}  // namespace clitest

#endif
