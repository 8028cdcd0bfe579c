#include "host/kwpeers.h"

#include "host/kwobject.h"

// Placeholder until the Java bridge lands: no peer is ever registered.
long KWPeerRegistry::registerPeer(JNIEnv*, KWObject*, jobject) { return -1; }
jobject KWPeerRegistry::peer(JNIEnv*, long) { return nullptr; }
void KWPeerRegistry::releaseFor(KWObject*) {}
jint KWPeerRegistry::handleFor(const KWObject*) { return 0; }
KWObject* KWPeerRegistry::objectFor(jint) { return nullptr; }
