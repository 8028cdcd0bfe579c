#include "host/kwfactory.h"

#include "host/kwdgraph.h"

KWFactory::KWFactory() {
  for (int i = 0; i < KWNumberOfLayoutStyles; ++i) styles_[i] = nullptr;
}

void KWFactory::addLayoutFactory(KWStyleFactory* f) {
  if (!f) return;
  KWLayoutStyleEnum s = f->factoryStyle();
  if (s >= 0 && s < KWNumberOfLayoutStyles) styles_[s] = f;
}

KWStyleFactory* KWFactory::pLayoutFactory(KWLayoutStyleEnum style) const {
  return (style >= 0 && style < KWNumberOfLayoutStyles) ? styles_[style] : nullptr;
}

KWDGraph* KWFactory::newDGraph(KWLayoutStyleEnum style) {
  KWDGraph* g = new KWDGraph(this);
  g->enableLayoutStyle(style);
  return g;
}

KWFactory* KWFactory::castDown(const KWObject* o) {
  return dynamic_cast<KWFactory*>(const_cast<KWObject*>(o));
}
