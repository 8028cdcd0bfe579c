// Legacy model files: a line-oriented format that describes a graph and sets
// layout settings through "double-slash" lines. docs/model-format.md
// describes the format; in short:
//
//   model 1
//   graph
//   // springConstant 2.5          <- graph tailoring line: key and value text
//   node a 0 0 60 40
//   // XYZABCXYZ4711 1             <- a line for the node just read
//   edge e1 a b
//   bend 50 40
//
// The host reads the records itself and hands every double-slash line to the
// model-file extensions of the layout styles the graph uses
// (KWBGraph::newModelFileExtension), one after the other until one takes it.
// Which operation gets the line depends on the record it follows: graph
// (readTailoring), expert (readExpert), derived (readDerivedSpecific), node
// (readNode), edge and its bends and connectors (readEdge). Nothing is
// written in this format.
#ifndef KWMODFIL_H
#define KWMODFIL_H

#include <string>
#include <vector>

#include "host/kwobject.h"
#include "host/kwoml.h"
#include "host/kwtext.h"

class KWDGraph;
class KWDNode;
class KWDEdge;

/// A model file being read: the graph it fills, the objects read last, and
/// the key of the double-slash line being handed out.
class KWModelFile : public KWObject {
 public:
  /// Which record the current double-slash line follows.
  enum Part {
    KWModelNoPart = 0,
    KWModelTailoringPart = 1,
    KWModelExpertPart = 2,
    KWModelDerivedPart = 3,
    KWModelNodePart = 4,
    KWModelEdgePart = 5
  };

  explicit KWModelFile(const std::string& name = std::string(), KWDGraph* graph = nullptr);
  KWModelFile(const KWModelFile&) = delete;
  KWModelFile& operator=(const KWModelFile&) = delete;

  const std::string& name() const { return name_; }
  /// The graph being read.
  KWDGraph* pGraph() const { return graph_; }
  /// The node (edge) read most recently, null before the first.
  KWDNode* pLastNode() const { return lastNode_; }
  KWDEdge* pLastEdge() const { return lastEdge_; }
  /// The key of the current double-slash line: "//", a space and the key word,
  /// such as "// springConstant".
  const KWText* pDoubleSlashText() const { return &key_; }
  Part currentPart() const { return part_; }
  long currentLine() const { return line_; }

  /// A boolean from a value text: 1 when, after leading white space, it is a
  /// nonzero integer or begins with the word true, yes or on (in any letter
  /// case); 0 otherwise (false, no, off, 0, empty, anything else or null).
  int readTrueOrFalse(const char* value) const;

  // Kept up to date by the reader.
  void pLastNode(KWDNode* n) { lastNode_ = n; }
  void pLastEdge(KWDEdge* e) { lastEdge_ = e; }
  void currentLine(Part part, long line, const std::string& keyWord);

 private:
  std::string name_;
  KWDGraph* graph_;
  KWDNode* lastNode_ = nullptr;
  KWDEdge* lastEdge_ = nullptr;
  KWText key_;
  Part part_ = KWModelNoPart;
  long line_ = 0;
};

/// A layout style's part in reading model files. The read operations take the
/// value text of the current double-slash line and answer nonzero when they
/// took the line. Here they take nothing; styles override what they need.
class KWModelFileExtension : public KWObject {
 public:
  explicit KWModelFileExtension(KWModelFile* file = nullptr) : file_(file) {}
  KWModelFileExtension(const KWModelFileExtension&) = delete;
  KWModelFileExtension& operator=(const KWModelFileExtension&) = delete;

  KWModelFile* pModelFile() const { return file_; }

  /// Hands the current line to the operation of the part it belongs to.
  virtual int readCurrentLine(const char* value);
  virtual int readExpert(const char* value);
  virtual int readTailoring(const char* value);
  virtual int readDerivedSpecific(const char* value);
  virtual int readNode(const char* value);
  virtual int readEdge(const char* value);

 private:
  KWModelFile* file_;
};

/// Reads the model file at path into target: graph, nodes, edges and the
/// settings its double-slash lines set. Reading builds a new graph and hands
/// it over only on success (as readOMLGraph does): on error, err names the
/// file, line, column and what was expected, and target is unchanged. Lines
/// that no layout style of the graph takes are reported in warnings.
bool readModelFile(const std::string& path, KWDGraph& target, KWFileError& err,
                   std::vector<std::string>* warnings = nullptr, const KWOMLLimits& limits = KWOMLLimits());
bool readModelFileFromString(const std::string& text, const std::string& sourceName, KWDGraph& target,
                             KWFileError& err, std::vector<std::string>* warnings = nullptr,
                             const KWOMLLimits& limits = KWOMLLimits());

/// Applies only the graph-level lines of a model file (those after the graph,
/// expert and derived records) to target's settings, leaving its nodes and
/// edges alone. The whole file is checked first; on error nothing is applied.
bool applyModelFileTailoring(const std::string& path, KWDGraph& target, KWFileError& err,
                             std::vector<std::string>* warnings = nullptr, const KWOMLLimits& limits = KWOMLLimits());
bool applyModelFileTailoringFromString(const std::string& text, const std::string& sourceName, KWDGraph& target,
                                       KWFileError& err, std::vector<std::string>* warnings = nullptr,
                                       const KWOMLLimits& limits = KWOMLLimits());

#endif
