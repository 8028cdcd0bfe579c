#include "sl_shape.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace kwslay {

namespace {
// Distance between neighbouring members of a fanned bundle, and the size of
// the first loop of a node and the growth of each further one.
constexpr double kBundleGap = 18.0;
constexpr double kLoopSize = 22.0;
constexpr double kLoopGrowth = 14.0;

Pt centre(const KWDNode* n) { return Pt{static_cast<double>(n->ntX()), static_cast<double>(n->ntY())}; }

bool insideRect(const KWDNode* n, Pt p) {
  double hw = static_cast<double>(n->ntWidth()) / 2.0;
  double hh = static_cast<double>(n->ntHeight()) / 2.0;
  Pt c = centre(n);
  return std::fabs(p.x - c.x) < hw && std::fabs(p.y - c.y) < hh;
}

// Where the ray from a node's centre towards p leaves its outline: the
// ellipse inside its box for a round node, the box otherwise.
Pt outlinePoint(const KWDNode* n, bool round, Pt p) {
  Pt c = centre(n);
  double w = static_cast<double>(n->ntWidth()), h = static_cast<double>(n->ntHeight());
  if (!round) return borderPoint(c.x, c.y, w, h, p);
  double dx = p.x - c.x, dy = p.y - c.y;
  double hw = w / 2.0, hh = h / 2.0;
  if (hw <= 0.0 || hh <= 0.0) return c;
  double q = std::sqrt((dx / hw) * (dx / hw) + (dy / hh) * (dy / hh));
  if (q <= 1.0) return c;
  return Pt{c.x + dx / q, c.y + dy / q};
}

// The point a path end aims at: the next control point of the first piece, or
// the previous one of the last piece.
Pt firstAim(const EdgeShape& s) {
  const PathPiece& p = s.pieces.front();
  return p.curve ? p.c1 : p.to;
}

Pt lastAim(const EdgeShape& s) {
  const PathPiece& p = s.pieces.back();
  if (p.curve) return p.c2;
  return s.pieces.size() > 1 ? s.pieces[s.pieces.size() - 2].to : s.start;
}

void clipEnds(EdgeShape& s, const KWDNode* from, bool fromRound, const KWDNode* to, bool toRound) {
  Pt a = firstAim(s);
  if (!insideRect(from, a)) s.start = outlinePoint(from, fromRound, a);
  Pt b = lastAim(s);
  if (!insideRect(to, b)) s.pieces.back().to = outlinePoint(to, toRound, b);
}

EdgeShape loopShape(const KWDNode* n, bool round, long k) {
  double x = static_cast<double>(n->ntX()), y = static_cast<double>(n->ntY());
  double hw = static_cast<double>(n->ntWidth()) / 2.0, hh = static_cast<double>(n->ntHeight()) / 2.0;
  double d = kLoopSize + kLoopGrowth * static_cast<double>(k);
  EdgeShape s;
  s.loop = true;
  // On an ellipse, the points at half its width and half its height.
  double onOutline = round ? std::sqrt(0.75) : 1.0;
  s.start = Pt{x + hw / 2.0, y + hh * onOutline};
  PathPiece p;
  p.curve = true;
  p.c1 = Pt{x + hw / 2.0, y + hh + 2.0 * d};
  p.c2 = Pt{x + hw + 2.0 * d, y + hh / 2.0};
  p.to = Pt{x + hw * onOutline, y + hh / 2.0};
  s.pieces.push_back(p);
  return s;
}
}  // namespace

Pt borderPoint(double cx, double cy, double w, double h, Pt p) {
  double dx = p.x - cx, dy = p.y - cy;
  double hw = w / 2.0, hh = h / 2.0;
  if (std::fabs(dx) <= hw && std::fabs(dy) <= hh) return Pt{cx, cy};
  double tx = dx != 0.0 ? hw / std::fabs(dx) : HUGE_VAL;
  double ty = dy != 0.0 ? hh / std::fabs(dy) : HUGE_VAL;
  double t = std::min(tx, ty);
  return Pt{cx + dx * t, cy + dy * t};
}

std::vector<EdgeShape> edgeShapes(const ToolGraph& g) {
  const std::vector<KWDEdge*>& edges = g.edges();
  std::unordered_map<const KWDNode*, size_t> index = g.nodeIndex();
  std::vector<EdgeShape> shapes(edges.size());
  auto round = [&](const KWDNode* n) { return !g.round.empty() && g.round[index[n]]; };

  // Bundles of bendless edges between the same two nodes, and loops per node.
  std::map<std::pair<size_t, size_t>, std::vector<size_t>> bundles;
  std::map<size_t, long> loopsSoFar;
  for (size_t i = 0; i < edges.size(); ++i) {
    const KWDEdge* e = edges[i];
    if (e->numberOfBends() > 0) continue;
    size_t a = index[e->pFromNode()], b = index[e->pToNode()];
    if (a == b) continue;
    bundles[std::make_pair(std::min(a, b), std::max(a, b))].push_back(i);
  }

  for (size_t i = 0; i < edges.size(); ++i) {
    const KWDEdge* e = edges[i];
    const KWDNode* from = e->pFromNode();
    const KWDNode* to = e->pToNode();
    EdgeShape& s = shapes[i];
    if (e->numberOfBends() > 0) {
      s.loop = from == to;
      s.start = centre(from);
      for (const KWPoint& b : e->bendPoints()) {
        PathPiece p;
        p.to = Pt{static_cast<double>(b.x()), static_cast<double>(b.y())};
        s.pieces.push_back(p);
      }
      PathPiece last;
      last.to = centre(to);
      s.pieces.push_back(last);
      clipEnds(s, from, round(from), to, round(to));
      continue;
    }
    if (from == to) {
      s = loopShape(from, round(from), loopsSoFar[index[from]]++);
      continue;
    }
    s.start = centre(from);
    PathPiece p;
    p.to = centre(to);
    size_t a = index[from], b = index[to];
    const std::vector<size_t>& bundle = bundles[std::make_pair(std::min(a, b), std::max(a, b))];
    if (bundle.size() > 1) {
      size_t j = static_cast<size_t>(std::find(bundle.begin(), bundle.end(), i) - bundle.begin());
      double offset = (static_cast<double>(j) - static_cast<double>(bundle.size() - 1) / 2.0) * kBundleGap;
      // The normal of the direction from the bundle's first node to its
      // second, the same for members of either direction.
      Pt lo = centre(g.nodes()[std::min(a, b)]), hi = centre(g.nodes()[std::max(a, b)]);
      double dx = hi.x - lo.x, dy = hi.y - lo.y;
      double len = std::sqrt(dx * dx + dy * dy);
      if (offset != 0.0 && len > 0.0) {
        // A quadratic bulging by offset at its middle has its control point
        // at twice the offset; written as a cubic.
        Pt c{(s.start.x + p.to.x) / 2.0 - dy / len * 2.0 * offset, (s.start.y + p.to.y) / 2.0 + dx / len * 2.0 * offset};
        p.curve = true;
        p.c1 = Pt{s.start.x + (c.x - s.start.x) * 2.0 / 3.0, s.start.y + (c.y - s.start.y) * 2.0 / 3.0};
        p.c2 = Pt{p.to.x + (c.x - p.to.x) * 2.0 / 3.0, p.to.y + (c.y - p.to.y) * 2.0 / 3.0};
      }
    }
    s.pieces.push_back(p);
    clipEnds(s, from, round(from), to, round(to));
  }
  return shapes;
}

std::vector<Pt> splinePoints(const EdgeShape& s) {
  std::vector<Pt> pts{s.start};
  Pt prev = s.start;
  for (const PathPiece& p : s.pieces) {
    if (p.curve) {
      pts.push_back(p.c1);
      pts.push_back(p.c2);
    } else {
      pts.push_back(Pt{prev.x + (p.to.x - prev.x) / 3.0, prev.y + (p.to.y - prev.y) / 3.0});
      pts.push_back(Pt{prev.x + (p.to.x - prev.x) * 2.0 / 3.0, prev.y + (p.to.y - prev.y) * 2.0 / 3.0});
    }
    pts.push_back(p.to);
    prev = p.to;
  }
  return pts;
}

}  // namespace kwslay
