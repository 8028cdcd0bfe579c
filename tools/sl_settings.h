// The symmetric graph settings as the tool names them: parsing of setting
// values given on the command line or in files, and their application to a
// graph's symmetric tailor.
#ifndef KWSLAY_SL_SETTINGS_H
#define KWSLAY_SL_SETTINGS_H

#include <string>
#include <utility>
#include <vector>

#include "tailor/kwsgrset.h"

class KWDGraph;
class KWDNode;

namespace kwslay {

using SettingKind = KWSSettingKind;
/// A graph setting by its row in tailor/kwsgrset.def: name, kind, the values
/// the tool accepts (min to max; ranged()), the ceiling above which the layout
/// uses the ceiling instead (0: none), and its help line.
using SettingInfo = KWSGraphSetting;

/// Every graph setting that files and --set may give, in the table's order.
const std::vector<SettingInfo>& settingTable();
/// The setting of that exact name, or null.
const SettingInfo* findSetting(const std::string& name);
/// What the setting does, in one line, and that no layout reads it if so.
std::string helpLine(const SettingInfo& s);

/// A parsed setting value.
struct SettingValue {
  const SettingInfo* setting = nullptr;
  double real = 0.0;
  int integer = 0;
  bool flag = false;
};

/// Parses text as a value of the setting's kind: a finite number, a 32-bit
/// integer, or one of true/false/yes/no/on/off/1/0. Answers false, with a
/// description of what was expected in *expected, for anything else.
bool parseSettingValue(const SettingInfo& s, const std::string& text, SettingValue& out, std::string* expected);
/// The same for the boolean texts alone.
bool parseFlag(const std::string& text, bool& out);

/// The number a setting value holds (flags as 0 or 1).
double numericValue(const SettingValue& v);
/// "from MIN to MAX", the accepted values of a ranged setting.
std::string rangeText(const SettingInfo& s);
/// Checks a value against its setting's range: answers false, with what is
/// wrong in *problem ("nodeSpacing -50 is outside its range from 0 to
/// 10000"), for a value outside it; for a value above the ceiling the layout
/// honours, answers true with the warning in *warning.
bool checkSettingRange(const SettingValue& v, std::string* problem, std::string* warning);
/// The values of the graph's symmetric tailor, one per setting.
std::vector<SettingValue> currentSettings(const KWDGraph& g);

/// A setting change given by name and value text.
using SettingText = std::pair<std::string, std::string>;

// ---- the graph's symmetric tailors ------------------------------------------

/// Stores a value in the graph's symmetric tailor through its setter.
void applySetting(KWDGraph& g, const SettingValue& v);
/// The settings whose values differ from a new tailor's, as name and text.
std::vector<SettingText> changedSettings(const KWDGraph& g);
/// Every setting with its current value as text.
std::vector<SettingText> allSettings(const KWDGraph& g);
/// Prepares a run that starts from the current positions: turns on
/// incrementalWithinComponentLayout and clears firstInitialization.
void makeIncremental(KWDGraph& g);
/// The seed the random start uses (a negative randomSeed, which the tool
/// refuses but a library caller may store, acts as 1).
long effectiveSeed(const KWDGraph& g);

bool nodeConstrained(const KWDNode& n);
void nodeConstrained(KWDNode& n, bool on);

}  // namespace kwslay

#endif
