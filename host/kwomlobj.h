// Objects that can live in an OML graph file.
#ifndef KWOMLOBJ_H
#define KWOMLOBJ_H

#include "host/kwobject.h"

class KWOMLObject : public KWObject {
 public:
  int isOMLObject() const override { return 1; }
  virtual int isFactory() const { return 0; }
  virtual KWOMLObject* pOwnerObject() const { return nullptr; }
};

#endif
