// The pieces of kwslay that do not need a run of the program: the border
// points of edge paths and setting values; and the settings table as the tool
// takes it and docs/cli.md lists it.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "cli_support.h"
#include "module/kwslayout.h"
#include "sl_settings.h"
#include "sl_shape.h"

using namespace kwslay;

TEST(KwslayShape, BorderPointsLieOnTheRectangleTowardsTheAim) {
  for (int k = 0; k < 72; ++k) {
    double angle = k * M_PI / 36.0;
    Pt aim{10.0 + 500.0 * std::cos(angle), -4.0 + 500.0 * std::sin(angle)};
    Pt p = borderPoint(10.0, -4.0, 60.0, 40.0, aim);
    double dx = p.x - 10.0, dy = p.y + 4.0;
    // On the border: one coordinate at its limit, the other within.
    bool onSide = std::fabs(std::fabs(dx) - 30.0) < 1e-9 && std::fabs(dy) <= 20.0 + 1e-9;
    bool onTop = std::fabs(std::fabs(dy) - 20.0) < 1e-9 && std::fabs(dx) <= 30.0 + 1e-9;
    EXPECT_TRUE(onSide || onTop) << k;
    // In the aim's direction.
    EXPECT_NEAR(std::atan2(dy, dx), std::atan2(aim.y + 4.0, aim.x - 10.0), 1e-9) << k;
  }
  // An aim inside the box gives the centre.
  EXPECT_EQ(borderPoint(0.0, 0.0, 60.0, 40.0, Pt{5.0, 5.0}).x, 0.0);
}

TEST(KwslaySettingValues, KindsAndLimits) {
  SettingValue v;
  const SettingInfo& spacing = *findSetting("nodeSpacing");
  EXPECT_TRUE(parseSettingValue(spacing, "-2147483648", v, nullptr));
  EXPECT_EQ(v.integer, -2147483647 - 1);
  for (const char* bad : {"2147483648", "", " 5", "0x10", "1e3"})
    EXPECT_FALSE(parseSettingValue(spacing, bad, v, nullptr)) << bad;
  const SettingInfo& spring = *findSetting("springConstant");
  EXPECT_TRUE(parseSettingValue(spring, "2.5e-1", v, nullptr));
  EXPECT_EQ(v.real, 0.25);
  for (const char* bad : {"nan", "inf", "1e999", "1,5"}) EXPECT_FALSE(parseSettingValue(spring, bad, v, nullptr)) << bad;
  const SettingInfo& route = *findSetting("routeEdges");
  for (const char* yes : {"true", "TRUE", "yes", "on", "1"}) {
    EXPECT_TRUE(parseSettingValue(route, yes, v, nullptr));
    EXPECT_TRUE(v.flag) << yes;
  }
  EXPECT_FALSE(parseSettingValue(route, "2", v, nullptr));
  EXPECT_EQ(findSetting("firstInitialization"), nullptr);
  EXPECT_EQ(findSetting("nodespacing"), nullptr);
}

// Every graph setting given by --set at a value unlike its default is taken
// and written back, as given, with the DOT output's graph attributes; the
// settings table of docs/cli.md holds exactly one row per setting, in order.
TEST(KwslaySettingValues, EveryGraphSettingIsTakenWrittenBackAndDocumented) {
  clitest::TempDir dir;
  clitest::writeFile(dir / "g.dot", clitest::toDot(clitest::cycle(5)));
  std::vector<std::string> args{"layout", dir / "g.dot", "-o", dir / "o.dot"}, documented, expected;
  std::map<std::string, std::string> given;
  KWSLayout fresh;
  const std::vector<SettingText> defaults = allSettings(*fresh.graph());
  for (size_t i = 0; i < settingTable().size(); ++i) {
    const SettingInfo& s = settingTable()[i];
    std::string value = defaults[i].second == "true" ? "false" : "true";
    if (s.ranged()) {  // the smaller end of the range, or the larger one where that is the default
      std::istringstream range(rangeText(s));
      std::string from, low, to, high;
      range >> from >> low >> to >> high;
      value = low != defaults[i].second ? low : high;
    }
    given[s.name] = value;
    args.insert(args.end(), {"--set", std::string(s.name) + "=" + value});
    const char* kind = s.kind == SettingKind::Real ? "number" : s.kind == SettingKind::Integer ? "integer" : "true/false";
    const std::string ceiling = s.ceiling > 0 ? std::to_string(static_cast<long>(s.ceiling)) : std::string();
    std::string row = "|";
    for (const std::string& cell : {"`" + std::string(s.name) + "`", std::string(kind),
                                    s.ranged() ? rangeText(s).substr(5) : std::string(), ceiling, defaults[i].second,
                                    helpLine(s)})
      row += cell.empty() ? " |" : " " + cell + " |";
    expected.push_back(row);
  }
  clitest::Result r = clitest::kwslay(args);
  ASSERT_EQ(r.status, 0) << r.err;
  clitest::Cgraph cg(clitest::readFile(dir / "o.dot"));
  ASSERT_NE(cg.get(), nullptr);
  for (const auto& g : given) {
    const char* written = agget(cg.get(), const_cast<char*>(g.first.c_str()));
    EXPECT_EQ(written ? std::string(written) : "(none)", g.second) << g.first;
  }
  std::istringstream docs(clitest::readFile(std::string(KW_SOURCE_DIR) + "/docs/cli.md"));
  bool inTable = false;
  for (std::string line; std::getline(docs, line);) {
    if (line == "| Name | Value | Range | Used up to | Default | Meaning |") inTable = true;
    else if (inTable && line.empty()) break;
    else if (inTable && line.compare(0, 3, "| `") == 0) documented.push_back(line);
  }
  EXPECT_EQ(documented, expected);
}
