// Load-time entries for a Java VM that loads the utilities library itself
// (System.load/System.loadLibrary, directly or as a dependency of a layout
// module): bind the natives of the peer base class, and drop the peers of
// that VM when the library is unloaded from it.
#include <jni.h>

#include "host/kwpeers.h"

extern "C" JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
  JNIEnv* env = nullptr;
  if (vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_6) != JNI_OK) return JNI_ERR;
  // A VM without the peer classes can still use the library; it gets no peers.
  KWPeerRegistry::bindNatives(env);
  return JNI_VERSION_1_6;
}

extern "C" JNIEXPORT void JNICALL JNI_OnUnload(JavaVM* vm, void*) { KWPeerRegistry::releaseAll(vm); }
