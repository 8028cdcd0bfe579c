#include "host/kwpeers.h"

#include <jni.h>

#include <climits>
#include <cstdio>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "host/kwobject.h"

const char* const KWPeerRegistry::peerBaseClassName = "com/brackwind/jnilayout/KWPeer";

namespace {

struct Entry {
  KWObject* object;
  jobject peer;  // global reference; null while the handle is only reserved
  JavaVM* vm;    // the VM the global reference belongs to
};

struct Table {
  std::mutex mutex;
  std::unordered_map<jint, Entry> entries;
  jint lastHandle = 0;
  long registered = 0;

  // The next free handle after lastHandle, wrapping to 1 after INT_MAX; 0 when
  // every handle is taken. Called with the mutex held.
  jint nextHandle() {
    for (unsigned long tries = 0; tries < static_cast<unsigned long>(INT_MAX); ++tries) {
      lastHandle = lastHandle == INT_MAX ? 1 : lastHandle + 1;
      if (entries.find(lastHandle) == entries.end()) return lastHandle;
    }
    return 0;
  }
};

// Built on first use and never destroyed, so objects that die during static
// destruction can still release their entries.
Table& table() {
  static Table* const instance = new Table();
  return *instance;
}

bool isHandle(long index) { return index > 0 && index <= INT_MAX; }

void throwJava(JNIEnv* env, const char* className, const char* message) {
  jclass clazz = env->FindClass(className);
  if (clazz == nullptr) return;  // NoClassDefFoundError is pending instead
  env->ThrowNew(clazz, message);
  env->DeleteLocalRef(clazz);
}

// Deletes a global reference from any thread: a thread that is not attached
// to the VM is attached for the call. Nothing is done when the VM is gone.
void deleteGlobal(JavaVM* vm, jobject ref) {
  if (vm == nullptr || ref == nullptr) return;
  JNIEnv* env = nullptr;
  jint rc = vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_6);
  if (rc == JNI_OK) {
    env->DeleteGlobalRef(ref);
  } else if (rc == JNI_EDETACHED &&
             vm->AttachCurrentThreadAsDaemon(reinterpret_cast<void**>(&env), nullptr) == JNI_OK) {
    env->DeleteGlobalRef(ref);
    vm->DetachCurrentThread();
  }
}

// Natives of com.brackwind.jnilayout.KWPeer.
void JNICALL nativeRegister(JNIEnv* env, jobject self, jint handle) {
  KWPeerRegistry::registerPeer(env, self, handle);
}

jboolean JNICALL nativeIsRegistered(JNIEnv* env, jobject self, jint handle) {
  return KWPeerRegistry::isRegisteredPeer(env, self, handle) ? JNI_TRUE : JNI_FALSE;
}

}  // namespace

jint KWPeerRegistry::reserveHandle(const KWObject* object) {
  if (object == nullptr) return 0;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  jint handle = t.nextHandle();
  // The registry sets the peer index of the object; that is bookkeeping
  // beside the object's value, hence the const_cast.
  if (handle != 0) t.entries[handle] = Entry{const_cast<KWObject*>(object), nullptr, nullptr};
  return handle;
}

void KWPeerRegistry::dropHandle(jint handle) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.entries.find(handle);
  if (it != t.entries.end() && it->second.peer == nullptr) t.entries.erase(it);
}

long KWPeerRegistry::registerPeer(JNIEnv* env, jobject peer, jint handle) {
  if (env == nullptr) return -1;
  if (peer == nullptr) {
    throwJava(env, "java/lang/IllegalArgumentException", "a null peer cannot be registered");
    return -1;
  }
  JavaVM* vm = nullptr;
  if (env->GetJavaVM(&vm) != JNI_OK) vm = nullptr;
  jobject global = env->NewGlobalRef(peer);
  if (global == nullptr) return -1;  // OutOfMemoryError is pending

  const char* problem = nullptr;
  const char* exceptionClass = "java/lang/IllegalArgumentException";
  {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.entries.find(handle);
    if (it == t.entries.end()) {
      problem = "unknown native handle %ld";
    } else if (it->second.peer != nullptr || it->second.object->javaIndex() >= 0) {
      problem = "the native object of handle %ld already has a peer";
      exceptionClass = "java/lang/IllegalStateException";
    } else {
      it->second.peer = global;
      it->second.vm = vm;
      it->second.object->javaIndex(handle);
      ++t.registered;
    }
  }
  if (problem != nullptr) {
    env->DeleteGlobalRef(global);
    char message[96];
    std::snprintf(message, sizeof message, problem, static_cast<long>(handle));
    throwJava(env, exceptionClass, message);
    return -1;
  }
  return handle;
}

jobject KWPeerRegistry::peer(JNIEnv* env, long index) {
  if (env == nullptr || !isHandle(index)) return nullptr;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.entries.find(static_cast<jint>(index));
  if (it == t.entries.end() || it->second.peer == nullptr) return nullptr;
  // Made under the lock: releaseFor may otherwise delete the global reference
  // in between.
  return env->NewLocalRef(it->second.peer);
}

bool KWPeerRegistry::isRegisteredPeer(JNIEnv* env, jobject peer, jint handle) {
  if (env == nullptr || peer == nullptr) return false;
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.entries.find(handle);
  return it != t.entries.end() && it->second.peer != nullptr && env->IsSameObject(it->second.peer, peer);
}

KWObject* KWPeerRegistry::objectFor(jint handle) {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.entries.find(handle);
  return it == t.entries.end() ? nullptr : it->second.object;
}

void KWPeerRegistry::releaseFor(KWObject* object) {
  if (object == nullptr) return;
  long index = object->javaIndex();
  if (!isHandle(index)) return;
  Entry released{nullptr, nullptr, nullptr};
  {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.entries.find(static_cast<jint>(index));
    if (it == t.entries.end() || it->second.object != object) return;
    released = it->second;
    t.entries.erase(it);
    if (released.peer != nullptr) --t.registered;
    object->javaIndex(-1);
  }
  // Outside the lock: deleting may attach this thread to the VM.
  deleteGlobal(released.vm, released.peer);
}

void KWPeerRegistry::releaseAll(JavaVM* vm) {
  if (vm == nullptr) return;
  std::vector<jobject> refs;
  {
    Table& t = table();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (auto it = t.entries.begin(); it != t.entries.end();) {
      if (it->second.peer != nullptr && it->second.vm == vm) {
        refs.push_back(it->second.peer);
        it->second.object->javaIndex(-1);
        --t.registered;
        it = t.entries.erase(it);
      } else {
        ++it;
      }
    }
  }
  JNIEnv* env = nullptr;
  if (vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_6) != JNI_OK) return;
  for (jobject ref : refs) env->DeleteGlobalRef(ref);
}

long KWPeerRegistry::numberOfPeers() {
  Table& t = table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.registered;
}

bool KWPeerRegistry::bindNatives(JNIEnv* env) {
  if (env == nullptr) return false;
  jclass base = env->FindClass(peerBaseClassName);
  if (base == nullptr) {
    env->ExceptionClear();
    return false;
  }
  const JNINativeMethod methods[] = {
      {const_cast<char*>("register"), const_cast<char*>("(I)V"), reinterpret_cast<void*>(&nativeRegister)},
      {const_cast<char*>("isRegistered"), const_cast<char*>("(I)Z"),
       reinterpret_cast<void*>(&nativeIsRegistered)},
  };
  jint rc = env->RegisterNatives(base, methods, 2);
  env->DeleteLocalRef(base);
  if (rc != JNI_OK) {
    env->ExceptionClear();
    return false;
  }
  return true;
}
