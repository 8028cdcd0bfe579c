#include "data/kwsgrli.h"

KWS_JAVA_PEER_DEF(KWSGraphLayInfo, "com/brackwind/jnilayout/KWSGraphLayInfo", "kwsgrli")

KWSGraphLayInfo::KWSGraphLayInfo() : KWBGraphLayInfo() { init(); }

KWSGraphLayInfo::KWSGraphLayInfo(const KWSGraphLayInfo& source, KWDeepFlagEnum flag) : KWBGraphLayInfo() {
  init();
  if (flag == KWDeepCopy) KWSGraphLayInfodeepCopy(source);
  else KWSGraphLayInfoattributeCopy(source);
}

KWSGraphLayInfo& KWSGraphLayInfo::operator=(const KWSGraphLayInfo& source) {
  if (this != &source) KWSGraphLayInfodeepCopy(source);
  return *this;
}

// The members go in reverse order of declaration; the lists free their cells
// only, the nodes belong to the host.
KWSGraphLayInfo::~KWSGraphLayInfo() = default;

// The matrices, lists, scale factor and maximum degree are per-run scratch: a
// copy carries none of them.
KWSGraphLayInfo& KWSGraphLayInfo::KWSGraphLayInfodeepCopy(const KWSGraphLayInfo& source) {
  KWBGraphLayInfo::copyObject(&source);
  return *this;
}

KWSGraphLayInfo& KWSGraphLayInfo::KWSGraphLayInfoattributeCopy(const KWSGraphLayInfo& source) {
  KWBGraphLayInfo::copyAttributes(&source);
  return *this;
}

void KWSGraphLayInfo::copyObject(const KWObject* source) {
  if (source && source != this) KWSGraphLayInfodeepCopy(*castDown(source));
}

void KWSGraphLayInfo::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSGraphLayInfoattributeCopy(*castDown(source));
}

KWObject* KWSGraphLayInfo::vCloneObject() const { return new KWSGraphLayInfo(*this, KWDeepCopy); }

KWObject* KWSGraphLayInfo::vCloneAttributes() const { return new KWSGraphLayInfo(*this, KWAttributeCopy); }

long KWSGraphLayInfo::sizeOf() const {
  return KWBGraphLayInfo::sizeOf() - static_cast<long>(sizeof(KWBGraphLayInfo)) +
         static_cast<long>(sizeof(KWSGraphLayInfo));
}
