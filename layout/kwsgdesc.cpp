// KWSGraph: the energy descent.
//
// The energy of a component is Σ ½·k(i,j)·(|pi − pj| − l(i,j))² over all node
// pairs, k and l from the spring matrices. The descent moves one node at a
// time, always the unconstrained node with the largest gradient, by Newton
// steps on integer coordinates, and keeps every other node's gradient up to
// date by correcting only the one term the move changed. It works on the
// nodes' scratch points only; positionFinal copies them in and out.
//
// Every sum runs over allNodeDList in list order so that results are the same
// on every run and platform.
//
// The inner loops run over a working set that the descent builds once per run
// (DescentSet below): positions, pinned flags, gradients and matrix-row
// pointers in contiguous arrays in list order, so that no loop follows an
// extension, scratch-record or tailor pointer and nothing is allocated while
// the cycles run. The scratch records get the points and gradients back when
// the descent ends. The private members that tests and other steps call one at
// a time (calcDelta, recalcAllDeltas, calcdxdy, …) build the same set, do their
// one step on it and write their results back, so there is one body of
// arithmetic for both uses.
//
// The loops over all nodes run several nodes at once (two with SSE2, four with
// AVX, eight with AVX-512, whichever the processor has), with each term formed
// and added exactly as the formulas write them, so every instruction set gives
// the same bits. Builds can leave out the wider sets to test the narrower
// ones: KWS_DESCENT_NO_AVX512, KWS_DESCENT_NO_AVX, and KWS_DESCENT_PORTABLE
// (plain doubles only).
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(KWS_DESCENT_PORTABLE) && \
    !defined(KWS_DESCENT_NO_AVX)
#define KWS_DESCENT_AVX 1
#endif
#if defined(__SSE2__) || defined(KWS_DESCENT_AVX)
#include <immintrin.h>
#endif

#include "data/kwsgrli.h"
#include "data/kwsndli.h"
#include "data/kwtwodar.h"
#include "layout/kwsgraph.h"
#include "layout/kwsnode.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace {

/// Ceilings on the descent's limits. Settings are stored as given, but a
/// layout honours maxNodesMovedMultiplier only up to 200 and
/// maxNodeIterations only up to 100 (10 and 5 times their defaults): at most
/// 200·n + 1 cycles of at most 100 Newton steps, about 40 000·n² spring
/// terms in all, 50 times the worst case of the defaults, so that no setting
/// can make a layout run for days.
const long kMaxNodesMovedMultiplier = 200;
const long kMaxNodeIterations = 100;

/// The largest Newton step taken in one coordinate. A nearly singular Hessian
/// can ask for an arbitrarily long step; beyond this bound it carries no
/// information and would only push coordinates toward overflow.
const double kMaxStep = 1.0e9;

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

/// Components of at most this many nodes try every mirror line of a fold
/// (see DescentSet::foldEscape); larger ones only the cheapest.
const int kFoldAllLines = 64;

KWSNodeLayInfo* nodeInfo(const KWGNode* n) {
  KWSNode* s = n ? n->pSNode() : nullptr;
  return s ? s->pSLayInfo() : nullptr;
}

bool isConstrained(const KWDNode* n) {
  const KWSNodeTailor* t = n->pSTailor();
  return t && t->constrained();
}

/// A step component truncated toward zero; not-a-number gives 0, huge values
/// are held at ±kMaxStep.
long truncStep(double d) {
  if (!(d == d)) return 0;
  if (d > kMaxStep) d = kMaxStep;
  if (d < -kMaxStep) d = -kMaxStep;
  return static_cast<long>(d);
}

/// x truncated toward zero within the range of long (NaN gives 0).
long truncToLong(double x) {
  if (!(x == x)) return 0;
  const double lim = 9.0e18;
  if (x >= lim) return static_cast<long>(lim);
  if (x <= -lim) return -static_cast<long>(lim);
  return static_cast<long>(x);
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
};

// ---- lane types -----------------------------------------------------------
// Each operates lane by lane with the IEEE operation of plain doubles, so every
// instruction set gives the same bits; wider lanes only do more at once.

namespace lanes2 {
#define KWS_LANES_FN
constexpr int kLanes = 2;
#if defined(__SSE2__) && !defined(KWS_DESCENT_PORTABLE)
struct V {
  __m128d v;
  static V all(double a) { return V{_mm_set1_pd(a)}; }
  static V load(const double* p) { return V{_mm_loadu_pd(p)}; }
  void store(double* p) const { _mm_storeu_pd(p, v); }
  static V ofDiffs(long base, const long* a, const int* i) {
    return V{_mm_set_pd(static_cast<double>(base - a[i[1]]), static_cast<double>(base - a[i[0]]))};
  }
  static V ofDiffsTo(const long* a, const int* i, long base) {
    return V{_mm_set_pd(static_cast<double>(a[i[1]] - base), static_cast<double>(a[i[0]] - base))};
  }
  static V ofIndexed(const double* r, const int* i) { return V{_mm_set_pd(r[i[1]], r[i[0]])}; }
};
inline V operator+(V a, V b) { return V{_mm_add_pd(a.v, b.v)}; }
inline V operator-(V a, V b) { return V{_mm_sub_pd(a.v, b.v)}; }
inline V operator*(V a, V b) { return V{_mm_mul_pd(a.v, b.v)}; }
inline V operator/(V a, V b) { return V{_mm_div_pd(a.v, b.v)}; }
inline V sqrt(V a) { return V{_mm_sqrt_pd(a.v)}; }
inline V zeroToOne(V a) {
  __m128d z = _mm_cmpeq_pd(a.v, _mm_setzero_pd());
  return V{_mm_or_pd(_mm_andnot_pd(z, a.v), _mm_and_pd(z, _mm_set1_pd(1.0)))};
}
#else
struct V {
  double a0, a1;
  static V all(double a) { return V{a, a}; }
  static V load(const double* p) { return V{p[0], p[1]}; }
  void store(double* p) const {
    p[0] = a0;
    p[1] = a1;
  }
  static V ofDiffs(long base, const long* a, const int* i) {
    return V{static_cast<double>(base - a[i[0]]), static_cast<double>(base - a[i[1]])};
  }
  static V ofDiffsTo(const long* a, const int* i, long base) {
    return V{static_cast<double>(a[i[0]] - base), static_cast<double>(a[i[1]] - base)};
  }
  static V ofIndexed(const double* r, const int* i) { return V{r[i[0]], r[i[1]]}; }
};
inline V operator+(V x, V y) { return V{x.a0 + y.a0, x.a1 + y.a1}; }
inline V operator-(V x, V y) { return V{x.a0 - y.a0, x.a1 - y.a1}; }
inline V operator*(V x, V y) { return V{x.a0 * y.a0, x.a1 * y.a1}; }
inline V operator/(V x, V y) { return V{x.a0 / y.a0, x.a1 / y.a1}; }
inline V sqrt(V x) { return V{std::sqrt(x.a0), std::sqrt(x.a1)}; }
inline V zeroToOne(V x) { return V{x.a0 == 0.0 ? 1.0 : x.a0, x.a1 == 0.0 ? 1.0 : x.a1}; }
#endif

/// Sums held as plain doubles; a group adds lane 0, then lane 1.
struct Acc {
  PointSums s;
  explicit Acc(const PointSums& from) : s(from) {}
  void get(PointSums& to) const { to = s; }
  void set(const PointSums& from) { s = from; }
  template <bool newton>
  bool addGroup(V q, V tgx, V tgy, V thxx, V thxy, V thyy) {
    double tq[2], a[2], b[2], c[2], d[2], e[2];
    q.store(tq);
    if (tq[0] == 0.0 || tq[1] == 0.0) return false;
    tgx.store(a);
    tgy.store(b);
    thxx.store(c);
    thxy.store(d);
    thyy.store(e);
    for (int i = 0; i < 2; ++i) {
      s.gxD = s.gxD + a[i];
      s.gyD = s.gyD + b[i];
      if (newton) {
        s.hxx = s.hxx + c[i];
        s.hxy = s.hxy + d[i];
        s.gx = s.gx + a[i];
        s.hyy = s.hyy + e[i];
        s.gy = s.gy + b[i];
      }
    }
    return true;
  }
};
#include "layout/kwsgdker.inc"
#undef KWS_LANES_FN
}  // namespace lanes2

// Four lanes where the processor has AVX, eight where it has AVX-512; chosen
// when the descent starts. Every function that touches them carries its
// target. Their sums are two four-lane registers, A = (gxD, gyD, gx, gy) and
// B = (hxx, hxy, hyy, 0): a group's terms are regrouped node by node and
// added in node order, so each sum still takes one term at a time.
#if defined(KWS_DESCENT_AVX)
namespace avxsums {
#define KWS_LANES_FN __attribute__((target("avx")))
struct Acc4 {
  __m256d A, B;
  KWS_LANES_FN void get(PointSums& s) const {
    alignas(32) double a[4], b[4];
    _mm256_store_pd(a, A);
    _mm256_store_pd(b, B);
    s.gxD = a[0];
    s.gyD = a[1];
    s.gx = a[2];
    s.gy = a[3];
    s.hxx = b[0];
    s.hxy = b[1];
    s.hyy = b[2];
  }
  KWS_LANES_FN void set(const PointSums& s) {
    A = _mm256_set_pd(s.gy, s.gx, s.gyD, s.gxD);
    B = _mm256_set_pd(0.0, s.hyy, s.hxy, s.hxx);
  }
  /// Adds four nodes' terms, none of them at distance 0, in node order.
  template <bool newton>
  KWS_LANES_FN void add4(__m256d tgx, __m256d tgy, __m256d thxx, __m256d thxy, __m256d thyy) {
    const __m256d u = _mm256_unpacklo_pd(tgx, tgy), w = _mm256_unpackhi_pd(tgx, tgy);  // nodes 0,2 and 1,3
    if (newton) {
      const __m256d zero = _mm256_setzero_pd();
      const __m256d u2 = _mm256_unpacklo_pd(thxx, thxy), w2 = _mm256_unpackhi_pd(thxx, thxy);
      const __m256d v2 = _mm256_unpacklo_pd(thyy, zero), x2 = _mm256_unpackhi_pd(thyy, zero);
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(u, u, 0x00));
      B = _mm256_add_pd(B, _mm256_permute2f128_pd(u2, v2, 0x20));
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(w, w, 0x00));
      B = _mm256_add_pd(B, _mm256_permute2f128_pd(w2, x2, 0x20));
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(u, u, 0x11));
      B = _mm256_add_pd(B, _mm256_permute2f128_pd(u2, v2, 0x31));
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(w, w, 0x11));
      B = _mm256_add_pd(B, _mm256_permute2f128_pd(w2, x2, 0x31));
    } else {
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(u, u, 0x00));
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(w, w, 0x00));
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(u, u, 0x11));
      A = _mm256_add_pd(A, _mm256_permute2f128_pd(w, w, 0x11));
    }
  }
};
#undef KWS_LANES_FN
}  // namespace avxsums

namespace lanes4 {
#define KWS_LANES_FN __attribute__((target("avx")))
constexpr int kLanes = 4;
struct V {
  __m256d v;
  KWS_LANES_FN static V all(double a) { return V{_mm256_set1_pd(a)}; }
  KWS_LANES_FN static V load(const double* p) { return V{_mm256_loadu_pd(p)}; }
  KWS_LANES_FN void store(double* p) const { _mm256_storeu_pd(p, v); }
  KWS_LANES_FN static V ofDiffs(long base, const long* a, const int* i) {
    return V{_mm256_set_pd(static_cast<double>(base - a[i[3]]), static_cast<double>(base - a[i[2]]),
                           static_cast<double>(base - a[i[1]]), static_cast<double>(base - a[i[0]]))};
  }
  KWS_LANES_FN static V ofDiffsTo(const long* a, const int* i, long base) {
    return V{_mm256_set_pd(static_cast<double>(a[i[3]] - base), static_cast<double>(a[i[2]] - base),
                           static_cast<double>(a[i[1]] - base), static_cast<double>(a[i[0]] - base))};
  }
  KWS_LANES_FN static V ofIndexed(const double* r, const int* i) {
    return V{_mm256_set_pd(r[i[3]], r[i[2]], r[i[1]], r[i[0]])};
  }
};
KWS_LANES_FN inline V operator+(V a, V b) { return V{_mm256_add_pd(a.v, b.v)}; }
KWS_LANES_FN inline V operator-(V a, V b) { return V{_mm256_sub_pd(a.v, b.v)}; }
KWS_LANES_FN inline V operator*(V a, V b) { return V{_mm256_mul_pd(a.v, b.v)}; }
KWS_LANES_FN inline V operator/(V a, V b) { return V{_mm256_div_pd(a.v, b.v)}; }
KWS_LANES_FN inline V sqrt(V a) { return V{_mm256_sqrt_pd(a.v)}; }
KWS_LANES_FN inline V zeroToOne(V a) {
  __m256d z = _mm256_cmp_pd(a.v, _mm256_setzero_pd(), _CMP_EQ_OQ);
  return V{_mm256_blendv_pd(a.v, _mm256_set1_pd(1.0), z)};
}
struct Acc : avxsums::Acc4 {
  KWS_LANES_FN explicit Acc(const PointSums& s) { set(s); }
  template <bool newton>
  KWS_LANES_FN bool addGroup(V q, V tgx, V tgy, V thxx, V thxy, V thyy) {
    if (_mm256_movemask_pd(_mm256_cmp_pd(q.v, _mm256_setzero_pd(), _CMP_EQ_OQ)) != 0) return false;
    add4<newton>(tgx.v, tgy.v, thxx.v, thxy.v, thyy.v);
    return true;
  }
};
#include "layout/kwsgdker.inc"
#undef KWS_LANES_FN
}  // namespace lanes4

// GCC's AVX-512 headers start some results from an undefined register, which
// its flow analysis takes for a use of an uninitialized value (a "maybe" at
// most levels, a certain one with the sanitizers at -O2).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
namespace lanes8 {
#define KWS_LANES_FN __attribute__((target("avx512f")))
constexpr int kLanes = 8;
struct V {
  __m512d v;
  KWS_LANES_FN static V all(double a) { return V{_mm512_set1_pd(a)}; }
  KWS_LANES_FN static V load(const double* p) { return V{_mm512_loadu_pd(p)}; }
  KWS_LANES_FN void store(double* p) const { _mm512_storeu_pd(p, v); }
  KWS_LANES_FN static V ofDiffs(long base, const long* a, const int* i) {
    alignas(64) double t[8];
    for (int k = 0; k < 8; ++k) t[k] = static_cast<double>(base - a[i[k]]);
    return V{_mm512_load_pd(t)};
  }
  KWS_LANES_FN static V ofDiffsTo(const long* a, const int* i, long base) {
    alignas(64) double t[8];
    for (int k = 0; k < 8; ++k) t[k] = static_cast<double>(a[i[k]] - base);
    return V{_mm512_load_pd(t)};
  }
  KWS_LANES_FN static V ofIndexed(const double* r, const int* i) {
    alignas(64) double t[8];
    for (int k = 0; k < 8; ++k) t[k] = r[i[k]];
    return V{_mm512_load_pd(t)};
  }
};
KWS_LANES_FN inline V operator+(V a, V b) { return V{_mm512_add_pd(a.v, b.v)}; }
KWS_LANES_FN inline V operator-(V a, V b) { return V{_mm512_sub_pd(a.v, b.v)}; }
KWS_LANES_FN inline V operator*(V a, V b) { return V{_mm512_mul_pd(a.v, b.v)}; }
KWS_LANES_FN inline V operator/(V a, V b) { return V{_mm512_div_pd(a.v, b.v)}; }
KWS_LANES_FN inline V sqrt(V a) { return V{_mm512_sqrt_pd(a.v)}; }
KWS_LANES_FN inline V zeroToOne(V a) {
  __mmask8 z = _mm512_cmp_pd_mask(a.v, _mm512_setzero_pd(), _CMP_EQ_OQ);
  return V{_mm512_mask_blend_pd(z, a.v, _mm512_set1_pd(1.0))};
}
/// While the Newton gradient (gx, gy) equals the calcDelta gradient (gxD,
/// gyD), as it does until a node on m's point adds a term to one and not the
/// other, one register Z = (gxD, gyD, hxx, hxy, hyy, 0, 0, 0) holds all sums,
/// and each node's terms are gathered into one register and added to it.
/// Otherwise the sums go into the two four-lane registers.
struct Acc : avxsums::Acc4 {
  __m512d Z;
  bool single = false;
  KWS_LANES_FN explicit Acc(const PointSums& s) { set(s); }
  KWS_LANES_FN void set(const PointSums& s) {
    single = s.gx == s.gxD && s.gy == s.gyD;
    if (single) Z = _mm512_set_pd(0.0, 0.0, 0.0, s.hyy, s.hxy, s.hxx, s.gyD, s.gxD);
    else avxsums::Acc4::set(s);
  }
  KWS_LANES_FN void get(PointSums& s) const {
    if (!single) {
      avxsums::Acc4::get(s);
      return;
    }
    alignas(64) double z[8];
    _mm512_store_pd(z, Z);
    s.gxD = s.gx = z[0];
    s.gyD = s.gy = z[1];
    s.hxx = z[2];
    s.hxy = z[3];
    s.hyy = z[4];
  }
  template <bool newton>
  KWS_LANES_FN bool addGroup(V q, V tgx, V tgy, V thxx, V thxy, V thyy) {
    if (_mm512_cmp_pd_mask(q.v, _mm512_setzero_pd(), _CMP_EQ_OQ) != 0) return false;
    if (!single) {
      add4<newton>(_mm512_extractf64x4_pd(tgx.v, 0), _mm512_extractf64x4_pd(tgy.v, 0),
                   _mm512_extractf64x4_pd(thxx.v, 0), _mm512_extractf64x4_pd(thxy.v, 0),
                   _mm512_extractf64x4_pd(thyy.v, 0));
      add4<newton>(_mm512_extractf64x4_pd(tgx.v, 1), _mm512_extractf64x4_pd(tgy.v, 1),
                   _mm512_extractf64x4_pd(thxx.v, 1), _mm512_extractf64x4_pd(thxy.v, 1),
                   _mm512_extractf64x4_pd(thyy.v, 1));
      return true;
    }
    // Node i's terms: (tgx, tgy) sit in 128-bit lane i/2 of G (even i) or H
    // (odd i), (thxx, thxy) likewise in E or F, thyy in lane i of thyy.
    const __m512d G = _mm512_unpacklo_pd(tgx.v, tgy.v), H = _mm512_unpackhi_pd(tgx.v, tgy.v);
    if (!newton) {
      for (int j = 0; j < 4; ++j) {
        const __m512i pick = _mm512_set_epi64(0, 0, 0, 0, 0, 0, 2 * j + 1, 2 * j);
        Z = _mm512_add_pd(Z, _mm512_maskz_permutexvar_pd(0x03, pick, G));
        Z = _mm512_add_pd(Z, _mm512_maskz_permutexvar_pd(0x03, pick, H));
      }
      return true;
    }
    const __m512d E = _mm512_unpacklo_pd(thxx.v, thxy.v), F = _mm512_unpackhi_pd(thxx.v, thxy.v);
    for (int j = 0; j < 4; ++j) {
      const __m512i pick = _mm512_set_epi64(0, 0, 0, 0, 8 + 2 * j + 1, 8 + 2 * j, 2 * j + 1, 2 * j);
      const __m512i even = _mm512_set_epi64(0, 0, 0, 8 + 2 * j, 3, 2, 1, 0);
      const __m512i odd = _mm512_set_epi64(0, 0, 0, 8 + 2 * j + 1, 3, 2, 1, 0);
      Z = _mm512_add_pd(Z, _mm512_maskz_permutex2var_pd(0x1F, _mm512_permutex2var_pd(G, pick, E), even, thyy.v));
      Z = _mm512_add_pd(Z, _mm512_maskz_permutex2var_pd(0x1F, _mm512_permutex2var_pd(H, pick, F), odd, thyy.v));
    }
    return true;
  }
};
#include "layout/kwsgdker.inc"
#undef KWS_LANES_FN
}  // namespace lanes8
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
#endif

/// The widest kernels this processor runs, at most cap lanes wide (0: no cap).
Kernels chooseKernels(int cap) {
#if defined(KWS_DESCENT_AVX)
#if !defined(KWS_DESCENT_NO_AVX512)
  if ((cap == 0 || cap >= 8) && __builtin_cpu_supports("avx512f")) return lanes8::kernels();
#endif
  if ((cap == 0 || cap >= 4) && __builtin_cpu_supports("avx")) return lanes4::kernels();
#endif
  (void)cap;
  return lanes2::kernels();
}

/// The descent's working set: one entry per node of allNodeDList that has a
/// scratch record, in list order. Entry p holds the node's matrix index
/// (col), whether it is pinned, its working point, its gradient, and pointers
/// to its rows of the two spring matrices, read in place.
class DescentSet {
 public:
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

  /// m's energy Σ ½·k·(d − l)² over the other nodes, m put at (px, py),
  /// summed in list order on plain doubles.
  double energyAt(int m, long px, long py) const {
    const double fx = static_cast<double>(px), fy = static_cast<double>(py);
    double e = 0.0;
    for (int p = 0; p < count; ++p) {
      if (p == m) continue;
      const int c = inOrder_ ? p : col[p];
      const double k = kRow[m][c], l = lRow[m][c];
      const double ex = fx - xd[p], ey = fy - yd[p];
      const double d = std::sqrt(ex * ex + ey * ey) - l;
      e = e + 0.5 * k * d * d;
    }
    return e;
  }

  /// m's energy where it is (e0) and at (px, py) (e1), in one pass, each
  /// summed as energyAt sums it.
  void energiesAt(int m, long px, long py, double& e0, double& e1) const {
    const double fx = static_cast<double>(px), fy = static_cast<double>(py);
    e0 = e1 = 0.0;
    for (int p = 0; p < count; ++p) {
      if (p == m) continue;
      const int c = inOrder_ ? p : col[p];
      const double k = kRow[m][c], l = lRow[m][c];
      const double ax = xd[m] - xd[p], ay = yd[m] - yd[p];
      const double bx = fx - xd[p], by = fy - yd[p];
      const double da = std::sqrt(ax * ax + ay * ay) - l, db = std::sqrt(bx * bx + by * by) - l;
      e0 = e0 + 0.5 * k * da * da;
      e1 = e1 + 0.5 * k * db * db;
    }
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

  /// The Hessian's eigenvalues, smaller first.
  static void eigenvalues(const PointSums& s, double& lo, double& hi) {
    const double mid = 0.5 * (s.hxx + s.hyy), half = 0.5 * (s.hxx - s.hyy);
    const double r = std::sqrt(half * half + s.hxy * s.hxy);
    lo = mid - r;
    hi = mid + r;
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
    int found = 0;
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
    // Each mirror line costs a pass over all nodes; beyond kFoldAllLines nodes
    // only the line through m's two neighbours is tried.
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

  /// m's step; (0, 0) for a pinned node.
  void calcdxdy(int m, long& dx, long& dy) {
    dx = 0;
    dy = 0;
    if (pinned[m]) return;
    PointSums s;
    sums<true>(m, s);
    stepAt(m, s, dx, dy);
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

  /// Corrects only m's gradient for the move of `moved`.
  void recalcDelta(int m, int moved, long oldX, long oldY) {
    Best unused;
    correct(moved, oldX, oldY, m, m + 1, unused);
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

  /// Puts m's working point at (px, py).
  void moveTo(int m, long px, long py) {
    x[m] = px;
    y[m] = py;
    xd[m] = static_cast<double>(px);
    yd[m] = static_cast<double>(py);
    exact_ = exact_ && withinExact(px) && withinExact(py);
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

  KernelView view() {
    return KernelView{x.data(),     y.data(),      xd.data(), yd.data(), exact_,     col.data(),
                      inOrder_,     pinned.data(), gx.data(), gy.data(), delta.data()};
  }

  /// The component's edges as pairs of entries (loops and edges leaving the
  /// set left out) and every entry's half width and height, read once.
  void loadEdges() {
    haveEdges_ = true;
    halfW_.assign(count, 0.0);
    halfH_.assign(count, 0.0);
    for (int p = 0; p < count; ++p) {
      anyPinned_ = anyPinned_ || pinned[p] != 0;
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

}  // namespace

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

void KWSGraph::recalcDelta(KWDNode* m, KWDNode* moved, long oldX, long oldY) {
  DescentSet set;
  if (!set.load(*this)) return;
  int p = set.find(m), w = set.find(moved);
  if (p < 0 || w < 0) return;
  set.recalcDelta(p, w, oldX, oldY);
  set.storeGradient(p);
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

namespace {

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
