#include "tailor/kwsgrta.h"

#include "tailor/kwsndta.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSGraphTailor, "com/brackwind/jnilayout/KWSGraphTailor", "kwsgrta")

namespace {
// The style's bits of the base tailor's flag word.
enum {
  kRouteEdgesBit = 11,
  kIncrementalWithinComponentBit = 12,
  kIncrementalDisconnectedNodesBit = 13,
  kIncrementalComponentsBit = 14,
  kFirstInitializationBit = 15
};
}  // namespace

KWSGraphTailor::KWSGraphTailor(KWDGraph* owner) : KWGraphTailor(owner) { init(); }

KWS_COPY_MEMBERS_DEF(KWSGraphTailor, KWGraphTailor)

KWSGraphTailor::~KWSGraphTailor() { releaseGraphFileExtension(); }

void KWSGraphTailor::init() {
  // The flags go through their setters, so the owner graph hears of every
  // flag that differs from the base's cleared bit; the numbers are stored
  // silently.
  incrementalWithinComponentLayout(0);
  incrementalDisconnectedNodesLayout(0);
  incrementalComponentsLayout(1);
  firstInitialization(1);
  springConstant_ = 1.0;
  terminationValue_ = 1.0;
  maxNodeIterations_ = 20;
  maxMoveIterations_ = 10;
  maxNodesMovedMultiplier_ = 20;
  shrinkagePerMil_ = 0;
  nodeSpacing_ = 75;
  dummyNodeSpacing_ = 25;
  randomSeed_ = 1;
  graphFileExtension_ = nullptr;
}

// ---- copies -------------------------------------------------------------------

void KWSGraphTailor::copySettings(const KWSGraphTailor& source) {
  incrementalWithinComponentLayout(source.incrementalWithinComponentLayout());
  incrementalDisconnectedNodesLayout(source.incrementalDisconnectedNodesLayout());
  incrementalComponentsLayout(source.incrementalComponentsLayout());
  firstInitialization(source.firstInitialization());
  springConstant_ = source.springConstant_;
  terminationValue_ = source.terminationValue_;
  maxNodeIterations_ = source.maxNodeIterations_;
  maxMoveIterations_ = source.maxMoveIterations_;
  maxNodesMovedMultiplier_ = source.maxNodesMovedMultiplier_;
  shrinkagePerMil_ = source.shrinkagePerMil_;
  nodeSpacing_ = source.nodeSpacing_;
  dummyNodeSpacing_ = source.dummyNodeSpacing_;
  randomSeed_ = source.randomSeed_;
  routeEdges(source.routeEdges());
  // The extension belongs to the file operation of the tailor that made it;
  // a copy starts without one, and the one this tailor held is released.
  releaseGraphFileExtension();
}

KWSGraphTailor& KWSGraphTailor::KWSGraphTailordeepCopy(const KWSGraphTailor& source) {
  KWGraphTailor::copyObject(&source);
  copySettings(source);
  return *this;
}

KWSGraphTailor& KWSGraphTailor::KWSGraphTailorattributeCopy(const KWSGraphTailor& source) {
  KWGraphTailor::copyAttributes(&source);
  copySettings(source);
  return *this;
}

// ---- notification -------------------------------------------------------------

void KWSGraphTailor::notifyOwner() {
  if (KWDGraph* g = pOwnerGraph()) g->actOnTailorChange();
}

int KWSGraphTailor::setFlag(int bit, int current, int on) {
  if (on == current) return on;
  notifyOwner();
  flagBit(bit, on);
  return on;
}

namespace {
// A NaN is neither less nor greater than anything, so it counts as equal to
// the stored value and is never stored.
inline bool differs(double a, double b) { return a < b || a > b; }
}  // namespace

// ---- numeric settings -----------------------------------------------------------

double KWSGraphTailor::springConstant(double k) {
  if (differs(k, springConstant_)) {
    springConstant_ = k;
    notifyOwner();
  }
  return springConstant_;
}

double KWSGraphTailor::terminationValue(double t) {
  if (differs(t, terminationValue_)) {
    terminationValue_ = t;
    notifyOwner();
  }
  return terminationValue_;
}

#define KWS_INT_SETTER(name, field)   \
  int KWSGraphTailor::name(int n) {   \
    if (n != field) {                 \
      field = n;                      \
      notifyOwner();                  \
    }                                 \
    return field;                     \
  }

KWS_INT_SETTER(maxNodeIterations, maxNodeIterations_)
KWS_INT_SETTER(maxMoveIterations, maxMoveIterations_)
KWS_INT_SETTER(maxNodesMovedMultiplier, maxNodesMovedMultiplier_)
KWS_INT_SETTER(shrinkagePerMil, shrinkagePerMil_)
KWS_INT_SETTER(nodeSpacing, nodeSpacing_)
KWS_INT_SETTER(dummyNodeSpacing, dummyNodeSpacing_)
KWS_INT_SETTER(randomSeed, randomSeed_)

#undef KWS_INT_SETTER

// ---- flags ------------------------------------------------------------------------

int KWSGraphTailor::routeEdges() const { return flagBit(kRouteEdgesBit); }
int KWSGraphTailor::routeEdges(int on) { return setFlag(kRouteEdgesBit, routeEdges(), on); }

int KWSGraphTailor::firstInitialization() const { return flagBit(kFirstInitializationBit); }
int KWSGraphTailor::firstInitialization(int on) {
  return setFlag(kFirstInitializationBit, firstInitialization(), on);
}

int KWSGraphTailor::incrementalWithinComponentLayout() const { return flagBit(kIncrementalWithinComponentBit); }
int KWSGraphTailor::incrementalWithinComponentLayout(int on) {
  return setFlag(kIncrementalWithinComponentBit, incrementalWithinComponentLayout(), on);
}

int KWSGraphTailor::incrementalDisconnectedNodesLayout() const {
  return flagBit(kIncrementalDisconnectedNodesBit);
}
int KWSGraphTailor::incrementalDisconnectedNodesLayout(int on) {
  return setFlag(kIncrementalDisconnectedNodesBit, incrementalDisconnectedNodesLayout(), on);
}

int KWSGraphTailor::incrementalComponentsLayout() const { return flagBit(kIncrementalComponentsBit); }
int KWSGraphTailor::incrementalComponentsLayout(int on) {
  return setFlag(kIncrementalComponentsBit, incrementalComponentsLayout(), on);
}

// ---- all nodes ----------------------------------------------------------------------

void KWSGraphTailor::constrainAll(int on) {
  KWDGraph* g = pOwnerGraph();
  if (!g) return;
  for (KWDNodeIter it(g); it;) {
    KWDNode* node = it.pNode();
    ++it;
    // Each node tailor notifies its own node when its flag really changes.
    if (KWSNodeTailor* t = node->pSTailor()) t->constrained(on);
  }
}

void KWSGraphTailor::constrainAllNodes() { constrainAll(1); }

void KWSGraphTailor::unconstrainAllNodes() { constrainAll(0); }
