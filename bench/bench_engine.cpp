// The costly parts of the symmetric layout on generated graphs: sparse
// connected graphs of about 1.6 edges per node, and square grids.
//
//   SpringModel  node list, scaling, both matrices (two all-pairs passes)
//   Descent      the energy descent alone, from the same random start each time
//   Layout       a whole layout run through the host pipeline
#include <benchmark/benchmark.h>

#include <cmath>

#include "tests/support/engine_access.h"

namespace {

using kwtest::Fixture;

void build(Fixture& f, int kind, int n) {
  if (kind == 0) {
    kwtest::sparse(f, n, 7);
  } else {
    int side = static_cast<int>(std::lround(std::sqrt(static_cast<double>(n))));
    kwtest::grid(f, side, side);
  }
}

void counters(benchmark::State& state, const Fixture& f) {
  state.counters["nodes"] = static_cast<double>(f.g()->numberOfNodes());
  state.counters["edges"] = static_cast<double>(f.g()->numberOfEdges());
}

void BM_SpringModel(benchmark::State& state) {
  Fixture f;
  build(f, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  for (auto _ : state) {
    acc.preprocessGraph();
    benchmark::DoNotOptimize(acc.info()->springLength()[0][0]);
  }
  counters(state, f);
  state.counters["matrix_bytes"] = 16.0 * static_cast<double>(f.g()->numberOfNodes()) * f.g()->numberOfNodes();
}

void BM_Descent(benchmark::State& state) {
  Fixture f;
  build(f, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  KWSGraphTestAccess acc(f.g());
  acc.prepare();
  acc.preprocessGraph();
  acc.positionDraft();
  std::vector<KWDNode*> nodes = f.nodes();
  for (auto _ : state) {
    acc.loadPoints();
    acc.greedyDescent();
    benchmark::DoNotOptimize(KWSGraphTestAccess::point(nodes[0])->x());
  }
  counters(state, f);
}

void BM_Layout(benchmark::State& state) {
  Fixture f;
  build(f, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    KWErrorCodeEnum status = layoutGraph(f.g(), KWSymmetricLayoutStyle);
    if (status != KWNoError) state.SkipWithError("layout failed");
  }
  counters(state, f);
}

// Arguments: {graph kind (0 sparse, 1 grid), nodes}.
void sizes(benchmark::internal::Benchmark* b) {
  for (int kind : {0, 1})
    for (int n : {100, 500, 1000, 2000}) b->Args({kind, n});
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_SpringModel)->Apply(sizes);
BENCHMARK(BM_Descent)->Apply(sizes);
BENCHMARK(BM_Layout)->Apply(sizes);
