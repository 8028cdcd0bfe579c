#include "persist/kwsgrfex.h"

#include "host/kwdgraph.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

KWS_JAVA_PEER_DEF(KWSGraphFileExtension, "com/brackwind/jnilayout/KWSGraphFileExtension", "kwsgrfex")

namespace {

const char kSection[] = "slayout";

// The symmetric tailors of an object and of the file's default object of the same kind.
const KWSGraphTailor* graphTailor(const KWGraph* g) {
  const KWDGraph* d = KWDGraph::castDown(g);
  return d ? d->pSTailor() : nullptr;
}
const KWSNodeTailor* nodeTailor(const KWNode* n) {
  const KWDNode* d = KWDNode::castDown(n);
  return d ? d->pSTailor() : nullptr;
}
const KWSEdgeTailor* edgeTailor(const KWEdge* e) {
  const KWDEdge* d = KWDEdge::castDown(e);
  return d ? d->pSTailor() : nullptr;
}

}  // namespace

KWSGraphFileExtension::KWSGraphFileExtension(KWGraphObject* served) : KWDGraphFileExtension(served) {}

KWSGraphFileExtension::~KWSGraphFileExtension() = default;

KWObject* KWSGraphFileExtension::createStyleSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent,
                                                      KWObject* owner) {
  if (!object || object->typeIndex() == -1) return nullptr;
  return KWDGraphFileExtension::createStyleSubobject(object, parent, owner);
}

int KWSGraphFileExtension::readStyleObject(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWObject* owner) {
  if (!object || object->typeIndex() == -1) return 0;
  return KWDGraphFileExtension::readStyleObject(field, object, owner);
}

// ---- writing ---------------------------------------------------------------------------

void KWSGraphFileExtension::writeFullGraphTailor(const KWDGraph* graph, int, int writeAll) {
  const KWSGraphTailor* t = graphTailor(graph);
  const KWSGraphTailor* d = graphTailor(pDefaultGraph());
  if (!t || !d) return;
  const bool omit = writeAll == 0 && !writeWithDefaults();
  writeBlancLine();
  writeSectionStart(kSection, 0);
  writeOpeningBracket();
  if (!omit || t->nodeSpacing() != d->nodeSpacing()) writeAttribute("nodeSpacing", t->nodeSpacing());
  if (!omit || t->randomSeed() != d->randomSeed()) writeAttribute("randomSeed", t->randomSeed());
  if (!omit || t->routeEdges() != d->routeEdges()) writeBoolAttribute("routeEdges", t->routeEdges());
  if (!omit || t->incrementalWithinComponentLayout() != d->incrementalWithinComponentLayout())
    writeBoolAttribute("incrementalWithinComponentLayout", t->incrementalWithinComponentLayout());
  if (!omit || t->incrementalDisconnectedNodesLayout() != d->incrementalDisconnectedNodesLayout())
    writeBoolAttribute("incrementalDisconnectedNodesLayout", t->incrementalDisconnectedNodesLayout());
  if (!omit || t->incrementalComponentsLayout() != d->incrementalComponentsLayout())
    writeBoolAttribute("incrementalComponentsLayout", t->incrementalComponentsLayout());
  writeClosingBracket();
}

void KWSGraphFileExtension::writeFullNodeTailor(const KWDNode* node, int compareWithDefaults, int writeAll) {
  const KWSNodeTailor* t = nodeTailor(node);
  const KWSNodeTailor* d = nodeTailor(pDefaultNode());
  if (!t || !d) return;
  const bool omit = writeAll == 0 && (compareWithDefaults != 0 || !writeWithDefaults());
  writeSectionStart(kSection, 0);
  writeOpeningBracket();
  if (!omit || t->constrained() != d->constrained()) writeBoolAttribute("constrained", t->constrained());
  writeClosingBracket();
}

void KWSGraphFileExtension::writeFullEdgeTailor(const KWDEdge* edge, int, int) {
  if (!edgeTailor(edge) || !edgeTailor(pDefaultEdge())) return;
  writeSectionStart(kSection, 0);
  writeOpeningBracket();
  writeClosingBracket();
}

int KWSGraphFileExtension::checkWriteGraphTailor(const KWDGraph* graph, int, int writeAll) {
  const KWSGraphTailor* t = graphTailor(graph);
  const KWSGraphTailor* d = graphTailor(pDefaultGraph());
  if (!t || !d) return 1;
  const bool omit = writeAll == 0 && !writeWithDefaults();
  if (!omit) return 0;
  return t->nodeSpacing() == d->nodeSpacing() && t->randomSeed() == d->randomSeed() &&
         t->routeEdges() == d->routeEdges() &&
         t->incrementalWithinComponentLayout() == d->incrementalWithinComponentLayout() &&
         t->incrementalDisconnectedNodesLayout() == d->incrementalDisconnectedNodesLayout() &&
         t->incrementalComponentsLayout() == d->incrementalComponentsLayout();
}

int KWSGraphFileExtension::checkWriteNodeTailor(const KWDNode* node, int compareWithDefaults, int writeAll) {
  const KWSNodeTailor* t = nodeTailor(node);
  const KWSNodeTailor* d = nodeTailor(pDefaultNode());
  if (!t || !d) return 1;
  const bool omit = writeAll == 0 && (compareWithDefaults != 0 || !writeWithDefaults());
  if (!omit) return 0;
  return t->constrained() == d->constrained();
}

int KWSGraphFileExtension::checkWriteEdgeTailor(const KWDEdge*, int, int) { return 1; }

// ---- reading --------------------------------------------------------------------------------

int KWSGraphFileExtension::readGraphTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWGraph* graph) {
  KWDGraph* g = KWDGraph::castDown(graph);
  KWSGraphTailor* t = g ? g->pSTailor() : nullptr;
  if (!field || !object || !t) return 0;
  switch (field->nameIndex()) {
    case KWOMLKeyIncrementalWithinComponentLayout: t->incrementalWithinComponentLayout(field->boolValue()); break;
    case KWOMLKeyIncrementalDisconnectedNodesLayout: t->incrementalDisconnectedNodesLayout(field->boolValue()); break;
    case KWOMLKeyIncrementalComponentsLayout: t->incrementalComponentsLayout(field->boolValue()); break;
    case KWOMLKeyNodeSpacing: t->nodeSpacing(static_cast<int>(field->intValue())); break;
    case KWOMLKeyRandomSeed: t->randomSeed(static_cast<int>(field->intValue())); break;
    case KWOMLKeyRouteEdges: t->routeEdges(field->boolValue()); break;
    default: return 0;
  }
  return 1;
}

int KWSGraphFileExtension::readNodeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWNode* node) {
  KWDNode* n = KWDNode::castDown(node);
  KWSNodeTailor* t = n ? n->pSTailor() : nullptr;
  if (!field || !object || !t) return 0;
  if (field->nameIndex() != KWOMLKeyConstrained) return 0;
  t->constrained(field->boolValue());
  return 1;
}

int KWSGraphFileExtension::readEdgeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWEdge*) { return 0; }

KWObject* KWSGraphFileExtension::createGraphTailorSubobject(KWOMLSyntaxObject*, KWOMLSyntaxObject*, KWGraph*) {
  return nullptr;
}
KWObject* KWSGraphFileExtension::createNodeTailorSubobject(KWOMLSyntaxObject*, KWOMLSyntaxObject*, KWNode*) {
  return nullptr;
}
KWObject* KWSGraphFileExtension::createEdgeTailorSubobject(KWOMLSyntaxObject*, KWOMLSyntaxObject*, KWEdge*) {
  return nullptr;
}
