// Fold, expand, collapse, hide and unhide in the base pipeline.
#include "host/kwbgraph.h"

// ---- fold, expand and hide reactions: the base pins nothing ------------------

void KWBGraph::actBeforeExpandWithLayout(KWDNodeDList*, KWDNode*) {}
void KWBGraph::actBeforeCollapseWithLayout(KWDNodeDList*, KWDNode*) {}
void KWBGraph::actAfterExpandWithLayout(KWDNodeDList*) {}
void KWBGraph::actAfterCollapseWithLayout(KWDNodeDList*) {}
void KWBGraph::actBeforeFoldWithLayout(KWDNodeDList*, const KWDNodeDList*) {}
void KWBGraph::actBeforeUnfoldWithLayout(KWDNodeDList*, KWDNode*) {}
void KWBGraph::actAfterFoldWithLayout(KWDNodeDList*) {}
void KWBGraph::actAfterUnfoldWithLayout(KWDNodeDList*) {}
void KWBGraph::actBeforeHideWithLayout(KWDNodeDList*, const KWDNodeDList*) {}
void KWBGraph::actBeforeUnhideWithLayout(KWDNodeDList*) {}
void KWBGraph::actAfterHideWithLayout(KWDNodeDList*) {}
void KWBGraph::actAfterUnhideWithLayout(KWDNodeDList*) {}

