// KWSEdgeTailor: the edge-level settings object of the symmetric layout. It
// has no setting of its own; it gives edges a symmetric tailor for the host's
// tailoring and graph-file machinery (its section is empty and never read).
#ifndef KWSEDTA_H
#define KWSEDTA_H

#include "module/kwsexport.h"
#include "host/kwdgraph.h"
#include "host/kwtailor.h"
#include "module/kwsjava.h"

class KWS_EXPORT KWSEdgeTailor : public KWEdgeTailor {
 public:
  explicit KWSEdgeTailor(KWDEdge* owner = nullptr);
  /// A copy has no owner edge.
  KWSEdgeTailor(const KWSEdgeTailor& source, KWDeepFlagEnum flag = KWDeepCopy);
  KWSEdgeTailor& operator=(const KWSEdgeTailor& source);
  ~KWSEdgeTailor() override;

  void copyObject(const KWObject* source) override;
  void copyAttributes(const KWObject* source) override;
  KWSEdgeTailor* cloneObject() const { return castDown(vCloneObject()); }
  KWSEdgeTailor* cloneAttributes() const { return castDown(vCloneAttributes()); }
  static KWSEdgeTailor* castDown(const KWObject* o) {
    return static_cast<KWSEdgeTailor*>(const_cast<KWObject*>(o));
  }
  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

  // Graph files, through the graph tailor's graph-file extension.
  void writeFullEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;
  int readEdgeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file) override;
  int checkWriteEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;

 protected:
  void init() {}
  KWObject* vCloneObject() const override;
  KWObject* vCloneAttributes() const override;

 private:
  KWSEdgeTailor& KWSEdgeTailordeepCopy(const KWSEdgeTailor& source);
  KWSEdgeTailor& KWSEdgeTailorattributeCopy(const KWSEdgeTailor& source);
};

inline KWSEdgeTailor* KWDEdge::pSTailor() const {
  return static_cast<KWSEdgeTailor*>(pPrivateTailor(KWSymmetricLayoutStyle));
}

#endif
