// KWSNodeTailor: the node-level settings of the symmetric layout. Its one
// setting, constrained, pins the node in place: bit 1 of the base tailor's flag
// word, copied with the base part. The setter notifies the owner node before
// the store when the value really changes, and answers its argument.
#ifndef KWSNDTA_H
#define KWSNDTA_H

#include "module/kwsexport.h"
#include "host/kwdgraph.h"
#include "host/kwtailor.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWS_EXPORT KWSNodeTailor : public KWNodeTailor {
 public:
  explicit KWSNodeTailor(KWDNode* owner = nullptr);
  /// A copy has no owner node.
  KWS_COPY_MEMBERS_DECL(KWSNodeTailor)
  ~KWSNodeTailor() override;

  void debugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  KWLayoutStyleEnum layoutStyle() const override { return KWSymmetricLayoutStyle; }

  int constrained() const { return flagBit(kConstrainedBit); }
  int constrained(int on);

  // Graph files, through the graph tailor's graph-file extension.
  void writeFullNodeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;
  int readNodeTailor(KWOMLSyntaxField* field, KWOMLSyntaxObject* object, KWOMLFile* file) override;
  int checkWriteNodeTailor(int compareWithDefaults, int writeAll, KWOMLFile* file) override;

 protected:
  void init() {}
  KWS_CLONE_MEMBERS_DECL(KWSNodeTailor)

 private:
  static constexpr int kConstrainedBit = 1;
  KWS_COPY_PARTS_DECL(KWSNodeTailor)
};

inline KWSNodeTailor* KWDNode::pSTailor() const {
  return static_cast<KWSNodeTailor*>(pPrivateTailor(KWSymmetricLayoutStyle));
}

#endif
