#include "module/kwsjava.h"

#include <jni.h>

#include <cstdio>
#include <cstdlib>

#include "host/kwobject.h"
#include "host/kwpeers.h"

namespace {

// A failed check, reported as the runtime reports a failed assertion: the
// condition, the source name and the line of the class's peer definition;
// then the process aborts. A Java exception still pending is the likeliest
// cause, so it is printed first.
[[noreturn]] void fail(JNIEnv* env, const char* text, const char* source, int line) {
  if (env->ExceptionOccurred() != nullptr) {
    env->ExceptionDescribe();
    env->ExceptionClear();
  }
  std::fprintf(stderr, "%s:%d: Assertion `%s' failed.\n", source, line, text);
  std::fflush(stderr);
  std::abort();
}

}  // namespace

jclass kwsJavaClass(JNIEnv* env, const char* javaName, const char* source, int line) {
  if (env == nullptr) return nullptr;
  jclass clazz = env->FindClass(javaName);
  if (!(clazz != NULL)) fail(env, "clazz != NULL", source, line);
  if (!(env->ExceptionOccurred() == 0)) fail(env, "env->ExceptionOccurred() == 0", source, line);
  return clazz;
}

jobject kwsJavaObject(const KWObject* object, JNIEnv* env, const char* source, int line) {
  if (env == nullptr) return nullptr;
  long index = object->javaIndex();
  if (index >= 0) return KWObject::getFactoryObject(env, index);

  // Through the virtual table, so that a subclass's own peer class is used. A
  // class without one answers null; that must not reach GetMethodID.
  jclass clazz = object->getJavaClass(env);
  if (!(clazz != NULL)) fail(env, "clazz != NULL", source, line);
  jmethodID method = env->GetMethodID(clazz, "<init>", "(I)V");
  if (!(method != 0 && env->ExceptionOccurred() == 0)) {
    fail(env, "method != 0 && env->ExceptionOccurred() == 0", source, line);
  }

  // The constructor gets the object's handle and registers the peer under it.
  jint handle = KWPeerRegistry::reserveHandle(object);
  jobject result = env->NewObject(clazz, method, handle);
  jthrowable thrown = env->ExceptionOccurred();
  if (thrown != nullptr) {
    env->ExceptionDescribe();
    env->ExceptionClear();
    env->DeleteLocalRef(thrown);
  }
  if (object->javaIndex() < 0) KWPeerRegistry::dropHandle(handle);

  if (!(result != 0)) fail(env, "object != 0", source, line);
  if (!(object->javaIndex() >= 0)) fail(env, "this->javaIndex() >= 0", source, line);
  env->DeleteLocalRef(clazz);
  return result;
}
