// The framework's own files: OML graph files and legacy model files.
#ifndef KWSLAY_SL_KWFILES_H
#define KWSLAY_SL_KWFILES_H

#include <string>
#include <vector>

#include "sl_graph.h"

namespace kwslay {

/// Reads an OML graph file's text into g (nodes, edges, bends, settings).
/// Sections the graph cannot use are skipped and reported in *warnings.
/// Throws InputError.
void readOml(const std::string& file, const std::string& text, ToolGraph& g, std::vector<std::string>* warnings);

/// The OML text of g: the whole graph with positions, bends and the settings
/// sections of its layout styles.
std::string writeOml(const ToolGraph& g);

/// Reads a model file's text into g: its graph, nodes, edges and the settings
/// of its tailoring lines. Throws InputError.
void readModel(const std::string& file, const std::string& text, ToolGraph& g, std::vector<std::string>* warnings);

/// Applies only the tailoring lines of a model file to g's settings; the
/// whole file is checked first and nothing is applied when it is bad.
/// Throws InputError.
void applyModelTailoring(const std::string& file, const std::string& text, KWDGraph& g,
                         std::vector<std::string>* warnings);

}  // namespace kwslay

#endif
