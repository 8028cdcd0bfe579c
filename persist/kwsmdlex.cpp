#include "persist/kwsmdlex.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "host/kwdgraph.h"
#include "tailor/kwsedta.h"
#include "tailor/kwsgrta.h"
#include "tailor/kwsndta.h"

KWS_JAVA_PEER_DEF(KWSModelFileExtension, "com/brackwind/jnilayout/KWSModelFileExtension", "kwsmdlex")

namespace {

const char kIgnoredKey[] = "// XYZABCXYZ4711";

// atof: the number at the start of the text, 0.0 when there is none. (strtod
// is what atof is defined by, without atof's undefined result on overflow.)
double toDouble(const char* text) { return std::strtod(text, nullptr); }

// atoi: the integer at the start of the text, 0 when there is none. A value
// beyond the range of int, for which atoi has no defined result, becomes the
// nearest int.
int toInt(const char* text) {
  long v = std::strtol(text, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

const char* keyOf(const KWModelFile* f) {
  const KWText* t = f ? f->pDoubleSlashText() : nullptr;
  return t ? t->pString() : "";
}

}  // namespace

KWSModelFileExtension::KWSModelFileExtension(KWModelFile* file) : KWModelFileExtension(file) {}

KWSModelFileExtension::~KWSModelFileExtension() = default;

int KWSModelFileExtension::readTailoring(const char* value) {
  KWModelFile* file = pModelFile();
  if (!file) return KWModelFileExtension::readTailoring(value);
  const char* text = value ? value : "";
  // Every line is interpreted as a flag first; only the flags' keys use it.
  const int flag = file->readTrueOrFalse(text);
  KWDGraph* graph = file->pGraph();
  KWSGraphTailor* t = graph ? graph->pSTailor() : nullptr;
  if (!t) return KWModelFileExtension::readTailoring(value);
  const char* key = keyOf(file);
  if (std::strncmp(key, "// ", 3) != 0) return KWModelFileExtension::readTailoring(value);
  for (const KWSGraphSetting& s : KWSGraphTailor::graphSettings()) {
    if (!s.hasModelKey(key + 3)) continue;
    s.set(*t, s.kind == KWSSettingKind::Real ? toDouble(text) : s.kind == KWSSettingKind::Integer ? toInt(text) : flag);
    return 1;
  }
  return KWModelFileExtension::readTailoring(value);
}

int KWSModelFileExtension::readDerivedSpecific(const char* value) {
  return KWModelFileExtension::readDerivedSpecific(value);
}

int KWSModelFileExtension::readNode(const char* value) {
  KWModelFile* file = pModelFile();
  KWDNode* node = file ? file->pLastNode() : nullptr;
  if (node && node->pSTailor() && std::strcmp(keyOf(file), kIgnoredKey) == 0) return 1;
  return KWModelFileExtension::readNode(value);
}

int KWSModelFileExtension::readEdge(const char* value) {
  KWModelFile* file = pModelFile();
  KWDEdge* edge = file ? file->pLastEdge() : nullptr;
  if (edge && edge->pSTailor() && std::strcmp(keyOf(file), kIgnoredKey) == 0) return 1;
  return KWModelFileExtension::readEdge(value);
}
