#include "data/kwsedli.h"

KWS_JAVA_PEER_DEF(KWSEdgeLayInfo, "com/brackwind/jnilayout/KWSEdgeLayInfo", "kwsedli")

KWSEdgeLayInfo::KWSEdgeLayInfo() : KWBEdgeLayInfo() { init(); }

KWSEdgeLayInfo::KWSEdgeLayInfo(const KWSEdgeLayInfo& source, KWDeepFlagEnum flag) : KWBEdgeLayInfo() {
  init();
  if (flag == KWDeepCopy) KWSEdgeLayInfodeepCopy(source);
  else KWSEdgeLayInfoattributeCopy(source);
}

KWSEdgeLayInfo& KWSEdgeLayInfo::operator=(const KWSEdgeLayInfo& source) {
  if (this != &source) KWSEdgeLayInfodeepCopy(source);
  return *this;
}

KWSEdgeLayInfo::~KWSEdgeLayInfo() = default;

KWSEdgeLayInfo& KWSEdgeLayInfo::KWSEdgeLayInfodeepCopy(const KWSEdgeLayInfo& source) {
  KWBEdgeLayInfo::copyObject(&source);
  return *this;
}

KWSEdgeLayInfo& KWSEdgeLayInfo::KWSEdgeLayInfoattributeCopy(const KWSEdgeLayInfo& source) {
  KWBEdgeLayInfo::copyAttributes(&source);
  return *this;
}

void KWSEdgeLayInfo::copyObject(const KWObject* source) {
  if (source && source != this) KWSEdgeLayInfodeepCopy(*castDown(source));
}

void KWSEdgeLayInfo::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSEdgeLayInfoattributeCopy(*castDown(source));
}

KWObject* KWSEdgeLayInfo::vCloneObject() const { return new KWSEdgeLayInfo(*this, KWDeepCopy); }

KWObject* KWSEdgeLayInfo::vCloneAttributes() const { return new KWSEdgeLayInfo(*this, KWAttributeCopy); }

long KWSEdgeLayInfo::sizeOf() const {
  return KWBEdgeLayInfo::sizeOf() - static_cast<long>(sizeof(KWBEdgeLayInfo)) +
         static_cast<long>(sizeof(KWSEdgeLayInfo));
}
