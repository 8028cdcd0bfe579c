// The Java peer bridge against a real Java VM, started in this process with
// the peer jar and the tests' own peer classes on its class path. The
// utilities library is loaded from Java (as a Java front end does), so its
// JNI_OnLoad binds the natives of KWPeer.
//
// The VM's JNI function table is wrapped through JVMTI so that the tests can
// count the bridge's JNI calls and local references, and inject failures.
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

namespace {

// ---- JNI call accounting ----------------------------------------------------------

// Counts of the JNI calls made on the counted thread while counting is on.
struct JniCounts {
  long findClass = 0, getMethodID = 0, newObject = 0, newLocalRef = 0;
};

const JNINativeInterface_* gRealJni = nullptr;  // the VM's own functions
JNIEnv* gCountedEnv = nullptr;                  // only this thread's calls count
bool gCounting = false;
JniCounts gCounts;
bool gTraceExceptions = false;     // print a line to stderr for describe and clear
std::string gFailFindClass;        // a peer class name whose lookup fails
bool gFailConstructorLookup = false;

bool counted(JNIEnv* env) { return gCounting && env == gCountedEnv; }
template <class T>
T count(JNIEnv* env, long& calls, T made) {
  if (counted(env)) ++calls;
  return made;
}

// ---- the VM -------------------------------------------------------------------------

JavaVM* gVm = nullptr;

[[noreturn]] void quit(const char* what) {
  std::fprintf(stderr, "cannot start the test VM: %s\n", what);
  std::exit(2);
}

void wrapJniFunctions() {
  jvmtiEnv* jvmti = nullptr;
  if (gVm->GetEnv(reinterpret_cast<void**>(&jvmti), JVMTI_VERSION_1_2) != JNI_OK) quit("no JVMTI");
  jniNativeInterface* original = nullptr;
  if (jvmti->GetJNIFunctionTable(&original) != JVMTI_ERROR_NONE) quit("GetJNIFunctionTable");
  static JNINativeInterface_ real = *original;
  static JNINativeInterface_ wrapped = *original;
  jvmti->Deallocate(reinterpret_cast<unsigned char*>(original));
  gRealJni = &real;
  wrapped.FindClass = [](JNIEnv* env, const char* name) {
    if (!gFailFindClass.empty() && gFailFindClass == name) name = "com/brackwind/jnilayout/NoSuchPeerClass";
    return count(env, gCounts.findClass, gRealJni->FindClass(env, name));
  };
  wrapped.GetMethodID = [](JNIEnv* env, jclass clazz, const char* name, const char* sig) {
    if (counted(env)) ++gCounts.getMethodID;
    return gRealJni->GetMethodID(env, clazz, name, gFailConstructorLookup ? "(JJJJ)V" : sig);
  };
  wrapped.NewObjectV = [](JNIEnv* env, jclass clazz, jmethodID method, va_list args) {
    return count(env, gCounts.newObject, gRealJni->NewObjectV(env, clazz, method, args));
  };
  wrapped.NewLocalRef = [](JNIEnv* env, jobject ref) {
    return count(env, gCounts.newLocalRef, gRealJni->NewLocalRef(env, ref));
  };
  wrapped.ExceptionDescribe = [](JNIEnv* env) {
    if (gTraceExceptions) std::fprintf(stderr, "[ExceptionDescribe]\n");
    gRealJni->ExceptionDescribe(env);
  };
  wrapped.ExceptionClear = [](JNIEnv* env) {
    if (gTraceExceptions) std::fprintf(stderr, "[ExceptionClear]\n");
    gRealJni->ExceptionClear(env);
  };
  if (jvmti->SetJNIFunctionTable(&wrapped) != JVMTI_ERROR_NONE) quit("SetJNIFunctionTable");
}

// Loads the utilities library from Java code, as a Java front end does.
void loadUtilitiesFromJava(JNIEnv* env) {
  jclass support = env->FindClass("com/brackwind/jnilayout/PeerTestSupport");
  if (support == nullptr) quit("PeerTestSupport not on the class path");
  jmethodID load = env->GetStaticMethodID(support, "load", "(Ljava/lang/String;)V");
  jstring path = env->NewStringUTF(KW_UT_LIBRARY);
  env->CallStaticVoidMethod(support, load, path);
  if (env->ExceptionCheck() == JNI_TRUE) {
    env->ExceptionDescribe();
    quit("System.load of the utilities library failed");
  }
  env->DeleteLocalRef(path);
  env->DeleteLocalRef(support);
}

JNIEnv* startVm() {
  std::string classPath = std::string("-Djava.class.path=") + KW_PEER_CLASS_PATH;
  // -Xcheck:jni turns misuse of JNI (a call with an exception pending, a
  // wrong reference) into a fatal error; the serial collector keeps the VM
  // small and makes System.gc() a full collection.
  const char* fixed[] = {"-Xrs", "-Xcheck:jni", "-XX:+UseSerialGC", "-Xmx128m"};
  std::vector<JavaVMOption> options(1 + sizeof fixed / sizeof fixed[0]);
  options[0].optionString = classPath.data();
  for (size_t i = 1; i < options.size(); ++i) options[i].optionString = const_cast<char*>(fixed[i - 1]);
  for (auto& option : options) option.extraInfo = nullptr;
  JavaVMInitArgs args;
  args.version = JNI_VERSION_1_8;
  args.nOptions = static_cast<jint>(options.size());
  args.options = options.data();
  args.ignoreUnrecognized = JNI_FALSE;
  JNIEnv* env = nullptr;
  if (JNI_CreateJavaVM(&gVm, reinterpret_cast<void**>(&env), &args) != JNI_OK) quit("JNI_CreateJavaVM");
  wrapJniFunctions();
  loadUtilitiesFromJava(env);
  gCountedEnv = env;
  return env;
}

// One VM per process, started on first use; a VM cannot be started twice.
JNIEnv* vmEnv() {
  static JNIEnv* env = startVm();
  return env;
}

// ---- helpers ------------------------------------------------------------------------

// Native classes of the tests, with peers from the tests' own Java classes.
#define KW_TEST_PEERED(Class) \
  class Class : public KWObject { \
   public:                        \
    KWS_JAVA_PEER_DECL            \
  };
KW_TEST_PEERED(TestPeer)
KW_TEST_PEERED(RefusingPeer)
KW_TEST_PEERED(SilentPeer)
KWS_JAVA_PEER_DEF(TestPeer, "com/brackwind/jnilayout/TestPeer", "jtest") const int kTestLine = __LINE__;
KWS_JAVA_PEER_DEF(RefusingPeer, "com/brackwind/jnilayout/RefusingPeer", "jrefuse") const int kRefusingLine = __LINE__;
KWS_JAVA_PEER_DEF(SilentPeer, "com/brackwind/jnilayout/SilentPeer", "jsilent") const int kSilentLine = __LINE__;

// The line is a pattern where only the source name of a definition is known.
std::string failure(const char* source, const std::string& line, const std::string& condition) {
  return std::string(source) + ":" + line + ": Assertion `" + condition + "' failed";
}

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

void collectGarbage(JNIEnv* env) {
  jclass system = env->FindClass("java/lang/System");
  jmethodID gc = env->GetStaticMethodID(system, "gc", "()V");
  for (int i = 0; i < 3 && !env->ExceptionCheck(); ++i) env->CallStaticVoidMethod(system, gc);
  env->ExceptionCheck();
  env->DeleteLocalRef(system);
}

#include "java_cases.inc"

// The real VM as a backend of the shared cases.
class RealVm {
 public:
  using Peered = TestPeer;
  RealVm() {
    GTEST_FLAG_SET(death_test_style, "threadsafe");  // each failing call in a fresh process with its own VM
    env_ = vmEnv();
  }
  ~RealVm() {
    for (jweak weak : weaks_) env_->DeleteWeakGlobalRef(weak);
    gCounting = false;
    gFailFindClass.clear();
    gFailConstructorLookup = false;
  }
  JNIEnv* env() { return env_; }
  // Through a weak reference: held while collections leave the peer alive.
  std::function<bool()> watch(jobject peer) {
    weaks_.push_back(env_->NewWeakGlobalRef(peer));
    return [env = env_, weak = weaks_.back()] {
      for (int i = 0; i < 10; ++i)
        if (collectGarbage(env), env->IsSameObject(weak, nullptr)) return false;
      return true;
    };
  }
  long globals() const { return -1; }
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
    gCounts = JniCounts();
    gCounting = true;
    calls();
    gCounting = false;
    return {gCounts.findClass + gCounts.getMethodID + gCounts.newObject, gCounts.newLocalRef};
  }
  static void provoke(Fault fault) {
    gTraceExceptions = true;
    if (fault == Fault::ConstructorThrows) RefusingPeer().getJavaObject(vmEnv());
    gFailFindClass = fault == Fault::ClassMissing ? "com/brackwind/jnilayout/TestPeer" : "";
    gFailConstructorLookup = fault == Fault::NoHandleConstructor;
    if (fault == Fault::ClassMissing || fault == Fault::NoHandleConstructor) TestPeer().getJavaObject(vmEnv());
    if (fault == Fault::ConstructorSilent) SilentPeer().getJavaObject(vmEnv());
  }
  static std::string says(Fault fault, const char* condition) {
    const struct {
      const char* before;
      const char* source;
      int line;
    } at[] = {{"\\[ExceptionDescribe\\].*java.lang.IllegalStateException: peer refused for handle [0-9]+.*"
               "\\[ExceptionClear\\]\n", "jrefuse", kRefusingLine},
              {"NoClassDefFoundError.*", "jtest", kTestLine},
              {"NoSuchMethodError.*", "jtest", kTestLine},
              {"", "jsilent", kSilentLine}};
    const auto& a = at[static_cast<int>(fault)];
    return a.before + failure(a.source, std::to_string(a.line), condition);
  }

 private:
  JNIEnv* env_ = nullptr;
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

const std::vector<ModuleClass>& moduleClasses() {
  static const std::vector<ModuleClass> classes = {
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
  return classes;
}

class JvmPeers : public ::testing::Test {
 protected:
  RealVm vm;
  JNIEnv* env = vm.env();
};

class JvmModulePeers : public JvmPeers, public ::testing::WithParamInterface<ModuleClass> {
 protected:
  std::unique_ptr<KWObject> make() { return std::unique_ptr<KWObject>(GetParam().make()); }
};

// The class name itself is checked at compile time; here each class's peer
// comes from its Java class, knows its object, and a failure names its source.
TEST_P(JvmModulePeers, PeerIsOfTheClassOwnJavaClassAndFailedLookupsNameItsSource) {
  auto object = make();
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
  // Both operations report the definition's source; the line is checked exactly by the shared cases.
  ASSERT_DEATH(
      {
        gFailConstructorLookup = true;
        make()->getJavaObject(env);
      },
      failure(GetParam().source, "[0-9]+", "method != 0 && env->ExceptionOccurred\\(\\) == 0"));
}

INSTANTIATE_TEST_SUITE_P(AllClasses, JvmModulePeers, ::testing::ValuesIn(moduleClasses()),
                         [](const ::testing::TestParamInfo<ModuleClass>& info) { return info.param.name; });

TEST_F(JvmPeers, PeersMadeOnSeveralThreadsMapBackToTheirOwnObjects) {
  constexpr int kThreads = 4, kObjects = 300;
  std::vector<int> wrong(kThreads, 0);
  std::vector<std::thread> threads;
  long before = KWPeerRegistry::numberOfPeers();
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      JNIEnv* threadEnv = nullptr;
      if (gVm->AttachCurrentThread(reinterpret_cast<void**>(&threadEnv), nullptr) != JNI_OK) {
        wrong[t] = -1;
        return;
      }
      std::vector<std::unique_ptr<TestPeer>> objects;
      for (int i = 0; i < kObjects; ++i) {
        objects.push_back(std::make_unique<TestPeer>());
        jobject peer = objects.back()->getJavaObject(threadEnv);
        if (KWPeerRegistry::objectFor(handleOf(threadEnv, peer)) != objects.back().get()) ++wrong[t];
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
