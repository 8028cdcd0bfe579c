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
// The flags live in the base tailor's flag word from bit 11 on, in the order
// of their rows in tailor/kwsgrset.def: routeEdges (11),
// incrementalWithinComponentLayout, incrementalDisconnectedNodesLayout,
// incrementalComponentsLayout, firstInitialization (15).
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
#include "tailor/kwsgrset.h"

#include <string>
#include <vector>

class KWSGraphFileExtension;

class KWS_EXPORT KWSGraphTailor : public KWGraphTailor {
 public:
  explicit KWSGraphTailor(KWDGraph* owner = nullptr);
  /// A copy has no owner graph and no graph-file extension.
  KWS_COPY_MEMBERS_DECL(KWSGraphTailor)
  ~KWSGraphTailor() override;

  // Copy and clone protocol: the base part, then the start flags (the
  // incremental ones and firstInitialization) through their setters, the
  // numbers directly, then routeEdges through its setter. Flags that change
  // notify the owner graph.
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

  // The settings, one getter/setter pair per row of tailor/kwsgrset.def:
  //   double name() const;  double name(double)   Real
  //   int name() const;     int name(int)         Integer
  //   int name() const;     int name(int on)      Flag, BaseFlag (these override the base's)
  // A number setter answers the value stored after the call; a flag getter
  // answers 0 or 1, a flag setter its argument.
#define KWS_GRAPH_SETTING(kind, name, ...)                                                          \
  KWS_SETTING_IF_NUMBER_##kind(KWS_SETTING_TYPE_##kind name() const { return name##_; })           \
  KWS_SETTING_IF_FLAG_##kind(int name() const KWS_SETTING_OVERRIDE_##kind;)                        \
  KWS_SETTING_TYPE_##kind name(KWS_SETTING_TYPE_##kind value) KWS_SETTING_OVERRIDE_##kind;
#include "tailor/kwsgrset.def"

  /// Every graph setting, in the rows' order.
  static const std::vector<KWSGraphSetting>& graphSettings();
  /// The setting of that exact name, or null.
  static const KWSGraphSetting* findGraphSetting(const std::string& name);

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
  /// Stores every setting's value from source, or its default when source is
  /// null: the start flags through their setters, the numbers silently, then
  /// the other flags through their setters.
  void assignSettings(const KWSGraphTailor* source);
  /// Flag setter: notify before the store, answer the argument.
  int setFlag(int bit, int current, int on);
  void notifyOwner();
  void constrainAll(int on);
  /// Deletes the held graph-file extension and forgets it.
  void releaseGraphFileExtension();

#define KWS_GRAPH_SETTING(kind, name, ...) KWS_SETTING_IF_NUMBER_##kind(KWS_SETTING_TYPE_##kind name##_;)
#include "tailor/kwsgrset.def"
  KWSGraphFileExtension* graphFileExtension_;
};

inline KWSGraphTailor* KWDGraph::pSTailor() const {
  return static_cast<KWSGraphTailor*>(pPrivateTailor(KWSymmetricLayoutStyle));
}

#endif
