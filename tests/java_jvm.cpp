// The Java peer bridge against a real Java VM, started in this process with
// the peer jar and the tests' own peer classes on its class path. The
// utilities library is loaded from Java (as a Java front end does), so its
// JNI_OnLoad binds the natives of KWPeer.
#include <gtest/gtest.h>
#include <jni.h>
#include <jvmti.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
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

// ---- the VM, with exception tracing ------------------------------------------------

JavaVM* gVm = nullptr;
const JNINativeInterface_* gRealJni = nullptr;  // the VM's own functions

[[noreturn]] void quit(const char* what) {
  std::fprintf(stderr, "cannot start the test VM: %s\n", what);
  std::exit(2);
}

// Wraps the VM's JNI function table through JVMTI so that describing and
// clearing an exception leave a trace on stderr.
void traceExceptions() {
  jvmtiEnv* jvmti = nullptr;
  if (gVm->GetEnv(reinterpret_cast<void**>(&jvmti), JVMTI_VERSION_1_2) != JNI_OK) quit("no JVMTI");
  jniNativeInterface* original = nullptr;
  if (jvmti->GetJNIFunctionTable(&original) != JVMTI_ERROR_NONE) quit("GetJNIFunctionTable");
  static JNINativeInterface_ real = *original, wrapped = *original;
  jvmti->Deallocate(reinterpret_cast<unsigned char*>(original));
  gRealJni = &real;
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
  traceExceptions();
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
  return env;
}

// One VM per process, started on first use; a VM cannot be started twice.
JNIEnv* vmEnv() {
  static JNIEnv* env = startVm();
  return env;
}

// ---- the real VM as a backend of the shared cases ---------------------------------

// Native classes of the tests, with peers from the tests' own Java classes;
// MissingPeer has no Java class, PeerTestSupport no constructor taking a handle.
#define KW_TEST_PEERED(Class) \
  class Class : public KWObject { \
   public:                        \
    KWS_JAVA_PEER_DECL            \
  };
KW_TEST_PEERED(TestPeer)
KW_TEST_PEERED(RefusingPeer)
KW_TEST_PEERED(MissingPeer)
KW_TEST_PEERED(PeerTestSupport)
KW_TEST_PEERED(SilentPeer)
KWS_JAVA_PEER_DEF(TestPeer, "com/brackwind/jnilayout/TestPeer", "jtest")
KWS_JAVA_PEER_DEF(RefusingPeer, "com/brackwind/jnilayout/RefusingPeer", "jrefuse") const int kRefusingLine = __LINE__;
KWS_JAVA_PEER_DEF(MissingPeer, "com/brackwind/jnilayout/MissingPeer", "jmissing") const int kMissingLine = __LINE__;
KWS_JAVA_PEER_DEF(PeerTestSupport, "com/brackwind/jnilayout/PeerTestSupport", "jnoinit") const int kNoInitLine = __LINE__;
KWS_JAVA_PEER_DEF(SilentPeer, "com/brackwind/jnilayout/SilentPeer", "jsilent") const int kSilentLine = __LINE__;

class RealVm {
 public:
  using Peered = TestPeer;
  RealVm() : env_(vmEnv()) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // each failing call in a fresh process with its own VM
  }
  ~RealVm() {
    for (jweak weak : weaks_) env_->DeleteWeakGlobalRef(weak);
  }
  JNIEnv* env() { return env_; }
  // Through a weak reference: held while full collections leave the peer alive.
  std::function<bool()> watch(jobject peer) {
    weaks_.push_back(env_->NewWeakGlobalRef(peer));
    return [env = env_, weak = weaks_.back()] {
      jclass system = env->FindClass("java/lang/System");
      for (int i = 0; !env->ExceptionCheck() && i < 10 && !env->IsSameObject(weak, nullptr); ++i)
        env->CallStaticVoidMethod(system, env->GetStaticMethodID(system, "gc", "()V"));
      env->DeleteLocalRef(system);
      return !env->IsSameObject(weak, nullptr);
    };
  }
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
  static void provoke(Fault fault) {
    if (fault == Fault::ConstructorThrows) RefusingPeer().getJavaObject(vmEnv());
    if (fault == Fault::ClassMissing) MissingPeer().getJavaObject(vmEnv());
    if (fault == Fault::NoHandleConstructor) PeerTestSupport().getJavaObject(vmEnv());
    if (fault == Fault::ConstructorSilent) SilentPeer().getJavaObject(vmEnv());
  }
  static std::string where(Fault fault) {
    const std::string at[] = {"jrefuse:" + std::to_string(kRefusingLine), "jmissing:" + std::to_string(kMissingLine),
                              "jnoinit:" + std::to_string(kNoInitLine), "jsilent:" + std::to_string(kSilentLine)};
    return at[static_cast<int>(fault)];
  }

 private:
  JNIEnv* env_;
  std::vector<jweak> weaks_;
};
INSTANTIATE_TYPED_TEST_SUITE_P(RealVm, PeerCases, RealVm);
INSTANTIATE_TYPED_TEST_SUITE_P(RealVm, PeerCasesDeathTest, RealVm);

// ---- the fourteen classes of the module ---------------------------------------------

template <class C>
class JvmModulePeers : public ::testing::Test {
 protected:
  RealVm vm;
  // The file extensions are made for a graph; none is needed for a peer.
  std::unique_ptr<KWObject> make() {
    if constexpr (std::is_default_constructible<C>::value)
      return std::make_unique<C>();
    else
      return std::make_unique<C>(nullptr);
  }
};
using ModuleClasses = ::testing::Types<KWSGraph, KWSNode, KWSEdge, KWSGraphLayInfo, KWSNodeLayInfo, KWSEdgeLayInfo,
                                       KWSGraphTailor, KWSNodeTailor, KWSEdgeTailor, KWSGraphFileExtension,
                                       KWSModelFileExtension, KWSLayoutFactory, KWOneDArray, KWTwoDArray>;
TYPED_TEST_SUITE(JvmModulePeers, ModuleClasses);

// The class name itself is checked at compile time; here each class's Java
// class builds a peer that registers through the bound natives and knows when
// its object is gone.
TYPED_TEST(JvmModulePeers, JavaClassBuildsAPeerThatKnowsWhetherItsObjectLives) {
  JNIEnv* env = this->vm.env();
  std::unique_ptr<KWObject> object = this->make();
  jobject peer = object->getJavaObject(env);
  jclass base = env->FindClass(KWPeerRegistry::peerBaseClassName);
  auto alive = [&, id = env->GetMethodID(base, "isNativeAlive", "()Z")] {
    const jboolean answer = env->CallBooleanMethod(peer, id);
    return !env->ExceptionCheck() && answer == JNI_TRUE;
  };
  EXPECT_TRUE(alive());
  object.reset();
  EXPECT_FALSE(alive()) << "the peer of a destroyed object must know it";
  env->DeleteLocalRef(base);
  env->DeleteLocalRef(peer);
}

}  // namespace
