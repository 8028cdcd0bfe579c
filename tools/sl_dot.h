// DOT files, read and written with Graphviz's cgraph library.
#ifndef KWSLAY_SL_DOT_H
#define KWSLAY_SL_DOT_H

#include <graphviz/cgraph.h>

#include <memory>
#include <string>
#include <vector>

#include "sl_graph.h"
#include "sl_settings.h"

// Discards what cgraph's scanner still holds of a text it stopped reading,
// so that nothing is left behind for the next read (exported by libcgraph,
// though not declared in its public header).
extern "C" void aglexbad(void);

namespace kwslay {

/// The cgraph graph a ToolGraph was read from, with its nodes and edges in the
/// order of the ToolGraph's. Closes the graph when destroyed.
struct DotSource {
  Agraph_t* graph = nullptr;
  std::vector<Agnode_t*> nodes;
  std::vector<Agedge_t*> edges;
  /// Whether the cgraph names are the ToolGraph's names (a DOT file), not
  /// identifiers made for it (see newDotSource).
  bool fileNames = true;
  DotSource() = default;
  DotSource(const DotSource&) = delete;
  DotSource& operator=(const DotSource&) = delete;
  ~DotSource() { if (graph) agclose(graph); }
};

/// Reads DOT text (the first graph in it) into g: node names become ids,
/// width/height (inches) sizes, pos start positions, pin=true (or a pos ending
/// in "!") the constrained flag; graph attributes named like a setting are
/// returned in *settings, in file order; what the DOT scanner warns about
/// (such as a number run into a name, "1a", read as two tokens) in *warnings
/// as "FILE:LINE:COLUMN: message". Throws InputError.
void readDotWarning(const std::string& file, const std::string& text, ToolGraph& g,
                    std::vector<SettingValue>* settings, std::vector<std::string>* warnings);
/// The same, the warnings left out.
void readDot(const std::string& file, const std::string& text, ToolGraph& g, std::vector<SettingValue>* settings);

/// Reads every graph of a DOT text, in file order, each into a new graph
/// made by factory and appended to graphs; each graph's settings are
/// appended to *settings. Otherwise as readDotWarning. Throws InputError.
void readDotGraphs(const std::string& file, const std::string& text, KWFactory& factory,
                   std::vector<std::unique_ptr<ToolGraph>>& graphs, std::vector<std::vector<SettingValue>>* settings,
                   std::vector<std::string>* warnings);

/// A new cgraph graph with g's nodes and edges: nodes named by their DOT
/// identifiers (outputIds), boxes, edges with their names as id. Readers of
/// other formats attach one to carry drawing attributes (label, fillcolor,
/// ...) the way a DOT file carries them.
std::unique_ptr<DotSource> newDotSource(const ToolGraph& g);

/// The DOT text of g: the source graph when g was read from DOT, otherwise a
/// new graph, with pos on every node and edge, bb on the graph, node sizes,
/// pin on constrained nodes and the settings that differ from the defaults.
std::string writeDot(const ToolGraph& g);

}  // namespace kwslay

#endif
