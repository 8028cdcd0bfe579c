// KWSGraphTailor: the graph-level settings of the symmetric layout.
//
// Every setter that really changes a value notifies the owner graph through
// its actOnTailorChange; no value is checked or clamped.
//   - Numbers: the new value is stored first, then the graph is notified. For
//     the two doubles a NaN compares equal to anything: it is neither stored
//     nor notified.
//   - Flags: the graph is notified first, then the bit is stored. A flag setter
//     compares its argument unchanged with the current 0/1 value and returns
//     its argument, so routeEdges(2) on a set flag notifies and answers 2.
// The five flags live in bits 11..15 of the base tailor's flag word:
// routeEdges, incrementalWithinComponentLayout,
// incrementalDisconnectedNodesLayout, incrementalComponentsLayout,
// firstInitialization.
//
// The tailor also owns, once first needed, the graph-file extension through
// which the graph, node and edge tailors of this style read and write files.
#ifndef KWSGRTA_H
#define KWSGRTA_H

#include "module/kwsexport.h"
#include "host/kwdgraph.h"
#include "host/kwtailor.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWSGraphFileExtension;

class KWS_EXPORT KWSGraphTailor : public KWGraphTailor {
 public:
  explicit KWSGraphTailor(KWDGraph* owner = nullptr);
  /// A copy has no owner graph and no graph-file extension.
  KWS_COPY_MEMBERS_DECL(KWSGraphTailor)
  ~KWSGraphTailor() override;

  // Copy and clone protocol: the base part, then the incremental flags and
  // firstInitialization through their setters, the numbers directly, then
  // routeEdges through its setter. Flags that change notify the owner graph.
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

  // Numeric settings. Each setter answers the value stored after the call.
  double springConstant() const { return springConstant_; }
  double springConstant(double k);
  double terminationValue() const { return terminationValue_; }
  double terminationValue(double t);
  int maxNodeIterations() const { return maxNodeIterations_; }
  int maxNodeIterations(int n);
  // Stored, copied and carried through model files like the others, but no
  // layout reads it: the descent's limits are maxNodeIterations and
  // maxNodesMovedMultiplier.
  int maxMoveIterations() const { return maxMoveIterations_; }
  int maxMoveIterations(int n);
  int maxNodesMovedMultiplier() const { return maxNodesMovedMultiplier_; }
  int maxNodesMovedMultiplier(int n);
  int shrinkagePerMil() const { return shrinkagePerMil_; }
  int shrinkagePerMil(int n);
  int nodeSpacing() const { return nodeSpacing_; }
  int nodeSpacing(int n);
  int dummyNodeSpacing() const { return dummyNodeSpacing_; }
  int dummyNodeSpacing(int n);
  int randomSeed() const { return randomSeed_; }
  int randomSeed(int n);

  // Flags. Getters answer 0 or 1; setters answer their argument.
  int routeEdges() const;
  int routeEdges(int on);
  int firstInitialization() const;
  int firstInitialization(int on);
  int incrementalWithinComponentLayout(int on) override;
  int incrementalWithinComponentLayout() const override;
  int incrementalDisconnectedNodesLayout(int on) override;
  int incrementalDisconnectedNodesLayout() const override;
  int incrementalComponentsLayout(int on) override;
  int incrementalComponentsLayout() const override;
  /// The symmetric layout always works component by component.
  int forceComponents() const override { return 1; }

  /// Sets (clears) the constrained flag of every node of the owner graph that
  /// has a symmetric node tailor; each node whose flag changes is notified.
  void constrainAllNodes();
  void unconstrainAllNodes();

  // Graph files.
  /// The graph-file extension, created for the owner graph and attached to
  /// file on first use; later calls answer the same one and ignore file.
  KWSGraphFileExtension* pGraphFileExtension(KWOMLFile* file);
  void writeFullGraphTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;
  int readGraphTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file) override;
  int checkWriteGraphTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;

 protected:
  void init();
  KWS_CLONE_MEMBERS_DECL(KWSGraphTailor)
  /// Deletes the graph-file extension, if any.
  void discardGraphFileExtension() override;

 private:
  KWS_COPY_PARTS_DECL(KWSGraphTailor)
  /// The settings part shared by both kinds of copy.
  void copySettings(const KWSGraphTailor& source);
  /// Flag setter: notify before the store, answer the argument.
  int setFlag(int bit, int current, int on);
  void notifyOwner();
  void constrainAll(int on);
  /// Deletes the held graph-file extension and forgets it.
  void releaseGraphFileExtension();

  double springConstant_;
  double terminationValue_;
  int maxNodeIterations_;
  int maxMoveIterations_;
  int maxNodesMovedMultiplier_;
  int shrinkagePerMil_;
  int nodeSpacing_;
  int dummyNodeSpacing_;
  int randomSeed_;
  KWSGraphFileExtension* graphFileExtension_;
};

inline KWSGraphTailor* KWDGraph::pSTailor() const {
  return static_cast<KWSGraphTailor*>(pPrivateTailor(KWSymmetricLayoutStyle));
}

#endif
