#include "tailor/kwsndta.h"

KWS_JAVA_PEER_DEF(KWSNodeTailor, "com/brackwind/jnilayout/KWSNodeTailor", "kwsndta")

KWSNodeTailor::KWSNodeTailor(KWDNode* owner) : KWNodeTailor(owner) { init(); }

KWSNodeTailor::KWSNodeTailor(const KWSNodeTailor& source, KWDeepFlagEnum flag) : KWNodeTailor() {
  init();
  if (flag == KWDeepCopy) KWSNodeTailordeepCopy(source);
  else KWSNodeTailorattributeCopy(source);
}

KWSNodeTailor& KWSNodeTailor::operator=(const KWSNodeTailor& source) {
  if (this != &source) KWSNodeTailordeepCopy(source);
  return *this;
}

KWSNodeTailor::~KWSNodeTailor() = default;

int KWSNodeTailor::constrained(int on) {
  if (on == constrained()) return on;
  if (KWDNode* node = pOwnerNode()) node->actOnTailorChange();
  flagBit(kConstrainedBit, on);
  return on;
}

// constrained lives in the base's flag word and travels with the base part.
KWSNodeTailor& KWSNodeTailor::KWSNodeTailordeepCopy(const KWSNodeTailor& source) {
  KWNodeTailor::copyObject(&source);
  return *this;
}

KWSNodeTailor& KWSNodeTailor::KWSNodeTailorattributeCopy(const KWSNodeTailor& source) {
  KWNodeTailor::copyAttributes(&source);
  return *this;
}

void KWSNodeTailor::copyObject(const KWObject* source) {
  if (source && source != this) KWSNodeTailordeepCopy(*castDown(source));
}

void KWSNodeTailor::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSNodeTailorattributeCopy(*castDown(source));
}

KWObject* KWSNodeTailor::vCloneObject() const { return new KWSNodeTailor(*this, KWDeepCopy); }

KWObject* KWSNodeTailor::vCloneAttributes() const { return new KWSNodeTailor(*this, KWAttributeCopy); }
