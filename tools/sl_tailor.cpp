// Access to the symmetric tailors of a graph and its nodes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sl_settings.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

namespace kwslay {

namespace {
// The shortest text that reads back as exactly v.
std::string realText(double v) {
  char buf[64];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof(buf), "%.*g", precision, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}

std::string valueText(const KWSGraphTailor& t, const SettingInfo& s) {
  std::string n = s.name;
  if (n == "springConstant") return realText(t.springConstant());
  if (n == "terminationValue") return realText(t.terminationValue());
  if (n == "maxNodeIterations") return std::to_string(t.maxNodeIterations());
  if (n == "maxMoveIterations") return std::to_string(t.maxMoveIterations());
  if (n == "maxNodesMovedMultiplier") return std::to_string(t.maxNodesMovedMultiplier());
  if (n == "shrinkagePerMil") return std::to_string(t.shrinkagePerMil());
  if (n == "nodeSpacing") return std::to_string(t.nodeSpacing());
  if (n == "dummyNodeSpacing") return std::to_string(t.dummyNodeSpacing());
  if (n == "randomSeed") return std::to_string(t.randomSeed());
  if (n == "routeEdges") return t.routeEdges() ? "true" : "false";
  if (n == "incrementalWithinComponentLayout") return t.incrementalWithinComponentLayout() ? "true" : "false";
  if (n == "incrementalDisconnectedNodesLayout") return t.incrementalDisconnectedNodesLayout() ? "true" : "false";
  if (n == "incrementalComponentsLayout") return t.incrementalComponentsLayout() ? "true" : "false";
  return std::string();
}
}  // namespace

void applySetting(KWDGraph& g, const SettingValue& v) {
  KWSGraphTailor* t = g.pSTailor();
  if (!t || !v.setting) return;
  std::string n = v.setting->name;
  if (n == "springConstant") t->springConstant(v.real);
  else if (n == "terminationValue") t->terminationValue(v.real);
  else if (n == "maxNodeIterations") t->maxNodeIterations(v.integer);
  else if (n == "maxMoveIterations") t->maxMoveIterations(v.integer);
  else if (n == "maxNodesMovedMultiplier") t->maxNodesMovedMultiplier(v.integer);
  else if (n == "shrinkagePerMil") t->shrinkagePerMil(v.integer);
  else if (n == "nodeSpacing") t->nodeSpacing(v.integer);
  else if (n == "dummyNodeSpacing") t->dummyNodeSpacing(v.integer);
  else if (n == "randomSeed") t->randomSeed(v.integer);
  else if (n == "routeEdges") t->routeEdges(v.flag ? 1 : 0);
  else if (n == "incrementalWithinComponentLayout") t->incrementalWithinComponentLayout(v.flag ? 1 : 0);
  else if (n == "incrementalDisconnectedNodesLayout") t->incrementalDisconnectedNodesLayout(v.flag ? 1 : 0);
  else if (n == "incrementalComponentsLayout") t->incrementalComponentsLayout(v.flag ? 1 : 0);
}

std::vector<SettingText> allSettings(const KWDGraph& g) {
  std::vector<SettingText> out;
  const KWSGraphTailor* t = g.pSTailor();
  if (!t) return out;
  for (const SettingInfo& s : settingTable()) out.emplace_back(s.name, valueText(*t, s));
  return out;
}

std::vector<SettingValue> currentSettings(const KWDGraph& g) {
  std::vector<SettingValue> out;
  for (const SettingText& t : allSettings(g)) {
    SettingValue v;
    if (const SettingInfo* s = findSetting(t.first))
      if (parseSettingValue(*s, t.second, v, nullptr)) out.push_back(v);
  }
  return out;
}

std::vector<SettingText> changedSettings(const KWDGraph& g) {
  std::vector<SettingText> out;
  const KWSGraphTailor* t = g.pSTailor();
  if (!t) return out;
  KWSGraphTailor defaults;
  for (const SettingInfo& s : settingTable()) {
    std::string v = valueText(*t, s);
    if (v != valueText(defaults, s)) out.emplace_back(s.name, v);
  }
  return out;
}

void makeIncremental(KWDGraph& g) {
  if (KWSGraphTailor* t = g.pSTailor()) {
    t->incrementalWithinComponentLayout(1);
    t->firstInitialization(0);
  }
}

long effectiveSeed(const KWDGraph& g) {
  const KWSGraphTailor* t = g.pSTailor();
  long seed = t ? t->randomSeed() : 1;
  return seed < 0 ? 1 : seed;
}

bool nodeConstrained(const KWDNode& n) {
  const KWSNodeTailor* t = n.pSTailor();
  return t && t->constrained() != 0;
}

void nodeConstrained(KWDNode& n, bool on) {
  if (KWSNodeTailor* t = n.pSTailor()) t->constrained(on ? 1 : 0);
}

}  // namespace kwslay
