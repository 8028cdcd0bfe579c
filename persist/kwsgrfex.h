// KWSGraphFileExtension: the symmetric style's part in OML graph files.
//
// The graph, node and edge tailors of the symmetric style read and write their
// sections through the one extension that the graph's KWSGraphTailor holds.
// Sections, fields in writing order and their keyword indices:
//
//   graph "slayout": the graph settings with an OML keyword, in the order of
//                    their rows in tailor/kwsgrset.def (nodeSpacing, randomSeed,
//                    routeEdges and the three incremental flags)
//   node  "slayout": constrained (241)
//   edge  "slayout": no fields; the check never asks for it
//
// Values equal to those of the file's default objects are left out when
// "omit" holds: for a graph when writeAll is 0 and the file does not write
// defaults (compareWithDefaults plays no part); for a node when writeAll is 0
// and either compareWithDefaults is set or the file does not write defaults.
// Fields read back go through the tailors' ordinary setters.
#ifndef KWSGRFEX_H
#define KWSGRFEX_H

#include "module/kwsexport.h"
#include "host/kwgrfext.h"
#include "module/kwsjava.h"

class KWS_EXPORT KWSGraphFileExtension : public KWDGraphFileExtension {
 public:
  explicit KWSGraphFileExtension(KWGraphObject* served = nullptr);
  ~KWSGraphFileExtension() override;

  static KWSGraphFileExtension* castDown(const KWObject* o) {
    return static_cast<KWSGraphFileExtension*>(const_cast<KWObject*>(o));
  }
  KWS_JAVA_PEER_DECL

  /// Null for a section whose name is not a keyword, else the inherited dispatch.
  KWObject* createStyleSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWObject* owner) override;
  /// 0 for a section whose name is not a keyword, else the inherited dispatch.
  int readStyleObject(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWObject* owner) override;

  void writeFullEdgeTailor(const KWDEdge* edge, int compareWithDefaults, int writeAll) override;
  void writeFullGraphTailor(const KWDGraph* graph, int compareWithDefaults, int writeAll) override;
  void writeFullNodeTailor(const KWDNode* node, int compareWithDefaults, int writeAll) override;
  /// Takes no field: always 0.
  int readEdgeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWEdge* edge) override;
  int readGraphTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWGraph* graph) override;
  int readNodeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWNode* node) override;
  int checkWriteGraphTailor(const KWDGraph* graph, int compareWithDefaults, int writeAll) override;
  int checkWriteNodeTailor(const KWDNode* node, int compareWithDefaults, int writeAll) override;
  /// Always nonzero: an edge section is never asked for.
  int checkWriteEdgeTailor(const KWDEdge* edge, int compareWithDefaults, int writeAll) override;
  // Symmetric sections have no sub-objects: these answer null.
  KWObject* createGraphTailorSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWGraph* graph) override;
  KWObject* createNodeTailorSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWNode* node) override;
  KWObject* createEdgeTailorSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent, KWEdge* edge) override;

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

 private:
  KWSGraphFileExtension(const KWSGraphFileExtension&);
  KWSGraphFileExtension& operator=(const KWSGraphFileExtension&);
};

#endif
