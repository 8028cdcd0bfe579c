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
  const double v = s.get(t);
  switch (s.kind) {
    case SettingKind::Real: return realText(v);
    case SettingKind::Integer: return std::to_string(static_cast<int>(v));
    case SettingKind::Flag: return v != 0.0 ? "true" : "false";
  }
  return std::string();
}
}  // namespace

void applySetting(KWDGraph& g, const SettingValue& v) {
  KWSGraphTailor* t = g.pSTailor();
  if (t && v.setting) v.setting->set(*t, numericValue(v));
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
