// KWSGraph: the energy descent.
//
// The energy of a component is Σ ½·k(i,j)·(|pi − pj| − l(i,j))² over all node
// pairs, k and l from the spring matrices. The descent moves one node at a
// time, always the unconstrained node with the largest gradient, by Newton
// steps on integer coordinates, and keeps every other node's gradient up to
// date by correcting only the one term the move changed. Where a node's
// Hessian is not positive definite the step is a shifted Newton step that
// lowers the node's energy. When the descent stops, nodes left on a saddle of
// their energy or folding a cycle over themselves are moved off and the
// descent goes on; in small components, nodes in edge-node crossings are then
// moved off. It works on the nodes' scratch points only; positionFinal copies
// them in and out.
//
// Every sum runs over allNodeDList in list order so that results are the same
// on every run and platform.
//
// The inner loops run over a working set that the descent builds once per run
// (DescentSet below): positions, pinned flags, gradients and matrix-row
// pointers in contiguous arrays in list order, so that no loop follows an
// extension, scratch-record or tailor pointer and nothing is allocated while
// the cycles run. The scratch records get the points and gradients back when
// the descent ends. The loops over all nodes are the kernels of kwsgkern.cpp,
// which run several nodes at once and give the same bits on every
// instruction set.
//
// This file reads top-down: the limits, the working set (reading and writing
// back, gradients, moves, the step at one node, the escapes when the descent
// stops), the descent itself, and last the step-by-step interface: KWSGraph's
// single-step members, which tests and other steps call one at a time. Each
// builds the same working set, does its one step on it and writes the results
// back, so there is one body of arithmetic for both uses.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "data/kwsgrli.h"
#include "data/kwsndli.h"
#include "data/kwtwodar.h"
#include "layout/kwsgkern.h"
#include "layout/kwsgraph.h"
#include "layout/kwsgutil.h"
#include "layout/kwsnode.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

using kwsl::Best;
using kwsl::KernelView;
using kwsl::Kernels;
using kwsl::PointSums;
using kwsl::chooseKernels;
using kwsl::isConstrained;
using kwsl::kMaxStep;
using kwsl::nodeInfo;
using kwsl::truncStep;
using kwsl::truncToLong;

/// Ceilings on the descent's limits. Settings are stored as given, but a
/// layout honours maxNodesMovedMultiplier only up to 200 and
/// maxNodeIterations only up to 100 (10 and 5 times their defaults): at most
/// 200·n + 1 cycles of at most 100 Newton steps, about 40 000·n² spring
/// terms in all, 50 times the worst case of the defaults, so that no setting
/// can make a layout run for days.
const long kMaxNodesMovedMultiplier = 200;
const long kMaxNodeIterations = 100;

/// How many times a stopped descent looks for nodes on a saddle or in a fold
/// and goes on. Each look costs a few passes over all node pairs, more than
/// the rest of a descent can afford a second time.
const long kEscapeRounds = 1;

/// Components of at most this many nodes have, when the descent stops, their
/// nodes in edge-node crossings moved off (see DescentSet::clearEscape), in at
/// most kClearRounds passes over the nodes. Each move lowers the number of
/// crossings, so the passes end of themselves; the bound only caps the cost.
/// A look costs passes over all edges per node, which larger components are
/// spared.
/// Sparse ones only (at most kClearEdgesPerNode edges per node), and at most
/// kClearLooks crossings weighed per node and pass. Components with a pinned
/// node are left as the descent leaves them: the user's places decide there,
/// and a run started from the result must keep it.
const int kClearNodes = 64;
const long kClearRounds = 30;
const int kClearEdgesPerNode = 3;
const int kClearLooks = 8;

/// Components of at most this many nodes try every mirror line of a fold
/// (see DescentSet::foldEscape); larger ones only the cheapest.
const int kFoldAllLines = 64;

/// Whether the segment from a to b meets the box of half sizes (hw, hh)
/// around c, its border included: the segment clipped to the box's slab on
/// each axis in turn.
bool segmentMeetsBox(double ax, double ay, double bx, double by, double cx, double cy, double hw, double hh) {
  double lo = 0.0, hi = 1.0;
  const double d[2] = {bx - ax, by - ay}, o[2] = {ax - cx, ay - cy}, h[2] = {hw, hh};
  for (int i = 0; i < 2; ++i) {
    if (d[i] == 0.0) {
      if (std::fabs(o[i]) > h[i]) return false;
      continue;
    }
    double t0 = (-h[i] - o[i]) / d[i], t1 = (h[i] - o[i]) / d[i];
    if (t0 > t1) std::swap(t0, t1);
    lo = std::max(lo, t0);
    hi = std::min(hi, t1);
    if (lo > hi) return false;
  }
  return true;
}

/// Where a jumping node lands: a random point of the drawing's bounding
/// rectangle b, from two numbers of the run's generator (x first).
void jumpTarget(KWSGraph& s, const KWRect& b, long maxRand, long& tx, long& ty) {
  double scale = maxRand > 0 ? static_cast<double>(maxRand) : 1.0;
  double fx = static_cast<double>(s.randomNumber()) / scale;
  double fy = static_cast<double>(s.randomNumber()) / scale;
  tx = b.left() + truncToLong(static_cast<double>(b.width()) * fx);
  ty = b.bottom() + truncToLong(static_cast<double>(b.height()) * fy);
}

/// The descent's working set: one entry per node of allNodeDList that has a
/// scratch record, in list order. Entry p holds the node's matrix index
/// (col), whether it is pinned, its working point, its gradient, and pointers
/// to its rows of the two spring matrices, read in place.
class DescentSet {
 public:
  // ---- reading the component and writing it back ---------------------------
  /// Reads the component from s's records. Answers false, and leaves the set
  /// empty, when there is no component or the matrices do not cover it.
  bool load(KWSGraph& s) {
    KWSGraphLayInfo* li = s.pSLayInfo();
    graph_ = s.pOwnerGraph();
    kernels_ = chooseKernels(s.descentLaneCap());
    if (!li) return false;
    KWTwoDArray& strength = li->springStrength();
    KWTwoDArray& length = li->springLength();
    for (KWDNodeDListIter it(li->pAllNodeDList()); it; ++it) {
      KWSNodeLayInfo* ni = nodeInfo(it.pNode());
      if (!ni) continue;
      node.push_back(it.pNode());
      info.push_back(ni);
      col.push_back(ni->sindex());
      pinned.push_back(isConstrained(it.pNode()) ? 1 : 0);
      anyPinned_ = anyPinned_ || pinned.back() != 0;
      x.push_back(ni->pPoint()->x());
      y.push_back(ni->pPoint()->y());
      xd.push_back(static_cast<double>(x.back()));
      yd.push_back(static_cast<double>(y.back()));
      exact_ = exact_ && withinExact(x.back()) && withinExact(y.back());
      gx.push_back(ni->xdelta());
      gy.push_back(ni->ydelta());
      delta.push_back(ni->delta());
    }
    count = static_cast<int>(node.size());
    int top = -1;
    inOrder_ = true;
    for (int p = 0; p < count; ++p) {
      if (col[p] < 0) return clear();
      top = std::max(top, col[p]);
      inOrder_ = inOrder_ && col[p] == p;
    }
    if (top >= strength.dimension() || top >= length.dimension()) return clear();
    for (int p = 0; p < count; ++p) {
      KWOneDArray& kr = strength[col[p]];
      KWOneDArray& lr = length[col[p]];
      if (top >= kr.dimension() || top >= lr.dimension()) return clear();
      kRow.push_back(&kr[0]);
      lRow.push_back(&lr[0]);
    }
    return count > 0;
  }

  /// The position of node m in the set, or −1.
  int find(const KWDNode* m) const {
    for (int p = 0; p < count; ++p)
      if (node[p] == m) return p;
    return -1;
  }

  void storeGradient(int p) const {
    info[p]->xdelta(gx[p]);
    info[p]->ydelta(gy[p]);
    info[p]->delta(delta[p]);
  }
  void storePoint(int p) const { info[p]->pPoint()->moveTo(x[p], y[p]); }
  void storeAll() const {
    for (int p = 0; p < count; ++p) {
      storePoint(p);
      storeGradient(p);
    }
  }

  void checkpoint() const {
    if (graph_) graph_->layoutCheckpoint();
  }

  // ---- gradients -----------------------------------------------------------
  /// The sums of m at its present point; with newton false only gxD and gyD.
  /// Terms are added one node at a time in list order, each exactly as
  /// calcDelta and calcdxdy write them; only their computation runs several
  /// nodes at once.
  template <bool newton>
  void sums(int m, PointSums& s) {
    s = PointSums();
    auto span = newton ? kernels_.newton : kernels_.gradient;
    const KernelView v = view();
    span(v, x[m], y[m], kRow[m], lRow[m], 0, m, s);
    span(v, x[m], y[m], kRow[m], lRow[m], m + 1, count, s);
  }

  /// Stores gradient (gx, gy) as m's and checkpoints, as calcDelta does.
  void setGradient(int m, double sx, double sy) {
    gx[m] = sx;
    gy[m] = sy;
    delta[m] = std::sqrt(sx * sx + sy * sy);
    checkpoint();
  }

  /// m's gradient from all other nodes; a coincident node counts at distance
  /// 1.0 with a zero offset. Pinned nodes get a zero gradient.
  void calcDelta(int m) {
    if (pinned[m]) {
      gx[m] = gy[m] = delta[m] = 0.0;
      return;
    }
    PointSums s;
    sums<false>(m, s);
    setGradient(m, s.gxD, s.gyD);
  }

  /// Every gradient afresh; answers the unpinned entry with the largest one
  /// (the first among equals), or −1.
  int calcAll() {
    for (int p = 0; p < count; ++p) calcDelta(p);
    checkpoint();
    return best();
  }

  /// Every gradient brought up to date after `moved` left (oldX, oldY): the
  /// moved node's afresh, the others by the one term that changed. When
  /// movedIsCurrent, the moved node's stored gradient was formed at its
  /// present point with every other node where it is now, so forming it again
  /// would give the same bits; only its checkpoint is kept. Answers as calcAll.
  int recalcAll(int moved, long oldX, long oldY, bool movedIsCurrent) {
    // The corrections weigh each entry as a candidate as soon as its new
    // gradient is known, in list order.
    Best b;
    correct(moved, oldX, oldY, 0, moved, b);
    if (movedIsCurrent && !pinned[moved]) checkpoint();
    else calcDelta(moved);
    b.consider(moved, delta[moved], pinned[moved] != 0);
    correct(moved, oldX, oldY, moved + 1, count, b);
    checkpoint();
    return b.index;
  }

  // ---- moves ---------------------------------------------------------------
  /// Puts m's working point at (px, py).
  void moveTo(int m, long px, long py) {
    x[m] = px;
    y[m] = py;
    xd[m] = static_cast<double>(px);
    yd[m] = static_cast<double>(py);
    exact_ = exact_ && withinExact(px) && withinExact(py);
  }

  /// Moves m to a random point of the drawing's bounding rectangle. The
  /// drawing nodes stay where they are while the descent runs, so the
  /// rectangle is taken once, at the first jump.
  void jump(int m, KWSGraph& s, long maxRand) {
    if (!haveBounds_ && graph_) {
      graph_->ntBoundingRect(bounds_);
      haveBounds_ = true;
    }
    long tx = 0, ty = 0;
    jumpTarget(s, bounds_, maxRand, tx, ty);
    moveTo(m, tx, ty);
  }

  // ---- the step at one node ------------------------------------------------
  /// m's Newton step from sums taken at its present point, each coordinate
  /// truncated toward zero.
  static void step(const PointSums& s, long& dx, long& dy) {
    // Newton system  hxx·δx + hxy·δy = −gx,  hxy·δx + hyy·δy = −gy,  y first.
    double det = s.hxx * s.hyy - s.hxy * s.hxy;
    double ty = det != 0.0 ? (s.gx * s.hxy - s.hxx * s.gy) / det : 0.0;
    double tx = s.hxx != 0.0 ? (-s.gx - s.hxy * ty) / s.hxx : 0.0;
    dx = truncStep(tx);
    dy = truncStep(ty);
  }

  /// Whether m's Hessian in s is positive definite, so that the Newton step
  /// heads for a minimum of m's energy rather than a saddle or a maximum.
  static bool positiveDefinite(const PointSums& s) {
    return s.hxx > 0.0 && s.hyy > 0.0 && s.hxx * s.hyy - s.hxy * s.hxy > 0.0;
  }

  /// m's step from sums taken at its present point: the Newton step where
  /// the Hessian is positive definite or where that step lowers m's energy
  /// all the same, the shifted step elsewhere. (A node that still ends on a
  /// saddle is moved off it when the descent stops.)
  void stepAt(int m, const PointSums& s, long& dx, long& dy) const {
    step(s, dx, dy);
    if (positiveDefinite(s) || (dx == 0 && dy == 0)) return;
    double e0 = 0.0, e1 = 0.0;
    energiesAt(m, x[m] + dx, y[m] + dy, e0, e1);
    if (e1 < e0) return;
    shiftedStep(m, s, e0, dx, dy);
  }

  /// m's step where its Hessian is not positive definite: the Newton step of
  /// the Hessian shifted by a multiple of the identity until its smallest
  /// eigenvalue is positive, shortened by halves until m's energy falls.
  void shiftedStep(int m, const PointSums& s, double e0, long& dx, long& dy) const {
    double lo = 0.0, hi = 0.0;
    eigenvalues(s, lo, hi);
    const double spread = hi - lo, size = std::fabs(lo) + std::fabs(hi);
    const double floor = std::max(std::max(0.5 * spread, 0.5 * std::fabs(lo)), 1.0e-9 * size + 1.0e-12);
    const double shift = floor - lo;
    PointSums t = s;
    t.hxx = s.hxx + shift;
    t.hyy = s.hyy + shift;
    double det = t.hxx * t.hyy - t.hxy * t.hxy;
    double ty = det != 0.0 ? (t.gx * t.hxy - t.hxx * t.gy) / det : 0.0;
    double tx = t.hxx != 0.0 ? (-t.gx - t.hxy * ty) / t.hxx : 0.0;
    backtrack(m, e0, tx, ty, dx, dy);
  }

  /// The Hessian's eigenvalues, smaller first.
  static void eigenvalues(const PointSums& s, double& lo, double& hi) {
    const double mid = 0.5 * (s.hxx + s.hyy), half = 0.5 * (s.hxx - s.hyy);
    const double r = std::sqrt(half * half + s.hxy * s.hxy);
    lo = mid - r;
    hi = mid + r;
  }

  /// The longest whole-unit step along (tx, ty), halved until m's energy
  /// falls below e0: (0, 0) when no such step is left.
  void backtrack(int m, double e0, double tx, double ty, long& dx, long& dy) const {
    for (int i = 0; i < 80; ++i) {
      dx = truncStep(tx);
      dy = truncStep(ty);
      if (dx == 0 && dy == 0) return;
      if (energyAt(m, x[m] + dx, y[m] + dy) < e0) return;
      tx = tx * 0.5;
      ty = ty * 0.5;
    }
    dx = dy = 0;
  }

  /// m's energy Σ ½·k·(d − l)² over the other nodes, m put at (px, py),
  /// summed in list order on the coordinates as doubles.
  double energyAt(int m, long px, long py) const {
    double e = 0.0, unused = 0.0;
    kernels_.energy(view(), kRow[m], lRow[m], m, count, static_cast<double>(px), static_cast<double>(py), 0.0, 0.0,
                    e, unused);
    return e;
  }

  /// m's energy where it is (e0) and at (px, py) (e1), in one pass, each
  /// summed as energyAt sums it.
  void energiesAt(int m, long px, long py, double& e0, double& e1) const {
    kernels_.energies(view(), kRow[m], lRow[m], m, count, xd[m], yd[m], static_cast<double>(px),
                      static_cast<double>(py), e0, e1);
  }

  /// m's step; (0, 0) for a pinned node.
  void calcdxdy(int m, long& dx, long& dy) {
    dx = 0;
    dy = 0;
    if (pinned[m]) return;
    PointSums s;
    sums<true>(m, s);
    stepAt(m, s, dx, dy);
  }

  // ---- escapes when the descent stops --------------------------------------
  /// Where m sits on a saddle of its energy (a direction of negative
  /// curvature, typically across a line of nodes it is squeezed into), the
  /// whole-unit move along that direction, either way, that lowers m's energy
  /// most, tried at half of m's shortest spring and then at halves of that.
  /// Answers false, with no move, when m is not on a saddle or no such move
  /// lowers its energy.
  bool saddleEscape(int m, long& dx, long& dy) {
    dx = dy = 0;
    if (pinned[m]) return false;
    PointSums s;
    sums<true>(m, s);
    if (positiveDefinite(s)) return false;
    double lo = 0.0, hi = 0.0;
    eigenvalues(s, lo, hi);
    if (!(lo < 0.0)) return false;
    // The eigenvector of lo, from whichever row of H − lo·I is longer.
    double vx = s.hxy, vy = lo - s.hxx;
    const double ux = lo - s.hyy, uy = s.hxy;
    if (ux * ux + uy * uy > vx * vx + vy * vy) {
      vx = ux;
      vy = uy;
    }
    const double norm = std::sqrt(vx * vx + vy * vy);
    if (!(norm > 0.0)) return false;
    vx = vx / norm;
    vy = vy / norm;
    double reach = 0.0;
    for (int p = 0; p < count; ++p) {
      if (p == m) continue;
      const int c = inOrder_ ? p : col[p];
      const double l = lRow[m][c];
      if (kRow[m][c] > 0.0 && l > 0.0 && (reach == 0.0 || l < reach)) reach = l;
    }
    const double e0 = energyAt(m, x[m], y[m]);
    for (double t = 0.5 * std::min(reach, kMaxStep); t >= 1.0; t = t * 0.5) {
      const long ax = truncStep(t * vx), ay = truncStep(t * vy);
      if (ax == 0 && ay == 0) break;
      const double ePlus = energyAt(m, x[m] + ax, y[m] + ay);
      const double eMinus = energyAt(m, x[m] - ax, y[m] - ay);
      if (ePlus < e0 || eMinus < e0) {
        const bool plus = ePlus <= eMinus;
        dx = plus ? ax : -ax;
        dy = plus ? ay : -ay;
        return true;
      }
    }
    return false;
  }

  /// A drawing can also stop twisted (a cycle crossing itself), which no
  /// one-node Newton step undoes. A node with exactly two shortest springs
  /// (a node of degree two, on a path or cycle) is reflected across the line
  /// through two of the other ends of its four shortest springs, to the
  /// point that lowers its energy most, when one lowers it clearly. Answers
  /// false, with no move, otherwise.
  bool foldEscape(int m, long& dx, long& dy) const {
    dx = dy = 0;
    if (pinned[m]) return false;
    const int kNear = 4;
    int near[kNear];
    int found = 2;
    const int two = twoShortestSprings(m, near[0], near[1]);
    if (two == 0) return false;
    // Each mirror line costs a pass over all nodes; beyond kFoldAllLines nodes
    // only the line through m's two neighbours is tried, and those two are
    // known. Otherwise all four shortest springs are found.
    if (two < 0 || count <= kFoldAllLines) {
      found = 0;
      auto springLength = [&](int p) { return lRow[m][inOrder_ ? p : col[p]]; };
      for (int p = 0; p < count; ++p) {
        if (p == m || !(kRow[m][inOrder_ ? p : col[p]] > 0.0)) continue;
        // Insertion into the list of the shortest, the first among equals kept.
        int at = found;
        while (at > 0 && springLength(p) < springLength(near[at - 1])) --at;
        if (at >= kNear) continue;
        if (found < kNear) ++found;
        for (int q = found - 1; q > at; --q) near[q] = near[q - 1];
        near[at] = p;
      }
      if (found < 3 || springLength(near[1]) != springLength(near[0]) ||
          !(springLength(near[2]) > springLength(near[1])))
        return false;
    }
    const int lines = count <= kFoldAllLines ? found : 2;
    double e0 = 0.0;
    bool haveE0 = false;
    double best = 0.0;
    bool moved = false;
    for (int i = 0; i < lines; ++i)
      for (int j = i + 1; j < lines; ++j) {
        const int a = near[i], b = near[j];
        const double ux = xd[b] - xd[a], uy = yd[b] - yd[a];
        const double uu = ux * ux + uy * uy;
        if (!(uu > 0.0)) continue;
        const double t = ((xd[m] - xd[a]) * ux + (yd[m] - yd[a]) * uy) / uu;
        // Twice the foot of m on the line, less m: m's mirror image, rounded.
        const double fx = 2.0 * (xd[a] + t * ux) - xd[m], fy = 2.0 * (yd[a] + t * uy) - yd[m];
        const long rx = truncToLong(fx + (fx < 0.0 ? -0.5 : 0.5));
        const long ry = truncToLong(fy + (fy < 0.0 ? -0.5 : 0.5));
        if (rx == x[m] && ry == y[m]) continue;
        double e = 0.0;
        if (!haveE0) {
          energiesAt(m, rx, ry, e0, e);
          haveE0 = true;
          // Only a clear gain: a move that merely trades rounding is not worth a cycle.
          best = e0 - 1.0e-9 * std::fabs(e0) - 1.0e-9;
        } else {
          e = energyAt(m, rx, ry);
        }
        if (e < best) {
          best = e;
          dx = rx - x[m];
          dy = ry - y[m];
          moved = true;
        }
      }
    return moved;
  }

  /// m's two shortest springs (of strength > 0) from one pass: answers 1
  /// when exactly two share the shortest length among at least three springs,
  /// with their entries, in list order, in a and b; 0 when not; −1 when a
  /// length is not a number, which leaves the order to foldEscape's own scan.
  int twoShortestSprings(int m, int& a, int& b) const {
    const double* kr = kRow[m];
    const double* lr = lRow[m];
    double shortest = std::numeric_limits<double>::infinity();
    int springs = 0, atShortest = 0;
    a = b = -1;
    // The entries before m and after it, each with its matrix column.
    auto scan = [&](int from, int to, auto column) {
      for (int p = from; p < to; ++p) {
        const int c = column(p);
        if (!(kr[c] > 0.0)) continue;
        const double l = lr[c];
        if (!(l == l)) return false;
        ++springs;
        if (l < shortest) {
          shortest = l;
          atShortest = 0;
        }
        if (l == shortest) {
          if (atShortest == 0) a = p;
          else if (atShortest == 1) b = p;
          ++atShortest;
        }
      }
      return true;
    };
    auto same = [](int p) { return p; };
    auto mapped = [this](int p) { return col[p]; };
    const bool numbers = inOrder_ ? scan(0, m, same) && scan(m + 1, count, same)
                                  : scan(0, m, mapped) && scan(m + 1, count, mapped);
    if (!numbers) return -1;
    return springs >= 3 && atShortest == 2 ? 1 : 0;
  }

  /// How many pairs of an edge and a node other than its ends meet that
  /// involve m, m put at (px, py): edges through m's box and m's own edges
  /// through other nodes' boxes.
  int crossingsAt(int m, double px, double py) const {
    int c = 0;
    for (const auto& e : edges_) {
      const int a = e.first, b = e.second;
      if (a != m && b != m) {
        if (segmentMeetsBox(xd[a], yd[a], xd[b], yd[b], px, py, halfW_[m], halfH_[m])) ++c;
        continue;
      }
      const int o = a == m ? b : a;
      for (int q = 0; q < count; ++q)
        if (q != m && q != o && segmentMeetsBox(px, py, xd[o], yd[o], xd[q], yd[q], halfW_[q], halfH_[q])) ++c;
    }
    return c;
  }

  /// Where m is in an edge-node crossing (an edge between two other nodes
  /// through m's box, or an edge of m through another node's box), whole-unit
  /// moves of m along that edge's normal, to either side, as far as four times
  /// the crossed box's reach along the normal plus a margin of two units. Of
  /// these, over every crossing, the move that leaves the fewest crossings
  /// involving m (the first among equals, the nearer first), if it leaves fewer
  /// than there are. Answers false, with no move, otherwise, or when m is
  /// pinned.
  bool clearEscape(int m, long& dx, long& dy) {
    dx = dy = 0;
    if (pinned[m] || count > kClearNodes) return false;
    if (!haveEdges_) loadEdges();
    if (edges_.size() > static_cast<size_t>(kClearEdgesPerNode * count) || anyPinned_) return false;
    int best = -1, looked = 0;
    // Tries the moves along ±(nx, ny) beyond `off` from the crossed line, for a
    // box that reaches `reach` along the normal.
    auto along = [&](double nx, double ny, double off, double reach) {
      for (int k = 0; k < 2; ++k) {
        const double side = (off < 0.0) == (k == 0) ? -1.0 : 1.0;
        const double need = std::max(reach - side * off, 1.0);
        // At most 33 distances, a whole number of units apart.
        const double stride = std::max(1.0, std::ceil(reach / 8.0));
        for (int i = 0; i <= 32; ++i) {
          const double t = std::ceil(need) + stride * static_cast<double>(i);
          const double mx = side * t * nx, my = side * t * ny;
          const long sx = truncToLong(mx + (mx < 0.0 ? -0.5 : 0.5));
          const long sy = truncToLong(my + (my < 0.0 ? -0.5 : 0.5));
          const int c = crossingsAt(m, xd[m] + static_cast<double>(sx), yd[m] + static_cast<double>(sy));
          if (c < best) {
            best = c;
            dx = sx;
            dy = sy;
          }
        }
      }
    };
    auto normalOf = [&](int a, int b, double& nx, double& ny) {
      const double ux = xd[b] - xd[a], uy = yd[b] - yd[a];
      const double len = std::sqrt(ux * ux + uy * uy);
      if (!(len > 0.0)) return false;
      nx = -uy / len;
      ny = ux / len;
      return true;
    };
    for (const auto& e : edges_) {
      if (looked > kClearLooks) break;
      const int a = e.first, b = e.second;
      double nx = 0.0, ny = 0.0;
      if (a != m && b != m) {
        if (!segmentMeetsBox(xd[a], yd[a], xd[b], yd[b], xd[m], yd[m], halfW_[m], halfH_[m])) continue;
        if (++looked > kClearLooks) break;
        if (best < 0) best = crossingsAt(m, xd[m], yd[m]);
        if (!normalOf(a, b, nx, ny)) continue;
        const double off = (xd[m] - xd[a]) * nx + (yd[m] - yd[a]) * ny;
        along(nx, ny, off, halfW_[m] * std::fabs(nx) + halfH_[m] * std::fabs(ny) + 2.0);
        continue;
      }
      const int o = a == m ? b : a;
      for (int q = 0; q < count && looked <= kClearLooks; ++q) {
        if (q == m || q == o) continue;
        if (!segmentMeetsBox(xd[m], yd[m], xd[o], yd[o], xd[q], yd[q], halfW_[q], halfH_[q])) continue;
        if (++looked > kClearLooks) break;
        if (best < 0) best = crossingsAt(m, xd[m], yd[m]);
        if (!normalOf(o, m, nx, ny)) continue;
        // m's own edge turns about o; moving m off q's side by the crossed
        // box's reach clears q at least as far out as m is from o.
        const double off = -((xd[q] - xd[o]) * nx + (yd[q] - yd[o]) * ny);
        along(nx, ny, off, halfW_[q] * std::fabs(nx) + halfH_[q] * std::fabs(ny) + 2.0);
      }
    }
    // Crossings no normal move undoes get a try along the axes and diagonals.
    if (best > 0 && dx == 0 && dy == 0) {
      const double reach = std::max(halfW_[m], halfH_[m]) + 2.0, h = std::sqrt(0.5);
      const double dirs[4][2] = {{1.0, 0.0}, {0.0, 1.0}, {h, h}, {h, -h}};
      for (const auto& d : dirs) along(d[0], d[1], 0.0, reach);
    }
    return dx != 0 || dy != 0;
  }

  int count = 0;
  std::vector<KWDNode*> node;
  std::vector<KWSNodeLayInfo*> info;
  std::vector<int> col;
  std::vector<unsigned char> pinned;
  std::vector<long> x, y;     // working points; change them through moveTo
  std::vector<double> xd, yd;  // the same as doubles
  std::vector<double> gx, gy, delta;
  std::vector<const double*> kRow, lRow;

 private:
  /// The unpinned entry with the largest gradient, the first among equals.
  int best() const {
    Best b;
    for (int p = 0; p < count; ++p) b.consider(p, delta[p], pinned[p] != 0);
    return b.index;
  }

  /// The kernels' view of the set. Only the gradient kernels write through
  /// it, and they are called from non-const members only.
  KernelView view() const {
    double* g[3] = {const_cast<double*>(gx.data()), const_cast<double*>(gy.data()), const_cast<double*>(delta.data())};
    return KernelView{x.data(), y.data(), xd.data(), yd.data(), exact_, col.data(), inOrder_, pinned.data(),
                      anyPinned_, g[0], g[1], g[2]};
  }

  /// The component's edges as pairs of entries (loops and edges leaving the
  /// set left out) and every entry's half width and height, read once.
  void loadEdges() {
    haveEdges_ = true;
    halfW_.assign(count, 0.0);
    halfH_.assign(count, 0.0);
    for (int p = 0; p < count; ++p) {
      halfW_[p] = 0.5 * static_cast<double>(node[p]->ntWidth());
      halfH_[p] = 0.5 * static_cast<double>(node[p]->ntHeight());
      for (KWOutDEdgeIter it(node[p]); it; ++it) {
        const int q = find(it.pEdge()->pToNode());
        if (q >= 0 && q != p) edges_.push_back({p, q});
      }
    }
  }

  /// Corrects the gradients of the entries in [from, to) for the move of
  /// `moved` from (oldX, oldY).
  void correct(int moved, long oldX, long oldY, int from, int to, Best& b) {
    kernels_.correct(view(), x[moved], y[moved], kRow[moved], lRow[moved], oldX, oldY, from, to, b);
  }

  bool clear() {
    *this = DescentSet();
    return false;
  }

  /// Whether a coordinate's double differences with any other such coordinate
  /// are exact: |c| ≤ 2^52.
  static bool withinExact(long c) { return c <= 4503599627370496L && c >= -4503599627370496L; }

  KWDGraph* graph_ = nullptr;
  Kernels kernels_ = chooseKernels(0);
  bool exact_ = true;
  bool inOrder_ = true;
  KWRect bounds_;
  bool haveBounds_ = false;
  bool haveEdges_ = false;
  bool anyPinned_ = false;
  std::vector<std::pair<int, int>> edges_;
  std::vector<double> halfW_, halfH_;
};

/// Moves every node for which escape(p, dx, dy) finds a move, in list order,
/// bringing the gradients up to date after each move. Each move is a cycle,
/// taken while r ≤ maxCycles. Answers the node with the largest gradient after
/// the last move, or −1 when no node moved.
template <typename Escape>
int escapeMoves(DescentSet& set, KWSGraph& s, long& r, long maxCycles, Escape escape) {
  int v = -1;
  for (int p = 0; p < set.count && r <= maxCycles; ++p) {
    long dx = 0, dy = 0;
    if (!escape(p, dx, dy)) continue;
    const long ox = set.x[p], oy = set.y[p];
    set.moveTo(p, ox + dx, oy + dy);
    v = set.recalcAll(p, ox, oy, false);
    ++r;
    s.stepProgress(r, maxCycles + 1);
  }
  return v;
}

/// Moves every node found on a saddle of its energy, or folding a cycle over
/// itself, off it (escapeMoves).
int escapeSaddles(DescentSet& set, KWSGraph& s, long& r, long maxCycles) {
  return escapeMoves(set, s, r, maxCycles, [&set](int p, long& dx, long& dy) {
    return set.saddleEscape(p, dx, dy) || set.foldEscape(p, dx, dy);
  });
}

/// Moves every node in an edge-node crossing where clearEscape finds a move
/// that lowers the number of crossings (escapeMoves).
int clearEdges(DescentSet& set, KWSGraph& s, long& r, long maxCycles) {
  return escapeMoves(set, s, r, maxCycles, [&set](int p, long& dx, long& dy) { return set.clearEscape(p, dx, dy); });
}

}  // namespace

void KWSGraph::greedyDescentPositionFinal() {
  KWDGraph* g = pOwnerGraph();
  KWSGraphLayInfo* li = pSLayInfo();
  const KWSGraphTailor* t = g ? g->pSTailor() : nullptr;
  if (!g || !li || !t) return;
  const long n = li->allNodeDList().length();
  if (n < 1) return;

  stepProgress(0, 0);
  DescentSet set;
  if (!set.load(*this)) {
    g->layoutCheckpoint();
    return;
  }
  int v = set.calcAll();
  const double eps = t->terminationValue();
  // maxNodesMovedMultiplier × n and maxNodeIterations, each held at its ceiling.
  const long multiplier = std::min(static_cast<long>(t->maxNodesMovedMultiplier()), kMaxNodesMovedMultiplier);
  const long maxCycles = multiplier * n;
  const long sameNodeLimit = std::min(static_cast<long>(t->maxNodeIterations()), kMaxNodeIterations);
  const long stepLimit = sameNodeLimit;
  const long maxRand = maxRandomNumber();
  long r = 0, s = 0;
  long sx = 0, sy = 0;
  long rounds = 0;

  // When the descent stops, a node left on a saddle of its energy (a drawing
  // squeezed onto a line) is moved off it and the descent goes on, within the
  // same cycle limit; each such move counts as a cycle.
  for (;;) {
    while (v >= 0) {
      if (g->layoutStopRequested()) break;
      if (set.delta[v] <= eps) break;
      if (r > maxCycles) break;
      if (++s > sameNodeLimit) break;
      const long ox = set.x[v], oy = set.y[v];
      // Each Newton step needs v's sums at its point, and after a move v's
      // gradient there: one pass forms both, so the sums taken after a move
      // serve the next step, and a zero step leaves the gradient of the point
      // already formed.
      PointSums at;
      bool haveSums = false;
      for (long steps = 0;;) {
        if (set.delta[v] <= eps) break;
        if (++steps > stepLimit) {
          set.jump(v, *this, maxRand);
          set.calcDelta(v);
          break;
        }
        if (!haveSums) set.sums<true>(v, at);
        set.stepAt(v, at, sx, sy);
        if (sx == 0 && sy == 0) {
          set.setGradient(v, at.gxD, at.gyD);
          break;
        }
        set.moveTo(v, set.x[v] + sx, set.y[v] + sy);
        set.sums<true>(v, at);
        haveSums = true;
        set.setGradient(v, at.gxD, at.gyD);
      }
      ++r;
      stepProgress(r, maxCycles + 1);
      int prev = v;
      v = set.recalcAll(prev, ox, oy, true);
      if (v == prev) {
        if (sx == 0 && sy == 0) break;
      } else {
        s = 0;
      }
      g->layoutCheckpoint();
    }
    if (r > maxCycles || sameNodeLimit < 1 || g->layoutStopRequested()) break;
    if (++rounds > kEscapeRounds) break;
    v = escapeSaddles(set, *this, r, maxCycles);
    if (v < 0) break;
    s = 0;
  }
  // Then, in small components, nodes in edge-node crossings are moved until
  // no move lowers the number of crossings. The descent does not go on after
  // these moves: it would only draw the nodes back into the crossing, which is
  // where the energy is lowest (a cube's two middle nodes lie on each other's
  // edges at its minimum).
  for (long pass = 0; pass < kClearRounds && r <= maxCycles && sameNodeLimit >= 1; ++pass)
    if (clearEdges(set, *this, r, maxCycles) < 0) break;
  set.storeAll();
  g->layoutCheckpoint();
}

// ---- the step-by-step interface ------------------------------------------
// KWSGraph's single steps of the descent, each on a working set of its own
// read from the scratch records and written back: the gradient of one node
// or of all, the gradients after one move, one node's Newton step, and one
// random jump. Tests drive the descent through them one step at a time.

void KWSGraph::calcDelta(KWDNode* m) {
  DescentSet set;
  if (!set.load(*this)) return;
  int p = set.find(m);
  if (p < 0) return;
  set.calcDelta(p);
  set.storeGradient(p);
}

KWDNode* KWSGraph::calcAllDeltas() {
  DescentSet set;
  if (!set.load(*this)) {
    if (pSLayInfo() && pOwnerGraph()) pOwnerGraph()->layoutCheckpoint();
    return nullptr;
  }
  int best = set.calcAll();
  for (int p = 0; p < set.count; ++p) set.storeGradient(p);
  return best < 0 ? nullptr : set.node[best];
}

KWDNode* KWSGraph::recalcAllDeltas(KWDNode* moved, long oldX, long oldY) {
  DescentSet set;
  int w = set.load(*this) ? set.find(moved) : -1;
  if (w < 0) {
    if (pSLayInfo() && pOwnerGraph()) pOwnerGraph()->layoutCheckpoint();
    return nullptr;
  }
  int best = set.recalcAll(w, oldX, oldY, false);
  for (int p = 0; p < set.count; ++p) set.storeGradient(p);
  return best < 0 ? nullptr : set.node[best];
}

void KWSGraph::calcdxdy(KWDNode* m, long& dx, long& dy) {
  dx = 0;
  dy = 0;
  DescentSet set;
  if (!set.load(*this)) return;
  int p = set.find(m);
  if (p >= 0) set.calcdxdy(p, dx, dy);
}

void KWSGraph::randomizeNodePosition(KWDNode* node, long maxRand) {
  KWSNodeLayInfo* ni = nodeInfo(node);
  KWDGraph* g = pOwnerGraph();
  if (!ni || !g) return;
  KWRect b;
  g->ntBoundingRect(b);
  // The jump lands on a random point of the drawing's bounding rectangle.
  long tx = 0, ty = 0;
  jumpTarget(*this, b, maxRand, tx, ty);
  ni->pPoint()->moveTo(tx, ty);
}
