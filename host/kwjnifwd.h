// The Java Native Interface types that framework headers name, declared
// without the JDK's jni.h, so that code using the framework builds without a
// JDK. The declarations match jni.h's C++ ones exactly, so a source that
// includes both (the Java bridge) sees one set of types.
#ifndef KWJNIFWD_H
#define KWJNIFWD_H

struct JNIEnv_;
typedef JNIEnv_ JNIEnv;
struct JavaVM_;
typedef JavaVM_ JavaVM;
class _jobject;
typedef _jobject* jobject;
class _jclass;
typedef _jclass* jclass;
typedef int jint;

#endif
