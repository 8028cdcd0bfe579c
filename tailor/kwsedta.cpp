#include "tailor/kwsedta.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSEdgeTailor, "com/brackwind/jnilayout/KWSEdgeTailor", "kwsedta")

KWSEdgeTailor::KWSEdgeTailor(KWDEdge* owner) : KWEdgeTailor(owner) { init(); }

KWS_COPY_MEMBERS_DEF(KWSEdgeTailor, KWEdgeTailor)

KWSEdgeTailor::~KWSEdgeTailor() = default;

KWS_BASE_COPIES_DEF(KWSEdgeTailor, KWEdgeTailor)

