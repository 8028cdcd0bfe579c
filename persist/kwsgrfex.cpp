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
  for (const KWSGraphSetting& s : KWSGraphTailor::graphSettings()) {
    if (s.omlIndex == KWOMLKeyUnknown || (omit && s.get(*t) == s.get(*d))) continue;
    if (s.kind == KWSSettingKind::Flag) writeBoolAttribute(s.name, static_cast<int>(s.get(*t)));
    else writeAttribute(s.name, static_cast<long>(s.get(*t)));
  }
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
  for (const KWSGraphSetting& s : KWSGraphTailor::graphSettings())
    if (s.omlIndex != KWOMLKeyUnknown && s.get(*t) != s.get(*d)) return 0;
  return 1;
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
  for (const KWSGraphSetting& s : KWSGraphTailor::graphSettings()) {
    if (s.omlIndex != field->nameIndex() || s.omlIndex == KWOMLKeyUnknown) continue;
    s.set(*t, s.kind == KWSSettingKind::Flag ? field->boolValue() : static_cast<double>(field->intValue()));
    return 1;
  }
  return 0;
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
