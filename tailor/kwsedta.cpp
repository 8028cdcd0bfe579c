#include "tailor/kwsedta.h"

KWS_JAVA_PEER_DEF(KWSEdgeTailor, "com/brackwind/jnilayout/KWSEdgeTailor", "kwsedta")

KWSEdgeTailor::KWSEdgeTailor(KWDEdge* owner) : KWEdgeTailor(owner) { init(); }

KWSEdgeTailor::KWSEdgeTailor(const KWSEdgeTailor& source, KWDeepFlagEnum flag) : KWEdgeTailor() {
  init();
  if (flag == KWDeepCopy) KWSEdgeTailordeepCopy(source);
  else KWSEdgeTailorattributeCopy(source);
}

KWSEdgeTailor& KWSEdgeTailor::operator=(const KWSEdgeTailor& source) {
  if (this != &source) KWSEdgeTailordeepCopy(source);
  return *this;
}

KWSEdgeTailor::~KWSEdgeTailor() = default;

KWSEdgeTailor& KWSEdgeTailor::KWSEdgeTailordeepCopy(const KWSEdgeTailor& source) {
  KWEdgeTailor::copyObject(&source);
  return *this;
}

KWSEdgeTailor& KWSEdgeTailor::KWSEdgeTailorattributeCopy(const KWSEdgeTailor& source) {
  KWEdgeTailor::copyAttributes(&source);
  return *this;
}

void KWSEdgeTailor::copyObject(const KWObject* source) {
  if (source && source != this) KWSEdgeTailordeepCopy(*castDown(source));
}

void KWSEdgeTailor::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSEdgeTailorattributeCopy(*castDown(source));
}

KWObject* KWSEdgeTailor::vCloneObject() const { return new KWSEdgeTailor(*this, KWDeepCopy); }

KWObject* KWSEdgeTailor::vCloneAttributes() const { return new KWSEdgeTailor(*this, KWAttributeCopy); }
