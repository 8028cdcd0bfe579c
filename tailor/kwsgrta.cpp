#include "tailor/kwsgrta.h"

#include <cstring>

#include "host/kwoml.h"
#include "tailor/kwsndta.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSGraphTailor, "com/brackwind/jnilayout/KWSGraphTailor", "kwsgrta")

namespace {
// The style's bits of the base tailor's flag word, one per flag row from bit 11 on.
enum FlagBit : int {
  kBitBeforeTheFlags = 10,
#define KWS_FLAG_BIT(name) k_##name##_Bit,
#define KWS_GRAPH_SETTING(kind, name, ...) KWS_SETTING_IF_FLAG_##kind(KWS_FLAG_BIT(name))
#include "tailor/kwsgrset.def"
#undef KWS_FLAG_BIT
  kBitAfterTheFlags
};
static_assert(kBitAfterTheFlags <= 32, "the flags must fit the 32-bit flag word");
}  // namespace

KWSGraphTailor::KWSGraphTailor(KWDGraph* owner) : KWGraphTailor(owner) { init(); }

KWS_COPY_MEMBERS_DEF(KWSGraphTailor, KWGraphTailor)

KWSGraphTailor::~KWSGraphTailor() { releaseGraphFileExtension(); }

void KWSGraphTailor::init() {
  // The flags go through their setters, so the owner graph hears of every
  // flag that differs from the base's cleared bit; the numbers are stored
  // silently.
  assignSettings(nullptr);
  graphFileExtension_ = nullptr;
}

// ---- copies -------------------------------------------------------------------

void KWSGraphTailor::assignSettings(const KWSGraphTailor* source) {
  // The start flags first, so that the owner graph hears of them while the
  // numbers still hold their old values ...
#define KWS_GRAPH_SETTING(kind, name, value, oml, keys, min, max, ceiling, uses, help) \
  KWS_SETTING_IF_FLAG_##kind(if ((uses)&KWS_START) name(source ? source->name() : (value));)
#include "tailor/kwsgrset.def"
  // ... then the numbers, without notice ...
#define KWS_GRAPH_SETTING(kind, name, value, ...) \
  KWS_SETTING_IF_NUMBER_##kind(name##_ = source ? source->name##_ : (value);)
#include "tailor/kwsgrset.def"
  // ... and the other flags last.
#define KWS_GRAPH_SETTING(kind, name, value, oml, keys, min, max, ceiling, uses, help) \
  KWS_SETTING_IF_FLAG_##kind(if (!((uses)&KWS_START)) name(source ? source->name() : (value));)
#include "tailor/kwsgrset.def"
}

void KWSGraphTailor::copySettings(const KWSGraphTailor& source) {
  assignSettings(&source);
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
inline bool differs(int a, int b) { return a != b; }
}  // namespace

// ---- setters ----------------------------------------------------------------------

#define KWS_GRAPH_SETTING(kind, name, ...)                                           \
  KWS_SETTING_IF_NUMBER_##kind(KWS_SETTING_TYPE_##kind KWSGraphTailor::name(KWS_SETTING_TYPE_##kind v) { \
    if (differs(v, name##_)) {                                                      \
      name##_ = v;                                                                  \
      notifyOwner();                                                                \
    }                                                                               \
    return name##_;                                                                 \
  })                                                                                \
  KWS_SETTING_IF_FLAG_##kind(int KWSGraphTailor::name() const { return flagBit(k_##name##_Bit); } \
                             int KWSGraphTailor::name(int on) { return setFlag(k_##name##_Bit, name(), on); })
#include "tailor/kwsgrset.def"

// ---- the table ---------------------------------------------------------------------

const std::vector<KWSGraphSetting>& KWSGraphTailor::graphSettings() {
  static const std::vector<KWSGraphSetting> rows = {
#define KWS_GRAPH_SETTING(kind, name, value, oml, keys, min, max, ceiling, uses, help)                     \
  {#name, KWS_SETTING_KIND_##kind, (value), (oml), (keys), (min), (max), (ceiling), (uses), (help),      \
   [](const KWSGraphTailor& t) { return static_cast<double>(t.name()); },                                \
   [](KWSGraphTailor& t, double v) { return static_cast<double>(t.name(static_cast<KWS_SETTING_TYPE_##kind>(v))); }},
#include "tailor/kwsgrset.def"
  };
  return rows;
}

const KWSGraphSetting* KWSGraphTailor::findGraphSetting(const std::string& name) {
  for (const KWSGraphSetting& s : graphSettings())
    if (name == s.name) return &s;
  return nullptr;
}

bool KWSGraphSetting::hasModelKey(const char* key) const {
  const std::size_t n = std::strlen(key);
  for (const char* k = modelKeys; *k;) {
    const char* end = std::strchr(k, ' ');
    const std::size_t length = end ? static_cast<std::size_t>(end - k) : std::strlen(k);
    if (length == n && std::memcmp(k, key, n) == 0) return true;
    k += length;
    while (*k == ' ') ++k;
  }
  return false;
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
