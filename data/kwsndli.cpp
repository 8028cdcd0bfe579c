#include "data/kwsndli.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSNodeLayInfo, "com/brackwind/jnilayout/KWSNodeLayInfo", "kwsndli")

KWSNodeLayInfo::KWSNodeLayInfo() : KWBNodeLayInfo(), point_() { init(); }

KWSNodeLayInfo::KWSNodeLayInfo(const KWSNodeLayInfo& source, KWDeepFlagEnum flag)
    : KWBNodeLayInfo(), point_() {
  init();
  if (flag == KWDeepCopy) KWSNodeLayInfodeepCopy(source);
  else KWSNodeLayInfoattributeCopy(source);
}

KWSNodeLayInfo& KWSNodeLayInfo::operator=(const KWSNodeLayInfo& source) {
  if (this != &source) KWSNodeLayInfodeepCopy(source);
  return *this;
}

KWSNodeLayInfo::~KWSNodeLayInfo() = default;

void KWSNodeLayInfo::init() {
  sindex_ = 0;
  delta_ = 0.0;
  ydelta_ = 0.0;
  xdelta_ = 0.0;
}

// Index and gradient travel with a copy; the working point stays the target's.
KWSNodeLayInfo& KWSNodeLayInfo::KWSNodeLayInfodeepCopy(const KWSNodeLayInfo& source) {
  KWBNodeLayInfo::copyObject(&source);
  sindex_ = source.sindex_;
  xdelta_ = source.xdelta_;
  ydelta_ = source.ydelta_;
  delta_ = source.delta_;
  return *this;
}

KWSNodeLayInfo& KWSNodeLayInfo::KWSNodeLayInfoattributeCopy(const KWSNodeLayInfo& source) {
  KWBNodeLayInfo::copyAttributes(&source);
  sindex_ = source.sindex_;
  xdelta_ = source.xdelta_;
  ydelta_ = source.ydelta_;
  delta_ = source.delta_;
  return *this;
}

void KWSNodeLayInfo::copyObject(const KWObject* source) {
  if (source && source != this) KWSNodeLayInfodeepCopy(*castDown(source));
}

void KWSNodeLayInfo::copyAttributes(const KWObject* source) {
  if (source && source != this) KWSNodeLayInfoattributeCopy(*castDown(source));
}

KWObject* KWSNodeLayInfo::vCloneObject() const { return new KWSNodeLayInfo(*this, KWDeepCopy); }

KWObject* KWSNodeLayInfo::vCloneAttributes() const { return new KWSNodeLayInfo(*this, KWAttributeCopy); }

KWS_SIZE_OF_DEF(KWSNodeLayInfo, KWBNodeLayInfo)

