#include "data/kwsedli.h"
#include "module/kwscopy.h"

KWS_JAVA_PEER_DEF(KWSEdgeLayInfo, "com/brackwind/jnilayout/KWSEdgeLayInfo", "kwsedli")

KWSEdgeLayInfo::KWSEdgeLayInfo() : KWBEdgeLayInfo() { init(); }

KWS_COPY_MEMBERS_DEF(KWSEdgeLayInfo, KWBEdgeLayInfo)

KWSEdgeLayInfo::~KWSEdgeLayInfo() = default;

KWS_BASE_COPIES_DEF(KWSEdgeLayInfo, KWBEdgeLayInfo)

KWS_SIZE_OF_DEF(KWSEdgeLayInfo, KWBEdgeLayInfo)

