// Graph-file extensions: the objects through which a layout style takes part
// in reading and writing OML graph files.
//
// A style's graph-file extension is attached to the file being read or written
// (pOMLFile), compares what it writes with the file's default objects (a
// default graph, node and edge whose tailors hold the default settings) and
// writes its sections with the writer operations below. When a file is read,
// every field of one of the style's sections is handed to the matching read
// hook with the section it stands in.
#ifndef KWGRFEXT_H
#define KWGRFEXT_H

#include <memory>

#include "host/kwenums.h"
#include "host/kwobject.h"
#include "host/kwoml.h"

class KWGraphObject;
class KWGraph;
class KWNode;
class KWEdge;
class KWDGraph;
class KWDNode;
class KWDEdge;

/// An object that writes to an OML file: the writer operations go to the
/// attached file and do nothing while none is attached.
class KWOMLExtension : public KWObject {
 public:
  KWOMLExtension() = default;
  KWOMLExtension(const KWOMLExtension&) = delete;
  KWOMLExtension& operator=(const KWOMLExtension&) = delete;

  KWOMLFile* pOMLFile() const { return file_; }
  /// Attaches the file that the writer operations write to (null detaches).
  void pOMLFile(KWOMLFile* file) { file_ = file; }

  void writeBlancLine();
  void writeSectionStart(const char* name, long label);
  void writeOpeningBracket();
  void writeAttribute(const char* name, long value);
  void writeBoolAttribute(const char* name, int value);
  void writeStringAttribute(const char* name, const std::string& value);
  void writeClosingBracket();

 private:
  KWOMLFile* file_ = nullptr;
};

/// The graph-file extension of a layout style. The tailor hooks do nothing
/// here (writes nothing, takes no field, nothing to write, no sub-objects);
/// a style overrides those it needs.
class KWGraphFileExtension : public KWOMLExtension {
 public:
  /// An extension serving the given graph object (null allowed).
  explicit KWGraphFileExtension(KWGraphObject* served = nullptr);
  ~KWGraphFileExtension() override;

  KWGraphObject* pServedObject() const { return served_; }
  /// The style whose sections this extension reads and writes.
  virtual KWLayoutStyleEnum layoutStyle() const { return KWNoLayoutStyle; }

  // The file's default objects (null until createDefaults made them).
  KWGraph* pDefaultGraph() const;
  KWNode* pDefaultNode() const { return defaultNode_; }
  KWEdge* pDefaultEdge() const { return defaultEdge_; }
  /// Makes the default objects (nothing here; see KWDGraphFileExtension).
  virtual void createDefaults() {}
  /// Whether values equal to the defaults are written anyway: the attached
  /// file's setting, 0 without a file.
  int writeWithDefaults() const;

  /// A nested section inside one of this style's sections: dispatches on the
  /// owner (a graph, node or edge) to the matching create…TailorSubobject when
  /// parent is a section of this extension's style; null otherwise. What it
  /// answers receives the nested section's fields and belongs to the extension.
  virtual KWObject* createStyleSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWObject* owner);
  /// A field of one of this style's sections (object): dispatches on the owner
  /// to readGraphTailor, readNodeTailor or readEdgeTailor. Answers 1 when the
  /// field was taken, 0 when not or when object is not this style's section.
  virtual int readStyleObject(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWObject* owner);

  // The tailor hooks.
  virtual void writeFullEdgeTailor(const KWDEdge* edge, int compareWithDefaults, int writeAll);
  virtual void writeFullGraphTailor(const KWDGraph* graph, int compareWithDefaults, int writeAll);
  virtual void writeFullNodeTailor(const KWDNode* node, int compareWithDefaults, int writeAll);
  virtual int readEdgeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWEdge* edge);
  virtual int readGraphTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWGraph* graph);
  virtual int readNodeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWNode* node);
  /// Non-zero when nothing needs to be written.
  virtual int checkWriteGraphTailor(const KWDGraph* graph, int compareWithDefaults, int writeAll);
  virtual int checkWriteNodeTailor(const KWDNode* node, int compareWithDefaults, int writeAll);
  virtual int checkWriteEdgeTailor(const KWDEdge* edge, int compareWithDefaults, int writeAll);
  virtual KWObject* createGraphTailorSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWGraph* graph);
  virtual KWObject* createNodeTailorSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWNode* node);
  virtual KWObject* createEdgeTailorSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWEdge* edge);

 protected:
  /// Installs the default objects; the extension owns graph (and through it
  /// node and edge) and deletes it with itself or the next installation.
  void defaultObjects(KWGraph* graph, KWNode* node, KWEdge* edge);

 private:
  KWGraphObject* served_;
  std::unique_ptr<KWGraph> defaultGraph_;
  KWNode* defaultNode_ = nullptr;
  KWEdge* defaultEdge_ = nullptr;
};

/// The graph-file extension for drawing graphs: its defaults are a drawing
/// graph made by the served graph's factory, with the same layout styles as
/// the served graph (or this extension's style), holding two nodes joined by
/// an edge. All their tailors are fresh, so they hold the default settings.
class KWDGraphFileExtension : public KWGraphFileExtension {
 public:
  explicit KWDGraphFileExtension(KWGraphObject* served = nullptr);
  ~KWDGraphFileExtension() override;

  void createDefaults() override;
};

#endif
