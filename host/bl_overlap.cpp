// Removal of overlapping node boxes after a layout.
#include "host/kwoverlap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace {
const int kPlainPasses = 100;
const int kMaxPasses = 1000;
const long kMaxCellsPerSide = 16;  // a box covers at most about this many grid cells per axis

struct Box {
  long x, y, w, h;  // centre and size
  bool movable;
  long c0, c1, r0, r1;  // grid cells covered in the current pass: columns c0..c1, rows r0..r1
};

bool overlapping(const Box& a, const Box& b) {
  return 2 * std::labs(a.x - b.x) < a.w + b.w && 2 * std::labs(a.y - b.y) < a.h + b.h;
}

/// The least distance between the centres of two boxes on one axis for them
/// to lie `gap` apart: half the sizes, rounded up, plus the gap.
long needed(long sa, long sb, long gap) { return (sa + sb + 1) / 2 + gap; }

bool tooClose(const Box& a, const Box& b, long gap) {
  return std::labs(a.x - b.x) < needed(a.w, b.w, gap) && std::labs(a.y - b.y) < needed(a.h, b.h, gap);
}

long floorDiv(long a, long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

/// Pushes a and b (a's index below b's) apart along the axis where that takes
/// the shorter move, in the direction their centres already lie; a pinned box
/// leaves the whole push to its partner.
void separate(Box& a, Box& b, size_t ia, size_t ib, long gap) {
  const long dx = b.x - a.x, dy = b.y - a.y;
  const long px = needed(a.w, b.w, gap) - std::labs(dx);
  const long py = needed(a.h, b.h, gap) - std::labs(dy);
  bool alongX = px < py || (px == py && dx != 0);
  if (dx == 0 && dy == 0 && px == py) alongX = ((ia + ib) & 1) == 0;
  if (dx == 0 && dy == 0 && ((ia + ib) & 2) != 0) alongX = !alongX;  // a pile on one point spreads both ways
  const long push = alongX ? px : py;
  const long d = alongX ? dx : dy;
  const long sign = d > 0 ? 1 : d < 0 ? -1 : (((ia + ib) & 4) == 0 ? 1 : -1);
  const long forB = a.movable && b.movable ? (push + 1) / 2 : (b.movable ? push : 0);
  const long forA = a.movable ? push - forB : 0;
  (alongX ? b.x : b.y) += sign * forB;
  (alongX ? a.x : a.y) -= sign * forA;
}

struct Slot {
  long r, c;  // a grid cell
  size_t i;   // a box covering it
  bool operator<(const Slot& o) const { return r != o.r ? r < o.r : c != o.c ? c < o.c : i < o.i; }
};

/// Puts every box into the grid cells its box, grown by half the gap and one
/// unit, covers; two boxes closer than `gap` then share at least one cell.
void assignCells(std::vector<Box>& box, long cell, long gap, std::vector<Slot>& slots) {
  slots.clear();
  const long grow = gap / 2 + 1;
  for (size_t i = 0; i < box.size(); ++i) {
    Box& b = box[i];
    b.c0 = floorDiv(b.x - b.w / 2 - grow, cell);
    b.c1 = floorDiv(b.x + (b.w + 1) / 2 + grow, cell);
    b.r0 = floorDiv(b.y - b.h / 2 - grow, cell);
    b.r1 = floorDiv(b.y + (b.h + 1) / 2 + grow, cell);
    for (long r = b.r0; r <= b.r1; ++r)
      for (long c = b.c0; c <= b.c1; ++c) slots.push_back(Slot{r, c, i});
  }
  std::sort(slots.begin(), slots.end());
}

/// Calls visit(ia, ib) once for every pair of boxes sharing a cell, ia < ib:
/// in the first cell (lowest row, then column) both cover, cells in grid
/// order, pairs within a cell in index order.
template <class Visit>
void forEachPair(const std::vector<Box>& box, const std::vector<Slot>& slots, Visit visit) {
  for (size_t s = 0; s < slots.size();) {
    size_t e = s;
    while (e < slots.size() && slots[e].r == slots[s].r && slots[e].c == slots[s].c) ++e;
    for (size_t p = s; p < e; ++p)
      for (size_t q = p + 1; q < e; ++q) {
        const Box& a = box[slots[p].i];
        const Box& b = box[slots[q].i];
        if (std::max(a.r0, b.r0) == slots[s].r && std::max(a.c0, b.c0) == slots[s].c) visit(slots[p].i, slots[q].i);
      }
    s = e;
  }
}

/// One pass: every pair of boxes closer than `gap`, one of them movable, is
/// separated at once (later pairs see the moves of earlier ones). Answers the
/// pairs separated; 0 means none is left, since nothing moved after the grid
/// was filled.
long pass(std::vector<Box>& box, long cell, long gap, std::vector<Slot>& slots) {
  assignCells(box, cell, gap, slots);
  long separated = 0;
  forEachPair(box, slots, [&](size_t ia, size_t ib) {
    Box& a = box[ia];
    Box& b = box[ib];
    if ((!a.movable && !b.movable) || !tooClose(a, b, gap)) return;
    ++separated;
    separate(a, b, ia, ib, gap);
  });
  return separated;
}

/// Grid cells about as large as a typical box (gap included), but never so
/// small that the largest box covers more than kMaxCellsPerSide per side.
long cellSize(const std::vector<Box>& box, long gap) {
  double sum = 0.0;
  long largest = 1;
  for (const Box& b : box) {
    const long s = std::max(b.w, b.h);
    sum += static_cast<double>(s);
    largest = std::max(largest, s);
  }
  long cell = box.empty() ? 1 : static_cast<long>(sum / static_cast<double>(box.size()));
  cell = std::max(cell + 2 * gap + 2, largest / kMaxCellsPerSide + 1);
  return std::max(cell, 1L);
}

std::vector<Box> boxesOf(const std::vector<KWDNode*>& nodes, const std::vector<bool>& movable) {
  std::vector<Box> box;
  box.reserve(nodes.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    const KWDNode* n = nodes[i];
    box.push_back(Box{n->ntX(), n->ntY(), std::max(0L, n->ntWidth()), std::max(0L, n->ntHeight()),
                      i < movable.size() ? static_cast<bool>(movable[i]) : true, 0, 0, 0, 0});
  }
  return box;
}

/// Spreads the movable boxes from the centre of all boxes by 2 %.
void spread(std::vector<Box>& box) {
  double cx = 0.0, cy = 0.0;
  for (const Box& b : box) {
    cx += static_cast<double>(b.x);
    cy += static_cast<double>(b.y);
  }
  cx /= static_cast<double>(box.size());
  cy /= static_cast<double>(box.size());
  for (Box& b : box)
    if (b.movable) {
      b.x = static_cast<long>(std::llround(cx + (static_cast<double>(b.x) - cx) * 1.02));
      b.y = static_cast<long>(std::llround(cy + (static_cast<double>(b.y) - cy) * 1.02));
    }
}

/// Moves the bends of every edge with a moved end: a bend at fraction t of the
/// edge's length from its source moves by (1 − t) times the source's move plus
/// t times the target's, so a bend next to a node goes with that node and an
/// edge whose ends moved alike (a loop, say) keeps its shape.
void followBends(const std::vector<KWDNode*>& nodes, const std::vector<Box>& box, const std::vector<KWDEdge*>& edges) {
  std::unordered_map<const KWDNode*, std::pair<long, long>> moved;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const long mx = box[i].x - nodes[i]->ntX(), my = box[i].y - nodes[i]->ntY();
    if (mx != 0 || my != 0) moved[nodes[i]] = {mx, my};
  }
  if (moved.empty()) return;
  auto moveOf = [&](const KWDNode* n) {
    auto f = moved.find(n);
    return f == moved.end() ? std::pair<long, long>{0, 0} : f->second;
  };
  for (KWDEdge* e : edges) {
    if (e->numberOfBends() == 0) continue;
    const std::pair<long, long> ma = moveOf(e->pFromNode()), mb = moveOf(e->pToNode());
    if (ma.first == 0 && ma.second == 0 && mb.first == 0 && mb.second == 0) continue;
    std::vector<KWPoint> pts;
    pts.push_back(KWPoint(e->pFromNode()->ntX(), e->pFromNode()->ntY()));
    for (const KWPoint& p : e->bendPoints()) pts.push_back(p);
    pts.push_back(KWPoint(e->pToNode()->ntX(), e->pToNode()->ntY()));
    std::vector<double> at(pts.size(), 0.0);
    for (size_t k = 1; k < pts.size(); ++k)
      at[k] = at[k - 1] + std::hypot(static_cast<double>(pts[k].x() - pts[k - 1].x()),
                                     static_cast<double>(pts[k].y() - pts[k - 1].y()));
    const double total = at.back();
    size_t k = 1;
    for (KWDListIter it(e->bendList()); it; ++it, ++k) {
      KWPNode* b = static_cast<KWPNode*>(it.pObject());
      const double t = total > 0.0 ? at[k] / total : 0.5;
      const double bx = static_cast<double>(ma.first) * (1.0 - t) + static_cast<double>(mb.first) * t;
      const double by = static_cast<double>(ma.second) * (1.0 - t) + static_cast<double>(mb.second) * t;
      b->ntMoveTo(b->ntX() + static_cast<long>(std::llround(bx)), b->ntY() + static_cast<long>(std::llround(by)));
    }
  }
}
}  // namespace

long kwCountNodeOverlaps(const std::vector<KWDNode*>& nodes) {
  std::vector<Box> box = boxesOf(nodes, {});
  std::vector<Slot> slots;
  assignCells(box, cellSize(box, 0), 0, slots);
  long n = 0;
  forEachPair(box, slots, [&](size_t ia, size_t ib) { n += overlapping(box[ia], box[ib]) ? 1 : 0; });
  return n;
}

long kwRemoveNodeOverlaps(const std::vector<KWDNode*>& nodes, const std::vector<bool>& movable,
                          const std::vector<KWDEdge*>& edges, long gap) {
  if (nodes.size() < 2) return 0;
  gap = std::max(0L, gap);
  std::vector<Box> box = boxesOf(nodes, movable);
  const long cell = cellSize(box, gap);
  std::vector<Slot> slots;
  for (int p = 0; p < kMaxPasses; ++p) {
    if (p >= kPlainPasses) spread(box);
    if (pass(box, cell, gap, slots) == 0) break;
  }
  followBends(nodes, box, edges);
  for (size_t i = 0; i < nodes.size(); ++i)
    if (box[i].movable) nodes[i]->ntMoveTo(box[i].x, box[i].y);
  return kwCountNodeOverlaps(nodes);
}
