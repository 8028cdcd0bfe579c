// Lays out one of a few built-in graphs with the symmetric layout and prints
// every node's name and centre, one per line.
//
//   kwsexample [cube|octagon|grid|k33|petersen|demo] [--seed N] [--svg FILE]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "module/kwslayout.h"
#include "tailor/kwsgrta.h"

namespace {

void ring(KWSLayout& lay, std::vector<KWDNode*>& v, int first, int n) {
  for (int i = 0; i < n; ++i) lay.addEdge(v[first + i], v[first + (i + 1) % n]);
}

bool build(KWSLayout& lay, const std::string& name) {
  std::vector<KWDNode*> v;
  auto nodes = [&](int n, long w = 20, long h = 20) {
    for (int i = 0; i < n; ++i) v.push_back(lay.addNode(w, h, "n" + std::to_string(v.size())));
  };
  if (name == "octagon") {
    nodes(8);
    ring(lay, v, 0, 8);
  } else if (name == "cube") {
    nodes(8);
    for (int i = 0; i < 8; ++i)
      for (int b = 1; b < 8; b <<= 1)
        if ((i & b) == 0) lay.addEdge(v[i], v[i | b]);
  } else if (name == "grid") {
    nodes(16);
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) {
        if (c < 3) lay.addEdge(v[r * 4 + c], v[r * 4 + c + 1]);
        if (r < 3) lay.addEdge(v[r * 4 + c], v[(r + 1) * 4 + c]);
      }
  } else if (name == "k33") {
    nodes(6);
    for (int a = 0; a < 3; ++a)
      for (int b = 3; b < 6; ++b) lay.addEdge(v[a], v[b]);
  } else if (name == "petersen") {
    nodes(10);
    ring(lay, v, 0, 5);
    for (int i = 0; i < 5; ++i) {
      lay.addEdge(v[i], v[5 + i]);
      lay.addEdge(v[5 + i], v[5 + (i + 2) % 5]);
    }
  } else if (name == "demo") {
    // A hexagon with a spoke tree at two opposite corners and a square beside it.
    nodes(6, 30, 20);
    ring(lay, v, 0, 6);
    nodes(4);
    lay.addEdge(v[0], v[6]);
    lay.addEdge(v[0], v[7]);
    lay.addEdge(v[3], v[8]);
    lay.addEdge(v[3], v[9]);
    nodes(4, 40, 20);
    ring(lay, v, 10, 4);
    lay.addNode(10, 10, "lonely");
  } else {
    return false;
  }
  return true;
}

void writeSvg(const KWSLayout& lay, const char* file) {
  KWRect box;
  lay.graph()->ntBoundingRect(box);
  FILE* out = std::fopen(file, "w");
  if (!out) {
    std::perror(file);
    return;
  }
  long m = 20;
  std::fprintf(out, "<svg xmlns='http://www.w3.org/2000/svg' width='%ld' height='%ld' viewBox='%ld %ld %ld %ld'>\n",
               box.width() + 2 * m, box.height() + 2 * m, box.left() - m, -box.top() - m, box.width() + 2 * m,
               box.height() + 2 * m);
  for (KWDEdgeIter it(lay.graph()); it; ++it) {
    const KWDEdge* e = it.pEdge();
    std::fprintf(out, "<polyline fill='none' stroke='black' points='%ld,%ld", e->pFromNode()->ntX(), -e->pFromNode()->ntY());
    for (const KWPoint& p : e->bendPoints()) std::fprintf(out, " %ld,%ld", p.x(), -p.y());
    std::fprintf(out, " %ld,%ld'/>\n", e->pToNode()->ntX(), -e->pToNode()->ntY());
  }
  for (const KWDNode* n : lay.nodes())
    std::fprintf(out, "<rect x='%ld' y='%ld' width='%ld' height='%ld' fill='lightblue' stroke='navy'/>\n",
                 n->ntX() - n->ntWidth() / 2, -(n->ntY() + n->ntHeight() / 2), n->ntWidth(), n->ntHeight());
  std::fprintf(out, "</svg>\n");
  std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  std::string graph = "demo";
  const char* svg = nullptr;
  long seed = 1;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--svg") && i + 1 < argc) svg = argv[++i];
    else if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) seed = std::strtol(argv[++i], nullptr, 10);
    else graph = argv[i];
  }
  KWSLayout lay;
  if (!build(lay, graph)) {
    std::fprintf(stderr, "usage: kwsexample [cube|octagon|grid|k33|petersen|demo] [--seed N] [--svg FILE]\n");
    return 2;
  }
  lay.settings().randomSeed(static_cast<int>(seed));
  KWErrorCodeEnum status = lay.layout();
  if (status != KWNoError) {
    std::fprintf(stderr, "layout failed with status %d\n", static_cast<int>(status));
    return 1;
  }
  for (const KWDNode* n : lay.nodes()) std::printf("%s %ld %ld\n", n->name().c_str(), n->ntX(), n->ntY());
  if (svg) writeSvg(lay, svg);
  return 0;
}
