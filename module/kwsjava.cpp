#include "module/kwsjava.h"

#include <cstdio>
#include <cstdlib>

#include "host/kwobject.h"
#include "host/kwpeers.h"

namespace {
// The runtime's assertion report: the condition text, the source name and the
// line of the class's bridge definition; then the process stops, as a failed
// assertion does.
void check(bool ok, const char* text, const char* source, int line) {
  if (ok) return;
  std::fprintf(stderr, "%s:%d: Assertion `%s' failed.\n", source, line, text);
  std::fflush(stderr);
  std::abort();
}
}  // namespace

jclass kwsJavaClass(JNIEnv* env, const char* javaName, const char* source, int line) {
  jclass clazz = env->FindClass(javaName);
  check(clazz != nullptr, "clazz != NULL", source, line);
  check(env->ExceptionOccurred() == 0, "env->ExceptionOccurred() == 0", source, line);
  return clazz;
}

jobject kwsJavaObject(const KWObject* object, JNIEnv* env, const char* source, int line) {
  long index = object->javaIndex();
  if (index >= 0) return KWObject::getFactoryObject(env, index);
  jclass clazz = object->getJavaClass(env);
  jmethodID method = env->GetMethodID(clazz, "<init>", "(I)V");
  check(method != 0 && env->ExceptionOccurred() == 0, "method != 0 && env->ExceptionOccurred() == 0", source,
        line);
  jobject result = env->NewObject(clazz, method, KWPeerRegistry::handleFor(object));
  if (env->ExceptionOccurred()) {
    env->ExceptionDescribe();
    env->ExceptionClear();
  }
  check(result != 0, "object != 0", source, line);
  check(object->javaIndex() >= 0, "this->javaIndex() >= 0", source, line);
  env->DeleteLocalRef(clazz);
  return result;
}
