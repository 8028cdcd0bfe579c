// Registry of the Java peers of native objects.
//
// A native object is known to Java by an int handle, never by its address
// (addresses are wider than a Java int). The registry keeps the table from
// handles to native objects and, for every object whose peer has registered,
// a global reference to that peer. The object's javaIndex() is its handle once
// the peer registered, and negative before.
//
// Life of a handle:
//   1. reserveHandle(object): a fresh positive handle that maps to the object;
//      the bridge passes it to the Java peer's constructor "(I)V".
//   2. The constructor of com.brackwind.jnilayout.KWPeer calls its native
//      register(int) with this peer and the handle: registerPeer takes a global
//      reference and sets object->javaIndex(handle).
//      (If the constructor never registers, the bridge drops the reservation.)
//   3. When the native object is destroyed, ~KWObject calls releaseFor, which
//      removes the entry and deletes the global reference; the handle is then
//      unknown, so a stale Java peer can no longer reach the object.
// Handles count up from 1 and are not reused before the int range is spent.
//
// This is the one piece of process-wide state of the framework. Every
// operation is guarded by one mutex, since Java may call in from any thread.
#ifndef KWPEERS_H
#define KWPEERS_H

#include "host/kwjnifwd.h"

class KWObject;

class KWPeerRegistry {
 public:
  /// Java class of the common base of all peers; its natives are bound by
  /// bindNatives.
  static const char* const peerBaseClassName;  // "com/brackwind/jnilayout/KWPeer"

  /// A new handle for object, reserved until its peer registers or the
  /// reservation is dropped. Answers 0 only if no handle is free.
  static jint reserveHandle(const KWObject* object);
  /// Forgets a reservation whose peer never registered. A registered handle
  /// is left alone.
  static void dropHandle(jint handle);
  /// Registers peer for the object of handle: takes a global reference and
  /// sets the object's javaIndex. Answers the index, or -1 after throwing
  /// IllegalArgumentException (unknown handle, null peer) or
  /// IllegalStateException (the object already has a peer) into env.
  static long registerPeer(JNIEnv* env, jobject peer, jint handle);
  /// A new local reference to the peer registered under index, or null.
  static jobject peer(JNIEnv* env, long index);
  /// Whether peer is the registered peer of handle, i.e. its native object
  /// still exists.
  static bool isRegisteredPeer(JNIEnv* env, jobject peer, jint handle);
  /// The native object of a registered or reserved handle, or null.
  static KWObject* objectFor(jint handle);
  /// Drops the entry of an object that is being destroyed and deletes the
  /// global reference to its peer (attaching the thread to the Java VM for
  /// that if it is not attached).
  static void releaseFor(KWObject* object);
  /// Drops every entry that belongs to vm and gives the objects a negative
  /// javaIndex again. Call before the VM is destroyed or when the library is
  /// unloaded from it; global references are deleted when the calling thread
  /// is attached to vm.
  static void releaseAll(JavaVM* vm);
  /// Number of registered peers (reservations not counted).
  static long numberOfPeers();

  /// Binds the native methods of KWPeer in env's VM. A host that creates the
  /// Java VM itself calls this once; when Java loads the library, JNI_OnLoad
  /// does it. Answers false (no exception left pending) when KWPeer is not
  /// found or cannot be bound.
  static bool bindNatives(JNIEnv* env);
};

#endif
