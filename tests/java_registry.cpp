// The Java peer registry and the peer bridge against a recording stand-in for
// the JNI function table: which JNI calls are made in which order, which
// references are left behind, and what a failed check reports. No Java VM is
// needed, so these also run under the sanitizers.
#include <gtest/gtest.h>
#include <jni.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "host/kwobject.h"
#include "host/kwpeers.h"
#include "module/kwsjava.h"

#include "java_cases.inc"

namespace {

// A native class with a peer, defined as the module's classes define theirs.
class KWFakePeered : public KWObject {
 public:
  KWS_JAVA_PEER_DECL
};
KWS_JAVA_PEER_DEF(KWFakePeered, "com/brackwind/jnilayout/KWFakePeered", "kwfake") const int kFakeDefLine = __LINE__;

const char* const kFakeClass = "com/brackwind/jnilayout/KWFakePeered";

// Stand-in for a Java VM, and the backend of the shared cases. A reference is
// the address of a cell holding the id of its Java object; global and local
// references are tracked separately so that leaks show.
class StandIn {
 public:
  using Peered = KWFakePeered;

  StandIn();
  ~StandIn() { current_ = nullptr; }
  JNIEnv* env() { return &env_; }

  std::vector<std::string> calls;           // JNI calls of the code under test, in order
  std::set<jobject> globalRefs, localRefs;  // live references
  std::optional<Fault> fault;               // the one this stand-in provokes, if any
  std::string thrownClass;                  // class of the last exception thrown
  std::vector<JNINativeMethod> natives;

  jobject newObject() { return cell(nextId_++); }  // a Java object made by Java code
  int idOf(jobject ref) const { return ref == nullptr ? 0 : *reinterpret_cast<const int*>(ref); }
  bool pending() const { return pendingId_ != 0; }

  std::function<bool()> watch(jobject peer) const {
    return [this, id = idOf(peer)] {
      return std::any_of(globalRefs.begin(), globalRefs.end(), [&](jobject g) { return idOf(g) == id; });
    };
  }
  bool refused(jint handle, const char* exception) {
    thrownClass.clear();
    const std::set<jobject> before = globalRefs;
    const bool refused = KWPeerRegistry::registerPeer(env(), newObject(), handle) == -1;
    env()->ExceptionClear();
    return refused && thrownClass == exception && globalRefs == before;
  }
  static void provoke(Fault fault) {
    StandIn jni;
    jni.fault = fault;
    KWFakePeered().getJavaObject(jni.env());
  }
  static std::string where(Fault) { return "kwfake:" + std::to_string(kFakeDefLine); }

 private:
  jobject cell(int id) {
    cells_.push_back(id);
    return reinterpret_cast<jobject>(&cells_.back());
  }
  jobject local(int id) { return *localRefs.insert(cell(id)).first; }
  // Records a call of the code under test (not those of the registering
  // constructor) and answers this stand-in.
  static StandIn& record(const std::string& call) {
    if (!current_->inConstructor_) current_->calls.push_back(call);
    return *current_;
  }
  void pend(const std::string& className) {
    pendingId_ = nextId_++;
    thrownClass = className;
  }
  std::string describe(jobject ref) const {
    for (const auto& c : classIds_)
      if (c.second == idOf(ref)) return c.first;
    return ref == nullptr ? "null" : "object";
  }
  // The peer's Java constructor; a registering one does what KWPeer's does.
  static jobject newObjectV(JNIEnv* env, jclass, jmethodID, va_list args) {
    jint handle = va_arg(args, jint);
    StandIn& f = record("NewObjectV");
    if (f.fault == Fault::ConstructorSilent) return f.local(f.nextId_++);
    if (f.fault == Fault::ConstructorThrows) return f.pend("java/lang/IllegalStateException"), nullptr;
    jobject peer = f.newObject();
    f.inConstructor_ = true;
    KWPeerRegistry::registerPeer(env, peer, handle);
    f.inConstructor_ = false;
    return f.pending() ? nullptr : f.local(f.idOf(peer));
  }

  static StandIn* current_;
  JNINativeInterface_ table_{};
  JNIInvokeInterface_ invoke_{};
  JNIEnv env_;
  JavaVM vm_;
  std::deque<int> cells_;
  std::map<std::string, int> classIds_;
  int nextId_ = 1;
  int pendingId_ = 0;
  int describes_ = 0;
  bool inConstructor_ = false;
};

StandIn* StandIn::current_ = nullptr;

StandIn::StandIn() {
  current_ = this;
  table_.FindClass = [](JNIEnv*, const char* name) -> jclass {
    StandIn& f = record(std::string("FindClass ") + name);
    if (f.fault == Fault::ClassMissing) return f.pend("java/lang/NoClassDefFoundError"), nullptr;
    auto it = f.classIds_.find(name);
    return static_cast<jclass>(f.local(it != f.classIds_.end() ? it->second : (f.classIds_[name] = f.nextId_++)));
  };
  table_.GetMethodID = [](JNIEnv*, jclass, const char* name, const char* sig) -> jmethodID {
    StandIn& f = record(std::string("GetMethodID ") + name + " " + sig);
    static int method;
    if (f.fault != Fault::NoHandleConstructor) return reinterpret_cast<jmethodID>(&method);
    return f.pend("java/lang/NoSuchMethodError"), nullptr;
  };
  table_.NewObjectV = newObjectV;
  table_.ExceptionOccurred = [](JNIEnv*) -> jthrowable {
    StandIn& f = record("ExceptionOccurred");
    return f.pendingId_ == 0 ? nullptr : static_cast<jthrowable>(f.local(f.pendingId_));
  };
  table_.ExceptionDescribe = [](JNIEnv*) {
    StandIn& f = record("ExceptionDescribe");
    std::fprintf(stderr, "[ExceptionDescribe %d]\n%s\n", ++f.describes_, f.thrownClass.c_str());
  };
  table_.ExceptionClear = [](JNIEnv*) {
    record("ExceptionClear").pendingId_ = 0;
    std::fprintf(stderr, "[ExceptionClear]\n");
  };
  table_.DeleteLocalRef = [](JNIEnv*, jobject ref) {
    record("DeleteLocalRef " + current_->describe(ref)).localRefs.erase(ref);
  };
  table_.NewLocalRef = [](JNIEnv*, jobject ref) { return record("NewLocalRef").local(current_->idOf(ref)); };
  table_.NewGlobalRef = [](JNIEnv*, jobject ref) {
    jobject global = record("NewGlobalRef").cell(current_->idOf(ref));
    current_->globalRefs.insert(global);
    return global;
  };
  table_.DeleteGlobalRef = [](JNIEnv*, jobject ref) { record("DeleteGlobalRef").globalRefs.erase(ref); };
  table_.IsSameObject = [](JNIEnv*, jobject a, jobject b) -> jboolean {
    return current_->idOf(a) == current_->idOf(b) ? JNI_TRUE : JNI_FALSE;
  };
  table_.GetJavaVM = [](JNIEnv*, JavaVM** vm) -> jint { return *vm = &current_->vm_, JNI_OK; };
  table_.ThrowNew = [](JNIEnv*, jclass clazz, const char*) -> jint {
    record("ThrowNew " + current_->describe(clazz)).pend(current_->describe(clazz));
    return 0;
  };
  table_.RegisterNatives = [](JNIEnv*, jclass, const JNINativeMethod* methods, jint n) -> jint {
    record("RegisterNatives").natives.assign(methods, methods + n);
    return JNI_OK;
  };
  invoke_.GetEnv = [](JavaVM*, void** env, jint) -> jint { return *env = &current_->env_, JNI_OK; };
  env_.functions = &table_;
  vm_.functions = &invoke_;
}

INSTANTIATE_TYPED_TEST_SUITE_P(StandIn, PeerCases, StandIn);
INSTANTIATE_TYPED_TEST_SUITE_P(StandIn, PeerCasesDeathTest, StandIn);

// ---- the registry alone ------------------------------------------------------------

TEST(PeerRegistry, ReleaseAllForgetsThePeersOfThatVmAndTheObjectsMayGetNewOnes) {
  StandIn jni;
  long before = KWPeerRegistry::numberOfPeers();
  KWObject a, b;
  for (KWObject* o : {&a, &b})
    ASSERT_GT(KWPeerRegistry::registerPeer(jni.env(), jni.newObject(), KWPeerRegistry::reserveHandle(o)), 0);
  JavaVM* vm = nullptr;
  jni.env()->GetJavaVM(&vm);
  KWPeerRegistry::releaseAll(vm);
  EXPECT_LT(a.javaIndex(), 0);
  EXPECT_LT(b.javaIndex(), 0);
  EXPECT_TRUE(jni.globalRefs.empty());
  EXPECT_EQ(KWPeerRegistry::numberOfPeers(), before);
  jint again = KWPeerRegistry::reserveHandle(&a);
  EXPECT_EQ(KWPeerRegistry::registerPeer(jni.env(), jni.newObject(), again), again);
}

// Reservations, also from several threads at once, are positive, distinct
// and map back to their objects until dropped; a reservation is not a peer.
TEST(PeerRegistry, ReservedHandlesArePositiveDistinctAndMapBackToTheirObjects) {
  constexpr int kThreads = 4, kPerThread = 2000;
  std::vector<std::vector<jint>> seen(kThreads);
  std::vector<std::thread> threads;
  std::vector<KWObject> objects(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        jint h = KWPeerRegistry::reserveHandle(&objects[t]);
        seen[t].push_back(KWPeerRegistry::objectFor(h) == &objects[t] ? h : -1);
        if (i % 2 == 0) KWPeerRegistry::dropHandle(h);
      }
    });
  }
  for (auto& th : threads) th.join();
  std::set<jint> all;
  for (const auto& s : seen) {
    for (jint h : s) {
      EXPECT_GT(h, 0) << "a handle mapped to another thread's object, or none";
      EXPECT_TRUE(all.insert(h).second) << "handle " << h << " handed out twice";
    }
  }
  for (const KWObject& o : objects) EXPECT_LT(o.javaIndex(), 0) << "a reservation is not a peer";
  for (jint h : all) KWPeerRegistry::dropHandle(h);
  for (jint h : all) ASSERT_EQ(KWPeerRegistry::objectFor(h), nullptr) << "handle " << h << " outlived its drop";
}

// The names and signatures are the real VM's to check when it loads the
// library, and its peers register and answer through them.
TEST(PeerRegistry, BindsTwoNativesAndAnswersWhetherAnObjectIsTheLivePeer) {
  StandIn jni;
  ASSERT_TRUE(KWPeerRegistry::bindNatives(jni.env()));
  EXPECT_TRUE(jni.localRefs.empty()) << "the class reference is released";
  EXPECT_EQ(jni.natives.size(), 2u);
  auto object = std::make_unique<KWObject>();
  jint h = KWPeerRegistry::reserveHandle(object.get());
  EXPECT_EQ(KWPeerRegistry::registerPeer(jni.env(), nullptr, h), -1);
  EXPECT_EQ(jni.thrownClass, "java/lang/IllegalArgumentException") << "a null peer is refused";
  jni.env()->ExceptionClear();
  jobject peer = jni.newObject();
  ASSERT_EQ(KWPeerRegistry::registerPeer(jni.env(), peer, h), h);
  EXPECT_TRUE(KWPeerRegistry::isRegisteredPeer(jni.env(), peer, h));
  EXPECT_FALSE(KWPeerRegistry::isRegisteredPeer(jni.env(), jni.newObject(), h)) << "another object is not the peer";
  object.reset();
  EXPECT_FALSE(KWPeerRegistry::isRegisteredPeer(jni.env(), peer, h));

  StandIn without;
  without.fault = Fault::ClassMissing;
  EXPECT_FALSE(KWPeerRegistry::bindNatives(without.env()));
  EXPECT_FALSE(without.pending()) << "a failed bind leaves no exception behind";
}

// ---- the bridge -----------------------------------------------------------------

// Each call that may throw is checked before the next; the class reference is
// released; a later call only makes the caller's reference to the peer.
TEST(PeerBridge, FirstCallBuildsThePeerAndReleasesTheClassALaterOneOnlyAnswersIt) {
  StandIn jni;
  KWFakePeered object;
  jobject peer = object.getJavaObject(jni.env());
  ASSERT_NE(peer, nullptr);
  std::vector<std::string> expected = {std::string("FindClass ") + kFakeClass,
                                       "ExceptionOccurred",  // the class lookup's own check
                                       "GetMethodID <init> (I)V",
                                       "ExceptionOccurred",
                                       "NewObjectV",
                                       "ExceptionOccurred",
                                       std::string("DeleteLocalRef ") + kFakeClass};
  EXPECT_EQ(jni.calls, expected);
  EXPECT_EQ(jni.localRefs, std::set<jobject>{peer}) << "only the returned peer stays referenced";
  jni.calls.clear();
  object.getJavaObject(jni.env());
  EXPECT_EQ(jni.calls, std::vector<std::string>{"NewLocalRef"});
}

// A peer definition whose Java class name does not follow its class name does not compile.
static_assert(!kwsJavaNameMatches("com/brackwind/jnilayout/KWSNode", "KWSGraph"), "another class");
static_assert(!kwsJavaNameMatches("com/brackwind/jnilayout/KWSGraphX", "KWSGraph"), "a longer name");
static_assert(!kwsJavaNameMatches("com/brackwind/jnilayout/KWSGrap", "KWSGraph"), "a shorter name");
static_assert(!kwsJavaNameMatches("com.brackwind.jnilayout.KWSGraph", "KWSGraph"), "dots for slashes");
static_assert(!kwsJavaNameMatches("KWSGraph", "KWSGraph"), "no package");

// A check that finds an exception left pending by earlier code reports it.
TEST(PeerBridgeDeathTest, AnExceptionLeftPendingIsReportedWithSourceAndLine) {
  auto leftPending = [] {
    StandIn jni;
    KWFakePeered object;
    jni.env()->ThrowNew(object.getJavaClass(jni.env()), "left over");
    object.getJavaClass(jni.env());
  };
  EXPECT_DEATH(leftPending(), "kwfake:" + std::to_string(kFakeDefLine) + ": Assertion `env->ExceptionOccurred\\(\\) == 0");
}

}  // namespace
