#include "sl_run.h"

namespace kwslay {

void buildDemo(ToolGraph& g) {
  g.name = "kwslay demo";
  g.directed = false;
  // The core: a cube, whose drawing shows its symmetry.
  const char* const corners[] = {"A", "B", "C", "D", "E", "F", "G", "H"};
  KWDNode* c[8];
  for (int i = 0; i < 8; ++i) c[i] = g.addNode(corners[i], 0, 0, 60, 40, false);
  for (int i = 0; i < 4; ++i) {
    g.addEdge(c[i], c[(i + 1) % 4], "");          // top face
    g.addEdge(c[4 + i], c[4 + (i + 1) % 4], "");  // bottom face
    g.addEdge(c[i], c[4 + i], "");                // sides
  }
  // Two small trees hanging off opposite corners.
  KWDNode* t = g.addNode("t", 0, 0, 44, 30, false);
  g.addEdge(c[0], t, "");
  g.addEdge(t, g.addNode("t1", 0, 0, 44, 30, false), "");
  g.addEdge(t, g.addNode("t2", 0, 0, 44, 30, false), "");
  KWDNode* u = g.addNode("u", 0, 0, 44, 30, false);
  g.addEdge(c[6], u, "");
  g.addEdge(u, g.addNode("u1", 0, 0, 44, 30, false), "");
  g.addEdge(u, g.addNode("u2", 0, 0, 44, 30, false), "");
  // A second edge between B and F, and a loop at D.
  g.addEdge(c[1], c[5], "");
  g.addEdge(c[3], c[3], "");
}

}  // namespace kwslay
