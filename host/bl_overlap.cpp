// Removal of overlapping node boxes after a layout.
#include "host/kwoverlap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <unordered_map>

namespace {
const int kPlainPasses = 200;
const int kMaxPasses = 2000;

struct Box {
  long x, y, w, h;  // centre and size
  bool movable;
};

bool overlapping(const Box& a, const Box& b) {
  return 2 * std::labs(a.x - b.x) < a.w + b.w && 2 * std::labs(a.y - b.y) < a.h + b.h;
}

/// One sweep; answers the overlapping pairs met.
long sweep(std::vector<Box>& box, std::vector<size_t>& order, long gap) {
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return 2 * box[a].x - box[a].w < 2 * box[b].x - box[b].w;
  });
  long met = 0;
  for (size_t oi = 0; oi < order.size(); ++oi) {
    for (size_t oj = oi + 1; oj < order.size(); ++oj) {
      Box& a = box[order[oi]];
      Box& b = box[order[oj]];
      if (2 * b.x - b.w >= 2 * a.x + a.w) break;  // b and every later box start right of a
      if (!overlapping(a, b)) continue;
      ++met;
      if (!a.movable && !b.movable) continue;
      long dx = b.x - a.x, dy = b.y - a.y;
      // Push needed on each axis, rounded up to whole units.
      long px = (a.w + b.w + 1) / 2 + gap - std::labs(dx);
      long py = (a.h + b.h + 1) / 2 + gap - std::labs(dy);
      bool alongX = px <= py;
      long push = alongX ? px : py;
      long d = alongX ? dx : dy;
      long sign = d > 0 ? 1 : d < 0 ? -1 : (order[oi] < order[oj] ? 1 : -1);
      long forB = a.movable && b.movable ? (push + 1) / 2 : (b.movable ? push : 0);
      long forA = push - forB;
      if (!a.movable) forA = 0;
      (alongX ? b.x : b.y) += sign * forB;
      (alongX ? a.x : a.y) -= sign * forA;
    }
  }
  return met;
}

long countPairs(std::vector<Box> box) {
  std::vector<size_t> order(box.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return 2 * box[a].x - box[a].w < 2 * box[b].x - box[b].w;
  });
  long n = 0;
  for (size_t i = 0; i < order.size(); ++i)
    for (size_t j = i + 1; j < order.size(); ++j) {
      const Box& a = box[order[i]];
      const Box& b = box[order[j]];
      if (2 * b.x - b.w >= 2 * a.x + a.w) break;
      if (overlapping(a, b)) ++n;
    }
  return n;
}

std::vector<Box> boxesOf(const std::vector<KWDNode*>& nodes, const std::vector<bool>& movable) {
  std::vector<Box> box;
  box.reserve(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    const KWDNode* n = nodes[i];
    box.push_back(Box{n->ntX(), n->ntY(), std::max(0L, n->ntWidth()), std::max(0L, n->ntHeight()),
                      i < movable.size() ? movable[i] : true});
  }
  return box;
}
}  // namespace

long kwCountNodeOverlaps(const std::vector<KWDNode*>& nodes) { return countPairs(boxesOf(nodes, {})); }

long kwRemoveNodeOverlaps(const std::vector<KWDNode*>& nodes, const std::vector<bool>& movable,
                          const std::vector<KWDEdge*>& edges, long gap) {
  std::vector<Box> box = boxesOf(nodes, movable);
  std::vector<size_t> order(box.size());
  std::iota(order.begin(), order.end(), 0);
  long left = 0;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    if (pass >= kPlainPasses) {
      // Still piled up: spread the movable nodes from the centre by 2 %.
      double cx = 0.0, cy = 0.0;
      for (const Box& b : box) { cx += static_cast<double>(b.x); cy += static_cast<double>(b.y); }
      cx /= static_cast<double>(box.size());
      cy /= static_cast<double>(box.size());
      for (Box& b : box)
        if (b.movable) {
          b.x = static_cast<long>(std::llround(cx + (static_cast<double>(b.x) - cx) * 1.02));
          b.y = static_cast<long>(std::llround(cy + (static_cast<double>(b.y) - cy) * 1.02));
        }
    }
    left = sweep(box, order, gap);
    if (left == 0) break;
  }
  left = countPairs(box);

  // Move the nodes, then let the bends follow their edges' ends.
  std::unordered_map<const KWDNode*, std::pair<long, long>> moved;
  for (size_t i = 0; i < nodes.size(); ++i) {
    long mx = box[i].x - nodes[i]->ntX(), my = box[i].y - nodes[i]->ntY();
    if (mx == 0 && my == 0) continue;
    moved[nodes[i]] = {mx, my};
  }
  auto moveOf = [&](const KWDNode* n) {
    auto f = moved.find(n);
    return f == moved.end() ? std::pair<long, long>{0, 0} : f->second;
  };
  for (KWDEdge* e : edges) {
    if (e->numberOfBends() == 0) continue;
    std::pair<long, long> ma = moveOf(e->pFromNode()), mb = moveOf(e->pToNode());
    if (ma == mb && ma.first == 0 && ma.second == 0) continue;
    std::vector<KWPoint> pts;
    pts.push_back(KWPoint(e->pFromNode()->ntX(), e->pFromNode()->ntY()));
    for (const KWPoint& p : e->bendPoints()) pts.push_back(p);
    pts.push_back(KWPoint(e->pToNode()->ntX(), e->pToNode()->ntY()));
    std::vector<double> at(pts.size(), 0.0);
    for (size_t k = 1; k < pts.size(); ++k)
      at[k] = at[k - 1] + std::hypot(static_cast<double>(pts[k].x() - pts[k - 1].x()),
                                     static_cast<double>(pts[k].y() - pts[k - 1].y()));
    double total = at.back();
    size_t k = 1;
    for (KWDListIter it(e->bendList()); it; ++it, ++k) {
      KWPNode* b = static_cast<KWPNode*>(it.pObject());
      double t = total > 0.0 ? at[k] / total : 0.5;
      double bx = static_cast<double>(ma.first) * (1.0 - t) + static_cast<double>(mb.first) * t;
      double by = static_cast<double>(ma.second) * (1.0 - t) + static_cast<double>(mb.second) * t;
      b->ntMoveTo(b->ntX() + static_cast<long>(std::llround(bx)), b->ntY() + static_cast<long>(std::llround(by)));
    }
  }
  for (size_t i = 0; i < nodes.size(); ++i) nodes[i]->ntMoveTo(box[i].x, box[i].y);
  return left;
}
