// A spring embedder after Eades that moves a few nodes among fixed ones.
#ifndef KWEADES_H
#define KWEADES_H

#include <vector>

#include "host/kwdgraph.h"

/// Moves the nodes of `movable` (bends or drawing nodes) among the nodes of
/// `nodeList`, which stay where they are, so that the movable nodes keep clear
/// of the others while the edges through them stay short.
///
/// Force model, in units of the natural length L (`length`, at least 1):
///  - springs along the edge pieces at each movable node (for a bend the two
///    pieces of its edge's path beside it, for a drawing node the first or last
///    piece of each of its edges): c1·ln(d/L) towards the neighbour, so a
///    piece longer than L pulls and a shorter one pushes;
///  - repulsion c3/d² from every other node of either list that is not a spring
///    neighbour; for a node of `nodeList` d is the clearance to its bounding
///    rectangle (a movable node inside a rectangle is pushed out of it), and
///    only nodes within 3·L of it repel, so that the mass of a large drawing
///    far away does not push the movable nodes off; d is clamped below at
///    0.1·L so that forces stay finite.
/// Every iteration computes all forces first and then moves each movable node
/// by c4·F·L, at most L. The constants are Eades' own: c1 = 2, c3 = 1, c4 = 0.1.
///
/// Termination: after `maxIterations` iterations (0 for the default of 100), or
/// as soon as no movable node moved by more than `tolerance` drawing units in an
/// iteration (0 for the default of half a unit). Positions are kept in doubles
/// during the run and rounded to the nearest unit at the end.
///
/// The graph's layoutCheckpoint is called once before the first iteration and
/// once after the last. Cost: O(iterations · |movable| · (|nodeList| + |movable|)).
class KWEadesAlgorithm : public KWObject {
 public:
  KWEadesAlgorithm(KWDGraph* graph, KWGNodeDList* nodeList, KWGNodeDList* movable, long length,
                   int maxIterations, int tolerance);
  void run();

  static constexpr int kDefaultIterations = 100;
  /// Iterations done by the last run.
  long iterationsRun() const { return iterations_; }
  /// The natural length the run uses (the given length, at least 1).
  long naturalLength() const { return length_ < 1 ? 1 : length_; }

 private:
  KWDGraph* graph_;
  KWGNodeDList* nodes_;
  KWGNodeDList* movable_;
  long length_;
  int maxIterations_;
  int tolerance_;
  long iterations_ = 0;
};

#endif
