// The OML keyword table.
#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <vector>

#include "host/kwenums.h"
#include "host/kwoml.h"

namespace {

const long kCoordinate = 1000000000L;  // coordinates and offsets stay within ±10^9 drawing units
const long kIdMax = 2147483647L;

// The host's own keywords; those of the symmetric graph settings follow.
const KWOMLKeyword kKeywords[] = {
    {"oml", KWOMLKeyOml, KWOMLInteger, 1, kIdMax, 0},
    {"graph", KWOMLKeyGraph, KWOMLSection, 0, 0, 0},
    {"node", KWOMLKeyNode, KWOMLSection, 0, 0, 0},
    {"edge", KWOMLKeyEdge, KWOMLSection, 0, 0, 0},
    {"name", KWOMLKeyName, KWOMLString, 0, 0, 0},
    {"x", KWOMLKeyX, KWOMLInteger, -kCoordinate, kCoordinate, 0},
    {"y", KWOMLKeyY, KWOMLInteger, -kCoordinate, kCoordinate, 0},
    {"width", KWOMLKeyWidth, KWOMLInteger, 0, kCoordinate, 0},
    {"height", KWOMLKeyHeight, KWOMLInteger, 0, kCoordinate, 0},
    {"dummy", KWOMLKeyDummy, KWOMLBoolean, 0, 0, 0},
    {"from", KWOMLKeyFrom, KWOMLInteger, 1, kIdMax, 0},
    {"to", KWOMLKeyTo, KWOMLInteger, 1, kIdMax, 0},
    {"bend", KWOMLKeyBend, KWOMLSection, 0, 0, 0},
    {"fromConnector", KWOMLKeyFromConnector, KWOMLSection, 0, 0, 0},
    {"toConnector", KWOMLKeyToConnector, KWOMLSection, 0, 0, 0},
    {"dx", KWOMLKeyDx, KWOMLInteger, -kCoordinate, kCoordinate, 0},
    {"dy", KWOMLKeyDy, KWOMLInteger, -kCoordinate, kCoordinate, 0},
    {"keepsConnectors", KWOMLKeyKeepsConnectors, KWOMLBoolean, 0, 0, 0},
    {"hlayout", KWOMLKeyHLayout, KWOMLSection, 0, 0, KWHierarchicLayoutStyle},
    {"olayout", KWOMLKeyOLayout, KWOMLSection, 0, 0, KWOrthogonalLayoutStyle},
    {"slayout", KWOMLKeySLayout, KWOMLSection, 0, 0, KWSymmetricLayoutStyle},
    {"clayout", KWOMLKeyCLayout, KWOMLSection, 0, 0, KWCircularLayoutStyle},
    {"tlayout", KWOMLKeyTLayout, KWOMLSection, 0, 0, KWTreeLayoutStyle},
    {"constrained", KWOMLKeyConstrained, KWOMLBoolean, 0, 0, 0},
};

// The symmetric graph settings that OML files carry, from their table.
constexpr KWOMLKeyword settingKeyword(const char* name, int index, KWOMLValueKind kind) {
  return {name, index, kind, kind == KWOMLInteger ? INT_MIN : 0L, kind == KWOMLInteger ? INT_MAX : 0L, 0};
}
#define KWS_OML_KIND_Real KWOMLNoValue
#define KWS_OML_KIND_Integer KWOMLInteger
#define KWS_OML_KIND_Flag KWOMLBoolean
#define KWS_OML_KIND_BaseFlag KWOMLBoolean
constexpr KWOMLKeyword kSettingKeywords[] = {
#define KWS_GRAPH_SETTING(kind, name, value, oml, ...) settingKeyword(#name, oml, KWS_OML_KIND_##kind),
#include "tailor/kwsgrset.def"
};
#undef KWS_OML_KIND_Real
#undef KWS_OML_KIND_Integer
#undef KWS_OML_KIND_Flag
#undef KWS_OML_KIND_BaseFlag

constexpr bool onlyIntegersAndFlagsHaveKeywords() {
  for (const KWOMLKeyword& k : kSettingKeywords)
    if (k.index != KWOMLKeyUnknown && k.kind == KWOMLNoValue) return false;
  return true;
}
static_assert(onlyIntegersAndFlagsHaveKeywords(), "OML fields hold integers and booleans, not real numbers");

// Both lists in ascending index order, for lookups by binary search.
const std::vector<KWOMLKeyword>& keywords() {
  static const std::vector<KWOMLKeyword> all = [] {
    std::vector<KWOMLKeyword> v(std::begin(kKeywords), std::end(kKeywords));
    for (const KWOMLKeyword& k : kSettingKeywords)
      if (k.index != KWOMLKeyUnknown) v.push_back(k);
    std::sort(v.begin(), v.end(), [](const KWOMLKeyword& a, const KWOMLKeyword& b) { return a.index < b.index; });
    return v;
  }();
  return all;
}

}  // namespace

int KWOMLKeywords::indexOf(const char* name, std::size_t length) {
  if (!name) return -1;
  for (const KWOMLKeyword& k : keywords())
    if (std::strlen(k.name) == length && std::memcmp(k.name, name, length) == 0) return k.index;
  return -1;
}

const KWOMLKeyword* KWOMLKeywords::byIndex(int index) {
  const std::vector<KWOMLKeyword>& all = keywords();
  auto k = std::lower_bound(all.begin(), all.end(), index,
                            [](const KWOMLKeyword& e, int i) { return e.index < i; });
  return k != all.end() && k->index == index ? &*k : nullptr;
}

int KWOMLKeywords::sectionStyle(int index) {
  const KWOMLKeyword* k = byIndex(index);
  return k ? k->style : 0;
}

int KWOMLKeywords::styleSectionIndex(int style) {
  if (style <= 0) return -1;
  for (const KWOMLKeyword& k : keywords())
    if (k.style == style) return k.index;
  return -1;
}

const KWOMLKeyword* KWOMLKeywords::entries(std::size_t& count) {
  count = keywords().size();
  return keywords().data();
}
