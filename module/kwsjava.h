// Java peers of the symmetric module's classes.
//
// Every class declares its two peer operations with KWS_JAVA_PEER_DECL and
// defines them, once, with KWS_JAVA_PEER_DEF(Class, "javaClassName", "source").
// Both operations of a class come from that one definition, so every check of a
// class reports the same source name and line: the line of its definition.
#ifndef KWSJAVA_H
#define KWSJAVA_H

#include <jni.h>

class KWObject;

/// FindClass on javaName; checks "clazz != NULL" and
/// "env->ExceptionOccurred() == 0", reporting source and line on failure.
jclass kwsJavaClass(JNIEnv* env, const char* javaName, const char* source, int line);
/// The registered peer of object, or a new one built with "<init>" "(I)V".
jobject kwsJavaObject(const KWObject* object, JNIEnv* env, const char* source, int line);

#define KWS_JAVA_PEER_DECL                                  \
  jobject getJavaObject(JNIEnv* env) const override;        \
  jclass getJavaClass(JNIEnv* env) const override;

#define KWS_JAVA_PEER_DEF(Class, javaName, source)                                               \
  jobject Class::getJavaObject(JNIEnv* env) const { return kwsJavaObject(this, env, source, __LINE__); } \
  jclass Class::getJavaClass(JNIEnv* env) const { return kwsJavaClass(env, javaName, source, __LINE__); }

#endif
