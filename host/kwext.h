// Layout extensions: the objects a layout style hangs on a drawing graph, node
// or edge. An extension belongs to its owner and is deleted with it.
#ifndef KWEXT_H
#define KWEXT_H

#include "host/kwenums.h"
#include "host/kwobject.h"

class KWDGraph;
class KWGNode;
class KWGEdge;

class KWSharedExt : public KWObject {
 public:
  virtual int portsInstalled() const { return 0; }
  virtual KWLayoutStyleEnum layoutStyle() const { return KWNoLayoutStyle; }
  virtual void innerDebugOutput(int) const {}
  virtual long sizeOf() const { return static_cast<long>(sizeof(KWSharedExt)); }
};

/// Extension of a drawing graph. A copy or clone has no owner.
class KWGraphExt : public KWSharedExt {
 public:
  explicit KWGraphExt(KWDGraph* owner = nullptr) : owner_(owner) {}
  KWGraphExt(const KWGraphExt&) : KWSharedExt(), owner_(nullptr) {}
  KWGraphExt& operator=(const KWGraphExt&) { return *this; }
  KWDGraph* pOwnerGraph() const { return owner_; }
  long sizeOf() const override { return static_cast<long>(sizeof(KWGraphExt)); }

 private:
  KWDGraph* owner_;
};

/// Extension of a drawing node or a bend.
class KWNodeExt : public KWSharedExt {
 public:
  explicit KWNodeExt(KWGNode* owner = nullptr) : owner_(owner) {}
  KWNodeExt(const KWNodeExt&) : KWSharedExt(), owner_(nullptr) {}
  KWNodeExt& operator=(const KWNodeExt&) { return *this; }
  KWGNode* pOwnerNode() const { return owner_; }
  long sizeOf() const override { return static_cast<long>(sizeof(KWNodeExt)); }

 private:
  KWGNode* owner_;
};

/// Extension of a drawn edge or of one of its pieces.
class KWEdgeExt : public KWSharedExt {
 public:
  explicit KWEdgeExt(KWGEdge* owner = nullptr) : owner_(owner) {}
  KWEdgeExt(const KWEdgeExt&) : KWSharedExt(), owner_(nullptr) {}
  KWEdgeExt& operator=(const KWEdgeExt&) { return *this; }
  KWGEdge* pOwnerEdge() const { return owner_; }
  long sizeOf() const override { return static_cast<long>(sizeof(KWEdgeExt)); }

 private:
  KWGEdge* owner_;
};

#endif
