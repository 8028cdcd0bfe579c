#include "host/kwobject.h"

#include <jni.h>

#include "host/kwpeers.h"

KWObject::KWObject() : javaIndex_(-1) {}
KWObject::KWObject(const KWObject&) : javaIndex_(-1) {}
KWObject& KWObject::operator=(const KWObject&) { return *this; }  // the peer index stays
KWObject::~KWObject() {
  if (javaIndex_ >= 0) KWPeerRegistry::releaseFor(this);
}

void KWObject::copyObject(const KWObject*) {}
void KWObject::copyAttributes(const KWObject*) {}
long KWObject::graphFileID() const { return -1; }
long KWObject::localID() const { return -1; }
int KWObject::isOMLObject() const { return 0; }
void KWObject::debugOutput(int) const {}
jobject KWObject::getJavaObject(JNIEnv*) const { return nullptr; }
jclass KWObject::getJavaClass(JNIEnv*) const { return nullptr; }
KWObject* KWObject::vCloneObject() const { return new KWObject(*this); }
KWObject* KWObject::vCloneAttributes() const { return new KWObject(*this); }

jobject KWObject::getFactoryObject(JNIEnv* env, long index) {
  return KWPeerRegistry::peer(env, index);
}
