// Scratch records ("lay infos") that a layout run attaches to the graph, node
// and edge extensions of a style. The base records hold nothing.
#ifndef KWBLAYIN_H
#define KWBLAYIN_H

#include "host/kwobject.h"

class KWBGraphLayInfo : public KWObject {
 public:
  virtual void innerDebugOutput(int) const {}
  virtual long sizeOf() const { return static_cast<long>(sizeof(KWBGraphLayInfo)); }
};

class KWBNodeLayInfo : public KWObject {
 public:
  virtual void innerDebugOutput(int) const {}
  virtual long sizeOf() const { return static_cast<long>(sizeof(KWBNodeLayInfo)); }
};

class KWBEdgeLayInfo : public KWObject {
 public:
  virtual void innerDebugOutput(int) const {}
  virtual long sizeOf() const { return static_cast<long>(sizeof(KWBEdgeLayInfo)); }
};

#endif
