// Registry of the Java peers of native objects.
#ifndef KWPEERS_H
#define KWPEERS_H

#include <jni.h>

class KWObject;

/// Keeps, for every native object that has a Java peer, a global reference to
/// that peer under the object's javaIndex. The Java side registers a peer from
/// its constructor; the entry is released when the native object is destroyed.
class KWPeerRegistry {
 public:
  /// Registers peer (a global reference is taken) for object and gives the
  /// object its index. Answers the index.
  static long registerPeer(JNIEnv* env, KWObject* object, jobject peer);
  /// A new local reference to the peer with this index, or null.
  static jobject peer(JNIEnv* env, long index);
  /// Drops the entry of an object that is being destroyed.
  static void releaseFor(KWObject* object);
  /// The int handle under which a native object is passed to Java, and back.
  static jint handleFor(const KWObject* object);
  static KWObject* objectFor(jint handle);
};

#endif
