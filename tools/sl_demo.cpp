#include "sl_run.h"
#include "sl_settings.h"

namespace kwslay {

void buildDemo(ToolGraph& g) {
  g.name = "kwslay demo";
  g.directed = false;
  // The core: a wheel, a hub with a ring of six around it, which the layout
  // draws as a regular hexagon.
  KWDNode* hub = g.addNode("hub", 0, 0, 58, 36, false);
  KWDNode* ring[6];
  for (int i = 0; i < 6; ++i) ring[i] = g.addNode("r" + std::to_string(i), 0, 0, 58, 36, false);
  for (int i = 0; i < 6; ++i) g.addEdge(hub, ring[i], "");
  for (int i = 0; i < 6; ++i) g.addEdge(ring[i], ring[(i + 1) % 6], "");
  // Two small trees hanging off opposite corners of the ring.
  for (int side = 0; side < 2; ++side) {
    std::string root = side == 0 ? "t" : "u";
    KWDNode* t = g.addNode(root, 0, 0, 58, 36, false);
    g.addEdge(ring[side * 3], t, "");
    g.addEdge(t, g.addNode(root + "1", 0, 0, 58, 36, false), "");
    g.addEdge(t, g.addNode(root + "2", 0, 0, 58, 36, false), "");
  }
  // A second edge between the hub and r1, and a loop at r4.
  g.addEdge(hub, ring[1], "");
  g.addEdge(ring[4], ring[4], "");
  // A little more room than the default, so that the loop and the double
  // edge stand clear of the ring.
  SettingValue spacing;
  if (parseSettingValue(*findSetting("nodeSpacing"), "130", spacing, nullptr)) applySetting(g.graph(), spacing);
}

}  // namespace kwslay
