// KWSGraph: Fold, expand and hide reactions. (Placeholder bodies; replaced as the part is written.)
#include "layout/kwsgraph.h"

void KWSGraph::actBeforeExpandWithLayout(KWDNodeDList*, KWDNode*) {}
void KWSGraph::actBeforeCollapseWithLayout(KWDNodeDList*, KWDNode*) {}
void KWSGraph::actAfterExpandWithLayout(KWDNodeDList*) {}
void KWSGraph::actAfterCollapseWithLayout(KWDNodeDList*) {}
void KWSGraph::actBeforeFoldWithLayout(KWDNodeDList*, const KWDNodeDList*) {}
void KWSGraph::actBeforeUnfoldWithLayout(KWDNodeDList*, KWDNode*) {}
void KWSGraph::actAfterFoldWithLayout(KWDNodeDList*) {}
void KWSGraph::actAfterUnfoldWithLayout(KWDNodeDList*) {}
void KWSGraph::actBeforeHideWithLayout(KWDNodeDList*, const KWDNodeDList*) {}
void KWSGraph::actBeforeUnhideWithLayout(KWDNodeDList*) {}
void KWSGraph::actAfterHideWithLayout(KWDNodeDList*) {}
void KWSGraph::actAfterUnhideWithLayout(KWDNodeDList*) {}
