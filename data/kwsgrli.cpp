#include "data/kwsgrli.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSGraphLayInfo, "com/brackwind/jnilayout/KWSGraphLayInfo", "kwsgrli")

KWSGraphLayInfo::KWSGraphLayInfo() : KWBGraphLayInfo() { init(); }

KWS_COPY_MEMBERS_DEF(KWSGraphLayInfo, KWBGraphLayInfo)

// The members go in reverse order of declaration; the lists free their cells
// only, the nodes belong to the host.
KWSGraphLayInfo::~KWSGraphLayInfo() = default;

// The matrices, lists, scale factor and maximum degree are per-run scratch: a
// copy carries none of them.
KWS_BASE_COPIES_DEF(KWSGraphLayInfo, KWBGraphLayInfo)

KWS_SIZE_OF_DEF(KWSGraphLayInfo, KWBGraphLayInfo)

