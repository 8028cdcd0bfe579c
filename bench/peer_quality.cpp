// Drawing quality of a straight-line layout, for comparing layout tools.
//
//   kwpeer_quality EDGES POSITIONS
//
// EDGES: "n m" and then m lines "a b" (0-based node numbers, undirected).
// POSITIONS: n lines "x y", the centre of node 0, 1, … in any unit.
// Prints two numbers:
//   stress  normalized stress with the best uniform scale α,
//           Σ w(α·x − d)² / Σ w·d² over all connected pairs, w = d⁻²,
//           d the hop distance and x the drawn distance;
//   cv      coefficient of variation (population) of the drawn edge lengths.
// Both are independent of the drawing's unit and 0 for a perfect drawing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

bool readEdges(const char* path, long& n, std::vector<std::pair<long, long>>& edges) {
  std::FILE* f = std::fopen(path, "r");
  if (!f) return false;
  long m = 0;
  bool ok = std::fscanf(f, "%ld %ld", &n, &m) == 2 && n > 0 && m >= 0;
  for (long i = 0; ok && i < m; ++i) {
    long a = 0, b = 0;
    ok = std::fscanf(f, "%ld %ld", &a, &b) == 2 && a >= 0 && b >= 0 && a < n && b < n;
    if (ok) edges.emplace_back(a, b);
  }
  std::fclose(f);
  return ok;
}

bool readPositions(const char* path, long n, std::vector<double>& x, std::vector<double>& y) {
  std::FILE* f = std::fopen(path, "r");
  if (!f) return false;
  x.assign(static_cast<size_t>(n), 0.0);
  y.assign(static_cast<size_t>(n), 0.0);
  bool ok = true;
  for (long i = 0; ok && i < n; ++i) ok = std::fscanf(f, "%lf %lf", &x[i], &y[i]) == 2;
  std::fclose(f);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kwpeer_quality EDGES POSITIONS\n");
    return 2;
  }
  long n = 0;
  std::vector<std::pair<long, long>> edges;
  std::vector<double> x, y;
  if (!readEdges(argv[1], n, edges)) {
    std::fprintf(stderr, "kwpeer_quality: cannot read the edges in %s\n", argv[1]);
    return 1;
  }
  if (!readPositions(argv[2], n, x, y)) {
    std::fprintf(stderr, "kwpeer_quality: cannot read %ld positions from %s\n", n, argv[2]);
    return 1;
  }
  std::vector<std::vector<long>> adj(static_cast<size_t>(n));
  for (const auto& e : edges) {
    if (e.first == e.second) continue;
    adj[e.first].push_back(e.second);
    adj[e.second].push_back(e.first);
  }

  // Pass 1: Σ x/d and Σ x²/d² give the best scale; pass 2 the stress itself.
  // Both passes repeat the breadth-first searches instead of holding n² hops.
  std::vector<long> hop(static_cast<size_t>(n)), queue(static_cast<size_t>(n));
  auto bfs = [&](long s) {
    std::fill(hop.begin(), hop.end(), -1L);
    long head = 0, tail = 0;
    hop[s] = 0;
    queue[tail++] = s;
    while (head < tail) {
      long u = queue[head++];
      for (long v : adj[u])
        if (hop[v] < 0) { hop[v] = hop[u] + 1; queue[tail++] = v; }
    }
  };
  auto drawn = [&](long i, long j) { return std::hypot(x[i] - x[j], y[i] - y[j]); };
  double sxd = 0.0, sxx = 0.0;
  long pairs = 0;
  for (long i = 0; i < n; ++i) {
    bfs(i);
    for (long j = i + 1; j < n; ++j) {
      if (hop[j] <= 0) continue;
      double d = static_cast<double>(hop[j]), r = drawn(i, j) / d;
      sxd += r;
      sxx += r * r;
      ++pairs;
    }
  }
  double alpha = sxx > 0.0 ? sxd / sxx : 0.0, stress = 0.0;
  for (long i = 0; i < n; ++i) {
    bfs(i);
    for (long j = i + 1; j < n; ++j) {
      if (hop[j] <= 0) continue;
      double r = alpha * drawn(i, j) / static_cast<double>(hop[j]) - 1.0;
      stress += r * r;
    }
  }
  stress = pairs > 0 ? stress / static_cast<double>(pairs) : 0.0;

  double sum = 0.0, sq = 0.0;
  long counted = 0;
  for (const auto& e : edges) {
    if (e.first == e.second) continue;
    double l = drawn(e.first, e.second);
    sum += l;
    sq += l * l;
    ++counted;
  }
  double cv = 0.0;
  if (counted > 0 && sum > 0.0) {
    double mean = sum / static_cast<double>(counted);
    double var = sq / static_cast<double>(counted) - mean * mean;
    cv = std::sqrt(var > 0.0 ? var : 0.0) / mean;
  }
  std::printf("%.6f %.6f\n", stress, cv);
  return 0;
}
