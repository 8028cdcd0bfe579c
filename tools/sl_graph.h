// The graph kwslay works on: a drawing graph of the host, laid out in the
// symmetric style, with the bookkeeping that the file formats need (file order
// of nodes and edges, which nodes came with a position, the source DOT graph).
#ifndef KWSLAY_SL_GRAPH_H
#define KWSLAY_SL_GRAPH_H

#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/kwdgraph.h"
#include "host/kwfactory.h"

namespace kwslay {

/// File formats the tool reads or writes.
enum class Format { None, Oml, Model, Dot, GraphML, Svg, Json, Picture };

/// The format named on the command line ("oml", "dot", ...), or None.
Format formatFromName(const std::string& name);
/// Svg stands for itself; Picture for any other format the renderer
/// offers (png, pdf, ...), named by the option or extension that chose it.
/// The format a file name's extension stands for, or None.
Format formatFromPath(const std::string& path);
const char* formatName(Format f);

/// A bad input file. The location is 0 where it is not known.
class InputError : public std::runtime_error {
 public:
  InputError(const std::string& file, long line, long column, const std::string& message);
  const std::string& file() const { return file_; }
  long line() const { return line_; }
  long column() const { return column_; }
  const std::string& message() const { return message_; }

 private:
  std::string file_;
  long line_;
  long column_;
  std::string message_;
};

/// A command line the tool cannot follow.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// An output that could not be written (the old file, if any, is untouched).
class WriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DotSource;
struct GraphMLSource;

// Sizes of nodes that a file gives no size for: Graphviz's 0.75 × 0.5 inches.
constexpr long kDefaultNodeWidth = 54;
constexpr long kDefaultNodeHeight = 36;
// Coordinates and sizes read from files must stay within ±kMaxCoordinate, so
// that no later sum or product of them overflows.
constexpr double kMaxCoordinate = 1e9;
// The most nodes and edges, and the largest file, the readers accept: the
// same limits as the framework's own graph-file readers (KWOMLLimits).
constexpr long kMaxNodes = 1000000;
constexpr long kMaxEdges = 4000000;
constexpr long kMaxInputBytes = 512L * 1024 * 1024;

/// A drawing graph with everything the readers and writers need to know.
class ToolGraph {
 public:
  /// An empty graph made by factory, with the symmetric style enabled.
  explicit ToolGraph(KWFactory& factory);
  ~ToolGraph();
  ToolGraph(const ToolGraph&) = delete;
  ToolGraph& operator=(const ToolGraph&) = delete;

  KWDGraph& graph() const { return *graph_; }

  KWDNode* addNode(const std::string& name, long x, long y, long w, long h, bool hasPosition);
  KWDEdge* addEdge(KWDNode* from, KWDNode* to, const std::string& name);
  /// Takes the graph's nodes and edges, in the order of its lists, as this
  /// graph's (after a reader filled the drawing graph itself).
  void adoptContents(bool havePositions);

  /// Nodes and edges in file order (the graph's own lists may be reordered by a layout).
  const std::vector<KWDNode*>& nodes() const { return nodes_; }
  const std::vector<KWDEdge*>& edges() const { return edges_; }
  /// Whether node i had a position in the input.
  bool hasPosition(size_t i) const { return hasPosition_[i]; }
  /// Each node's index in nodes().
  std::unordered_map<const KWDNode*, size_t> nodeIndex() const;

  bool directed = true;
  long timeLimitMs = -1;  ///< the input's kwslay_time_limit in milliseconds; -1: none
  std::string name;
  /// Which nodes are drawn round (an ellipse, circle, ...), by index in
  /// nodes(); edges end on the ellipse inside their box. Empty: all boxes.
  std::vector<bool> round;
  /// How much wider and higher each node is drawn than its width and height
  /// attributes say (the gaps of a second or third outline), by index in
  /// nodes(); empty: none.
  std::vector<long> outlineGap;
  /// Overlap removal the input asked for (DOT's overlap): 1 remove, 0 keep, -1 not said.
  int overlap = -1;
  /// The DOT graph the graph was read from, kept so that DOT output is the
  /// input graph with positions added. Null for other sources.
  std::unique_ptr<DotSource> dot;
  /// What a GraphML input held beyond what the reader uses, written back by
  /// GraphML output. Null for other sources.
  std::unique_ptr<GraphMLSource> graphml;

 private:
  std::unique_ptr<KWDGraph> graph_;
  std::vector<KWDNode*> nodes_;
  std::vector<KWDEdge*> edges_;
  std::vector<bool> hasPosition_;
};

/// The identifiers written for nodes and edges: a node's name, an edge's name,
/// or where that is empty or already taken, "n<index>" or "e<index>" (made
/// unique as well). Names are taken as cleanText makes them, so that they are
/// unique as written. For DOT, a name that DOT cannot quote counts as empty
/// (see dotQuotable).
struct OutputIds {
  std::vector<std::string> node;
  std::vector<std::string> edge;
};
OutputIds outputIds(const ToolGraph& g, bool forDot = false);

/// Whether a DOT quoted string written by cgraph reads back as s: cgraph
/// escapes a quote as \" but leaves backslashes alone, so a backslash before
/// a quote or at the end breaks the string, and a backslash before a line
/// end is a line continuation that reading drops; nor can a DOT name hold a
/// NUL byte, or start with '%' (kept for cgraph's anonymous objects).
bool dotQuotable(const std::string& s);

/// The rectangle around the nodes and bends (KWDGraph::ntBoundingRect).
KWRect drawingBounds(const ToolGraph& g);

}  // namespace kwslay

#endif
