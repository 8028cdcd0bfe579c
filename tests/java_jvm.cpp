// The Java peer bridge against a real Java VM, started in this process with
// the peer jar and the tests' own peer classes on its class path. The
// utilities library is loaded from Java (as a Java front end does), so its
// JNI_OnLoad binds the natives of KWPeer.
//
// The VM's JNI function table is wrapped through JVMTI so that the tests can
// count the bridge's JNI calls and references, trace exceptions, and make the
// constructor lookup fail.
#include <gtest/gtest.h>
#include <jni.h>
#include <jvmti.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/kwonedar.h"
#include "data/kwsedli.h"
#include "data/kwsgrli.h"
#include "data/kwsndli.h"
#include "data/kwtwodar.h"
#include "host/kwobject.h"
#include "host/kwpeers.h"
#include "layout/kwsedge.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "module/kwsjava.h"
#include "module/kwslayfa.h"
#include "persist/kwsgrfex.h"
#include "persist/kwsmdlex.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

#include "java_cases.inc"

namespace {

// ---- the VM and its wrapped JNI functions -------------------------------------------

JavaVM* gVm = nullptr;
const JNINativeInterface_* gRealJni = nullptr;  // the VM's own functions
JNIEnv* gMainEnv = nullptr;                     // only this thread's calls are counted
bool gCounting = false;                         // calls are counted while on
Calls gCalls;
long gGlobals = 0;                     // global references made minus deleted, on the main thread
bool gFailConstructorLookup = false;

[[noreturn]] void quit(const char* what) {
  std::fprintf(stderr, "cannot start the test VM: %s\n", what);
  std::exit(2);
}

template <class T>
T count(JNIEnv* env, long& calls, T made) {
  if (gCounting && env == gMainEnv) ++calls;
  return made;
}

void wrapJniFunctions() {
  jvmtiEnv* jvmti = nullptr;
  if (gVm->GetEnv(reinterpret_cast<void**>(&jvmti), JVMTI_VERSION_1_2) != JNI_OK) quit("no JVMTI");
  jniNativeInterface* original = nullptr;
  if (jvmti->GetJNIFunctionTable(&original) != JVMTI_ERROR_NONE) quit("GetJNIFunctionTable");
  static JNINativeInterface_ real = *original, wrapped = *original;
  jvmti->Deallocate(reinterpret_cast<unsigned char*>(original));
  gRealJni = &real;
  wrapped.FindClass = [](JNIEnv* env, const char* name) {
    return count(env, gCalls.creating, gRealJni->FindClass(env, name));
  };
  wrapped.GetMethodID = [](JNIEnv* env, jclass clazz, const char* name, const char* sig) {
    const char* asked = gFailConstructorLookup ? "(JJJJ)V" : sig;
    return count(env, gCalls.creating, gRealJni->GetMethodID(env, clazz, name, asked));
  };
  wrapped.NewObjectV = [](JNIEnv* env, jclass clazz, jmethodID method, va_list args) {
    return count(env, gCalls.creating, gRealJni->NewObjectV(env, clazz, method, args));
  };
  wrapped.NewLocalRef = [](JNIEnv* env, jobject ref) {
    return count(env, gCalls.newLocalRef, gRealJni->NewLocalRef(env, ref));
  };
  wrapped.NewGlobalRef = [](JNIEnv* env, jobject ref) {
    gGlobals += env == gMainEnv;
    return gRealJni->NewGlobalRef(env, ref);
  };
  wrapped.DeleteGlobalRef = [](JNIEnv* env, jobject ref) {
    gGlobals -= env == gMainEnv;
    gRealJni->DeleteGlobalRef(env, ref);
  };
  wrapped.ExceptionDescribe = [](JNIEnv* env) {
    static int describes = 0;
    std::fprintf(stderr, "[ExceptionDescribe %d]\n", ++describes);
    gRealJni->ExceptionDescribe(env);
  };
  wrapped.ExceptionClear = [](JNIEnv* env) {
    std::fprintf(stderr, "[ExceptionClear]\n");
    gRealJni->ExceptionClear(env);
  };
  if (jvmti->SetJNIFunctionTable(&wrapped) != JVMTI_ERROR_NONE) quit("SetJNIFunctionTable");
}

JNIEnv* startVm() {
  // -Xcheck:jni turns misuse of JNI (a call with an exception pending, a
  // wrong reference) into a fatal error; the serial collector keeps the VM
  // small and makes System.gc() a full collection.
  std::string classPath = std::string("-Djava.class.path=") + KW_PEER_CLASS_PATH;
  std::vector<JavaVMOption> options;
  for (const char* option : {classPath.c_str(), "-Xrs", "-Xcheck:jni", "-XX:+UseSerialGC", "-Xmx128m"})
    options.push_back({const_cast<char*>(option), nullptr});
  JavaVMInitArgs args{JNI_VERSION_1_8, static_cast<jint>(options.size()), options.data(), JNI_FALSE};
  JNIEnv* env = nullptr;
  if (JNI_CreateJavaVM(&gVm, reinterpret_cast<void**>(&env), &args) != JNI_OK) quit("JNI_CreateJavaVM");
  wrapJniFunctions();
  // The utilities library is loaded from Java code, as a Java front end does.
  jclass support = env->FindClass("com/brackwind/jnilayout/PeerTestSupport");
  if (support == nullptr) quit("PeerTestSupport not on the class path");
  jstring path = env->NewStringUTF(KW_UT_LIBRARY);
  env->CallStaticVoidMethod(support, env->GetStaticMethodID(support, "load", "(Ljava/lang/String;)V"), path);
  if (env->ExceptionCheck() == JNI_TRUE) {
    env->ExceptionDescribe();
    quit("System.load of the utilities library failed");
  }
  env->DeleteLocalRef(path);
  env->DeleteLocalRef(support);
  gMainEnv = env;
  return env;
}

// One VM per process, started on first use; a VM cannot be started twice.
JNIEnv* vmEnv() {
  static JNIEnv* env = startVm();
  return env;
}

// ---- the real VM as a backend of the shared cases ---------------------------------

// Native classes of the tests, with peers from the tests' own Java classes;
// MissingPeer has no Java class.
#define KW_TEST_PEERED(Class) \
  class Class : public KWObject { \
   public:                        \
    KWS_JAVA_PEER_DECL            \
  };
KW_TEST_PEERED(TestPeer)
KW_TEST_PEERED(RefusingPeer)
KW_TEST_PEERED(SilentPeer)
KW_TEST_PEERED(MissingPeer)
KWS_JAVA_PEER_DEF(TestPeer, "com/brackwind/jnilayout/TestPeer", "jtest") const int kTestLine = __LINE__;
KWS_JAVA_PEER_DEF(RefusingPeer, "com/brackwind/jnilayout/RefusingPeer", "jrefuse") const int kRefusingLine = __LINE__;
KWS_JAVA_PEER_DEF(SilentPeer, "com/brackwind/jnilayout/SilentPeer", "jsilent") const int kSilentLine = __LINE__;
KWS_JAVA_PEER_DEF(MissingPeer, "com/brackwind/jnilayout/MissingPeer", "jmissing") const int kMissingLine = __LINE__;

// The handle a Java peer holds (-1 when the call fails), and whether its
// native object is alive, through the peer's own methods.
jint handleOf(JNIEnv* env, jobject peer, const char* method = "handle", const char* sig = "()I") {
  jclass base = env->FindClass(KWPeerRegistry::peerBaseClassName);
  jmethodID id = env->GetMethodID(base, method, sig);
  jint answer = sig[2] == 'I' ? env->CallIntMethod(peer, id) : env->CallBooleanMethod(peer, id);
  if (env->ExceptionCheck()) answer = -1;
  env->DeleteLocalRef(base);
  return answer;
}
bool nativeAlive(JNIEnv* env, jobject peer) { return handleOf(env, peer, "isNativeAlive", "()Z") == JNI_TRUE; }

class RealVm {
 public:
  using Peered = TestPeer;
  RealVm() : env_(vmEnv()) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // each failing call in a fresh process with its own VM
  }
  ~RealVm() {
    for (jweak weak : weaks_) env_->DeleteWeakGlobalRef(weak);
    gFailConstructorLookup = false;
  }
  JNIEnv* env() { return env_; }
  // Through a weak reference: held while full collections leave the peer alive.
  std::function<bool()> watch(jobject peer) {
    weaks_.push_back(env_->NewWeakGlobalRef(peer));
    return [env = env_, weak = weaks_.back()] {
      jclass system = env->FindClass("java/lang/System");
      for (int i = 0; i < 10 && !env->ExceptionCheck() && !env->IsSameObject(weak, nullptr); ++i)
        env->CallStaticVoidMethod(system, env->GetStaticMethodID(system, "gc", "()V"));
      env->DeleteLocalRef(system);
      return !env->IsSameObject(weak, nullptr);
    };
  }
  long globals() const { return gGlobals; }
  bool refused(jint handle, const char* exception) {
    jclass clazz = env_->FindClass("com/brackwind/jnilayout/TestPeer");
    jobject made = env_->NewObject(clazz, env_->GetMethodID(clazz, "<init>", "(I)V"), handle);
    jthrowable thrown = env_->ExceptionOccurred();
    env_->ExceptionClear();
    jclass expected = env_->FindClass(exception);
    const bool same = made == nullptr && thrown != nullptr && env_->IsInstanceOf(thrown, expected);
    for (jobject ref : {static_cast<jobject>(thrown), static_cast<jobject>(expected), made, static_cast<jobject>(clazz)})
      if (ref != nullptr) env_->DeleteLocalRef(ref);
    return same;
  }
  template <class F>
  Calls during(F calls) {
    gCalls = Calls();
    gCounting = true;
    calls();
    gCounting = false;
    return gCalls;
  }
  static void provoke(Fault fault) {
    gFailConstructorLookup = fault == Fault::NoHandleConstructor;
    if (fault == Fault::ConstructorThrows) RefusingPeer().getJavaObject(vmEnv());
    if (fault == Fault::ClassMissing) MissingPeer().getJavaObject(vmEnv());
    if (fault == Fault::NoHandleConstructor) TestPeer().getJavaObject(vmEnv());
    if (fault == Fault::ConstructorSilent) SilentPeer().getJavaObject(vmEnv());
  }
  static std::string where(Fault fault) {
    const std::string at[] = {"jrefuse:" + std::to_string(kRefusingLine), "jmissing:" + std::to_string(kMissingLine),
                              "jtest:" + std::to_string(kTestLine), "jsilent:" + std::to_string(kSilentLine)};
    return at[static_cast<int>(fault)];
  }

 private:
  JNIEnv* env_;
  std::vector<jweak> weaks_;
};
INSTANTIATE_TYPED_TEST_SUITE_P(RealVm, PeerCases, RealVm);
INSTANTIATE_TYPED_TEST_SUITE_P(RealVm, PeerCasesDeathTest, RealVm);

// ---- the fourteen classes of the module ---------------------------------------------

struct ModuleClass {
  const char* name;
  const char* source;
  std::function<KWObject*()> make;
};

std::ostream& operator<<(std::ostream& os, const ModuleClass& c) { return os << c.name; }

const ModuleClass kModuleClasses[] = {
    {"KWSGraph", "kwsgraph", [] { return new KWSGraph(); }},
    {"KWSNode", "kwsnode", [] { return new KWSNode(); }},
    {"KWSEdge", "kwsedge", [] { return new KWSEdge(); }},
    {"KWSGraphLayInfo", "kwsgrli", [] { return new KWSGraphLayInfo(); }},
    {"KWSNodeLayInfo", "kwsndli", [] { return new KWSNodeLayInfo(); }},
    {"KWSEdgeLayInfo", "kwsedli", [] { return new KWSEdgeLayInfo(); }},
    {"KWSGraphTailor", "kwsgrta", [] { return new KWSGraphTailor(); }},
    {"KWSNodeTailor", "kwsndta", [] { return new KWSNodeTailor(); }},
    {"KWSEdgeTailor", "kwsedta", [] { return new KWSEdgeTailor(); }},
    {"KWSGraphFileExtension", "kwsgrfex", [] { return new KWSGraphFileExtension(nullptr); }},
    {"KWSModelFileExtension", "kwsmdlex", [] { return new KWSModelFileExtension(nullptr); }},
    {"KWSLayoutFactory", "kwslayfa", [] { return new KWSLayoutFactory(); }},
    {"KWOneDArray", "kwonedar", [] { return new KWOneDArray(); }},
    {"KWTwoDArray", "kwtwodar", [] { return new KWTwoDArray(); }},
};

class JvmPeers : public ::testing::Test {
 protected:
  RealVm vm;
  JNIEnv* env = vm.env();
};

class JvmModulePeers : public JvmPeers, public ::testing::WithParamInterface<ModuleClass> {};

// The class name itself is checked at compile time; here each class's peer
// comes from its Java class, knows its object, and a failure names its source.
TEST_P(JvmModulePeers, PeerIsOfTheClassOwnJavaClassAndFailedLookupsNameItsSource) {
  std::unique_ptr<KWObject> object(GetParam().make());
  jobject peer = object->getJavaObject(env);
  ASSERT_NE(peer, nullptr);
  jclass clazz = object->getJavaClass(env), actual = env->GetObjectClass(peer);
  EXPECT_TRUE(env->IsSameObject(clazz, actual));
  ASSERT_GE(object->javaIndex(), 0);
  EXPECT_EQ(handleOf(env, peer), object->javaIndex());
  EXPECT_TRUE(nativeAlive(env, peer));
  object.reset();
  EXPECT_FALSE(nativeAlive(env, peer)) << "the peer of a destroyed object must know it";
  for (jobject ref : {static_cast<jobject>(actual), static_cast<jobject>(clazz), peer}) env->DeleteLocalRef(ref);
  // The line is checked exactly by the shared cases.
  ASSERT_DEATH(
      {
        gFailConstructorLookup = true;
        std::unique_ptr<KWObject>(GetParam().make())->getJavaObject(env);
      },
      std::string(GetParam().source) + ":[0-9]+: Assertion `method != 0");
}

INSTANTIATE_TEST_SUITE_P(AllClasses, JvmModulePeers, ::testing::ValuesIn(kModuleClasses),
                         [](const ::testing::TestParamInfo<ModuleClass>& info) { return info.param.name; });

TEST_F(JvmPeers, PeersMadeOnSeveralThreadsMapBackToTheirOwnObjects) {
  constexpr int kThreads = 4, kObjects = 300;
  std::vector<int> wrong(kThreads, 0);
  std::vector<std::thread> threads;
  long before = KWPeerRegistry::numberOfPeers();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      JNIEnv* threadEnv = nullptr;
      ASSERT_EQ(gVm->AttachCurrentThread(reinterpret_cast<void**>(&threadEnv), nullptr), JNI_OK);
      std::vector<std::unique_ptr<TestPeer>> objects;
      for (int i = 0; i < kObjects; ++i) {
        objects.push_back(std::make_unique<TestPeer>());
        jobject peer = objects.back()->getJavaObject(threadEnv);
        wrong[t] += KWPeerRegistry::objectFor(handleOf(threadEnv, peer)) != objects.back().get();
        threadEnv->DeleteLocalRef(peer);
        if (i % 3 == 0) objects.erase(objects.begin());  // destroy some while others register
      }
      objects.clear();
      gVm->DetachCurrentThread();
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
  EXPECT_EQ(KWPeerRegistry::numberOfPeers(), before);
}

}  // namespace
