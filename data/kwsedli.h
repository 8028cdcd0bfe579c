// KWSEdgeLayInfo: an edge's scratch record for a symmetric layout run. It holds
// nothing of its own; every edge of the run carries one of the module's type.
#ifndef KWSEDLI_H
#define KWSEDLI_H

#include "module/kwsexport.h"
#include "host/kwblayin.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWS_EXPORT KWSEdgeLayInfo : public KWBEdgeLayInfo {
 public:
  KWSEdgeLayInfo();
  KWS_COPY_MEMBERS_DECL(KWSEdgeLayInfo)
  ~KWSEdgeLayInfo() override;

  long sizeOf() const override;
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

 protected:
  void init() {}
  KWS_CLONE_MEMBERS_DECL(KWSEdgeLayInfo)

 private:
  KWS_COPY_PARTS_DECL(KWSEdgeLayInfo)
};

#endif
