// Natives of com.brackwind.jnilayout.SymmetricLayout: a Java program's handle
// on one KWSLayout. The Java object keeps the address of a JavaLayout in a
// long and serializes its calls; every node and edge number and every value
// is checked here, and a bad one becomes a Java exception, never a crash.
// Bound by their Java_ names: the class finds them in the library it loads.
#include <jni.h>

#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "module/kwslayout.h"

namespace {

struct JavaLayout {
  KWSLayout lay;
  std::vector<KWDNode*> nodes;
  std::vector<KWDEdge*> edges;
};

JavaLayout* of(jlong handle) { return reinterpret_cast<JavaLayout*>(handle); }

// Throws a new exception of the named class; answers false for the caller's return.
bool raise(JNIEnv* env, const char* cls, const std::string& message) {
  if (jclass c = env->FindClass(cls)) {
    env->ThrowNew(c, message.c_str());
    env->DeleteLocalRef(c);
  }
  return false;
}

bool validHandle(JNIEnv* env, jlong handle) {
  return handle != 0 || raise(env, "java/lang/IllegalStateException", "the layout is closed");
}

KWDNode* node(JNIEnv* env, JavaLayout* l, jint index) {
  if (index >= 0 && static_cast<size_t>(index) < l->nodes.size()) return l->nodes[static_cast<size_t>(index)];
  raise(env, "java/lang/IndexOutOfBoundsException",
        "no node " + std::to_string(index) + " (the layout has " + std::to_string(l->nodes.size()) + " nodes)");
  return nullptr;
}

bool inRange(JNIEnv* env, double v, double low, const char* what) {
  if (std::isfinite(v) && v >= low && v <= KWSLayout::maxCoordinate) return true;
  return raise(env, "java/lang/IllegalArgumentException",
               std::string(what) + " must be a finite number from " + (low < 0 ? "-1e9" : "0") + " to 1e9, not " +
                   std::to_string(v));
}

std::string text(JNIEnv* env, jstring s) {
  if (!s) return std::string();
  const char* c = env->GetStringUTFChars(s, nullptr);
  if (!c) return std::string();
  std::string out(c);
  env->ReleaseStringUTFChars(s, c);
  return out;
}

const KWSSettingInfo* knownSetting(JNIEnv* env, jstring name) {
  if (!name) {
    raise(env, "java/lang/NullPointerException", "setting name is null");
    return nullptr;
  }
  std::string n = text(env, name);
  const KWSSettingInfo* s = KWSLayout::findSetting(n);
  if (!s) raise(env, "java/lang/IllegalArgumentException", "unknown setting '" + n + "'");
  return s;
}

}  // namespace

#define KWS_NATIVE(type, name) extern "C" JNIEXPORT type JNICALL Java_com_brackwind_jnilayout_SymmetricLayout_##name

KWS_NATIVE(jlong, nativeCreate)(JNIEnv* env, jclass) {
  try {
    return reinterpret_cast<jlong>(new JavaLayout);
  } catch (const std::bad_alloc&) {
    raise(env, "java/lang/OutOfMemoryError", "no memory for a layout");
    return 0;
  }
}

KWS_NATIVE(void, nativeDestroy)(JNIEnv*, jclass, jlong handle) { delete of(handle); }

KWS_NATIVE(jint, nativeAddNode)(JNIEnv* env, jclass, jlong handle, jdouble w, jdouble h, jstring name) {
  if (!validHandle(env, handle) || !inRange(env, w, 0, "a node's width") || !inRange(env, h, 0, "a node's height"))
    return -1;
  JavaLayout* l = of(handle);
  if (l->nodes.size() >= 0x7fffffff) return raise(env, "java/lang/IllegalStateException", "too many nodes"), -1;
  l->nodes.push_back(l->lay.addNode(std::lround(w), std::lround(h), text(env, name)));
  return static_cast<jint>(l->nodes.size() - 1);
}

KWS_NATIVE(jint, nativeAddEdge)(JNIEnv* env, jclass, jlong handle, jint from, jint to) {
  if (!validHandle(env, handle)) return -1;
  JavaLayout* l = of(handle);
  KWDNode* a = node(env, l, from);
  KWDNode* b = a ? node(env, l, to) : nullptr;
  if (!b) return -1;
  if (l->edges.size() >= 0x7fffffff) return raise(env, "java/lang/IllegalStateException", "too many edges"), -1;
  l->edges.push_back(l->lay.addEdge(a, b));
  return static_cast<jint>(l->edges.size() - 1);
}

KWS_NATIVE(void, nativeSet)(JNIEnv* env, jclass, jlong handle, jstring name, jdouble value) {
  if (!validHandle(env, handle)) return;
  const KWSSettingInfo* s = knownSetting(env, name);
  if (s && !of(handle)->lay.setting(s->name, value))
    raise(env, "java/lang/IllegalArgumentException",
          std::string("setting '") + s->name + "' cannot hold " + std::to_string(value) +
              (s->kind == KWSSettingKind::Integer ? " (a whole number in the int range)"
               : s->kind == KWSSettingKind::Flag  ? " (a flag: 0 or 1)"
                                                  : " (a finite number)"));
}

KWS_NATIVE(jdouble, nativeGet)(JNIEnv* env, jclass, jlong handle, jstring name) {
  if (!validHandle(env, handle)) return 0;
  const KWSSettingInfo* s = knownSetting(env, name);
  return s ? of(handle)->lay.setting(s->name) : 0;
}

KWS_NATIVE(void, nativePlace)(JNIEnv* env, jclass, jlong handle, jint index, jdouble x, jdouble y) {
  if (!validHandle(env, handle)) return;
  KWDNode* n = node(env, of(handle), index);
  if (n && inRange(env, x, -KWSLayout::maxCoordinate, "x") && inRange(env, y, -KWSLayout::maxCoordinate, "y"))
    n->ntMoveTo(std::lround(x), std::lround(y));
}

KWS_NATIVE(void, nativePin)(JNIEnv* env, jclass, jlong handle, jint index, jboolean pinned) {
  if (!validHandle(env, handle)) return;
  if (KWDNode* n = node(env, of(handle), index)) of(handle)->lay.pin(n, pinned == JNI_TRUE);
}

KWS_NATIVE(void, nativeStartFromPositions)(JNIEnv* env, jclass, jlong handle, jintArray unplaced) {
  if (!validHandle(env, handle)) return;
  JavaLayout* l = of(handle);
  std::vector<KWDNode*> v;
  if (unplaced) {
    jsize count = env->GetArrayLength(unplaced);
    std::vector<jint> ids(static_cast<size_t>(count));
    env->GetIntArrayRegion(unplaced, 0, count, ids.data());
    for (jint i : ids) {
      KWDNode* n = node(env, l, i);
      if (!n) return;
      v.push_back(n);
    }
  }
  l->lay.startFromPositions(v);
}

// JNI_FALSE for a run stopped early (requestStop or the time limit).
KWS_NATIVE(jboolean, nativeLayout)(JNIEnv* env, jclass, jlong handle) {
  if (!validHandle(env, handle)) return JNI_FALSE;
  JavaLayout* l = of(handle);
  KWErrorCodeEnum rc = l->lay.layout();
  if (rc == KWStoppedEarly) return JNI_FALSE;
  if (rc != KWNoError) raise(env, "java/lang/IllegalStateException", l->lay.statusText(rc));
  return JNI_TRUE;
}

// May run on another thread than a running nativeLayout: it only sets the stop flag.
KWS_NATIVE(void, nativeRequestStop)(JNIEnv* env, jclass, jlong handle) {
  if (validHandle(env, handle)) of(handle)->lay.requestStop();
}

KWS_NATIVE(void, nativeTimeLimit)(JNIEnv* env, jclass, jlong handle, jlong milliseconds) {
  if (validHandle(env, handle)) of(handle)->lay.timeBudget(static_cast<long>(milliseconds));
}

// The centres of all nodes as x0, y0, x1, y1, ...
KWS_NATIVE(jdoubleArray, nativePositions)(JNIEnv* env, jclass, jlong handle) {
  if (!validHandle(env, handle)) return nullptr;
  JavaLayout* l = of(handle);
  std::vector<jdouble> v;
  v.reserve(2 * l->nodes.size());
  for (const KWDNode* n : l->nodes) {
    v.push_back(static_cast<jdouble>(n->ntX()));
    v.push_back(static_cast<jdouble>(n->ntY()));
  }
  jdoubleArray a = env->NewDoubleArray(static_cast<jsize>(v.size()));
  if (a) env->SetDoubleArrayRegion(a, 0, static_cast<jsize>(v.size()), v.data());
  return a;
}

KWS_NATIVE(jdoubleArray, nativeBends)(JNIEnv* env, jclass, jlong handle, jint index) {
  if (!validHandle(env, handle)) return nullptr;
  JavaLayout* l = of(handle);
  if (index < 0 || static_cast<size_t>(index) >= l->edges.size()) {
    raise(env, "java/lang/IndexOutOfBoundsException",
          "no edge " + std::to_string(index) + " (the layout has " + std::to_string(l->edges.size()) + " edges)");
    return nullptr;
  }
  std::vector<jdouble> v;
  for (const KWPoint& p : KWSLayout::bends(l->edges[static_cast<size_t>(index)])) {
    v.push_back(static_cast<jdouble>(p.x()));
    v.push_back(static_cast<jdouble>(p.y()));
  }
  jdoubleArray a = env->NewDoubleArray(static_cast<jsize>(v.size()));
  if (a) env->SetDoubleArrayRegion(a, 0, static_cast<jsize>(v.size()), v.data());
  return a;
}

KWS_NATIVE(jobjectArray, nativeSettingNames)(JNIEnv* env, jclass) {
  const std::vector<KWSSettingInfo>& list = KWSLayout::settingList();
  jclass string = env->FindClass("java/lang/String");
  if (!string) return nullptr;
  jobjectArray a = env->NewObjectArray(static_cast<jsize>(list.size()), string, nullptr);
  env->DeleteLocalRef(string);
  for (size_t i = 0; a && i < list.size(); ++i) {
    jstring s = env->NewStringUTF(list[i].name);
    if (!s) return nullptr;
    env->SetObjectArrayElement(a, static_cast<jsize>(i), s);
    env->DeleteLocalRef(s);
  }
  return a;
}
