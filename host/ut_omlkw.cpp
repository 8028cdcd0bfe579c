// The OML keyword table.
#include <climits>
#include <cstring>

#include "host/kwenums.h"
#include "host/kwoml.h"

namespace {

const long kCoordinate = 1000000000L;  // coordinates and offsets stay within ±10^9 drawing units
const long kIdMax = 2147483647L;

// Kept in ascending index order; lookups by index use binary search.
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
    {"incrementalWithinComponentLayout", KWOMLKeyIncrementalWithinComponentLayout, KWOMLBoolean, 0, 0, 0},
    {"incrementalDisconnectedNodesLayout", KWOMLKeyIncrementalDisconnectedNodesLayout, KWOMLBoolean, 0, 0, 0},
    {"incrementalComponentsLayout", KWOMLKeyIncrementalComponentsLayout, KWOMLBoolean, 0, 0, 0},
    {"nodeSpacing", KWOMLKeyNodeSpacing, KWOMLInteger, INT_MIN, INT_MAX, 0},
    {"randomSeed", KWOMLKeyRandomSeed, KWOMLInteger, INT_MIN, INT_MAX, 0},
    {"routeEdges", KWOMLKeyRouteEdges, KWOMLBoolean, 0, 0, 0},
    {"constrained", KWOMLKeyConstrained, KWOMLBoolean, 0, 0, 0},
};

const std::size_t kCount = sizeof(kKeywords) / sizeof(kKeywords[0]);

}  // namespace

int KWOMLKeywords::indexOf(const char* name, std::size_t length) {
  if (!name) return -1;
  for (std::size_t i = 0; i < kCount; ++i) {
    const char* k = kKeywords[i].name;
    if (std::strlen(k) == length && std::memcmp(k, name, length) == 0) return kKeywords[i].index;
  }
  return -1;
}

const KWOMLKeyword* KWOMLKeywords::byIndex(int index) {
  std::size_t lo = 0, hi = kCount;
  while (lo < hi) {
    std::size_t mid = lo + (hi - lo) / 2;
    if (kKeywords[mid].index < index) lo = mid + 1;
    else hi = mid;
  }
  return (lo < kCount && kKeywords[lo].index == index) ? &kKeywords[lo] : nullptr;
}

int KWOMLKeywords::sectionStyle(int index) {
  const KWOMLKeyword* k = byIndex(index);
  return k ? k->style : 0;
}

int KWOMLKeywords::styleSectionIndex(int style) {
  if (style <= 0) return -1;
  for (std::size_t i = 0; i < kCount; ++i)
    if (kKeywords[i].style == style) return kKeywords[i].index;
  return -1;
}

const KWOMLKeyword* KWOMLKeywords::entries(std::size_t& count) {
  count = kCount;
  return kKeywords;
}
