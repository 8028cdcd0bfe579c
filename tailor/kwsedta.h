// KWSEdgeTailor: the edge-level settings object of the symmetric layout. It
// has no setting of its own; it gives edges a symmetric tailor for the host's
// tailoring and graph-file machinery (its section is empty and never read).
#ifndef KWSEDTA_H
#define KWSEDTA_H

#include "module/kwsexport.h"
#include "host/kwdgraph.h"
#include "host/kwtailor.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWS_EXPORT KWSEdgeTailor : public KWEdgeTailor {
 public:
  explicit KWSEdgeTailor(KWDEdge* owner = nullptr);
  /// A copy has no owner edge.
  KWS_COPY_MEMBERS_DECL(KWSEdgeTailor)
  ~KWSEdgeTailor() override;

  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

  // Graph files, through the graph tailor's graph-file extension.
  void writeFullEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;
  int readEdgeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file) override;
  int checkWriteEdgeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;

 protected:
  void init() {}
  KWS_CLONE_MEMBERS_DECL(KWSEdgeTailor)

 private:
  KWS_COPY_PARTS_DECL(KWSEdgeTailor)
};

inline KWSEdgeTailor* KWDEdge::pSTailor() const {
  return static_cast<KWSEdgeTailor*>(pPrivateTailor(KWSymmetricLayoutStyle));
}

#endif
