// Graph-file extensions.
#include "host/kwgrfext.h"

#include "host/kwdgraph.h"
#include "host/kwfactory.h"

// ---- KWOMLExtension -----------------------------------------------------------------

void KWOMLExtension::writeBlancLine() {
  if (file_) file_->writeBlancLine();
}
void KWOMLExtension::writeSectionStart(const char* name, long label) {
  if (file_) file_->writeSectionStart(name, label);
}
void KWOMLExtension::writeOpeningBracket() {
  if (file_) file_->writeOpeningBracket();
}
void KWOMLExtension::writeAttribute(const char* name, long value) {
  if (file_) file_->writeAttribute(name, value);
}
void KWOMLExtension::writeBoolAttribute(const char* name, int value) {
  if (file_) file_->writeBoolAttribute(name, value);
}
void KWOMLExtension::writeStringAttribute(const char* name, const std::string& value) {
  if (file_) file_->writeStringAttribute(name, value);
}
void KWOMLExtension::writeClosingBracket() {
  if (file_) file_->writeClosingBracket();
}

// ---- KWGraphFileExtension -------------------------------------------------------------

KWGraphFileExtension::KWGraphFileExtension(KWGraphObject* served) : served_(served) {}

KWGraphFileExtension::~KWGraphFileExtension() = default;

KWGraph* KWGraphFileExtension::pDefaultGraph() const { return defaultGraph_.get(); }

void KWGraphFileExtension::defaultObjects(KWGraph* graph, KWNode* node, KWEdge* edge) {
  defaultNode_ = nullptr;
  defaultEdge_ = nullptr;
  defaultGraph_.reset(graph);
  defaultNode_ = node;
  defaultEdge_ = edge;
}

int KWGraphFileExtension::writeWithDefaults() const { return pOMLFile() ? pOMLFile()->writeWithDefaults() : 0; }

KWObject* KWGraphFileExtension::createStyleSubobject(KWOMLSyntaxObject* object, KWOMLSyntaxObject* parent,
                                                     KWObject* owner) {
  if (!object || !parent || !owner) return nullptr;
  if (KWOMLKeywords::sectionStyle(parent->typeIndex()) != layoutStyle() || layoutStyle() == KWNoLayoutStyle)
    return nullptr;
  if (KWGraph* g = dynamic_cast<KWGraph*>(owner)) return createGraphTailorSubobject(object, parent, g);
  if (KWNode* n = dynamic_cast<KWNode*>(owner)) return createNodeTailorSubobject(object, parent, n);
  if (KWEdge* e = dynamic_cast<KWEdge*>(owner)) return createEdgeTailorSubobject(object, parent, e);
  return nullptr;
}

int KWGraphFileExtension::readStyleObject(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWObject* owner) {
  if (!field || !object || !owner) return 0;
  if (KWOMLKeywords::sectionStyle(object->typeIndex()) != layoutStyle() || layoutStyle() == KWNoLayoutStyle)
    return 0;
  if (KWGraph* g = dynamic_cast<KWGraph*>(owner)) return readGraphTailor(field, object, g);
  if (KWNode* n = dynamic_cast<KWNode*>(owner)) return readNodeTailor(field, object, n);
  if (KWEdge* e = dynamic_cast<KWEdge*>(owner)) return readEdgeTailor(field, object, e);
  return 0;
}

void KWGraphFileExtension::writeFullEdgeTailor(const KWDEdge*, int, int) {}
void KWGraphFileExtension::writeFullGraphTailor(const KWDGraph*, int, int) {}
void KWGraphFileExtension::writeFullNodeTailor(const KWDNode*, int, int) {}
int KWGraphFileExtension::readEdgeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWEdge*) { return 0; }
int KWGraphFileExtension::readGraphTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWGraph*) { return 0; }
int KWGraphFileExtension::readNodeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWNode*) { return 0; }
int KWGraphFileExtension::checkWriteGraphTailor(const KWDGraph*, int, int) { return 1; }
int KWGraphFileExtension::checkWriteNodeTailor(const KWDNode*, int, int) { return 1; }
int KWGraphFileExtension::checkWriteEdgeTailor(const KWDEdge*, int, int) { return 1; }
KWObject* KWGraphFileExtension::createGraphTailorSubobject(KWOMLSyntaxObject*, KWOMLSyntaxObject*, KWGraph*) {
  return nullptr;
}
KWObject* KWGraphFileExtension::createNodeTailorSubobject(KWOMLSyntaxObject*, KWOMLSyntaxObject*, KWNode*) {
  return nullptr;
}
KWObject* KWGraphFileExtension::createEdgeTailorSubobject(KWOMLSyntaxObject*, KWOMLSyntaxObject*, KWEdge*) {
  return nullptr;
}

// ---- KWDGraphFileExtension ---------------------------------------------------------------

KWDGraphFileExtension::KWDGraphFileExtension(KWGraphObject* served) : KWGraphFileExtension(served) {}

KWDGraphFileExtension::~KWDGraphFileExtension() = default;

void KWDGraphFileExtension::createDefaults() {
  KWGraphObject* served = pServedObject();
  KWFactory* factory = served ? served->pFactory() : nullptr;
  if (!factory) {
    defaultObjects(nullptr, nullptr, nullptr);
    return;
  }
  KWDGraph* g = new KWDGraph(factory);
  const KWDGraph* servedGraph = KWDGraph::castDown(served);
  if (!servedGraph) servedGraph = KWDGraph::castDown(served->pUnverifiedOwner());
  for (int s = 1; s < KWNumberOfLayoutStyles; ++s) {
    KWLayoutStyleEnum style = static_cast<KWLayoutStyleEnum>(s);
    if ((servedGraph && servedGraph->hasLayoutStyle(style)) || style == layoutStyle()) g->enableLayoutStyle(style);
  }
  KWDNode* a = g->newNode(0, 0, 0, 0);
  KWDNode* b = g->newNode(0, 0, 0, 0);
  KWDEdge* e = g->newEdge(a, b);
  defaultObjects(g, a, e);
}
