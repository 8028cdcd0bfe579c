// Root of every framework object: the copy and clone protocol, debug output and
// the Java peer hooks.
#ifndef KWOBJECT_H
#define KWOBJECT_H

#include <cstddef>

#include "host/kwjnifwd.h"

#include "host/kwenums.h"

/// Root class. Copying is explicit: copyObject copies everything a class holds,
/// copyAttributes only its settings-like part. Each class copies its own part
/// after calling its base's operation, so a copy runs from the root down.
///
/// The Java peer index (javaIndex) is negative until a Java peer registered
/// itself for this object; it is never copied.
class KWObject {
 public:
  KWObject();
  KWObject(const KWObject& other);
  KWObject& operator=(const KWObject& other);

  virtual void copyObject(const KWObject* source);
  virtual void copyAttributes(const KWObject* source);
  virtual ~KWObject();
  virtual long graphFileID() const;
  virtual long localID() const;
  virtual int isOMLObject() const;
  virtual void debugOutput(int level) const;
  virtual jobject getJavaObject(JNIEnv* env) const;
  virtual jclass getJavaClass(JNIEnv* env) const;

  KWObject* cloneObject() const { return vCloneObject(); }
  KWObject* cloneAttributes() const { return vCloneAttributes(); }

  /// Index of the registered Java peer, negative while there is none.
  long javaIndex() const { return javaIndex_; }
  /// Sets the peer index; used by the peer registry only.
  void javaIndex(long index) { javaIndex_ = index; }
  /// The registered peer with the given index (a new local reference), or null.
  static jobject getFactoryObject(JNIEnv* env, long index);

 protected:
  virtual KWObject* vCloneObject() const;
  virtual KWObject* vCloneAttributes() const;

 private:
  long javaIndex_;
};

#endif
