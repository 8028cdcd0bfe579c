#include "sl_settings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace kwslay {

const std::vector<SettingInfo>& settingTable() {
  static const std::vector<SettingInfo> table = {
      {"springConstant", SettingKind::Real},
      {"terminationValue", SettingKind::Real},
      {"maxNodeIterations", SettingKind::Integer},
      {"maxMoveIterations", SettingKind::Integer},
      {"maxNodesMovedMultiplier", SettingKind::Integer},
      {"shrinkagePerMil", SettingKind::Integer},
      {"nodeSpacing", SettingKind::Integer},
      {"dummyNodeSpacing", SettingKind::Integer},
      {"randomSeed", SettingKind::Integer},
      {"routeEdges", SettingKind::Flag},
      {"incrementalWithinComponentLayout", SettingKind::Flag},
      {"incrementalDisconnectedNodesLayout", SettingKind::Flag},
      {"incrementalComponentsLayout", SettingKind::Flag},
  };
  return table;
}

const SettingInfo* findSetting(const std::string& name) {
  for (const SettingInfo& s : settingTable())
    if (name == s.name) return &s;
  return nullptr;
}

bool parseFlag(const std::string& text, bool& out) {
  std::string t;
  for (char c : text) t += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (t == "true" || t == "yes" || t == "on" || t == "1") { out = true; return true; }
  if (t == "false" || t == "no" || t == "off" || t == "0") { out = false; return true; }
  return false;
}

bool parseSettingValue(const SettingInfo& s, const std::string& text, SettingValue& out, std::string* expected) {
  out.setting = &s;
  const char* begin = text.c_str();
  bool blank = text.empty() || text.find_first_of(" \t\r\n\f\v") != std::string::npos;
  switch (s.kind) {
    case SettingKind::Real: {
      char* end = nullptr;
      errno = 0;
      double v = blank ? 0.0 : std::strtod(begin, &end);
      if (blank || *end != '\0' || !std::isfinite(v) || errno == ERANGE) {
        if (expected) *expected = "a finite number";
        return false;
      }
      out.real = v;
      return true;
    }
    case SettingKind::Integer: {
      char* end = nullptr;
      errno = 0;
      long long v = blank ? 0 : std::strtoll(begin, &end, 10);
      if (blank || *end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) {
        if (expected) *expected = "an integer from -2147483648 to 2147483647";
        return false;
      }
      out.integer = static_cast<int>(v);
      return true;
    }
    case SettingKind::Flag:
      if (!parseFlag(text, out.flag)) {
        if (expected) *expected = "true or false";
        return false;
      }
      return true;
  }
  return false;
}

}  // namespace kwslay
