#include "tailor/kwsndta.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSNodeTailor, "com/brackwind/jnilayout/KWSNodeTailor", "kwsndta")

KWSNodeTailor::KWSNodeTailor(KWDNode* owner) : KWNodeTailor(owner) { init(); }

KWS_COPY_MEMBERS_DEF(KWSNodeTailor, KWNodeTailor)

KWSNodeTailor::~KWSNodeTailor() = default;

int KWSNodeTailor::constrained(int on) {
  if (on == constrained()) return on;
  if (KWDNode* node = pOwnerNode()) node->actOnTailorChange();
  flagBit(kConstrainedBit, on);
  return on;
}

// constrained lives in the base's flag word and travels with the base part.
KWS_BASE_COPIES_DEF(KWSNodeTailor, KWNodeTailor)

