// KWSEdgeLayInfo: an edge's scratch record for a symmetric layout run. It holds
// nothing of its own; every edge of the run carries one of the module's type.
#ifndef KWSEDLI_H
#define KWSEDLI_H

#include "module/kwsexport.h"
#include "host/kwblayin.h"
#include "module/kwsjava.h"

class KWS_EXPORT KWSEdgeLayInfo : public KWBEdgeLayInfo {
 public:
  KWSEdgeLayInfo();
  KWSEdgeLayInfo(const KWSEdgeLayInfo& source, KWDeepFlagEnum flag = KWDeepCopy);
  KWSEdgeLayInfo& operator=(const KWSEdgeLayInfo& source);
  ~KWSEdgeLayInfo() override;

  void copyObject(const KWObject* source) override;
  void copyAttributes(const KWObject* source) override;
  KWSEdgeLayInfo* cloneObject() const { return castDown(vCloneObject()); }
  KWSEdgeLayInfo* cloneAttributes() const { return castDown(vCloneAttributes()); }
  static KWSEdgeLayInfo* castDown(const KWObject* o) {
    return static_cast<KWSEdgeLayInfo*>(const_cast<KWObject*>(o));
  }
  long sizeOf() const override;
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

 protected:
  void init() {}
  KWObject* vCloneObject() const override;
  KWObject* vCloneAttributes() const override;

 private:
  KWSEdgeLayInfo& KWSEdgeLayInfodeepCopy(const KWSEdgeLayInfo& source);
  KWSEdgeLayInfo& KWSEdgeLayInfoattributeCopy(const KWSEdgeLayInfo& source);
};

#endif
