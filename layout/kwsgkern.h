// The interface between the descent's working set (kwsgdesc.cpp) and its
// kernels (kwsgkern.cpp): the sums a kernel forms at one point, the view of
// the working set it reads and writes, and the table of one instruction set's
// loops. Internal to the module.
#ifndef KWSGKERN_H
#define KWSGKERN_H

namespace kwsl {

/// The sums over all other nodes at one point of a node m. g*D is the energy
/// gradient as calcDelta forms it (a coincident node counts at distance 1.0);
/// the rest is what calcdxdy forms (coincident nodes left out): the gradient
/// g* and the Hessian h*.
struct PointSums {
  double gxD = 0.0, gyD = 0.0;
  double gx = 0.0, gy = 0.0, hxx = 0.0, hyy = 0.0, hxy = 0.0;
};

/// What the inner loops read and write of the working set.
struct KernelView {
  const long* x;
  const long* y;
  const double* xd;  // x and y as doubles
  const double* yd;
  bool exact;        // every coordinate so far within ±2^52
  const int* col;
  bool inOrder;      // col[p] == p for every entry
  const unsigned char* pinned;
  bool anyPinned;    // some entry is pinned
  double* gx;
  double* gy;
  double* delta;
};

/// The unpinned entry with the largest gradient so far, the first among
/// equals: an entry replaces it only with a strictly larger delta.
struct Best {
  int index = -1;
  double delta = 0.0;
  void consider(int p, double d, bool pinned) {
    if (pinned) return;
    if (index < 0 || d > delta) {
      index = p;
      delta = d;
    }
  }
};

/// The inner loops of one instruction set.
struct Kernels {
  void (*gradient)(const KernelView&, long, long, const double*, const double*, int, int, PointSums&);
  void (*newton)(const KernelView&, long, long, const double*, const double*, int, int, PointSums&);
  void (*correct)(const KernelView&, long, long, const double*, const double*, long, long, int, int, Best&);
  /// m's energy over the entries in [0, count) other than m, m put at (ax, ay)
  /// (into ea) and at (bx, by) (into eb, by energies only).
  void (*energy)(const KernelView&, const double*, const double*, int, int, double, double, double, double,
                 double&, double&);
  void (*energies)(const KernelView&, const double*, const double*, int, int, double, double, double, double,
                   double&, double&);
};

/// The widest kernels this processor runs, at most cap lanes wide (0: no cap).
Kernels chooseKernels(int cap);

}  // namespace kwsl

#endif
