#include "host/kwtailor.h"

namespace {
const std::uint32_t kBaseGraphBits = (1u << 11) - 1;  // bits 0..10
enum { kIncWithin = 0, kIncDisconnected = 1, kIncComponents = 2 };
}  // namespace

KWGraphTailor::KWGraphTailor(const KWGraphTailor& o) : KWObject(o), KWTailorFlags(), owner_(nullptr) {
  KWGraphTailor::copyObject(&o);
}

KWGraphTailor& KWGraphTailor::operator=(const KWGraphTailor& o) {
  if (this != &o) KWGraphTailor::copyObject(&o);
  return *this;
}

void KWGraphTailor::copyObject(const KWObject* source) {
  if (!source || source == this) return;
  KWObject::copyObject(source);
  const KWGraphTailor* s = static_cast<const KWGraphTailor*>(source);
  flagWord((flagWord() & ~kBaseGraphBits) | (s->flagWord() & kBaseGraphBits));
}

void KWGraphTailor::copyAttributes(const KWObject* source) {
  if (!source || source == this) return;
  KWObject::copyAttributes(source);
  const KWGraphTailor* s = static_cast<const KWGraphTailor*>(source);
  flagWord((flagWord() & ~kBaseGraphBits) | (s->flagWord() & kBaseGraphBits));
}

int KWGraphTailor::incrementalWithinComponentLayout(int on) { flagBit(kIncWithin, on); return on; }
int KWGraphTailor::incrementalWithinComponentLayout() const { return flagBit(kIncWithin); }
int KWGraphTailor::incrementalDisconnectedNodesLayout(int on) { flagBit(kIncDisconnected, on); return on; }
int KWGraphTailor::incrementalDisconnectedNodesLayout() const { return flagBit(kIncDisconnected); }
int KWGraphTailor::incrementalComponentsLayout(int on) { flagBit(kIncComponents, on); return on; }
int KWGraphTailor::incrementalComponentsLayout() const { return flagBit(kIncComponents); }
void KWGraphTailor::writeFullGraphTailor(int, int, KWOMLFile*) {}
int KWGraphTailor::readGraphTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWOMLFile*) { return 0; }
int KWGraphTailor::checkWriteGraphTailor(int, int, KWOMLFile*) { return 1; }

KWNodeTailor::KWNodeTailor(const KWNodeTailor& o) : KWObject(o), KWTailorFlags(), owner_(nullptr) {
  KWNodeTailor::copyObject(&o);
}

KWNodeTailor& KWNodeTailor::operator=(const KWNodeTailor& o) {
  if (this != &o) KWNodeTailor::copyObject(&o);
  return *this;
}

void KWNodeTailor::copyObject(const KWObject* source) {
  if (!source || source == this) return;
  KWObject::copyObject(source);
  flagWord(static_cast<const KWNodeTailor*>(source)->flagWord());
}

void KWNodeTailor::copyAttributes(const KWObject* source) {
  if (!source || source == this) return;
  KWObject::copyAttributes(source);
  flagWord(static_cast<const KWNodeTailor*>(source)->flagWord());
}

void KWNodeTailor::writeFullNodeTailor(int, int, KWOMLFile*) {}
int KWNodeTailor::readNodeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWOMLFile*) { return 0; }
int KWNodeTailor::checkWriteNodeTailor(int, int, KWOMLFile*) { return 1; }

KWEdgeTailor::KWEdgeTailor(const KWEdgeTailor& o) : KWObject(o), KWTailorFlags(), owner_(nullptr) {
  KWEdgeTailor::copyObject(&o);
}

KWEdgeTailor& KWEdgeTailor::operator=(const KWEdgeTailor& o) {
  if (this != &o) KWEdgeTailor::copyObject(&o);
  return *this;
}

void KWEdgeTailor::copyObject(const KWObject* source) {
  if (!source || source == this) return;
  KWObject::copyObject(source);
  flagWord(static_cast<const KWEdgeTailor*>(source)->flagWord());
}

void KWEdgeTailor::copyAttributes(const KWObject* source) {
  if (!source || source == this) return;
  KWObject::copyAttributes(source);
  flagWord(static_cast<const KWEdgeTailor*>(source)->flagWord());
}

void KWEdgeTailor::writeFullEdgeTailor(int, int, KWOMLFile*) {}
int KWEdgeTailor::readEdgeTailor(KWOMLSyntaxField*, KWOMLSyntaxObject*, KWOMLFile*) { return 0; }
int KWEdgeTailor::checkWriteEdgeTailor(int, int, KWOMLFile*) { return 1; }
