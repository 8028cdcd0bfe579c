// How low the normalized stress of a graph's drawing can go: weighted stress
// majorization (w = d⁻², d the hop distance) started from classical
// multidimensional scaling, the usual best start. A reference point for the
// quality column of bench/peers.sh, not a layout tool: it holds the n×n hop
// matrix twice and takes O(n²) per sweep.
//
//   stress_floor EDGES [SWEEPS] [START.dot]
//
// EDGES as for kwpeer_quality ("n m", then m lines "a b"). Prints the stress
// of the scaling start and after every 100 sweeps (default 500 sweeps). With
// START.dot, writes the scaling start as a DOT graph with pos attributes
// (about 112 units per edge, kwslay's default edge length for its default
// node size) and stops: `kwslay layout START.dot --incremental` then starts
// the descent from there instead of from random positions.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Graph {
  long n = 0;
  std::vector<std::vector<long>> adj;
  std::vector<double> hops;  // n×n, −1 for no path
};

bool read(const char* path, Graph& g) {
  std::FILE* f = std::fopen(path, "r");
  if (!f) return false;
  long m = 0;
  bool ok = std::fscanf(f, "%ld %ld", &g.n, &m) == 2 && g.n > 0 && g.n <= 20000 && m >= 0;
  if (ok) g.adj.assign(static_cast<size_t>(g.n), {});
  for (long i = 0; ok && i < m; ++i) {
    long a = 0, b = 0;
    ok = std::fscanf(f, "%ld %ld", &a, &b) == 2 && a >= 0 && b >= 0 && a < g.n && b < g.n;
    if (ok && a != b) {
      g.adj[a].push_back(b);
      g.adj[b].push_back(a);
    }
  }
  std::fclose(f);
  if (!ok) return false;
  g.hops.assign(static_cast<size_t>(g.n * g.n), -1.0);
  std::vector<long> queue;
  for (long s = 0; s < g.n; ++s) {
    double* row = &g.hops[static_cast<size_t>(s * g.n)];
    queue.assign(1, s);
    row[s] = 0.0;
    for (size_t k = 0; k < queue.size(); ++k)
      for (long v : g.adj[queue[k]])
        if (row[v] < 0.0) {
          row[v] = row[queue[k]] + 1.0;
          queue.push_back(v);
        }
  }
  return true;
}

double stress(const Graph& g, const std::vector<double>& x, const std::vector<double>& y) {
  double sxd = 0.0, sxx = 0.0;
  for (long i = 0; i < g.n; ++i)
    for (long j = i + 1; j < g.n; ++j) {
      double d = g.hops[i * g.n + j];
      if (d <= 0.0) continue;
      double r = std::hypot(x[i] - x[j], y[i] - y[j]) / d;
      sxd += r;
      sxx += r * r;
    }
  double a = sxx > 0.0 ? sxd / sxx : 0.0, s = 0.0;
  long pairs = 0;
  for (long i = 0; i < g.n; ++i)
    for (long j = i + 1; j < g.n; ++j) {
      double d = g.hops[i * g.n + j];
      if (d <= 0.0) continue;
      double r = a * std::hypot(x[i] - x[j], y[i] - y[j]) / d - 1.0;
      s += r * r;
      ++pairs;
    }
  return pairs ? s / static_cast<double>(pairs) : 0.0;
}

/// Classical scaling: the top two eigenvectors of the double-centred −½·D²
/// by power iteration, each scaled by the root of its eigenvalue.
void classicalScaling(const Graph& g, std::vector<double>& x, std::vector<double>& y) {
  const long n = g.n;
  std::vector<double> b(static_cast<size_t>(n * n)), rowMean(static_cast<size_t>(n), 0.0);
  double mean = 0.0;
  for (long i = 0; i < n; ++i)
    for (long j = 0; j < n; ++j) {
      double d = g.hops[i * n + j] < 0.0 ? 0.0 : g.hops[i * n + j];
      rowMean[i] += d * d / n;
      mean += d * d / (static_cast<double>(n) * n);
    }
  for (long i = 0; i < n; ++i)
    for (long j = 0; j < n; ++j) {
      double d = g.hops[i * n + j] < 0.0 ? 0.0 : g.hops[i * n + j];
      b[i * n + j] = -0.5 * (d * d - rowMean[i] - rowMean[j] + mean);
    }
  std::vector<double>* axes[2] = {&x, &y};
  unsigned seed = 12345;
  for (int c = 0; c < 2; ++c) {
    std::vector<double>& v = *axes[c];
    v.resize(static_cast<size_t>(n));
    for (double& e : v) e = ((seed = seed * 1103515245u + 12345u) >> 8) / 16777216.0 - 0.5;
    double lambda = 0.0;
    for (int it = 0; it < 300; ++it) {
      std::vector<double> w(static_cast<size_t>(n), 0.0);
      for (long i = 0; i < n; ++i)
        for (long j = 0; j < n; ++j) w[i] += b[i * n + j] * v[j];
      if (c == 1) {  // keep the second axis orthogonal to the first
        double dot = 0.0, norm = 0.0;
        for (long i = 0; i < n; ++i) {
          dot += w[i] * x[i];
          norm += x[i] * x[i];
        }
        for (long i = 0; i < n; ++i) w[i] -= dot / norm * x[i];
      }
      double len = 0.0;
      for (double e : w) len += e * e;
      len = std::sqrt(len);
      lambda = len;
      for (long i = 0; i < n; ++i) v[i] = w[i] / len;
    }
    for (double& e : v) e *= std::sqrt(lambda);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: stress_floor EDGES [SWEEPS] [START.dot]\n");
    return 2;
  }
  Graph g;
  if (!read(argv[1], g)) {
    std::fprintf(stderr, "stress_floor: cannot read %s\n", argv[1]);
    return 1;
  }
  const int sweeps = argc > 2 ? std::atoi(argv[2]) : 500;
  std::vector<double> x, y;
  classicalScaling(g, x, y);
  std::printf("scaling start: stress %.4f\n", stress(g, x, y));
  if (argc > 3) {
    double sum = 0.0;
    long edges = 0;
    for (long i = 0; i < g.n; ++i)
      for (long j : g.adj[i]) {
        sum += std::hypot(x[i] - x[j], y[i] - y[j]);
        ++edges;
      }
    const double scale = edges && sum > 0.0 ? 112.0 / (sum / edges) : 1.0;
    std::FILE* out = std::fopen(argv[3], "w");
    if (!out) return 1;
    std::fprintf(out, "graph G {\n");
    for (long i = 0; i < g.n; ++i)
      std::fprintf(out, "  n%ld [pos=\"%ld,%ld\"];\n", i, std::lround(x[i] * scale), std::lround(y[i] * scale));
    for (long i = 0; i < g.n; ++i)
      for (long j : g.adj[i])
        if (i < j) std::fprintf(out, "  n%ld -- n%ld;\n", i, j);
    std::fprintf(out, "}\n");
    return std::fclose(out) == 0 ? 0 : 1;
  }
  // Gauss–Seidel majorization: each node moves to the weighted mean of where
  // every other node would put it.
  std::vector<double> weightSum(static_cast<size_t>(g.n), 0.0);
  for (long i = 0; i < g.n; ++i)
    for (long j = 0; j < g.n; ++j)
      if (i != j && g.hops[i * g.n + j] > 0.0) weightSum[i] += 1.0 / (g.hops[i * g.n + j] * g.hops[i * g.n + j]);
  for (int sweep = 1; sweep <= sweeps; ++sweep) {
    for (long i = 0; i < g.n; ++i) {
      if (weightSum[i] <= 0.0) continue;
      double nx = 0.0, ny = 0.0;
      for (long j = 0; j < g.n; ++j) {
        double d = g.hops[i * g.n + j];
        if (j == i || d <= 0.0) continue;
        double w = 1.0 / (d * d), dist = std::hypot(x[i] - x[j], y[i] - y[j]);
        if (dist < 1e-9) dist = 1e-9;
        nx += w * (x[j] + d * (x[i] - x[j]) / dist);
        ny += w * (y[j] + d * (y[i] - y[j]) / dist);
      }
      x[i] = nx / weightSum[i];
      y[i] = ny / weightSum[i];
    }
    if (sweep % 100 == 0 || sweep == sweeps) std::printf("after %d sweeps: stress %.4f\n", sweep, stress(g, x, y));
  }
  return 0;
}
