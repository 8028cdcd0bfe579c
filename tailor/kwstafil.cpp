// Graph-file operations of the symmetric tailors. All three tailors of a graph
// read and write through the one graph-file extension that the graph's
// KWSGraphTailor holds: made on first need for the owner graph, attached to
// the file of that first call and given its default objects; released by
// discardGraphFileExtension (which the host calls when a file operation is
// over), by a copy into the tailor, or with the tailor.
#include <new>

#include "persist/kwsgrfex.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

// The symmetric graph tailor of the graph a node or edge belongs to, or null.
KWSGraphTailor* graphTailorOf(const KWGraphObject* owner) {
  KWDGraph* g = owner ? KWDGraph::castDown(owner->pUnverifiedOwner()) : nullptr;
  return g ? g->pSTailor() : nullptr;
}

}  // namespace

KWSGraphFileExtension* KWSGraphTailor::pGraphFileExtension(KWOMLFile* file) {
  if (!graphFileExtension_) {
    graphFileExtension_ = new (std::nothrow) KWSGraphFileExtension(pOwnerGraph());
    if (graphFileExtension_) {
      graphFileExtension_->pOMLFile(file);
      graphFileExtension_->createDefaults();
    }
  }
  return graphFileExtension_;
}

void KWSGraphTailor::releaseGraphFileExtension() {
  KWSGraphFileExtension* held = graphFileExtension_;
  graphFileExtension_ = nullptr;
  delete held;
}

void KWSGraphTailor::discardGraphFileExtension() { releaseGraphFileExtension(); }

void KWSGraphTailor::writeFullGraphTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) {
  if (KWSGraphFileExtension* x = pGraphFileExtension(file))
    x->writeFullGraphTailor(pOwnerGraph(), compareWithDefaults, writeAll);
}

int KWSGraphTailor::readGraphTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file) {
  KWSGraphFileExtension* x = pGraphFileExtension(file);
  return x ? x->readGraphTailor(field, object, pOwnerGraph()) : 0;
}

int KWSGraphTailor::checkWriteGraphTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) {
  KWSGraphFileExtension* x = pGraphFileExtension(file);
  return x ? x->checkWriteGraphTailor(pOwnerGraph(), compareWithDefaults, writeAll) : 1;
}

void KWSNodeTailor::writeFullNodeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) {
  KWSGraphTailor* g = graphTailorOf(pOwnerNode());
  if (KWSGraphFileExtension* x = g ? g->pGraphFileExtension(file) : nullptr)
    x->writeFullNodeTailor(pOwnerNode(), compareWithDefaults, writeAll);
}

int KWSNodeTailor::readNodeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file) {
  KWSGraphTailor* g = graphTailorOf(pOwnerNode());
  KWSGraphFileExtension* x = g ? g->pGraphFileExtension(file) : nullptr;
  return x ? x->readNodeTailor(field, object, pOwnerNode()) : 0;
}

int KWSNodeTailor::checkWriteNodeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) {
  KWSGraphTailor* g = graphTailorOf(pOwnerNode());
  KWSGraphFileExtension* x = g ? g->pGraphFileExtension(file) : nullptr;
  return x ? x->checkWriteNodeTailor(pOwnerNode(), compareWithDefaults, writeAll) : 1;
}

void KWSEdgeTailor::writeFullEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) {
  KWSGraphTailor* g = graphTailorOf(pOwnerEdge());
  if (KWSGraphFileExtension* x = g ? g->pGraphFileExtension(file) : nullptr)
    x->writeFullEdgeTailor(pOwnerEdge(), compareWithDefaults, writeAll);
}

int KWSEdgeTailor::readEdgeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file) {
  KWSGraphTailor* g = graphTailorOf(pOwnerEdge());
  KWSGraphFileExtension* x = g ? g->pGraphFileExtension(file) : nullptr;
  return x ? x->readEdgeTailor(field, object, pOwnerEdge()) : 0;
}

int KWSEdgeTailor::checkWriteEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) {
  KWSGraphTailor* g = graphTailorOf(pOwnerEdge());
  KWSGraphFileExtension* x = g ? g->pGraphFileExtension(file) : nullptr;
  return x ? x->checkWriteEdgeTailor(pOwnerEdge(), compareWithDefaults, writeAll) : 1;
}
