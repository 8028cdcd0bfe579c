// KWSGraph: radial placement of the trees cut off a component.
//
// After the first pass has placed the core, every gateway node's trees are
// lifted out of the reduced graph into a scratch tree graph, drawn radially
// around the gateway by the host's radial algorithm, and put back. A gateway's
// trees fan out over a quarter circle pointing from the centre of the core's
// bounding rectangle through the gateway; the trees of a one-node core are
// spread over the full circle around it.
#include <cmath>

#include "host/kwbfs.h"
#include "host/kwfactory.h"
#include "host/kwradial.h"
#include "layout/kwsgraph.h"
#include "tailor/kwsgrta.h"

namespace {
const double kFullCircle = 6.283185307179586;
const double kQuarterCircle = 1.5707963267948966;

/// Moves node from one graph into another (detaching keeps its edges).
void moveNode(KWDGraph* from, KWDGraph* to, KWDNode* node) {
  KWNode* n = from->removeNode(node);
  to->insertNode(n);
}
}  // namespace

void KWSGraph::layoutTrees() {
  KWDGraph* owner = pOwnerGraph();
  if (!owner) return;
  KWDGraph* reduced = pReducedGraph();
  KWFactory* factory = KWFactory::castDown(owner->pFactory());
  if (!factory) return;
  // Our drawing graphs have no further setting to make on a scratch graph.
  KWDGraph* treeGraph = factory->newDGraph(KWSymmetricLayoutStyle);
  // Whatever leaves early, the tree being drawn goes back to the reduced
  // graph (from where the run puts it back into the owner) before the scratch
  // graph is deleted with whatever it still holds.
  struct TreeGraphGuard {
    KWDGraph* trees;
    KWDGraph* reduced;
    ~TreeGraphGuard() {
      try {
        reduced->moveNodesAndEdges(trees, trees->KWGraph::pNodeList(), trees->KWGraph::pEdgeList());
      } catch (...) {
      }
      delete trees;
    }
  } treeGuard{treeGraph, reduced};

  KWDNodeDList gateways;
  KWRect bounds;
  owner->calculateAndReturnGraphBounds(bounds);
  long cx = bounds.x();
  long cy = bounds.y();
  findGatewayNodes(&gateways);

  // Lifts g's trees into the tree graph, draws them and puts everything back.
  auto drawTreesOf = [&](KWDNode* g, bool aroundOrigin) {
    moveNode(owner, reduced, g);
    KWRootedBFS* traversal = new KWRootedBFS(reduced, g, 2, 0);
    traversal->run();
    treeGraph->moveTraversedSubgraph(reduced, traversal);
    delete traversal;
    if (aroundOrigin) {
      layoutTreeRadially(treeGraph, g, g->ntX(), g->ntY(), 0.0, kFullCircle);
    } else {
      long dy = g->ntY() - cy;
      long dx = g->ntX() - cx;
      double angle = dx != 0 ? std::atan2(static_cast<double>(dy), static_cast<double>(dx)) : 0.0;
      layoutTreeRadially(treeGraph, g, g->ntX(), g->ntY(), angle, kQuarterCircle);
    }
    reduced->moveNodesAndEdges(treeGraph, treeGraph->pNodeList(), treeGraph->pEdgeList());
    moveNode(reduced, owner, g);
  };

  if (owner->numberOfNodes() == 1) {
    KWDNode* g = gateways.pFirstCell() ? KWDNode::castDown(gateways.pFirstCell()->pObject()) : nullptr;
    if (g) drawTreesOf(g, true);
  } else {
    for (KWDNodeDListIter it(gateways); it;) {
      KWDNode* g = it.pNode();
      drawTreesOf(g, false);
      ++it;
    }
  }

  gateways.deleteAllCells();
}

void KWSGraph::layoutTreeRadially(KWDGraph* graph, KWGNode* root, long x, long y, double angle, double width) {
  KWDGraph* owner = pOwnerGraph();
  KWSGraphTailor* tailor = owner ? owner->pSTailor() : nullptr;
  if (!graph || !root || !tailor) return;
  long spacing = static_cast<long>(tailor->nodeSpacing() * std::sqrt(2.0));
  KWRadialDrawingAlgorithm* radial =
      new KWRadialDrawingAlgorithm(graph, root, graph->pNodeList(), nullptr, spacing, x, y, angle, width);
  radial->run();
  delete radial;
}
