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
#include <filesystem>
#include <fstream>
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
  long localsMade = 0, localsDeleted = 0;
};

const JNINativeInterface_* gRealJni = nullptr;  // the VM's own functions
JNIEnv* gCountedEnv = nullptr;                  // only this thread's calls count
bool gCounting = false;
JniCounts gCounts;
bool gTraceExceptions = false;     // print a line to stderr for describe and clear
std::string gFailFindClass;        // a peer class name whose lookup fails
bool gFailConstructorLookup = false;

bool counted(JNIEnv* env) { return gCounting && env == gCountedEnv; }

jclass JNICALL hookFindClass(JNIEnv* env, const char* name) {
  if (!gFailFindClass.empty() && gFailFindClass == name) name = "com/brackwind/jnilayout/NoSuchPeerClass";
  jclass clazz = gRealJni->FindClass(env, name);
  if (counted(env)) {
    ++gCounts.findClass;
    if (clazz != nullptr) ++gCounts.localsMade;
  }
  return clazz;
}

jmethodID JNICALL hookGetMethodID(JNIEnv* env, jclass clazz, const char* name, const char* sig) {
  if (counted(env)) ++gCounts.getMethodID;
  if (gFailConstructorLookup) sig = "(JJJJ)V";
  return gRealJni->GetMethodID(env, clazz, name, sig);
}

jobject JNICALL hookNewObjectV(JNIEnv* env, jclass clazz, jmethodID method, va_list args) {
  jobject object = gRealJni->NewObjectV(env, clazz, method, args);
  if (counted(env)) {
    ++gCounts.newObject;
    if (object != nullptr) ++gCounts.localsMade;
  }
  return object;
}

jobject JNICALL hookNewLocalRef(JNIEnv* env, jobject ref) {
  jobject local = gRealJni->NewLocalRef(env, ref);
  if (counted(env)) {
    ++gCounts.newLocalRef;
    if (local != nullptr) ++gCounts.localsMade;
  }
  return local;
}

jthrowable JNICALL hookExceptionOccurred(JNIEnv* env) {
  jthrowable thrown = gRealJni->ExceptionOccurred(env);
  if (counted(env) && thrown != nullptr) ++gCounts.localsMade;
  return thrown;
}

void JNICALL hookDeleteLocalRef(JNIEnv* env, jobject ref) {
  if (counted(env) && ref != nullptr) ++gCounts.localsDeleted;
  gRealJni->DeleteLocalRef(env, ref);
}

void JNICALL hookExceptionDescribe(JNIEnv* env) {
  if (gTraceExceptions) std::fprintf(stderr, "[ExceptionDescribe]\n");
  gRealJni->ExceptionDescribe(env);
}

void JNICALL hookExceptionClear(JNIEnv* env) {
  if (gTraceExceptions) std::fprintf(stderr, "[ExceptionClear]\n");
  gRealJni->ExceptionClear(env);
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
  wrapped.FindClass = hookFindClass;
  wrapped.GetMethodID = hookGetMethodID;
  wrapped.NewObjectV = hookNewObjectV;
  wrapped.NewLocalRef = hookNewLocalRef;
  wrapped.ExceptionOccurred = hookExceptionOccurred;
  wrapped.DeleteLocalRef = hookDeleteLocalRef;
  wrapped.ExceptionDescribe = hookExceptionDescribe;
  wrapped.ExceptionClear = hookExceptionClear;
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
KW_TEST_PEERED(NoHandlePeer)
KW_TEST_PEERED(MissingPeer)
KWS_JAVA_PEER_DEF(TestPeer, "com/brackwind/jnilayout/TestPeer", "jtest")
KWS_JAVA_PEER_DEF(RefusingPeer, "com/brackwind/jnilayout/RefusingPeer", "jrefuse") const int kRefusingLine = __LINE__;
KWS_JAVA_PEER_DEF(SilentPeer, "com/brackwind/jnilayout/SilentPeer", "jsilent") const int kSilentLine = __LINE__;
KWS_JAVA_PEER_DEF(NoHandlePeer, "com/brackwind/jnilayout/NoHandlePeer", "jnoctor") const int kNoHandleLine = __LINE__;
KWS_JAVA_PEER_DEF(MissingPeer, "com/brackwind/jnilayout/MissingPeer", "jmissing") const int kMissingLine = __LINE__;

std::string failure(const char* source, int line, const std::string& condition) {
  return std::string(source) + ":" + std::to_string(line) + ": Assertion `" + condition + "' failed";
}

// The handle a Java peer holds, through its handle() method.
jint handleOf(JNIEnv* env, jobject peer) {
  jclass base = env->FindClass(KWPeerRegistry::peerBaseClassName);
  jint handle = env->CallIntMethod(peer, env->GetMethodID(base, "handle", "()I"));
  if (env->ExceptionCheck()) handle = -1;
  env->DeleteLocalRef(base);
  return handle;
}

bool nativeAlive(JNIEnv* env, jobject peer) {
  jclass base = env->FindClass(KWPeerRegistry::peerBaseClassName);
  bool alive = env->CallBooleanMethod(peer, env->GetMethodID(base, "isNativeAlive", "()Z")) == JNI_TRUE;
  if (env->ExceptionCheck()) alive = false;
  env->DeleteLocalRef(base);
  return alive;
}

bool isExactly(JNIEnv* env, jobject object, const std::string& javaName) {
  jclass expected = env->FindClass(javaName.c_str());
  jclass actual = env->GetObjectClass(object);
  bool same = expected != nullptr && env->IsSameObject(expected, actual);
  env->DeleteLocalRef(actual);
  if (expected != nullptr) env->DeleteLocalRef(expected);
  env->ExceptionClear();
  return same;
}

void collectGarbage(JNIEnv* env) {
  jclass system = env->FindClass("java/lang/System");
  jmethodID gc = env->GetStaticMethodID(system, "gc", "()V");
  for (int i = 0; i < 3 && !env->ExceptionCheck(); ++i) env->CallStaticVoidMethod(system, gc);
  env->ExceptionCheck();
  env->DeleteLocalRef(system);
}

// Where a class's peer definition is: the line of its KWS_JAVA_PEER_DEF.
int definitionLine(const std::string& className) {
  const std::string needle = "KWS_JAVA_PEER_DEF(" + className + ",";
  for (const char* dir : {"data", "layout", "tailor", "persist", "module"}) {
    std::filesystem::path path = std::filesystem::path(KW_SOURCE_DIR) / dir;
    if (!std::filesystem::is_directory(path)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
      if (entry.path().extension() != ".cpp") continue;
      std::ifstream in(entry.path());
      std::string text;
      for (int line = 1; std::getline(in, text); ++line) {
        if (text.find(needle) != std::string::npos) return line;
      }
    }
  }
  return -1;
}

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
  void SetUp() override { env = vmEnv(); }
  void TearDown() override {
    gCounting = false;
    gFailFindClass.clear();
    gFailConstructorLookup = false;
  }
  JniCounts countedCalls(const std::function<void()>& calls) {
    gCounts = JniCounts();
    gCounting = true;
    calls();
    gCounting = false;
    return gCounts;
  }
  JNIEnv* env = nullptr;
};

class JvmModulePeers : public JvmPeers, public ::testing::WithParamInterface<ModuleClass> {
 protected:
  std::unique_ptr<KWObject> make() { return std::unique_ptr<KWObject>(GetParam().make()); }
  std::string javaName() const { return std::string("com/brackwind/jnilayout/") + GetParam().name; }
};

TEST_P(JvmModulePeers, PeerIsOfTheClassOwnJavaClassAndItsHandleMapsBack) {
  auto object = make();
  jobject peer = object->getJavaObject(env);
  ASSERT_NE(peer, nullptr);
  EXPECT_TRUE(isExactly(env, peer, javaName()));
  jclass clazz = object->getJavaClass(env);
  jclass actual = env->GetObjectClass(peer);
  EXPECT_TRUE(env->IsSameObject(clazz, actual));
  ASSERT_GE(object->javaIndex(), 0);
  EXPECT_EQ(handleOf(env, peer), object->javaIndex());
  EXPECT_EQ(KWPeerRegistry::objectFor(handleOf(env, peer)), object.get());
  EXPECT_TRUE(nativeAlive(env, peer));
  object.reset();
  EXPECT_FALSE(nativeAlive(env, peer)) << "the peer of a destroyed object must know it";
  env->DeleteLocalRef(actual);
  env->DeleteLocalRef(clazz);
  env->DeleteLocalRef(peer);
}

TEST_P(JvmModulePeers, SecondCallAnswersTheRegisteredPeerAndCreatesNothing) {
  auto object = make();
  long before = KWPeerRegistry::numberOfPeers();
  jobject first = object->getJavaObject(env);
  EXPECT_EQ(KWPeerRegistry::numberOfPeers(), before + 1);
  jobject second = nullptr;
  JniCounts c = countedCalls([&] { second = object->getJavaObject(env); });
  EXPECT_TRUE(env->IsSameObject(first, second));
  EXPECT_EQ(c.newObject, 0);
  EXPECT_EQ(c.findClass, 0);
  EXPECT_EQ(c.getMethodID, 0);
  EXPECT_EQ(c.newLocalRef, 1) << "only the registry's reference for the caller";
  EXPECT_EQ(KWPeerRegistry::numberOfPeers(), before + 1);
  env->DeleteLocalRef(first);
  env->DeleteLocalRef(second);
}

TEST_P(JvmModulePeers, ManyCallsLeaveNoLocalReferenceBehind) {
  { // the first peer of a class also loads the class; keep that out of the count
    auto warm = make();
    env->DeleteLocalRef(warm->getJavaObject(env));
  }
  long before = KWPeerRegistry::numberOfPeers();
  JniCounts c = countedCalls([&] {
    for (int i = 0; i < 200; ++i) {
      auto object = make();
      for (int k = 0; k < 5; ++k) env->DeleteLocalRef(object->getJavaObject(env));
      env->DeleteLocalRef(object->getJavaClass(env));
    }
  });
  EXPECT_EQ(c.newObject, 200) << "one peer per object";
  EXPECT_EQ(c.localsMade, c.localsDeleted) << "local references grow with every call";
  EXPECT_EQ(KWPeerRegistry::numberOfPeers(), before) << "destroyed objects keep their peers";
}

INSTANTIATE_TEST_SUITE_P(AllClasses, JvmModulePeers, ::testing::ValuesIn(moduleClasses()),
                         [](const ::testing::TestParamInfo<ModuleClass>& info) { return info.param.name; });

TEST_F(JvmPeers, RegistryKeepsThePeerAliveExactlyAsLongAsItsObject) {
  auto object = std::make_unique<TestPeer>();
  jobject local = object->getJavaObject(env);
  jweak weak = env->NewWeakGlobalRef(local);
  env->DeleteLocalRef(local);
  collectGarbage(env);
  EXPECT_FALSE(env->IsSameObject(weak, nullptr)) << "the registry must hold the peer of a live object";
  object.reset();
  bool collected = false;
  for (int i = 0; i < 10 && !collected; ++i) {
    collectGarbage(env);
    collected = env->IsSameObject(weak, nullptr);
  }
  EXPECT_TRUE(collected) << "the global reference to the peer outlived its object";
  env->DeleteWeakGlobalRef(weak);
}

TEST_F(JvmPeers, JavaSideCannotRegisterUnknownHandlesOrASecondPeer) {
  jclass clazz = env->FindClass("com/brackwind/jnilayout/TestPeer");
  jmethodID init = env->GetMethodID(clazz, "<init>", "(I)V");
  jclass illegalArgument = env->FindClass("java/lang/IllegalArgumentException");
  jclass illegalState = env->FindClass("java/lang/IllegalStateException");

  KWObject probe;  // a handle that certainly is not in use any more
  jint unknown = KWPeerRegistry::reserveHandle(&probe);
  KWPeerRegistry::dropHandle(unknown);
  EXPECT_EQ(env->NewObject(clazz, init, unknown), nullptr);
  jthrowable thrown = env->ExceptionOccurred();
  env->ExceptionClear();
  EXPECT_TRUE(thrown != nullptr && env->IsInstanceOf(thrown, illegalArgument));

  TestPeer object;
  jobject peer = object.getJavaObject(env);
  EXPECT_EQ(env->NewObject(clazz, init, static_cast<jint>(object.javaIndex())), nullptr);
  jthrowable thrown2 = env->ExceptionOccurred();
  env->ExceptionClear();
  EXPECT_TRUE(thrown2 != nullptr && env->IsInstanceOf(thrown2, illegalState));
  jobject again = object.getJavaObject(env);
  EXPECT_TRUE(env->IsSameObject(peer, again)) << "a refused registration must not replace the peer";
  for (jobject ref : {static_cast<jobject>(clazz), static_cast<jobject>(illegalArgument),
                      static_cast<jobject>(illegalState), static_cast<jobject>(thrown),
                      static_cast<jobject>(thrown2), peer, again}) {
    if (ref != nullptr) env->DeleteLocalRef(ref);
  }
}

TEST_F(JvmPeers, EmbeddingHostCanBindTheNativesItself) {
  EXPECT_TRUE(KWPeerRegistry::bindNatives(env));
  TestPeer object;
  jobject peer = object.getJavaObject(env);
  EXPECT_TRUE(peer != nullptr && nativeAlive(env, peer));
  env->DeleteLocalRef(peer);
}

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

TEST_F(JvmPeers, ObjectDestroyedOnAnUnattachedThreadReleasesItsPeer) {
  auto object = std::make_unique<TestPeer>();
  jobject local = object->getJavaObject(env);
  jweak weak = env->NewWeakGlobalRef(local);
  env->DeleteLocalRef(local);
  long before = KWPeerRegistry::numberOfPeers();
  std::thread([&] { object.reset(); }).join();
  EXPECT_EQ(KWPeerRegistry::numberOfPeers(), before - 1);
  bool collected = false;
  for (int i = 0; i < 10 && !collected; ++i) {
    collectGarbage(env);
    collected = env->IsSameObject(weak, nullptr);
  }
  EXPECT_TRUE(collected);
  env->DeleteWeakGlobalRef(weak);
}

// ---- failed checks ------------------------------------------------------------------
// Each death test runs in a fresh process with its own VM.

class JvmPeersDeathTest : public JvmPeers {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    JvmPeers::SetUp();
  }
};

TEST_F(JvmPeersDeathTest, ConstructorExceptionIsDescribedAndClearedBeforeTheObjectCheck) {
  ASSERT_DEATH(
      {
        gTraceExceptions = true;
        RefusingPeer().getJavaObject(env);
      },
      "\\[ExceptionDescribe\\].*java.lang.IllegalStateException: peer refused for handle [0-9]+.*"
      "\\[ExceptionClear\\]\n" +
          failure("jrefuse", kRefusingLine, "object != 0"));
}

TEST_F(JvmPeersDeathTest, PeerThatDoesNotRegisterFailsTheIndexCheck) {
  ASSERT_DEATH(SilentPeer().getJavaObject(env), failure("jsilent", kSilentLine, "this->javaIndex\\(\\) >= 0"));
}

TEST_F(JvmPeersDeathTest, PeerClassWithoutTheHandleConstructorFailsTheMethodCheck) {
  ASSERT_DEATH(NoHandlePeer().getJavaObject(env),
               "NoSuchMethodError.*" +
                   failure("jnoctor", kNoHandleLine, "method != 0 && env->ExceptionOccurred\\(\\) == 0"));
}

TEST_F(JvmPeersDeathTest, MissingPeerClassFailsTheClassCheck) {
  ASSERT_DEATH(MissingPeer().getJavaObject(env),
               "NoClassDefFoundError.*" + failure("jmissing", kMissingLine, "clazz != NULL"));
}

class JvmModulePeersDeathTest : public JvmModulePeers {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    JvmModulePeers::SetUp();
  }
};

TEST_P(JvmModulePeersDeathTest, BothOperationsReportTheSourceNameAndLineOfTheDefinition) {
  int line = definitionLine(GetParam().name);
  ASSERT_GT(line, 0) << "no peer definition found for " << GetParam().name;
  ASSERT_DEATH(
      {
        gFailFindClass = javaName();
        make()->getJavaClass(env);
      },
      failure(GetParam().source, line, "clazz != NULL"));
  ASSERT_DEATH(
      {
        gFailConstructorLookup = true;
        make()->getJavaObject(env);
      },
      failure(GetParam().source, line, "method != 0 && env->ExceptionOccurred\\(\\) == 0"));
}

INSTANTIATE_TEST_SUITE_P(AllClasses, JvmModulePeersDeathTest, ::testing::ValuesIn(moduleClasses()),
                         [](const ::testing::TestParamInfo<ModuleClass>& info) { return info.param.name; });

}  // namespace
