// The descent's kernels: the loops over all nodes of the working set, for
// each instruction set, and the choice among them.
//
// The loops run several nodes at once (two with SSE2, four with AVX, eight
// with AVX-512, whichever the processor has), with each term formed and added
// exactly as the formulas write them, so every instruction set gives the same
// bits. Builds can leave out the wider sets to test the narrower ones:
// KWS_DESCENT_NO_AVX512, KWS_DESCENT_NO_AVX, and KWS_DESCENT_PORTABLE (plain
// doubles only).
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(KWS_DESCENT_PORTABLE) && \
    !defined(KWS_DESCENT_NO_AVX)
#define KWS_DESCENT_AVX 1
#endif
#if defined(__SSE2__) || defined(KWS_DESCENT_AVX)
#include <immintrin.h>
#endif

#include <cmath>

#include "layout/kwsgkern.h"

namespace kwsl {
namespace {

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
  bool anyAbove(double b) const { return _mm_movemask_pd(_mm_cmpgt_pd(v, _mm_set1_pd(b))) != 0; }
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
  bool anyAbove(double b) const { return a0 > b || a1 > b; }
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
  KWS_LANES_FN bool anyAbove(double b) const {
    return _mm256_movemask_pd(_mm256_cmp_pd(v, _mm256_set1_pd(b), _CMP_GT_OQ)) != 0;
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
  KWS_LANES_FN bool anyAbove(double b) const { return _mm512_cmp_pd_mask(v, _mm512_set1_pd(b), _CMP_GT_OQ) != 0; }
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

}  // namespace

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

}  // namespace kwsl
