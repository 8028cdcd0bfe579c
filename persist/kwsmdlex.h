// KWSModelFileExtension: the symmetric style's part in reading legacy model
// files. It takes the graph tailoring lines that set the symmetric graph
// settings and accepts (and ignores) one node and edge key; every other line
// goes to the host's own handling.
//
//   "// KEY VALUE": the graph setting whose row in tailor/kwsgrset.def names
//   KEY among its model keys (springConstant, epsilon, maxNodeIterations,
//   maxMoveIterations, maxNodesMovedMultiplier, shrinkagePercent (stored as
//   it is as shrinkagePerMil), snodeSpacing and regularNodeFramePercent,
//   dummySNodeSpacing and dummyNodeFramePercent, randomSeed, and
//   saveCoordinates for incrementalWithinComponentLayout): a number (atof),
//   an integer (atoi) or true/false, by the setting's kind
//   node and edge lines: "// XYZABCXYZ4711" is taken and ignored
//
// Keys are compared whole and with their letter case. Numbers follow atof and
// atoi: leading white space is skipped, the longest number at the start is
// taken, and a text without one gives 0. An integer beyond the range of int
// is taken as the nearest int.
#ifndef KWSMDLEX_H
#define KWSMDLEX_H

#include "module/kwsexport.h"
#include "host/kwmodfil.h"
#include "module/kwsjava.h"

class KWS_EXPORT KWSModelFileExtension : public KWModelFileExtension {
 public:
  explicit KWSModelFileExtension(KWModelFile* file = nullptr);
  ~KWSModelFileExtension() override;

  static KWSModelFileExtension* castDown(const KWObject* o) {
    return static_cast<KWSModelFileExtension*>(const_cast<KWObject*>(o));
  }
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  /// 1 when the line set a symmetric graph setting, else the host's answer.
  int readTailoring(const char* value) override;
  /// The host's answer, unchanged.
  int readDerivedSpecific(const char* value) override;
  /// 1 for the ignored key on a node with a symmetric tailor, else the host's answer.
  int readNode(const char* value) override;
  /// 1 for the ignored key on an edge with a symmetric tailor, else the host's answer.
  int readEdge(const char* value) override;

 private:
  KWSModelFileExtension(const KWSModelFileExtension&);
  KWSModelFileExtension& operator=(const KWSModelFileExtension&);
};

#endif
