// Reading and writing whole drawing graphs as OML graph files.
//
// A file holds one graph: its nodes (id, name, centre, size, dummy flag), its
// edges (id, name, end nodes, bends, the connectors the user specified, the
// keepsConnectors flag) and, for graph, nodes and edges, one section per
// layout style holding that style's settings. docs/oml-format.md describes
// the format.
//
// Reading builds a new graph with the target's factory and layout styles and
// hands it over only when the whole file was read without error: the target's
// nodes and edges are replaced by the file's, and the target's graph tailors
// take the settings of the file (a setting the file does not mention takes its
// default). On error the target is left exactly as it was.
//
// Writing asks every tailor of every layout style on the graph, node and edge
// whether its section must be written and has it write the section. The file
// is replaced only when the text is complete (see kwWriteFileAtomically).
//
// Both operations end every layout style's file state (releaseFileState), so
// no style keeps anything attached to the file once they return.
#ifndef KWGFILE_H
#define KWGFILE_H

#include <iosfwd>
#include <string>
#include <vector>

#include "host/kwoml.h"

class KWDGraph;

/// How settings are written.
struct KWOMLWriteOptions {
  /// Leave out values equal to the defaults (for the styles that honour it).
  int compareWithDefaults = 1;
  /// Write every setting whatever the other flags say.
  int writeAll = 0;
  /// Write values equal to the defaults anyway (the file's own setting).
  int writeWithDefaults = 0;
};

/// Reads the OML file at path into target. Answers false with err naming the
/// file, line, column and what was expected when the file cannot be read or
/// is not a valid graph file; the target is then unchanged. Sections of layout
/// styles the target does not use are skipped, and each skip is reported in
/// warnings when given.
bool readOMLGraph(const std::string& path, KWDGraph& target, KWFileError& err,
                  std::vector<std::string>* warnings = nullptr, const KWOMLLimits& limits = KWOMLLimits());
/// The same for OML text; sourceName stands for the file name in messages.
bool readOMLGraphFromString(const std::string& text, const std::string& sourceName, KWDGraph& target,
                            KWFileError& err, std::vector<std::string>* warnings = nullptr,
                            const KWOMLLimits& limits = KWOMLLimits());
/// The same for a stream, read to its end.
bool readOMLGraph(std::istream& in, const std::string& sourceName, KWDGraph& target, KWFileError& err,
                  std::vector<std::string>* warnings = nullptr, const KWOMLLimits& limits = KWOMLLimits());

/// Writes graph as an OML file at path, replacing the file only when complete.
bool writeOMLGraph(const KWDGraph& graph, const std::string& path, KWFileError& err,
                   const KWOMLWriteOptions& options = KWOMLWriteOptions());
/// Writes graph as OML text into out (which is left unchanged on failure).
bool writeOMLGraphToString(const KWDGraph& graph, std::string& out, KWFileError& err,
                           const KWOMLWriteOptions& options = KWOMLWriteOptions());
/// Writes graph as OML text to a stream.
bool writeOMLGraph(const KWDGraph& graph, std::ostream& out, const std::string& sourceName, KWFileError& err,
                   const KWOMLWriteOptions& options = KWOMLWriteOptions());

/// A new empty drawing graph with target's factory and layout styles; its
/// tailors hold the default settings. The caller owns it.
KWDGraph* kwNewGraphLike(const KWDGraph& target);
/// Replaces target's nodes and edges by source's: deletes target's, and moves
/// source's, with their tailors and extensions, into target. The graph's own
/// settings are left as they are (a file read gives target the settings the
/// file names itself). Source is left empty.
void kwHandOverGraph(KWDGraph& source, KWDGraph& target);

#endif
