// The pieces of kwslay that do not need a run of the program: escaping, the
// border points of edge paths, setting values, and the library's setting names.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <sstream>

#include "cli_support.h"
#include "module/kwslayout.h"
#include "sl_settings.h"
#include "sl_shape.h"
#include "sl_text.h"

using namespace kwslay;

TEST(KwslayText, EscapedNamesParseBackToTheSameTextForRandomBytes) {
  std::mt19937 rng(17);
  for (int round = 0; round < 300; ++round) {
    std::string s;
    int len = static_cast<int>(rng() % 12);
    for (int i = 0; i < len; ++i) s += static_cast<char>(rng() % 256);
    std::string valid = validUtf8(s);
    // JSON: exactly the text, made valid UTF-8.
    nlohmann::json j = clitest::parseJson("\"" + jsonEscape(s) + "\"");
    ASSERT_TRUE(j.is_string()) << jsonEscape(s);
    EXPECT_EQ(j.get<std::string>(), valid);
    // XML: the same, with the characters XML cannot hold as U+FFFD.
    bool ok = false;
    std::vector<std::string> t = clitest::xmlTexts("<a>" + xmlEscape(s) + "</a>", "a", &ok);
    ASSERT_TRUE(ok) << xmlEscape(s);
    std::string expected;
    for (unsigned char c : valid) expected += (c < 0x20 && c != '\t' && c != '\n' && c != '\r') ? "\xEF\xBF\xBD" : std::string(1, static_cast<char>(c));
    // The parser turns a carriage return reference into the character itself.
    EXPECT_EQ(t.at(0), expected);
  }
}

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
  Pt inside = borderPoint(0.0, 0.0, 60.0, 40.0, Pt{5.0, 5.0});
  EXPECT_EQ(inside.x, 0.0);
  EXPECT_EQ(inside.y, 0.0);
}

TEST(KwslaySettingValues, KindsAndLimits) {
  SettingValue v;
  const SettingInfo& spacing = *findSetting("nodeSpacing");
  EXPECT_TRUE(parseSettingValue(spacing, "-2147483648", v, nullptr));
  EXPECT_EQ(v.integer, -2147483647 - 1);
  for (const char* bad : {"2147483648", "", " 5", "5 ", "0x10", "1e3", "ten"})
    EXPECT_FALSE(parseSettingValue(spacing, bad, v, nullptr)) << bad;
  const SettingInfo& spring = *findSetting("springConstant");
  EXPECT_TRUE(parseSettingValue(spring, "2.5e-1", v, nullptr));
  EXPECT_EQ(v.real, 0.25);
  for (const char* bad : {"nan", "inf", "1e999", "1,5", ""}) EXPECT_FALSE(parseSettingValue(spring, bad, v, nullptr)) << bad;
  const SettingInfo& route = *findSetting("routeEdges");
  for (const char* yes : {"true", "TRUE", "yes", "on", "1"}) {
    EXPECT_TRUE(parseSettingValue(route, yes, v, nullptr));
    EXPECT_TRUE(v.flag) << yes;
  }
  EXPECT_FALSE(parseSettingValue(route, "2", v, nullptr));
  EXPECT_EQ(findSetting("firstInitialization"), nullptr);
  EXPECT_EQ(findSetting("nodespacing"), nullptr);
}

// The library's named settings (KWSLayout, behind the Python and Java APIs)
// and the tool's reach the same tailor fields: each setting set to a value
// unlike its default through both reads back the same in every field, and
// the library refuses what the setting cannot hold.
TEST(KwslaySettingValues, LibraryNamesMatchTheTool) {
  for (const KWSSettingInfo& s : KWSLayout::settingList()) {
    SCOPED_TRACE(s.name);
    const SettingInfo* tool = findSetting(s.name);
    ASSERT_NE(tool, nullptr);
    const double value = s.kind == KWSSettingKind::Flag ? 1.0 - KWSLayout().setting(s.name)
                         : s.kind == KWSSettingKind::Real ? 0.375 : 7.0;
    SettingValue v;
    const std::string text = s.kind == KWSSettingKind::Flag ? (value != 0.0 ? "true" : "false")
                             : s.kind == KWSSettingKind::Real ? "0.375" : "7";
    ASSERT_TRUE(parseSettingValue(*tool, text, v, nullptr));
    KWSLayout viaLibrary, viaTool;
    ASSERT_TRUE(viaLibrary.setting(s.name, value));
    applySetting(*viaTool.graph(), v);
    EXPECT_EQ(allSettings(*viaLibrary.graph()), allSettings(*viaTool.graph()));
    EXPECT_NE(allSettings(*viaLibrary.graph()), allSettings(*KWSLayout().graph()));
    const double bad[] = {std::nan(""), s.kind == KWSSettingKind::Real ? INFINITY : 0.5,
                          s.kind == KWSSettingKind::Flag ? 2.0 : s.kind == KWSSettingKind::Integer ? 2147483648.0 : -INFINITY};
    for (double b : bad) EXPECT_FALSE(viaLibrary.setting(s.name, b)) << b;
    EXPECT_EQ(viaLibrary.setting(s.name), value);
  }
  EXPECT_FALSE(KWSLayout().setting("firstInitialization", 0.0));
  EXPECT_TRUE(std::isnan(KWSLayout().setting("nodespacing")));
}

// Every graph setting given by --set at a value unlike its default is taken
// and written back, as given, with the DOT output's graph attributes.
TEST(KwslaySettingValues, EveryGraphSettingIsTakenUnderItsNameAndWrittenBack) {
  clitest::TempDir dir;
  clitest::writeFile(dir / "g.dot", clitest::toDot(clitest::cycle(5)));
  std::vector<std::string> args{"layout", dir / "g.dot", "-o", dir / "o.dot"};
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
  }
  clitest::Result r = clitest::kwslay(args);
  ASSERT_EQ(r.status, 0) << r.err;
  clitest::Cgraph cg(clitest::readFile(dir / "o.dot"));
  ASSERT_NE(cg.get(), nullptr);
  for (const auto& g : given) {
    const char* written = agget(cg.get(), const_cast<char*>(g.first.c_str()));
    EXPECT_EQ(written ? std::string(written) : "(none)", g.second) << g.first;
  }
}

// The settings table of docs/cli.md holds exactly one row per setting, in order.
TEST(KwslaySettingValues, DocsListExactlyTheTable) {
  std::istringstream docs(clitest::readFile(std::string(KW_SOURCE_DIR) + "/docs/cli.md"));
  std::vector<std::string> rows, expected;
  bool inTable = false;
  for (std::string line; std::getline(docs, line);) {
    if (line == "| Name | Value | Range | Used up to | Default | Meaning |") inTable = true;
    else if (inTable && line.empty()) break;
    else if (inTable && line.compare(0, 3, "| `") == 0) rows.push_back(line);
  }
  KWSLayout fresh;
  const std::vector<SettingText> defaults = allSettings(*fresh.graph());
  for (size_t i = 0; i < settingTable().size(); ++i) {
    const SettingInfo& s = settingTable()[i];
    const char* kind = s.kind == SettingKind::Real ? "number" : s.kind == SettingKind::Integer ? "integer" : "true/false";
    const std::string ceiling = s.ceiling > 0 ? std::to_string(static_cast<long>(s.ceiling)) : std::string();
    std::string row = "|";
    for (const std::string& cell : {"`" + std::string(s.name) + "`", std::string(kind),
                                    s.ranged() ? rangeText(s).substr(5) : std::string(), ceiling, defaults[i].second,
                                    helpLine(s)})
      row += cell.empty() ? " |" : " " + cell + " |";
    expected.push_back(row);
  }
  EXPECT_EQ(rows, expected);
}
