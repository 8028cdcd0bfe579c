#include "sl_settings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "module/kwslayout.h"
#include "tailor/kwsgrta.h"

namespace kwslay {

// The library's list of the settings a name can set: the tool takes the same.
const std::vector<SettingInfo>& settingTable() { return KWSLayout::settingList(); }

const SettingInfo* findSetting(const std::string& name) { return KWSLayout::findSetting(name); }

std::string helpLine(const SettingInfo& s) { return s.help + std::string(s.used() ? "" : "; no layout reads it"); }

double numericValue(const SettingValue& v) {
  switch (v.setting->kind) {
    case SettingKind::Real: return v.real;
    case SettingKind::Integer: return v.integer;
    case SettingKind::Flag: return v.flag ? 1.0 : 0.0;
  }
  return 0.0;
}

namespace {
// The shortest text that reads back as v.
std::string number(double v) {
  char buf[64];
  if (v == std::floor(v) && std::fabs(v) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
  }
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}
}  // namespace

std::string rangeText(const SettingInfo& s) { return "from " + number(s.min) + " to " + number(s.max); }

bool checkSettingRange(const SettingValue& v, std::string* problem, std::string* warning) {
  const SettingInfo& s = *v.setting;
  if (!s.ranged()) return true;
  const double x = numericValue(v);
  if (!(x >= s.min && x <= s.max)) {
    if (problem) *problem = std::string(s.name) + " " + number(x) + " is outside its range " + rangeText(s);
    return false;
  }
  if (s.ceiling > 0.0 && x > s.ceiling && warning)
    *warning = std::string(s.name) + " " + number(x) + " is above " + number(s.ceiling) +
               ", the most the layout uses; it runs with " + number(s.ceiling);
  return true;
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
