// Java peers of the symmetric module's classes.
//
// Every class declares its two peer operations with KWS_JAVA_PEER_DECL in its
// class body and defines them, once, in its .cpp with
//   KWS_JAVA_PEER_DEF(KWSGraph, "com/brackwind/jnilayout/KWSGraph", "kwsgraph")
// Both operations of a class come from that one definition, so every check of
// a class reports the same source name and line: those of its definition. The
// Java class name must be "com/brackwind/jnilayout/" followed by the C++ class
// name; a definition that says otherwise does not compile.
//
// getJavaClass answers a local reference to the peer class. getJavaObject
// answers the registered peer when the object has one (javaIndex() >= 0) and
// otherwise builds one with the peer class's constructor "(I)V", passing the
// object's handle (see host/kwpeers.h); the constructor registers the peer,
// which gives the object its javaIndex. The checks along the way are
// assertions: on failure they print the condition, the source name and the
// line, and abort. A null JNIEnv gets a null answer.
#ifndef KWSJAVA_H
#define KWSJAVA_H

#include "host/kwjnifwd.h"

class KWObject;

/// FindClass on javaName; checks "clazz != NULL" and
/// "env->ExceptionOccurred() == 0", reporting source and line on failure.
jclass kwsJavaClass(JNIEnv* env, const char* javaName, const char* source, int line);
/// The registered peer of object, or a new one built with "<init>" "(I)V".
jobject kwsJavaObject(const KWObject* object, JNIEnv* env, const char* source, int line);

/// True when javaName is "com/brackwind/jnilayout/" followed by className.
constexpr bool kwsJavaNameMatches(const char* javaName, const char* className) {
  const char* prefix = "com/brackwind/jnilayout/";
  for (; *prefix != '\0'; ++prefix, ++javaName) {
    if (*javaName != *prefix) return false;
  }
  for (; *className != '\0'; ++className, ++javaName) {
    if (*javaName != *className) return false;
  }
  return *javaName == '\0';
}

#define KWS_JAVA_PEER_DECL                           \
  jobject getJavaObject(JNIEnv* env) const override; \
  jclass getJavaClass(JNIEnv* env) const override;

// Keep each use on one line: __LINE__ is the line reported by both operations.
#define KWS_JAVA_PEER_DEF(Class, javaName, source)                                                        \
  static_assert(kwsJavaNameMatches(javaName, #Class), #Class ": Java peer class name does not match");   \
  jobject Class::getJavaObject(JNIEnv* env) const { return kwsJavaObject(this, env, source, __LINE__); } \
  jclass Class::getJavaClass(JNIEnv* env) const { return kwsJavaClass(env, javaName, source, __LINE__); }

#endif
