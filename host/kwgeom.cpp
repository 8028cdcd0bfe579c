#include "host/kwgeom.h"

#include <cmath>

double KWPoint::distance(long x1, long y1, long x2, long y2) {
  double dx = static_cast<double>(x1 - x2);
  double dy = static_cast<double>(y1 - y2);
  return std::sqrt(dx * dx + dy * dy);
}

void KWRect::unite(const KWRect& r) {
  if (empty_) {
    *this = r;
    empty_ = false;
    return;
  }
  long l = left_ < r.left_ ? left_ : r.left_;
  long b = bottom_ < r.bottom_ ? bottom_ : r.bottom_;
  long rt = right() > r.right() ? right() : r.right();
  long tp = top() > r.top() ? top() : r.top();
  set(l, b, rt - l, tp - b);
}
