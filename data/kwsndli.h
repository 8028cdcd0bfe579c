// KWSNodeLayInfo: a node's scratch record for one symmetric layout run: its
// index into the spring matrices, its energy gradient and its working position.
#ifndef KWSNDLI_H
#define KWSNDLI_H

#include "module/kwsexport.h"
#include "host/kwblayin.h"
#include "host/kwgeom.h"
#include "module/kwsjava.h"
#include "module/kwscopy.h"

class KWS_EXPORT KWSNodeLayInfo : public KWBNodeLayInfo {
 public:
  KWSNodeLayInfo();
  KWS_COPY_MEMBERS_DECL(KWSNodeLayInfo)
  ~KWSNodeLayInfo() override;

  // A copy carries sindex and the three derivatives, never the working point.
  long sizeOf() const override;
  void debugOutput(int) const override {}
  void innerDebugOutput(int) const override {}
  KWS_JAVA_PEER_DECL

  /// Row and column of the node in the spring matrices.
  int sindex() const { return sindex_; }
  int sindex(int i) { return sindex_ = i; }
  /// Magnitude of the energy gradient.
  double delta() const { return delta_; }
  double delta(double d) { return delta_ = d; }
  /// Partial derivatives of the energy by x and by y.
  double xdelta() const { return xdelta_; }
  double xdelta(double d) { return xdelta_ = d; }
  double ydelta() const { return ydelta_; }
  double ydelta(double d) { return ydelta_ = d; }
  /// The working position during the descent; moved in place.
  KWPoint* pPoint() { return &point_; }
  const KWPoint* pPoint() const { return &point_; }

 protected:
  void init();
  KWS_CLONE_MEMBERS_DECL(KWSNodeLayInfo)

 private:
  KWS_COPY_PARTS_DECL(KWSNodeLayInfo)

  int sindex_;
  double xdelta_;
  double ydelta_;
  double delta_;
  KWPoint point_;
};

#endif
