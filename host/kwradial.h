// Radial drawing of a tree around its root.
#ifndef KWRADIAL_H
#define KWRADIAL_H

#include <vector>

#include "host/kwdgraph.h"

/// Places the nodes of a tree on rings around a centre point, inside a sector.
///
/// The tree is the breadth-first tree of the graph from the root, over the
/// edges of edgeList (every edge of the graph when edgeList is null) between
/// nodes of nodeList (every node of the graph when nodeList is null). Nodes at
/// depth d go on ring d around (x, y); the root itself is not moved, so a caller
/// that wants the tree around the root passes the root's position.
///
/// Sector: `angle` is its middle direction and `width` its angular width, in
/// radians (a width of 2π or more is the full circle). Every node owns a wedge
/// of the sector; its children share that wedge in the order in which their
/// edges are attached to it, each in proportion to the number of leaves below
/// it, and each sits in the middle of its own wedge. Subtrees therefore never
/// cross each other, and a lone child continues in its parent's direction.
///
/// Rings: ring d lies `spacing` beyond ring d-1, further out when the nodes of
/// the two rings would otherwise overlap (their half diagonals are kept apart),
/// and further out again when neighbouring nodes of the ring would overlap
/// along it. Coordinates are truncated toward zero.
///
/// Nodes of nodeList that the tree does not reach keep their places; edges that
/// close a cycle are ignored. Cost: O(nodes + edges). No recursion.
class KWRadialDrawingAlgorithm : public KWObject {
 public:
  KWRadialDrawingAlgorithm(KWDGraph* graph, KWNode* root, KWGNodeDList* nodeList, KWGEdgeDList* edgeList,
                           long spacing, long x, long y, double angle, double width);
  void run();

  /// Ring radii of the last run, ring 0 (the root) first.
  const std::vector<double>& ringRadii() const { return radii_; }

 private:
  KWDGraph* graph_;
  KWNode* root_;
  KWGNodeDList* nodes_;
  KWGEdgeDList* edges_;
  long spacing_;
  long x_, y_;
  double angle_, width_;
  std::vector<double> radii_;
};

#endif
